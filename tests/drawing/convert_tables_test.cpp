// Conversion of a JWW drawing or JWS symbol: the options handed to the
// model, the line types, layers and text styles made from the drawing's
// tables, and when the point-marker block is made.
#include <filesystem>

#include "convert_test_util.h"
#include "param_names.h"
#include "drawing/JwwSettingText.h"
#include "jww_test_util.h"

namespace tessa::test {
namespace {

// ---- Options and extents -----------------------------------------------------------

TEST_F(ConvertTest, HandsOptionsScaleAndShiftedExtentsToTheModel) {
  ctx.Opt.ScaleGroup = 3;
  ctx.Opt.LayerNameType = 2;
  ctx.Opt.TenType = 4;
  ctx.Opt.TenSize = 0.7;
  ctx.Opt.Space = 1;
  drawing.EntLgrp[3].adScale = 50;
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  ctx.Place.ExtMinX = -100;
  ctx.Place.ExtMinY = -50;
  ctx.Place.ExtMaxX = 150;
  ctx.Place.ExtMaxY = 80;
  TDXFmodel& m = Convert(2);
  EXPECT_EQ(m.Ver, 2);
  EXPECT_EQ(m.Spa, 1);
  EXPECT_EQ(m.pscale, 50);
  EXPECT_EQ(m.laynametyp, 2);
  EXPECT_EQ(m.tentyp, 4);
  EXPECT_EQ(m.tenrad, 0.7);
  EXPECT_EQ(m.papx, 420);
  EXPECT_EQ(m.papy, 297);
  // The extents are measured from the paper's centre, the entities from its
  // lower left corner: the header box must lie where the entities are.
  EXPECT_EQ(m.MinWx, 110);
  EXPECT_EQ(m.MinWy, 98.5);
  EXPECT_EQ(m.MaxWx, 360);
  EXPECT_EQ(m.MaxWy, 228.5);
}

TEST_F(ConvertTest, HeaderExtentsCoverTheConvertedLine) {
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  AddLine(drawing, Line(-200, -100, 150, 120));
  static_cast<TJwExtents&>(ctx.Place) = drawing.GetMinMaxZahyo();
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deLineN(), 1);
  const TDXF_Line& l = m.deLine[0];
  EXPECT_DOUBLE_EQ(m.MinWx, l.x1);
  EXPECT_DOUBLE_EQ(m.MinWy, l.y1);
  EXPECT_DOUBLE_EQ(m.MaxWx, l.x2);
  EXPECT_DOUBLE_EQ(m.MaxWy, l.y2);
}

TEST_F(ConvertTest, EmptyDrawingStillHasEveryTable) {
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.ltpn(), 48);
  EXPECT_EQ(m.layn(), 260);
  EXPECT_EQ(m.mstn(), 24);
  EXPECT_EQ(m.deNoN(), 0);
  EXPECT_EQ(m.deBlockDefN(), 0);
  EXPECT_EQ(m.lays[0].nam, u"0");
  EXPECT_EQ(m.lays[3].nam, u"VP");
  EXPECT_EQ(m.lays[4].nam, u"1");
  EXPECT_EQ(m.lays[259].nam, u"256");
}

// A container that holds no drawing (its read failed before the tables)
// gives no model and no file.
TEST_F(ConvertTest, UnloadedContainerWritesNothing) {
  ctx.Opt.DxfVer = 1;
  TTempFolder dir;
  const std::string out = dir.Dir() + "out.dxf";
  TJwwData empty;
  EXPECT_FALSE(empty.FileOutDXF(ctx, out));
  EXPECT_EQ(ctx.DxfModel, nullptr);
  EXPECT_FALSE(std::filesystem::exists(out));

  TJwwData partial = MakeJwwDrawing(700);
  partial.EntMoj.resize(3);  // tables cut short
  EXPECT_FALSE(partial.FileOutDXF(ctx, out));
  EXPECT_FALSE(std::filesystem::exists(out));

  TJwsData symbol;
  EXPECT_FALSE(symbol.FileOutDXF(ctx, out));
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ConvertTest, FileOutWritesTheFileAndFreesTheModel) {
  ctx.Opt.DxfVer = 1;
  TTempFolder dir;
  const std::string out = dir.Dir() + "out.dxf";
  AddLine(drawing, Line(0, 0, 10, 0));
  drawing.MakeBlockTree();
  EXPECT_TRUE(drawing.FileOutDXF(ctx, out));
  EXPECT_EQ(ctx.DxfModel, nullptr);
  EXPECT_GT(std::filesystem::file_size(out), 1000u);

  TJwsData symbol = MakeJwsSymbol(700);
  AddLine(symbol, Line(0, 0, 10, 0));
  symbol.MakeBlockTree();
  const std::string out2 = dir.Dir() + "symbol.dxf";
  ctx.Opt.DxfVer = 0;
  EXPECT_TRUE(symbol.FileOutDXF(ctx, out2));
  EXPECT_EQ(ctx.DxfModel, nullptr);
  EXPECT_TRUE(std::filesystem::exists(out2));
}

