#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "util/CaseMapTable.h"
#include "util/Func_2Text.h"

namespace tessa {
namespace {

std::string Hex(const std::u16string& s) {
  std::string out;
  char buf[8];
  for (char16_t c : s) {
    std::snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(c));
    out += buf;
  }
  return out;
}

TEST(Editing, IndexOfStrIsZeroBased) {
  EXPECT_EQ(IndexOfStr(u"c", u"abcabc"), 2);
  EXPECT_EQ(IndexOfStr(u"abc", u"abcabc"), 0);
  EXPECT_EQ(IndexOfStr(u"x", u"abc"), -1);
  EXPECT_EQ(IndexOfStr(u"abcd", u"abc"), -1);
  EXPECT_EQ(IndexOfStr(u"", u"abc"), -1);
  EXPECT_EQ(IndexOfStr(u"\u6F22", u"\u3042\u6F22"), 1);
}

struct MidCase {
  int start, count;
  std::u16string expected;
};

TEST(Editing, MidStrClipsStartAndCount) {
  const MidCase cases[] = {
      {0, 3, u"abc"}, {2, 2, u"cd"},  {4, 10, u"ef"}, {6, 1, u""},   {100, 1, u""},
      {-2, 3, u"abc"}, {1, 0, u""},   {1, -5, u""},   {0, 2147483647, u"abcdef"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MidStr(u"abcdef", c.start, c.count), c.expected) << c.start << "," << c.count;
  }
  EXPECT_EQ(MidFrom(u"abcdef", 4), u"ef");
  EXPECT_EQ(MidFrom(u"abcdef", -1), u"abcdef");
  EXPECT_EQ(MidFrom(u"abcdef", 6), u"");
  EXPECT_EQ(MidFrom(u"abcdef", 99), u"");
  EXPECT_EQ(CharAt(u"abc", 1), u"b");
  EXPECT_EQ(CharAt(u"abc", 3), u"");
  EXPECT_EQ(CharAt(u"abc", -1), u"");
}

TEST(Editing, DeletingControlsAndSpaces) {
  EXPECT_EQ(DelCtrl(u"a\tb\r\nc\x1F d"), u"abc d");
  EXPECT_EQ(DelSpace(u" a\u3000b\tc d "), u"abcd");
  EXPECT_EQ(DelSpace(u"\u00A0"), u"\u00A0");  // only blank and ideographic space
}

struct CtrlCodeCase {
  std::u16string in, expected;
};

TEST(Editing, DelCtrlCodeDropsCaretMAndBackslashN) {
  const CtrlCodeCase cases[] = {
      {u"^m", u" "},
      {u"", u""},
      {u"a\\nb", u"ab"},
      {u"a^mb^mc", u"abc"},
      {u"^M", u"^M"},            // only lower-case m
      {u"\\", u"\\"},            // backslash at the end is kept
      {u"^", u"^"},
      {u"\\\\n", u"\\"},         // scanned pairwise from the start
      {u"\t\r\n", u" "},         // nothing left
      {u"x\ty", u"xy"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DelCtrlCode(c.in), c.expected);
  }
}

TEST(Editing, IsHankakuRanges) {
  EXPECT_TRUE(IsHankaku(u' '));
  EXPECT_TRUE(IsHankaku(u'~'));
  EXPECT_TRUE(IsHankaku(u'\uFF61'));
  EXPECT_TRUE(IsHankaku(u'\uFF9F'));
  EXPECT_FALSE(IsHankaku(u'\x1F'));
  EXPECT_FALSE(IsHankaku(u'\x7F'));
  EXPECT_FALSE(IsHankaku(u'\uFF60'));
  EXPECT_FALSE(IsHankaku(u'\uFFA0'));
  EXPECT_FALSE(IsHankaku(u'\u3042'));
}

TEST(Editing, MojiWidthCountsHalfAndFullWidth) {
  EXPECT_EQ(MojiWidth(u"abc", 2, 1), 5.0);
  EXPECT_EQ(MojiWidth(u"", 2, 1), 0.0);
  EXPECT_EQ(MojiWidth(u"\u3042", 2, 1), 2.0);
  EXPECT_EQ(MojiWidth(u"a\u3042\uFF71", 4, 0.5), 2 + 0.5 + 4 + 0.5 + 2);
  EXPECT_EQ(MojiWidth(u"a\tb", 2, 1), 1 + 1 + 0 + 1 + 1);  // control: gap only
  EXPECT_EQ(MojiWidthFix(u"abc", 2, 1), 8.0);
  EXPECT_EQ(MojiWidthFix(u"", 2, 1), -1.0);
}

// ---- Casing ----------------------------------------------------------------

struct CaseCase {
  std::u16string in, upper, lower;
};

TEST(Casing, UnicodeSimpleCasePerCodePoint) {
  const CaseCase cases[] = {
      {u"abcXYZ", u"ABCXYZ", u"abcxyz"},
      {u"\uFF41\uFF3A", u"\uFF21\uFF3A", u"\uFF41\uFF5A"},  // full-width Latin
      {u"\u00E9\u00C9", u"\u00C9\u00C9", u"\u00E9\u00E9"},
      {u"\u03B1\u0392", u"\u0391\u0392", u"\u03B1\u03B2"},  // Greek
      {u"\u00DF", u"\u00DF", u"\u00DF"},                    // no length change
      {u"\u3042\u6F22", u"\u3042\u6F22", u"\u3042\u6F22"},
      {u"\U00010428", u"\U00010400", u"\U00010428"},        // Deseret pair
      {u"\xD801x", u"\xD801X", u"\xD801x"},                 // lone surrogate kept
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(UpperStr(c.in)), Hex(c.upper));
    EXPECT_EQ(Hex(LowerStr(c.in)), Hex(c.lower));
  }
}

