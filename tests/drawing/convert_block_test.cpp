// Conversion of block definitions, their contents and inserts, and the
// paper-space layout of layer groups with viewports.
#include "convert_test_util.h"

#include <cmath>
#include <limits>

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

TEST_F(PaperSpaceTest, ViewportShowsItsEntitiesAndWhatItsInsertsPlace) {
  ctx.Place.PaperX = 0;
  ctx.Place.PaperY = 0;
  AddLine(drawing, Line(10, 10, 110, 60, Attr(0, 0)));
  AddLine(drawing, Line(-500, -500, 500, 500, Attr(15, 0)));  // on paper: no viewport of its own
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"far");
  AddLine(def, Line(1000, 1000, 2000, 2000, Attr(0, 0)));  // far from the insertion point
  AddBlock(drawing, Insert(1, 60, 35, 0, 1, 1, Attr(0, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deVportN(), 4);
  // From (10, 10) to the placed contents' (2060, 2035), 5 mm around.
  const TDXF_ViewPort& v = m.deVport[1];
  EXPECT_EQ(v.cx, 1035);
  EXPECT_EQ(v.cy, 1022.5);
  EXPECT_EQ(v.w, 2060);
  EXPECT_EQ(v.h, 2035);
  EXPECT_EQ(v.vx, 103500);
  EXPECT_EQ(v.vy, 102250);
  EXPECT_EQ(v.vh, 203500);
  EXPECT_EQ(m.deBlockDef[0].dmLine[0].spc, 0);
}

TEST_F(PaperSpaceTest, ViewportsHoldArcsTextsAndFills) {
  ctx.Place.PaperX = 0;
  ctx.Place.PaperY = 0;
  AddEnko(drawing, Circle(100, 100, 10, Attr(0, 0)));
  AddMoji(drawing, Text(0, 0, u"abc", 5, Attr(1, 0)));  // 15 long, 5 high
  TEntJwwSolid fan = Solid(0, 0, 10, 1, 0, 0, kPi / 2, 0, Attr(2, 0, 1, 101));
  AddSolid(drawing, fan);
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deVportN(), 4);
  // Groups 0 and 1 share viewport 1: the circle and the text box, which
  // reaches a third of the text's height below its line.
  const TDXF_ViewPort& v1 = m.deVport[1];
  EXPECT_NEAR(v1.x1, -5, 1e-9);
  EXPECT_NEAR(v1.y1, -5 - 5.0 / 3, 1e-9);
  EXPECT_NEAR(v1.x2, 115, 1e-9);
  EXPECT_NEAR(v1.y2, 115, 1e-9);
  // The fan: centre and quarter circle.
  const TDXF_ViewPort& v2 = m.deVport[2];
  EXPECT_NEAR(v2.x1, -5, 1e-9);
  EXPECT_NEAR(v2.y1, -5, 1e-9);
  EXPECT_NEAR(v2.x2, 15, 1e-9);
  EXPECT_NEAR(v2.y2, 15, 1e-9);
}

// Placed on paper (the base group), a definition's contents are drawn at
// full size whatever their own groups, and carry no paper-space flag: the
// insert places them.
TEST_F(PaperSpaceTest, BlockPlacedOnPaperIsDrawnAtFullSize) {
  TEntJwwBlockDef& def = AddBlockDef(drawing, 1, u"b");
  AddLine(def, Line(0, 0, 10, 0, Attr(15, 0)));
  AddLine(def, Line(0, 0, 10, 0, Attr(2, 0)));
  AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(15, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 1);
  const TDXF_BlockDef& b = m.deBlockDef[0];
  EXPECT_EQ(b.dmLine[0].spc, 0);
  EXPECT_EQ(b.dmLine[0].x2, 10);
  EXPECT_EQ(b.dmLine[1].spc, 0);
  EXPECT_EQ(b.dmLine[1].x2, 10);  // not its own group's 50, nor offset into a band
  EXPECT_EQ(m.deBlock[0].spc, 1);
}

// A symbol placed on paper and from groups of scales 100 and 50, holding a
// nested symbol from a group of yet another scale; the nested one is also
// placed directly.  Each is written once per scale that places it, its
// contents drawn at that scale.
class NestedPaperBlocksTest : public PaperSpaceTest {
 protected:
  void SetUp() override {
    PaperSpaceTest::SetUp();
    TEntJwwBlockDef& inner = AddBlockDef(drawing, 2, u"inner");
    AddLine(inner, Line(0, 0, 10, 0, Attr(3, 0)));  // group of scale 1
    TEntJwwBlockDef& outer = AddBlockDef(drawing, 1, u"outer");
    AddLine(outer, Line(0, 0, 4, 0, Attr(0, 0)));   // group of scale 100
    AddBlock(outer, Insert(2, 5, 0, 0, 1, 1, Attr(7, 0)));
    AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(15, 0)));  // on paper
    AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(0, 0)));   // scale 100
    AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(2, 0)));   // scale 50
    AddBlock(drawing, Insert(2, 0, 0, 0, 1, 1, Attr(1, 0)));   // scale 100
  }
};

