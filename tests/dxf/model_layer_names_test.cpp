// Default DXF layer names and their adjustment to what a version allows.
#include <gtest/gtest.h>

#include <string>

#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

struct DefaultNameCase {
  const char* title;
  int32_t type;
  int32_t layer;
  std::u16string group;
  std::u16string name;
  std::u16string expected;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const DefaultNameCase& c) {
  return os << c.title;
}

class DefaultLayerName : public ::testing::TestWithParam<DefaultNameCase> {};

TEST_P(DefaultLayerName, Builds) {
  const auto& c = GetParam();
  TDXFmodel m;
  m.SetLayerNameType(c.type);
  EXPECT_EQ(m.DefautLayerName(c.layer, c.group, c.name), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DefaultLayerName,
    ::testing::Values(
        DefaultNameCase{"number_first", 0, 0, u"G", u"L", u"1"},
        DefaultNameCase{"number_last", 0, 255, u"G", u"L", u"256"},
        DefaultNameCase{"unknown_type_is_number", 7, 16, u"G", u"L", u"17"},
        DefaultNameCase{"layer_name_as_is", 1, 3, u"G", u" a b ", u" a b "},
        DefaultNameCase{"group_and_empty_layer", 2, 10, u"建具 ", u"", u"建具-A"},
        DefaultNameCase{"group_and_blank_layer", 2, 31, u"G", u" \u3000", u"G-F"},
        DefaultNameCase{"group_and_layer", 2, 5, u"1 階", u"壁 芯", u"1階-壁芯"},
        DefaultNameCase{"no_group", 2, 5, u"  ", u"壁 芯", u"壁芯"},
        DefaultNameCase{"nothing", 2, 5, u"", u"", u""}),
    [](const auto& info) { return std::string(info.param.title); });

struct AdjustCase {
  const char* title;
  int32_t ver;
  int32_t group;
  int32_t layer;
  std::u16string in;
  std::u16string expected;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const AdjustCase& c) { return os << c.title; }

class AdjustLayerName : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(AdjustLayerName, Filters) {
  const auto& c = GetParam();
  TDXFmodel m;
  m.SetDXFVer(c.ver, 0);
  EXPECT_EQ(m.AdjustLayerName(c.group, c.layer, c.in), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, AdjustLayerName,
    ::testing::Values(
        AdjustCase{"r12_nothing_left", 0, 0, 1, u"壁(外)", u"0-1"},
        AdjustCase{"r12_fallback_hex", 0, 15, 3, u"。", u"F-3"},
        AdjustCase{"r12_full_width_kept", 0, 0, 0, u"ＡＢ１", u"ＡＢ１"},
        AdjustCase{"r12_allowed_ascii", 0, 0, 0, u"$a-Z_9", u"$a-Z_9"},
        AdjustCase{"r12_full_width_symbols", 0, 0, 0, u"＄－＿（", u"＄－＿"},
        AdjustCase{"r12_blanks_and_dots", 0, 0, 0, u"a .b", u"ab"},
        AdjustCase{"r2000_kanji_kept", 1, 0, 1, u"壁(外)", u"壁外"},
        AdjustCase{"r2000_punctuation", 1, 0, 0, u"a.b/c", u"abc"},
        AdjustCase{"r2000_dollar_dash_underscore", 1, 0, 0, u"$-_", u"$-_"},
        AdjustCase{"r2000_full_width_kept", 1, 0, 0, u"－＿ア", u"－＿ア"},
        AdjustCase{"r2000_full_width_dropped", 1, 0, 0, u"Ａ！”＃＄％＆’（）＊＋，．／：；＜＝＞？＠［￥］＾｀｛｜｝～Ｂ", u"ＡＢ"},
        AdjustCase{"r2000_ascii_dropped", 1, 0, 0, u"x!\"#%&'()*+,./:;<=>?@[\\]^`{|}~y", u"xy"},
        AdjustCase{"r2007_fallback", 2, 2, 12, u"***", u"2-C"},
        // Version codes other than 1 and 2 filter like R12.
        AdjustCase{"unknown_version_is_r12", 5, 0, 1, u"壁(外)", u"0-1"},
        AdjustCase{"negative_version_is_r12", -1, 0, 0, u"ａ壁", u"ａ"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(ModelVersion, OnlyKnownCodesAreKept) {
  TDXFmodel m;
  const struct {
    int32_t v, sp, ver, spa;
  } cases[] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 0, 2, 0}, {3, 1, 0, 1},
               {-1, 0, 0, 0}, {99, 2, 0, 0}, {2, -1, 2, 0}};
  for (const auto& c : cases) {
    m.SetDXFVer(c.v, c.sp);
    EXPECT_EQ(m.Ver, c.ver) << c.v;
    EXPECT_EQ(m.Spa, c.spa) << c.sp;
  }
}

}  // namespace
}  // namespace tessa
