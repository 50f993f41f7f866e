// The banner line of each build kind.
#include "corvane.h"

#include <gtest/gtest.h>

TEST(bannerLine, NamesThePlatformOfTheBuild) {
#if defined(SURVEY_PLATFORM_MACOS)
  EXPECT_EQ(bannerLine(), "Vellmoor - Corvane Module (Mac OS X)");
#elif defined(SURVEY_PLATFORM_FREEBSD)
  EXPECT_EQ(bannerLine(), "Vellmoor - Corvane Module (fbsd)");
#elif defined(SURVEY_PLATFORM_WINDOWS)
  EXPECT_EQ(bannerLine(), "Vellmoor - Corvane Module (windows)");
#else
  EXPECT_EQ(bannerLine(), "Vellmoor - Corvane Module (linux)");
#endif
}
