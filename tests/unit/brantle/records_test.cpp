// The records, their validity tests, the signal supplement and the track
// loader's grouping.
#include "brantle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

kismet placed(double minLat, double maxLat, double minLon, double maxLon) {
  kismet k;
  k.minLat = minLat;
  k.maxLat = maxLat;
  k.minLon = minLon;
  k.maxLon = maxLon;
  return k;
}

TEST(kismet, DefaultIsInvalidAndUnplaced) {
  kismet k;
  EXPECT_FALSE(k.valid);
  EXPECT_FALSE(k.sanityCheck());
  EXPECT_EQ(k.number, 0);
  EXPECT_TRUE(k.ssid.empty());
}

TEST(kismet, SanityCheckNeedsFourNonZeroBounds) {
  EXPECT_TRUE(placed(40.1, 40.2, -74.1, -74.0).sanityCheck());
  EXPECT_TRUE(placed(-33.9, -33.8, 151.2, 151.3).sanityCheck());
  EXPECT_FALSE(placed(0.0, 40.2, -74.1, -74.0).sanityCheck());
  EXPECT_FALSE(placed(40.1, 40.2, -74.1, -0.0).sanityCheck());
  EXPECT_FALSE(placed(0, 0, 0, 0).sanityCheck());
}

TEST(kismet, CopiesAgreeInEveryField) {
  kismet k = placed(1, 2, 3, 4);
  k.valid = true;
  k.ssid = "harbour";
  k.bssid = "00:0A:E9:1F:2B:3C";
  k.extraText6 = "x";
  k.maxrate = 11.0f;
  kismet copy(k);
  kismet assigned;
  assigned = k;
  for (const kismet *r : {&copy, &assigned}) {
    EXPECT_EQ(r->ssid, "harbour");
    EXPECT_EQ(r->bssid, k.bssid);
    EXPECT_EQ(r->extraText6, "x");
    EXPECT_EQ(r->maxLon, 4);
    EXPECT_TRUE(r->valid);
  }
}

TEST(wiscan, SanityCheckRejectsAZeroCoordinate) {
  wiscan w;
  w.latitude = 0.0;
  w.longitude = 12.5;
  EXPECT_FALSE(w.sanityCheck());
  w.latitude = 51.5;
  w.longitude = 0.0;
  EXPECT_FALSE(w.sanityCheck());
  w.longitude = 0.1;
  EXPECT_TRUE(w.sanityCheck());
  w.latitude = std::nan("");
  EXPECT_TRUE(w.sanityCheck());
  const std::int32_t bits[] = {1, 2, 4, 8, 16, 32, 64, 128, 65280};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(w.flagBits[i], bits[i]);
}

kisgps point(const char *bssid, int signal, int quality, int noise) {
  kisgps p;
  p.bssid = bssid;
  p.signal = signal;
  p.quality = quality;
  p.noise = noise;
  return p;
}

TEST(supplementSignal, TakesTheFirstPointOfTheLastMatchingGroup) {
  gpsGroups track;
  track.groups = {{kisgps{}},
                  {point("00:0A:E9:1F:2B:3C", 70, 40, 45),
                   point("00:0A:E9:1F:2B:3C", 1, 1, 1)},
                  {point("00:0A:E9:1F:2B:3D", 60, 30, 50)},
                  {point("00:0A:E9:1F:2B:3C", 80, 41, 44)}};
  track.reindex();
  kismet k;
  k.bssid = "00:0A:E9:1F:2B:3C";
  supplementSignal(k, track);
  EXPECT_EQ(k.bestSignal, 80);
  EXPECT_EQ(k.bestQuality, 41);
  EXPECT_EQ(k.bestNoise, 44);
}

TEST(supplementSignal, LeavesUnmatchedAndZeroesWithoutTrack) {
  gpsGroups track;
  track.groups = {{kisgps{}},
                  {point("00:0a:e9:1f:2b:3c", 70, 40, 45)},
                  {point("11:11:11:11:11:11", 1, 1, 1),
                   point("00:0A:E9:1F:2B:3C", 9, 9, 9)}};
  track.reindex();
  kismet k;
  k.bssid = "00:0A:E9:1F:2B:3C"; // differs in case; only a later point has it
  k.bestSignal = 5;
  k.bestQuality = 6;
  k.bestNoise = 7;
  supplementSignal(k, track);
  EXPECT_EQ(k.bestSignal, 5);
  EXPECT_EQ(k.bestQuality, 6);
  EXPECT_EQ(k.bestNoise, 7);
  supplementSignal(k, gpsGroups{});
  EXPECT_EQ(k.bestSignal, 0);
  EXPECT_EQ(k.bestQuality, 0);
  EXPECT_EQ(k.bestNoise, 0);
}

