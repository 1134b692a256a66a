// Boxes of what a model draws: each kind's full shape, inserts placed with
// scale and rotation through nested definitions, the spaces kept apart,
// and models a reader could not draw (loops, endless values) still give
// finite boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "dxf/SaveExtents.h"
#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

class ModelExtents : public ::testing::Test {
 protected:
  void SetUp() override {
    m.AddLtype(u"Continuous", u"", 0, {});
    m.AddLayer(u"0", 7, 1, 0, true, true);
    m.AddStyle(u"Standard", u"txt", u"", 0, 1, 0, 2.5, false);
  }
  TDXFBox Model() const { return TDXFExtents(m).Space(0); }
  TDXFmodel m;
};

void ExpectBox(const TDXFBox& b, double x1, double y1, double x2, double y2, double tol = 1e-9) {
  ASSERT_FALSE(b.Empty());
  EXPECT_NEAR(b.x1, x1, tol);
  EXPECT_NEAR(b.y1, y1, tol);
  EXPECT_NEAR(b.x2, x2, tol);
  EXPECT_NEAR(b.y2, y2, tol);
}

struct ShapeCase {
  const char* title;
  std::function<void(TDXFmodel&)> add;
  double x1, y1, x2, y2;
  double tol = 1e-9;
};
void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.title; }

class ModelExtentsShapes : public ModelExtents,
                           public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ModelExtentsShapes, BoxIsTheWrittenShape) {
  const ShapeCase& c = GetParam();
  c.add(m);
  ExpectBox(Model(), c.x1, c.y1, c.x2, c.y2, c.tol);
}

const double kS = std::sqrt(0.5);

INSTANTIATE_TEST_SUITE_P(
    Kinds, ModelExtentsShapes,
    ::testing::Values(
        ShapeCase{"line", [](TDXFmodel& m) { m.AddLine(0, 0, 0, 0, 0, 5, 1, -2, 3); }, -2, 1, 5, 3},
        ShapeCase{"circle reaches its radius",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 10, 20, 3, 1, 0, 360, 0); }, 7, 17,
                  13, 23},
        ShapeCase{"quarter arc keeps to its quadrant",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 0, 0, 2, 1, 0, 90, 0); }, 0, 0, 2,
                  2},
        ShapeCase{"clockwise arc passes the bottom",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 0, 0, 2, 1, 0, -180, 0); }, -2, -2,
                  2, 0},
        ShapeCase{"arc across 0 degrees reaches the right",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 0, 0, 1, 1, 315, 90, 0); }, kS, -kS,
                  1, kS},
        ShapeCase{"ellipse tilted a quarter turn",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 0, 0, 4, 0.5, 0, 0, 90); }, -2, -4,
                  2, 4},
        ShapeCase{"half ellipse below its axis",
                  [](TDXFmodel& m) { m.AddArc(0, 0, 0, 0, 0, 0, 0, 4, 0.5, 180, 180, 0); }, -4,
                  -2, 4, 0},
        ShapeCase{"four-point solid",
                  [](TDXFmodel& m) { m.AddSolid4(0, 0, 0, 0, 0, 3, 0, 3, 2, -1, 2); }, -1, 0, 3,
                  2},
        ShapeCase{"text rises by its height above its line, a third below",
                  [](TDXFmodel& m) {
                    m.AddMoji(0, 0, 0, 0, 0, 0, 10, 10, 30, 10, 4, 6, 0, 0, u"", u"Title");
                  },
                  10, 8, 30, 16},
        ShapeCase{"text running upwards rises to the left",
                  [](TDXFmodel& m) {
                    m.AddMoji(0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 3, 3, 0, 90, u"", u"ab");
                  },
                  -3, 0, 1, 8},
        ShapeCase{"slanted text leans past its end",
                  [](TDXFmodel& m) {
                    m.AddMoji(0, 0, 0, 0, 0, 2, 0, 0, 10, 0, 3, 3, 0, 0, u"", u"ab");
                  },
                  -std::tan(28 * std::acos(-1.0) / 180), -1,
                  10 + 3 * std::tan(28 * std::acos(-1.0) / 180), 3},
        ShapeCase{"point as a circle of its marker size",
                  [](TDXFmodel& m) {
                    m.SetTenTransType(1, 0.5);
                    m.AddTen(0, 0, 0, 0, 0, 1, 1, 0, 4);
                  },
                  -1, -1, 3, 3},
        ShapeCase{"insert scaled, turned and nested",
                  [](TDXFmodel& m) {
                    const int32_t inner = m.AddBlockDef(u"IN", 1);
                    m.AddBlockLine(inner, 0, 0, 0, 0, 0, 0, 0, 1, 0);
                    const int32_t outer = m.AddBlockDef(u"OUT", 2);
                    // Placed twice as long and turned upwards inside OUT.
                    m.AddBlockBlock(outer, 0, 0, 0, 0, 0, inner, 0, 0, 90, 2, 2);
                    m.AddBlock(0, 0, 0, 0, 0, outer, 100, 50, 0, 3, 1);
                  },
                  100, 50, 100, 52},
        ShapeCase{"insert turned 45 degrees keeps to its contents",
                  [](TDXFmodel& m) {
                    const int32_t b = m.AddBlockDef(u"RING", 1);
                    m.AddBlockArc(b, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0);
                    m.AddBlock(0, 0, 0, 0, 0, b, 0, 0, 45, 1, 1);
                  },
                  -1, -1, 1, 1, 0.002},
        ShapeCase{"insert of scale 0 reads back as scale 1",
                  [](TDXFmodel& m) {
                    const int32_t b = m.AddBlockDef(u"B", 1);
                    m.AddBlockLine(b, 0, 0, 0, 0, 0, 0, 0, 2, 3);
                    m.AddBlock(0, 0, 0, 0, 0, b, 0, 0, 0, 0, 0);
                  },
                  0, 0, 2, 3}));

