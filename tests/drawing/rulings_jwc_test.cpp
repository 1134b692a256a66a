// JWC details the other JWC tests leave open: the order in which angles
// change unit, in the text angle of the conversion and in the arc ends of
// the extents.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawing/JwcCommon.h"
#include "drawing/JwcDxf.h"
#include "drawing/JwcUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"

namespace tessa {
namespace {

constexpr double kPi = std::numbers::pi;

class JwcAngles : public ::testing::Test {
 protected:
  TConvContext ctx;
};

// A container shaped as a read leaves it, with one text.
void ShapeWithText(TJwcData& jw, float x2, float y2) {
  jw.EntVten.assign(101, TEntJwcVten{});
  jw.EntMjtp.assign(12, TEntJwcMojiType{});
  for (uint16_t k = 0; k <= 10; ++k) jw.EntMjtp[k] = {1, 20, 20, 0};
  jw.EntLgrp.assign(16, TEntJwcLayerGroup{1.0f, 1, 1, 0, u""});
  jw.EntLay.assign(256, TEntJwcLayer{1, 1, u""});
  TEntJwcMoji2 t;
  t.x2 = x2;
  t.y2 = y2;
  t.no = 1;
  t.s = u"A";
  jw.EntMoji.push_back(t);
  jw.mojiN = 1;
}

// The text angle is its direction in radians times 180, then over pi; a
// rounded 180/pi gives another last bit for this direction.
TEST_F(JwcAngles, TextAngleIsRadiansTimes180ThenOverPi) {
  const double t = GetKakudo(10, 7);
  ASSERT_NE(t * 180 / kPi, t * (180 / kPi));
  TJwcData jw;
  ShapeWithText(jw, 10, 7);
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->deMojiN(), 1);
  EXPECT_EQ(ctx.DxfModel->deMoji[0].a, t * 180 / kPi);
}

// The ends of an arc in the extents are at its degrees times pi, then
// over 180.
TEST_F(JwcAngles, ArcEndsInTheExtentsAreDegreesTimesPiThenOver180) {
  struct Case {
    float st, et;
  };
  const Case cases[] = {{26.02f, 40.0f}, {11.56f, 80.0f}};
  for (const Case& c : cases) {
    const double st = c.st;
    ASSERT_NE(std::sin(st * kPi / 180), std::sin(st * (kPi / 180))) << c.st;
    TEntJwcArc2 a;
    a.x = 3;
    a.y = 4;
    a.r = 10;
    a.h = 1;
    a.st = c.st;
    a.et = c.et;
    TJwExtents ext;
    ext.ExtMinX = ext.ExtMinY = 1e7;
    ext.ExtMaxX = ext.ExtMaxY = -1e7;
    JwcArcMinMax(ext, a, 1);
    // Between the ends no axis is passed: the start is the lowest point.
    EXPECT_EQ(ext.ExtMinY, 4 + 10 * std::sin(st * kPi / 180)) << c.st;
  }
}

}  // namespace
}  // namespace tessa
