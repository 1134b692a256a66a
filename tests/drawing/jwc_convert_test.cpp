// The DXF model that JWC drawings and JWK symbols give.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "JwcFixtureWriter.h"
#include "drawing/JwcDxf.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"

namespace tessa {
namespace {

class JwcConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.Opt.Space = 0;
    ctx.Opt.ScaleGroup = 0;
    ctx.Opt.TenType = 0;
    ctx.Opt.TenSize = 0.5;
  }

  TConvContext ctx;

  // A JWC container shaped as a read leaves it: every table present,
  // groups of scale 1, every layer shown, text types 1..10 as given.
  static void Shape(TJwcData& jw) {
    jw.EntVten.assign(101, TEntJwcVten{});
    jw.EntMjtp.assign(12, TEntJwcMojiType{});
    for (uint16_t k = 0; k <= 10; ++k)
      jw.EntMjtp[k] = {static_cast<uint16_t>(k % 6 + 1), static_cast<uint16_t>(10 * k),
                       static_cast<uint16_t>(10 * k), 5};
    jw.EntMjtp[1] = {1, 20, 20, 0};
    jw.EntLgrp.assign(16, TEntJwcLayerGroup{1.0f, 1, 1, 0, u""});
    jw.EntLay.assign(256, TEntJwcLayer{1, 1, u""});
  }
  static void AddLine(TJwcData& jw, TEntJwcLine l) {
    jw.EntLine.push_back(l);
    jw.lineN = static_cast<int32_t>(jw.EntLine.size());
  }
  static void AddArc(TJwcData& jw, TEntJwcArc2 a) {
    jw.EntArc.push_back(a);
    jw.arcN = static_cast<int32_t>(jw.EntArc.size());
  }
  template <class D>
  static void AddMoji(D& jw, TEntJwcMoji2 m) {
    jw.EntMoji.push_back(m);
    jw.mojiN = static_cast<int32_t>(jw.EntMoji.size());
  }
  template <class D>
  static void AddTen(D& jw, TEntJwcTen t) {
    jw.EntTen.push_back(t);
    jw.tenN = static_cast<int32_t>(jw.EntTen.size());
  }
  // The colour and line type an entity ends up with (0 means "as its layer").
  int32_t Col(int32_t lay, int32_t col) { return col ? col : ctx.DxfModel->lays[lay].col; }
  int32_t Ltp(int32_t lay, int32_t typ) { return typ ? typ : ctx.DxfModel->lays[lay].ltp; }
};

TEST_F(JwcConvertTest, AuxiliaryLinesAndArcsGoToHojoAndAreNotTallied) {
  TJwcData jw;
  Shape(jw);
  AddLine(jw, {0, 0, 1, 1, 9, 5, 20});  // auxiliary, layer 20
  AddLine(jw, {0, 0, 1, 1, 2, 3, 21});
  AddLine(jw, {0, 0, 1, 1, 2, 3, 21});
  AddLine(jw, {0, 0, 1, 1, 9, 1, 21});
  AddArc(jw, {0, 0, 1, 1, 0, 90, 0, 9, 4, 22});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->layn(), 4 + 256);
  ASSERT_EQ(ctx.DxfModel->deLineN(), 4);
  const TDXF_Line& aux = ctx.DxfModel->deLine[0];
  EXPECT_EQ(aux.lay, 2);
  EXPECT_EQ(ctx.DxfModel->lays[2].nam, u"HOJO");
  EXPECT_EQ(Ltp(aux.lay, aux.typ), 9);
  EXPECT_EQ(ctx.DxfModel->ltps[8].nam, u"DOT2");
  EXPECT_EQ(Col(aux.lay, aux.col), JwcColorToDXFColor(5));
  EXPECT_EQ(ctx.DxfModel->deLine[3].lay, 2);
  ASSERT_EQ(ctx.DxfModel->deArcN(), 1);
  EXPECT_EQ(ctx.DxfModel->deArc[0].lay, 2);
  // Layer 20 (DXF layer 24) counted nothing; layer 21 only its two lines.
  EXPECT_EQ(ctx.DxfModel->lays[24].col, 7);
  EXPECT_EQ(ctx.DxfModel->lays[24].ltp, 1);
  EXPECT_EQ(ctx.DxfModel->lays[25].col, JwcColorToDXFColor(3));
  EXPECT_EQ(ctx.DxfModel->lays[25].ltp, JwcLtypeToDXFLtype(2));
  EXPECT_EQ(ctx.DxfModel->lays[26].col, 7);
  EXPECT_EQ(ctx.DxfModel->deLine[1].lay, 25);
  EXPECT_EQ(Col(25, ctx.DxfModel->deLine[1].col), 3);
}

