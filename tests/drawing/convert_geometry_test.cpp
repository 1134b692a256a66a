// Conversion of lines, arcs, points and solids: position on the paper,
// scale, layer, colour, line type, lineweight, and the kinds of solid.
#include <cmath>

#include "convert_test_util.h"
#include "param_names.h"

namespace tessa::test {
namespace {

using K = std::vector<int32_t>;

// Colour, line type or width as it takes effect: 0 means the layer's own.
int32_t Eff(int32_t v, int32_t layerValue) { return v == 0 ? layerValue : v; }

// ---- Placement and scale ---------------------------------------------------------------

TEST_F(ConvertTest, DrawingPointsGoFromPaperCentreToLowerLeftAtDrawingScale) {
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  drawing.EntLgrp[0].adScale = 100;  // the base group gives every group its scale
  drawing.EntLgrp[5].adScale = 1;
  AddLine(drawing, Line(-210, -148.5, 0, 0, Attr(5, 0)));
  AddEnko(drawing, Circle(10, 20, 3, Attr(5, 1)));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deLineN(), 1);
  const TDXF_Line& l = m.deLine[0];
  EXPECT_EQ(l.x1, 0);
  EXPECT_EQ(l.y1, 0);
  EXPECT_EQ(l.x2, 21000);
  EXPECT_EQ(l.y2, 14850);
  EXPECT_EQ(l.spc, 0);
  EXPECT_EQ(l.lay, DxfLayer(5, 0));
  ASSERT_EQ(m.deCircN(), 1);
  EXPECT_EQ(m.deCirc[0].x, 22000);
  EXPECT_EQ(m.deCirc[0].y, 16850);
  EXPECT_EQ(m.deCirc[0].r, 300);
}

TEST_F(ConvertTest, BaseGroupOptionChoosesTheScale) {
  ctx.Opt.ScaleGroup = 15;
  drawing.EntLgrp[0].adScale = 100;
  drawing.EntLgrp[15].adScale = 20;
  AddLine(drawing, Line(0, 0, 10, 0, Attr(0, 0)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.deLine[0].x2, 200);
  EXPECT_EQ(m.pscale, 20);
}

// ---- Layer, colour, line type, lineweight ---------------------------------------------------

struct AuxCase {
  const char* what;
  int kind;  // 1 line, 3 point, 4 text, 6 solid, 7 insert
  uint16_t colour;
  uint8_t style;
  bool onHojo;
};
std::ostream& operator<<(std::ostream& os, const AuxCase& c) { return os << c.what; }

class AuxLayerTest : public ConvertTest, public ::testing::WithParamInterface<AuxCase> {};

TEST_P(AuxLayerTest, AuxiliaryItemsGoToHojo) {
  const AuxCase& c = GetParam();
  const TEntJwwAttr a = Attr(2, 3, c.colour, c.style);
  AddBlockDef(drawing, 1, u"b");
  switch (c.kind) {
    case 1: AddLine(drawing, Line(0, 0, 1, 1, a)); break;
    case 3: AddTen(drawing, Point(0, 0, a)); break;
    case 4: AddMoji(drawing, Text(0, 0, u"x", 2, a)); break;
    case 6: AddSolid(drawing, Solid(0, 0, 1, 0, 1, 1, 0, 1, a)); break;
    case 7: AddBlock(drawing, Insert(1, 0, 0, 0, 1, 1, a)); break;
  }
  TDXFmodel& m = Convert();
  int32_t lay = -1;
  switch (c.kind) {
    case 1: lay = m.deLine.at(0).lay; break;
    case 3: lay = m.deTen.at(0).lay; break;
    case 4: lay = m.deMoji.at(0).lay; break;
    case 6: lay = m.deSld4.at(0).lay; break;
    case 7: lay = m.deBlock.at(0).lay; break;
  }
  EXPECT_EQ(lay, c.onHojo ? 2 : DxfLayer(2, 3)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AuxLayerTest,
    ::testing::Values(AuxCase{"line, auxiliary style", 1, 1, 9, true},
                      AuxCase{"line, auxiliary colour", 1, 9, 1, true},
                      AuxCase{"line, plain", 1, 1, 1, false},
                      AuxCase{"point, auxiliary style", 3, 1, 9, false},
                      AuxCase{"point, auxiliary colour", 3, 9, 1, true},
                      AuxCase{"text, auxiliary style", 4, 1, 9, false},
                      AuxCase{"text, auxiliary colour", 4, 9, 1, true},
                      AuxCase{"solid, auxiliary style", 6, 1, 9, true},
                      AuxCase{"solid, auxiliary colour", 6, 9, 1, true},
                      AuxCase{"insert, auxiliary style", 7, 1, 9, true},
                      AuxCase{"insert, auxiliary colour", 7, 9, 1, true}),
    testing_support::NameByPrinting<>());

TEST_F(ConvertTest, ColourLineTypeAndLineweightOfALine) {
  // The layer is decided by two other lines, so the third one's own values
  // are written explicitly.
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 0, 2, 1)));
  AddLine(drawing, Line(0, 1, 1, 1, Attr(0, 0, 2, 1)));
  AddLine(drawing, Line(0, 2, 1, 2, AttrW(0, 0, 103, 33, 30)));
  AddLine(drawing, Line(0, 3, 1, 3, AttrW(0, 0, 500, 12, 7)));  // no such pen
  TDXFmodel& m = Convert();
  const TDXF_Layer& lay = m.lays[DxfLayer(0, 0)];
  EXPECT_EQ(lay.col, 7);
  EXPECT_EQ(m.deLine[2].col, 3);
  EXPECT_EQ(m.deLine[2].typ, 21);  // code 33: the third SXF line type
  EXPECT_EQ(m.deLine[2].wid, 30);
  EXPECT_EQ(Eff(m.deLine[3].col, lay.col), 7);  // the background colour, white
  EXPECT_EQ(m.deLine[3].typ, 11);
  EXPECT_EQ(m.deLine[3].wid, 5);
}

