// JWW conversion details that the other conversion tests leave open: the
// order in which angles change unit, and entities on layers the drawing
// does not have, which still take their place in the extents.
#include "convert_test_util.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa::test {
namespace {

using K = std::vector<int32_t>;

double DegOf(double rad) { return rad * 180 / kPi; }
// The same value multiplied by a rounded 180/pi: what the cases avoid.
double DegRounded(double rad) { return rad * (180 / kPi); }

// Every angle stored in radians becomes degrees as x * 180 / pi.  Each
// case uses a value for which x * (180 / pi) differs in its last bit.
TEST_F(ConvertTest, RadiansBecomeDegreesTimes180ThenOverPi) {
  const double start = 0.1, sweep = 0.8, tilt = 0.4, rotation = 1.1, pointTurn = 3.7;
  for (double x : {start, sweep, tilt, pointTurn})
    ASSERT_NE(NormDeg(DegOf(x)), NormDeg(DegRounded(x))) << x;
  ASSERT_NE(DegOf(rotation), DegRounded(rotation));
  const double textAngle = GetKakudo(10, 7);
  ASSERT_NE(DegOf(textAngle), DegRounded(textAngle));

  AddEnko(drawing, Arc(0, 0, 10, start, sweep));
  TEntJwwEnko ellipse = Arc(0, 0, 10, start, sweep);
  ellipse.dHenpeiRitsu = 0.5;
  ellipse.radKatamukiKaku = tilt;
  AddEnko(drawing, ellipse);
  AddLine(AddBlockDef(drawing, 5, u"b"), Line(0, 0, 1, 0));
  AddBlock(drawing, Insert(5, 0, 0, rotation));
  TEntJwwTen point = Point(0, 0, Attr(0, 0, 1, 100));
  point.nCode = 3;
  point.radKaitenKaku = pointTurn;
  AddTen(drawing, point);
  TEntJwwMoji text = Text(0, 0, u"A");
  text.end_x = 10;
  text.end_y = 7;
  AddMoji(drawing, text);

  TDXFmodel& m = Convert();
  ASSERT_EQ(Kinds(m), (K{DXF_KIND_ARC, DXF_KIND_ELLIPSE, DXF_KIND_BLOCK, DXF_KIND_TEN,
                         DXF_KIND_MOJI}));
  EXPECT_EQ(m.deArc[0].sa, NormDeg(DegOf(start)));
  EXPECT_EQ(m.deArc[0].da, NormDeg(DegOf(sweep)));
  EXPECT_EQ(m.deElli[0].sa, NormDeg(DegOf(start)));
  EXPECT_EQ(m.deElli[0].da, NormDeg(DegOf(sweep)));
  EXPECT_EQ(m.deElli[0].ka, NormDeg(DegOf(tilt)));
  EXPECT_EQ(m.deBlock[0].a, DegOf(rotation));  // not normalised
  EXPECT_EQ(m.deTen[0].a, NormDeg(DegOf(pointTurn)));
  EXPECT_EQ(m.deMoji[0].a, DegOf(textAngle));
}

// The corners of a filled fan lie at degrees turned back into radians as
// t * pi / 180.
TEST_F(ConvertTest, FillCornersTurnDegreesBackAsTimesPiThenOver180) {
  const double start = 0.3;  // radians, as stored
  const double sa = NormDeg(DegOf(start));
  double x = 0, y = 0, xr = 0, yr = 0;
  EllipsePoint(0, 0, 10, 1, 0, sa * kPi / 180, x, y);
  EllipsePoint(0, 0, 10, 1, 0, sa * (kPi / 180), xr, yr);
  ASSERT_TRUE(x != xr || y != yr);
  TEntJwwSolid fan = Solid(0, 0, 10, 1, 0, start, kPi / 2, 0, Attr(0, 0, 1, 101));
  AddSolid(drawing, fan);
  TDXFmodel& m = Convert();
  ASSERT_EQ(m.deSld3N(), 72);
  EXPECT_EQ(m.deSld3[0].x2, x);
  EXPECT_EQ(m.deSld3[0].y2, y);
}

// An entity on a group or layer past 15 is not converted, but it is part
// of the drawing: the extents hold it, dimension lines included.
TEST(LayersPastTheTable, StillCountForTheExtents) {
  struct Case {
    const char* what;
    uint16_t group, layer;
  };
  const Case cases[] = {{"group 16", 16, 0}, {"layer 16", 0, 16}, {"group 300", 300, 2}};
  for (const Case& c : cases) {
    TJwwData d = MakeJwwDrawing(700);
    AddLine(d, Line(0, 0, 10, 10, Attr(0, 0)));
    AddLine(d, Line(-50, -60, 5, 5, Attr(c.group, c.layer)));
    TEntJwwSunpo dim = Dimension(0, 10, 0, u"10", Attr(0, 0));
    dim.Sen = Line(0, 90, 70, 90, Attr(c.group, c.layer));
    AddSunpo(d, dim);
    const TJwExtents ext = d.GetMinMaxZahyo();
    EXPECT_EQ(ext.ExtMinX, -50) << c.what;
    EXPECT_EQ(ext.ExtMinY, -60) << c.what;
    EXPECT_EQ(ext.ExtMaxX, 70) << c.what;
    EXPECT_EQ(ext.ExtMaxY, 90) << c.what;
  }
}

}  // namespace
}  // namespace tessa::test
