// The group-code layer of the DXF writer: number texts, line layout,
// encodings, buffering and the sticky failure.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dxf/SaveWriterCodes.h"
#include "dxf/SaveWriterOut.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

struct RealCase {
  double x;
  const char* text;
};

TEST(RealStr, ShortestFormWithFifteenDigitsAndOneDecimal) {
  const RealCase cases[] = {
      {10, "10.0"},
      {0, "0.0"},
      {-0.0, "0.0"},
      {0.5, "0.5"},
      {297, "297.0"},
      {-8000, "-8000.0"},
      {0.0001, "0.0001"},
      {0.00001, "1.0E-5"},
      {-0.00001234, "-1.234E-5"},
      {1.5e20, "1.5E20"},
      {1e15, "1.0E15"},
      {123456789012345.0, "123456789012345.0"},
      {1.0 / 3, "0.33333333333333"},         // 14 decimals, not 15
      {0.00012345678901234, "0.00012345678901"},
      {0.78539816339744830962, "0.78539816339745"},
      {1.570796326794896, "1.5707963267949"},
      {2 * M_PI, "6.28318530717959"},
      {1.41414141414141414, "1.41414141414141"},
      {2415018.5 - 0.375, "2415018.125"},
      {1e-300, "1.0E-300"},
  };
  for (const RealCase& c : cases) EXPECT_EQ(RealStr(c.x), c.text) << c.x;
}

TEST(RealStr, TiesRoundHalfAwayFromZero) {
  // Exactly representable values whose 16th digit is a 5.
  EXPECT_EQ(RealStr(1234.000244140625), "1234.00024414063");
  EXPECT_EQ(RealStr(-1234.000244140625), "-1234.00024414063");
}

TEST(RealStr, NonFiniteValuesNeverReachTheFile) {
  EXPECT_EQ(RealStr(std::numeric_limits<double>::quiet_NaN()), "0.0");
  EXPECT_EQ(RealStr(std::numeric_limits<double>::infinity()), "0.0");
  EXPECT_EQ(RealStr(-std::numeric_limits<double>::infinity()), "0.0");
}

// The rule spelled out step by step: 15-digit text, mantissa read back
// and rounded to 1e-14, written again, at least one decimal place.
std::string RealByTheRule(double x) {
  if (!std::isfinite(x) || x == 0.0) return "0.0";
  const std::string s = FloatToAscii(x);
  const size_t e = s.find('E', 1);
  std::string m = s.substr(0, e);
  std::string ex = e == std::string::npos ? std::string() : s.substr(e);
  m = FloatToAscii(Round14(std::stod(m)));
  if (m == "0" || m == "-0") {
    m = "0";
    ex.clear();
  }
  if (m.find('.') == std::string::npos) m += ".0";
  return m + ex;
}