// Keys of every length the index keeps (empty, a BSSID, longer than a slot
// holds), and enough of them that the table grows several times.
TEST(gpsGroups, FindsEveryKeyAfterTheIndexGrows) {
  gpsGroups track;
  track.groups = {{kisgps{}}};
  track.reindex();
  std::vector<std::string> keys;
  for (int i = 0; i < 5000; ++i)
    keys.push_back(i % 3 == 0   ? std::to_string(i)
                   : i % 3 == 1 ? "00:0A:E9:1F:" + std::to_string(10000 + i)
                                : "a BSSID column far longer than 17 " +
                                      std::to_string(i));
  for (int round = 0; round < 2; ++round)
    for (const std::string &key : keys)
      track.addPoint(point(key.c_str(), round, 0, 0));
  ASSERT_EQ(track.groups.size(), keys.size() + 1);
  EXPECT_EQ(track.find(""), std::vector<std::size_t>{0});
  for (std::size_t k = 0; k < keys.size(); ++k) {
    ASSERT_EQ(track.find(keys[k]), std::vector<std::size_t>{k + 1}) << keys[k];
    EXPECT_EQ(track.groups[k + 1].size(), 2u);
  }
  EXPECT_TRUE(track.find("a BSSID column far longer than 17 x").empty());
  EXPECT_TRUE(track.find("00:0A:E9:1F:1000").empty());
}

std::string gpsLine(const std::string &bssid, int signal) {
  return "    <gps-point bssid=\"" + bssid +
         "\" time-sec=\"1046700301\" time-usec=\"1\" lat=\"40.5\" "
         "lon=\"-74.5\" alt=\"1\" spd=\"2\" fix=\"3\" signal=\"" +
         std::to_string(signal) + "\" quality=\"4\" noise=\"150\"/>\n";
}

TEST(loadGpsText, GroupsPointsByBssidInOrderOfFirstAppearance) {
  gpsGroups track;
  loadGpsText(
      "<gps-run>\n" + gpsLine("AA:AA:AA:AA:AA:AA", 1) +
          gpsLine("BB:BB:BB:BB:BB:BB", 2) + gpsLine("AA:AA:AA:AA:AA:AA", 3) +
          gpsLine("aa:aa:aa:aa:aa:aa", 4) + gpsLine("", 5) + "</gps-run>\n",
      track);
  ASSERT_EQ(track.groups.size(), 4u);
  ASSERT_EQ(track.groups[0].size(), 2u); // placeholder, then the empty BSSID
  EXPECT_EQ(track.groups[0][1].signal, 5);
  ASSERT_EQ(track.groups[1].size(), 2u);
  EXPECT_EQ(track.groups[1][0].signal, 1);
  EXPECT_EQ(track.groups[1][1].signal, 3);
  EXPECT_EQ(track.groups[2][0].bssid, "BB:BB:BB:BB:BB:BB");
  EXPECT_EQ(track.groups[3][0].bssid, "aa:aa:aa:aa:aa:aa");
  EXPECT_EQ(track.groups[1][0].lat, 40.5);
  EXPECT_EQ(track.groups[1][0].noise, 150);
}

TEST(loadGpsText, WithoutPointsHoldsThePlaceholderAlone) {
  gpsGroups track;
  loadGpsText("<gps-run>\n</gps-run>\n", track);
  ASSERT_EQ(track.groups.size(), 1u);
  EXPECT_EQ(track.groups[0].size(), 1u);
  EXPECT_TRUE(track.groups[0][0].bssid.empty());
}

TEST(loadGpsText, LastLineWithoutClosingBracketStillLoadsEveryPoint) {
  gpsGroups track;
  std::string text = gpsLine("AA:AA:AA:AA:AA:AA", 1) +
                     "    <gps-point bssid=\"AA:AA:AA:AA:AA:AA\" signal=\"2";
  loadGpsText(text, track);
  ASSERT_EQ(track.groups.size(), 2u);
  ASSERT_EQ(track.groups[1].size(), 2u);
  // The cut value "2 is no reading: the point is kept, its signal is 0.
  EXPECT_EQ(track.groups[1][1].signal, 0);
}

TEST(loadGpsText, ReadsAttributesByName) {
  gpsGroups track;
  loadGpsText("<gps-point bssid=\"AA:AA:AA:AA:AA:AA\" source=\"x\" "
              "heading=\"90\" time-sec=\"7\" lat=\" 1.5\" lon=\"12abc\" "
              "alt=\"3\" spd=\"4\" fix=\"2\" signal=\"-60\" noise=\"-95\"/>\n",
              track);
  ASSERT_EQ(track.groups.size(), 2u);
  const kisgps &p = track.groups[1][0];
  EXPECT_EQ(p.timeSec, 7);
  EXPECT_EQ(p.lat, 1.5);
  EXPECT_EQ(p.lon, 12.0);
  EXPECT_EQ(p.signal, -60);
  EXPECT_EQ(p.quality, 0); // 3.x writes no quality
  EXPECT_EQ(p.noise, -95);
}

} // namespace
