#include "preview/SvgOut.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/Func_2Number.h"

namespace tessa {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool XmlAllows(char32_t c) {
  if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
  return !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

void AppendXmlText(std::string& out, std::u16string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    switch (c) {
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '&': out += "&amp;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t': case '\n': case '\r': out.push_back(' '); continue;
      default: break;
    }
    AppendUtf8(out, XmlAllows(c) ? c : kReplacement);
  }
}

std::string XmlText(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  AppendXmlText(out, s);
  return out;
}

TSvgOut::TSvgOut(TDXFSink& sink, int decimals)
    : sink_(sink), decimals_(std::clamp(decimals, 0, 9)) {
  buf_.reserve(kFlushAt + 4096);
}

TSvgOut& TSvgOut::Num(double v) { return Num(v, decimals_); }

TSvgOut& TSvgOut::Num(double v, int decimals) {
  if (!std::isfinite(v)) v = 0;
  char tmp[kFixedCharsMax];
  char* e = tmp + FixedChars(v, decimals, tmp);
  if (std::find(tmp, e, '.') != e) {
    while (e[-1] == '0') --e;
    if (e[-1] == '.') --e;
  }
  std::string_view text(tmp, static_cast<size_t>(e - tmp));
  if (text == "-0") text = "0";
  return *this << text;
}

TSvgOut& TSvgOut::Int(long long v) {
  char tmp[24];
  auto [end, ec] = std::to_chars(tmp, tmp + sizeof tmp, v);
  (void)ec;
  return *this << std::string_view(tmp, static_cast<size_t>(end - tmp));
}

TSvgOut& TSvgOut::Text(std::u16string_view s) {
  AppendXmlText(buf_, s);
  if (buf_.size() >= kFlushAt && !held_) Flush();
  return *this;
}

bool TSvgOut::Flush() {
  held_ = false;
  if (ok_ && !buf_.empty()) ok_ = sink_.Put(buf_.data(), buf_.size());
  buf_.clear();
  return ok_;
}

}  // namespace tessa
