// Appending entities to the model and to block definitions: kinds chosen
// by geometry, attribute normalisation against the layer, order steps.
#include <gtest/gtest.h>

#include <vector>

#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

// Two line types, layer 0 (colour 7, line type 1, width 0) and layer 1
// (colour 3, line type 2, width 25), two styles.
class ModelEntities : public ::testing::Test {
 protected:
  void SetUp() override {
    m.AddLtype(u"Continuous", u"", 0, {});
    m.AddLtype(u"DOT", u"", 2, {0, -6.35});
    m.AddLayer(u"0", 7, 1, 0, true, true);
    m.AddLayer(u"A", 3, 2, 25, true, true);
    m.AddStyle(u"Standard", u"txt", u"", 0, 1, 0, 2.5, false);
    m.AddStyle(u"Annotative", u"txt.shx", u"", 0, 1, 0, 2.5, false);
  }
  std::vector<int32_t> Kinds(const std::vector<TDXF_EntNo>& order) {
    std::vector<int32_t> out;
    for (const auto& e : order) out.push_back(e.tp);
    return out;
  }
  TDXFmodel m;
};

struct ArcCase {
  const char* title;
  double ratio, start, sweep, tilt;
  int32_t kind;       // from AddArc
  double sa, da;      // stored start and sweep (arc, ellipse)
  int32_t blockKind;  // from AddBlockArc
  double blockDa;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const ArcCase& c) { return os << c.title; }

class ArcKinds : public ::testing::TestWithParam<ArcCase> {};