// ---- Line types --------------------------------------------------------------------

struct UserLtypeCase {
  const char* what;
  std::u16string name;
  int32_t segments;
  std::vector<double> pitches;  // stored pitches 1, 2, ...
  std::u16string wantName;
  std::vector<double> wantPattern;
};
std::ostream& operator<<(std::ostream& os, const UserLtypeCase& c) { return os << c.what; }

class UserLtypeTest : public ConvertTest, public ::testing::WithParamInterface<UserLtypeCase> {};

TEST_P(UserLtypeTest, BecomesSxfLineType) {
  const UserLtypeCase& c = GetParam();
  TEntJwwLineTypeExNo& t = drawing.EntLtpS[20];
  t.astrUDLTypeName = c.name;
  t.anUDLTypeSegment = c.segments;
  for (size_t j = 0; j < c.pitches.size(); ++j) t.aadUDLTypePitch[j + 1] = c.pitches[j];
  TDXFmodel& m = Convert();
  const TDXF_Ltype& lt = m.ltps[20 + 16 - 1];  // type i has index i + 16
  EXPECT_EQ(lt.nam, c.wantName) << c.what;
  EXPECT_EQ(lt.exp, u"20 SXF-Extended") << c.what;
  EXPECT_EQ(lt.pt, c.wantPattern) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserLtypeTest,
    ::testing::Values(
        UserLtypeCase{"empty type", u"", 0, {}, u"SXF_LType_20", {0.01, -0.01}},
        UserLtypeCase{"odd count falls back to two", u"X", 3, {2, 1, 0}, u"SXF_X", {2, -1}},
        UserLtypeCase{"blank name", u"  ", 2, {1, 1}, u"SXF_LType_20", {1, -1}},
        UserLtypeCase{"blanks inside stay", u" A ", 2, {1, 1}, u"SXF_ A ", {1, -1}},
        UserLtypeCase{"control codes removed", u"A^mB\\nC", 2, {1, 1}, u"SXF_ABC", {1, -1}},
        // Gaps are negative whatever the sign stored; nothing is shorter than 0.01.
        UserLtypeCase{"signs and minimum", u"Y", 4, {-3, 0.005, 1, -2}, u"SXF_Y",
                      {3, -0.01, 1, -2}},
        // The first stored pitch is the first element; ten are stored.
        UserLtypeCase{"pitch order", u"Z", 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, u"SXF_Z",
                      {1, -2, 3, -4, 5, -6, 7, -8}}),
    testing_support::NameByPrinting<>());

TEST_F(ConvertTest, UserLineTypesFollowTheStandardOnes) {
  drawing.EntLtpS[17].astrUDLTypeName = u"dup";
  drawing.EntLtpS[18].astrUDLTypeName = u"DUP";
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.ltpn(), 48);
  EXPECT_EQ(m.ltps[0].nam, u"Continuous");
  EXPECT_EQ(m.ltps[18].nam, u"SXF_破線");
  EXPECT_EQ(m.ltps[32].nam, u"SXF_dup");
  EXPECT_EQ(m.ltps[33].nam, u"SXF_DUP_1");  // names compare without case
  EXPECT_EQ(m.ltps[47].nam, u"SXF_LType_32");
  EXPECT_EQ(m.ltps[47].exp, u"32 SXF-Extended");
}

