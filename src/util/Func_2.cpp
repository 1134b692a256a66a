// Free helper functions shared by the converter (see Func_2.h).
#include "util/Func_2.h"

#include <unicode/uchar.h>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

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
  auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(),
                                   v, std::chars_format::general);
  // Out of range covers overflow (no double holds it) and underflow to
  // zero; both read as 0.
  if (ec != std::errc() || ptr != ascii.data() + ascii.size()) return 0.0;
  if (!std::isfinite(v)) return 0.0;
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
  uint64_t bits = std::bit_cast<uint64_t>(a);
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
  const uint64_t bits = std::bit_cast<uint64_t>(a);
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

Digits15 RoundTo15(double a) {
  Digits15 r{};
  if (RoundTo15Exact(a, r)) return r;
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
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
    (void)ec;
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
size_t FormatFloat(double v, char* out) {
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
  Digits15 d = RoundTo15(std::fabs(v));
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

std::string FloatToAscii(double v) {
  char buf[40];
  size_t n = FormatFloat(v, buf);
  return std::string(buf, n);
}

size_t FloatToChars(double v, char* out) { return FormatFloat(v, out); }

std::u16string FloatToText(double v) {
  char buf[40];
  size_t n = FormatFloat(v, buf);
  return std::u16string(buf, buf + n);
}

// ---- Code page 932 and Unicode -------------------------------------------

namespace {

constexpr char16_t kNoChar = 0xFFFF;   // not a valid decoding result
constexpr char16_t kNotYet = 0xFFFE;   // pair not looked up yet
constexpr uint16_t kCodeNotYet = 0xFFFF;  // character not looked up yet

// Code page 932 in both directions: iconv's "CP932" table plus the five
// single bytes Windows maps on top of it.  Only the single bytes are read
// at start; a byte pair or a character is looked up in iconv the first time
// it occurs and kept, so that a run pays for the characters its drawing
// uses and not for the whole table (which took most of a small run).  The
// DXF writer encodes on two threads: a first look-up (and every use of the
// iconv handles) holds `lookUp`; an entry once found is read without it.
struct Cp932Tables {
  std::array<char16_t, 256> single{};     // kNoChar: invalid or lead byte
  std::array<bool, 256> lead{};
  std::vector<std::atomic<char16_t>> pair;  // [lead*256 + trail], kNoChar: none
  std::vector<std::atomic<uint16_t>> encode;  // [code unit] -> code, 0: none
  std::mutex lookUp;
  iconv_t dec = reinterpret_cast<iconv_t>(-1);
  iconv_t enc = reinterpret_cast<iconv_t>(-1);
  bool encOpened = false;

  Cp932Tables() = default;
  Cp932Tables(const Cp932Tables&) = delete;
  Cp932Tables& operator=(const Cp932Tables&) = delete;
  ~Cp932Tables() {
    if (dec != reinterpret_cast<iconv_t>(-1)) iconv_close(dec);
    if (enc != reinterpret_cast<iconv_t>(-1)) iconv_close(enc);
  }
};

void AddWindowsSingles(Cp932Tables& t) {
  t.single[0x80] = 0x0080;
  t.single[0xA0] = 0xF8F0;
  t.single[0xFD] = 0xF8F1;
  t.single[0xFE] = 0xF8F2;
  t.single[0xFF] = 0xF8F3;
}

// Converts one byte sequence with iconv; returns kNoChar unless all of
// it was consumed into exactly one UTF-16 unit.  *incomplete tells a lead
// byte that waits for its trail byte.
char16_t IconvOne(iconv_t cd, const unsigned char* in, size_t n,
                  bool* incomplete) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char inBuf[2];
  std::memcpy(inBuf, in, n);
  char* ip = inBuf;
  size_t il = n;
  char outBuf[8];
  char* op = outBuf;
  size_t ol = sizeof outBuf;
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  if (incomplete) *incomplete = (r == static_cast<size_t>(-1) && errno == EINVAL);
  if (r == static_cast<size_t>(-1) || il != 0 || op - outBuf != 2) return kNoChar;
  unsigned char lo = static_cast<unsigned char>(outBuf[0]);
  unsigned char hi = static_cast<unsigned char>(outBuf[1]);
  return static_cast<char16_t>(lo | (hi << 8));
}

std::unique_ptr<Cp932Tables> BuildDecodeTables() {
  auto t = std::make_unique<Cp932Tables>();
  t->single.fill(kNoChar);
  t->dec = iconv_open("UTF-16LE", "CP932");
  if (t->dec != reinterpret_cast<iconv_t>(-1)) {
    for (int b = 0; b < 256; ++b) {
      unsigned char in = static_cast<unsigned char>(b);
      bool incomplete = false;
      t->single[b] = IconvOne(t->dec, &in, 1, &incomplete);
      t->lead[b] = incomplete;
    }
  } else {
    // Without the table only ASCII can be decoded.
    for (int b = 0; b < 0x80; ++b) t->single[b] = static_cast<char16_t>(b);
  }
  const char16_t unknownPair = t->dec != reinterpret_cast<iconv_t>(-1) ? kNotYet : kNoChar;
  t->pair = std::vector<std::atomic<char16_t>>(256 * 256);
  for (auto& slot : t->pair) slot.store(unknownPair, std::memory_order_relaxed);
  AddWindowsSingles(*t);
  t->encode = std::vector<std::atomic<uint16_t>>(65536);
  for (auto& slot : t->encode) slot.store(kCodeNotYet, std::memory_order_relaxed);
  return t;
}

Cp932Tables& Tables() {
  static std::unique_ptr<Cp932Tables> t = BuildDecodeTables();
  return *t;
}

// PairChar with t.lookUp held.
char16_t PairCharLocked(Cp932Tables& t, unsigned char b, unsigned char c) {
  std::atomic<char16_t>& slot = t.pair[b * 256 + c];
  char16_t v = slot.load(std::memory_order_relaxed);
  if (v == kNotYet) {
    const unsigned char in[2] = {b, c};
    v = t.lead[b] ? IconvOne(t.dec, in, 2, nullptr) : kNoChar;
    slot.store(v, std::memory_order_relaxed);
  }
  return v;
}

// Character of the pair (lead, trail); kNoChar when it has none.
char16_t PairChar(Cp932Tables& t, unsigned char b, unsigned char c) {
  const char16_t v = t.pair[b * 256 + c].load(std::memory_order_relaxed);
  if (v != kNotYet) return v;
  std::lock_guard<std::mutex> lock(t.lookUp);
  return PairCharLocked(t, b, c);
}

// Code of character u, 0 when it has none.  A character counts as
// encodable only when its code decodes back to it, which drops iconv's
// best-fit mappings (U+00A5 -> 0x5C and the like).  With t.lookUp held.
uint16_t LookUpCode(Cp932Tables& t, char16_t u) {
  for (int b : {0x80, 0xA0, 0xFD, 0xFE, 0xFF})
    if (t.single[b] == u) return static_cast<uint16_t>(b);
  if (u == 0 || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  if (!t.encOpened) {
    t.encOpened = true;
    t.enc = iconv_open("CP932", "UTF-16LE");
  }
  if (t.enc == reinterpret_cast<iconv_t>(-1)) return u < 0x80 ? u : 0;
  char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  char* ip = in;
  size_t il = 2;
  char out[8];
  char* op = out;
  size_t ol = sizeof out;
  iconv(t.enc, nullptr, nullptr, nullptr, nullptr);
  size_t r = iconv(t.enc, &ip, &il, &op, &ol);
  if (r == static_cast<size_t>(-1) || il != 0) return 0;
  size_t n = static_cast<size_t>(op - out);
  if (n == 1) {
    unsigned char b = static_cast<unsigned char>(out[0]);
    if (t.single[b] == u) return b;
  } else if (n == 2) {
    unsigned char b = static_cast<unsigned char>(out[0]);
    unsigned char c = static_cast<unsigned char>(out[1]);
    if (t.lead[b] && PairCharLocked(t, b, c) == u) return static_cast<uint16_t>(b << 8 | c);
  }
  return 0;
}

uint16_t CodeOf(Cp932Tables& t, char16_t u) {
  std::atomic<uint16_t>& slot = t.encode[u];
  uint16_t v = slot.load(std::memory_order_relaxed);
  if (v != kCodeNotYet) return v;
  std::lock_guard<std::mutex> lock(t.lookUp);
  v = slot.load(std::memory_order_relaxed);
  if (v == kCodeNotYet) {
    v = LookUpCode(t, u);
    slot.store(v, std::memory_order_relaxed);
  }
  return v;
}

}  // namespace

std::u16string BytesToStr(const uint8_t* p, size_t n) {
  std::u16string out;
  if (p == nullptr || n == 0) return out;
  Cp932Tables& t = Tables();
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    uint8_t b = p[i];
    if (b == 0) break;  // the text ends at its first NUL
    char16_t c = kNoChar;
    size_t used = 1;
    if (t.lead[b]) {
      if (i + 1 < n) {
        c = PairChar(t, b, p[i + 1]);
        if (c != kNoChar) used = 2;
      }
    } else {
      c = t.single[b];
    }
    out.push_back(c == kNoChar ? u'?' : c);
    i += used;
  }
  return out;
}

std::u16string BytesToStr(std::string_view bytes) {
  return BytesToStr(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string StrToCp932(std::u16string_view s) {
  Cp932Tables& t = Tables();
  std::string out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == 0) {
      out.push_back('\0');
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      ++i;  // one character outside the table: one "?"
      out.push_back('?');
      continue;
    }
    uint16_t code = CodeOf(t, c);
    if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

uint16_t Cp932Code(char16_t c) {
  if (c == 0) return 0;
  return CodeOf(Tables(), c);
}

std::string StrToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToStr(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  const size_t n = s.size();
  auto cont = [&](size_t k) {
    return k < n && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
  };
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t used = 1;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
      cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
      used = 2;
    } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
      uint32_t v = ((b & 0x0Fu) << 12) |
                   ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                   (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
      if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
        cp = v;
        used = 3;
      }
    } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      uint32_t v = ((b & 0x07u) << 18) |
                   ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                   ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) |
                   (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
      if (v >= 0x10000 && v <= 0x10FFFF) {
        cp = v;
        used = 4;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += used;
  }
  return out;
}

// ---- Text editing ----------------------------------------------------------

namespace {

// Simple (one-to-one) case mapping per code point; a mapping that would
// change the number of UTF-16 units keeps the character, so indexes into
// the text stay valid.
template <bool kUpper>
std::u16string MapCase(std::u16string_view s) {
  auto map = [](UChar32 c) { return kUpper ? u_toupper(c) : u_tolower(c); };
  std::u16string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
        out[i + 1] <= 0xDFFF) {
      UChar32 cp = 0x10000 + ((c - 0xD800) << 10) + (out[i + 1] - 0xDC00);
      UChar32 m = map(cp);
      if (m >= 0x10000 && m <= 0x10FFFF) {
        m -= 0x10000;
        out[i] = static_cast<char16_t>(0xD800 + (m >> 10));
        out[i + 1] = static_cast<char16_t>(0xDC00 + (m & 0x3FF));
      }
      ++i;
      continue;
    }
    if (c < 0x80) {  // fast path for ASCII
      if (kUpper) {
        if (c >= u'a' && c <= u'z') out[i] = static_cast<char16_t>(c - 32);
      } else if (c >= u'A' && c <= u'Z') {
        out[i] = static_cast<char16_t>(c + 32);
      }
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // lone surrogate
    UChar32 m = map(c);
    if (m >= 0 && m < 0x10000 && (m < 0xD800 || m > 0xDFFF)) out[i] = static_cast<char16_t>(m);
  }
  return out;
}

}  // namespace