TEST(RealStr, AgreesWithTheRuleOnEveryKindOfValue) {
  // RealStr takes a shortcut for values with few digits; families that
  // sit on each edge of it: coordinates typed to 1/1000 and scaled, sines
  // and cosines, multiples of 1e-14, exact ties of the 16th digit, the
  // limits of fixed notation, and arbitrary bit patterns.
  uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 11;
  };
  std::vector<double> xs;
  for (int i = 0; i < 20000; ++i) {
    xs.push_back(static_cast<double>(next() % 2000000) / 1000.0 * static_cast<double>(1 + next() % 300));
    xs.push_back(std::cos(static_cast<double>(next() % 3600000) / 10000.0 * 0.017453292519943278) * 
                 static_cast<double>(next() % 1000));
    xs.push_back(static_cast<double>(next() % 1000000000000ULL) * 1e-14);
    const double thousandths = static_cast<double>(next() % 100000000000000000ULL) / 1000.0;
    xs.push_back(thousandths);
    double near = thousandths;
    const double towards = (next() & 1) ? 0.0 : 1e300;
    for (int k = static_cast<int>(next() % 61); k > 0; --k) near = std::nextafter(near, towards);
    xs.push_back(std::nextafter(thousandths, (next() & 1) ? 0.0 : 1e300));
    xs.push_back(near);
    const int64_t tie = (1000000000000000LL + static_cast<int64_t>(next() % 8000000000000000ULL)) / 10 * 10 + 5;
    xs.push_back(static_cast<double>(tie) * std::pow(10.0, static_cast<int>(next() % 30) - 25));
    xs.push_back(std::ldexp(static_cast<double>(next()), static_cast<int>(next() % 120) - 100));
    uint64_t bits = next() << 11 ^ next();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    xs.push_back(any);
  }
  for (double edge : {1e-4, 1e15, 1e-14, 5e-15, 0.99999999999999995, 45.0000000000001,
                      89.999999999999, 999999999999999.9, 2415018.5 - 0.375}) {
    for (double x : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 1e300)}) {
      xs.push_back(x);
    }
  }
  int wrong = 0;
  for (double x : xs) {
    for (double v : {x, -x}) {
      if (RealStr(v) != RealByTheRule(v) && ++wrong <= 10)
        ADD_FAILURE() << std::hexfloat << v << ": " << RealStr(v) << " vs " << RealByTheRule(v);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(HandleStr, UpperCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(HandleStr(5), "5");
  EXPECT_EQ(HandleStr(31), "1F");
  EXPECT_EQ(HandleStr(0x2A0), "2A0");
  EXPECT_EQ(HandleStr(334), "14E");
  EXPECT_EQ(HandleStr(0), "0");
}

TEST(DXFVersion, UnknownCodesAreR12) {
  for (int v : {-1, 0, 3, 99}) {
    TDXFVersion ver(v);
    EXPECT_EQ(ver.Code(), 0) << v;
    EXPECT_STREQ(ver.AcadVer(), "AC1009");
    EXPECT_TRUE(ver.UpperNames());
    EXPECT_FALSE(ver.TableHandles());
  }
  EXPECT_STREQ(TDXFVersion(1).AcadVer(), "AC1015");
  EXPECT_STREQ(TDXFVersion(2).AcadVer(), "AC1021");
  EXPECT_TRUE(TDXFVersion(2).Utf8());
  EXPECT_FALSE(TDXFVersion(1).Utf8());
}

// Output of one call on a fresh writer.
template <class F>
std::string Written(F f, bool utf8 = false, bool upper = false) {
  TDXFStringSink sink;
  TDXFGroupWriter w(sink, utf8, upper);
  f(w);
  EXPECT_TRUE(w.Finish());
  return sink.text;
}

TEST(GroupWriter, RepeatedTextsAndNamesKeepTheirOwnForms) {
  // Lines of texts met before are kept; a name and a text of the same
  // content differ in R12, and many different texts share the kept slots.
  // Every line must still be the one of its own text.
  for (const bool upper : {true, false}) {
    std::string want;
    const std::string got = Written(
        [&](auto& w) {
          for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 3000; i += 1 + round) {
              const std::u16string s = u"layer" + std::u16string(1, u'A' + i % 26) +
                                       std::u16string(i / 26 % 40 + 1, u'x');
              w.Text(8, s);
              w.Name(6, s);
              const std::string plain(s.begin(), s.end());
              std::string caps = plain;
              for (char& c : caps) c = static_cast<char>(std::toupper(c));
              want += "  8\r\n" + plain + "\r\n  6\r\n" + (upper ? caps : plain) + "\r\n";
            }
            w.Text(1, u"長い文字列" + std::u16string(80, u'あ'));
            want += "  1\r\n" + StrToCp932(u"長い文字列" + std::u16string(80, u'あ')) + "\r\n";
          }
        },
        false, upper);
    EXPECT_EQ(got, want) << upper;
  }
}