TEST_F(ModelExtents, CurvesInsideInsertsStayWithinAPerMilleOfTheirReach) {
  const int32_t b = m.AddBlockDef(u"C", 1);
  m.AddBlockArc(b, 0, 0, 0, 0, 0, 0, 0, 1000, 0.25, 0, 0, 30);
  m.AddBlock(0, 0, 0, 0, 0, b, 0, 0, 17, 2, 0.5);
  const double pi = std::acos(-1.0);
  auto turn = [](double deg, double& x, double& y) {
    const double t = deg * std::acos(-1.0) / 180, rx = x * std::cos(t) - y * std::sin(t);
    y = x * std::sin(t) + y * std::cos(t);
    x = rx;
  };
  TDXFBox exact;
  for (int i = 0; i < 36000; ++i) {
    double x = 1000 * std::cos(i * pi / 18000), y = 250 * std::sin(i * pi / 18000);
    turn(30, x, y);  // the ellipse's tilt in the block
    x *= 2;          // the insert's scale, then its rotation
    y *= 0.5;
    turn(17, x, y);
    exact.Add(x, y);
  }
  const TDXFBox got = Model();
  // The outline holds the curve, at most a little outside it.
  EXPECT_LE(got.x1, exact.x1 + 1e-6);
  EXPECT_LE(got.y1, exact.y1 + 1e-6);
  EXPECT_GE(got.x2, exact.x2 - 1e-6);
  EXPECT_GE(got.y2, exact.y2 - 1e-6);
  EXPECT_LT(exact.x1 - got.x1, 2.5);
  EXPECT_LT(got.y2 - exact.y2, 2.5);
}

TEST_F(ModelExtents, WhatTheFileLeavesOutAddsNothing) {
  m.AddMoji(0, 0, 0, 0, 0, 0, 50, 50, 60, 50, 1, 1, 0, 0, u"", u" \u3000 ");
  m.AddBlock(0, 0, 0, 0, 0, -1, 70, 70, 0, 1, 1);
  m.SetTenTransType(7, 0.5);
  m.AddTen(0, 0, 0, 0, 0, 80, 80, 0, 1);
  m.AddVPort(1, 1, 0, 0, 0, 0, 420, 297, 210, 148, 297);
  EXPECT_TRUE(Model().Empty());
  m.AddLine(0, 0, 0, 0, 0, 1, 1, 2, 2);
  ExpectBox(Model(), 1, 1, 2, 2);
}

