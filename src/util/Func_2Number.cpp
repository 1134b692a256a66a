// Tolerant conversions between text and numbers, and the locale-free
// number text with 15 significant digits.
#include "util/Func_2Number.h"

#include <fast_float/fast_float.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

// fmt writes the few texts whose digits need exact arithmetic; it is used
// header-only, so that the same code is compiled everywhere.
#include <fmt/format.h>

#include "util/Func_2Text.h"

namespace tessa {

namespace {

constexpr char16_t kBlank = u' ';

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

size_t SkipBlanks(std::u16string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == kBlank) ++i;
  return i;
}

uint64_t BitsOf(double a) {
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  return bits;
}

}  // namespace

// ---- Text and numbers ----------------------------------------------------

int32_t TextToInt(std::u16string_view s) {
  size_t i = SkipBlanks(s);
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == u'$') {
    hex = true;
    ++i;
  } else if (i < s.size() && (s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == u'0' &&
             (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return 0;  // no digits at all
  // The magnitude may reach 2^31 (for the most negative value); anything
  // beyond is out of range, so stop accumulating early.
  const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexValue(s[i]) : (IsAsciiDigit(s[i]) ? s[i] - u'0' : -1);
    if (d < 0) return 0;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > limit) return 0;
  }
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(v))
                  : static_cast<int32_t>(v);
}

double TextToFloat(std::u16string_view s) {
  size_t i = SkipBlanks(s);
  if (i >= s.size()) return 0.0;
  // Validate the whole remaining text and copy it as ASCII for from_chars.
  std::string ascii;
  ascii.reserve(s.size() - i);
  bool negative = false;
  if (s[i] == u'+' || s[i] == u'-') {
    negative = s[i] == u'-';
    ++i;
  }
  size_t mantissaDigits = 0;
  while (i < s.size() && IsAsciiDigit(s[i])) {
    ascii.push_back(static_cast<char>(s[i++]));
    ++mantissaDigits;
  }
  if (i < s.size() && s[i] == u'.') {
    ascii.push_back('.');
    ++i;
    while (i < s.size() && IsAsciiDigit(s[i])) {
      ascii.push_back(static_cast<char>(s[i++]));
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return 0.0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ascii.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
      ascii.push_back(static_cast<char>(s[i++]));
    }
    size_t expDigits = 0;
    while (i < s.size() && IsAsciiDigit(s[i])) {
      ascii.push_back(static_cast<char>(s[i++]));
      ++expDigits;
    }
    if (expDigits == 0) return 0.0;
  }
  if (i != s.size()) return 0.0;
  double v = 0.0;
  if (CharsToFloat(ascii.data(), ascii.data() + ascii.size(), v) != ascii.size()) return 0.0;
  // Out of range covers overflow (no double holds it) and underflow to
  // zero (a zero read from digits that are not all zeros); both read as 0.
  if (!std::isfinite(v)) return 0.0;
  if (v == 0.0 && ascii.find_first_of("123456789") < ascii.find('e')) return 0.0;
  return negative ? -v : v;
}

bool TextToBool(std::u16string_view s) {
  static const std::u16string_view kTrue[] = {
      u"T", u"TR", u"TRU", u"TRUE", u"1", u"\uFF11", u"\u25CB", u"ON",
      u"\u771F", u"\u6B63"};
  std::u16string up = UpperStr(s);
  for (auto t : kTrue) {
    if (up == t) return true;
  }
  return false;
}

std::u16string IntToText(int32_t v) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  (void)ec;
  return std::u16string(buf, end);
}

