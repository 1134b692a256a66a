#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "util/Cp932Table.h"
#include "util/Func_2Cp932.h"

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

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string expected;
};

TEST(BytesToStr, DecodesTheWindowsTable) {
  const DecodeCase cases[] = {
      {"ascii with backslash and tilde", "a\\~", u"a\\~"},
      {"hiragana", "\x82\xA0\x82\xA2", u"\u3042\u3044"},
      {"kanji", "\x8A\xBF\x8E\x9A", u"\u6F22\u5B57"},
      {"half-width katakana", "\xB1\xDF", u"\uFF71\uFF9F"},
      {"wave dash row of Windows", "\x81\x60", u"\uFF5E"},
      {"double bar", "\x81\x61", u"\u2225"},
      {"minus", "\x81\x7C", u"\uFF0D"},
      {"cent pound not", "\x81\x91\x81\x92\x81\xCA", u"\uFFE0\uFFE1\uFFE2"},
      {"circled one (NEC row 13)", "\x87\x40", u"\u2460"},
      {"NEC-selected IBM extension", "\xED\x40", u"\u7E8A"},
      {"IBM extension", "\xFA\x40", u"\u2170"},
      {"user-defined area", "\xF0\x40", u"\uE000"},
      {"five single bytes of Windows", "\x80\xA0\xFD\xFE\xFF", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
      {"cut at first NUL", std::string("ab\0cd", 5), u"ab"},
      {"empty", "", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(BytesToStr(c.bytes)), Hex(c.expected)) << c.name;
  }
}

TEST(BytesToStr, InvalidSequencesGiveOneQuestionMarkAndResumeAtTheNextByte) {
  const DecodeCase cases[] = {
      {"lead byte with a blank as trail", "\x81\x20z", u"? z"},
      {"lead byte then ascii", "\x82\x41", u"?A"},
      {"lead byte at the end", "ab\x82", u"ab?"},
      {"unassigned pair keeps its trail", "\x85\x40", u"?@"},
      {"lead byte then NUL ends the text", std::string("\x82\0A", 3), u"?"},
      {"bad pair, its second byte starts a good pair", "\x85\x81\x60", u"?\uFF5E"},
      {"lead byte with DEL as trail", "\x82\x7F", u"?\x7F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(BytesToStr(c.bytes)), Hex(c.expected)) << c.name;
  }
}

// The first and last lead and trail bytes, and the bytes just outside them.
TEST(BytesToStr, EdgesOfTheLeadAndTrailRanges) {
  const DecodeCase cases[] = {
      {"first pair", "\x81\x40", u"\u3000"},
      {"trail 0x7E, last before the gap", "\x81\x7E", u"\u00D7"},
      {"trail 0x80, first after the gap", "\x81\x80", u"\u00F7"},
      {"last trail", "\x81\xFC", u"\u25EF"},
      {"trail below the range", "\x81\x3F", u"??"},
      {"trail above the range is a single byte", "\x81\xFD", u"?\uF8F1"},
      {"last lead of the first block", "\x9F\xFC", u"\u6ECC"},
      {"first lead of the second block", "\xE0\x40", u"\u6F3E"},
      {"last pair of JIS level 2", "\xEA\xA4", u"\u7199"},
      {"first pair after JIS level 2", "\xEA\xA5", u"?\uFF65"},
      {"last lead", "\xFC\x4B", u"\u9ED1"},
      {"after the last pair of the last lead", "\xFC\x4C", u"?L"},
      {"last user-defined pair", "\xF9\xFC", u"\uE757"},
      {"lead row without characters", "\xEF\x40", u"?@"},
      {"bytes around the lead blocks", "\x7F\xA0\xA1\xDF", u"\x7F\uF8F0\uFF61\uFF9F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(BytesToStr(c.bytes)), Hex(c.expected)) << c.name;
  }
}

TEST(BytesToStr, PointerFormMatchesViewForm) {
  const uint8_t bytes[] = {0x82, 0xA0, 'x', 0};
  EXPECT_EQ(BytesToStr(bytes, 4), u"\u3042x");
  EXPECT_EQ(BytesToStr(nullptr, 0), u"");
}

struct EncodeCase {
  const char* name;
  std::u16string text;
  std::string expected;
};

TEST(StrToCp932, EncodesWithTheSameTableAndQuestionMarks) {
  const EncodeCase cases[] = {
      {"ascii", u"AZ09\\~", "AZ09\\~"},
      {"hiragana and kanji", u"\u3042\u6F22", "\x82\xA0\x8A\xBF"},
      {"half-width katakana", u"\uFF71", "\xB1"},
      {"fullwidth tilde has a code", u"\uFF5E", "\x81\x60"},
      {"two codes: IBM extension rows", u"\u2170", "\xFA\x40"},
      {"approx equal has its JIS code", u"\u2252", "\x81\xE0"},
      {"five single bytes come back", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", "\x80\xA0\xFD\xFE\xFF"},
      {"user-defined area", u"\uE000", "\xF0\x40"},
      {"no code", u"\u00E9\u4E02", "??"},
      {"supplementary character is one character", u"\U0001F600x", "?x"},
      {"lone surrogate", u"\xD800x", "?x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToCp932(c.text), c.expected) << c.name;
  }
}

TEST(StrToCp932, CharactersWithSeveralCodesTakeOneOfThem) {
  // JIS rows before NEC row 13, NEC row 13 before the IBM extension rows,
  // those before the NEC-selected copies of them (ED, EE).
  const EncodeCase cases[] = {
      {"intersection (also 879B)", u"\u2229", "\x81\xBF"},
      {"union (also 879C)", u"\u222A", "\x81\xBE"},
      {"approx equal (also 8790)", u"\u2252", "\x81\xE0"},
      {"because (also 879A, FA5B)", u"\u2235", "\x81\xE6"},
      {"fullwidth not (also EEF9, FA54)", u"\uFFE2", "\x81\xCA"},
      {"roman numeral one (also FA4A)", u"\u2160", "\x87\x54"},
      {"small roman numeral one (also EEEF)", u"\u2170", "\xFA\x40"},
      {"kanji of the IBM rows (also ED40)", u"\u7E8A", "\xFA\x5C"},
      {"fullwidth broken bar (also EEFA)", u"\uFFE4", "\xFA\x55"},
      {"fullwidth apostrophe (also EEFB)", u"\uFF07", "\xFA\x56"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToCp932(c.text), c.expected) << c.name;
  }
}

TEST(StrToCp932, EdgesOfTheTableBecomeQuestionMarks) {
  const EncodeCase cases[] = {
      {"C1 control after the one Windows maps", u"\u0080\u0081", "\x80?"},
      {"after the five private-use characters", u"\uF8F3\uF8F4", "\xFF?"},
      {"after the user-defined area", u"\uE757\uE758", "\xF9\xFC?"},
      {"around the half-width katakana", u"\uFF60\uFF61\uFF9F\uFFA0", "?\xA1\xDF?"},
      {"noncharacters", u"\uFFFE\uFFFF", "??"},
      {"first and last supplementary characters", u"\U00010000\U0010FFFF", "??"},
      {"kanji outside the code page", u"\U00020B9F\u4E00", "?\x88\xEA"},
      {"low surrogate alone", u"a\xDC00" u"b", "a?b"},
      {"high surrogate at the end", u"a\xD83D", "a?"},
      {"surrogates in the wrong order", u"\xDE00\xD83D", "??"},
      {"two high surrogates then a low one", u"\xD83D\xD83D\xDE00", "??"},
      {"NUL is kept", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToCp932(c.text), c.expected) << c.name;
  }
}

// The codes a character is not written with are looked up by bisection,
// and each of them decodes.
TEST(StrToCp932, CodesNotWrittenAreSortedAndDecode) {
  const auto& codes = cp932_table::kNotWritten;
  EXPECT_TRUE(std::is_sorted(std::begin(codes), std::end(codes)));
  EXPECT_EQ(std::adjacent_find(std::begin(codes), std::end(codes)), std::end(codes));
  for (uint16_t code : codes) {
    const uint8_t b[2] = {static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code & 0xFF)};
    const std::u16string s = BytesToStr(b, 2);
    ASSERT_EQ(s.size(), 1u) << std::hex << code;
    EXPECT_NE(StrToCp932(s), std::string(reinterpret_cast<const char*>(b), 2)) << std::hex << code;
  }
}

TEST(StrToCp932, BestFitMappingsBecomeQuestionMarks) {
  // iconv maps these to look-alikes that decode to other characters.
  const std::u16string bestFit = u"\u00A5\u203E\u2014\u301C\u2016\u2212\u00A2\u00A3\u00AC";
  for (char16_t c : bestFit) {
    EXPECT_EQ(StrToCp932(std::u16string(1, c)), "?") << Hex(std::u16string(1, c));
  }
}

TEST(StrToCp932, EveryDecodableCharacterRoundTrips) {
  // Each code that decodes must encode to a code decoding to the same
  // character (a character with two codes may pick the other one).
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const uint8_t b[2] = {static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)};
      std::u16string s = BytesToStr(b, 2);
      if (s.size() != 1 || s == u"?") continue;
      std::string enc = StrToCp932(s);
      ASSERT_EQ(BytesToStr(enc), s) << lead << " " << trail;
      ++checked;
    }
  }
  EXPECT_GT(checked, 7000);
}

// The code of one unit is what StrToCp932 writes for it, 0 where that is
// the "?" of a character without a code.
TEST(Cp932Code, AgreesWithTheEncoderOnEveryUnit) {
  for (uint32_t u = 1; u <= 0xFFFF; ++u) {
    const char16_t c = static_cast<char16_t>(u);
    const uint16_t code = Cp932Code(c);
    const std::string enc = StrToCp932(std::u16string(1, c));
    std::string want;
    if (code >= 0x100) want.push_back(static_cast<char>(code >> 8));
    if (code != 0) want.push_back(static_cast<char>(code & 0xFF));
    if (code == 0) want = "?";
    ASSERT_EQ(enc, want) << Hex(std::u16string(1, c));
  }
  EXPECT_EQ(Cp932Code(u'?'), 0x3F);
  EXPECT_EQ(Cp932Code(u'\u58C1'), 0x95C7);
  EXPECT_EQ(Cp932Code(u'\uF8F0'), 0xA0);
  EXPECT_EQ(Cp932Code(u'\u301C'), 0);
  EXPECT_EQ(Cp932Code(u'\xD83D'), 0);
  EXPECT_EQ(Cp932Code(u'\0'), 0);
}

TEST(Utf8, RoundTripsAndReplacesBrokenInput) {
  const std::u16string text = u"a\u00E9\u3042\U0001F600";
  const std::string utf8 = "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80";
  EXPECT_EQ(StrToUtf8(text), utf8);
  EXPECT_EQ(Utf8ToStr(utf8), text);
  EXPECT_EQ(StrToUtf8(u"\xD800"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToStr("\xFF" "a"), u"\uFFFDa");
  EXPECT_EQ(Utf8ToStr("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToStr("\xC0\xAF"), u"\uFFFD\uFFFD");          // overlong
  EXPECT_EQ(Utf8ToStr("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

}  // namespace
}  // namespace tessa
