#include "dxf/SaveWriterCodes.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "dxf/SaveWriterOut.h"
#include "util/Func_2.h"

namespace tessa {

namespace {

constexpr size_t kRealMax = 48;  // longest real text, with room to spare

// The general rule: 15 significant digits, the mantissa rounded to 1e-14,
// at least one decimal place.
std::string RealGeneral(double x) {
  const std::string s = FloatToAscii(x);
  const size_t e = s.find('E', 1);
  std::string m = s.substr(0, e);
  std::string ex = e == std::string::npos ? std::string() : s.substr(e);
  double mv = 0.0;
  std::from_chars(m.data(), m.data() + m.size(), mv);
  m = FloatToAscii(Round14(mv));
  if (m == "0" || m == "-0") {
    m = "0";
    ex.clear();
  }
  if (m.find('.') == std::string::npos) m += ".0";
  return m + ex;
}

// Shortest digits that read back as a (> 0): a = 0.d1d2...dn x 10^e.
struct TDigits {
  char d[24];
  int n = 0;
  int e = 0;
};

TDigits Shortest(double a) {
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  TDigits t;
  const char* p = buf;
  t.d[t.n++] = *p++;
  if (*p == '.')
    for (++p; *p != 'e' && t.n < 20; ++p) t.d[t.n++] = *p;
  while (p < r.ptr && *p != 'e') ++p;
  ++p;  // the 'e'
  const bool neg = p < r.ptr && *p == '-';
  int ex = 0;
  for (++p; p < r.ptr; ++p) ex = ex * 10 + (*p - '0');
  t.e = (neg ? -ex : ex) + 1;
  return t;
}

// Written in fixed notation by FloatToAscii, with at most 15 digits.
bool FixedFifteen(const TDigits& t) { return t.n <= 15 && t.e >= -3 && t.e <= 15; }

// The usual case of the general rule, without its text round trip; 0
// when the general rule must decide.  When the shortest digits of a
// number at most 15, they are also its digits rounded to 15 (no two
// decimals of 15 digits read back as the same double, and no tie can
// occur), so they are FloatToAscii's text, which reads back as a itself.
// The same holds for the value rounded to 1e-14.
size_t RealFast(double x, char* out) {
  const double a = std::fabs(x);
  TDigits t = Shortest(a);
  if (!FixedFifteen(t)) return 0;
  const double r = Round14(a);
  if (r != a) {
    if (r == 0.0) return 0;
    t = Shortest(r);
    if (!FixedFifteen(t)) return 0;
  }
  char* p = out;
  if (x < 0) *p++ = '-';
  if (t.e <= 0) {
    *p++ = '0';
    *p++ = '.';
    for (int k = 0; k < -t.e; ++k) *p++ = '0';
    std::memcpy(p, t.d, static_cast<size_t>(t.n));
    p += t.n;
  } else if (t.n <= t.e) {
    std::memcpy(p, t.d, static_cast<size_t>(t.n));
    p += t.n;
    for (int k = t.n; k < t.e; ++k) *p++ = '0';
    *p++ = '.';
    *p++ = '0';
  } else {
    std::memcpy(p, t.d, static_cast<size_t>(t.e));
    p += t.e;
    *p++ = '.';
    std::memcpy(p, t.d + t.e, static_cast<size_t>(t.n - t.e));
    p += t.n - t.e;
  }
  return static_cast<size_t>(p - out);
}

// RealStr into out (kRealMax bytes); returns the length.
size_t RealChars(double x, char* out) {
  if (!std::isfinite(x) || x == 0.0) {  // also no "-0.0"
    std::memcpy(out, "0.0", 3);
    return 3;
  }
  if (const size_t n = RealFast(x, out)) return n;
  const std::string s = RealGeneral(x);
  const size_t n = s.size() < kRealMax ? s.size() : kRealMax;
  std::memcpy(out, s.data(), n);
  return n;
}

// v right-aligned in `width` characters, then CR LF; returns the length
// (out holds at least 24 bytes).
size_t PaddedLine(char* out, int32_t v, int width) {
  char b[16];
  const auto r = std::to_chars(b, b + sizeof b, v);
  const int n = static_cast<int>(r.ptr - b);
  char* p = out;
  for (int i = n; i < width; ++i) *p++ = ' ';
  std::memcpy(p, b, static_cast<size_t>(n));
  p += n;
  *p++ = '\r';
  *p++ = '\n';
  return static_cast<size_t>(p - out);
}

size_t HandleChars(uint32_t h, char* out) {
  const auto r = std::to_chars(out, out + 16, h, 16);
  for (char* p = out; p < r.ptr; ++p)
    if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
  return static_cast<size_t>(r.ptr - out);
}

}  // namespace

std::string RealStr(double x) {
  char b[kRealMax];
  return std::string(b, RealChars(x, b));
}

std::string HandleStr(uint32_t h) {
  char b[16];
  return std::string(b, HandleChars(h, b));
}

const char* TDXFVersion::AcadVer() const {
  switch (v_) {
    case 1: return "AC1015";
    case 2: return "AC1021";
    default: return "AC1009";
  }
}

int TDXFVersion::MaintVer() const { return v_ == 2 ? 25 : 20; }

TDXFGroupWriter::TDXFGroupWriter(TDXFSink& sink, bool utf8, bool upperNames,
                                 size_t bufferSize)
    : sink_(sink),
      utf8_(utf8),
      upper_(upperNames),
      buf_(new char[bufferSize < 64 ? 64 : bufferSize]),
      cap_(bufferSize < 64 ? 64 : bufferSize) {}

TDXFGroupWriter::~TDXFGroupWriter() = default;

void TDXFGroupWriter::Flush() {
  if (len_ == 0) return;
  if (!failed_ && !sink_.Put(buf_.get(), len_)) failed_ = true;
  len_ = 0;
}

void TDXFGroupWriter::Raw(const char* p, size_t n) {
  if (failed_) return;  // nothing more is stored after a failure
  if (n <= cap_ - len_) {
    std::memcpy(buf_.get() + len_, p, n);
    len_ += n;
    return;
  }
  while (n > 0) {
    if (len_ == cap_) {
      Flush();
      if (failed_) return;
    }
    const size_t k = n < cap_ - len_ ? n : cap_ - len_;
    std::memcpy(buf_.get() + len_, p, k);
    len_ += k;
    p += k;
    n -= k;
  }
}

bool TDXFGroupWriter::Finish() {
  Flush();
  return !failed_;
}

void TDXFGroupWriter::Code(int code) {
  char b[32];
  Raw(b, PaddedLine(b, code, 3));
}

void TDXFGroupWriter::IntLine(int code, int32_t v, int width) {
  char b[64];
  size_t n = PaddedLine(b, code, 3);
  n += PaddedLine(b + n, v, width);
  Raw(b, n);
}

void TDXFGroupWriter::Int(int code, int32_t v) { IntLine(code, v, 6); }

void TDXFGroupWriter::Int9(int code, int32_t v) { IntLine(code, v, 9); }

void TDXFGroupWriter::IntPlain(int code, int32_t v) { IntLine(code, v, 0); }

void TDXFGroupWriter::Real(int code, double x) {
  char b[32 + kRealMax];
  size_t n = PaddedLine(b, code, 3);
  n += RealChars(x, b + n);
  b[n++] = '\r';
  b[n++] = '\n';
  Raw(b, n);
}

void TDXFGroupWriter::Handle(int code, uint32_t h) {
  char b[48];
  size_t n = PaddedLine(b, code, 3);
  n += HandleChars(h, b + n);
  b[n++] = '\r';
  b[n++] = '\n';
  Raw(b, n);
}

std::string TDXFGroupWriter::Encode(std::u16string_view s) const {
  // A line break or NUL inside a value would split the code/value pairs
  // of everything after it; such characters never reach the file.
  std::u16string clean;
  clean.reserve(s.size());
  for (char16_t c : s)
    if (c != u'\r' && c != u'\n' && c != u'\0') clean.push_back(c);
  std::string sjis = StrToCp932(clean);
  if (!utf8_) return sjis;
  // Characters code page 932 cannot hold become "?" here too.
  return StrToUtf8(BytesToStr(sjis));
}

void TDXFGroupWriter::TextLine(std::u16string_view s) {
  Raw(Encode(s));
  EndLine();
}

void TDXFGroupWriter::AsciiLine(std::string_view s) {
  Raw(s);
  EndLine();
}

void TDXFGroupWriter::Text(int code, std::u16string_view s) {
  Code(code);
  TextLine(s);
}

void TDXFGroupWriter::Name(int code, std::u16string_view s) {
  Code(code);
  if (upper_)
    TextLine(UpperStr(s));
  else
    TextLine(s);
}

void TDXFGroupWriter::Ascii(int code, std::string_view s) {
  Code(code);
  AsciiLine(s);
}

void TDXFGroupWriter::XY(double x, double y) {
  Real(10, x);
  Real(20, y);
}

void TDXFGroupWriter::XYZ(double x, double y, double z) {
  Real(10, x);
  Real(20, y);
  Real(30, z);
}

void TDXFGroupWriter::XYZn(int n, double x, double y, double z) {
  Real(10 + n, x);
  Real(20 + n, y);
  Real(30 + n, z);
}

}  // namespace tessa
