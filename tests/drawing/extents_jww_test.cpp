// Extents of JWW drawings and JWS symbols built in memory.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "drawing/JwsUnit.h"
#include "drawing/JwwSettingText.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

// The extents the last GetMinMaxZahyo gave.
TJwExtents ext;

constexpr double kDeg = M_PI / 180;

struct Box {
  double x1, y1, x2, y2;
};

void SetExtents(const Box& b) {
  ext.ExtMinX = b.x1;
  ext.ExtMinY = b.y1;
  ext.ExtMaxX = b.x2;
  ext.ExtMaxY = b.y2;
}

void ExpectExtents(const Box& b, const std::string& what) {
  EXPECT_NEAR(ext.ExtMinX, b.x1, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMinY, b.y1, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMaxX, b.x2, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMaxY, b.y2, 1e-9) << what;
}

TEntJwwLine Line(double x1, double y1, double x2, double y2) {
  TEntJwwLine e;
  e.start_x = x1, e.start_y = y1, e.end_x = x2, e.end_y = y2;
  return e;
}

TEntJwwEnko Arc(double cx, double cy, double r, double start, double sweep,
                bool full = false, double ratio = 1.0, double tilt = 0.0) {
  TEntJwwEnko e;
  e.start_x = cx, e.start_y = cy, e.dHankei = r;
  e.radKaishiKaku = start, e.radEnkoKaku = sweep;
  e.dHenpeiRitsu = ratio, e.radKatamukiKaku = tilt;
  e.bZenEnFlg = full ? 1 : 0;
  return e;
}

TEntJwwTen Point(double x, double y) {
  TEntJwwTen e;
  e.start_x = x, e.start_y = y;
  return e;
}

TEntJwwMoji Text(double x1, double y1, double x2, double y2,
                 std::u16string s) {
  TEntJwwMoji e;
  e.start_x = x1, e.start_y = y1, e.end_x = x2, e.end_y = y2;
  e.dSizeX = e.dSizeY = 5;
  e.str = std::move(s);
  return e;
}

// Appends e to one of the lists of a drawing or symbol and keeps
// its count in step.
template <class T>
void Append(std::vector<T>& list, int32_t& n, const T& e) {
  list.push_back(e);
  n = static_cast<int32_t>(list.size());
}
template <class C>
void AddLine(C& d, const TEntJwwLine& e) { Append(d.EntLine, d.EntLineN, e); }
template <class C>
void AddArc(C& d, const TEntJwwEnko& e) { Append(d.EntEnko, d.EntEnkoN, e); }
template <class C>
void AddPoint(C& d, const TEntJwwTen& e) { Append(d.EntTen, d.EntTenN, e); }
template <class C>
void AddText(C& d, const TEntJwwMoji& e) { Append(d.EntMoji, d.EntMojiN, e); }
template <class C>
void AddSolid(C& d, const TEntJwwSolid& e) { Append(d.EntSolid, d.EntSolidN, e); }

class JwwExtents : public ::testing::Test {
 protected:
  void SetUp() override { SetExtents({0, 0, 400, 400}); }
};

TEST_F(JwwExtents, EmptyDrawingGivesTheStartBox) {
  TJwwData d;
  SetExtents({-7, -8, 9, 10});
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 400, 400}, "start values");
}

TEST_F(JwwExtents, SymbolBoxHoldsItsBasePoint) {
  TJwsData s;
  AddLine(s, Line(10, 10, 20, 30));
  ext = s.GetMinMaxZahyo();
  ExpectExtents({0, 0, 20, 30}, "base at origin");

  s.Enthd.BasePoint_x = 50;
  s.Enthd.BasePoint_y = -5;
  ext = s.GetMinMaxZahyo();
  ExpectExtents({10, -5, 50, 30}, "base outside the line");

  TJwsData empty;
  empty.Enthd.BasePoint_x = 3;
  empty.Enthd.BasePoint_y = 4;
  ext = empty.GetMinMaxZahyo();
  ExpectExtents({3, 4, 3, 4}, "empty symbol");
}