TEST_F(JwcConvertTest, TallyCountsTextsByTheirPenAndPointsByTheirColour) {
  TJwcData jw;
  Shape(jw);
  jw.EntMjtp[3].penNo = 4;
  AddMoji(jw, {0, 0, 1, 0, 0, 3, 40, 0, 0, u"a"});
  AddMoji(jw, {0, 0, 1, 0, 0, 0, 40, 0, 0, u"b"});   // type 0: not counted
  AddMoji(jw, {0, 0, 1, 0, 0, 11, 40, 0, 0, u"c"});  // type 11: not counted
  AddTen(jw, {0, 0, 41, 6});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 2));
  EXPECT_EQ(ctx.DxfModel->lays[44].col, JwcColorToDXFColor(4));
  EXPECT_EQ(ctx.DxfModel->lays[44].ltp, 1);
  EXPECT_EQ(ctx.DxfModel->lays[45].col, JwcColorToDXFColor(6));
}

TEST_F(JwcConvertTest, SpaceFlagFollowsTheScaleGroupInPaperSpaceOnly) {
  struct Case { int space, group, sp; };
  for (const Case& c : {Case{1, 3, 1}, Case{1, 15, 0}, Case{0, 3, 0}, Case{0, 15, 0}}) {
    TJwcData jw;
    Shape(jw);
    jw.EntLgrp[3].scale = 50;
    AddLine(jw, {1, 2, 3, 4, 1, 1, 48});
    AddLine(jw, {1, 2, 3, 4, 1, 1, 63});
    ctx.Opt.Space = c.space;
    ctx.Opt.ScaleGroup = c.group;
    ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
    ASSERT_EQ(ctx.DxfModel->deLineN(), 2);
    for (const TDXF_Line& l : ctx.DxfModel->deLine) {
      EXPECT_EQ(l.spc, c.sp) << c.space << " " << c.group;
      const TDXF_LGroup& g = ctx.DxfModel->deLgp[3];
      EXPECT_DOUBLE_EQ(l.x1, 1 * g.sc + g.dx);
      EXPECT_DOUBLE_EQ(l.y2, 4 * g.sc + g.dy);
    }
    // Without paper space every group takes the scale group's scale.
    if (c.space == 0) {
      EXPECT_DOUBLE_EQ(ctx.DxfModel->deLine[0].x2, c.group == 3 ? 150 : 3);
    }
    DXFModelFree(ctx.DxfModel);
  }
}

TEST_F(JwcConvertTest, PaperPointsWidenTheGroupsViewport) {
  TJwcData jw;
  Shape(jw);
  jw.EntLgrp[1].scale = 100;
  ctx.Opt.Space = 1;
  ctx.Opt.ScaleGroup = 0;
  AddLine(jw, {10, 20, 30, 25, 1, 1, 16});
  // A closed arc whose end equals its start: all the way round.
  AddArc(jw, {50, 60, 5, 1, 45, 45, 0, 1, 1, 17});
  AddTen(jw, {-4, 22, 18, 1});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  const int32_t n = ctx.DxfModel->deLgp[1].n;
  ASSERT_GE(n, 1);
  ASSERT_LT(n, ctx.DxfModel->deVportN());
  const TDXF_ViewPort& v = ctx.DxfModel->deVport[static_cast<size_t>(n)];
  // The box after the 5 mm margin of SetVPortArea.
  EXPECT_NEAR(v.x1, -4 - 5, 1e-9);
  EXPECT_NEAR(v.y1, 20 - 5, 1e-9);
  EXPECT_NEAR(v.x2, 55 + 5, 1e-9);
  EXPECT_NEAR(v.y2, 65 + 5, 1e-9);
  EXPECT_NEAR(v.w, 69, 1e-9);
  ASSERT_EQ(ctx.DxfModel->deCircN(), 1);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deCirc[0].r, 500);
  EXPECT_EQ(ctx.DxfModel->deCirc[0].spc, 0);
}

