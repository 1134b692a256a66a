#include "dxf/SaveWriterCodes.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "dxf/SaveWriterOut.h"
#include "util/Func_2.h"

namespace tessa {

std::string RealStr(double x) {
  if (!std::isfinite(x) || x == 0.0) return "0.0";  // also no "-0.0"
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

std::string HandleStr(uint32_t h) {
  char b[16];
  auto r = std::to_chars(b, b + sizeof b, h, 16);
  for (char* p = b; p < r.ptr; ++p)
    if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
  return std::string(b, r.ptr);
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

void TDXFGroupWriter::Padded(int32_t v, int width) {
  char b[24];
  auto r = std::to_chars(b, b + sizeof b, v);
  const int n = static_cast<int>(r.ptr - b);
  for (int i = n; i < width; ++i) Raw(" ", 1);
  Raw(b, static_cast<size_t>(n));
}

void TDXFGroupWriter::Code(int code) {
  Padded(code, 3);
  EndLine();
}

void TDXFGroupWriter::Int(int code, int32_t v) {
  Code(code);
  Padded(v, 6);
  EndLine();
}

void TDXFGroupWriter::Int9(int code, int32_t v) {
  Code(code);
  Padded(v, 9);
  EndLine();
}

void TDXFGroupWriter::IntPlain(int code, int32_t v) {
  Code(code);
  Padded(v, 0);
  EndLine();
}

void TDXFGroupWriter::Real(int code, double x) {
  Code(code);
  Raw(RealStr(x));
  EndLine();
}

void TDXFGroupWriter::Handle(int code, uint32_t h) {
  Code(code);
  Raw(HandleStr(h));
  EndLine();
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
