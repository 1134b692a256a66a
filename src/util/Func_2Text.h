// Helpers: text editing and image texts (part of Func_2.h).  Text is
// UTF-16: one character is one UTF-16 code unit, and the editing
// functions count, index and clip in those units.
#pragma once

#include <string>
#include <string_view>

namespace tessa {

// ---- Text editing (zero-based, clipped indexes) ---------------------------
// Simple (one-to-one) Unicode case mapping of one code point; a code point
// without a mapping maps to itself.
char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);
// Simple Unicode case mapping per code point; the length never changes.
std::u16string UpperStr(std::u16string_view s);
std::u16string LowerStr(std::u16string_view s);
// -1 when sub is absent or empty.
int IndexOfStr(std::u16string_view sub, std::u16string_view s);
std::u16string MidFrom(std::u16string_view s, int start);
std::u16string MidStr(std::u16string_view s, int start, int count);
std::u16string CharAt(std::u16string_view s, int index);
std::u16string DelCtrl(std::u16string_view s);
std::u16string DelSpace(std::u16string_view s);
std::u16string DelCtrlCode(std::u16string_view s);
bool IsHankaku(char16_t c);
double MojiWidth(std::u16string_view s, double w, double gap);
double MojiWidthFix(std::u16string_view s, double w, double gap);

// ---- Image text of a Jw_cad image entity ----------------------------------
struct TImageText {
  std::u16string fname;
  double width = 0, height = 0, n3 = 0, n4 = 0, n5 = 1.0, n6 = 0;
  bool isShort = true;
};
TImageText ParseImageText(std::u16string_view text);

}  // namespace tessa
