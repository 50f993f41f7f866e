// The banner line of each build kind.
#include "brantle.h"

#include <gtest/gtest.h>

TEST(bannerLine, NamesThePlatformOfTheBuild) {
#if defined(SURVEY_PLATFORM_MACOS)
  EXPECT_EQ(bannerLine(), "Vellmoor - Threadmere Module (Mac OS X)");
#elif defined(SURVEY_PLATFORM_FREEBSD)
  EXPECT_EQ(bannerLine(), "Vellmoor - Threadmere Module (freebsd)");
#elif defined(SURVEY_PLATFORM_WINDOWS)
  EXPECT_EQ(bannerLine(), "Vellmoor - Threadmere Module (windows)");
#else
  EXPECT_EQ(bannerLine(), "Vellmoor - Threadmere Module (linux)");
#endif
}
