#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "util/Func_2Number.h"

namespace tessa {
namespace {

struct FormatCase {
  double value;
  const char* expected;
};

TEST(FloatToText, GeneralFormatWithFifteenDigits) {
  const FormatCase cases[] = {
      {100.0, "100"},
      {0.5, "0.5"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.00012345, "0.00012345"},
      {1.5e-7, "1.5E-7"},
      {1e20, "1E20"},
      {-1e20, "-1E20"},
      {1e15, "1E15"},
      {999999999999999.0, "999999999999999"},
      {123456789012345.6, "123456789012346"},
      {0.0, "0"},
      {-0.0, "0"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},
      {0.30000000000000004, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456789012345678.0, "1.23456789012346E17"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {4.9406564584124654e-324, "4.94065645841247E-324"},
      {9.9999999999999995e-5, "0.0001"},  // rounding moves it into fixed notation
      {9.99999999999999999e14, "1E15"},
      {1234.5, "1234.5"},
      {-0.001, "-0.001"},
      {12.0, "12"},
      {1e-4 * 3, "0.0003"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToAscii(c.value), c.expected) << c.expected;
    std::u16string wide = FloatToText(c.value);
    EXPECT_EQ(std::string(wide.begin(), wide.end()), c.expected);
  }
}

TEST(FloatToText, ExactTiesRoundAwayFromZero) {
  // Each value's exact binary expansion ends in a 5 at the 16th digit.
  const FormatCase cases[] = {
      {1234.000244140625, "1234.00024414063"},
      {-1234.000244140625, "-1234.00024414063"},
      {1234567890123455.0, "1.23456789012346E15"},
      {1234567890123465.0, "1.23456789012347E15"},  // ties-to-even would keep 6
      {0.1000000000000000055511151231257827, "0.1"},  // not a tie: far below
      {static_cast<double>(1.00000011920928955078125f), "1.00000011920929"},
      {999999999999999.5, "1E15"},  // carry into a new digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToAscii(c.value), c.expected) << c.expected;
  }
}

TEST(FloatToText, NonFiniteValuesGiveWords) {
  EXPECT_EQ(FloatToAscii(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FloatToAscii(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToAscii(-std::numeric_limits<double>::infinity()), "-INF");
}

// Rounds the exact decimal expansion (glibc's printf prints it in full) to
// 15 significant digits, half away from zero, as "d.dddddddddddddde<exp>".
std::string Reference15(double v) {
  static char buf[1200];
  std::snprintf(buf, sizeof buf, "%.800e", std::fabs(v));
  std::string digits;
  digits.push_back(buf[0]);
  const char* p = buf + 2;
  while (*p != 'e') digits.push_back(*p++);
  int exp = std::atoi(p + 1);
  bool up = digits[15] >= '5';
  std::string head = digits.substr(0, 15);
  if (up) {
    int i = 14;
    while (i >= 0 && head[i] == '9') head[i--] = '0';
    if (i < 0) {
      head.insert(head.begin(), '1');
      head.pop_back();
      ++exp;
    } else {
      ++head[i];
    }
  }
  std::string out = v < 0 ? "-" : "";
  out += head.substr(0, 1) + "." + head.substr(1) + "e" + std::to_string(exp);
  return out;
}

double Parse(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

TEST(FloatToText, AgreesWithExactRoundingOnManyValues) {
  // Distinct 15-digit decimals always parse to distinct doubles, so equal
  // parses mean equal digits.
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(-30, 30);
  std::uniform_int_distribution<int64_t> whole(1, 999999999999999);
  std::uniform_int_distribution<int> places(0, 5);
  for (int i = 0; i < 40000; ++i) {
    double v;
    switch (i % 6) {
      case 4:  // few decimals, as most coordinates have: the short path
        v = static_cast<double>(whole(rng) >> (rng() % 40)) / std::pow(10.0, places(rng));
        break;
      case 5: {  // their neighbours up to 60 units in the last place away,
                 // as scaling leaves them, on both sides of the 15th digit
        v = static_cast<double>(whole(rng) >> (rng() % 40)) / std::pow(10.0, places(rng));
        const bool down = rng() & 1;
        for (int k = static_cast<int>(rng() % 61); k > 0; --k)
          v = std::nextafter(v, down ? 0.0 : 1e300);
        break;
      }
      case 0:  // any double
        v = unit(rng) * std::pow(10.0, scale(rng));
        break;
      case 1:  // single-precision coordinates: ties are frequent
        v = static_cast<float>(unit(rng) * std::pow(10.0, scale(rng) % 6));
        break;
      case 2:  // short binary fractions
        v = std::ldexp(static_cast<double>(rng() % 100000000), -static_cast<int>(rng() % 30));
        break;
      default:  // integers with 16 digits
        v = static_cast<double>(1000000000000000ull + rng() % 8000000000000000ull);
        break;
    }
    if (v == 0.0) continue;
    std::string got = FloatToAscii(v);
    ASSERT_EQ(Parse(got), Parse(Reference15(v))) << got << " vs " << Reference15(v);
  }
}


// The one reader and writer of number texts every system uses: the same
// digits as glibc's exact strtod and printf (ties to even), on values that
// land on ties and on values of every size.
TEST(NumberChars, AgreeWithExactLibcConversions) {
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(-12, 16);
  const double ties[] = {0.125, 2.5, -0.5, 1.5, 1e22, 0.0, -0.0, 5e-324, 1.7976931348623157e308};
  for (int i = 0; i < 20000; ++i) {
    const double v = i < static_cast<int>(std::size(ties))
                         ? ties[i]
                         : (i % 2 ? std::ldexp(static_cast<double>(rng() % 100000), -static_cast<int>(rng() % 12))
                                  : unit(rng) * std::pow(10.0, scale(rng)));
    const int decimals = static_cast<int>(rng() % 10);
    char want[tessa::kFixedCharsMax + 8];
    std::snprintf(want, sizeof want, "%.*f", decimals, v);
    char got[tessa::kFixedCharsMax];
    ASSERT_EQ(std::string(got, tessa::FixedChars(v, decimals, got)), want) << v << " " << decimals;

    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    double back = 1;
    const size_t n = std::strlen(text);
    ASSERT_EQ(tessa::CharsToFloat(text, text + n, back), n) << text;
    EXPECT_EQ(back, std::strtod(text, nullptr)) << text;
  }
  const std::pair<const char*, size_t> partial[] = {{"12.5x", 4}, {"x1", 0}, {"", 0}, {"-", 0}, {"1e", 1}};
  for (const auto& [text, read] : partial) {
    double v = 0;
    EXPECT_EQ(tessa::CharsToFloat(text, text + std::strlen(text), v), read) << text;
  }
}

}  // namespace
}  // namespace tessa