TEST_F(ConvertTest, SymbolGetsFixedSxfLineTypes) {
  TJwsData s = MakeJwsSymbol(700);
  TDXFmodel& m = ConvertSymbol(s);
  ASSERT_EQ(m.ltpn(), 48);
  for (int i = 17; i <= 32; ++i) {
    const TDXF_Ltype& lt = m.ltps[i + 16 - 1];
    EXPECT_EQ(lt.nam, u"SXF_EX_LType_" + IntToText(i));
    EXPECT_EQ(lt.exp, IntToText(i) + u" SXF-Extended");
    EXPECT_EQ(lt.pt, (std::vector<double>{1.0, -1.0}));
  }
}

// ---- Layers ------------------------------------------------------------------------

// Pens 103 and 104 are pure green and pure blue: DXF colours 3 and 5.
TEST_F(ConvertTest, LayerTakesItsMostFrequentColourAndLineType) {
  for (int i = 0; i < 3; ++i) AddLine(drawing, Line(0, i, 1, i, Attr(1, 2, 103, 2)));
  for (int i = 0; i < 2; ++i) AddEnko(drawing, Arc(0, i, 1, 0, 1, Attr(1, 2, 104, 3)));
  TDXFmodel& m = Convert();
  const TDXF_Layer& l = m.lays[DxfLayer(1, 2)];
  EXPECT_EQ(l.col, 3);
  EXPECT_EQ(l.ltp, 2);
  // Entities that match their layer are stored "by layer".
  EXPECT_EQ(m.deLine[0].col, 0);
  EXPECT_EQ(m.deLine[0].typ, 0);
  EXPECT_EQ(m.deArc[0].col, 5);
  EXPECT_EQ(m.deArc[0].typ, 3);
}

TEST_F(ConvertTest, AuxiliaryEntitiesDoNotDecideTheLayer) {
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 1, 9, 2)));     // auxiliary colour
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 1, 103, 9)));   // auxiliary line type
  AddTen(drawing, Point(0, 0, Attr(0, 1, 9, 1)));
  AddMoji(drawing, Text(0, 0, u"a", 2, Attr(0, 1, 9, 1)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].col, 7);
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].ltp, 1);
}

TEST_F(ConvertTest, TallyCountsPointsTextsDimensionPartsAndSolidColours) {
  AddTen(drawing, Point(0, 0, Attr(0, 1, 103, 9)));  // pen style of points is not looked at
  AddMoji(drawing, Text(0, 0, u"a", 2, Attr(0, 2, 104, 1)));
  TEntJwwSunpo dim = Dimension(0, 10, 0, u"10", Attr(0, 3, 2, 1));
  dim.Sen.att = Attr(0, 3, 103, 5);
  dim.Moji.att = Attr(0, 4, 104, 1);
  AddSunpo(drawing, dim);
  TEntJwwSolid red = Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 5, 10, 1));
  red.Color = 0x0000FF;  // red in the low byte
  AddSolid(drawing, red);
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].col, 3);
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].ltp, 1);  // colour only
  EXPECT_EQ(m.lays[DxfLayer(0, 2)].col, 5);
  EXPECT_EQ(m.lays[DxfLayer(0, 3)].col, 3);
  EXPECT_EQ(m.lays[DxfLayer(0, 3)].ltp, 5);
  EXPECT_EQ(m.lays[DxfLayer(0, 4)].col, 5);
  EXPECT_EQ(m.lays[DxfLayer(0, 5)].col, 1);
}

// Code 62 maps one past the drawing's line types: it is "Continuous" for
// the entity and for the layer tally alike.
TEST_F(ConvertTest, LineTypeCodePastTheListIsContinuous) {
  for (int i = 0; i < 3; ++i) AddLine(drawing, Line(0, i, 1, i, Attr(0, 1, 2, 62)));
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 2, 2, 62)));
  AddLine(drawing, Line(0, 1, 1, 1, Attr(0, 2, 2, 2)));
  AddLine(drawing, Line(0, 2, 1, 2, Attr(0, 2, 2, 2)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].ltp, 1);
  EXPECT_EQ(m.lays[DxfLayer(0, 2)].ltp, 2);
  EXPECT_EQ(m.deLine[3].lay, DxfLayer(0, 2));
  EXPECT_EQ(m.deLine[3].typ, 1);  // explicit: the layer's own is 2
}

