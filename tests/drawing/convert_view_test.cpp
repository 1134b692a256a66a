// Where a converted drawing opens and what its viewports show: the header
// boxes and the opening view hold every entity's full shape, a layout file
// has the limits of its sheet (a symbol those of its contents), and each
// viewport holds what its layer groups draw, inserts' contents included.
// Degenerate drawings still get finite boxes and a view of some size.
#include <cmath>
#include <limits>

#include "convert_test_util.h"
#include "dxf/SaveExtents.h"
#include "dxf/SaveWriter.h"

namespace tessa::test {
namespace {

class ConvertView : public ConvertTest {
 protected:
  void SetUp() override {
    ConvertTest::SetUp();
    ctx.Place.PaperX = 420;  // A3, as the drawings of MakeJwwDrawing have
    ctx.Place.PaperY = 297;
  }
  // Model window (x1, y1, x2, y2) of viewport i.
  static TDXFBox Window(const TDXF_ViewPort& v) {
    TDXFBox b;
    const double w = v.h > 0 ? v.vh * v.w / v.h : 0;
    b.Add(v.vx - w / 2, v.vy - v.vh / 2);
    b.Add(v.vx + w / 2, v.vy + v.vh / 2);
    return b;
  }
  static bool Holds(const TDXFBox& outer, const TDXFBox& inner, double tol = 1e-9) {
    return outer.x1 <= inner.x1 + tol && outer.y1 <= inner.y1 + tol &&
           outer.x2 >= inner.x2 - tol && outer.y2 >= inner.y2 - tol;
  }
  // The opening view is finite, of some size, shows `box`, and is no
  // taller than half as much again as it needs or than the sheet.
  static void ExpectViewShows(const TDXFmodel& m, const TDXFViews& v, const TDXFBox& box) {
    ASSERT_TRUE(std::isfinite(v.viewX) && std::isfinite(v.viewY) && std::isfinite(v.viewH));
    EXPECT_GT(v.viewH, 0);
    const double aspect = m.papx / m.papy, w = v.viewH * aspect;
    EXPECT_LE(v.viewX - w / 2, box.x1);
    EXPECT_GE(v.viewX + w / 2, box.x2);
    EXPECT_LE(v.viewY - v.viewH / 2, box.y1);
    EXPECT_GE(v.viewY + v.viewH / 2, box.y2);
    const double need = std::max(box.Height(), box.Width() / aspect);
    EXPECT_LE(v.viewH, std::max(1.5 * need, DXFHeaderScale(m) * m.papy));
  }
};

TEST_F(ConvertView, TextAtTheTopReachesPastItsInsertionPoint) {
  AddLine(drawing, Line(-100, -50, 100, -50));
  TEntJwwMoji title = Text(-50, 100, u"Title", 8);
  title.end_x = 50;  // the text line runs to (50, 100)
  title.end_y = 100;
  AddMoji(drawing, title);
  const TDXFmodel& m = Convert();
  const TDXFViews v = DXFViews(m);
  // The paper's centre is the drawing's origin; the title rises 8 above
  // its line.
  EXPECT_NEAR(v.space[0].y2, 148.5 + 100 + 8, 1e-9);
  EXPECT_NEAR(v.space[0].y1, 148.5 - 50, 1e-9);
  ExpectViewShows(m, v, v.space[0]);
}

TEST_F(ConvertView, SymbolOffTheOriginOpensOnItsContents) {
  TJwsData s = MakeJwsSymbol();
  AddEnko(s, Circle(5000, 3000, 100));
  AddLine(s, Line(5000, 3000, 5600, 3200));
  // A symbol is placed on no sheet of its own: its paper is its extents,
  // from whose centre it is drawn.
  ctx.Place.Sheet = false;
  ctx.Place.PaperX = 700;
  ctx.Place.PaperY = 300;
  for (int space : {0, 1}) {
    SCOPED_TRACE(space);
    ctx.Opt.Space = space;
    const TDXFmodel& m = ConvertSymbol(s);
    const TDXFViews v = DXFViews(m);
    const TDXFBox drawn = v.space[space];
    EXPECT_NEAR(drawn.x1, 350 + 4900, 1e-9);
    EXPECT_NEAR(drawn.y1, 150 + 2900, 1e-9);
    EXPECT_NEAR(drawn.x2, 350 + 5600, 1e-9);
    EXPECT_NEAR(drawn.y2, 150 + 3200, 1e-9);
    if (space == 0) ExpectViewShows(m, v, drawn);
    // The layout's limits are what paper space holds (its sheet when it
    // holds nothing).
    if (space == 1) {
      EXPECT_EQ(v.paperLimits.x1, drawn.x1);
      EXPECT_EQ(v.paperLimits.y2, drawn.y2);
    }
  }
}

TEST_F(ConvertView, InsertNearAViewportEdgeIsShownWhole) {
  ctx.Opt.Space = 1;
  ctx.Opt.ScaleGroup = 0;
  drawing.EntLgrp[1].adScale = 50;
  TEntJwwBlockDef& def = AddBlockDef(drawing, 7, u"long");
  AddLine(def, Line(0, 0, 3000, 0, Attr(1)));
  AddEnko(def, Circle(3000, 0, 400, Attr(1)));
  AddLine(drawing, Line(-100, -100, 0, 0, Attr(1)));
  // Its insertion point is the band's corner; its contents reach far past.
  AddBlock(drawing, Insert(7, 0, 0, 0, 1, 1, Attr(1)));
  TEntJwwMoji label = Text(-100, -120, u"Label", 4, Attr(1));
  label.end_x = -60;
  label.end_y = -120;
  AddMoji(drawing, label);
  const TDXFmodel& m = Convert();
  const int32_t n = m.deLgp[1].n;
  ASSERT_GE(n, 1);
  const TDXF_ViewPort& vp = m.deVport[static_cast<size_t>(n)];
  const TDXFBox window = Window(vp);
  const TDXFExtents ext(m);
  for (const TDXF_EntNo& step : m.deNo) {
    if (ext.SpaceOf(step) != 0) continue;
    const TDXFBox b = ext.Step(step);
    EXPECT_TRUE(Holds(window, b, 1e-6)) << "kind " << step.tp;
  }
  // Just that, with the 5 mm margin on paper (scale 50: 250 in the model).
  const TDXFBox drawn = ext.Space(0);
  EXPECT_NEAR(window.x2, drawn.x2 + 250, 1e-6);
  EXPECT_NEAR(window.y1, drawn.y1 - 250, 1e-6);
}

TEST_F(ConvertView, EverythingOnPaperLeavesModelSpaceItsSheet) {
  ctx.Opt.Space = 1;
  ctx.Opt.ScaleGroup = 0;
  AddLine(drawing, Line(-150, -100, 150, 100));
  AddEnko(drawing, Circle(0, 0, 20));
  const TDXFmodel& m = Convert();
  const TDXFViews v = DXFViews(m);
  EXPECT_EQ(m.Spa, 1);
  // Model space holds nothing: its box is the sheet at scale 1.
  EXPECT_EQ(v.space[0].x1, 0);
  EXPECT_EQ(v.space[0].y1, 0);
  EXPECT_EQ(v.space[0].x2, 420);
  EXPECT_EQ(v.space[0].y2, 297);
  EXPECT_NEAR(v.space[1].x1, 210 - 150, 1e-9);
  EXPECT_NEAR(v.space[1].y2, 148.5 + 100, 1e-9);
  // A drawing's sheet is its layout's limits.
  EXPECT_EQ(v.paperLimits.x2, 420);
  EXPECT_EQ(v.paperLimits.y2, 297);
  ExpectViewShows(m, v, v.space[0]);
}

// Boxes stay finite and ordered and the view has a size, whatever the
// geometry: all of it at one point, nothing at all, or values as far out
// as a double goes.
TEST_F(ConvertView, DegenerateDrawingsStillGetBoxesAndAView) {
  const double far = std::numeric_limits<double>::max();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* title;
    void (*fill)(TJwwData&, double, double);
  } cases[] = {
      {"every entity at one point",
       [](TJwwData& d, double, double) {
         AddLine(d, Line(5, 5, 5, 5));
         AddEnko(d, Circle(5, 5, 0));
         AddTen(d, Point(5, 5));
       }},
      {"nothing drawn", [](TJwwData&, double, double) {}},
      {"values at the ends of a double",
       [](TJwwData& d, double far, double nan) {
         AddLine(d, Line(-far, -far, far, far));
         AddEnko(d, Circle(far, 0, far));
         AddLine(d, Line(nan, 0, 0, nan));
       }},
  };
  for (const Case& c : cases) {
    for (int space : {0, 1}) {
      SCOPED_TRACE(std::string(c.title) + (space ? ", paper" : ", model"));
      drawing = MakeJwwDrawing(700);
      drawing.EntLgrp[0].adScale = 100;
      c.fill(drawing, far, nan);
      ctx.Opt.Space = space;
      ctx.Opt.ScaleGroup = 1;  // group 0 is drawn through a viewport
      const TDXFmodel& m = Convert();
      const TDXFViews v = DXFViews(m);
      for (const TDXFBox& b : v.space) {
        ASSERT_FALSE(b.Empty());
        for (double x : {b.x1, b.y1, b.x2, b.y2}) EXPECT_TRUE(std::isfinite(x));
      }
      EXPECT_TRUE(std::isfinite(v.viewX) && std::isfinite(v.viewY));
      EXPECT_TRUE(std::isfinite(v.viewH));
      EXPECT_GT(v.viewH, 0);
      for (const TDXF_ViewPort& vp : m.deVport) {
        EXPECT_TRUE(std::isfinite(vp.w) && std::isfinite(vp.h) && std::isfinite(vp.vh));
        EXPECT_GT(vp.h, 0);
      }
    }
  }
}

}  // namespace
}  // namespace tessa::test
