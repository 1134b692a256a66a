// Layer-group scales, offsets and viewports of a paper-space layout.
#include <gtest/gtest.h>

#include <array>

#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

void SetScales(TDXFmodel& m, const std::array<double, 16>& sc) {
  for (int g = 0; g < 16; ++g) m.deLgp[g].sc = sc[g];
}

TEST(ModelLayout, WithoutLayoutEveryGroupTakesTheBaseScale) {
  TDXFmodel m;
  m.SetDXFVer(1, 0);
  SetScales(m, {1, 2, 3, 4, 5, 50, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  m.SetLgp(5);
  EXPECT_EQ(m.deVportN(), 0);
  EXPECT_EQ(m.deNoN(), 0);
  for (const auto& g : m.deLgp) {
    EXPECT_EQ(g.n, 0);
    EXPECT_DOUBLE_EQ(g.sc, 50);
    EXPECT_DOUBLE_EQ(g.dx, 0);
    EXPECT_DOUBLE_EQ(g.dy, 0);
  }
}

TEST(ModelLayout, DistinctScalesGetBandsAndViewports) {
  TDXFmodel m;
  m.SetDXFVer(1, 1);
  m.SetPap(0, 0, 400, 280, 420, 297);
  SetScales(m, {1, 100, 50, 100, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  m.SetLgp(0);
  ASSERT_EQ(m.deVportN(), 4);
  // The paper viewport first.
  const TDXF_ViewPort& p = m.deVport[0];
  EXPECT_EQ(p.id, 1);
  EXPECT_EQ(p.spc, 1);
  EXPECT_DOUBLE_EQ(p.cx, 0);
  EXPECT_DOUBLE_EQ(p.cy, 0);
  EXPECT_DOUBLE_EQ(p.w, 420);
  EXPECT_DOUBLE_EQ(p.h, 297);
  EXPECT_DOUBLE_EQ(p.vx, 210);
  EXPECT_DOUBLE_EQ(p.vy, 148.5);
  EXPECT_DOUBLE_EQ(p.vh, 297);
  EXPECT_DOUBLE_EQ(p.sc, 1);
  const struct {
    int n;
    double sc, dx;
  } want[16] = {{0, 1, 0},         {1, 100, 0},       {2, 50, 200 * 420.0}, {1, 100, 0},
                {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0},
                {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0},
                {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}, {3, 1, 300 * 420.0}};
  for (int g = 0; g < 16; ++g) {
    EXPECT_EQ(m.deLgp[g].n, want[g].n) << g;
    EXPECT_DOUBLE_EQ(m.deLgp[g].sc, want[g].sc) << g;
    EXPECT_DOUBLE_EQ(m.deLgp[g].dx, want[g].dx) << g;
    EXPECT_DOUBLE_EQ(m.deLgp[g].dy, 0) << g;
  }
  for (int k = 1; k < 4; ++k) {
    EXPECT_EQ(m.deVport[k].id, k + 1);
    EXPECT_EQ(m.deVport[k].spc, 1);
  }
  EXPECT_DOUBLE_EQ(m.deVport[1].sc, 100);
  EXPECT_DOUBLE_EQ(m.deVport[2].sc, 50);
  EXPECT_DOUBLE_EQ(m.deVport[2].dx, 200 * 420.0);
  EXPECT_DOUBLE_EQ(m.deVport[3].dx, 300 * 420.0);
  ASSERT_EQ(m.deNoN(), 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(m.deNo[k].tp, DXF_KIND_VPORT);
    EXPECT_EQ(m.deNo[k].no, k);
  }
}

TEST(ModelLayout, BaseGroupIsOnPaperAndEqualScalesShare) {
  TDXFmodel m;
  m.SetDXFVer(0, 1);
  m.SetPap(0, 0, 1, 1, 100, 50);
  // Group 2 is the scale group; group 0 has its scale but still gets a band;
  // group 5 differs from 1 by less than 1e-12 and shares its band.
  SetScales(m, {20, 1, 20, 20, 1, 1 + 1e-13, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  m.SetLgp(2);
  EXPECT_EQ(m.deLgp[2].n, 0);
  EXPECT_DOUBLE_EQ(m.deLgp[2].sc, 1);
  EXPECT_EQ(m.deLgp[0].n, 1);
  EXPECT_DOUBLE_EQ(m.deLgp[0].dx, 0);
  EXPECT_EQ(m.deLgp[1].n, 2);
  EXPECT_DOUBLE_EQ(m.deLgp[1].dx, 100 * 20 * 2);
  EXPECT_EQ(m.deLgp[3].n, 1);
  EXPECT_EQ(m.deLgp[5].n, 2);
  EXPECT_DOUBLE_EQ(m.deLgp[5].sc, 1 + 1e-13);  // keeps its own scale
  EXPECT_EQ(m.deVportN(), 3);
}

TEST(ModelLayout, RepeatedSetLgpLeavesNoStaleOrderSteps) {
  TDXFmodel m;
  m.SetDXFVer(1, 1);
  SetScales(m, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  m.SetLgp(0);
  ASSERT_EQ(m.deVportN(), 16);
  m.AddLine(0, 0, 1, 1, 0, 0, 0, 1, 1);
  m.SetDXFVer(1, 0);
  m.SetLgp(0);
  EXPECT_EQ(m.deVportN(), 0);
  ASSERT_EQ(m.deNoN(), 1);  // the line stays, the viewport steps are gone
  EXPECT_EQ(m.deNo[0].tp, DXF_KIND_LINE);
}

TEST(ModelLayout, BaseOutsideTheGroupsMeansGroupZero) {
  for (int base : {-1, 16, 1000}) {
    TDXFmodel m;
    m.SetDXFVer(1, 0);
    SetScales(m, {30, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    m.SetLgp(base);
    EXPECT_DOUBLE_EQ(m.deLgp[15].sc, 30) << base;
  }
}

TEST(ModelLayout, ViewportBoxesBecomeGeometry) {
  TDXFmodel m;
  m.SetDXFVer(1, 1);
  m.SetPap(0, 0, 1, 1, 420, 297);
  SetScales(m, {1, 100, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  m.SetLgp(0);
  // Paper, scale 100, and scale 1 of groups 2..15: the base group's own
  // scale does not count as a band.
  ASSERT_EQ(m.deVportN(), 3);
  m.SetVPortMinMax(1, 10, 20);
  m.SetVPortMinMax(1, -5, 40);
  m.SetVPortMinMax(1, 30, 0);
  m.SetVPortMinMax(7, 1000, 1000);  // no such viewport: ignored
  m.SetVPortMinMax(-1, 1000, 1000);
  const TDXF_ViewPort& v = m.deVport[1];
  EXPECT_TRUE(v.mf);
  EXPECT_DOUBLE_EQ(v.x1, -5);
  EXPECT_DOUBLE_EQ(v.y1, 0);
  EXPECT_DOUBLE_EQ(v.x2, 30);
  EXPECT_DOUBLE_EQ(v.y2, 40);
  m.SetVPortArea();
  EXPECT_DOUBLE_EQ(v.cx, 12.5);
  EXPECT_DOUBLE_EQ(v.cy, 20);
  EXPECT_DOUBLE_EQ(v.w, 45);
  EXPECT_DOUBLE_EQ(v.h, 50);
  EXPECT_DOUBLE_EQ(v.vx, 25 * 100 / 2.0 + v.dx);
  EXPECT_DOUBLE_EQ(v.vy, 40 * 100 / 2.0);
  EXPECT_DOUBLE_EQ(v.vh, 5000);
  // The paper viewport is left as SetLgp made it.
  EXPECT_DOUBLE_EQ(m.deVport[0].w, 420);
  EXPECT_DOUBLE_EQ(m.deVport[0].cx, 0);
}

TEST(ModelLayout, UnstartedViewportIsTenMillimetresAroundOrigin) {
  TDXFmodel m;
  m.SetDXFVer(1, 1);
  SetScales(m, {1, 10, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  m.SetLgp(0);
  m.SetVPortArea();
  const TDXF_ViewPort& v = m.deVport[1];
  EXPECT_FALSE(v.mf);
  EXPECT_DOUBLE_EQ(v.w, 10);
  EXPECT_DOUBLE_EQ(v.h, 10);
  EXPECT_DOUBLE_EQ(v.cx, 0);
  EXPECT_DOUBLE_EQ(v.vh, 100);
}

}  // namespace
}  // namespace tessa