// ---- Arcs --------------------------------------------------------------------------------

struct ArcCase {
  const char* what;
  double start, sweep, tilt, ratio;
  int32_t kind;
  double sa, da, ka, he;  // as stored by the model for that kind
};
std::ostream& operator<<(std::ostream& os, const ArcCase& c) { return os << c.what; }

class ArcTest : public ConvertTest, public ::testing::WithParamInterface<ArcCase> {};

TEST_P(ArcTest, AnglesBecomeDegrees) {
  const ArcCase& c = GetParam();
  TEntJwwEnko e = Arc(0, 0, 10, c.start, c.sweep);
  e.radKatamukiKaku = c.tilt;
  e.dHenpeiRitsu = c.ratio;
  AddEnko(drawing, e);
  TDXFmodel& m = Convert();
  ASSERT_EQ(Kinds(m), K{c.kind}) << c.what;
  if (c.kind == DXF_KIND_ARC) {
    EXPECT_NEAR(m.deArc[0].sa, c.sa, 1e-9) << c.what;
    EXPECT_NEAR(m.deArc[0].da, c.da, 1e-9) << c.what;
  } else if (c.kind == DXF_KIND_ELLIPSE) {
    const TDXF_Ellipse& el = m.deElli[0];
    EXPECT_NEAR(el.sa, c.sa, 1e-9) << c.what;
    EXPECT_NEAR(el.da, c.da, 1e-9) << c.what;
    EXPECT_NEAR(el.ka, c.ka, 1e-9) << c.what;
    EXPECT_EQ(el.he, c.he) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArcTest,
    ::testing::Values(
        ArcCase{"full turn is a circle", 0, 2 * kPi, 0, 1, DXF_KIND_CIRCLE, 0, 0, 0, 1},
        ArcCase{"clockwise arc runs from its other end", kPi, -kPi / 2, 0, 1, DXF_KIND_ARC, 90,
                90, 0, 1},
        ArcCase{"negative start", -kPi / 2, kPi / 2, 0, 1, DXF_KIND_ARC, 270, 90, 0, 1},
        ArcCase{"ratio next to 1 is a circle", 0, 2 * kPi, 0, 1 + 1e-13, DXF_KIND_CIRCLE, 0, 0,
                0, 1},
        ArcCase{"full tilt is none", kPi / 4, kPi, 2 * kPi, 0.5, DXF_KIND_ELLIPSE, 45, 180, 0,
                0.5},
        ArcCase{"whole ellipse", 0, 2 * kPi, kPi / 6, 0.5, DXF_KIND_ELLIPSE, 0, 0, 30, 0.5},
        ArcCase{"tilted circular arc starts later", 0, kPi / 2, kPi / 6, 1, DXF_KIND_ARC, 30, 90,
                0, 1}),
    testing_support::NameByPrinting<>());

// ---- Points ----------------------------------------------------------------------------------

TEST_F(ConvertTest, TemporaryPointIsAHojoCircleOfThePointSize) {
  ctx.Opt.TenSize = 1;
  drawing.EntLgrp[0].adScale = 50;
  TEntJwwTen p = Point(2, 3, AttrW(4, 5, 1, 1, 30));
  p.bKariten = 1;
  AddTen(drawing, p);
  TDXFmodel& m = Convert();
  ASSERT_EQ(Kinds(m), K{DXF_KIND_CIRCLE});
  const TDXF_Circle& c = m.deCirc[0];
  EXPECT_EQ(c.lay, 2);
  EXPECT_EQ(c.col, 0);
  EXPECT_EQ(c.typ, 0);
  EXPECT_EQ(c.wid, 30);
  EXPECT_EQ(c.r, 50);
  EXPECT_EQ(c.x, 100);
  EXPECT_EQ(c.y, 150);
}

struct PointCase {
  const char* what;
  uint8_t style;
  uint16_t colour, width;
  uint32_t kariten, code;
  double rotation, magnification, scale;
  int32_t wantCode;
  double wantAngle, wantBa;
  int32_t wantWid;
};
std::ostream& operator<<(std::ostream& os, const PointCase& c) { return os << c.what; }

class PointTest : public ConvertTest, public ::testing::WithParamInterface<PointCase> {};

TEST_P(PointTest, PointFields) {
  const PointCase& c = GetParam();
  drawing.EntLgrp[0].adScale = c.scale;
  TEntJwwTen p = Point(0, 0, AttrW(0, 0, c.colour, c.style, c.width));
  p.bKariten = c.kariten;
  p.nCode = c.code;
  p.radKaitenKaku = c.rotation;
  p.dBairitsu = c.magnification;
  AddTen(drawing, p);
  TDXFmodel& m = Convert();
  ASSERT_EQ(Kinds(m), K{DXF_KIND_TEN}) << c.what;
  const TDXF_Ten& t = m.deTen[0];
  EXPECT_EQ(t.cod, c.wantCode) << c.what;
  EXPECT_NEAR(t.a, c.wantAngle, 1e-12) << c.what;
  EXPECT_NEAR(t.ba, c.wantBa, 1e-12) << c.what;
  EXPECT_EQ(Eff(t.wid, m.lays[t.lay].wid), c.wantWid) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointTest,
    ::testing::Values(
        // Pen 1 has a point radius of 0.2; half the pen width is added.
        PointCase{"plain point", 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0.7, 5},
        PointCase{"special point", 100, 1, 30, 0, 3, kPi / 2, 2, 10, 3, 90, 20, 30},
        // Code 0 takes the plain point's size; the rotation stays.
        PointCase{"special point of code 0 is plain", 100, 3, 0, 0, 0, kPi, 5, 2, 0, 180, 0.8, 5},
        PointCase{"extra data only with style 100", 1, 1, 0, 0, 3, kPi, 5, 1, 0, 0, 0.2, 5},
        // Only the value 1 marks a temporary point.
        PointCase{"kariten 2 is a real point", 1, 1, 0, 2, 0, 0, 1, 1, 0, 0, 0.2, 5}),
    testing_support::NameByPrinting<>());

// ---- Solids ----------------------------------------------------------------------------------

TEST_F(ConvertTest, SolidCornersDecideLineTriangleOrQuadrilateral) {
  AddSolid(drawing, Solid(0, 0, 10, 0, 0, 0, 10, 0, Attr(0, 1)));   // P3 = P1, P4 = P2
  AddSolid(drawing, Solid(0, 0, 10, 0, 5, 5, 5, 5, Attr(0, 1)));    // P4 = P3
  AddSolid(drawing, Solid(0, 0, 10, 0, 10, 0, 5, 5, Attr(0, 1)));   // P3 = P2, P4 apart
  AddSolid(drawing, Solid(0, 0, 10, 0, 10, 10, 0, 10, Attr(0, 1))); // four corners
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), (K{DXF_KIND_LINE, DXF_KIND_SOLID3, DXF_KIND_SOLID4, DXF_KIND_SOLID4}));
  EXPECT_EQ(Eff(m.deLine[0].typ, m.lays[DxfLayer(0, 1)].ltp), 1);
  EXPECT_EQ(m.deSld3[0].x3, 5);
  EXPECT_EQ(m.deSld4[1].x4, 0);
  EXPECT_EQ(m.deSld4[1].y4, 10);
}