TEST_F(JwcConvertTest, TextsAndVirtualPointsWidenTheViewportToo) {
  struct Case { bool vertical; double x1, y1, x2, y2; };
  // The text as it is written.  Horizontal: the centred line (4 long),
  // its characters 2 high above it and a third of that below.  Vertical:
  // its line of 8.5 upwards, half a character width (1.5) left of the
  // middle, its characters 3 wide to the left of it and a third of that to
  // the right.
  for (const Case& c : {Case{false, 4, -2.0 / 3, 6, 2}, Case{true, -4.5, 0.75, -0.5, 9.25}}) {
    TJwcData jw;
    Shape(jw);
    jw.EntLgrp[1].scale = 100;
    jw.EntMjtp[3] = {2, 30, 40, 5};
    ctx.Opt.Space = 1;
    ctx.Opt.ScaleGroup = 0;
    if (c.vertical) AddMoji(jw, {0, 0, 0, 10, 0, 3, 16, 32, 0, u"AB"});
    else AddMoji(jw, {0, 0, 10, 0, 0, 1, 16, 0, 0, u"AB"});
    ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
    const TDXF_ViewPort& v = ctx.DxfModel->deVport[static_cast<size_t>(ctx.DxfModel->deLgp[1].n)];
    EXPECT_NEAR(v.x1 + 5, c.x1, 1e-12) << c.vertical;
    EXPECT_NEAR(v.y1 + 5, c.y1, 1e-12) << c.vertical;
    EXPECT_NEAR(v.x2 - 5, c.x2, 1e-12) << c.vertical;
    EXPECT_NEAR(v.y2 - 5, c.y2, 1e-12) << c.vertical;
    DXFModelFree(ctx.DxfModel);
  }
  TJwcData jw;
  Shape(jw);
  jw.EntLgrp[1].scale = 100;
  ctx.Opt.Space = 1;
  jw.Enthd.vtenCount = 2;
  jw.EntVten[1] = {100, -30, 17};
  jw.EntVten[2] = {-20, 40, 20};
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  const TDXF_ViewPort& v = ctx.DxfModel->deVport[static_cast<size_t>(ctx.DxfModel->deLgp[1].n)];
  // Each virtual point is a circle of the point size.
  EXPECT_DOUBLE_EQ(v.x1, -20 - ctx.Opt.TenSize - 5);
  EXPECT_DOUBLE_EQ(v.y2, 40 + ctx.Opt.TenSize + 5);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deCirc[0].x, 100 * 100 + ctx.DxfModel->deLgp[1].dx);
}

TEST_F(JwcConvertTest, ArcAnglesAndRatios) {
  TJwcData jw;
  Shape(jw);
  AddArc(jw, {0, 0, 10, 0.5f, 350, 10, 30});    // ellipse arc across 0
  AddArc(jw, {0, 0, 10, 1, 120, 120, 0});       // end = start: full circle
  AddArc(jw, {0, 0, 10, 0.9999995f, 0, 90, 0}); // ratio taken as exactly 1
  AddArc(jw, {0, 0, 10, 1, -90, 0, 0});         // start below zero
  AddArc(jw, {0, 0, 10, 0.5f, 30, 30, -20});    // whole ellipse
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->deElliN(), 2);
  const TDXF_Ellipse& e = ctx.DxfModel->deElli[0];
  EXPECT_DOUBLE_EQ(e.sa, 350);
  EXPECT_NEAR(e.da, 20, 1e-9);
  EXPECT_DOUBLE_EQ(e.ka, 30);
  EXPECT_DOUBLE_EQ(e.he, 0.5);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deElli[1].da, 0);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deElli[1].ka, 340);
  ASSERT_EQ(ctx.DxfModel->deCircN(), 1);
  ASSERT_EQ(ctx.DxfModel->deArcN(), 2);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deArc[0].sa, 0);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deArc[0].da, 90);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deArc[1].sa, 270);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deArc[1].da, 90);
}