namespace {

// Decimal digits of |v| rounded to 15 significant digits, half away from
// zero.  digits holds 1..15 characters without trailing zeros; e is the
// exponent with |v| = 0.d1d2... * 10^e.
struct Digits15 {
  char digits[16];
  int n;
  int e;
};

constexpr uint64_t kPow10[] = {1ull,
                               10ull,
                               100ull,
                               1000ull,
                               10000ull,
                               100000ull,
                               1000000ull,
                               10000000ull,
                               100000000ull,
                               1000000000ull,
                               10000000000ull,
                               100000000000ull,
                               1000000000000ull,
                               10000000000000ull,
                               100000000000000ull,
                               1000000000000000ull,
                               10000000000000000ull};

// A tie at 15 digits exists only when the exact decimal expansion of |v|
// has exactly 16 significant digits, the last one being 5.  With
// |v| = m * 2^q (m odd) that needs -22 <= q <= 22, which keeps every
// product inside 128 bits.  On a tie, sig receives those 16 digits and
// exp10 the power of ten of the last one.
bool ExactTie16(double a, uint64_t& sig, int& exp10) {
  uint64_t bits = BitsOf(a);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t m = bits & ((1ull << 52) - 1);
  int q;
  if (biased == 0) {
    q = -1074;
  } else {
    m |= 1ull << 52;
    q = biased - 1075;
  }
  if (m == 0) return false;
  int tz = std::countr_zero(m);
  m >>= tz;
  q += tz;
  unsigned __int128 s;
  if (q < 0) {
    if (q < -22) return false;
    s = m;
    for (int k = 0; k < -q; ++k) s *= 5;  // |v| = m*5^p / 10^p
    exp10 = q;
  } else {
    if (q > 22) return false;
    // |v| = (m / 5^q) * 10^q; otherwise the last significant digit is even.
    uint64_t p5 = 1;
    for (int k = 0; k < q; ++k) p5 *= 5;
    if (m % p5 != 0) return false;
    s = m / p5;
    exp10 = q;
  }
  if (s < kPow10[15] || s >= kPow10[16]) return false;
  if (static_cast<uint64_t>(s) % 10 != 5) return false;
  sig = static_cast<uint64_t>(s);
  return true;
}

// 10^k for k = 0..22 (beyond 64 bits from 10^20 on).
constexpr std::array<unsigned __int128, 23> kPow10Wide = [] {
  std::array<unsigned __int128, 23> v{};
  unsigned __int128 p = 1;
  for (size_t k = 0; k < v.size(); ++k, p *= 10) v[k] = p;
  return v;
}();

// The 15 digits of a (> 0) in integer arithmetic: a = m / 2^s exactly, so
// N = m * 10^k / 2^s rounded half away from zero is exact, with k chosen
// so that N has 15 digits.  Covers 1e-8 <= a < 1e15, which includes every
// number written in fixed notation; false outside (then the general path
// decides).
bool RoundTo15Exact(double a, Digits15& r) {
  const uint64_t bits = BitsOf(a);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return false;  // subnormal, inf, nan
  const uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
  const int s = 1075 - biased;  // a = m / 2^s
  if (s < 0 || s > 100) return false;
  // Digits before the point: a in [10^(E-1), 10^E); first guess from the
  // binary exponent, corrected below.
  // floor(e2 * log10(2)) for |e2| < 1100, in integers.
  int E = (((biased - 1023) * 78913) >> 18) + 1;
  for (int tries = 0; tries < 3; ++tries) {
    const int k = 15 - E;
    if (k < 0 || k > 22) return false;
    const unsigned __int128 P = static_cast<unsigned __int128>(m) * kPow10Wide[static_cast<size_t>(k)];
    const unsigned __int128 Q = s == 0 ? P : P >> s;
    if (Q >= kPow10[15]) {
      ++E;
      continue;
    }
    if (Q < kPow10[14]) {
      --E;
      continue;
    }
    uint64_t N = static_cast<uint64_t>(Q);
    if (s > 0) {
      const unsigned __int128 rest = P - (Q << s);
      if (rest >= (static_cast<unsigned __int128>(1) << (s - 1))) ++N;  // ties away from zero
    }
    if (N == kPow10[15]) {  // 999...9.5 carried into a new digit
      N = kPow10[14];
      ++E;
    }
    // Trailing zeros go before the digits are written (N >= 10^14, so
    // at most 14 of them).
    if (N % 100000000 == 0) N /= 100000000;
    if (N % 10000 == 0) N /= 10000;
    if (N % 100 == 0) N /= 100;
    if (N % 10 == 0) N /= 10;
    auto [end, ec] = std::to_chars(r.digits, r.digits + 15, N);
    (void)ec;
    r.n = static_cast<int>(end - r.digits);
    r.e = E;
    return true;
  }
  return false;
}

// Most coordinates have three decimals or fewer: their digits come from
// one multiplication and one division.
bool RoundTo15Short(double a, Digits15& r) {
  uint64_t y;
  if (!ThousandthsOf(a, y)) return false;
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, y);
  (void)ec;
  int n = static_cast<int>(end - buf);
  r.e = n - 3;
  while (n > 1 && buf[n - 1] == '0') --n;
  std::memcpy(r.digits, buf, static_cast<size_t>(n));
  r.n = n;
  return true;
}

// shortTried: the caller found a not to be a whole number of thousandths.
Digits15 RoundTo15(double a, bool shortTried) {
  Digits15 r{};
  if ((!shortTried && RoundTo15Short(a, r)) || RoundTo15Exact(a, r)) return r;
  r = Digits15{};
  uint64_t sig = 0;
  int exp10 = 0;
  if (ExactTie16(a, sig, exp10)) {
    uint64_t up = sig / 10 + 1;  // away from zero
    int lastExp = exp10 + 1;     // power of ten of the 15th digit
    if (up == kPow10[15]) {      // 999...9.5 carried into a new digit
      up = kPow10[14];
      ++lastExp;
    }
    char buf[24] = {};
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, up);
    (void)ec;
    int len = static_cast<int>(end - buf);  // 15
    std::memcpy(r.digits, buf, len);
    r.n = len;
    r.e = lastExp + len;
  } else {
    // Correctly rounded to the nearest; without a tie that is also the
    // half-away-from-zero result.
    char buf[40];
    char* end = fmt::format_to_n(buf, sizeof buf, "{:.14e}", a).out;
    // Layout: d.dddddddddddddde[+-]XX
    r.digits[0] = buf[0];
    std::memcpy(r.digits + 1, buf + 2, 14);
    r.n = 15;
    const char* ep = buf + 17;  // after 'e'
    bool neg = *ep == '-';
    int ex = 0;
    for (const char* p = ep + 1; p < end; ++p) ex = ex * 10 + (*p - '0');
    r.e = (neg ? -ex : ex) + 1;
  }
  while (r.n > 1 && r.digits[r.n - 1] == '0') --r.n;
  return r;
}