TEST_F(JwwExtents, ArcsCountEndsAndTheAxisEndsTheyPass) {
  struct Case {
    const char* what;
    TEntJwwEnko arc;
    Box box;
  } cases[] = {
      {"full circle", Arc(0, 0, 10, 0, 0, true), {-10, -10, 10, 10}},
      {"full circle ignores the sweep", Arc(0, 0, 10, 1.0, 0.2, true),
       {-10, -10, 10, 10}},
      // The box starts at the centre, which stays inside.
      {"quarter from 0", Arc(0, 0, 10, 0, M_PI / 2), {0, 0, 10, 10}},
      {"clockwise sweep through 0", Arc(0, 0, 10, 10 * kDeg, -30 * kDeg),
       {0, 10 * std::sin(-20 * kDeg), 10, 10 * std::sin(10 * kDeg)}},
      {"short arc passing no axis", Arc(0, 0, 10, 100 * kDeg, 20 * kDeg),
       {10 * std::cos(120 * kDeg), 0, 0, 10 * std::sin(100 * kDeg)}},
      {"from 350 through 0", Arc(0, 0, 10, 350 * kDeg, 20 * kDeg),
       {0, 10 * std::sin(-10 * kDeg), 10, 10 * std::sin(10 * kDeg)}},
      {"half ellipse tilted 90", Arc(0, 0, 10, 0, M_PI, false, 0.5, M_PI / 2),
       {-5, -10, 0, 10}},
      {"negative start angle", Arc(0, 0, 10, -350 * kDeg, 90 * kDeg),
       {10 * std::cos(100 * kDeg), 0, 10 * std::cos(10 * kDeg), 10}},
  };
  for (const Case& c : cases) {
    SetExtents({0, 0, 400, 400});
    TJwwData d;
    AddArc(d, c.arc);
    ext = d.GetMinMaxZahyo();
    ExpectExtents(c.box, c.what);
  }
}

TEST_F(JwwExtents, HugeOrNonFiniteAnglesStillFinish) {
  TJwwData d;
  AddArc(d, Arc(0, 0, 10, 1e300, 1e300));
  AddArc(d, Arc(0, 0, 10, std::numeric_limits<double>::quiet_NaN(), 1.0));
  AddArc(d, Arc(0, 0, 10, std::numeric_limits<double>::infinity(), -1.0));
  ext = d.GetMinMaxZahyo();
  EXPECT_TRUE(std::isfinite(ext.ExtMinX));
  EXPECT_TRUE(std::isfinite(ext.ExtMaxY));
  EXPECT_LE(ext.ExtMinX, 0.0);
  EXPECT_GE(ext.ExtMaxX, 0.0);
}

TEST_F(JwwExtents, NonFinitePointsAddNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  TJwwData d;
  AddPoint(d, Point(nan, 1));  // would start the box
  AddPoint(d, Point(2, 3));
  AddPoint(d, Point(inf, -inf));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({2, 3, 2, 3}, "only the finite point");
}

TEST_F(JwwExtents, ImageMarkerAddsThePictureRectangle) {
  TJwwData d;
  AddText(d, Text(0, 0, 10, 0, u"^@BMpic.bmp,100,50"));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 100, 50}, "picture 100 x 50");

  TJwwData noSize;
  AddText(noSize, Text(5, 6, 7, 6, u"^@BMpic.bmp"));
  ext = noSize.GetMinMaxZahyo();
  ExpectExtents({5, 6, 7, 6}, "marker without a size");
}

TEST_F(JwwExtents, TextsCountTheirBaseLineOnly) {
  TJwwData d;
  AddText(d, Text(1, 2, 30, 2, u"tall text"));
  d.EntMoji[0].dSizeY = 100;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({1, 2, 30, 2}, "height not counted");
}

TEST_F(JwwExtents, PointsAreClampedToAHundredMillion) {
  struct Case {
    double x;
    Box box;
  } cases[] = {{5e8, {0, 0, 1e8, 0}},
               {-5e8, {-1e8, 0, 0, 0}},
               {1e308, {0, 0, 1e8, 0}}};
  for (const Case& c : cases) {
    TJwwData d;
    AddPoint(d, Point(0, 0));
    AddPoint(d, Point(c.x, 0));
    ext = d.GetMinMaxZahyo();
    ExpectExtents(c.box, std::to_string(c.x));
  }
}

TEST_F(JwwExtents, SolidsCountCornersOrTheirArcsEllipse) {
  TEntJwwSolid quad;
  quad.start_x = 1, quad.start_y = 1, quad.end_x = 4, quad.end_y = 1;
  quad.DPoint2_x = 4, quad.DPoint2_y = 3, quad.DPoint3_x = -2, quad.DPoint3_y = 3;
  quad.att.nPenStyle = 100;
  TJwwData d;
  AddSolid(d, quad);
  ext = d.GetMinMaxZahyo();
  ExpectExtents({-2, 1, 4, 3}, "quadrilateral");

  TEntJwwSolid arc;  // centre (0, 0), radius 5, ratio 1, tilt 0
  arc.att.nPenStyle = 101;
  arc.end_x = 5, arc.end_y = 1;
  arc.DPoint3_x = 1000, arc.DPoint3_y = 1000;  // not a point here
  TJwwData a;
  AddSolid(a, arc);
  ext = a.GetMinMaxZahyo();
  ExpectExtents({-5, -5, 5, 5}, "arc in a solid record");
}

