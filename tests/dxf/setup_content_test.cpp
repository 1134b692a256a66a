// Standard content of a fresh model: line types, fixed layers, styles and
// the point-marker block; the life of a model.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

class Setup : public ::testing::Test {
 protected:
  void SetUp() override { DXFModelCreate(model_); }
  TDXFmodel& M() { return *model_; }
  std::unique_ptr<TDXFmodel> model_;
};

TEST(SetupLife, CreateReplacesAndFreeClears) {
  std::unique_ptr<TDXFmodel> model;
  DXFModelFree(model);  // nothing to free: no effect
  EXPECT_EQ(model, nullptr);
  DXFModelCreate(model);
  ASSERT_NE(model, nullptr);
  model->AddLayer(u"X", 7, 1, 0, true, true);
  DXFModelCreate(model);  // the old model goes first
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->layn(), 0);
  EXPECT_EQ(model->deLgp.size(), 16u);
  EXPECT_EQ(model->tenidx, -1);
  DXFModelFree(model);
  EXPECT_EQ(model, nullptr);
  DXFModelFree(model);
  EXPECT_EQ(model, nullptr);
}

TEST_F(Setup, LineTypeIndexesAreFixed) {
  AddDefaultLtypes(M());
  AddSxfLtypes(M());
  ASSERT_EQ(M().ltpn(), 32);
  const struct {
    int index;
    std::u16string name;
    int n;
    double pl;
  } cases[] = {{1, u"Continuous", 0, 0},       {2, u"DOT", 2, 6.35},
               {9, u"DOT2", 2, 3.175},         {10, u"RAND1", 4, 10},
               {15, u"CENTERX2", 4, 101.6},    {18, u"DASHEDX4", 2, 63.5},
               {19, u"SXF_破線", 2, 7.5},      {20, u"SXF_跳び破線", 2, 12},
               {31, u"SXF_三点短鎖線", 8, 12.75},
               {32, u"SXF_三点二短鎖線", 10, 20.25}};
  for (const auto& c : cases) {
    const TDXF_Ltype& t = M().ltps[c.index - 1];
    EXPECT_EQ(t.nam, c.name) << c.index;
    EXPECT_EQ(t.n(), c.n) << c.index;
    EXPECT_NEAR(t.pl, c.pl, 1e-12) << c.index;
  }
  // Descriptions are kept character for character, blank runs included.
  EXPECT_EQ(M().ltps[0].exp, u"Solid line");
  EXPECT_EQ(M().ltps[6].exp, u"Phantom ______  __  __  ______  __  __  ______");
  EXPECT_EQ(M().ltps[15].exp, u"Phantom (2x) ____________    ____    ____   _");
  EXPECT_EQ(M().ltps[9].exp, u"ランダム線1");
  EXPECT_EQ(M().ltps[31].exp, u"15 double-dashed triplicate-dotted -- -- . . . -- --");
  EXPECT_EQ(M().ltps[4].pt, (std::vector<double>{31.75, -6.35, 6.35, -6.35}));
  EXPECT_EQ(M().ltps[1].pt, (std::vector<double>{0, -6.35}));
}

TEST_F(Setup, FixedLayersAndStyles) {
  AddDefaultLtypes(M());
  AddDefaultLayers(M());
  AddDefaultStyles(M());
  ASSERT_EQ(M().layn(), 4);
  const struct {
    std::u16string nam;
    int col, ltp, wid;
    bool dsp, prn;
  } layers[] = {{u"0", 7, 1, 0, true, true},
                {u"DEFPOINTS", 7, 1, 0, true, false},
                {u"HOJO", 6, 9, 0, true, false},
                {u"VP", 7, 1, 0, false, false}};
  for (int i = 0; i < 4; ++i) {
    const TDXF_Layer& l = M().lays[i];
    EXPECT_EQ(l.nam, layers[i].nam);
    EXPECT_EQ(l.col, layers[i].col);
    EXPECT_EQ(l.ltp, layers[i].ltp);
    EXPECT_EQ(l.wid, layers[i].wid);
    EXPECT_EQ(l.dsp, layers[i].dsp);
    EXPECT_EQ(l.prn, layers[i].prn);
  }
  EXPECT_EQ(M().ltps[M().lays[2].ltp - 1].nam, u"DOT2");
  ASSERT_EQ(M().mstn(), 2);
  EXPECT_EQ(M().msts[0].nam, u"Standard");
  EXPECT_EQ(M().msts[0].fo1, u"txt");
  EXPECT_EQ(M().msts[1].nam, u"Annotative");
  EXPECT_EQ(M().msts[1].fo1, u"txt.shx");
  for (const auto& s : M().msts) {
    EXPECT_EQ(s.fo2, u"extfont2.shx");
    EXPECT_FALSE(s.fla);
    EXPECT_DOUBLE_EQ(s.mh, 0);
    EXPECT_DOUBLE_EQ(s.mw, 1.0);
    EXPECT_DOUBLE_EQ(s.ang, 0);
    EXPECT_DOUBLE_EQ(s.mhl, 2.5);
  }
}

TEST_F(Setup, NoMarkerBlockForOtherPointTypes) {
  for (int typ : {-1, 0, 1, 7}) {
    M().SetTenTransType(typ, 1);
    AddTenBlock(M());
    EXPECT_EQ(M().tenidx, -1) << typ;
    EXPECT_EQ(M().deBlockDefN(), 0) << typ;
  }
}