// Writes the text of v into out (at least 32 bytes); returns its length.
size_t FormatFloat(double v, char* out, bool shortTried = false) {
  if (std::isnan(v)) {
    std::memcpy(out, "NAN", 3);
    return 3;
  }
  if (std::isinf(v)) {
    if (v < 0) {
      std::memcpy(out, "-INF", 4);
      return 4;
    }
    std::memcpy(out, "INF", 3);
    return 3;
  }
  if (v == 0.0) {
    out[0] = '0';
    return 1;
  }
  char* p = out;
  if (v < 0) *p++ = '-';
  Digits15 d = RoundTo15(std::fabs(v), shortTried);
  if (d.e >= -3 && d.e <= 15) {
    if (d.e <= 0) {
      *p++ = '0';
      *p++ = '.';
      for (int k = 0; k < -d.e; ++k) *p++ = '0';
      std::memcpy(p, d.digits, d.n);
      p += d.n;
    } else if (d.n <= d.e) {
      std::memcpy(p, d.digits, d.n);
      p += d.n;
      for (int k = d.n; k < d.e; ++k) *p++ = '0';
    } else {
      std::memcpy(p, d.digits, d.e);
      p += d.e;
      *p++ = '.';
      std::memcpy(p, d.digits + d.e, d.n - d.e);
      p += d.n - d.e;
    }
  } else {
    *p++ = d.digits[0];
    if (d.n > 1) {
      *p++ = '.';
      std::memcpy(p, d.digits + 1, d.n - 1);
      p += d.n - 1;
    }
    *p++ = 'E';
    int ex = d.e - 1;
    if (ex < 0) {
      *p++ = '-';
      ex = -ex;
    }
    auto [end, ec] = std::to_chars(p, p + 8, ex);
    (void)ec;
    p = end;
  }
  return static_cast<size_t>(p - out);
}

}  // namespace

// For a with E digits before the point (E <= 12): half the step between
// 15-digit decimals there, 0.5 * 10^(E - 15), times 1000, a hair below so
// that no rounding of the constant can widen it.
constexpr std::array<double, 13> kHalfStepThousandths = [] {
  std::array<double, 13> v{};
  double h = 0.5e-12 * (1 - 1e-9);
  for (size_t e = 0; e < v.size(); ++e, h *= 10) v[e] = h;
  return v;
}();

// D = y / 1000 is a's 15-digit rounding when it lies within half the step
// between 15-digit decimals around a: every multiple of 1/1000 is such a
// decimal there (below 10^12), so no other one is as near, and no tie
// arises.  From 1 to 10^12 the distance is measured exactly; elsewhere a
// must be the double nearest to D, which is a stricter test of the same.
bool ThousandthsOf(double a, uint64_t& y) {
  const double t = a * 1000.0;
  if (!(t >= 0.5 && t < 1e15)) return false;
  // Signed conversions are single instructions; t is far below 2^63.
  const int64_t w = static_cast<int64_t>(t + 0.5);
  const double d = static_cast<double>(w);
  if (a >= 1.0 && a < 1e12) {
    // Digits before the point, from the binary exponent.
    const int e2 = static_cast<int>((BitsOf(a) >> 52) & 0x7FF) - 1023;
    int digits = ((e2 * 78913) >> 18) + 1;
    if (a >= static_cast<double>(kPow10[static_cast<size_t>(digits)])) ++digits;
    // a * 1000 - w without rounding: 1000 = 1024 - 16 - 8, each product
    // is exact, and each difference is of two numbers within a factor of
    // two of each other, which doubles subtract exactly.
    const double rest = ((a * 1024.0 - d) - a * 16.0) - a * 8.0;
    if (!(std::fabs(rest) < kHalfStepThousandths[static_cast<size_t>(digits)])) return false;
  } else if (d / 1000.0 != a) {
    return false;
  }
  y = static_cast<uint64_t>(w);
  return true;
}

std::string FloatToAscii(double v) {
  char buf[40];
  size_t n = FormatFloat(v, buf);
  return std::string(buf, n);
}

size_t FloatToChars(double v, char* out, bool thousandthsChecked) {
  return FormatFloat(v, out, thousandthsChecked);
}

size_t CharsToFloat(const char* first, const char* last, double& v) {
  const auto [end, ec] = fast_float::from_chars(first, last, v);
  if (ec != std::errc()) return 0;
  return static_cast<size_t>(end - first);
}

size_t FixedChars(double v, int decimals, char* out) {
  return fmt::format_to_n(out, kFixedCharsMax, "{:.{}f}", v, decimals).size;
}

std::u16string FloatToText(double v) {
  char buf[40];
  size_t n = FormatFloat(v, buf);
  return std::u16string(buf, buf + n);
}

}  // namespace tessa
