// The banner line and file mode of each build. Compiled with one of the
// SURVEY_PLATFORM_* definitions.
#include "siftel.h"

#if defined(SURVEY_PLATFORM_MACOS)
#define SIFTEL_PLATFORM_WORD "Mac OS X"
#elif defined(SURVEY_PLATFORM_FREEBSD)
#define SIFTEL_PLATFORM_WORD "freebsd"
#elif defined(SURVEY_PLATFORM_WINDOWS)
#define SIFTEL_PLATFORM_WORD "windows"
#else
#define SIFTEL_PLATFORM_WORD "linux"
#endif

std::string bannerLine() {
  return "Vellmoor - Threadmere Module (" SIFTEL_PLATFORM_WORD ")";
}