struct CharCase {
  const char* name;
  char32_t c, upper, lower;
};

// Code points at the ends of the stored runs and inside the runs that
// step over every other code point.
TEST(Casing, EdgesOfTheMappingRuns) {
  const CharCase cases[] = {
      {"before a", U'`', U'`', U'`'},
      {"a", U'a', U'A', U'a'},
      {"z", U'z', U'Z', U'z'},
      {"after z", U'{', U'{', U'{'},
      {"micro sign", U'\u00B5', U'\u039C', U'\u00B5'},
      {"y with diaeresis", U'\u00FF', U'\u0178', U'\u00FF'},
      {"first of alternating pairs", U'\u0100', U'\u0100', U'\u0101'},
      {"second of alternating pairs", U'\u0101', U'\u0100', U'\u0101'},
      {"last of that run", U'\u012F', U'\u012E', U'\u012F'},
      {"capital I with dot", U'\u0130', U'\u0130', U'i'},
      {"dotless i", U'\u0131', U'I', U'\u0131'},
      {"title case digraph", U'\u01C5', U'\u01C4', U'\u01C6'},
      {"sharp s has no simple upper case", U'\u00DF', U'\u00DF', U'\u00DF'},
      {"capital sharp s", U'\u1E9E', U'\u1E9E', U'\u00DF'},
      {"Georgian to Mtavruli", U'\u10D0', U'\u1C90', U'\u10D0'},
      {"Cherokee", U'\u13A0', U'\u13A0', U'\uAB70'},
      {"Cherokee small letter", U'\uAB70', U'\u13A0', U'\uAB70'},
      {"a with stroke, other UTF-8 length", U'\u2C65', U'\u023A', U'\u2C65'},
      {"last fullwidth capital", U'\uFF3A', U'\uFF3A', U'\uFF5A'},
      {"Deseret", U'\U00010400', U'\U00010400', U'\U00010428'},
      {"last mapped code point", U'\U0001E943', U'\U0001E921', U'\U0001E943'},
      {"after it", U'\U0001E944', U'\U0001E944', U'\U0001E944'},
      {"NUL", U'\0', U'\0', U'\0'},
      {"surrogate code point", 0xD801, 0xD801, 0xD801},
      {"last code point", 0x10FFFF, 0x10FFFF, 0x10FFFF},
      {"past Unicode", 0x110000, 0x110000, 0x110000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<uint32_t>(UpperChar(c.c)), static_cast<uint32_t>(c.upper)) << c.name;
    EXPECT_EQ(static_cast<uint32_t>(LowerChar(c.c)), static_cast<uint32_t>(c.lower)) << c.name;
  }
}

