// The track reader and the number rules it uses.
#include "corvane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

namespace {

const char *const kismet28Line =
    "    <gps-point bssid=\"00:06:25:aa:01:01\" time-sec=\"1046700301\" "
    "time-usec=\"123456\" lat=\"40.712345\" lon=\"-74.005676\" "
    "alt=\"35.500000\" spd=\"12.250000\" fix=\"3\" signal=\"190\" "
    "quality=\"34\" noise=\"156\"/>";

TEST(parseGpsPointLine, ReadsAKismetPointAndUpperCasesItsBssid) {
  gpsPoint p;
  ASSERT_TRUE(parseGpsPointLine(kismet28Line, p));
  EXPECT_STREQ(p.bssid, "00:06:25:AA:01:01");
  EXPECT_EQ(p.timeSec, 1046700301);
  EXPECT_EQ(p.lat, 40.712345);
  EXPECT_EQ(p.lon, -74.005676);
  EXPECT_EQ(p.alt, 35.5);
  EXPECT_EQ(p.spd, 12.25);
  EXPECT_EQ(p.fix, 3);
  EXPECT_EQ(p.signal, 190);
  EXPECT_EQ(p.noise, 156);
}

TEST(parseGpsPointLine, FindsValuesByNameInLaterLayouts) {
  gpsPoint p;
  ASSERT_TRUE(parseGpsPointLine(
      "<gps-point bssid=\"00:06:25:AA:01:01\" source=\"00:00:00:00:00:00\" "
      "heading=\"12.5\" time-sec=\"7\" time-usec=\"1\" lat=\"1.5\" "
      "lon=\"2.5\" alt=\"3\" spd=\"4\" fix=\"2\" signal=\"-60\" "
      "noise=\"-95\"/>",
      p));
  EXPECT_EQ(p.timeSec, 7);
  EXPECT_EQ(p.lat, 1.5);
  EXPECT_EQ(p.signal, -60);
  EXPECT_EQ(p.noise, -95);
}

TEST(parseGpsPointLine, SkipsLinesThatAreNoNetworkPoints) {
  gpsPoint p;
  EXPECT_FALSE(parseGpsPointLine("<?xml version=\"1.0\"?>", p));
  EXPECT_FALSE(parseGpsPointLine("<gps-run gps-version=\"5\">", p));
  EXPECT_FALSE(parseGpsPointLine(
      "<gps-point bssid=\"gp:sd:tr:ac:kl:og\" time-sec=\"1\" lat=\"1\" "
      "lon=\"1\" alt=\"1\" spd=\"1\" fix=\"1\" signal=\"1\" noise=\"1\"/>",
      p));
  // A point without noise is not a whole point.
  EXPECT_FALSE(parseGpsPointLine(
      "<gps-point bssid=\"00:06:25:AA:01:01\" time-sec=\"1\" lat=\"1\" "
      "lon=\"1\" alt=\"1\" spd=\"1\" fix=\"1\" signal=\"1\"/>",
      p));
  // Nor is a point cut off inside a value, whatever the cut leaves of it.
  const std::string whole = kismet28Line;
  for (const char *cut : {"noise=\"", "noise=\"15", "signal=\"19"}) {
    std::string line = whole.substr(0, whole.find(cut) + std::strlen(cut));
    EXPECT_FALSE(parseGpsPointLine(line, p)) << line;
  }
}

TEST(loadGpsPoints, MarksEveryThousandthRead) {
  struct row {
    int lines;
    const char *marks;
  } rows[] = {{0, "o"}, {999, "o"}, {1000, "oo"}, {1999, "oo"}, {2000, "ooo"}};
  for (const row &r : rows) {
    std::string text;
    for (int i = 0; i < r.lines; ++i)
      text += std::string(kismet28Line) + "\n";
    std::istringstream in(text);
    std::ostringstream console;
    std::vector<gpsPoint> points;
    loadGpsPoints(in, points, console);
    EXPECT_EQ(console.str(), r.marks) << r.lines;
    EXPECT_EQ(points.size(), static_cast<std::size_t>(r.lines));
  }
}

TEST(numberRules, FollowTheCLibraryDecimalRules) {
  EXPECT_EQ(atolRule("1046"), 1046);
  EXPECT_EQ(atolRule("12abc"), 12);
  EXPECT_EQ(atolRule("  -7"), -7);
  EXPECT_EQ(atolRule("x1"), 0);
  EXPECT_EQ(atoiRule("99999999999"), 2147483647);
  EXPECT_EQ(atoiRule("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(strtodRule("-33.9"), -33.9);
  EXPECT_EQ(strtodRule("no number"), 0.0);
  EXPECT_EQ(strtodRule(" +1.5e2x"), 150.0);
  EXPECT_EQ(strtodRule("1e"), 1.0);
  EXPECT_EQ(strtodRule(".5"), 0.5);
  EXPECT_EQ(strtodRule("5."), 5.0);
  EXPECT_EQ(strtodRule("inf"), 0.0);
  EXPECT_EQ(strtodRule("nan"), 0.0);
  EXPECT_EQ(strtodRule("0x10"), 0.0);
  EXPECT_TRUE(std::isinf(strtodRule("1e999")));
}

} // namespace