std::u16string UpperStr(std::u16string_view s) {
  return MapCase<true>(s);
}

std::u16string LowerStr(std::u16string_view s) {
  return MapCase<false>(s);
}

int IndexOfStr(std::u16string_view sub, std::u16string_view s) {
  if (sub.empty()) return -1;
  size_t p = s.find(sub);
  return p == std::u16string_view::npos ? -1 : static_cast<int>(p);
}

std::u16string MidFrom(std::u16string_view s, int start) {
  if (start < 0) start = 0;
  if (static_cast<size_t>(start) >= s.size()) return {};
  return std::u16string(s.substr(static_cast<size_t>(start)));
}

std::u16string MidStr(std::u16string_view s, int start, int count) {
  if (count <= 0) return {};
  if (start < 0) start = 0;
  if (static_cast<size_t>(start) >= s.size()) return {};
  return std::u16string(s.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

std::u16string CharAt(std::u16string_view s, int index) {
  if (index < 0 || static_cast<size_t>(index) >= s.size()) return {};
  return std::u16string(1, s[static_cast<size_t>(index)]);
}

std::u16string DelCtrl(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c >= kBlank) out.push_back(c);
  }
  return out;
}

std::u16string DelSpace(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c > kBlank && c != 0x3000) out.push_back(c);
  }
  return out;
}

