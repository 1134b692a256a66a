#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/Func_2Geometry.h"

namespace tessa {
namespace {

const double kPi = 3.141592653589793;

TEST(Rounding, Round14AndRoundKeta) {
  EXPECT_EQ(Round14(2.5e-15), 0.0);
  EXPECT_DOUBLE_EQ(Round14(7.5e-15), 1e-14);
  EXPECT_DOUBLE_EQ(Round14(-7.5e-15), -1e-14);
  EXPECT_DOUBLE_EQ(Round14(0.1), 0.1);
  EXPECT_DOUBLE_EQ(RoundKeta(2, 1, 1.231), 1.24);
  EXPECT_DOUBLE_EQ(RoundKeta(2, 0, -1.239), -1.23);
  EXPECT_DOUBLE_EQ(RoundKeta(0, 2, 2.5), 3.0);
  EXPECT_DOUBLE_EQ(RoundKeta(10, 2, 2.5), 3.0);  // outside 1..9: factor 1
  EXPECT_DOUBLE_EQ(RoundKeta(2, 1, 1.23), 1.23);  // already exact: no step up
  EXPECT_DOUBLE_EQ(RoundKeta(3, 5, -0.0025), -0.003);
}

TEST(Comparison, EqualValAndEqualPoint) {
  EXPECT_TRUE(EqualVal(1.0, 1.0 + 1e-13));
  EXPECT_FALSE(EqualVal(1.0, 1.0 + 1e-11));
  EXPECT_TRUE(EqualPoint(0, 0, 1e-15, -1e-15));
  EXPECT_FALSE(EqualPoint(0, 0, 0, 1e-13));
}

TEST(Rotation, KaitenAboutACentre) {
  EXPECT_NEAR(KaitenX(2, 1, 1, 1, kPi / 2), 1.0, 1e-15);
  EXPECT_NEAR(KaitenY(2, 1, 1, 1, kPi / 2), 2.0, 1e-15);
  double x = 0, y = 0;
  KaitenDeg(2, 1, 1, 1, 180, x, y);
  EXPECT_NEAR(x, 0.0, 1e-14);
  EXPECT_NEAR(y, 1.0, 1e-14);
  // The degree constant is used as given, not pi/180.
  KaitenDeg(1, 0, 0, 0, 1e6, x, y);
  const double a = 1e6 * 0.017453292519943278;
  EXPECT_EQ(x, std::cos(a) * 1.0 - std::sin(a) * 0.0 + 0.0);
  EXPECT_EQ(y, 0.0 + std::sin(a) * 1.0 + std::cos(a) * 0.0);
}

TEST(Angles, GetKakudoInZeroToTwoPi) {
  EXPECT_DOUBLE_EQ(GetKakudo(0, -1), 3 * kPi / 2);
  EXPECT_EQ(GetKakudo(0, 0), 0.0);
  EXPECT_EQ(GetKakudo(1e-15, -1e-15), 0.0);
  EXPECT_DOUBLE_EQ(GetKakudo(-1, 0), kPi);
  EXPECT_DOUBLE_EQ(GetKakudo(1, 1), kPi / 4);
}

struct NormCase {
  double in, expected;
};

TEST(Angles, NormDegWrapsAndSnapsToZero) {
  const NormCase cases[] = {
      {-30, 330}, {720, 0}, {359.99999999999, 0}, {-1e-11, 0}, {360.00000000001, 0},
      {0, 0},     {359.5, 359.5}, {-720.5, 359.5}, {1e-9, 1e-9},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(NormDeg(c.in), c.expected, 1e-12) << c.in;
  }
  EXPECT_EQ(NormDegTol(359.5, 1.0), 0.0);
  EXPECT_EQ(NormDegTol(0.5, 1.0), 0.0);
  EXPECT_EQ(NormDegTol(2.0, 1.0), 2.0);
}

TEST(Angles, NormDegEndsForHugeAndNonFiniteAngles) {
  double r = NormDeg(1e300);
  EXPECT_GE(r, 0.0);
  EXPECT_LT(r, 360.0);
  r = NormDeg(-3.6e15 - 90);
  EXPECT_NEAR(r, 270.0, 1e-6);
  EXPECT_TRUE(std::isnan(NormDeg(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(NormDeg(std::numeric_limits<double>::infinity()),
            std::numeric_limits<double>::infinity());
}

TEST(Ellipse, PointOnTiltedEllipse) {
  double x = 0, y = 0;
  EllipsePoint(10, 20, 4, 0.5, 0, kPi / 2, x, y);
  EXPECT_NEAR(x, 10.0, 1e-12);
  EXPECT_NEAR(y, 22.0, 1e-12);
  EllipsePoint(10, 20, 4, 0.5, kPi / 2, 0, x, y);
  EXPECT_NEAR(x, 10.0, 1e-12);
  EXPECT_NEAR(y, 24.0, 1e-12);
}

TEST(Ellipse, KnownTiltGivesTheSamePointToTheLastBit) {
  // Callers that take several points of one ellipse pass the tilt's cosine
  // and sine; the drawing extents depend on both forms agreeing exactly.
  const double tilts[] = {0.0, 0.3, M_PI / 2, -2.5, 1e-9, 7.0};
  const double params[] = {0.0, M_PI / 2, M_PI, 3 * M_PI / 2, 0.123, -4.2};
  for (double tilt : tilts) {
    for (double t : params) {
      double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      EllipsePoint(12.5, -3.25, 7.75, 0.4, tilt, t, x1, y1);
      EllipsePointTilted(12.5, -3.25, 7.75, 0.4, std::cos(tilt), std::sin(tilt), t, x2, y2);
      EXPECT_EQ(x1, x2) << tilt << " " << t;
      EXPECT_EQ(y1, y2) << tilt << " " << t;
      // And both are the rotation of the untilted point.
      const double px = 7.75 * std::cos(t), py = 7.75 * 0.4 * std::sin(t);
      EXPECT_EQ(x1, KaitenX(px, py, 0.0, 0.0, tilt) + 12.5);
      EXPECT_EQ(y1, KaitenY(px, py, 0.0, 0.0, tilt) + -3.25);
    }
  }
}

TEST(Ellipse, ArcEndsAndTangentCrossing) {
  double sx, sy, ex, ey, px, py;
  EllipseArcPoints(10, 20, 1, 1, 0, kPi / 2, 0, sx, sy, ex, ey, px, py);
  EXPECT_NEAR(sx, 11, 1e-12);
  EXPECT_NEAR(sy, 20, 1e-12);
  EXPECT_NEAR(ex, 10, 1e-12);
  EXPECT_NEAR(ey, 21, 1e-12);
  EXPECT_NEAR(px, 11, 1e-12);
  EXPECT_NEAR(py, 21, 1e-12);
  // Flattened and tilted by a quarter turn.
  EllipseArcPoints(0, 0, 2, 0.5, 0, kPi / 2, kPi / 2, sx, sy, ex, ey, px, py);
  EXPECT_NEAR(sx, 0, 1e-12);
  EXPECT_NEAR(sy, 2, 1e-12);
  EXPECT_NEAR(ex, -1, 1e-12);
  EXPECT_NEAR(ey, 0, 1e-12);
  EXPECT_NEAR(px, -1, 1e-12);
  EXPECT_NEAR(py, 2, 1e-12);
  // Half an ellipse: parallel tangents give the centre.
  EllipseArcPoints(5, 6, 1, 1, 0, kPi, 0, sx, sy, ex, ey, px, py);
  EXPECT_EQ(px, 5);
  EXPECT_EQ(py, 6);
}

struct CrossCase {
  const char* name;
  double a[4], b[4];
  int code;
  double x, y;
};

TEST(LineCross, CodesAndPoints) {
  const CrossCase cases[] = {
      {"two verticals", {0, 0, 0, 1}, {1, 0, 1, 1}, 0, 0, 0},
      {"crossing diagonals", {0, 0, 2, 2}, {0, 2, 2, 0}, 1, 1, 1},
      {"crossing outside B", {0, 0, 1, 1}, {3, 0, 3, 5}, 2, 3, 3},
      {"A vertical", {1, -1, 1, 1}, {0, 0, 2, 0}, 1, 1, 0},
      {"A vertical, outside A", {1, 5, 1, 6}, {0, 0, 2, 0}, 2, 1, 0},
      {"parallel slopes", {0, 0, 1, 1}, {0, 1, 1, 2}, 0, 0, 0},
      {"touching end within tolerance", {0, 0, 1, 0}, {1 + 5e-13, -1, 1 + 5e-13, 1}, 1, 1 + 5e-13, 0},
  };
  for (const auto& c : cases) {
    double x = -99, y = -99;
    int r = LineCross(c.a[0], c.a[1], c.a[2], c.a[3], c.b[0], c.b[1], c.b[2], c.b[3], x, y);
    EXPECT_EQ(r, c.code) << c.name;
    if (c.code != 0) {
      EXPECT_NEAR(x, c.x, 1e-12) << c.name;
      EXPECT_NEAR(y, c.y, 1e-12) << c.name;
    }
  }
}

TEST(Extents, MinMaxAccumulatesScalesAndClamps) {
  double x0, y0, x1, y1;
  MinMaxInit(x0, y0, x1, y1, 10, 20, 2);
  EXPECT_EQ(x0, 5);
  EXPECT_EQ(x1, 5);
  EXPECT_EQ(y0, 10);
  EXPECT_EQ(y1, 10);
  MinMaxAdd(x0, y0, x1, y1, -4, 40, 2);
  EXPECT_EQ(x0, -2);
  EXPECT_EQ(x1, 5);
  EXPECT_EQ(y0, 10);
  EXPECT_EQ(y1, 20);
  MinMaxAdd(x0, y0, x1, y1, 5e8, -5e8, 1);
  EXPECT_EQ(x1, 1e8);
  EXPECT_EQ(y0, -1e8);
  // Transform first: X = a x + b y + tx, Y = c x + d y + ty.
  MinMaxInit(x0, y0, x1, y1, 0, 0, 1);
  MinMaxAddT(x0, y0, x1, y1, 1, 2, 100, 200, 0, -1, 1, 0, 2);
  EXPECT_EQ(x1, (0 * 1 + -1 * 2 + 100) / 2.0);
  EXPECT_EQ(y1, (1 * 1 + 0 * 2 + 200) / 2.0);
  // Each bound is clamped on its own: a far-right start keeps its minimum.
  MinMaxInit(x0, y0, x1, y1, 5e8, 0, 1);
  EXPECT_EQ(x0, 5e8);
  EXPECT_EQ(x1, 1e8);
}

TEST(Colours, PackingAndRedBlueSwap) {
  EXPECT_EQ(RGBToColor(0x11, 0x22, 0x33), 0xFF112233u);
  EXPECT_EQ(WinColorToColor(0x00332211u), 0xFF112233u);
  EXPECT_EQ(WinColorToColor(0xAB0000FFu), 0xFFFF0000u);  // top byte ignored
}

}  // namespace
}  // namespace tessa