// The lookup needs sorted runs; the counts are those of Unicode 15.0.
TEST(Casing, StoredRunsAreSortedAndCoverUnicode15) {
  auto check = [](std::span<const case_table::CaseRun> runs) {
    uint32_t next = 0;
    for (const auto& r : runs) {
      EXPECT_GE(r.first, next);
      EXPECT_GE(r.length, 1);
      EXPECT_GE(r.step, 1);
      next = r.first + (r.length - 1u) * r.step + 1;
    }
  };
  check(case_table::kUpper);
  check(case_table::kLower);
  int upper = 0, lower = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    upper += UpperChar(c) != c;
    lower += LowerChar(c) != c;
  }
  EXPECT_EQ(upper, 1450);
  EXPECT_EQ(lower, 1433);
}

// ---- Image texts ----------------------------------------------------------

TEST(ImageText, ParsesNameAndUpToSixNumbers) {
  TImageText t = ParseImageText(u"^@BMpic.bmp,100");
  EXPECT_EQ(t.fname, u"pic.bmp");
  EXPECT_EQ(t.width, 100);
  EXPECT_EQ(t.height, 100);
  EXPECT_TRUE(t.isShort);
  EXPECT_EQ(t.n5, 1.0);

  t = ParseImageText(u"^@BMa.jpg,10,20,1,2,0.5,30");
  EXPECT_EQ(t.fname, u"a.jpg");
  EXPECT_EQ(t.width, 10);
  EXPECT_EQ(t.height, 20);
  EXPECT_EQ(t.n3, 1);
  EXPECT_EQ(t.n4, 2);
  EXPECT_EQ(t.n5, 0.5);
  EXPECT_EQ(t.n6, 30);
  EXPECT_FALSE(t.isShort);

  t = ParseImageText(u"^@BMb.png,10,20");
  EXPECT_EQ(t.height, 20);
  EXPECT_TRUE(t.isShort);

  t = ParseImageText(u"^@BMc.png,1,2,3");
  EXPECT_EQ(t.n3, 3);
  EXPECT_EQ(t.n5, 1.0);  // absent: start value
  EXPECT_FALSE(t.isShort);

  // A seventh number stays in the sixth piece, which is then no number.
  t = ParseImageText(u"^@BMd.png,1,2,3,4,5,6,7");
  EXPECT_EQ(t.n5, 5);
  EXPECT_EQ(t.n6, 0);
}

TEST(ImageText, WithoutPrefixOrCommaKeepsStartValues) {
  for (const std::u16string& text : {std::u16string(u"pic.bmp,100"), std::u16string(u"^@BMpic.bmp"),
                                     std::u16string(u"^@B"), std::u16string(u"")}) {
    TImageText t = ParseImageText(text);
    EXPECT_EQ(t.fname, u"");
    EXPECT_EQ(t.width, 0);
    EXPECT_EQ(t.height, 0);
    EXPECT_EQ(t.n5, 1.0);
    EXPECT_TRUE(t.isShort);
  }
  TImageText t = ParseImageText(u"^@BM,");
  EXPECT_EQ(t.fname, u"");
  EXPECT_EQ(t.width, 0);
}

}  // namespace
}  // namespace tessa