TEST_P(ArcKinds, ModelAndBlockRules) {
  const auto& c = GetParam();
  TDXFmodel m;
  m.AddLayer(u"0", 7, 1, 0, true, true);
  ASSERT_TRUE(m.AddArc(0, 0, 1, 0, 0, 10, 20, 5, c.ratio, c.start, c.sweep, c.tilt));
  ASSERT_EQ(m.deNoN(), 1);
  EXPECT_EQ(m.deNo[0].tp, c.kind);
  EXPECT_EQ(m.deNo[0].no, 0);
  if (c.kind == DXF_KIND_ARC) {
    EXPECT_DOUBLE_EQ(m.deArc[0].sa, c.sa);
    EXPECT_DOUBLE_EQ(m.deArc[0].da, c.da);
    EXPECT_DOUBLE_EQ(m.deArc[0].r, 5);
  } else if (c.kind == DXF_KIND_ELLIPSE) {
    const TDXF_Ellipse& e = m.deElli[0];
    EXPECT_DOUBLE_EQ(e.sa, c.sa);
    EXPECT_DOUBLE_EQ(e.da, c.da);
    EXPECT_DOUBLE_EQ(e.he, c.ratio);
    EXPECT_DOUBLE_EQ(e.ka, c.tilt);
  } else {
    EXPECT_DOUBLE_EQ(m.deCirc[0].r, 5);
    EXPECT_DOUBLE_EQ(m.deCirc[0].x, 10);
  }
  const int32_t bn = m.AddBlockDef(u"B", 1);
  ASSERT_TRUE(m.AddBlockArc(bn, 0, 0, 1, 0, 0, 10, 20, 5, c.ratio, c.start, c.sweep, c.tilt));
  const TDXF_BlockDef& b = m.deBlockDef[bn];
  ASSERT_EQ(b.dmNoN(), 1);
  EXPECT_EQ(b.dmNo[0].tp, c.blockKind);
  if (c.blockKind == DXF_KIND_ARC) {
    EXPECT_DOUBLE_EQ(b.dmArc[0].da, c.blockDa);
  } else if (c.blockKind == DXF_KIND_ELLIPSE) {
    EXPECT_DOUBLE_EQ(b.dmElli[0].da, c.blockDa);
  }
  EXPECT_EQ(m.deNoN(), 1);  // block content stays out of the ENTITIES order
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, ArcKinds,
    ::testing::Values(
        ArcCase{"circle_full_turn", 1, 0, 360, 0, DXF_KIND_CIRCLE, 0, 0, DXF_KIND_ARC, 360},
        ArcCase{"circle_back_turn", 1, 0, -360, 0, DXF_KIND_CIRCLE, 0, 0, DXF_KIND_ARC, -360},
        ArcCase{"circle_no_sweep", 1, 30, 0, 0, DXF_KIND_CIRCLE, 0, 0, DXF_KIND_CIRCLE, 0},
        ArcCase{"circle_ratio_within_eps", 1 + 5e-15, 0, 0, 0, DXF_KIND_CIRCLE, 0, 0, DXF_KIND_CIRCLE, 0},
        ArcCase{"arc_start_wraps", 1, 350, 90, 20, DXF_KIND_ARC, 10, 90, DXF_KIND_ARC, 90},
        ArcCase{"arc_clockwise", 1, 30, -90, 0, DXF_KIND_ARC, 30, -90, DXF_KIND_ARC, -90},
        ArcCase{"arc_negative_start", 1, -30, 45, 0, DXF_KIND_ARC, 330, 45, DXF_KIND_ARC, 45},
        ArcCase{"ellipse_back_turn", 0.5, 10, -360, 30, DXF_KIND_ELLIPSE, 10, 0, DXF_KIND_ELLIPSE, -360},
        ArcCase{"ellipse_arc", 0.5, 10, 100, 30, DXF_KIND_ELLIPSE, 10, 100, DXF_KIND_ELLIPSE, 100},
        ArcCase{"ellipse_ratio_above_one", 2, 0, 0, 0, DXF_KIND_ELLIPSE, 0, 0, DXF_KIND_ELLIPSE, 0},
        ArcCase{"ellipse_ratio_just_off", 1 + 1e-12, 0, 90, 0, DXF_KIND_ELLIPSE, 0, 90, DXF_KIND_ELLIPSE, 90}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(ModelEntities, AttributesEqualToTheLayerBecomeByLayer) {
  struct Case {
    int32_t lay, col, typ, wid;
    int32_t col2, typ2, wid2;
  } cases[] = {
      {0, 7, 1, 0, 0, 0, 0},      // all as the layer
      {1, 3, 2, 25, 0, 0, 0},     // all as the other layer
      {1, 7, 1, 0, 7, 1, 0},      // all differ from layer 1
      {0, -1, -1, -1, -1, -1, -1},  // by block stays
      {0, 5, 2, 13, 5, 2, 13},    // explicit values stay
  };
  for (const auto& c : cases) {
    m.AddLine(0, c.lay, c.col, c.typ, c.wid, 0, 0, 1, 1);
    const TDXF_Line& l = m.deLine.back();
    EXPECT_EQ(l.col, c.col2);
    EXPECT_EQ(l.typ, c.typ2);
    EXPECT_EQ(l.wid, c.wid2);
  }
  // Points compare colour and width, solids and texts colour only.
  m.AddTen(0, 1, 3, 25, 4, 0, 0, 0, 1);
  EXPECT_EQ(m.deTen[0].col, 0);
  EXPECT_EQ(m.deTen[0].wid, 0);
  EXPECT_EQ(m.deTen[0].cod, 4);
  m.AddSolid3(0, 1, 3, 0, 0, 1, 0, 1, 1);
  EXPECT_EQ(m.deSld3[0].col, 0);
  m.AddMoji(0, 1, 3, 1, 0, 0, 0, 0, 1, 0, 2, 3, 0, 0, u"", u"x");
  EXPECT_EQ(m.deMoji[0].col, 0);
  EXPECT_EQ(m.deMoji[0].typ, 1);  // a style index is not a line type
  m.AddBlockDef(u"B", 1);
  m.AddBlock(0, 1, 3, 2, 25, 0, 1, 2, 0, 1, 1);
  EXPECT_EQ(m.deBlock[0].col, 0);
  EXPECT_EQ(m.deBlock[0].typ, 0);
  EXPECT_EQ(m.deBlock[0].wid, 0);
  EXPECT_EQ(m.deBlock[0].bln, 0);
}

// A line-type index past the list (49 of a JWW drawing) is stored as
// "Continuous"; a text style past the list as the first style.
TEST_F(ModelEntities, IndexesPastTheirListsFallBack) {
  const struct {
    int32_t lay, typ, stored;
  } ltp[] = {{1, 49, 1}, {1, 3, 1}, {0, 49, 0}, {1, 2, 0}, {1, 1, 1}};
  for (const auto& c : ltp) {
    m.AddLine(0, c.lay, 1, c.typ, 0, 0, 0, 1, 1);
    EXPECT_EQ(m.deLine.back().typ, c.stored) << c.typ;
    m.AddArc(0, c.lay, 1, c.typ, 0, 0, 0, 1, 1, 0, 0, 0);
    EXPECT_EQ(m.deCirc.back().typ, c.stored) << c.typ;
    m.AddBlock(0, c.lay, 1, c.typ, 0, -1, 0, 0, 0, 1, 1);
    EXPECT_EQ(m.deBlock.back().typ, c.stored) << c.typ;
  }
  const struct {
    int32_t typ, stored;
  } sty[] = {{0, 0}, {1, 1}, {2, 0}, {11, 0}, {99, 0}, {-3, 0}};
  for (const auto& c : sty) {
    m.AddMoji(0, 0, 1, c.typ, 0, 0, 0, 0, 1, 0, 2, 3, 0, 0, u"", u"x");
    EXPECT_EQ(m.deMoji.back().typ, c.stored) << c.typ;
  }
  // A layer naming a line type that does not exist takes "Continuous".
  m.AddLayer(u"L49", 7, 49, 0, true, true);
  m.AddLayer(u"L0", 7, 0, 0, true, true);
  EXPECT_EQ(m.lays[2].ltp, 1);
  EXPECT_EQ(m.lays[3].ltp, 1);
}

TEST_F(ModelEntities, UnknownLayerIndexIsStoredWithoutComparison) {
  EXPECT_TRUE(m.AddLine(0, 9, 7, 1, 0, 0, 0, 1, 1));
  EXPECT_TRUE(m.AddLine(0, -1, 7, 1, 0, 0, 0, 1, 1));
  EXPECT_EQ(m.deLine[0].col, 7);
  EXPECT_EQ(m.deLine[0].typ, 1);
  EXPECT_EQ(m.deLine[1].lay, -1);
}

TEST_F(ModelEntities, SolidWithEqualLastCornersHasThreePoints) {
  m.AddSolid4(0, 0, 1, 0, 0, 1, 0, 1, 1, 1 + 1e-15, 1 - 1e-15);
  m.AddSolid4(0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1);
  m.AddSolid4(0, 0, 1, 0, 0, 1, 0, 1, 1, 1 + 1e-13, 1);
  EXPECT_EQ(Kinds(m.deNo), (std::vector<int32_t>{DXF_KIND_SOLID3, DXF_KIND_SOLID4, DXF_KIND_SOLID4}));
  EXPECT_DOUBLE_EQ(m.deSld3[0].x3, 1);
  EXPECT_DOUBLE_EQ(m.deSld4[0].x4, 0);
  EXPECT_DOUBLE_EQ(m.deSld4[0].y4, 1);
  const int32_t bn = m.AddBlockDef(u"B", 1);
  m.AddBlockSolid4(bn, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1);
  m.AddBlockSolid4(bn, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1);
  EXPECT_EQ(Kinds(m.deBlockDef[bn].dmNo), (std::vector<int32_t>{DXF_KIND_SOLID3, DXF_KIND_SOLID4}));
  EXPECT_EQ(m.deBlockDef[bn].dmSld3N(), 1);
  EXPECT_EQ(m.deBlockDef[bn].dmSld4N(), 1);
}

TEST_F(ModelEntities, TextFlags) {
  const int32_t bn = m.AddBlockDef(u"B", 1);
  const struct {
    int32_t fl;
    bool tate, syat, blockSyat;
  } cases[] = {{0, false, false, false}, {1, true, false, false},
               {2, false, true, true}, {3, true, false, true}, {4, false, false, false}};
  for (const auto& c : cases) {
    m.AddMoji(0, 0, 1, 0, 5, c.fl, 1, 2, 3, 4, 2, 3, 0.5, 30, u"ＭＳ", u"文字");
    m.AddBlockMoji(bn, 0, 0, 1, 0, 5, c.fl, 1, 2, 3, 4, 2, 3, 0.5, 30, u"ＭＳ", u"文字");
    EXPECT_EQ(m.deMoji.back().tate, c.tate) << c.fl;
    EXPECT_EQ(m.deMoji.back().syat, c.syat) << c.fl;
    EXPECT_EQ(m.deBlockDef[bn].dmMoji.back().tate, c.tate) << c.fl;
    EXPECT_EQ(m.deBlockDef[bn].dmMoji.back().syat, c.blockSyat) << c.fl;
  }
  const TDXF_Moji& t = m.deMoji[0];
  EXPECT_EQ(t.bas, 5);
  EXPECT_EQ(t.st, u"文字");
  EXPECT_EQ(t.fo, u"ＭＳ");
  EXPECT_DOUBLE_EQ(t.x2, 3);
  EXPECT_DOUBLE_EQ(t.h, 3);
  EXPECT_DOUBLE_EQ(t.d, 0.5);
  EXPECT_DOUBLE_EQ(t.a, 30);
}

TEST_F(ModelEntities, OrderFollowsAdditionAcrossKinds) {
  m.AddLine(0, 0, 1, 1, 0, 0, 0, 1, 1);
  m.AddArc(0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 90, 0);
  m.AddLine(1, 0, 1, 1, 0, 2, 2, 3, 3);
  m.AddTen(0, 0, 1, 0, 0, 5, 5, 0, 1);
  m.AddVPort(1, 1, 0, 0, 0, 0, 10, 10, 5, 5, 10);
  m.AddBlockDef(u"B", 1);
  m.AddBlock(0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 1);
  const std::vector<TDXF_EntNo> want = {
      {DXF_KIND_LINE, 0}, {DXF_KIND_ARC, 0}, {DXF_KIND_LINE, 1},
      {DXF_KIND_TEN, 0},  {DXF_KIND_VPORT, 0}, {DXF_KIND_BLOCK, 0}};
  ASSERT_EQ(m.deNoN(), static_cast<int32_t>(want.size()));
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(m.deNo[i].tp, want[i].tp) << i;
    EXPECT_EQ(m.deNo[i].no, want[i].no) << i;
  }
  EXPECT_EQ(m.deLine[1].spc, 1);
  EXPECT_EQ(m.deVport[0].id, 1);
  EXPECT_FALSE(m.deVport[0].mf);
}

TEST_F(ModelEntities, BlockContentNeedsExistingBlocks) {
  EXPECT_FALSE(m.AddBlockLine(0, 0, 0, 1, 1, 0, 0, 0, 1, 1));  // no block yet
  const int32_t a = m.AddBlockDef(u"A", 1);
  const int32_t b = m.AddBlockDef(u"B", 2);
  EXPECT_FALSE(m.AddBlockLine(-1, 0, 0, 1, 1, 0, 0, 0, 1, 1));
  EXPECT_FALSE(m.AddBlockLine(2, 0, 0, 1, 1, 0, 0, 0, 1, 1));
  EXPECT_FALSE(m.AddBlockArc(2, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0));
  EXPECT_FALSE(m.AddBlockTen(5, 0, 0, 1, 0, 0, 0, 0, 0, 1));
  EXPECT_FALSE(m.AddBlockSolid3(-2, 0, 0, 1, 0, 0, 1, 0, 1, 1));
  EXPECT_FALSE(m.AddBlockSolid4(2, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1));
  EXPECT_FALSE(m.AddBlockMoji(2, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, u"", u"x"));
  EXPECT_FALSE(m.AddBlockBlock(2, 0, 0, 1, 1, 0, a, 0, 0, 0, 1, 1));
  // The inserted block must exist too.
  EXPECT_FALSE(m.AddBlockBlock(a, 0, 0, 1, 1, 0, 2, 0, 0, 0, 1, 1));
  EXPECT_FALSE(m.AddBlockBlock(a, 0, 0, 1, 1, 0, -1, 0, 0, 0, 1, 1));
  EXPECT_TRUE(m.AddBlockBlock(a, 0, 0, 1, 1, 0, b, 0, 0, 0, 1, 1));
  EXPECT_TRUE(m.AddBlockTen(b, 0, 0, 1, 0, 0, 0, 0, 0, 1));
  EXPECT_EQ(m.deBlockDef[a].dmNoN(), 1);
  EXPECT_EQ(m.deBlockDef[a].dmBlock[0].bln, b);
  EXPECT_EQ(m.deBlockDef[b].dmNoN(), 1);
  EXPECT_EQ(m.deBlockDef[b].dmNo[0].tp, DXF_KIND_TEN);
  EXPECT_EQ(m.deNoN(), 0);
  // A model insert keeps its block index as given; -1 marks "no block".
  EXPECT_TRUE(m.AddBlock(0, 0, 1, 1, 0, -1, 0, 0, 0, 1, 1));
  EXPECT_EQ(m.deBlock[0].bln, -1);
}

TEST(ModelLtype, PatternAndLength) {
  TDXFmodel m;
  m.AddLtype(u"A", u"desc", 2, {12.7, -6.35, 99});
  m.AddLtype(u"B", u"", 0, {1, 2});
  m.AddLtype(u"C", u"", 5, {1, -2});  // count beyond the values given
  m.AddLtype(u"D", u"", -3, {1});
  ASSERT_EQ(m.ltpn(), 4);
  EXPECT_EQ(m.ltps[0].n(), 2);
  EXPECT_DOUBLE_EQ(m.ltps[0].pl, 19.05);
  EXPECT_EQ(m.ltps[0].exp, u"desc");
  EXPECT_EQ(m.ltps[1].n(), 0);
  EXPECT_DOUBLE_EQ(m.ltps[1].pl, 0);
  EXPECT_EQ(m.ltps[2].n(), 2);
  EXPECT_DOUBLE_EQ(m.ltps[2].pl, 3);
  EXPECT_EQ(m.ltps[3].n(), 0);
}

TEST(ModelLife, DataInitRestoresDefaultsAndKeepsOwnership) {
  TDXFmodel m;
  m.SetDXFVer(2, 1);
  m.SetAppName(u"App");
  m.SetPap(1, 2, 3, 4, 420, 297);
  m.SetScale(50);
  m.SetLayerNameType(2);
  m.SetTenTransType(3, 2.5);
  m.AddLtype(u"A", u"", 0, {});
  m.AddLayer(u"0", 7, 1, 0, true, true);
  m.AddBlockDef(u"B", 1);
  m.AddLine(0, 0, 1, 1, 0, 0, 0, 1, 1);
  m.deLgp[3].sc = 7;
  m.DataInit();
  EXPECT_EQ(m.Ver, 0);
  EXPECT_EQ(m.Spa, 1);
  EXPECT_EQ(m.AppNam, u"App");
  EXPECT_DOUBLE_EQ(m.MaxWx, 10);
  EXPECT_DOUBLE_EQ(m.papx, 297);
  EXPECT_DOUBLE_EQ(m.papy, 210);
  EXPECT_DOUBLE_EQ(m.pscale, 1);
  EXPECT_DOUBLE_EQ(m.tenrad, 0.5);
  EXPECT_EQ(m.tentyp, 0);
  EXPECT_EQ(m.tenidx, -1);
  EXPECT_EQ(m.laynametyp, 0);
  EXPECT_EQ(m.ltpn() + m.layn() + m.deBlockDefN() + m.deNoN() + m.deLineN(), 0);
  ASSERT_EQ(m.deLgp.size(), 16u);
  EXPECT_DOUBLE_EQ(m.deLgp[3].sc, 0);
}

}  // namespace
}  // namespace tessa
