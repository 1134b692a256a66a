// Extents of JWC drawings and JWK symbols.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

// The extents the last GetMinMaxZahyo gave.
TJwExtents ext;

constexpr double kPi = std::numbers::pi;

struct Box { double x0, y0, x1, y1; };

class JwcExtentsTest : public ::testing::Test {
 protected:
  void SetUp() override { ext = TJwExtents{}; }
  static Box Ext() { return {ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY}; }
};

void ExpectBox(const Box& b, double x0, double y0, double x1, double y1) {
  EXPECT_NEAR(b.x0, x0, 1e-9);
  EXPECT_NEAR(b.y0, y0, 1e-9);
  EXPECT_NEAR(b.x1, x1, 1e-9);
  EXPECT_NEAR(b.y1, y1, 1e-9);
}

TEST_F(JwcExtentsTest, JwcLineOnly) {
  TJwcData jw;
  jw.EntLine.push_back({10, 20, 30, 5});
  jw.lineN = 1;
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), 10, 5, 30, 20);
}

TEST_F(JwcExtentsTest, EmptyDrawingGivesTheStartBox) {
  TJwcData jw;
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), 0, 0, 400, 400);
  // Entries beyond the counts do not exist either.
  jw.EntLine.push_back({100, 100, 200, 200});
  jw.EntVten.assign(101, TEntJwcVten{});
  jw.EntVten[1] = {50, 50, 0};
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), 0, 0, 400, 400);
}

TEST_F(JwcExtentsTest, BoxStartsAtTheFirstKindPresent) {
  // Each drawing holds one kind, far from the start-up box.
  TJwcData a;
  a.EntArc.push_back({500, 600, 0, 1, 0, 0, 0});
  a.arcN = 1;
  ext = a.GetMinMaxZahyo();
  ExpectBox(Ext(), 500, 600, 500, 600);  // radius 0: only the centre

  TJwcData m;
  m.EntMoji.push_back({-7, -8, -3, -8, 0, 1, 0, 0, 0, u"x"});
  m.mojiN = 1;
  ext = m.GetMinMaxZahyo();
  ExpectBox(Ext(), -7, -8, -3, -8);

  TJwcData t;
  t.EntTen.push_back({1000, 2000});
  t.tenN = 1;
  ext = t.GetMinMaxZahyo();
  ExpectBox(Ext(), 1000, 2000, 1000, 2000);

  TJwcData v;
  v.EntVten.assign(101, TEntJwcVten{});
  v.EntVten[0] = {-999, -999, 0};  // slot 0 is no virtual point
  v.EntVten[1] = {700, 800, 0};
  v.EntVten[2] = {710, 790, 0};
  v.EntVten[3] = {5000, 5000, 0};  // beyond the count
  v.Enthd.vtenCount = 2;
  ext = v.GetMinMaxZahyo();
  ExpectBox(Ext(), 700, 790, 710, 800);
}