TEST_F(JwwExtents, DimensionsCountLineTextAndSxfLines) {
  TEntJwwSunpo s;
  s.Sen = Line(0, 0, 10, 0);
  s.Moji = Text(2, 1, 8, 1, u"10");
  s.Ho1 = Line(0, -20, 0, 0);
  s.Ho2 = Line(10, -20, 10, 0);
  s.Te1.start_x = 500, s.Kt2.start_y = -500;  // never counted
  TJwwData d;
  d.EntSunpo.push_back(s);
  d.EntSunpoN = 1;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 10, 1}, "plain dimension");

  d.EntSunpo[0].bSxfMode = 1;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, -20, 10, 1}, "SXF dimension");
}

TEST_F(JwwExtents, BlockCopiesAreMappedByTheirPlacement) {
  TJwwData d;
  TEntJwwBlockDef def;
  def.nNumber = 7;
  def.mLine.push_back(Line(0, 0, 10, 0));
  def.mLineN = 1;
  d.EntBlockDef.push_back(def);
  d.EntBlockDefN = 1;

  TEntJwwBlock ins;
  ins.nNumber = 7, ins.dBairitsuX = ins.dBairitsuY = 1;
  ins.DPKijunTen_x = 100;
  d.EntBlock.push_back(ins);
  ins.DPKijunTen_x = 0, ins.DPKijunTen_y = 100, ins.radKaitenKaku = M_PI / 2;
  d.EntBlock.push_back(ins);
  d.EntBlockN = 2;

  TEntJwwBlockTree a;  // at (100, 0), unrotated
  a.defno = 0, a.x = 100, a.y = 0, a.r1 = 1, a.r2 = 0, a.r3 = 0, a.r4 = 1;
  TEntJwwBlockTree b;  // at (0, 100), rotated by 90 degrees
  b.defno = 0, b.x = 0, b.y = 100, b.r1 = 0, b.r2 = -1, b.r3 = 1, b.r4 = 0;
  d.EntBlockTree = {a, b};
  d.EntBlockTreeN = 2;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 110, 110}, "two copies");

  // A copy scaled by 3 reaches further; a node without a definition, or
  // with an index past the list, adds nothing.
  TEntJwwBlockTree scaled = a;
  scaled.x = -50, scaled.r1 = 3, scaled.r4 = 3;
  TEntJwwBlockTree missing = a;
  missing.defno = -1, missing.x = 9999;
  TEntJwwBlockTree past = a;
  past.defno = 5, past.x = -9999;
  d.EntBlockTree = {a, b, scaled, missing, past};
  d.EntBlockTreeN = 5;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({-50, 0, 110, 110}, "scaled copy, broken nodes");
}

// Enough copies to be mapped on two threads: whichever half holds the
// extreme copies, and even when every copy lies beyond the clamp limit,
// the box is that of all points.
TEST_F(JwwExtents, ManyCopiesGiveTheBoxOfAllPoints) {
  constexpr int32_t kCopies = 40000;
  struct Case {
    const char* what;
    int32_t lowAt, highAt;  // copies holding the extremes
    double base;            // where the other copies lie
    Box box;
  } cases[] = {
      {"extremes in the first half", 3, 100, 0, {-500, 0, 700, 1}},
      {"extremes in the second half", kCopies - 2, kCopies - 9, 0, {-500, 0, 700, 1}},
      {"one in each half", 10, kCopies - 1, 0, {-500, 0, 700, 1}},
      {"all beyond the limit", 5, kCopies - 5, 3e8, {0, 0, 1e8, 1}},
  };
  for (const Case& c : cases) {
    TJwwData d;
    AddPoint(d, Point(0, 0));
    TEntJwwBlockDef def;
    def.mLine.push_back(Line(0, 0, 1, 1));
    def.mLineN = 1;
    d.EntBlockDef.push_back(def);
    d.EntBlockDefN = 1;
    for (int32_t i = 0; i < kCopies; ++i) {
      TEntJwwBlockTree t;
      t.defno = 0, t.r1 = 1, t.r4 = 1;
      t.x = c.base + (i % 97);
      if (i == c.lowAt) t.x = c.base > 0 ? c.base : -500;
      if (i == c.highAt) t.x = c.base > 0 ? 2 * c.base : 699;
      d.EntBlockTree.push_back(t);
    }
    d.EntBlockTreeN = kCopies;
    ext = d.GetMinMaxZahyo();
    ExpectExtents(c.box, c.what);
  }
}