std::u16string DelCtrlCode(std::u16string_view s) {
  if (s.empty()) return {};
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (i + 1 < s.size() && ((s[i] == u'^' && s[i + 1] == u'm') ||
                             (s[i] == u'\\' && s[i + 1] == u'n'))) {
      i += 2;
      continue;
    }
    if (s[i] >= kBlank) out.push_back(s[i]);
    ++i;
  }
  if (out.empty()) return std::u16string(1, kBlank);
  return out;
}

bool IsHankaku(char16_t c) {
  return (c >= 0x0020 && c <= 0x007E) || (c >= 0xFF61 && c <= 0xFF9F);
}

double MojiWidth(std::u16string_view s, double w, double gap) {
  double total = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (i > 0) total = total + gap;
    char16_t c = s[i];
    if (c < kBlank) continue;
    total = total + (IsHankaku(c) ? w / 2 : w);
  }
  return total;
}

double MojiWidthFix(std::u16string_view s, double w, double gap) {
  double n = static_cast<double>(s.size());
  return n * w + (n - 1) * gap;
}

// ---- Numbers and geometry --------------------------------------------------

double Round14(double x) {
  double r = std::trunc(std::fabs(x) / 1e-14 + 0.5) * 1e-14;
  return x < 0 ? -r : r;
}