TEST_F(JwcConvertTest, HorizontalTextIsCentredOnItsLine) {
  TJwcData jw;
  Shape(jw);
  AddMoji(jw, {0, 0, 10, 0, 0, 1, 5, 0, 0, u"AB"});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->deMojiN(), 1);
  const TDXF_Moji& m = ctx.DxfModel->deMoji[0];
  EXPECT_DOUBLE_EQ(m.x1, 4);
  EXPECT_NEAR(m.y1, 0, 1e-12);
  EXPECT_DOUBLE_EQ(m.x2, 6);
  EXPECT_DOUBLE_EQ(m.w, 2);
  EXPECT_DOUBLE_EQ(m.h, 2);
  EXPECT_DOUBLE_EQ(m.a, 0);
  EXPECT_EQ(m.typ, 2);
  EXPECT_EQ(ctx.DxfModel->msts[2].nam, u"MOJI1");
  EXPECT_FALSE(m.tate);
  EXPECT_EQ(m.lay, 9);
  EXPECT_EQ(m.bas, 2);
  EXPECT_EQ(m.fo, u"ＭＳ ゴシック");
  EXPECT_EQ(m.st, u"AB");
  EXPECT_EQ(Col(9, m.col), JwcColorToDXFColor(1));
}

TEST_F(JwcConvertTest, VerticalTextSwapsSizesAndMovesAcross) {
  TJwcData jw;
  Shape(jw);
  jw.EntMjtp[3] = {2, 30, 40, 5};  // width 3, height 4, spacing 0.5
  jw.EntLgrp[0].scale = 2;
  AddMoji(jw, {0, 0, 0, 10, 0, 3, 0, 32, 0, u"AB"});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  const TDXF_Moji& m = ctx.DxfModel->deMoji[0];
  EXPECT_TRUE(m.tate);
  EXPECT_EQ(m.typ, 7);
  EXPECT_EQ(ctx.DxfModel->msts[7].nam, u"MOJI3T");
  EXPECT_EQ(ctx.DxfModel->msts[7].fo2, u"@extfont2.shx");
  EXPECT_TRUE(ctx.DxfModel->msts[7].fla);
  // L = (2 * 4 + 0.5) / 2 = 4.25 along the line, then 1.5 to its left;
  // everything times the group scale 2.
  EXPECT_NEAR(m.x1, -1.5 * 2, 1e-12);
  EXPECT_NEAR(m.y1, 0.75 * 2, 1e-12);
  EXPECT_NEAR(m.x2, -1.5 * 2, 1e-12);
  EXPECT_NEAR(m.y2, 9.25 * 2, 1e-12);
  EXPECT_DOUBLE_EQ(m.w, 4 * 2);
  EXPECT_DOUBLE_EQ(m.h, 3 * 2);
  EXPECT_DOUBLE_EQ(m.d, 0.5 * 2);
  EXPECT_DOUBLE_EQ(m.a, 90);
}

