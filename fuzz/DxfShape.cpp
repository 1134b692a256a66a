#include "DxfShape.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <system_error>
#include <vector>

namespace tessa::dxfshape {

namespace {

enum class TValue { Text, Real, Int, Bool, Handle, Pointer, Hex, Unknown };

// The type of a group code's value in an ASCII DXF file; codes no DXF
// version defines are Unknown.
TValue ValueOf(int code) {
  if (code == 5 || code == 105) return TValue::Handle;
  if (code <= 9) return TValue::Text;
  if (code <= 59) return TValue::Real;
  if (code <= 79) return TValue::Int;
  if (code >= 90 && code <= 99) return TValue::Int;
  if (code >= 100 && code <= 102) return TValue::Text;
  if (code >= 110 && code <= 149) return TValue::Real;
  if (code >= 160 && code <= 179) return TValue::Int;
  if (code >= 210 && code <= 239) return TValue::Real;
  if (code >= 270 && code <= 289) return TValue::Int;
  if (code >= 290 && code <= 299) return TValue::Bool;
  if (code >= 300 && code <= 309) return TValue::Text;
  if (code >= 310 && code <= 329) return TValue::Hex;
  if (code >= 330 && code <= 369) return TValue::Pointer;
  if (code >= 370 && code <= 389) return TValue::Int;
  if (code >= 390 && code <= 399) return TValue::Pointer;
  if (code >= 400 && code <= 409) return TValue::Int;
  if (code >= 410 && code <= 419) return TValue::Text;
  if (code >= 420 && code <= 429) return TValue::Int;
  if (code >= 430 && code <= 439) return TValue::Text;
  if (code >= 440 && code <= 459) return TValue::Int;
  if (code >= 460 && code <= 469) return TValue::Real;
  if (code >= 470 && code <= 479) return TValue::Text;
  if (code == 480 || code == 481) return TValue::Pointer;
  if (code == 999) return TValue::Text;
  if (code == 1005) return TValue::Hex;
  if (code >= 1000 && code <= 1009) return TValue::Text;
  if (code >= 1010 && code <= 1059) return TValue::Real;
  if (code >= 1060 && code <= 1071) return TValue::Int;
  return TValue::Unknown;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

bool ReadsAsReal(std::string_view s) {
  s = TrimLeft(s);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

bool ReadsAsInt(std::string_view s) {
  s = TrimLeft(s);
  int64_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ReadsAsHex(std::string_view s, uint64_t* value = nullptr) {
  uint64_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  if (value) *value = v;
  return true;
}

// A group code: digits only, at most four of them (no DXF version has a
// larger one; ValueOf names those it has).
bool GroupCode(std::string_view digits, int& code) {
  if (digits.empty() || digits.size() > 4) return false;
  code = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    code = code * 10 + (c - '0');
  }
  return true;
}

struct TPair {
  int code = 0;
  std::string_view value;
  size_t line = 0;  // of the code, from 1
};

// Reads the text pair by pair.
class TPairReader {
 public:
  explicit TPairReader(std::string_view text) : text_(text) {}

  // False at the end of the text or at a fault (then fault is set).
  bool Next(TPair& p, std::string& fault) {
    if (pos_ >= text_.size()) return false;
    std::string_view code, value;
    p.line = line_;
    if (!Line(code, fault)) return false;
    if (pos_ >= text_.size()) {
      fault = "the last group code has no value";
      return false;
    }
    if (!Line(value, fault)) return false;
    if (!GroupCode(TrimLeft(code), p.code)) {
      fault = "line " + std::to_string(p.line) + " is no group code: '" + std::string(code) + "'";
      return false;
    }
    p.value = value;
    return true;
  }

 private:
  // One pass to the first CR or LF: lines are short, and the first of
  // them must be the CR of a CR LF.
  bool Line(std::string_view& l, std::string& fault) {
    size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    if (end + 1 >= text_.size() || text_[end] != '\r' || text_[end + 1] != '\n') {
      // A CR inside a line that does end in CR LF.
      const size_t lf = end < text_.size() ? text_.find('\n', end) : std::string_view::npos;
      const bool loneCr = lf != std::string_view::npos && text_[end] == '\r' && text_[lf - 1] == '\r';
      fault = "line " + std::to_string(line_) +
              (loneCr ? " holds a lone CR" : " does not end in CR LF");
      return false;
    }
    l = text_.substr(pos_, end - pos_);
    pos_ = end + 2;
    ++line_;
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0, line_ = 1;
};

// dimstyle: the pair belongs to a dimension style, which keeps the name of
// a block under code 5 and its handle under 105.
std::string ValueFault(const TPair& p, bool dimstyle) {
  bool good = true;
  switch (p.code == 5 && dimstyle ? TValue::Text : ValueOf(p.code)) {
    case TValue::Text: good = true; break;
    case TValue::Real: good = ReadsAsReal(p.value); break;
    case TValue::Int: good = ReadsAsInt(p.value); break;
    case TValue::Bool: good = TrimLeft(p.value) == "0" || TrimLeft(p.value) == "1"; break;
    case TValue::Handle:
    case TValue::Pointer:
    case TValue::Hex: good = ReadsAsHex(p.value); break;
    case TValue::Unknown:
      return "line " + std::to_string(p.line) + ": no DXF version has group code " +
             std::to_string(p.code);
  }
  if (good) return {};
  return "line " + std::to_string(p.line + 1) + ": '" + std::string(p.value) +
         "' is no value of group code " + std::to_string(p.code);
}

// Sections in the order a file holds them.
enum class TSection { None = -1, Header, Classes, Tables, Blocks, Entities, Objects, Thumbnail };
constexpr std::string_view kSections[] = {"HEADER", "CLASSES",  "TABLES", "BLOCKS",
                                          "ENTITIES", "OBJECTS", "THUMBNAILIMAGE"};

TSection SectionOf(std::string_view name) {
  for (size_t i = 0; i < std::size(kSections); ++i)
    if (kSections[i] == name) return static_cast<TSection>(i);
  return TSection::None;
}

// Walks the pairs once, keeping where it is: section, table, block and
// polyline.
class TWalk {
 public:
  TWalk(std::string_view text, TDxfShape& shape) : in_(text), shape_(shape) {}

  std::string Run() {
    TPair q;
    std::string fault;
    while (in_.Next(q, fault)) {
      if (std::string f = ValueFault(q, dimstyle_); !f.empty()) return f;
      if (q.code == 999) continue;  // a comment may stand anywhere
      if (q.code == 0) {
        if (std::string f = Object(q.value); !f.empty()) return At(q, f);
        if (ended_) break;
      } else if (section_ == TSection::None) {
        return At(q, "a group outside every section");
      } else if (section_ == TSection::Header) {
        if (std::string f = Header(q); !f.empty()) return At(q, f);
      } else if (std::string f = Group(q); !f.empty()) {
        return At(q, f);
      }
    }
    if (!fault.empty()) return fault;
    if (!ended_) return "the file does not end with EOF";
    if (in_.Next(q, fault)) return At(q, "pairs after EOF");
    if (!fault.empty()) return fault;
    return Handles();
  }

 private:
  static std::string At(const TPair& q, const std::string& what) {
    return "line " + std::to_string(q.line) + ": " + what;
  }

  // A "0" pair: the start of an object, or of a section's structure.
  std::string Object(std::string_view kind) {
    if (needHandle_ && !haveHandle_) return "the " + std::string(owner_) + " before has no handle";
    owner_ = kind;
    dimstyle_ = kind == "DIMSTYLE";
    sectionMark_ = kind == "SECTION" || kind == "ENDSEC";
    haveHandle_ = false;
    nameNext_ = false;
    // From R2000 on every block and entity has its handle (R12 makes them
    // optional even with handles on).
    needHandle_ = modern_ &&
                  (section_ == TSection::Blocks || section_ == TSection::Entities) &&
                  kind != "ENDSEC";
    if (kind == "EOF") {
      if (section_ != TSection::None) return "EOF inside section " + SectionName();
      ended_ = true;
      return {};
    }
    if (kind == "SECTION") {
      if (section_ != TSection::None) return "SECTION inside section " + SectionName();
      TPair name;
      std::string fault;
      if (!in_.Next(name, fault) || name.code != 2) return "a section without its name";
      section_ = SectionOf(name.value);
      if (section_ == TSection::None) return "unknown section " + std::string(name.value);
      const int rank = static_cast<int>(section_);
      if (rank <= lastRank_) return "section " + SectionName() + " out of order or repeated";
      lastRank_ = rank;
      return {};
    }
    if (section_ == TSection::None) return std::string(kind) + " outside every section";
    if (kind == "ENDSEC") {
      if (inTable_) return "ENDSEC inside a table";
      if (inBlock_) return "ENDSEC inside a block";
      if (polyline_) return "ENDSEC inside a polyline";
      section_ = TSection::None;
      return {};
    }
    if (section_ == TSection::Header) return "an object in the header";
    if (section_ == TSection::Tables) return TablePart(kind);
    if (section_ == TSection::Blocks) {
      if (kind == "BLOCK") {
        if (inBlock_) return "BLOCK inside a block";
        inBlock_ = true;
        nameNext_ = true;
        return {};
      }
      if (kind == "ENDBLK") {
        if (!inBlock_) return "ENDBLK without BLOCK";
        if (polyline_) return "ENDBLK inside a polyline";
        inBlock_ = false;
        return {};
      }
      if (!inBlock_) return std::string(kind) + " outside a block";
      return Entity(kind, false);
    }
    if (section_ == TSection::Entities) return Entity(kind, true);
    return {};
  }

  std::string SectionName() const {
    return std::string(kSections[static_cast<size_t>(section_)]);
  }

  std::string TablePart(std::string_view kind) {
    if (kind == "TABLE") {
      if (inTable_) return "TABLE inside a table";
      inTable_ = true;
      return {};
    }
    if (kind == "ENDTAB") {
      if (!inTable_) return "ENDTAB without TABLE";
      inTable_ = false;
      return {};
    }
    if (!inTable_) return std::string(kind) + " outside a table";
    return {};
  }

  // An entity of a block or of the ENTITIES section.
  std::string Entity(std::string_view kind, bool counted) {
    if (kind == "VERTEX") {
      if (!polyline_) return "VERTEX outside a polyline";
      return {};
    }
    if (kind == "SEQEND") {
      if (!polyline_) return "SEQEND outside a polyline";
      polyline_ = false;
      return {};
    }
    if (polyline_) return std::string(kind) + " inside a polyline";
    if (kind == "POLYLINE") polyline_ = true;
    if (counted) ++counted_[kind];
    return {};
  }

  std::string Header(const TPair& q) {
    if (q.code == 9) {
      variable_ = q.value;
      if (variable_.empty() || variable_[0] != '$')
        return "header variable " + std::string(variable_);
      if (!variables_.insert(variable_).second)
        return "header variable " + std::string(variable_) + " twice";
      return {};
    }
    if (variable_.empty()) return "a header value before the first variable";
    if (q.code == 1 && variable_ == "$ACADVER") {
      shape_.version = q.value;
      modern_ = shape_.version >= "AC1015";
    }
    if (q.code == 5 && variable_ == "$HANDSEED") ReadsAsHex(q.value, &shape_.handseed);
    return {};
  }

  // A group of a table record, block, entity or object.
  std::string Group(const TPair& q) {
    if (owner_.empty() || sectionMark_) return "a group outside every object";
    if (q.code == 2 && nameNext_) {
      nameNext_ = false;
      if (q.value.empty() || q.value[0] != '*') ++shape_.blocks;
    }
    if ((q.code == 5 && !dimstyle_) || q.code == 105) {
      if (haveHandle_) return std::string(owner_) + " with two handles";
      haveHandle_ = true;
      uint64_t h = 0;
      ReadsAsHex(q.value, &h);
      if (h == 0) return "handle 0";
      handles_.push_back(h);
    }
    // Layers name their plot style by a fixed handle that no object of the
    // file holds; readers look it up in their own plot style table.
    if (ValueOf(q.code) == TValue::Pointer && q.code != 390) {
      uint64_t h = 0;
      ReadsAsHex(q.value, &h);
      if (h != 0) pointers_.push_back({h, q.line});
    }
    return {};
  }

  std::string Handles() {
    for (const auto& [kind, n] : counted_) shape_.entities[std::string(kind)] = n;
    std::sort(handles_.begin(), handles_.end());
    shape_.handles = static_cast<int64_t>(handles_.size());
    const auto twice = std::adjacent_find(handles_.begin(), handles_.end());
    if (twice != handles_.end()) return "handle " + Hex(*twice) + " twice";
    const bool seeded = variables_.count("$HANDSEED") > 0;
    if (!seeded && modern_) return "no $HANDSEED in a file with handles";
    if (seeded && !handles_.empty() && handles_.back() >= shape_.handseed)
      return "handle " + Hex(handles_.back()) + " not below $HANDSEED";
    for (const auto& [h, line] : pointers_)
      if (!std::binary_search(handles_.begin(), handles_.end(), h))
        return "line " + std::to_string(line) + ": pointer to no handle of the file";
    return {};
  }

  static std::string Hex(uint64_t h) {
    char b[20];
    const auto r = std::to_chars(b, b + sizeof b, h, 16);
    return std::string(b, r.ptr);
  }

  TPairReader in_;
  TDxfShape& shape_;
  TSection section_ = TSection::None;
  int lastRank_ = -1;
  bool modern_ = false;  // R2000 or later
  bool ended_ = false, inTable_ = false, inBlock_ = false, polyline_ = false;
  std::string_view owner_;
  bool dimstyle_ = false, sectionMark_ = false;  // what owner_ is
  bool haveHandle_ = false, needHandle_ = false, nameNext_ = false;
  // Views into the text, which outlives the walk.
  std::string_view variable_;
  std::unordered_set<std::string_view> variables_;
  std::unordered_map<std::string_view, int64_t> counted_;  // entities by kind
  std::vector<uint64_t> handles_;
  std::vector<std::pair<uint64_t, size_t>> pointers_;
};

}  // namespace

std::string CheckDxf(std::string_view text, TDxfShape& shape) {
  shape = TDxfShape{};
  if (text.empty()) return "an empty file";
  return TWalk(text, shape).Run();
}

}  // namespace tessa::dxfshape
