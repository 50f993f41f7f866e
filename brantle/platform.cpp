// The banner line of each build. Compiled with one of the SURVEY_PLATFORM_*
// definitions.
#include "brantle.h"

#if defined(SURVEY_PLATFORM_MACOS)
#define BRANTLE_PLATFORM_WORD "Mac OS X"
#elif defined(SURVEY_PLATFORM_FREEBSD)
#define BRANTLE_PLATFORM_WORD "freebsd"
#elif defined(SURVEY_PLATFORM_WINDOWS)
#define BRANTLE_PLATFORM_WORD "windows"
#else
#define BRANTLE_PLATFORM_WORD "linux"
#endif

std::string bannerLine() {
  return "Vellmoor - Threadmere Module (" BRANTLE_PLATFORM_WORD ")";
}