TEST_F(JwcConvertTest, TextTypeZeroAndTypesPastTheTable) {
  TJwcData jw;
  Shape(jw);
  jw.EntMjtp[0] = {5, 30, 30, 0};
  AddMoji(jw, {0, 0, 1, 0, 0, 0, 0, 0, 0, u"zero"});
  AddMoji(jw, {0, 0, 1, 0, 0, 0, 0, 32, 0, u"zero vertical"});
  AddMoji(jw, {0, 0, 1, 0, 0, 11, 0, 0, 0, u"eleven"});
  AddMoji(jw, {0, 0, 1, 0, 0, 255, 0, 32, 0, u"far"});
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 0));
  ASSERT_EQ(ctx.DxfModel->deMojiN(), 4);
  const int32_t want[] = {0, 1, 0, 1};
  for (int i = 0; i < 4; ++i) {
    const TDXF_Moji& m = ctx.DxfModel->deMoji[i];
    EXPECT_EQ(m.typ, want[i]) << i;
    EXPECT_EQ(Col(4, m.col), JwcColorToDXFColor(5)) << i;
    EXPECT_DOUBLE_EQ(std::max(m.w, m.h), 3) << i;
  }
}

TEST_F(JwcConvertTest, StylesPerTextType) {
  TJwcData jw;
  Shape(jw);
  jw.EntMjtp[4] = {1, 30, 40, 0};
  jw.EntMjtp[6] = {1, 30, 0, 0};  // no height
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->mstn(), 22);
  EXPECT_EQ(ctx.DxfModel->msts[0].nam, u"Standard");
  EXPECT_EQ(ctx.DxfModel->msts[20].nam, u"MOJI10");
  EXPECT_EQ(ctx.DxfModel->msts[21].nam, u"MOJI10T");
  const TDXF_Style& s = ctx.DxfModel->msts[8];
  EXPECT_EQ(s.nam, u"MOJI4");
  EXPECT_EQ(s.fo1, u"simplex.shx");
  EXPECT_EQ(s.fo2, u"extfont2.shx");
  EXPECT_FALSE(s.fla);
  EXPECT_DOUBLE_EQ(s.mh, 0);
  EXPECT_DOUBLE_EQ(s.mw, 3.0 / 4.0);
  EXPECT_DOUBLE_EQ(s.mhl, 4);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->msts[12].mw, 1.0);
  EXPECT_TRUE(std::isfinite(ctx.DxfModel->msts[13].mw));
}

TEST_F(JwcConvertTest, PointsAndTheirMarkerBlock) {
  for (bool withPoint : {true, false}) {
    TJwcData jw;
    Shape(jw);
    jw.EntLgrp[2].scale = 2.5f;
    ctx.Opt.TenType = 3;
    ctx.Opt.ScaleGroup = 2;
    if (withPoint) AddTen(jw, {4, 6, 37, 2});
    AddLine(jw, {0, 0, 1, 1, 1, 1, 0});
    ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
    if (withPoint) {
      ASSERT_GE(ctx.DxfModel->tenidx, 0);
      EXPECT_EQ(ctx.DxfModel->deBlockDef[static_cast<size_t>(ctx.DxfModel->tenidx)].nam, u"_TRANS_TEN");
      ASSERT_EQ(ctx.DxfModel->deTenN(), 1);
      const TDXF_Ten& t = ctx.DxfModel->deTen[0];
      EXPECT_EQ(t.lay, 41);
      EXPECT_DOUBLE_EQ(t.x, 10);
      EXPECT_DOUBLE_EQ(t.y, 15);
      EXPECT_DOUBLE_EQ(t.ba, 2.5);
      EXPECT_DOUBLE_EQ(t.a, 0);
      EXPECT_EQ(Col(41, t.col), JwcColorToDXFColor(2));
    } else {
      EXPECT_EQ(ctx.DxfModel->tenidx, -1);
      EXPECT_EQ(ctx.DxfModel->deBlockDefN(), 0);
    }
    DXFModelFree(ctx.DxfModel);
  }
}

