// The scanning helpers every reader relies on.
#include "classes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct scanCase {
  const char *name;
  std::string input;
  char delim;
  std::string text; // what getThis returns
  int next;         // the next character after it, or EOF
};

void PrintTo(const scanCase &c, std::ostream *os) { *os << c.name; }

const scanCase getThisCases[] = {
    {"DropsOnlyLeadingSpaces", "  ab c ;x", ';', "ab c ", 'x'},
    {"KeepsLeadingTab", "\tab;x", ';', "\tab", 'x'},
    {"KeepsCarriageReturn", "ab\r\nx", '\n', "ab\r", 'x'},
    {"RunsToTheEndWithoutDelimiter", "  abc", ';', "abc", EOF},
    {"DelimiterFirstGivesEmpty", ";x", ';', "", 'x'},
    {"EmptyStream", "", ';', "", EOF},
    {"Byte255IsOrdinary",
     "a\xff"
     "b;",
     ';',
     "a\xff"
     "b",
     EOF},
};

class getThisTable : public testing::TestWithParam<scanCase> {};

TEST_P(getThisTable, ReturnsTextAndConsumesDelimiter) {
  const scanCase &c = GetParam();
  std::istringstream in(c.input);
  EXPECT_EQ(common::getThis(in, c.delim), c.text);
  int next = in.get();
  EXPECT_EQ(next, c.next == EOF ? EOF : static_cast<unsigned char>(c.next));
}

INSTANTIATE_TEST_SUITE_P(common, getThisTable, testing::ValuesIn(getThisCases),
                         [](const auto &info) { return info.param.name; });

TEST(skipThis, ConsumesThroughDelimiterOrToTheEnd) {
  std::istringstream in("ab\xff;c");
  common::skipThis(in, ';');
  EXPECT_EQ(in.get(), 'c');
  std::istringstream none("abc");
  common::skipThis(none, ';');
  EXPECT_TRUE(none.eof());
  common::skipThis(none, ';'); // an exhausted stream stays exhausted
  EXPECT_TRUE(none.fail());
}

TEST(skipThis, ThenGetThisReadsAQuotedValue) {
  std::istringstream in("a=\"b c\" d");
  common::skipThis(in, '"');
  EXPECT_EQ(common::getThis(in, '"'), "b c");
  EXPECT_EQ(in.get(), ' ');
  EXPECT_EQ(in.get(), 'd');
}

TEST(getHexStr, ReadsHexadecimalModulo32Bits) {
  EXPECT_EQ(common::getHexStr("1A"), 26);
  EXPECT_EQ(common::getHexStr("ff"), 255);
  EXPECT_EQ(common::getHexStr(""), 0);
  EXPECT_EQ(common::getHexStr("100000000"), 0);
  EXPECT_EQ(common::getHexStr("1g"), 16); // not a digit: counts as 0
  EXPECT_EQ(common::getHexChar('z'), 0);
}

TEST(fileCheck, NeedsOneWord) {
  const std::string dir = testing::TempDir();
  auto write = [&](const char *name, const char *content) {
    std::ofstream(dir + name) << content;
    return dir + name;
  };
  EXPECT_EQ(common::fileCheck(dir + "no-such-file"), 0);
  EXPECT_EQ(common::fileCheck(write("empty.txt", "")), 0);
  EXPECT_EQ(common::fileCheck(write("blank.txt", "\n \n\t\n")), 0);
  EXPECT_EQ(common::fileCheck(write("letter.txt", "a")), 1);
  EXPECT_EQ(common::fileCheck(dir), 0); // a directory holds no word
}

} // namespace