struct MarkerCase {
  int typ;
  std::vector<int32_t> kinds;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const MarkerCase& c) {
  return os << "point type " << c.typ;
}

class Marker : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(Marker, BlockHoldsTheMarkerByBlock) {
  std::unique_ptr<TDXFmodel> model;
  DXFModelCreate(model);
  TDXFmodel& m = *model;
  AddDefaultLtypes(m);
  AddDefaultLayers(m);
  m.AddBlockDef(u"user", 3);
  m.SetTenTransType(GetParam().typ, 2);
  AddTenBlock(m);
  ASSERT_EQ(m.tenidx, 1);
  const TDXF_BlockDef& b = m.deBlockDef[1];
  EXPECT_EQ(b.nam, u"_TRANS_TEN");
  EXPECT_EQ(b.IDno, -1);
  std::vector<int32_t> kinds;
  for (const auto& e : b.dmNo) kinds.push_back(e.tp);
  EXPECT_EQ(kinds, GetParam().kinds);
  for (const auto& c : b.dmCirc) EXPECT_TRUE(c.col == -1 && c.typ == -1 && c.wid == -1 && c.lay == 0);
  for (const auto& l : b.dmLine) EXPECT_TRUE(l.col == -1 && l.typ == -1 && l.wid == -1 && l.spc == 0);
  for (const auto& s : b.dmSld4) EXPECT_EQ(s.col, -1);
  EXPECT_EQ(m.deNoN(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    PointTypes, Marker,
    ::testing::Values(
        MarkerCase{2, {DXF_KIND_CIRCLE, DXF_KIND_CIRCLE}},
        MarkerCase{3, {DXF_KIND_CIRCLE, DXF_KIND_LINE, DXF_KIND_LINE}},
        MarkerCase{4, {DXF_KIND_LINE, DXF_KIND_LINE, DXF_KIND_LINE, DXF_KIND_LINE}},
        MarkerCase{5, {DXF_KIND_SOLID4}},
        MarkerCase{6, {DXF_KIND_SOLID4, DXF_KIND_SOLID4, DXF_KIND_SOLID4, DXF_KIND_SOLID4}}),
    [](const auto& info) { return "type" + std::to_string(info.param.typ); });

TEST_F(Setup, MarkerGeometry) {
  M().SetTenTransType(2, 1);
  AddTenBlock(M());
  const TDXF_BlockDef& two = M().deBlockDef[M().tenidx];
  EXPECT_DOUBLE_EQ(two.dmCirc[0].r, 1);
  EXPECT_DOUBLE_EQ(two.dmCirc[1].r, 0.5);

  DXFModelCreate(model_);
  M().SetTenTransType(3, 2);
  AddTenBlock(M());
  const TDXF_BlockDef& three = M().deBlockDef[M().tenidx];
  EXPECT_DOUBLE_EQ(three.dmLine[0].x1, -2);
  EXPECT_DOUBLE_EQ(three.dmLine[0].x2, 2);
  EXPECT_DOUBLE_EQ(three.dmLine[1].y1, 2);
  EXPECT_DOUBLE_EQ(three.dmLine[1].y2, -2);

  DXFModelCreate(model_);
  M().SetTenTransType(5, 2);
  AddTenBlock(M());
  const TDXF_Solid4& s = M().deBlockDef[M().tenidx].dmSld4[0];
  EXPECT_DOUBLE_EQ(s.x1, 2);
  EXPECT_DOUBLE_EQ(s.y2, 2);
  EXPECT_DOUBLE_EQ(s.x3, -2);
  EXPECT_DOUBLE_EQ(s.y4, -2);
}

// The corners at 45, 135, 225 and 315 degrees are computed in extended
// precision and rounded once.
TEST_F(Setup, QuarterFanCornersRoundedOnce) {
  const double r = 3;
  M().SetTenTransType(6, r);
  AddTenBlock(M());
  const auto& q = M().deBlockDef[M().tenidx].dmSld4;
  ASSERT_EQ(q.size(), 4u);
  const long double pi = 3.141592653589793238462643383279502884L;
  for (int i = 0; i < 4; ++i) {
    const long double a = static_cast<long double>(2 * i + 1) * pi / 4;
    EXPECT_EQ(q[i].x3, static_cast<double>(static_cast<long double>(r) * cosl(a))) << i;
    EXPECT_EQ(q[i].y3, static_cast<double>(static_cast<long double>(r) * sinl(a))) << i;
    EXPECT_DOUBLE_EQ(q[i].x1, 0);
    EXPECT_DOUBLE_EQ(q[i].y1, 0);
  }
  EXPECT_DOUBLE_EQ(q[0].x2, r);
  EXPECT_DOUBLE_EQ(q[0].y4, r);
  EXPECT_DOUBLE_EQ(q[1].x4, -r);
  EXPECT_DOUBLE_EQ(q[2].y4, -r);
  EXPECT_DOUBLE_EQ(q[3].x4, r);
}

TEST_F(Setup, MarkerBlockNameCollidesLikeAnyOther) {
  M().AddBlockDef(u"_trans_ten", 4);
  M().SetTenTransType(4, 1);
  AddTenBlock(M());
  EXPECT_EQ(M().tenidx, 1);
  EXPECT_EQ(M().deBlockDef[1].nam, u"_TRANS_TEN_1");
  EXPECT_EQ(M().GetBlockIdx(int64_t{4}), 0);
}

}  // namespace
}  // namespace tessa