TEST_F(JwcConvertTest, VirtualPointsBecomeCirclesOnHojo) {
  TJwcData jw;
  Shape(jw);
  jw.EntLgrp[0].scale = 10;
  ctx.Opt.TenSize = 0.75;
  jw.Enthd.vtenCount = 3;
  for (size_t i = 0; i < 5; ++i) jw.EntVten[i] = {static_cast<float>(i), 2.0f * i, 0};
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 1));
  ASSERT_EQ(ctx.DxfModel->deCircN(), 3);
  for (int i = 0; i < 3; ++i) {
    const TDXF_Circle& c = ctx.DxfModel->deCirc[i];
    EXPECT_EQ(c.lay, 2);
    EXPECT_DOUBLE_EQ(c.x, (i + 1) * 10.0);
    EXPECT_DOUBLE_EQ(c.y, (i + 1) * 20.0);
    EXPECT_DOUBLE_EQ(c.r, 7.5);
    EXPECT_EQ(c.col, 0);
    EXPECT_EQ(c.typ, 0);
  }
}

TEST_F(JwcConvertTest, LayerVisibilityAndScale) {
  TJwcData jw;
  Shape(jw);
  jw.EntLgrp[2].dispF = 0;
  jw.EntLay[17].dispF = 2;
  jw.EntLay[18].dispF = 3;
  jw.EntLgrp[5].scale = 33.3333333f;
  ctx.Opt.ScaleGroup = 5;
  ASSERT_TRUE(JwcDXFModelBuild(ctx, jw, 7));  // unknown version: R12
  EXPECT_EQ(ctx.DxfModel->Ver, 0);
  for (int l = 0; l < 16; ++l) EXPECT_FALSE(ctx.DxfModel->lays[4 + 32 + l].dsp) << l;
  EXPECT_FALSE(ctx.DxfModel->lays[4 + 17].dsp);
  EXPECT_TRUE(ctx.DxfModel->lays[4 + 18].dsp);
  EXPECT_TRUE(ctx.DxfModel->lays[4 + 19].dsp);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->pscale, RoundKeta(6, 2, 33.3333333f));
}

TEST_F(JwcConvertTest, JwkUsesOneScaleAndStoredCoordinates) {
  TJwkData jw;
  jw.Enthd.scale = 100;
  ctx.Opt.Space = 1;  // a symbol never uses paper space
  jw.EntLine.push_back({1000, 2000, 3000, 500, 9, 1, 3});
  jw.EntLine.push_back({1.5f, 2, 3, 4, 2, 3, 3});
  jw.lineN = 2;
  jw.EntArc.push_back({100, 200, 50, 1, 0, 90, 0, 1, 1, 250});
  jw.arcN = 1;
  AddMoji(jw, {0, 0, 1000, 0, 0, 3, 0, 0, 0, u"AB"});
  AddTen(jw, {7, 8, 0, 1});
  ASSERT_TRUE(JwkDXFModelBuild(ctx, jw, 2));
  EXPECT_EQ(ctx.DxfModel->Spa, 0);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->pscale, 100);
  EXPECT_EQ(ctx.DxfModel->deVportN(), 0);
  EXPECT_EQ(ctx.DxfModel->deLine[0].lay, 2);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deLine[1].x1, 1.5);
  EXPECT_EQ(ctx.DxfModel->deLine[1].lay, 7);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deArc[0].r, 50);
  EXPECT_EQ(ctx.DxfModel->deArc[0].lay, 254);
  const TDXF_Moji& m = ctx.DxfModel->deMoji[0];
  EXPECT_DOUBLE_EQ(m.w, 300);
  EXPECT_DOUBLE_EQ(m.h, 300);
  EXPECT_DOUBLE_EQ(m.d, 50);
  EXPECT_NEAR(m.x1, 500 - 175, 1e-9);  // (150 + 50 + 150) / 2 either side
  EXPECT_NEAR(m.x2, 500 + 175, 1e-9);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deTen[0].x, 7);
  EXPECT_DOUBLE_EQ(ctx.DxfModel->deTen[0].ba, 100);
  for (int m2 = 0; m2 < 256; ++m2) EXPECT_TRUE(ctx.DxfModel->lays[4 + m2].dsp);
  EXPECT_EQ(ctx.DxfModel->lays[7].col, JwcColorToDXFColor(3));
}

