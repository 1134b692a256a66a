// Conversion of block definitions, their contents and inserts, and the
// paper-space layout of layer groups with viewports.
#include "convert_test_util.h"

namespace tessa::test {
namespace {

using K = std::vector<int32_t>;

// ---- Definitions and inserts ----------------------------------------------------------

TEST_F(ConvertTest, BlockNamesLoseTheSfigMarker) {
  const std::u16string names[] = {u"窓@@SfigorgFlag@@123", u"@@SfigorgFlag@@x", u"  ", u"A",
                                  u"a"};
  uint32_t no = 1;
  for (const std::u16string& n : names) {
    TEntJwwBlockDef& def = AddBlockDef(drawing, no, n);
    AddLine(def, Line(0, 0, 1, 0));
    AddBlock(drawing, Insert(no++, 0, 0));
  }
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 5);
  EXPECT_EQ(m.deBlockDef[0].nam, u"窓");
  EXPECT_EQ(m.deBlockDef[1].nam, u"NONAME");
  EXPECT_EQ(m.deBlockDef[2].nam, u"NONAME_1");
  EXPECT_EQ(m.deBlockDef[3].nam, u"A");
  EXPECT_EQ(m.deBlockDef[4].nam, u"a_1");
  EXPECT_EQ(m.deBlockDef[0].IDno, 1);
}

TEST_F(ConvertTest, UnusedDefinitionsAndUnknownInsertsAreLeftOut) {
  AddLine(AddBlockDef(drawing, 1, u"used"), Line(0, 0, 1, 0));
  AddLine(AddBlockDef(drawing, 2, u"unused"), Line(0, 0, 1, 0));
  AddBlock(drawing, Insert(1, 0, 0));
  AddBlock(drawing, Insert(3, 0, 0));  // no such definition
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 1);
  EXPECT_EQ(m.deBlockDef[0].nam, u"used");
  EXPECT_EQ(Kinds(m), K{DXF_KIND_BLOCK});
}