TEST_F(JwwExtents, InsertBaseOnlyStartsTheBox) {
  TJwwData d;
  TEntJwwBlock ins;
  ins.DPKijunTen_x = -3, ins.DPKijunTen_y = -4;
  d.EntBlock = {ins, ins};
  d.EntBlock[1].DPKijunTen_x = 1000;  // a second base point never counts
  d.EntBlockN = 2;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({-3, -4, -3, -4}, "insert without definition");
}

TEST_F(JwwExtents, CountsAreAuthoritative) {
  TJwwData d;
  AddLine(d, Line(0, 0, 1, 1));
  AddLine(d, Line(50, 50, 60, 60));
  d.EntLineN = 1;  // the second record is spare capacity
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 1, 1}, "spare record ignored");

  d.EntLineN = 1000;  // a count larger than the array must not read past it
  d.EntMojiN = 5;
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 60, 60}, "count past the array");
}

TEST_F(JwwExtents, RepeatedCallsGiveTheSameBox) {
  TJwwData d;
  AddArc(d, Arc(5, 5, 2, 0, 0, true));
  AddPoint(d, Point(-1, 20));
  ext = d.GetMinMaxZahyo();
  const Box first{ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY};
  SetExtents({-1000, -1000, 1000, 1000});
  ext = d.GetMinMaxZahyo();
  ExpectExtents(first, "second call");
  ExpectExtents({-1, 3, 7, 20}, "values");
}

TEST(JwSettingText, RecognisesNameEqualsValue) {
  struct Case {
    std::u16string s;
    bool setting;
  } cases[] = {
      {u"Printer_Orientation = 0", true},
      {u"View_Direct2d = 1", true},
      {u"Draw_BmpTOUKA = 1", true},
      {u"A = b c", true},
      {u"Printer_Orientation=0", false},
      {u"Printer Orientation = 0", false},
      {u" = 0", false},
      {u"Name = ", false},
      {u"1Name = 0", false},
      {u"寸法 = 0", false},
      {u"", false},
      {u"plain text", false},
  };
  for (const Case& c : cases) {
    TEntJwwMoji m = Text(0, -1000, 0, -1000, c.s);
    EXPECT_EQ(IsJwSettingText(m), c.setting) << StrToUtf8(c.s);
  }
}

TEST(JwSettingText, OnlyExactlyAtTheSettingsPlace) {
  struct Case {
    double x1, y1, x2, y2;
    bool setting;
  } cases[] = {{0, -1000, 0, -1000, true},
               {-0.0, -1000, 0, -1000, true},
               {0, -1000, 10, -1000, false},
               {0, -1000.0000001, 0, -1000, false},
               {0, 1000, 0, 1000, false},
               {1, -1000, 1, -1000, false}};
  for (const Case& c : cases) {
    TEntJwwMoji m = Text(c.x1, c.y1, c.x2, c.y2, u"View_Direct2d = 1");
    EXPECT_EQ(IsJwSettingText(m), c.setting) << c.x1 << "," << c.y1 << " "
                                             << c.x2 << "," << c.y2;
  }
}

TEST_F(JwwExtents, SettingTextsAreNotDrawingContent) {
  TJwwData d;
  AddText(d, Text(0, -1000, 0, -1000, u"Printer_Orientation = 0"));
  AddText(d, Text(0, -1000, 0, -1000, u"View_Direct2d = 1"));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, 0, 400, 400}, "only setting texts: nothing to box");

  AddText(d, Text(5, 6, 15, 6, u"note"));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({5, 6, 15, 6}, "a real text after them starts the box");

  AddLine(d, Line(1, 1, 2, 2));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({1, 1, 15, 6}, "with a line");

  // The same place with an ordinary string is drawing content.
  AddText(d, Text(0, -1000, 0, -1000, u"GL"));
  ext = d.GetMinMaxZahyo();
  ExpectExtents({0, -1000, 15, 6}, "ordinary text at that place");
}

TEST_F(JwwExtents, SymbolsSkipSettingTextsToo) {
  TJwsData s;
  AddText(s, Text(0, -1000, 0, -1000, u"Printer_PaperSize = 0"));
  AddLine(s, Line(1, 2, 3, 4));
  ext = s.GetMinMaxZahyo();
  ExpectExtents({0, 0, 3, 4}, "symbol");
}

}  // namespace
}  // namespace tessa