TEST_F(ConvertTest, SettingTextsAndLayersBeyondTheTableAreNotTallied) {
  TEntJwwMoji setting = Text(0, -1000, u"Printer_Orientation = 0", 2, Attr(0, 1, 103, 1));
  setting.end_x = 0;
  setting.end_y = -1000;
  ASSERT_TRUE(IsJwSettingText(setting));
  AddMoji(drawing, setting);
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 16, 103, 2)));  // layer 16 does not exist
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.lays[DxfLayer(0, 1)].col, 7);
  EXPECT_EQ(m.lays[DxfLayer(1, 0)].col, 7);
  EXPECT_EQ(m.deNoN(), 0);
}

TEST_F(ConvertTest, HiddenLayerOrGroupSwitchesTheDxfLayerOff) {
  drawing.EntLgrp[2].anGLay = 0;  // group hidden, its layers shown
  drawing.EntLay[3 * 16 + 4].aanLay = 0;
  AddLine(drawing, Line(0, 0, 1, 0, Attr(2, 0)));
  TDXFmodel& m = Convert();
  for (int l = 0; l < 16; ++l) EXPECT_FALSE(m.lays[DxfLayer(2, l)].dsp) << l;
  EXPECT_FALSE(m.lays[DxfLayer(3, 4)].dsp);
  EXPECT_TRUE(m.lays[DxfLayer(3, 5)].dsp);
  EXPECT_TRUE(m.lays[DxfLayer(0, 0)].dsp);
  EXPECT_EQ(m.deLineN(), 1);  // still converted
  for (int i = 4; i < 260; ++i) EXPECT_TRUE(m.lays[i].prn);
}

struct LayerNameCase {
  int32_t nameType;
  int ver;
  std::u16string groupName, layerName;
  std::u16string want;
};
std::ostream& operator<<(std::ostream& os, const LayerNameCase& c) {
  return os << "naming " << c.nameType << ", version " << c.ver << ", " << StrToUtf8(c.want);
}

class LayerNameTest : public ConvertTest, public ::testing::WithParamInterface<LayerNameCase> {};

TEST_P(LayerNameTest, NamesFollowTheOption) {
  const LayerNameCase& c = GetParam();
  ctx.Opt.LayerNameType = c.nameType;
  drawing.EntLgrp[1].aStrGLayName = c.groupName;
  drawing.EntLay[1 * 16 + 10].aStrLayName = c.layerName;
  TDXFmodel& m = Convert(c.ver);
  EXPECT_EQ(m.lays[DxfLayer(1, 10)].nam, c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayerNameTest,
    ::testing::Values(LayerNameCase{0, 1, u"建具", u"窓", u"27"},
                      LayerNameCase{1, 1, u"建具", u"窓", u"窓"},
                      LayerNameCase{2, 1, u"建具 ", u"", u"建具-A"},
                      LayerNameCase{2, 2, u"建具", u"窓", u"建具-窓"},
                      LayerNameCase{1, 1, u"", u"壁(外)", u"壁外"},
                      // R12 names keep only letters, digits, "$", "-" and "_".
                      LayerNameCase{1, 0, u"", u"壁(外)", u"1-A"},
                      LayerNameCase{1, 1, u"", u"", u"1-A"}),
    testing_support::NameByPrinting<true>());

TEST_F(ConvertTest, DuplicateLayerNamesBecomeUnique) {
  ctx.Opt.LayerNameType = 1;
  drawing.EntLay[0].aStrLayName = u"壁";
  drawing.EntLay[17].aStrLayName = u"壁";
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.lays[DxfLayer(0, 0)].nam, u"壁");
  EXPECT_EQ(m.lays[DxfLayer(1, 1)].nam, u"壁_1");
}

TEST_F(ConvertTest, SymbolLayersAreShownAndNamedByNumber) {
  ctx.Opt.LayerNameType = 1;
  TJwsData s = MakeJwsSymbol(700);
  s.EntLgrp[5].anGLay = 0;
  TDXFmodel& m = ConvertSymbol(s);
  ASSERT_EQ(m.layn(), 260);
  EXPECT_EQ(m.lays[DxfLayer(0, 0)].nam, u"0-0");
  EXPECT_EQ(m.lays[DxfLayer(15, 15)].nam, u"F-F");
  for (int i = 4; i < 260; ++i) EXPECT_TRUE(m.lays[i].dsp);
}

// ---- Text styles ---------------------------------------------------------------------

