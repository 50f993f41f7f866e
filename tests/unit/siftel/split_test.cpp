// The line split on in-memory streams.
#include "siftel.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct splitCase {
  const char *name;
  std::string input;
  std::string allGps;
  std::string noGps;
  std::string letters;
};

const splitCase splitCases[] = {
    {"EmptyInputIsNoLine", "", "", "", ""},
    {"ZeroLatitudeGoesToNoGpsOnly", "N 0.0000000\tE 0.0000000\t( cafe )\n", "",
     "N 0.0000000\tE 0.0000000\t( cafe )\n", "b"},
    {"ZeroLongitudeGoesToBoth", "N 37.5000000\tW 120.0000000\n",
     "N 37.5000000\tW 120.0000000\n", "N 37.5000000\tW 120.0000000\n", "Gb"},
    {"DigitBeforePointIsNoZero", "N 37.5000000\tW 122.0000000\n",
     "N 37.5000000\tW 122.0000000\n", "", "G"},
    {"HeaderGoesToAllGps", "# $Creator: Network Stumbler Version 0.3.30\n",
     "# $Creator: Network Stumbler Version 0.3.30\n", "", "G"},
    {"LastLineWithoutLineFeedIsClassified", "a\nN 0.0000000", "a\n",
     "N 0.0000000\n", "Gb"},
    {"CarriageReturnIsKept", "x\r\n", "x\r\n", "", "G"},
    {"EmptyLinesAreLines", "\n\n", "\n\n", "", "GG"},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const splitCase &c, std::ostream *os) { *os << c.name; }

class siftLinesTable : public testing::TestWithParam<splitCase> {};

TEST_P(siftLinesTable, SplitsAsTheTwoTestsSay) {
  const splitCase &c = GetParam();
  std::istringstream in(c.input);
  std::ostringstream all, no, console;
  siftCounts counts = siftLines(in, all, no, console);
  EXPECT_EQ(all.str(), c.allGps);
  EXPECT_EQ(no.str(), c.noGps);
  EXPECT_EQ(console.str(), c.letters);
  std::size_t g = 0, b = 0;
  for (char letter : c.letters)
    (letter == 'G' ? g : b)++;
  EXPECT_EQ(counts.withGps, static_cast<int>(g));
  EXPECT_EQ(counts.withoutGps, static_cast<int>(b));
}

INSTANTIATE_TEST_SUITE_P(siftLines, siftLinesTable,
                         testing::ValuesIn(splitCases),
                         [](const auto &info) { return info.param.name; });

TEST(siftLines, LinesLongerThanAReadChunkStayWhole) {
  std::string longLine(200000, 'a');
  longLine.replace(150000, 11, "N 0.0000000");
  std::istringstream in(longLine + "\nshort\n");
  std::ostringstream all, no, console;
  siftLines(in, all, no, console);
  EXPECT_EQ(no.str(), longLine + "\n");
  EXPECT_EQ(all.str(), "short\n");
  EXPECT_EQ(console.str(), "bG");
}

} // namespace
