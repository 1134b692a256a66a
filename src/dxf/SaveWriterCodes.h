// Lower layer of the DXF writer: the text of the file.  Every group is a
// code line and a value line, each ended by CR LF.  This layer knows the
// number formats, the handle notation and the text encoding; it knows
// nothing of sections or entities.  Output is buffered and streamed to a
// sink; the first failure is sticky and reported by Finish.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessa {

class TDXFSink;

// Reals: 15 significant digits, at most 14 decimals in fixed notation, at
// least one decimal place, "E" exponent without "+"; NaN and infinities
// give "0.0".
std::string RealStr(double x);

// Upper-case hexadecimal without leading zeros.
std::string HandleStr(uint32_t h);

// The version of the file and everything that differs between versions.
// Version codes other than 1 and 2 are R12.
class TDXFVersion {
 public:
  explicit TDXFVersion(int ver) : v_(ver == 1 || ver == 2 ? ver : 0) {}

  int Code() const { return v_; }
  const char* AcadVer() const;    // "AC1009", "AC1015", "AC1021"
  int MaintVer() const;           // $ACADMAINTVER (AC1015, AC1021)

  bool IsR12() const { return v_ == 0; }
  // Groups the format gained with R2000: table handles, owners, subclass
  // markers, lineweights, CLASSES, OBJECTS, BLOCK_RECORD.
  bool Modern() const { return v_ != 0; }
  // Groups only the R2007 format has.
  bool R2007() const { return v_ == 2; }

  bool Utf8() const { return v_ == 2; }
  bool UpperNames() const { return v_ == 0; }
  bool SubclassMarkers() const { return Modern(); }
  bool TableHandles() const { return Modern(); }
  bool OwnerHandles() const { return Modern(); }
  bool LineWeights() const { return Modern(); }
  bool HasClasses() const { return Modern(); }
  bool HasObjects() const { return Modern(); }
  bool HasBlockRecords() const { return Modern(); }
  bool EllipseAsPolyline() const { return v_ == 0; }
  bool ViewportXData() const { return v_ == 0; }
  // The second paper layout exists only from R2000 on.
  bool HasSecondLayout() const { return Modern(); }
  bool ClassInstanceCounts() const { return R2007(); }

 private:
  int v_;
};

class TDXFGroupWriter {
 public:
  // `upperNames`: Name() upper-cases its text; `utf8`: texts in UTF-8,
  // else code page 932 with "\U+XXXX" for each UTF-16 unit of a character
  // the code page lacks.
  TDXFGroupWriter(TDXFSink& sink, bool utf8, bool upperNames,
                  size_t bufferSize = size_t{1} << 20);
  TDXFGroupWriter(TDXFSink& sink, const TDXFVersion& v, size_t bufferSize = size_t{1} << 20)
      : TDXFGroupWriter(sink, v.Utf8(), v.UpperNames(), bufferSize) {}
  ~TDXFGroupWriter();
  TDXFGroupWriter(const TDXFGroupWriter&) = delete;
  TDXFGroupWriter& operator=(const TDXFGroupWriter&) = delete;

  // Code line: right-aligned in three characters, wider codes as they are.
  void Code(int code);

  void Int(int code, int32_t v);       // six wide
  void Int9(int code, int32_t v);      // nine wide
  void IntPlain(int code, int32_t v);  // no padding
  void Real(int code, double x);
  void Handle(int code, uint32_t h);
  void Text(int code, std::u16string_view s);   // encoded text
  void Name(int code, std::u16string_view s);   // text, upper-cased in R12
  void Ascii(int code, std::string_view s);     // literal ASCII value

  void XY(double x, double y);                       // 10, 20
  void XYZ(double x, double y, double z);            // 10, 20, 30
  void XYZn(int n, double x, double y, double z);    // 1n, 2n, 3n

  // Value line without its code (for callers that wrote the code).
  void TextLine(std::u16string_view s);
  void AsciiLine(std::string_view s);
  // Groups laid out by another writer, as they are.
  void Groups(std::string_view bytes);

  // The bytes a text becomes in this file (without line end).
  std::string Encode(std::u16string_view s) const;

  bool Failed() const { return failed_; }
  // Flushes the buffer; true when every byte reached the sink.
  bool Finish();

 private:
  // A group of at most kPiece bytes is laid out in place at Room() and
  // taken by Took(n); the buffer has kPiece bytes of slack past its
  // capacity for that, so a group is never split or copied.
  static constexpr size_t kPiece = 128;
  char* Room() { return buf_.get() + len_; }
  void Took(size_t n) {
    len_ += n;
    if (len_ >= cap_) Flush();
  }
  void Raw(const char* p, size_t n);
  void Raw(std::string_view s) { Raw(s.data(), s.size()); }
  void EndLine() { Raw("\r\n", 2); }
  // Code line, then v right-aligned in `width` characters.
  void IntLine(int code, int32_t v, int width);
  // Value line of a text, upper-cased first for a name in R12.
  void ValueLine(std::u16string_view s, bool name);
  void Flush();

  TDXFSink& sink_;
  bool utf8_;
  bool upper_;
  std::unique_ptr<char[]> buf_;
  size_t cap_;
  size_t len_ = 0;
  bool failed_ = false;

  // Value lines of short texts met before: layer and line-type names come
  // with nearly every entity.  Direct-mapped slots, filled on first use.
  struct TLineMemo {
    bool used = false;
    bool name = false;
    std::u16string text;
    std::string line;  // encoded, with its line end
  };
  std::vector<TLineMemo> memo_;
};

}  // namespace tessa
