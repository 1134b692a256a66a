// Text editing with Japanese text in mind, and the image text of a Jw_cad
// image entity.
#include "util/Func_2Text.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "util/CaseMapTable.h"
#include "util/Func_2Number.h"

namespace tessa {

namespace {

constexpr char16_t kBlank = u' ';

// Maps c by the run of `table` that holds it; c itself when none does.
char32_t MapByRuns(std::span<const case_table::CaseRun> table, char32_t c) {
  auto after = std::upper_bound(
      table.begin(), table.end(), c,
      [](char32_t v, const case_table::CaseRun& r) { return v < r.first; });
  if (after == table.begin()) return c;
  const case_table::CaseRun& run = *std::prev(after);
  const char32_t offset = c - run.first;
  if (offset % run.step != 0 || offset / run.step >= run.length) return c;
  return static_cast<char32_t>(static_cast<int32_t>(c) + run.delta);
}

// Simple (one-to-one) case mapping per code point; a mapping that would
// change the number of UTF-16 units keeps the character, so indexes into
// the text stay valid.
template <bool kUpper>
std::u16string MapCase(std::u16string_view s) {
  auto map = [](char32_t c) { return kUpper ? UpperChar(c) : LowerChar(c); };
  std::u16string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
        out[i + 1] <= 0xDFFF) {
      char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (out[i + 1] - 0xDC00);
      char32_t m = map(cp);
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
    char32_t m = map(c);
    if (m < 0x10000 && (m < 0xD800 || m > 0xDFFF)) out[i] = static_cast<char16_t>(m);
  }
  return out;
}

}  // namespace

char32_t UpperChar(char32_t c) {
  return MapByRuns(case_table::kUpper, c);
}

char32_t LowerChar(char32_t c) {
  return MapByRuns(case_table::kLower, c);
}

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
