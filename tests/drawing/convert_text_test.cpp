// Conversion of texts and dimensions: text styles by text type, vertical
// and italic texts, the text box, image markers, Jw_cad's setting texts and
// the exploded parts of a dimension.
#include "convert_test_util.h"
#include "param_names.h"

namespace tessa::test {
namespace {

using K = std::vector<int32_t>;

TEntJwwMoji TextOn(double x1, double y1, double x2, double y2, std::u16string s,
                   TEntJwwAttr a = Attr()) {
  TEntJwwMoji t = Text(x1, y1, std::move(s), 4, a);
  t.end_x = x2;
  t.end_y = y2;
  return t;
}

// ---- Styles, italic and vertical ----------------------------------------------------------

struct StyleCase {
  uint32_t shu;
  bool vertical;
  int32_t wantStyle;
  bool wantTate, wantSyat;
};
std::ostream& operator<<(std::ostream& os, const StyleCase& c) {
  return os << "text type " << c.shu << (c.vertical ? ", vertical" : "");
}

class TextStyleTest : public ConvertTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(TextStyleTest, TextTypeAndFlagsChooseTheStyle) {
  const StyleCase& c = GetParam();
  TEntJwwMoji t = Text(0, 0, u"abc");
  t.nMojiShu = c.shu;
  if (c.vertical) t.att.sFlg = 0x20;
  AddMoji(drawing, t);
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 1);
  const TDXF_Moji& x = m.deMoji[0];
  EXPECT_EQ(x.typ, c.wantStyle) << c.shu;
  ASSERT_LT(x.typ, m.mstn());
  EXPECT_EQ(x.tate, c.wantTate) << c.shu;
  EXPECT_EQ(x.syat, c.wantSyat) << c.shu;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextStyleTest,
    ::testing::Values(StyleCase{3, false, 8, false, false},     // MOJI3
                      StyleCase{3, true, 9, true, false},       // MOJI3T
                      StyleCase{0, false, 2, false, false},     // MOJI0
                      StyleCase{10, false, 22, false, false},   // MOJI10
                      StyleCase{10, true, 23, true, false},
                      StyleCase{10003, false, 8, false, true},  // italic
                      StyleCase{20003, false, 8, false, false},
                      StyleCase{30003, false, 8, false, true},
                      StyleCase{10003, true, 9, true, false},   // vertical is never slanted
                      // No text type 11 to 99: such texts take type 0.
                      StyleCase{11, false, 2, false, false},
                      StyleCase{99, true, 3, true, false},
                      StyleCase{10057, false, 2, false, true},
                      StyleCase{4294967295u, false, 2, false, false}),
    testing_support::NameByPrinting<>());

// ---- Box, size and angle -----------------------------------------------------------------

TEST_F(ConvertTest, TextBaseLineAndSizesAtScale) {
  drawing.EntLgrp[0].adScale = 2;
  TEntJwwMoji t = TextOn(0, 0, 30, 0, u"壁");
  t.dSizeX = 4;
  t.dSizeY = 5;
  t.dKankaku = 1;
  t.att.nPenStyle = 5;
  t.strFontName = u"ＭＳ 明朝";
  AddMoji(drawing, t);
  t.att.sFlg = 0x20;
  AddMoji(drawing, t);
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 2);
  const TDXF_Moji& h = m.deMoji[0];
  EXPECT_EQ(h.x1, 0);
  EXPECT_EQ(h.y1, 0);
  EXPECT_EQ(h.x2, 60);
  EXPECT_EQ(h.y2, 0);
  EXPECT_EQ(h.w, 8);
  EXPECT_EQ(h.h, 10);
  EXPECT_EQ(h.d, 2);
  EXPECT_EQ(h.a, 0);
  EXPECT_EQ(h.bas, 5);
  EXPECT_EQ(h.fo, u"ＭＳ 明朝");
  EXPECT_EQ(h.st, u"壁");
  // Vertical: the character box turns and the base line moves half a
  // character width (2 on paper) to the left of its direction.
  const TDXF_Moji& v = m.deMoji[1];
  EXPECT_NEAR(v.x1, 0, 1e-12);
  EXPECT_NEAR(v.y1, 4, 1e-12);
  EXPECT_NEAR(v.x2, 60, 1e-12);
  EXPECT_NEAR(v.y2, 4, 1e-12);
  EXPECT_EQ(v.w, 10);
  EXPECT_EQ(v.h, 8);
  EXPECT_EQ(v.fo, u"@ＭＳ 明朝");
}

TEST_F(ConvertTest, TextAngleFollowsItsBaseLine) {
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  AddMoji(drawing, TextOn(5, 5, 5, 5, u"a"));
  AddMoji(drawing, TextOn(0, 0, 0, -10, u"b"));
  AddMoji(drawing, TextOn(0, 0, -10, 0, u"c"));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 3);
  EXPECT_EQ(m.deMoji[0].a, 0);
  EXPECT_NEAR(m.deMoji[1].a, 270, 1e-12);
  EXPECT_NEAR(m.deMoji[2].a, 180, 1e-12);
  EXPECT_EQ(m.deMoji[1].x1, 210);
  EXPECT_EQ(m.deMoji[1].y2, 138.5);
}

