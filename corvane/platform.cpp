// The banner line of each build. Compiled with one of the SURVEY_PLATFORM_*
// definitions.
#include "corvane.h"

#if defined(SURVEY_PLATFORM_MACOS)
#define CORVANE_PLATFORM_WORD "Mac OS X"
#elif defined(SURVEY_PLATFORM_FREEBSD)
#define CORVANE_PLATFORM_WORD "fbsd"
#elif defined(SURVEY_PLATFORM_WINDOWS)
#define CORVANE_PLATFORM_WORD "windows"
#else
#define CORVANE_PLATFORM_WORD "linux"
#endif

std::string bannerLine() {
  return "Vellmoor - Corvane Module (" CORVANE_PLATFORM_WORD ")";
}