// Corners are compared as stored: a shift onto a large paper must not make
// distinct corners equal.
TEST_F(ConvertTest, SolidCornersAreComparedBeforeTheShift) {
  ctx.Place.PaperX = 4000;
  ctx.Place.PaperY = 4000;
  AddSolid(drawing, Solid(0, 0, 10, 0, 2e-14, 0, 10, 0));  // P3 just off P1, P4 = P2
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), K{DXF_KIND_SOLID3});
}

TEST_F(ConvertTest, SolidWithItsOwnColour) {
  TEntJwwSolid s = Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, 10, 1));
  s.Color = 0x0000FF;
  AddSolid(drawing, s);
  AddSolid(drawing, Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, 2, 1)));
  AddSolid(drawing, Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, 2, 1)));
  TDXFmodel& m = Convert();
  EXPECT_EQ(m.deSld4[0].col, 1);
}

TEntJwwSolid ArcSolid(uint8_t style, double r, double ratio, double start, double sweep,
                      double mode) {
  TEntJwwSolid s = Solid(0, 0, r, ratio, 0, start, sweep, mode, Attr(0, 0, 1, style));
  return s;
}

TEST_F(ConvertTest, ArcOutlineSolid) {
  AddSolid(drawing, ArcSolid(111, 10, 1, 0, kPi / 2, 0));
  AddSolid(drawing, ArcSolid(111, 10, 1, 0, kPi / 2, 100));  // mode 100: the whole curve
  AddSolid(drawing, ArcSolid(111, 10, 0.5, 0, kPi / 2, 100));
  AddSolid(drawing, ArcSolid(102, 10, 1, 0, kPi / 2, 0));    // not drawn
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), (K{DXF_KIND_ARC, DXF_KIND_CIRCLE, DXF_KIND_ELLIPSE}));
  EXPECT_NEAR(m.deArc[0].da, 90, 1e-12);
  EXPECT_EQ(m.deElli[0].da, 0);
}

