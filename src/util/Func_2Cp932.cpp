// Code page 932 (Shift_JIS, Windows table) in and out, and UTF-8.
#include "util/Func_2Cp932.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "util/Cp932Table.h"

namespace tessa {

// ---- Code page 932 and Unicode -------------------------------------------

namespace {

namespace table = cp932_table;

bool IsLead(uint8_t b) {
  return table::kLeadRow[b] != table::kNotLead;
}

// Character of the pair (lead, trail); kNone when it has none.
char16_t PairChar(uint8_t lead, uint8_t trail) {
  if (!IsLead(lead) || trail < table::kTrailFirst || trail > table::kTrailLast) {
    return table::kNone;
  }
  return table::kPairs[table::kLeadRow[lead]][trail - table::kTrailFirst];
}

// The decoding table reversed: the code of every UTF-16 unit, 0 when it has
// none.  Built once, on first use, rather than stored, which would put
// 128 KB into every program.
class EncodeTable {
 public:
  EncodeTable() {
    for (int b = 1; b < 256; ++b) Add(static_cast<uint16_t>(b), table::kSingle[b]);
    for (int lead = 0; lead < 256; ++lead) {
      if (!IsLead(static_cast<uint8_t>(lead))) continue;
      for (int trail = table::kTrailFirst; trail <= table::kTrailLast; ++trail) {
        Add(static_cast<uint16_t>(lead << 8 | trail),
            PairChar(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)));
      }
    }
  }

  uint16_t CodeOf(char16_t u) const { return code_[u]; }

 private:
  void Add(uint16_t code, char16_t u) {
    if (u == table::kNone || std::binary_search(std::begin(table::kNotWritten),
                                                std::end(table::kNotWritten), code)) {
      return;
    }
    code_[u] = code;
  }

  std::array<uint16_t, 0x10000> code_{};
};

uint16_t CodeOf(char16_t u) {
  static const EncodeTable encode;
  return encode.CodeOf(u);
}

}  // namespace

std::u16string BytesToStr(const uint8_t* p, size_t n) {
  std::u16string out;
  if (p == nullptr || n == 0) return out;
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    uint8_t b = p[i];
    if (b == 0) break;  // the text ends at its first NUL
    char16_t c = table::kNone;
    size_t used = 1;
    if (IsLead(b)) {
      if (i + 1 < n) {
        c = PairChar(b, p[i + 1]);
        if (c != table::kNone) used = 2;
      }
    } else {
      c = table::kSingle[b];
    }
    out.push_back(c == table::kNone ? u'?' : c);
    i += used;
  }
  return out;
}

std::u16string BytesToStr(std::string_view bytes) {
  return BytesToStr(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string StrToCp932(std::u16string_view s) {
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
    uint16_t code = CodeOf(c);
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
  return CodeOf(c);
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

}  // namespace tessa