TEST(GroupWriter, CodeAndValueLayout) {
  struct Case {
    const char* what;
    std::string got;
    const char* want;
  };
  const Case cases[] = {
      {"code 0", Written([](auto& w) { w.Ascii(0, "SECTION"); }), "  0\r\nSECTION\r\n"},
      {"code 5", Written([](auto& w) { w.Handle(5, 0x1F); }), "  5\r\n1F\r\n"},
      {"code 330", Written([](auto& w) { w.Handle(330, 2); }), "330\r\n2\r\n"},
      {"four digits", Written([](auto& w) { w.Int(1070, 16); }), "1070\r\n    16\r\n"},
      {"six wide", Written([](auto& w) { w.Int(70, 0); }), " 70\r\n     0\r\n"},
      {"six wide negative", Written([](auto& w) { w.Int(70, -8000); }), " 70\r\n -8000\r\n"},
      {"wider than six", Written([](auto& w) { w.Int(90, 1234567); }), " 90\r\n1234567\r\n"},
      {"nine wide", Written([](auto& w) { w.Int9(90, 4095); }), " 90\r\n     4095\r\n"},
      {"plain", Written([](auto& w) { w.IntPlain(370, 25); }), "370\r\n25\r\n"},
      {"real", Written([](auto& w) { w.Real(40, 2.5); }), " 40\r\n2.5\r\n"},
      {"empty text", Written([](auto& w) { w.Text(1, u""); }), "  1\r\n\r\n"},
      {"point n", Written([](auto& w) { w.XYZn(1, 1, 2, 0); }),
       " 11\r\n1.0\r\n 21\r\n2.0\r\n 31\r\n0.0\r\n"},
      {"point", Written([](auto& w) { w.XY(-1, 0.25); }), " 10\r\n-1.0\r\n 20\r\n0.25\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(GroupWriter, NamesAreUpperCasedOnlyWhenAsked) {
  auto name = [](auto& w) { w.Name(2, u"Standard ａｂ"); };
  EXPECT_EQ(Written(name, false, true), "  2\r\nSTANDARD \x82\x60\x82\x61\r\n");
  EXPECT_EQ(Written(name, false, false), "  2\r\nStandard \x82\x81\x82\x82\r\n");
  // Upper-cased first, then escaped.
  EXPECT_EQ(Written([](auto& w) { w.Name(2, u"é"); }, false, true), "  2\r\n\\U+00C9\r\n");
  // Plain texts keep their case in every version.
  EXPECT_EQ(Written([](auto& w) { w.Text(8, u"abc"); }, false, true), "  8\r\nabc\r\n");
}

TEST(GroupWriter, TextEncodings) {
  struct Case {
    std::u16string in;
    std::string sjis;
    std::string utf8;
  };
  const Case cases[] = {
      {u"壁", "\x95\xc7", "\xe5\xa3\x81"},
      {u"ｱ", "\xb1", "\xef\xbd\xb1"},
      {u"A-1", "A-1", "A-1"},
      {u"?", "?", "?"},
      // No code in code page 932: UTF-8 as it stands, else the escape of
      // each UTF-16 unit in upper-case hex.
      {u"é€", "\\U+00E9\\U+20AC", "\xc3\xa9\xe2\x82\xac"},
      {u"\u00A5", "\\U+00A5", "\xc2\xa5"},  // iconv's best fit is no code
      {u"〜", "\\U+301C", "\xe3\x80\x9c"},
      {u"m²", "m\\U+00B2", "m\xc2\xb2"},
      {u"Ø50", "\\U+00D850", "\xc3\x98" "50"},
      {u"壁한글", "\x95\xc7\\U+D55C\\U+AE00", "\xe5\xa3\x81\xed\x95\x9c\xea\xb8\x80"},
      // Beyond U+FFFF: two escapes, its surrogates; one four-byte UTF-8 form.
      {u"\U0001F600!", "\\U+D83D\\U+DE00!", "\xf0\x9f\x98\x80!"},
      // A lone surrogate is no character: U+FFFD.
      {std::u16string(1, char16_t(0xD83D)) + u"a", "\\U+FFFDa", "\xef\xbf\xbd" "a"},
      {std::u16string(1, char16_t(0xDE00)), "\\U+FFFD", "\xef\xbf\xbd"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written([&](auto& w) { w.TextLine(c.in); }, false), c.sjis + "\r\n");
    EXPECT_EQ(Written([&](auto& w) { w.TextLine(c.in); }, true), c.utf8 + "\r\n");
  }
}

TEST(GroupWriter, LineBreaksInsideAValueCannotSplitThePairs) {
  EXPECT_EQ(Written([](auto& w) { w.Text(1, std::u16string(u"a\r\nb\0c", 6)); }),
            "  1\r\nabc\r\n");
}

TEST(GroupWriter, StreamsThroughASmallBuffer) {
  TDXFStringSink sink;
  TDXFGroupWriter w(sink, false, false, 64);
  std::string want;
  for (int i = 0; i < 200; ++i) {
    w.Int(70, i);
    char b[32];
    std::snprintf(b, sizeof b, " 70\r\n%6d\r\n", i);
    want += b;
  }
  EXPECT_GT(sink.text.size(), 0u);  // streamed, not all held back
  EXPECT_TRUE(w.Finish());
  EXPECT_EQ(sink.text, want);
}

// Accepts `limit` bytes, then refuses.
class TLimitedSink : public TDXFSink {
 public:
  explicit TLimitedSink(size_t limit) : limit_(limit) {}
  bool Put(const char* p, size_t n) override {
    ++calls;
    if (got.size() + n > limit_) return false;
    got.append(p, n);
    return true;
  }
  std::string got;
  int calls = 0;

 private:
  size_t limit_;
};

TEST(GroupWriter, FirstFailureIsStickyAndReported) {
  TLimitedSink sink(100);
  TDXFGroupWriter w(sink, false, false, 64);
  for (int i = 0; i < 100; ++i) w.Ascii(0, "LINE");
  EXPECT_TRUE(w.Failed());
  const int callsAtFailure = sink.calls;
  for (int i = 0; i < 100; ++i) w.Ascii(0, "LINE");
  EXPECT_FALSE(w.Finish());
  EXPECT_EQ(sink.calls, callsAtFailure);  // nothing more was tried
}

}  // namespace
}  // namespace tessa