// The pieces of a filled arc, as (x, y) of the three corners of solid k.
TDXF_Solid3 Piece(const TDXFmodel& m, int k) { return m.deSld3.at(k); }

TEST_F(ConvertTest, FilledFanFromCentre) {
  AddSolid(drawing, ArcSolid(101, 10, 1, 0, kPi / 2, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deSld3N(), 72);
  EXPECT_EQ(m.deNoN(), 72);
  const TDXF_Solid3 first = Piece(m, 0);
  EXPECT_EQ(first.x1, 0);
  EXPECT_EQ(first.y1, 0);
  EXPECT_NEAR(first.x2, 10, 1e-12);
  EXPECT_NEAR(first.y2, 0, 1e-12);
  EXPECT_NEAR(first.x3, 10 * std::cos(1.25 * kPi / 180), 1e-12);
  EXPECT_NEAR(first.y3, 10 * std::sin(1.25 * kPi / 180), 1e-12);
  const TDXF_Solid3 last = Piece(m, 71);
  EXPECT_NEAR(last.x3, 0, 1e-12);
  EXPECT_NEAR(last.y3, 10, 1e-12);
}

TEST_F(ConvertTest, FilledFanModes) {
  AddSolid(drawing, ArcSolid(101, 10, 1, 0, kPi / 2, 100));  // full disc
  AddSolid(drawing, ArcSolid(101, 10, 1, 0, kPi / 2, 5));    // segment
  AddSolid(drawing, ArcSolid(101, 10, 1, 0, kPi / 2, 1));    // between the end tangents
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deSld3N(), 216);
  const TDXF_Solid3 disc = Piece(m, 71);
  EXPECT_EQ(disc.x1, 0);
  EXPECT_NEAR(disc.x3, 10, 1e-12);  // back where it started: the whole circle
  EXPECT_NEAR(disc.y3, 0, 1e-12);
  const TDXF_Solid3 segment = Piece(m, 72);
  EXPECT_NEAR(segment.x1, 5, 1e-12);
  EXPECT_NEAR(segment.y1, 5, 1e-12);
  const TDXF_Solid3 tangents = Piece(m, 144);
  EXPECT_NEAR(tangents.x1, 10, 1e-9);
  EXPECT_NEAR(tangents.y1, 10, 1e-9);
}

