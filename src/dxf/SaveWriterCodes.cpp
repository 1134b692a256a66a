#include "dxf/SaveWriterCodes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "dxf/SaveWriterOut.h"
#include "util/Func_2.h"

namespace tessa {

namespace {

constexpr size_t kRealMax = 48;  // longest real text, with room to spare

constexpr double kPow10Exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The double nearest to a mantissa text ("-123.456"), as CharsToFloat reads
// it.  Up to 15 significant digits and 22 decimals it is the quotient of
// two exactly represented numbers, which one correctly rounded division
// gives; anything else goes to CharsToFloat.
double ReadMantissa(const char* s, size_t n) {
  const char* p = s;
  const char* end = s + n;
  const bool neg = p < end && *p == '-';
  if (neg) ++p;
  uint64_t digits = 0;
  int read = 0, decimals = -1;
  for (; p < end; ++p) {
    const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (d < 10) {
      digits = digits * 10 + d;
      ++read;
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  if (decimals < 0) decimals = 0;
  if (p != end || read > 19 || digits > (uint64_t{1} << 53) || decimals > 22) {
    double v = 0.0;
    CharsToFloat(s, end, v);
    return v;
  }
  const double v = static_cast<double>(digits) / kPow10Exact[decimals];
  return neg ? -v : v;
}

// Appends ".0" when the text has no decimal point; returns the length.
size_t WithDecimal(char* out, size_t len) {
  // A plain loop: the text is a few characters, shorter than a library
  // call's set-up.
  bool dot = false;
  for (size_t i = 0; i < len && !dot; ++i) dot = out[i] == '.';
  if (!dot) {
    out[len++] = '.';
    out[len++] = '0';
  }
  return len;
}

// y thousandths (y >= 1000) in fixed notation with at least one decimal:
// the text FloatToChars and WithDecimal give, without the detour through
// 15 digits.
size_t ThousandthsChars(bool negative, uint64_t y, char* out) {
  char* p = out;
  if (negative) *p++ = '-';
  p = std::to_chars(p, p + 20, y / 1000).ptr;
  *p++ = '.';
  uint32_t f = static_cast<uint32_t>(y % 1000);
  if (f == 0) {
    *p++ = '0';
  } else {
    int n = 3;
    while (f % 10 == 0) {
      f /= 10;
      --n;
    }
    for (int k = n - 1; k >= 0; --k) {
      p[k] = static_cast<char>('0' + f % 10);
      f /= 10;
    }
    p += n;
  }
  return static_cast<size_t>(p - out);
}

// The steps of the rule on a character buffer: the 15-digit text, its
// mantissa read back and rounded to 1e-14, written again, at least one
// decimal place.
size_t RealCharsByRule(double x, char* out) {
  char s[40];
  const size_t n = FloatToChars(x, s);
  size_t e = 1;
  while (e < n && s[e] != 'E') ++e;  // mantissa s[0, e), exponent s[e, n)
  const double mv = ReadMantissa(s, e);
  const double r = Round14(mv);
  size_t len;
  if (r == mv) {
    // The mantissa has at most 15 digits and reads back as mv, so it is
    // also mv's own text (distinct decimals of 15 digits never read back
    // as the same double): no need to write it again.
    std::memcpy(out, s, e);
    len = e;
  } else {
    len = FloatToChars(r, out);
  }
  if (len == 1 && out[0] == '0') {  // nothing left: no exponent either
    std::memcpy(out, "0.0", 3);
    return 3;
  }
  len = WithDecimal(out, len);
  std::memcpy(out + len, s + e, n - e);
  return len + (n - e);
}

// RealStr into out (kRealMax bytes); returns the length.
size_t RealChars(double x, char* out) {
  if (!std::isfinite(x) || x == 0.0) {  // also no "-0.0"
    std::memcpy(out, "0.0", 3);
    return 3;
  }
  // From 1 up, the 15 digits in fixed notation end at 1e-14 or before, so
  // rounding the mantissa to 1e-14 gives them back: the text is final.
  // Below 1e14 nothing rounds up into the exponent form.  This covers
  // nearly every coordinate and spares reading the text back.
  const double a = std::fabs(x);
  if (a >= 1.0 && a < 1e14) {
    uint64_t y;
    if (ThousandthsOf(a, y)) return ThousandthsChars(x < 0, y, out);
    return WithDecimal(out, FloatToChars(x, out, true));
  }
  return RealCharsByRule(x, out);
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

// Code lines of the codes in use (0 to 1099), laid out once: "  0\r\n",
// " 10\r\n", "1071\r\n", each in 8 bytes with its length in the last.
struct TCodeLines {
  char line[1100][8];
  constexpr TCodeLines() : line{} {
    for (int c = 0; c < 1100; ++c) {
      char* p = line[c];
      char d[4] = {};
      int n = 0;
      for (int v = c; n == 0 || v > 0; v /= 10) d[n++] = static_cast<char>('0' + v % 10);
      int k = 0;
      for (int i = n; i < 3; ++i) p[k++] = ' ';
      while (n > 0) p[k++] = d[--n];
      p[k++] = '\r';
      p[k++] = '\n';
      p[7] = static_cast<char>(k);
    }
  }
};
constexpr TCodeLines kCodeLines;

// The code line of `code`; returns its length (out holds at least 24 bytes).
size_t CodeLine(char* out, int code) {
  if (code < 0 || code >= 1100) return PaddedLine(out, code, 3);
  const char* l = kCodeLines.line[code];
  std::memcpy(out, l, 8);
  return static_cast<size_t>(l[7]);
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
      buf_(new char[(bufferSize < 64 ? 64 : bufferSize) + kPiece]),
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

void TDXFGroupWriter::Groups(std::string_view bytes) {
  if (bytes.size() <= cap_ - len_) {
    Raw(bytes);
    return;
  }
  // Large: straight to the sink after what is buffered.
  Flush();
  if (!failed_ && !sink_.Put(bytes.data(), bytes.size())) failed_ = true;
}

bool TDXFGroupWriter::Finish() {
  Flush();
  return !failed_;
}

void TDXFGroupWriter::Code(int code) {
  Took(CodeLine(Room(), code));
}

void TDXFGroupWriter::IntLine(int code, int32_t v, int width) {
  char* const b = Room();
  size_t n = CodeLine(b, code);
  n += PaddedLine(b + n, v, width);
  Took(n);
}

void TDXFGroupWriter::Int(int code, int32_t v) { IntLine(code, v, 6); }

void TDXFGroupWriter::Int9(int code, int32_t v) { IntLine(code, v, 9); }

void TDXFGroupWriter::IntPlain(int code, int32_t v) { IntLine(code, v, 0); }

void TDXFGroupWriter::Real(int code, double x) {
  char* const b = Room();
  size_t n = CodeLine(b, code);
  n += RealChars(x, b + n);
  b[n++] = '\r';
  b[n++] = '\n';
  Took(n);
}

void TDXFGroupWriter::Handle(int code, uint32_t h) {
  char* const b = Room();
  size_t n = CodeLine(b, code);
  n += HandleChars(h, b + n);
  b[n++] = '\r';
  b[n++] = '\n';
  Took(n);
}

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// DXF's escape of one UTF-16 unit: "\U+" and four upper-case hex digits.
void AppendUnicodeEscape(std::string& out, char16_t u) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\U+";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(u >> shift) & 0xF]);
}

// Code page 932, with every character it lacks as escapes of its UTF-16
// units (a character beyond U+FFFF takes two, a lone surrogate stands for
// U+FFFD), so that R12 and R2000 readers get the character back.
std::string Cp932WithEscapes(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    const uint16_t code = Cp932Code(c);
    if (code != 0) {
      if (code >= 0x100) out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
      AppendUnicodeEscape(out, c);
      AppendUnicodeEscape(out, s[++i]);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUnicodeEscape(out, u'\uFFFD');
    } else {
      AppendUnicodeEscape(out, c);
    }
  }
  return out;
}

}  // namespace

std::string TDXFGroupWriter::Encode(std::u16string_view s) const {
  // A line break or NUL inside a value would split the code/value pairs
  // of everything after it; such characters never reach the file.
  auto unwanted = [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; };
  std::u16string clean;
  if (std::any_of(s.begin(), s.end(), unwanted)) {
    clean.reserve(s.size());
    for (char16_t c : s)
      if (!unwanted(c)) clean.push_back(c);
    s = clean;
  }
  // UTF-8 holds every character as it stands; code page 932 files escape
  // the characters the code page lacks.
  return utf8_ ? StrToUtf8(s) : Cp932WithEscapes(s);
}

namespace {

constexpr size_t kMemoSlots = 1024;  // a power of two
constexpr size_t kMemoLongest = 64;  // longer texts are rarely repeated

size_t MemoSlot(std::u16string_view s, bool name) {
  uint64_t h = name ? 0x9E3779B97F4A7C15ull : 0xCBF29CE484222325ull;
  for (char16_t c : s) h = (h ^ c) * 0x100000001B3ull;
  return static_cast<size_t>(h ^ (h >> 29)) & (kMemoSlots - 1);
}

}  // namespace

void TDXFGroupWriter::ValueLine(std::u16string_view s, bool name) {
  auto encodeLine = [&] {
    std::string line = name && upper_ ? Encode(UpperStr(s)) : Encode(s);
    line += "\r\n";
    return line;
  };
  if (s.size() > kMemoLongest) {
    Raw(encodeLine());
    return;
  }
  if (memo_.empty()) memo_.resize(kMemoSlots);
  TLineMemo& m = memo_[MemoSlot(s, name)];
  if (!m.used || m.name != name || m.text != s) {
    m.line = encodeLine();
    m.text.assign(s);
    m.name = name;
    m.used = true;
  }
  Raw(m.line);
}

void TDXFGroupWriter::TextLine(std::u16string_view s) { ValueLine(s, false); }

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
  ValueLine(s, true);
}

void TDXFGroupWriter::Ascii(int code, std::string_view s) {
  if (s.size() > 100) {
    Code(code);
    AsciiLine(s);
    return;
  }
  char* const b = Room();
  size_t n = CodeLine(b, code);
  std::memcpy(b + n, s.data(), s.size());
  n += s.size();
  b[n++] = '\r';
  b[n++] = '\n';
  Took(n);
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
