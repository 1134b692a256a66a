// Buffered text output of the SVG preview: numbers laid out short, text
// escaped for XML, everything passed on to a byte sink in large pieces.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "dxf/SaveWriterOut.h"

namespace tessa {

// `s` as UTF-8 character data or attribute text of an XML document: the
// markup characters as entities, and whatever XML cannot hold (control
// characters, lone surrogates, U+FFFE and U+FFFF) as U+FFFD.  Tabs and line
// breaks become spaces: a text of a drawing is one line.
void AppendXmlText(std::string& out, std::u16string_view s);
std::string XmlText(std::u16string_view s);

class TSvgOut {
 public:
  // decimals: the places kept after the point (0..9).
  TSvgOut(TDXFSink& sink, int decimals);
  TSvgOut(const TSvgOut&) = delete;
  TSvgOut& operator=(const TSvgOut&) = delete;

  TSvgOut& operator<<(std::string_view s) {
    buf_.append(s);
    if (buf_.size() >= kFlushAt && !held_) Flush();
    return *this;
  }
  TSvgOut& operator<<(char c) {
    buf_.push_back(c);
    return *this;
  }
  // A number at the output's precision; trailing zeros, a "-0" and values
  // that are not finite (as 0) never reach the file.
  TSvgOut& Num(double v);
  TSvgOut& Num(double v, int decimals);
  TSvgOut& Int(long long v);
  TSvgOut& Text(std::u16string_view s);

  // Everything buffered into the sink; false once the sink refused bytes.
  bool Flush();

  // While held, what is written stays in the buffer, where Insert can
  // still put text before it; positions are those of Size().
  void Hold() { held_ = true; }
  void Release() {
    held_ = false;
    if (buf_.size() >= kFlushAt) Flush();
  }
  size_t Size() const { return buf_.size(); }
  void Insert(size_t at, std::string_view s) { buf_.insert(std::min(at, buf_.size()), s); }
  bool Ok() const { return ok_; }
  int Decimals() const { return decimals_; }

 private:
  static constexpr size_t kFlushAt = size_t{1} << 16;
  TDXFSink& sink_;
  std::string buf_;
  int decimals_;
  bool ok_ = true;
  bool held_ = false;
};

}  // namespace tessa
