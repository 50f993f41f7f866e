// translateKW's column texts.
#include "brantle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

kismet networkAt(double lat, double lon) {
  kismet k;
  k.lat = lat;
  k.lon = lon;
  k.type = "infrastructure";
  k.bssid = "00:0A:E9:1F:2B:3C";
  k.wep = "Yes";
  k.channel = 6;
  k.firstHour = 8;
  k.firstMin = 5;
  k.firstSec = 30;
  k.bestSignal = 70;
  k.bestNoise = 45;
  k.ssid = "harbour";
  return k;
}

TEST(translateKW, CoordinateTexts) {
  struct row {
    double value;
    const char *text;
  } rows[] = {{40.123456, "40.1234560"},    {37.5, "37.5000000"},
              {122.4183333, "122.4183333"}, {37.123456789, "37.12345679"},
              {122.123456, "122.123456"},   {37.0, "37.0000000"},
              {180.0, "180.000000"},        {0.00009, "0.00009000"},
              {0.000015, "0.00001500"},     {151.2093, "151.209300"},
              {33.8688, "33.8688000"}};
  for (const row &r : rows)
    EXPECT_EQ(translateKW(networkAt(r.value, 1.0)).latText, r.text) << r.value;
}

// The column as printf writes it: "%.10g" padded with zeros to ten
// characters, or fixed notation with ten digits where that form has no point
// or an exponent.
std::string printfCoordinate(double magnitude) {
  char text[512];
  std::snprintf(text, sizeof text, "%.10g", magnitude);
  std::string s = text;
  if (s.find('.') == std::string::npos || s.find('e') != std::string::npos) {
    std::snprintf(text, sizeof text, "%.0f", magnitude);
    int digits = 0;
    for (const char *c = text; *c; ++c)
      digits += *c >= '0' && *c <= '9';
    std::snprintf(text, sizeof text, "%.*f", digits < 9 ? 9 - digits : 1,
                  magnitude);
    return text;
  }
  return s.size() < 10 ? s + std::string(10 - s.size(), '0') : s;
}

TEST(translateKW, CoordinateTextsMatchPrintfOverEveryRange) {
  std::mt19937_64 random(20261211);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> values = {1e-4,
                                9.99999999995e-5,
                                1e10,
                                9999999999.5,
                                0.1,
                                0.30000000000000004,
                                99.99999999995,
                                1e-300,
                                1e300,
                                5e-324,
                                45.0,
                                179.9999999999};
  for (int i = 0; i < 20000; ++i) {
    const double digits6 = std::round(unit(random) * 180e6) / 1e6;
    values.push_back(digits6);                           // as logged
    values.push_back((digits6 + digits6 + 0.002) / 2.0); // a centre
    values.push_back(std::ldexp(unit(random), static_cast<int>(i % 80) - 40));
  }
  for (double v : values) {
    wiscan w = translateKW(networkAt(v, 1.0));
    ASSERT_EQ(w.latText, printfCoordinate(v)) << std::hexfloat << v;
  }
}

TEST(translateKW, HemispheresFromTheSign) {
  wiscan w = translateKW(networkAt(-33.8688, 151.2093));
  EXPECT_EQ(w.latDir, 'S');
  EXPECT_EQ(w.latText, "33.8688000");
  EXPECT_EQ(w.lonDir, 'E');
  EXPECT_EQ(w.lonText, "151.209300");
  wiscan zero = translateKW(networkAt(0.0, -74.0));
  EXPECT_EQ(zero.latDir, 'N');
  EXPECT_EQ(zero.lonDir, 'W');
  EXPECT_FALSE(zero.sanityCheck());
}

TEST(translateKW, TypeAndFlagsTable) {
  struct row {
    const char *type, *wep, *wType, *flags;
  } rows[] = {{"infrastructure", "Yes", "BBS", "0011"},
              {"infrastructure", "No", "BBS", "0001"},
              {"probe", "Yes", "ad-hoc", "001a"},
              {"probe", "No", "ad-hoc", "000a"},
              {"data", "Yes", "ad-hoc", "0012"},
              {"ad-hoc", "", "ad-hoc", "0002"},
              {"Infrastructure", "yes", "ad-hoc", "0002"}};
  for (const row &r : rows) {
    kismet k = networkAt(1, 1);
    k.type = r.type;
    k.wep = r.wep;
    wiscan w = translateKW(k);
    EXPECT_EQ(w.type, r.wType) << r.type << r.wep;
    EXPECT_EQ(w.flagsText, r.flags) << r.type << r.wep;
  }
}

TEST(translateKW, ChannelBitsTable) {
  const char *bits[] = {"0000", "0002", "0004", "0008", "0010", "0020",
                        "0040", "0080", "0100", "0200", "0400", "0800",
                        "1000", "2000", "4000", "0000"};
  for (int channel = 0; channel <= 15; ++channel) {
    kismet k = networkAt(1, 1);
    k.channel = channel;
    EXPECT_EQ(translateKW(k).channelBits, bits[channel]) << channel;
  }
  kismet negative = networkAt(1, 1);
  negative.channel = -1;
  EXPECT_EQ(translateKW(negative).channelBits, "0000");
}

TEST(translateKW, TimeSignalAndBssidTexts) {
  kismet k = networkAt(1, 1);
  wiscan w = translateKW(k);
  EXPECT_EQ(w.timeText, "08:05:30");
  EXPECT_EQ(w.sigText, "[ 25 70 45 ]");
  EXPECT_EQ(w.bssid, "00:0a:e9:1f:2b:3c");
  EXPECT_EQ(w.beaconInterval, 100);
  k.firstHour = 14;
  k.firstMin = 0;
  k.firstSec = 59;
  k.bestSignal = 0;
  k.bestNoise = 0;
  w = translateKW(k);
  EXPECT_EQ(w.timeText, "14:00:59");
  EXPECT_EQ(w.sigText, "[ 0 0 0 ]");
  k.firstHour = -5;
  k.bestSignal = -60;
  k.bestNoise = -95;
  w = translateKW(k);
  EXPECT_EQ(w.timeText, "-5:00:59");
  EXPECT_EQ(w.sigText, "[ 35 -60 -95 ]");
}

TEST(writers, WorkedExampleInTheThreeVariants) {
  wiscan w = translateKW(networkAt(40.123456, -74.123456));
  wiscan copy = w;
  const std::string common = "N 40.1234560\tW 74.1234560\t( harbour )\tBBS\t "
                             "( 00:0a:e9:1f:2b:3c )\t08:05:30 (GMT)\t"
                             "[ 25 70 45 ]";
  const std::string ext = "\t# (  )\t0011\t0040\t100";
  std::ostringstream x, t, s;
  writeWXRecord(x, copy);
  writeWTRecord(t, w);
  writeWSRecord(s, w);
  EXPECT_EQ(x.str(), common + "\n");
  EXPECT_EQ(t.str(), common + ext + "\r\n");
  EXPECT_EQ(s.str(), common + ext + "\n");
}

TEST(writeWHeaders, UnknownModeWritesTheCreatorLineAlone) {
  std::ostringstream out;
  writeWHeaders(out, 'Q', "2003-02-22");
  EXPECT_EQ(out.str(), "# $Creator: Network Stumbler Version 0.3.30\n");
}

} // namespace
