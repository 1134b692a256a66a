// Readable names for the cases of parameterised tests, so that a failing
// case shows as "Cases/ArcTest.AnglesBecomeDegrees/FullTurnIsACircle"
// rather than as a number and a dump of the parameter's bytes.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <string_view>

namespace tessa::testing_support {

// The letters and digits of `text` as one CamelCase word ("line, auxiliary
// style" -> "LineAuxiliaryStyle"); other characters only separate words.
inline std::string NameFromWords(std::string_view text) {
  std::string out;
  bool start = true;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80 && std::isalnum(c)) {
      out += start ? static_cast<char>(std::toupper(c)) : ch;
      start = false;
    } else {
      start = true;
    }
  }
  return out.empty() ? "Case" : out;
}

// Names a case by what its parameter prints (its operator<<).  With
// `withIndex`, the case's number follows, for parameters whose text may
// repeat once reduced to ASCII letters and digits.
template <bool withIndex = false>
struct NameByPrinting {
  template <class T>
  std::string operator()(const ::testing::TestParamInfo<T>& info) const {
    std::ostringstream os;
    os << info.param;
    std::string name = NameFromWords(os.str());
    if (withIndex) name += "_" + std::to_string(info.index);
    return name;
  }
};

}  // namespace tessa::testing_support