TEST_F(ConvertTest, TextIsHandedOverAsRead) {
  AddMoji(drawing, Text(0, 0, u"A^B ％ｍ%%c"));
  AddMoji(drawing, Text(0, 0, u"   "));  // kept in the model; the writer skips blanks
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 2);
  EXPECT_EQ(m.deMoji[0].st, u"A^B ％ｍ%%c");
}

TEST_F(ConvertTest, AuxiliaryColourTextGoesToHojo) {
  AddMoji(drawing, Text(0, 0, u"x", 2, Attr(3, 4, 9, 1)));
  AddMoji(drawing, Text(0, 0, u"x", 2, Attr(3, 4, 104, 1)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.deMoji[0].lay, 2);
  EXPECT_EQ(m.deMoji[1].lay, DxfLayer(3, 4));
  EXPECT_EQ(m.deMoji[1].col, 0);  // the layer took its colour
  EXPECT_EQ(m.lays[DxfLayer(3, 4)].col, 5);
}

// ---- Image markers and setting texts --------------------------------------------------------

TEST_F(ConvertTest, ImageMarkersAreNotTexts) {
  AddMoji(drawing, Text(0, 0, u"^@BMpic.bmp,100,50"));
  AddMoji(drawing, Text(0, 0, u"^@BM"));           // no comma: an ordinary text
  AddMoji(drawing, Text(0, 0, u"x^@BMpic.bmp,1"));  // the marker must come first
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"img");
  AddMoji(def, Text(0, 0, u"^@BMa.jpg,10"));
  AddLine(def, Line(0, 0, 1, 1));
  AddBlock(drawing, Insert(1, 0, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 2);
  EXPECT_EQ(m.deMoji[0].st, u"^@BM");
  EXPECT_EQ(m.deMoji[1].st, u"x^@BMpic.bmp,1");
  ASSERT_EQ(m.deBlockDefN(), 1);
  EXPECT_EQ(Kinds(m.deBlockDef[0]), K{DXF_KIND_LINE});
}

// Jw_cad 8.2 keeps some settings as texts at (0, -1000); they are not
// drawing content.  Only that exact form is dropped.
TEST_F(ConvertTest, JwCadSettingTextsAddNothing) {
  AddMoji(drawing, TextOn(0, -1000, 0, -1000, u"Printer_Orientation = 0"));
  AddMoji(drawing, TextOn(0, -1000, 0, -1000, u"View_Direct2d = 1"));
  AddMoji(drawing, TextOn(0, -1000, 0, -1000, u"注記 = 1"));        // not a setting name
  AddMoji(drawing, TextOn(0, -1000, 10, -1000, u"Printer_Orientation = 0"));
  AddMoji(drawing, TextOn(0, -999, 0, -999, u"View_Direct2d = 1"));
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"b");
  AddMoji(def, TextOn(0, -1000, 0, -1000, u"View_Direct2d = 1"));  // inside a block: kept
  AddBlock(drawing, Insert(1, 0, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deMojiN(), 3);
  EXPECT_EQ(m.deMoji[0].st, u"注記 = 1");
  EXPECT_EQ(m.deMoji[1].x2, 10);
  EXPECT_EQ(m.deMoji[2].y1, -999);
  EXPECT_EQ(m.deBlockDef[0].dmMojiN(), 1);
}

// ---- Dimensions ---------------------------------------------------------------------------

TEST_F(ConvertTest, DimensionExplodesIntoItsParts) {
  AddSunpo(drawing, Dimension(0, 10, 0, u"10"));
  TEntJwwSunpo sxf = Dimension(0, 10, 20, u"10");
  sxf.bSxfMode = 1;
  sxf.Te2.bKariten = 1;
  AddSunpo(drawing, sxf);
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), (K{DXF_KIND_LINE, DXF_KIND_MOJI,
                         DXF_KIND_LINE, DXF_KIND_LINE, DXF_KIND_LINE, DXF_KIND_TEN,
                         DXF_KIND_CIRCLE, DXF_KIND_MOJI}));
  EXPECT_EQ(m.deLine[1].y1, 20);   // the dimension line first
  EXPECT_EQ(m.deLine[2].y1, 15);   // then the extension lines
  EXPECT_EQ(m.deCirc[0].lay, 2);   // a temporary point
}

TEST_F(ConvertTest, DimensionPartsKeepTheirOwnAttributes) {
  TEntJwwSunpo d = Dimension(0, 10, 0, u"^@BMx.png,3");
  d.bSxfMode = 1;
  d.Sen.att = Attr(1, 1, 103, 9);   // auxiliary style
  d.Ho1.att = Attr(2, 2, 103, 1);
  d.Ho2.att = Attr(16, 2, 103, 1);  // no such group
  d.Te1.att = Attr(3, 3, 103, 9);   // points ignore the style
  AddSunpo(drawing, d);
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), (K{DXF_KIND_LINE, DXF_KIND_LINE, DXF_KIND_TEN, DXF_KIND_TEN}));
  EXPECT_EQ(m.deLine[0].lay, 2);
  EXPECT_EQ(m.deLine[1].lay, DxfLayer(2, 2));
  EXPECT_EQ(m.deTen[0].lay, DxfLayer(3, 3));
}

}  // namespace
}  // namespace tessa::test