double RoundKeta(int digits, int mode, double x) {
  static const double kFactor[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  double f = (digits >= 1 && digits <= 9) ? kFactor[digits] : 1.0;
  double v = std::fabs(x) * f;
  double t;
  if (mode == 0) {
    t = std::trunc(v);
  } else if (mode == 1) {
    t = std::trunc(v + 0.9999999999);
  } else {
    t = std::trunc(v + 0.5);
  }
  double r = t / f;
  return x < 0 ? -r : r;
}

bool EqualVal(double a, double b) { return std::fabs(a - b) <= 1e-12; }

bool EqualPoint(double x1, double y1, double x2, double y2) {
  return std::fabs(x2 - x1) <= 1e-14 && std::fabs(y2 - y1) <= 1e-14;
}

double KaitenX(double x, double y, double cx, double cy, double a) {
  return cx + std::cos(a) * (x - cx) - std::sin(a) * (y - cy);
}

double KaitenY(double x, double y, double cx, double cy, double a) {
  return cy + std::sin(a) * (x - cx) + std::cos(a) * (y - cy);
}

void KaitenDeg(double x, double y, double cx, double cy, double deg,
               double& ox, double& oy) {
  double a = deg * 0.017453292519943278;
  ox = KaitenX(x, y, cx, cy, a);
  oy = KaitenY(x, y, cx, cy, a);
}

double GetKakudo(double dx, double dy) {
  if (std::fabs(dx) < 1e-14 && std::fabs(dy) < 1e-14) return 0.0;
  double a = std::atan2(dy, dx);
  if (a < 0) a = a + 6.283185307179586;
  return a;
}

double NormDegTol(double deg, double tol) {
  if (!std::isfinite(deg)) return deg;
  // Far-away angles would need millions of loop turns.
  if (std::fabs(deg) >= 1e6) deg = std::fmod(deg, 360.0);
  while (deg < 0) deg = deg + 360.0;
  while (deg >= 360.0) deg = deg - 360.0;
  if (std::fabs(deg) <= tol || std::fabs(std::fabs(deg) - 360.0) <= tol) deg = 0.0;
  return deg;
}

double NormDeg(double deg) { return NormDegTol(deg, 1e-10); }

void EllipsePoint(double cx, double cy, double r, double ratio, double tilt,
                  double t, double& x, double& y) {
  EllipsePointTilted(cx, cy, r, ratio, std::cos(tilt), std::sin(tilt), t, x, y);
}

void EllipsePointTilted(double cx, double cy, double r, double ratio, double cosTilt,
                        double sinTilt, double t, double& x, double& y) {
  double px = r * std::cos(t);
  double py = r * ratio * std::sin(t);
  // KaitenX and KaitenY about (0, 0), term by term.
  x = (0.0 + cosTilt * (px - 0.0) - sinTilt * (py - 0.0)) + cx;
  y = (0.0 + sinTilt * (px - 0.0) + cosTilt * (py - 0.0)) + cy;
}

void EllipseArcPoints(double cx, double cy, double r, double ratio,
                      double start, double sweep, double tilt,
                      double& sx, double& sy, double& ex, double& ey,
                      double& px, double& py) {
  const double halfPi = M_PI / 2;
  EllipsePoint(cx, cy, r, ratio, tilt, start, sx, sy);
  double end = start + sweep;
  EllipsePoint(cx, cy, r, ratio, tilt, end, ex, ey);
  double s0x = r * std::cos(start);
  double s0y = r * ratio * std::sin(start);
  double s1x = s0x + r * std::cos(start + halfPi);
  double s1y = s0y + r * ratio * std::sin(start + halfPi);
  double e0x = r * std::cos(end);
  double e0y = r * ratio * std::sin(end);
  double e1x = e0x + r * std::cos(end - halfPi);
  double e1y = e0y + r * ratio * std::sin(end - halfPi);
  double x = 0, y = 0;
  if (LineCross(s0x, s0y, s1x, s1y, e0x, e0y, e1x, e1y, x, y) != 0) {
    px = KaitenX(x, y, 0.0, 0.0, tilt) + cx;
    py = KaitenY(x, y, 0.0, 0.0, tilt) + cy;
  } else {
    px = cx;
    py = cy;
  }
}

namespace {

bool CountsAsZero(double d) { return std::trunc(d / 1e-12 + 0.5) == 0.0; }

bool OnSegment(double x1, double y1, double x2, double y2, double x, double y) {
  return std::min(x1, x2) - 1e-12 <= x && x <= std::max(x1, x2) + 1e-12 &&
         std::min(y1, y2) - 1e-12 <= y && y <= std::max(y1, y2) + 1e-12;
}

}  // namespace

int LineCross(double ax1, double ay1, double ax2, double ay2,
              double bx1, double by1, double bx2, double by2,
              double& x, double& y) {
  bool aVertical = CountsAsZero(ax1 - ax2);
  bool bVertical = CountsAsZero(bx1 - bx2);
  if (aVertical && bVertical) return 0;
  if (aVertical) {
    x = ax1;
    y = by1 + (ax1 - bx1) * (by2 - by1) / (bx2 - bx1);
  } else if (bVertical) {
    x = bx1;
    y = ay1 + (bx1 - ax1) * (ay2 - ay1) / (ax2 - ax1);
  } else {
    double mA = (ay2 - ay1) / (ax2 - ax1);
    double mB = (by2 - by1) / (bx2 - bx1);
    double cA = ay1 - mA * ax1;
    double cB = by1 - mB * bx1;
    if (CountsAsZero(mA - mB)) return 0;
    x = (cB - cA) / (mA - mB);
    y = mA * x + cA;
  }
  if (OnSegment(ax1, ay1, ax2, ay2, x, y) && OnSegment(bx1, by1, bx2, by2, x, y)) return 1;
  return 2;
}

namespace {

constexpr double kExtLimit = 1e8;

void ClampBounds(double& minx, double& miny, double& maxx, double& maxy) {
  if (minx < -kExtLimit) minx = -kExtLimit;
  if (miny < -kExtLimit) miny = -kExtLimit;
  if (maxx > kExtLimit) maxx = kExtLimit;
  if (maxy > kExtLimit) maxy = kExtLimit;
}

}  // namespace

void MinMaxInit(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double s) {
  double px = x / s;
  double py = y / s;
  minx = px;
  maxx = px;
  miny = py;
  maxy = py;
  ClampBounds(minx, miny, maxx, maxy);
}

void MinMaxAdd(double& minx, double& miny, double& maxx, double& maxy,
               double x, double y, double s) {
  double px = x / s;
  double py = y / s;
  if (px < minx) minx = px;
  if (px > maxx) maxx = px;
  if (py < miny) miny = py;
  if (py > maxy) maxy = py;
  ClampBounds(minx, miny, maxx, maxy);
}

void MinMaxAddT(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double tx, double ty,
                double a, double b, double c, double d, double s) {
  double X = a * x + b * y + tx;
  double Y = c * x + d * y + ty;
  MinMaxAdd(minx, miny, maxx, maxy, X, Y, s);
}

// ---- Colours ---------------------------------------------------------------

uint32_t RGBToColor(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u + r * 65536u + g * 256u + b;
}

uint32_t WinColorToColor(uint32_t c) {
  return RGBToColor(c % 256, (c / 256) % 256, (c / 65536) % 256);
}

// ---- Files and folders -------------------------------------------------------

char PathDelim() { return '/'; }

namespace {

// Index of the extension's dot in path, or npos when the file name has none.
size_t ExtDot(const std::string& path) {
  size_t sep = path.find_last_of("/\\");
  size_t from = sep == std::string::npos ? 0 : sep + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < from) return std::string::npos;
  return dot;
}

bool IsValidUtf8(std::string_view s) {
  return StrToUtf8(Utf8ToStr(s)) == s;
}

bool ValidPath(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

std::string FileExtLower(const std::string& path) {
  size_t dot = ExtDot(path);
  if (dot == std::string::npos) return {};
  std::string ext = path.substr(dot);
  if (IsValidUtf8(ext)) return StrToUtf8(LowerStr(Utf8ToStr(ext)));
  for (char& ch : ext) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  }
  return ext;
}

std::string ChangeExtSafe(const std::string& path, const std::string& ext) {
  if (!ValidPath(path) || path.back() == '/' || path.back() == '\\') return {};
  size_t dot = ExtDot(path);
  if (dot == std::string::npos) return path + ext;
  return path.substr(0, dot) + ext;
}

bool IsFile(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  // Create each missing level from the top down.
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      if (!IsFolder(part)) ::mkdir(part.c_str(), 0777);
    }
  }
  // Report the outcome rather than the attempt.
  return IsFolder(p);
}