TEST_F(ConvertTest, TextStylesComeInPairsFromTheTextTypes) {
  drawing.EntMoj[2] = {4.0, 5.0, 0.5, 1};  // type 3
  drawing.EntMoj[9] = {3.0, 0.0, 0.0, 1};  // type 10 without height
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.mstn(), 24);
  EXPECT_EQ(m.msts[0].nam, u"Standard");
  EXPECT_EQ(m.msts[2].nam, u"MOJI0");
  EXPECT_EQ(m.msts[3].nam, u"MOJI0T");
  EXPECT_EQ(m.msts[2].mhl, 2.0);
  const TDXF_Style& s3 = m.msts[8];
  const TDXF_Style& s3t = m.msts[9];
  EXPECT_EQ(s3.nam, u"MOJI3");
  EXPECT_EQ(s3t.nam, u"MOJI3T");
  EXPECT_EQ(s3.mw, 0.8);
  EXPECT_EQ(s3.mhl, 5.0);
  EXPECT_EQ(s3.mh, 0);
  EXPECT_FALSE(s3.fla);
  EXPECT_EQ(s3.fo1, u"simplex.shx");
  EXPECT_EQ(s3.fo2, u"extfont2.shx");
  EXPECT_EQ(s3t.mw, 0.8);
  EXPECT_TRUE(s3t.fla);
  EXPECT_EQ(s3t.fo2, u"@extfont2.shx");
  // A type of height 0 has no width ratio: it keeps plain width.
  EXPECT_EQ(m.msts[22].nam, u"MOJI10");
  EXPECT_EQ(m.msts[22].mw, 1.0);
  EXPECT_EQ(m.msts[23].mw, 1.0);
  EXPECT_EQ(m.msts[22].mhl, 0.0);
}

TEST_F(ConvertTest, SymbolTextStylesHaveFixedHeights) {
  TJwsData s = MakeJwsSymbol(700);
  TDXFmodel& m = ConvertSymbol(s);
  ASSERT_EQ(m.mstn(), 24);
  const double heights[10] = {2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0};
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(m.msts[2 + 2 * k].nam, u"MOJI" + IntToText(k));
    EXPECT_EQ(m.msts[2 + 2 * k].mhl, heights[k - 1]);
    EXPECT_EQ(m.msts[2 + 2 * k].mw, 1.0);
    EXPECT_EQ(m.msts[3 + 2 * k].nam, u"MOJI" + IntToText(k) + u"T");
    EXPECT_TRUE(m.msts[3 + 2 * k].fla);
  }
}

// ---- Point-marker block ----------------------------------------------------------------

TEST_F(ConvertTest, MarkerBlockWhenAPointIsDrawnDirectlyOrInAUsedBlock) {
  ctx.Opt.TenType = 2;
  {
    AddTen(drawing, Point(0, 0));
    TDXFmodel& m = Convert();
    ASSERT_EQ(m.deBlockDefN(), 1);
    EXPECT_EQ(m.deBlockDef[0].nam, u"_TRANS_TEN");
    EXPECT_EQ(m.tenidx, 0);
  }
  DXFModelFree(ctx.DxfModel);
  drawing = MakeJwwDrawing(700);
  {
    TEntJwwBlockDef& def = AddBlockDef(drawing, 7, u"pt");
    AddTen(def, Point(0, 0));
    AddBlock(drawing, Insert(7, 0, 0));
    TDXFmodel& m = Convert();
    ASSERT_EQ(m.deBlockDefN(), 2);
    EXPECT_EQ(m.deBlockDef[0].nam, u"_TRANS_TEN");  // it comes first
    EXPECT_EQ(m.deBlockDef[1].nam, u"pt");
  }
}

TEST_F(ConvertTest, NoMarkerBlockForDimensionPointsOrUnusedBlocks) {
  ctx.Opt.TenType = 3;
  TEntJwwSunpo dim = Dimension(0, 10, 0, u"10");
  dim.bSxfMode = 1;
  AddSunpo(drawing, dim);
  TEntJwwBlockDef& def = AddBlockDef(drawing, 7, u"unused");
  AddTen(def, Point(0, 0));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.deBlockDefN(), 0);
  EXPECT_EQ(m.tenidx, -1);
  EXPECT_EQ(m.deTenN(), 2);  // the dimension's points are still there
}

}  // namespace
}  // namespace tessa::test
