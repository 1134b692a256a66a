// Jw_cad 8.2 and later keep some of its own settings as texts of the
// drawing: both ends exactly at (0, -1000) and a string "Name = value"
// (for example "Printer_Orientation = 0").  They are not drawing content;
// the extents and the conversion skip such texts of the drawing's own list.
#pragma once

#include <string_view>

#include "drawing/jwwtype.h"

namespace tessa {

// True when the string has the form "Name = value": a name of ASCII
// letters, digits and underscores that starts with a letter, then " = ",
// then a non-empty value.
inline bool IsJwSettingString(std::u16string_view s) {
  const size_t eq = s.find(u" = ");
  if (eq == std::u16string_view::npos || eq == 0) return false;
  if (eq + 3 >= s.size()) return false;
  for (size_t i = 0; i < eq; ++i) {
    const char16_t c = s[i];
    const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    const bool digit = c >= u'0' && c <= u'9';
    if (i == 0 ? !letter : !(letter || digit || c == u'_')) return false;
  }
  return true;
}

inline bool IsJwSettingText(const TEntJwwMoji& m) {
  return m.start_x == 0.0 && m.start_y == -1000.0 && m.end_x == 0.0 &&
         m.end_y == -1000.0 && IsJwSettingString(m.str);
}

}  // namespace tessa
