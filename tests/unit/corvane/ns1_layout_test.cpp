// Byte layout of the NS1 file and the conversions its fields go through.
#include "corvane.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>

namespace {

std::string bytesOf(std::int64_t v) {
  std::string s;
  for (int i = 0; i < 8; ++i)
    s.push_back(
        static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF));
  return s;
}

std::uint32_t u32At(const std::string &s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
  return v;
}

/// A CSV line of 32 columns with the given values in the given columns.
std::string csvLine(std::initializer_list<std::pair<int, std::string>> set) {
  std::string cols[33];
  cols[1] = "1";
  cols[2] = "infrastructure";
  cols[3] = "net";
  cols[4] = "00:06:25:AA:01:01";
  cols[5] = "None";
  cols[6] = "6";
  cols[8] = "No";
  cols[14] = cols[15] = "Sat Feb 22 12:34:56 2003";
  for (const auto &[column, value] : set)
    cols[column] = value;
  std::string line;
  for (int c = 1; c <= 32; ++c)
    line += cols[c] + ";";
  return line;
}

std::string recordOf(const std::string &line,
                     const std::vector<gpsPoint> &points = {}) {
  std::ostringstream out;
  gpsIndex index(points);
  EXPECT_TRUE(writeNs1Record(out, line, points, index));
  return out.str();
}

gpsPoint pointOf(const char *bssid, std::int64_t timeSec) {
  gpsPoint p;
  std::memcpy(p.bssid, bssid,
              std::strlen(bssid) < 17 ? std::strlen(bssid) : 17);
  p.timeSec = timeSec;
  return p;
}

TEST(writeNs1Header, IsSignatureVersionAndCount) {
  std::ostringstream out;
  writeNs1Header(out, 3);
  EXPECT_EQ(out.str(), std::string("NetS\x08\0\0\0\x03\0\0\0", 12));
}

TEST(secondsToFileTime, EpochAndOneSecondBefore) {
  EXPECT_EQ(bytesOf(secondsToFileTime(0)),
            std::string("\x00\x80\x3E\xD5\xDE\xB1\x9D\x01", 8));
  EXPECT_EQ(secondsToFileTime(-1), secondsToFileTime(0) - 10000000);
  // Past 2038 nothing wraps.
  EXPECT_EQ(secondsToFileTime(4102444800LL),
            4102444800LL * 10000000 + 116444736000000000LL);
}

TEST(kismetTimeToFileTime, ReadsUtcTimes) {
  EXPECT_EQ(bytesOf(kismetTimeToFileTime("Sat Feb 22 12:34:56 2003")),
            std::string("\x00\x58\x2B\xCE\x6E\xDA\xC2\x01", 8));
  // Kismet pads a one-digit day with a blank.
  EXPECT_EQ(kismetTimeToFileTime("Mon Mar  3 09:05:01 2003"),
            kismetTimeToFileTime("Mon Mar 3 09:05:01 2003"));
  EXPECT_EQ(kismetTimeToFileTime("Mon Mar 3 09:05:01 2003"),
            secondsToFileTime(1046682301));
}

TEST(kismetTimeToFileTime, UnreadableTimesCountAsMinusOne) {
  const std::int64_t unreadable = secondsToFileTime(-1);
  EXPECT_EQ(kismetTimeToFileTime(""), unreadable);
  EXPECT_EQ(kismetTimeToFileTime("Sat Feb 22 12:34:56"), unreadable);
  EXPECT_EQ(kismetTimeToFileTime("Sat Xyz 22 12:34:56 2003"), unreadable);
  // A short time of day reads its missing parts as 0.
  EXPECT_EQ(kismetTimeToFileTime("Sat Feb 22 12 2003"),
            secondsToFileTime(1045915200));
}

class newYorkTime : public testing::Test {
protected:
  void SetUp() override {
    const char *tz = std::getenv("TZ");
    saved_ = tz ? tz : "";
    setenv("TZ", "America/New_York", 1);
    tzset();
  }
  void TearDown() override {
    setenv("TZ", saved_.c_str(), 1);
    tzset();
  }
  std::string saved_;
};

TEST_F(newYorkTime, SummerAndWinterTimesFollowTheZone) {
  // 12:00 EDT is 16:00 UTC, 09:05:01 EST is 14:05:01 UTC.
  EXPECT_EQ(kismetTimeToFileTime("Sun Jul 13 12:00:00 2003"),
            secondsToFileTime(1058112000));
  EXPECT_EQ(kismetTimeToFileTime("Mon Mar  3 09:05:01 2003"),
            secondsToFileTime(1046700301));
}