TEST_F(JwcConvertTest, NothingLoadedGivesNoModelAndNoFile) {
  const std::string out = fixture::FixturePath("empty.dxf");
  std::remove(out.c_str());
  TJwcData jwc;
  EXPECT_FALSE(JwcDXFModelBuild(ctx, jwc, 1));
  EXPECT_EQ(ctx.DxfModel, nullptr);
  ctx.Opt.DxfVer = 1;
  EXPECT_FALSE(jwc.FileOutDXF(ctx, out));
  EXPECT_FALSE(IsFile(out));
  TJwkData jwk;
  jwk.DataFree();
  EXPECT_FALSE(jwk.FileOutDXF(ctx, out));
  EXPECT_FALSE(IsFile(out));
  EXPECT_EQ(ctx.DxfModel, nullptr);
  // An empty symbol is a drawing all the same.
  TJwkData empty;
  ASSERT_TRUE(JwkDXFModelBuild(ctx, empty, 1));
  EXPECT_EQ(ctx.DxfModel->deNoN(), 0);
}

// Damaged files that the readers still accept (odd counts of nothing,
// NaN coordinates, huge angles, any byte in the flags) convert without
// fault in every version and space.
TEST_F(JwcConvertTest, DamagedDrawingsThatStillReadConvertSafely) {
  fixture::JwcFixture c;
  c.lines.push_back({1, 2, 3, 4, 9, 1, 20, 0, 0, 0});
  c.arcs.push_back(fixture::JwcArcRec::Deg(0, 0, 5, 0.5, 350, 10, 30));
  c.texts.push_back({0, 0, 10, 0, fixture::Sjis(u"文字"), 3, 0, 32, 0, {}});
  c.points.push_back({5, 5});
  c.vtenCount = 2;
  fixture::JwkFixture k;
  k.lines.push_back({1, 2, 3, 4});
  k.arcs.push_back(fixture::JwcArcRec::Deg(0, 0, 5, 1, 0, 90));
  k.points.push_back({5, 5});
  k.texts.push_back({0, 0, 10, 0, "AB", 2, 0, 0, 0, {}});
  const std::vector<uint8_t> jwcBytes = c.Build(), jwkBytes = k.Build();
  const std::string in = fixture::FixturePath("damaged.in");
  const std::string out = fixture::FixturePath("damaged.dxf");
  std::mt19937 rng(777);
  int converted = 0;
  for (int i = 0; i < 400; ++i) {
    const bool sym = i % 2 == 1;
    std::vector<uint8_t> b = sym ? jwkBytes : jwcBytes;
    // Entity records only: the header stays readable.
    const size_t from = sym ? 400 : 2421;
    for (int n = 0; n < 3; ++n) b[from + rng() % (b.size() - from)] = static_cast<uint8_t>(rng());
    ASSERT_TRUE(fixture::WriteFile(in, b));
    std::remove(out.c_str());
    ctx.Opt.Space = static_cast<int>(rng() % 2);
    ctx.Opt.TenType = static_cast<int>(rng() % 8);
    const int ver = static_cast<int>(rng() % 3);
    ctx.CurFileName = in;
    // Every model is built; a few are written too (each file is synced
    // to disk, which is slow).
    const bool write = i % 16 < 2;
    auto run = [&](auto& jw, auto build) {
      if (!jw.FileIn(in)) return;
      static_cast<TJwExtents&>(ctx.Place) = jw.GetMinMaxZahyo();
      if (write) {
        ctx.Opt.DxfVer = ver;
        const bool ok = jw.FileOutDXF(ctx, out);
        EXPECT_TRUE(ok) << i;
        EXPECT_EQ(ok, IsFile(out)) << i;
      } else {
        EXPECT_TRUE(build(ctx, jw, ver)) << i;
        DXFModelFree(ctx.DxfModel);
      }
      EXPECT_EQ(ctx.DxfModel, nullptr);
      ++converted;
    };
    TJwkData jwk;
    TJwcData jwc;
    if (sym) run(jwk, JwkDXFModelBuild);
    else run(jwc, JwcDXFModelBuild);
  }
  EXPECT_GT(converted, 100);
}

}  // namespace
}  // namespace tessa