bool DelFile(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool DelFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  return ::rmdir(path.c_str()) == 0;
}

namespace {

// Seconds and nanoseconds since 1970 (UTC) to a local TDateTime counted in
// whole milliseconds: whole days since 1899-12-30 plus the time of day.
TDateTime LocalDateTime(int64_t sec, int64_t nsec) {
  time_t t = static_cast<time_t>(sec);
  struct tm lt;
  if (localtime_r(&t, &lt) == nullptr) return 0.0;
  int64_t localSec = sec + lt.tm_gmtoff;
  int64_t ms = localSec * 1000 + nsec / 1000000;
  int64_t day = ms / 86400000;
  int64_t msOfDay = ms % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    --day;
  }
  return static_cast<double>(day + 25569) + static_cast<double>(msOfDay) / 86400000.0;
}

}  // namespace

TDateTime FileCreateTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
#ifdef STATX_BTIME
  struct statx sx;
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
    if (sx.stx_mask & STATX_BTIME) return LocalDateTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    if (sx.stx_mask & STATX_MTIME) return LocalDateTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    return 0.0;
  }
#endif
  return FileWriteTime(path);
}

TDateTime FileWriteTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0.0;
  return LocalDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

// ---- Image text ----------------------------------------------------------------

TImageText ParseImageText(std::u16string_view text) {
  TImageText r;
  if (text.substr(0, 4) != u"^@BM") return r;
  size_t comma = text.find(u',');
  if (comma == std::u16string_view::npos) return r;
  r.fname = std::u16string(text.substr(4, comma - 4));
  std::u16string_view rest = text.substr(comma + 1);
  double values[6] = {0, 0, 0, 0, 1.0, 0};
  int count = 0;
  while (count < 6) {
    size_t next = rest.find(u',');
    if (count == 5 || next == std::u16string_view::npos) {
      values[count++] = TextToFloat(rest);
      break;
    }
    values[count++] = TextToFloat(rest.substr(0, next));
    rest = rest.substr(next + 1);
  }
  r.width = values[0];
  r.height = count == 1 ? values[0] : values[1];
  r.n3 = values[2];
  r.n4 = values[3];
  r.n5 = values[4];
  r.n6 = values[5];
  r.isShort = count < 3;
  return r;
}

}  // namespace tessa
