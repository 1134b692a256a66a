#include <gtest/gtest.h>

#include <string>

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