TEST_F(ModelExtents, PointMarkersPlaceTheMarkerBlock) {
  m.SetTenTransType(3, 0.5);
  m.tenidx = m.AddBlockDef(u"_TRANS_TEN", -1);
  m.AddBlockArc(m.tenidx, 0, 0, 0, 0, 0, 0, 0, 0.5, 1, 0, 0, 0);
  m.AddTen(0, 0, 0, 0, 0, 10, 10, 0, 2);
  const TDXFBox b = Model();
  ExpectBox(b, 9, 9, 11, 11, 0.01);
  EXPECT_LE(b.x1, 9);
  EXPECT_GE(b.y2, 11);
}

TEST_F(ModelExtents, SpacesAreKeptApart) {
  m.AddLine(0, 0, 0, 0, 0, 0, 0, 10, 10);
  m.AddLine(1, 0, 0, 0, 0, 100, 0, 110, 5);
  m.AddLine(2, 0, 0, 0, 0, -5, -5, -1, -1);
  const auto all = TDXFExtents(m).Spaces();
  ExpectBox(all[0], 0, 0, 10, 10);
  ExpectBox(all[1], 100, 0, 110, 5);
  ExpectBox(all[2], -5, -5, -1, -1);
  ExpectBox(TDXFExtents(m).Space(1), 100, 0, 110, 5);
  EXPECT_TRUE(TDXFExtents(m).Space(7).Empty());
}

TEST_F(ModelExtents, DefinitionsPlacingEachOtherEndAndStayFinite) {
  const int32_t a = m.AddBlockDef(u"A", 1), b = m.AddBlockDef(u"B", 2);
  m.AddBlockLine(a, 0, 0, 0, 0, 0, 0, 0, 1, 1);
  m.AddBlockBlock(a, 0, 0, 0, 0, 0, b, 5, 0, 0, 1, 1);
  m.AddBlockLine(b, 0, 0, 0, 0, 0, 0, 0, 1, 1);
  m.AddBlockBlock(b, 0, 0, 0, 0, 0, a, 5, 0, 0, 1, 1);
  m.AddBlock(0, 0, 0, 0, 0, a, 0, 0, 0, 1, 1);
  const TDXFBox box = Model();
  ASSERT_FALSE(box.Empty());
  EXPECT_TRUE(std::isfinite(box.x2));
  EXPECT_GE(box.x2, 6);
}

TEST_F(ModelExtents, LongChainOfDefinitionsNeedsNoDeepStack) {
  // Definition i places definition i + 1; only the last draws.
  const int32_t n = 50000;
  for (int32_t i = 0; i < n; ++i) {
    const std::string name = "B" + std::to_string(i);
    m.AddBlockDef(std::u16string(name.begin(), name.end()), i);
  }
  for (int32_t i = 0; i + 1 < n; ++i) m.AddBlockBlock(i, 0, 0, 0, 0, 0, i + 1, 0, 0, 0, 1, 1);
  m.AddBlockLine(n - 1, 0, 0, 0, 0, 0, 0, 0, 1, 1);
  m.AddBlock(0, 0, 0, 0, 0, 0, 3, 3, 0, 1, 1);
  ExpectBox(Model(), 3, 3, 4, 4);
}

TEST_F(ModelExtents, EndlessAndHugeValuesGiveFiniteOrderedBoxes) {
  const double inf = std::numeric_limits<double>::infinity();
  m.AddLine(0, 0, 0, 0, 0, inf, 0, std::nan(""), 1);
  EXPECT_TRUE(Model().Empty());
  m.AddArc(0, 0, 0, 0, 0, 1e300, -1e300, 1e300, 1, 0, 360, 0);
  const TDXFBox b = Model();
  ASSERT_FALSE(b.Empty());
  for (double v : {b.x1, b.y1, b.x2, b.y2}) EXPECT_TRUE(std::isfinite(v));
  EXPECT_LE(b.x1, b.x2);
  EXPECT_LE(b.y1, b.y2);
}

}  // namespace
}  // namespace tessa
