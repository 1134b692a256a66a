#include <gtest/gtest.h>

#include "unitval_expect.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

TEST(UnitVal, ResetRestoresStartValues) {
  AppDir = "/x/";
  CurFileName = "a.jww";
  ExtMinX = ExtMinY = -5;
  ExtMaxX = ExtMaxY = 5;
  PaperX = PaperY = 1;
  OptLayerNameType = OptSpace = OptScaleGroup = OptTenType = 3;
  OptTenSize = 7;
  BackColorNo = 2;
  ColorSource = 9;
  AppTitle = u"x";
  UnitValReset();
  EXPECT_EQ(AppDir, "");
  EXPECT_EQ(CurFileName, "");
  ExpectStartExtentsAndPaper();
  EXPECT_EQ(OptLayerNameType, 0);
  EXPECT_EQ(OptSpace, 0);
  EXPECT_EQ(OptScaleGroup, 0);
  EXPECT_EQ(OptTenType, 0);
  EXPECT_EQ(OptTenSize, 0.001);
  EXPECT_EQ(BackColorNo, 0);
  EXPECT_EQ(ColorSource, 1);
  EXPECT_EQ(StrToUtf8(AppTitle),
            "[Tessaconv]\xEF\xBC\xAA\xEF\xBC\xB7\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"
            "\xE3\x82\x92\xEF\xBC\xA4\xEF\xBC\xB8\xEF\xBC\xA6\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4"
            "\xE3\x83\xAB\xE3\x81\xAB\xE5\xA4\x89\xE6\x8F\x9B by Morvex Co.");
}

TEST(UnitVal, ExtentsAndPaperResetLeavesTheOtherValues) {
  UnitValReset();
  CurFileName = "a.jwc";
  OptSpace = 1;
  ExtMinX = ExtMinY = -5;
  ExtMaxX = ExtMaxY = 5;
  PaperX = PaperY = 1;
  ExtentsAndPaperReset();
  ExpectStartExtentsAndPaper();
  EXPECT_EQ(CurFileName, "a.jwc");
  EXPECT_EQ(OptSpace, 1);
  UnitValReset();
}

}  // namespace
}  // namespace tessa