TEST_F(ConvertTest, InsertKeepsRotationAndScalesAsStored) {
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  drawing.EntLgrp[0].adScale = 100;
  AddLine(AddBlockDef(drawing, 5, u"b"), Line(0, 0, 1, 0));
  AddBlock(drawing, Insert(5, 10, 20, -kPi / 2, 2, 3, AttrW(1, 2, 103, 33, 30)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockN(), 1);
  const TDXF_Block& b = m.deBlock[0];
  EXPECT_EQ(b.bln, 0);
  EXPECT_EQ(b.x, 22000);
  EXPECT_EQ(b.y, 16850);
  EXPECT_NEAR(b.a, -90, 1e-12);  // not normalised
  EXPECT_EQ(b.bx, 2);
  EXPECT_EQ(b.by, 3);
  EXPECT_EQ(b.lay, DxfLayer(1, 2));
  EXPECT_EQ(b.col, 3);
  EXPECT_EQ(b.typ, 21);
  EXPECT_EQ(b.wid, 30);
}

// Contents are relative to the block's base point: scaled by their own
// group's scale, never shifted onto the paper.
TEST_F(ConvertTest, BlockContentsAreScaledNotShifted) {
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  drawing.EntLgrp[0].adScale = 20;
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"b");
  AddLine(def, Line(0, 0, 10, 0, Attr(3, 0)));
  AddEnko(def, Circle(1, 2, 3, Attr(3, 0)));
  TEntJwwMoji t = Text(0, 0, u"v", 2, Attr(3, 0));
  t.att.sFlg = 0x20;
  t.nMojiShu = 10002;
  AddMoji(def, t);
  AddLine(def, Line(0, 0, 10, 0, Attr(3, 16)));  // no such layer
  AddBlock(drawing, Insert(1, 0, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 1);
  const TDXF_BlockDef& b = m.deBlockDef[0];
  EXPECT_EQ(Kinds(b), (K{DXF_KIND_LINE, DXF_KIND_CIRCLE, DXF_KIND_MOJI}));
  EXPECT_EQ(b.dmLine[0].x1, 0);
  EXPECT_EQ(b.dmLine[0].x2, 200);
  EXPECT_EQ(b.dmLine[0].lay, DxfLayer(3, 0));
  EXPECT_EQ(b.dmCirc[0].x, 20);
  EXPECT_EQ(b.dmCirc[0].y, 40);
  EXPECT_EQ(b.dmCirc[0].r, 60);
  // A vertical italic text inside a block keeps both flags.
  EXPECT_TRUE(b.dmMoji[0].tate);
  EXPECT_TRUE(b.dmMoji[0].syat);
  EXPECT_EQ(b.dmMoji[0].typ, 7);
  EXPECT_NEAR(b.dmMoji[0].y1, 20, 1e-12);  // half the character width, scaled
}

TEST_F(ConvertTest, NestedInsertsPointAtTheirDefinitions) {
  TEntJwwBlockDef& inner = AddBlockDef(drawing, 2, u"inner");
  AddLine(inner, Line(0, 0, 1, 0));
  TEntJwwBlockDef& outer = AddBlockDef(drawing, 1, u"outer");
  AddBlock(outer, Insert(2, 5, 0, kPi, 1, 1));
  AddBlock(outer, Insert(9, 5, 0));  // nothing is numbered 9
  AddBlock(drawing, Insert(1, 0, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 2);
  EXPECT_EQ(m.deBlockDef[0].nam, u"inner");
  const TDXF_BlockDef& o = m.deBlockDef[1];
  ASSERT_EQ(Kinds(o), K{DXF_KIND_BLOCK});
  EXPECT_EQ(o.dmBlock[0].bln, 0);
  EXPECT_EQ(o.dmBlock[0].x, 5);
  EXPECT_NEAR(o.dmBlock[0].a, 180, 1e-12);
  EXPECT_EQ(m.deBlock[0].bln, 1);
}

// The converter's own marker block must never be taken for a drawing's
// block, not even one numbered 0xFFFFFFFF.
TEST_F(ConvertTest, BlockNumberAllOnesIsTheDrawingsOwn) {
  ctx.Opt.TenType = 2;
  AddTen(drawing, Point(0, 0));
  AddLine(AddBlockDef(drawing, 0xFFFFFFFFu, u"last"), Line(0, 0, 1, 0));
  AddBlock(drawing, Insert(0xFFFFFFFFu, 0, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 2);
  EXPECT_EQ(m.deBlockDef[0].nam, u"_TRANS_TEN");
  ASSERT_EQ(m.deBlockN(), 1);
  EXPECT_EQ(m.deBlock[0].bln, 1);
  EXPECT_EQ(Kinds(m.deBlockDef[1]), K{DXF_KIND_LINE});
}

// ---- Paper-space layout ---------------------------------------------------------------

class PaperSpaceTest : public ConvertTest {
 protected:
  void SetUp() override {
    ConvertTest::SetUp();
    ctx.Opt.Space = 1;
    ctx.Opt.ScaleGroup = 15;
    ctx.Place.PaperX = 420;
    ctx.Place.PaperY = 297;
    for (auto& g : drawing.EntLgrp) g.adScale = 1;
    drawing.EntLgrp[0].adScale = 100;
    drawing.EntLgrp[1].adScale = 100;
    drawing.EntLgrp[2].adScale = 50;
  }
};

TEST_F(PaperSpaceTest, EachScaleGetsABandAndAViewport) {
  AddLine(drawing, Line(0, 0, 10, 0, Attr(15, 0)));
  AddLine(drawing, Line(0, 0, 10, 0, Attr(1, 0)));
  AddLine(drawing, Line(0, 0, 10, 0, Attr(2, 0)));
  AddLine(drawing, Line(0, 0, 10, 0, Attr(7, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deVportN(), 4);
  EXPECT_EQ(m.deLgp[0].n, 1);
  EXPECT_EQ(m.deLgp[1].n, 1);
  EXPECT_EQ(m.deLgp[2].n, 2);
  EXPECT_EQ(m.deLgp[2].dx, 84000);
  EXPECT_EQ(m.deLgp[3].n, 3);
  EXPECT_EQ(m.deLgp[3].dx, 126000);
  ASSERT_EQ(m.deLineN(), 4);
  // The base group is drawn on the paper at full size.
  EXPECT_EQ(m.deLine[0].spc, 1);
  EXPECT_EQ(m.deLine[0].x1, 210);
  EXPECT_EQ(m.deLine[0].x2, 220);
  EXPECT_EQ(m.deLine[1].spc, 0);
  EXPECT_EQ(m.deLine[1].x1, 21000);
  EXPECT_EQ(m.deLine[2].x1, 210 * 50 + 84000);
  EXPECT_EQ(m.deLine[2].y1, 148.5 * 50);
  EXPECT_EQ(m.deLine[3].x2, 220 + 126000);
}

TEST_F(PaperSpaceTest, ViewportShowsTheBoxOfItsEntities) {
  ctx.Place.PaperX = 0;
  ctx.Place.PaperY = 0;
  AddLine(drawing, Line(10, 10, 110, 60, Attr(0, 0)));
  AddLine(drawing, Line(-500, -500, 500, 500, Attr(15, 0)));  // on paper: no viewport of its own
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"far");
  AddLine(def, Line(1000, 1000, 2000, 2000, Attr(0, 0)));    // contents: no sample points
  AddBlock(drawing, Insert(1, 60, 35, 0, 1, 1, Attr(0, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deVportN(), 4);
  const TDXF_ViewPort& v = m.deVport[1];
  EXPECT_EQ(v.cx, 60);
  EXPECT_EQ(v.cy, 35);
  EXPECT_EQ(v.w, 110);
  EXPECT_EQ(v.h, 60);
  EXPECT_EQ(v.vx, 6000);
  EXPECT_EQ(v.vy, 3500);
  EXPECT_EQ(v.vh, 6000);
  EXPECT_EQ(m.deBlockDef[0].dmLine[0].spc, 0);
}

TEST_F(PaperSpaceTest, SamplePointsOfArcsTextsAndFills) {
  ctx.Place.PaperX = 0;
  ctx.Place.PaperY = 0;
  AddEnko(drawing, Circle(100, 100, 10, Attr(0, 0)));
  AddMoji(drawing, Text(0, 0, u"abc", 5, Attr(1, 0)));  // 15 long, 5 high
  TEntJwwSolid fan = Solid(0, 0, 10, 1, 0, 0, kPi / 2, 0, Attr(2, 0, 1, 101));
  AddSolid(drawing, fan);
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deVportN(), 4);
  // Groups 0 and 1 share viewport 1: the circle and the text box.
  const TDXF_ViewPort& v1 = m.deVport[1];
  EXPECT_NEAR(v1.x1, -5, 1e-9);
  EXPECT_NEAR(v1.y1, -5, 1e-9);
  EXPECT_NEAR(v1.x2, 115, 1e-9);
  EXPECT_NEAR(v1.y2, 115, 1e-9);
  // The fan: centre and quarter circle.
  const TDXF_ViewPort& v2 = m.deVport[2];
  EXPECT_NEAR(v2.x1, -5, 1e-9);
  EXPECT_NEAR(v2.y1, -5, 1e-9);
  EXPECT_NEAR(v2.x2, 15, 1e-9);
  EXPECT_NEAR(v2.y2, 15, 1e-9);
}

TEST_F(PaperSpaceTest, BlockContentsOfTheBaseGroupAreOnPaper) {
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"b");
  AddLine(def, Line(0, 0, 10, 0, Attr(15, 0)));
  AddLine(def, Line(0, 0, 10, 0, Attr(2, 0)));
  AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(15, 0)));
  TDXFmodel& m = Convert();
  const TDXF_BlockDef& b = m.deBlockDef[0];
  EXPECT_EQ(b.dmLine[0].spc, 1);
  EXPECT_EQ(b.dmLine[0].x2, 10);
  EXPECT_EQ(b.dmLine[1].spc, 0);
  EXPECT_EQ(b.dmLine[1].x2, 500);  // scaled, not offset into its band
}

TEST_F(ConvertTest, ModelSpaceHasNoViewports) {
  drawing.EntLgrp[3].adScale = 100;
  AddLine(drawing, Line(0, 0, 10, 0, Attr(3, 0)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.deVportN(), 0);
  for (const TDXF_LGroup& g : m.deLgp) EXPECT_EQ(g.n, 0);
  EXPECT_EQ(m.deLine[0].x2, 10);  // group 0 gives the scale: 1
}

}  // namespace
}  // namespace tessa::test