TEST_F(NestedPaperBlocksTest, EachScaleThatPlacesADefinitionGetsItsOwnCopy) {
  TDXFmodel& m = Convert();
  struct Variant {
    const char16_t* name;
    double sc;
  };
  // In list order, scales ascending; the model makes the names unique.
  const Variant want[] = {{u"inner", 1},   {u"inner_1", 50},  {u"inner_2", 100},
                          {u"outer", 1},   {u"outer_1", 50},  {u"outer_2", 100}};
  ASSERT_EQ(m.deBlockDefN(), 6);
  for (int i = 0; i < 6; ++i) {
    const TDXF_BlockDef& b = m.deBlockDef[i];
    const double sc = want[i].sc;
    SCOPED_TRACE(i);
    EXPECT_EQ(b.nam, want[i].name);
    ASSERT_EQ(b.dmLineN(), 1);
    EXPECT_EQ(b.dmLine[0].x2, (i < 3 ? 10 : 4) * sc);
    EXPECT_EQ(b.dmLine[0].spc, 0);
    if (i < 3) continue;
    // The nested copy is the inner definition of the same scale.
    ASSERT_EQ(b.dmBlockN(), 1);
    EXPECT_EQ(b.dmBlock[0].bln, i - 3);
    EXPECT_EQ(b.dmBlock[0].x, 5 * sc);
    EXPECT_EQ(b.dmBlock[0].bx, 1);
    EXPECT_EQ(b.dmBlock[0].spc, 0);
  }
  // Each insert of the drawing names the copy of its own group's scale and
  // keeps its place and space.
  ASSERT_EQ(m.deBlockN(), 4);
  EXPECT_EQ(m.deBlock[0].bln, 3);
  EXPECT_EQ(m.deBlock[0].spc, 1);
  EXPECT_EQ(m.deBlock[0].x, 210);
  EXPECT_EQ(m.deBlock[1].bln, 5);
  EXPECT_EQ(m.deBlock[1].x, 21000);
  EXPECT_EQ(m.deBlock[2].bln, 4);
  EXPECT_EQ(m.deBlock[2].x, 210 * 50 + 84000);
  EXPECT_EQ(m.deBlock[3].bln, 2);
  EXPECT_EQ(m.deBlock[3].spc, 0);
}

TEST_F(NestedPaperBlocksTest, ModelSpaceKeepsOneDefinitionEach) {
  ctx.Opt.Space = 0;
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 2);
  // Every group takes the base group's scale, 1.
  EXPECT_EQ(m.deBlockDef[0].dmLine[0].x2, 10);
  EXPECT_EQ(m.deBlockDef[1].dmLine[0].x2, 4);
  EXPECT_EQ(m.deBlockDef[1].dmBlock[0].bln, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.deBlock[i].bln, i < 3 ? 1 : 0);
}

// Definitions that place each other (or themselves) would nest without
// end: such inserts place nothing, and a definition reached only through
// them is written once with its contents at their own scale.
TEST_F(PaperSpaceTest, InsertsClosingALoopPlaceNothing) {
  TEntJwwBlockDef& a = AddBlockDef(drawing, 1, u"a");
  AddLine(a, Line(0, 0, 1, 0, Attr(3, 0)));
  AddBlock(a, Insert(2, 0, 0));
  TEntJwwBlockDef& b = AddBlockDef(drawing, 2, u"b");
  AddLine(b, Line(0, 0, 1, 0, Attr(2, 0)));
  AddBlock(b, Insert(1, 0, 0));
  AddBlock(b, Insert(2, 0, 0));
  AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(0, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 2);
  EXPECT_EQ(m.deBlockDef[0].nam, u"a");
  EXPECT_EQ(Kinds(m.deBlockDef[0]), K{DXF_KIND_LINE});
  EXPECT_EQ(m.deBlockDef[0].dmLine[0].x2, 100);
  EXPECT_EQ(m.deBlockDef[1].nam, u"b");
  EXPECT_EQ(Kinds(m.deBlockDef[1]), K{DXF_KIND_LINE});
  EXPECT_EQ(m.deBlockDef[1].dmLine[0].x2, 50);  // its line's own group
  EXPECT_EQ(m.deBlock[0].bln, 0);
}

// A damaged drawing's group scale that is not a number is still one
// scale: the definition gets one copy for it however many inserts use it.
TEST_F(PaperSpaceTest, ScaleThatIsNotANumberIsOneScale) {
  drawing.EntLgrp[1].adScale = std::numeric_limits<double>::quiet_NaN();
  AddLine(AddBlockDef(drawing, 1, u"b"), Line(0, 0, 1, 0, Attr(1, 0)));
  for (int i = 0; i < 5; ++i) AddBlock(drawing, Insert(1, i, 0, 0, 1, 1, Attr(1, 0)));
  AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(15, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 2);
  EXPECT_EQ(m.deBlockDef[0].dmLine[0].x2, 1);  // scale 1 first, the other last
  EXPECT_TRUE(std::isnan(m.deBlockDef[1].dmLine[0].x2));
  ASSERT_EQ(m.deBlockN(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(m.deBlock[i].bln, i < 5 ? 1 : 0) << i;
}

// An insert on a layer that does not exist is not converted and places
// nothing; the definition it alone uses is written once, at its contents'
// own scale.
TEST_F(PaperSpaceTest, InsertsOnMissingLayersPlaceNothing) {
  TEntJwwBlockDef& p = AddBlockDef(drawing, 1, u"p");
  AddBlock(p, Insert(2, 0, 0, 0, 1, 1, Attr(3, 16)));
  AddLine(AddBlockDef(drawing, 2, u"q"), Line(0, 0, 10, 0, Attr(2, 0)));
  AddLine(AddBlockDef(drawing, 3, u"r"), Line(0, 0, 10, 0, Attr(2, 0)));
  AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, Attr(0, 0)));
  AddBlock(drawing, Insert(3, 0, 0, 0, 1, 1, Attr(16, 0)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deBlockDefN(), 3);
  EXPECT_EQ(m.deBlockDef[0].dmBlockN(), 0);
  for (int i : {1, 2}) {
    EXPECT_EQ(m.deBlockDef[i].dmLine[0].x2, 500) << i;
    EXPECT_EQ(m.deBlockDef[i].dmLine[0].spc, 0) << i;
  }
  ASSERT_EQ(m.deBlockN(), 1);
  EXPECT_EQ(m.deBlock[0].bln, 0);
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
