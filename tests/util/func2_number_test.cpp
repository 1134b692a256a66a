#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "util/Func_2Number.h"

namespace tessa {
namespace {

struct IntCase {
  std::u16string text;
  int32_t expected;
};

TEST(TextToInt, ReadsDecimalAndHexWithTolerantPrefixes) {
  const IntCase cases[] = {
      {u"", 0},          {u"42", 42},        {u" 42", 42},        {u"   -7", -7},
      {u"+13", 13},      {u"$1F", 31},       {u"$1f", 31},        {u"x1F", 31},
      {u"X10", 16},      {u"0x10", 16},      {u"0X10", 16},       {u"-$10", -16},
      {u"+0x7FFFFFFF", 2147483647},          {u"0", 0},           {u"007", 7},
      {u"2147483647", 2147483647},           {u"-2147483648", -2147483647 - 1},
      {u"-$80000000", -2147483647 - 1},      {u"$7FFFFFFF", 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToInt(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(TextToInt, AnythingUnreadableOrOutOfRangeGivesZero) {
  const std::u16string bad[] = {
      u"42 ",  u"4 2",  u"\t42",  u"abc",  u"-",        u"+",         u"$",
      u"0x",   u"x",    u"1.5",   u"1e3",  u"--1",      u"$G",        u"0x1G",
      u"2147483648",    u"-2147483649",    u"$80000000", u"$FFFFFFFF", u"99999999999999999999",
      u"\uFF11",  // full-width digit is not a digit here
      u"00x10",
  };
  for (const auto& t : bad) {
    EXPECT_EQ(TextToInt(t), 0) << std::string(t.begin(), t.end());
  }
}

struct FloatCase {
  std::u16string text;
  double expected;
};

TEST(TextToFloat, ReadsDecimalNumbersWithDotOnly) {
  const FloatCase cases[] = {
      {u"1.5", 1.5},     {u" 2e3", 2000.0}, {u"-0.25", -0.25}, {u"+4", 4.0},
      {u".5", 0.5},      {u"5.", 5.0},      {u"1E-2", 0.01},   {u"1e+2", 100.0},
      {u"  .5e1", 5.0},  {u"0.1", 0.1},     {u"123456789012345678", 123456789012345678.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToFloat(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(TextToFloat, AnythingElseGivesZero) {
  const std::u16string bad[] = {
      u"",     u"1,5",  u"1e",   u".",    u"+",   u"-",    u"e5",     u"1.5 ",
      u"1.2.3", u"inf", u"nan",  u"0x1p3", u"1e400", u"-1e400", u"\t1", u"1e+",
      u"\uFF11",
  };
  for (const auto& t : bad) {
    EXPECT_EQ(TextToFloat(t), 0.0) << std::string(t.begin(), t.end());
  }
}

TEST(TextToBool, MatchesTheTenTrueWordsAfterUpperCasing) {
  const std::u16string yes[] = {u"T",  u"t",  u"Tr", u"tru", u"true", u"TRUE", u"True",
                                u"1",  u"\uFF11", u"\u25CB", u"On", u"on", u"\u771F",
                                u"\u6B63",
                                u"\uFF54"  // full-width t upper-cases to full-width T: no match
                                };
  for (size_t i = 0; i + 1 < std::size(yes); ++i) {
    EXPECT_TRUE(TextToBool(yes[i])) << i;
  }
  EXPECT_FALSE(TextToBool(yes[std::size(yes) - 1]));
  const std::u16string no[] = {u"",      u"Yes",  u" true", u"true ", u"0",  u"2",
                               u"TRUEX", u"OFF",  u"F",     u"11",    u"\u25CF"};
  for (const auto& t : no) {
    EXPECT_FALSE(TextToBool(t)) << std::string(t.begin(), t.end());
  }
}

TEST(IntToText, PlainDecimal) {
  EXPECT_EQ(IntToText(0), u"0");
  EXPECT_EQ(IntToText(-42), u"-42");
  EXPECT_EQ(IntToText(2147483647), u"2147483647");
  EXPECT_EQ(IntToText(-2147483647 - 1), u"-2147483648");
}

}  // namespace
}  // namespace tessa