TEST_F(ConvertTest, FilledRings) {
  AddSolid(drawing, ArcSolid(105, 10, 0.5, 0, 2 * kPi, 4));
  AddSolid(drawing, ArcSolid(106, 10, 0.5, 0, 2 * kPi, 4));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deSld4N(), 144);
  // Same ratio: inner point at 90 degrees is (0, 4 * 0.5).
  const TDXF_Solid4& same = m.deSld4[17];  // from 85 to 90 degrees
  EXPECT_NEAR(same.x2, 0, 1e-12);
  EXPECT_NEAR(same.y2, 5, 1e-12);
  EXPECT_NEAR(same.x3, 0, 1e-12);
  EXPECT_NEAR(same.y3, 2, 1e-12);
  // Constant width: 6 along the major axis and 6 along the minor one.
  const TDXF_Solid4& width = m.deSld4[72 + 17];
  EXPECT_NEAR(width.y2 - width.y3, 6, 1e-12);
  const TDXF_Solid4& start = m.deSld4[72];
  EXPECT_NEAR(start.x1 - start.x4, 6, 1e-12);
}

// A constant-width ring whose inner radius is 0 fills the whole ellipse:
// every piece reaches the centre, and no coordinate is lost to 0 / 0.
TEST_F(ConvertTest, ConstantWidthRingOfInnerRadiusZero) {
  AddSolid(drawing, ArcSolid(106, 10, 0.5, 0, 2 * kPi, 0));
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deNoN(), 72);
  EXPECT_EQ(m.deSld3N(), 72);  // the two inner corners coincide
  for (const TDXF_Solid3& s : m.deSld3) {
    for (double v : {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3}) ASSERT_TRUE(std::isfinite(v));
    EXPECT_EQ(s.x3, 0);
    EXPECT_EQ(s.y3, 0);
  }
}

// ---- Layers that do not exist ---------------------------------------------------------------

TEST_F(ConvertTest, EntitiesBeyondGroupOrLayer15AreLeftOut) {
  AddLine(drawing, Line(0, 0, 1, 0, Attr(16, 0)));
  AddLine(drawing, Line(0, 0, 1, 0, Attr(0, 16)));
  AddEnko(drawing, Circle(0, 0, 1, Attr(300, 0)));
  AddLine(drawing, Line(0, 0, 1, 0, Attr(15, 15)));
  TEntJwwSunpo dim = Dimension(0, 10, 0, u"10", Attr(0, 0));
  dim.Sen.att = Attr(0, 20);
  AddSunpo(drawing, dim);
  TDXFmodel& m = Convert();
  EXPECT_EQ(Kinds(m), (K{DXF_KIND_LINE, DXF_KIND_MOJI}));
  EXPECT_EQ(m.deLine[0].lay, DxfLayer(15, 15));
}

}  // namespace
}  // namespace tessa::test
