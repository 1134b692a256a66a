#include <gtest/gtest.h>

#include <string>

#include "unitval_expect.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

// The values a conversion starts from: those of a run without settings file.
TEST(UnitVal, FreshValuesAreTheStartValues) {
  const TConvOptions o;
  EXPECT_EQ(o.DxfVer, 0);
  EXPECT_EQ(o.LayerNameType, 0);
  EXPECT_EQ(o.Space, 0);
  EXPECT_EQ(o.ScaleGroup, 0);
  EXPECT_EQ(o.TenType, 0);
  EXPECT_EQ(o.TenSize, 0.001);
  EXPECT_EQ(o.ColorSource, 1);
  ExpectStartExtentsAndPaper(TJwPlacement{});
  const TJwExtents e;
  EXPECT_EQ(e.ExtMinX, 0.0);
  EXPECT_EQ(e.ExtMaxY, 400.0);
}

TEST(UnitVal, TitleText) {
  EXPECT_EQ(StrToUtf8(kAppTitleText),
            "[Tessaconv]\xEF\xBC\xAA\xEF\xBC\xB7\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"
            "\xE3\x82\x92\xEF\xBC\xA4\xEF\xBC\xB8\xEF\xBC\xA6\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4"
            "\xE3\x83\xAB\xE3\x81\xAB\xE5\xA4\x89\xE6\x8F\x9B by Morvex Co.");
}

}  // namespace
}  // namespace tessa