TEST(writeNs1Record, LengthIsEightyPlusTextsPlusEntries) {
  std::vector<gpsPoint> points = {pointOf("00:06:25:AA:01:01", 10),
                                  pointOf("00:06:25:AA:01:02", 11),
                                  pointOf("00:06:25:AA:01:01", 12)};
  std::string rec = recordOf(csvLine({{3, "abcde"}, {5, "AP-1"}}), points);
  const std::size_t S = 5, N = 4, D = 2;
  ASSERT_EQ(rec.size(), 80 + S + N + 80 * D);
  EXPECT_EQ(rec[0], 5);
  EXPECT_EQ(rec.substr(1, 5), "abcde");
  EXPECT_EQ(rec.substr(1 + S, 6), std::string("\x00\x06\x25\xAA\x01\x01", 6));
  EXPECT_EQ(u32At(rec, 23 + S), 100u);
  EXPECT_EQ(u32At(rec, 59 + S), D);
  // The entries in track order, each with location source 1.
  EXPECT_EQ(rec.substr(63 + S, 8), bytesOf(secondsToFileTime(10)));
  EXPECT_EQ(rec.substr(63 + S + 80, 8), bytesOf(secondsToFileTime(12)));
  EXPECT_EQ(u32At(rec, 63 + S + 16), 1u);
  EXPECT_EQ(rec[63 + S + 80 * D], 4);
  EXPECT_EQ(rec.substr(64 + S + 80 * D, 4), "AP-1");
  EXPECT_EQ(u32At(rec, 68 + S + 80 * D + N), 0u);
}

TEST(writeNs1Record, CapabilityFlagsTable) {
  struct row {
    const char *wep, *type;
    std::uint32_t flags;
  } rows[] = {{"No", "infrastructure", 1}, {"No", "ad-hoc", 2},
              {"No", "probe", 8},          {"Yes", "infrastructure", 17},
              {"Yes", "ad-hoc", 18},       {"Yes", "probe", 24},
              {"No", "data", 0},           {"Yes", "data", 0},
              {"None", "probe", 8}};
  for (const row &r : rows) {
    std::string rec = recordOf(csvLine({{3, ""}, {8, r.wep}, {2, r.type}}));
    EXPECT_EQ(u32At(rec, 19), r.flags) << r.wep << " " << r.type;
  }
}

TEST(writeNs1Record, ChannelBitsTable) {
  struct row {
    const char *channel;
    std::uint32_t bits;
  } rows[] = {{"1", 2},   {"6", 64},  {"11", 2048}, {"0", 64},
              {"12", 64}, {"14", 64}, {"-3", 64},   {"06", 64}};
  for (const row &r : rows) {
    std::string rec = recordOf(csvLine({{3, ""}, {6, r.channel}}));
    EXPECT_EQ(u32At(rec, 64), r.bits) << r.channel; // S = N = D = 0
  }
}

TEST(writeNs1Record, NameNoneIsEmptyButOtherSpellingsAreNames) {
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {5, "None"}}))[63], 0);
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {5, "none"}})).substr(63, 5),
            "\x04none");
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {5, " None"}}))[63], 5);
}

TEST(writeNs1Record, TextsOfMoreThan255BytesWriteNothing) {
  std::ostringstream out;
  std::vector<gpsPoint> none;
  gpsIndex index(none);
  EXPECT_EQ(recordOf(csvLine({{3, std::string(255, 's')}}))[0],
            static_cast<char>(255));
  EXPECT_FALSE(
      writeNs1Record(out, csvLine({{3, std::string(256, 's')}}), none, index));
  EXPECT_FALSE(
      writeNs1Record(out, csvLine({{5, std::string(256, 'n')}}), none, index));
  EXPECT_EQ(out.str(), "");
}

TEST(writeNs1Record, BssidOctetsOfShortOrOddColumns) {
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {4, "00:0a:E9:1F:2B:3C"}})).substr(1, 6),
            std::string("\x00\x0A\xE9\x1F\x2B\x3C", 6));
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {4, "AB:CD:E"}})).substr(1, 6),
            std::string("\xAB\xCD\x0E\0\0\0", 6));
  EXPECT_EQ(recordOf(csvLine({{3, ""}, {4, "zz:01:02:03:04:05"}})).substr(1, 6),
            std::string("\0\x01\x02\x03\x04\x05", 6));
}

TEST(gpsIndex, MatchesByTheStrncmpRule) {
  std::vector<gpsPoint> points = {pointOf("00:06:25:AA:01:01", 1),
                                  pointOf("00:06:25:AA:01:02", 2),
                                  pointOf("00:06:25:AA:01:01", 3)};
  gpsIndex index(points);
  using v = std::vector<std::uint32_t>;
  EXPECT_EQ(index.matching("00:06:25:AA:01:01"), (v{0, 2}));
  EXPECT_EQ(index.matching("00:06:25:aa:01:01"), v{});
  EXPECT_EQ(index.matching("00:06:25:AA:01"), (v{0, 1, 2})); // a prefix
  EXPECT_EQ(index.matching("00:06:25:AA:01:01x"), v{});
  EXPECT_EQ(index.matching(""), v{});
}

TEST(cutColumns, ShortLinesRepeatTheirColumns) {
  auto cols = cutColumns("1;probe;abc");
  EXPECT_EQ(cols[0], "1");
  EXPECT_EQ(cols[2], "abc");
  EXPECT_EQ(cols[3], "1");
  EXPECT_EQ(cols[4], "probe");
  EXPECT_EQ(cols[29], "abc");
  auto one = cutColumns("lonely");
  EXPECT_EQ(one[29], "lonely");
}

TEST(isDataLine, SkipsEmptyBlankAndNLines) {
  EXPECT_FALSE(isDataLine(""));
  EXPECT_FALSE(isDataLine("Network;NetType"));
  EXPECT_FALSE(isDataLine(" \t\r"));
  EXPECT_TRUE(isDataLine("network;x"));
  EXPECT_TRUE(isDataLine("1;infrastructure"));
}

} // namespace