TEST_F(JwcExtentsTest, ArcPoints) {
  struct Case { TEntJwcArc2 arc; Box want; };
  const Case cases[] = {
      // Full circle.
      {{0, 0, 5, 1, 0, 360, 0}, {-5, -5, 5, 5}},
      {{0, 0, 5, 1, 30, 30, 0}, {-5, -5, 5, 5}},
      // Quarter: the centre starts the box, (0, 5) counts twice.
      {{0, 0, 5, 1, 0, 90, 0}, {0, 0, 5, 5}},
      // 350 to 10 passes 0 degrees.
      {{0, 0, 10, 1, 350, 10, 0}, {0, -10 * std::sin(10 * kPi / 180), 10, 10 * std::sin(10 * kPi / 180)}},
      // Start below zero: -20 to 10 passes 0 degrees too.
      {{0, 0, 10, 1, -20, 10, 0}, {0, -10 * std::sin(20 * kPi / 180), 10, 10 * std::sin(10 * kPi / 180)}},
      // 100 to 120: only its end points.
      {{0, 0, 10, 1, 100, 120, 0},
       {10 * std::cos(120 * kPi / 180), 0, 0, 10 * std::sin(100 * kPi / 180)}},
      // 45 to 315 passes 90, 180 and 270.
      {{0, 0, 10, 1, 45, 315, 0}, {-10, -10, 10 * std::cos(45 * kPi / 180), 10}},
      // Flattened ellipse turned by 90 degrees: axis points at parameter angles.
      {{0, 0, 10, 0.5, 0, 360, 90}, {-5, -10, 5, 10}},
      // Centre away from the origin.
      {{100, 50, 2, 1, 0, 360, 0}, {98, 48, 102, 52}},
  };
  for (const auto& c : cases) {
    TJwcData jw;
    jw.EntArc.push_back(c.arc);
    jw.arcN = 1;
    ext = jw.GetMinMaxZahyo();
    SCOPED_TRACE(::testing::Message() << c.arc.st << ".." << c.arc.et << " h " << c.arc.h);
    Box b = Ext();
    // The centre always starts the box.
    Box w = c.want;
    w.x0 = std::min(w.x0, static_cast<double>(c.arc.x));
    w.y0 = std::min(w.y0, static_cast<double>(c.arc.y));
    w.x1 = std::max(w.x1, static_cast<double>(c.arc.x));
    w.y1 = std::max(w.y1, static_cast<double>(c.arc.y));
    ExpectBox(b, w.x0, w.y0, w.x1, w.y1);
  }
}

TEST_F(JwcExtentsTest, HugeAndNonFiniteAnglesEndQuickly) {
  TJwcData jw;
  jw.EntArc.push_back({0, 0, 1, 1, 3e38f, -3e38f, 1e30f});
  jw.EntArc.push_back({0, 0, 1, 1, INFINITY, NAN, 0});
  jw.arcN = 2;
  ext = jw.GetMinMaxZahyo();
  EXPECT_LE(ext.ExtMaxX, 1e8);
  EXPECT_GE(ext.ExtMinX, -1e8);
}

TEST_F(JwcExtentsTest, BoundsAreClamped) {
  TJwcData jw;
  jw.EntTen.push_back({5e8f, -5e8f});
  jw.EntTen.push_back({0, 0});
  jw.tenN = 2;
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), 0, -1e8, 1e8, 0);
}

TEST_F(JwcExtentsTest, JwcAllKindsTogether) {
  TJwcData jw;
  jw.EntLine.push_back({0, 0, 1, 1});
  jw.EntArc.push_back({10, 10, 1, 1, 0, 360, 0});
  jw.EntMoji.push_back({-5, 0, 20, 0, 0, 1, 0, 0, 0, u"t"});
  jw.EntTen.push_back({3, -4});
  jw.EntVten.assign(101, TEntJwcVten{});
  jw.EntVten[1] = {0, 30, 0};
  jw.Enthd.vtenCount = 1;
  jw.lineN = jw.arcN = jw.mojiN = jw.tenN = 1;
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), -5, -4, 20, 30);
}

TEST_F(JwcExtentsTest, JwkIsDividedByTheScaleAndHoldsTheOrigin) {
  TJwkData jw;
  jw.Enthd.scale = 100;
  jw.EntLine.push_back({1000, 2000, 3000, 500});
  jw.lineN = 1;
  ext = jw.GetMinMaxZahyo();
  ExpectBox(Ext(), 0, 0, 30, 20);

  TJwkData all;
  all.Enthd.scale = 2;
  all.EntArc.push_back({-20, 0, 10, 1, 0, 360, 0});
  all.EntMoji.push_back({0, 0, 0, 50, 0, 1, 0, 0, 0, u"t"});
  all.EntTen.push_back({4, -60});
  all.arcN = all.mojiN = all.tenN = 1;
  ext = all.GetMinMaxZahyo();
  ExpectBox(Ext(), -15, -30, 2, 25);

  // An empty symbol's box is the origin.
  TJwkData empty;
  ext = empty.GetMinMaxZahyo();
  ExpectBox(Ext(), 0, 0, 0, 0);
}

}  // namespace
}  // namespace tessa
