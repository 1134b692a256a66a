#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "attributes/UnitGraAtt.h"

namespace tessa {
namespace {

constexpr uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr uint32_t kWhite = Opaque(255, 255, 255);
constexpr uint32_t kBlack = Opaque(0, 0, 0);

// The preparation the driver performs at start-up.
void PrepareLikeStartup(TgraAttribute& a) {
  a.SetDisplayMode(true);
  a.SetBackColor(0);
  a.SetDefaultColor();
  a.SetDefaultLayer();
  a.SetDefaultWidth();
  a.SetDefaultTenR();
  a.SetDefaultLtype();
  a.SetDispHojo(1);
  a.SetDispKijun(1);
  a.SetGrayColor(Opaque(128, 128, 128));
  a.SetAll1Color(false);
}

TEST(GraAttColour, PenIndexMapping) {
  struct Case {
    int32_t pen;
    int32_t index;
  } cases[] = {{1, 0},     {9, 8},     {101, 9},    {116, 24}, {356, 264},
               {0, -1},    {10, -1},   {100, -1},   {357, -1}, {-1, -1},
               {65535, -1}};
  for (const Case& c : cases)
    EXPECT_EQ(TgraAttribute::AttrColIndex(c.pen), c.index) << "pen " << c.pen;
}

TEST(GraAttColour, ColoursAfterStartup) {
  TgraAttribute a;
  PrepareLikeStartup(a);
  struct Case {
    int32_t pen;
    uint32_t colour;
  } cases[] = {
      {1, Opaque(0, 192, 192)},   {2, kBlack},
      {8, Opaque(255, 0, 128)},   {9, Opaque(255, 128, 255)},
      {101, kBlack},              {102, Opaque(255, 0, 0)},
      {115, Opaque(192, 192, 192)}, {116, Opaque(128, 128, 128)},
      {117, kBlack},              {200, kBlack},
      {356, kBlack},
      // Numbers without an entry answer the background colour.
      {0, kWhite},                {10, kWhite},
      {100, kWhite},              {357, kWhite},
  };
  for (const Case& c : cases)
    EXPECT_EQ(a.GetAttrColcol(c.pen), c.colour) << "pen " << c.pen;
}

TEST(GraAttColour, PointRadiiAfterStartup) {
  TgraAttribute a;
  PrepareLikeStartup(a);
  struct Case {
    int32_t pen;
    double radius;
  } cases[] = {{1, 0.2},   {2, 0.3},   {3, 0.4}, {4, 0.5}, {8, 0.5},
               {9, 0.2},   {101, 0.2}, {150, 0.2}, {356, 0.2},
               {0, 0.1},   {10, 0.1},  {357, 0.1}};
  for (const Case& c : cases)
    EXPECT_EQ(a.GetAttrColten(c.pen), c.radius) << "pen " << c.pen;
}

TEST(GraAttColour, BackgroundChangeDoesNotRecomputePens) {
  TgraAttribute a;
  PrepareLikeStartup(a);
  a.SetBackColor(1);
  EXPECT_EQ(a.GetBackColorNo(), 1);
  EXPECT_EQ(a.GetAttrColcol(2), kBlack);   // table kept
  EXPECT_EQ(a.GetAttrColcol(0), kBlack);   // background follows
  a.SetDefaultColor();
  EXPECT_EQ(a.GetAttrColcol(2), kWhite);
  EXPECT_EQ(a.GetAttrColcol(1), Opaque(0, 255, 255));
  EXPECT_EQ(a.GetAttrColcol(8), Opaque(160, 0, 0));
  EXPECT_EQ(a.GetAttrColcol(200), kWhite);  // foreground on dark
  EXPECT_EQ(a.GetAttrColcol(102), Opaque(255, 0, 0));
}

TEST(GraAttColour, UnknownBackgroundModeChangesNothing) {
  TgraAttribute a;
  PrepareLikeStartup(a);
  for (int32_t n : {5, -1, 2}) {
    a.SetBackColor(n);
    EXPECT_EQ(a.GetBackColorNo(), 0);
    EXPECT_EQ(a.BackColor, kWhite);
    EXPECT_EQ(a.ForeColor, kBlack);
  }
  a.SetBackColor(1);
  a.SetBackColor(7);
  EXPECT_EQ(a.GetBackColorNo(), 1);
  EXPECT_EQ(a.BackColor, kBlack);
}

TEST(GraAttColour, SetAttrColWritesOnlyPensWithAnEntry) {
  TgraAttribute a;
  PrepareLikeStartup(a);
  a.SetAttrCol(2, Opaque(1, 2, 3), 0.5, 0.7);
  a.SetAttrCol(356, Opaque(4, 5, 6), 0.5, 0.9);
  EXPECT_EQ(a.GetAttrColcol(2), Opaque(1, 2, 3));
  EXPECT_EQ(a.GetAttrColten(2), 0.7);
  EXPECT_EQ(a.GetAttrColcol(356), Opaque(4, 5, 6));
  EXPECT_EQ(a.GetAttrColten(356), 0.9);
  // Numbers without an entry are ignored and do not spill into a neighbour.
  for (int32_t pen : {0, 10, 100, 357, -5}) a.SetAttrCol(pen, 0x12345678, 1, 9);
  EXPECT_EQ(a.GetAttrColcol(1), Opaque(0, 192, 192));
  EXPECT_EQ(a.GetAttrColcol(9), Opaque(255, 128, 255));
  EXPECT_EQ(a.GetAttrColcol(101), kBlack);
  EXPECT_EQ(a.GetAttrColcol(10), kWhite);
  EXPECT_EQ(a.GetAttrColten(10), 0.1);
}

TEST(GraAttColour, CreateGivesLightDefaultsAndCounts) {
  TgraAttribute a;
  EXPECT_EQ(a.jwvLayN, 256);
  EXPECT_EQ(a.jwvColN, 265);
  EXPECT_EQ(a.jwvTypN, 50);
  EXPECT_EQ(a.jwvLay.size(), 256u);
  EXPECT_EQ(a.jwvCol.size(), 265u);
  EXPECT_EQ(a.jwvTyp.size(), 50u);
  EXPECT_FALSE(a.DispMode);
  EXPECT_FALSE(a.PrintMode);
  EXPECT_EQ(a.Sikii0, -1);
  EXPECT_EQ(a.Sikii2, -1);
  EXPECT_EQ(a.BackColor, kWhite);
  EXPECT_EQ(a.ForeColor, kBlack);
  EXPECT_EQ(a.GrayColor, Opaque(128, 128, 128));
  EXPECT_EQ(a.GetAttrColcol(1), Opaque(0, 192, 192));
  EXPECT_EQ(a.GetAttrColten(2), 0.3);
}

TEST(GraAttLayer, DefaultNamesUseUpperCaseHexDigits) {
  TgraAttribute a;
  a.SetDefaultLayer();
  struct Case {
    int32_t i;
    std::u16string g, l;
  } cases[] = {{0, u"[0] ", u"(0) "},
               {171, u"[A] ", u"(B) "},
               {255, u"[F] ", u"(F) "},
               {31, u"[1] ", u"(F) "}};
  for (const Case& c : cases) {
    EXPECT_EQ(a.jwvLay[c.i].gna, c.g) << c.i;
    EXPECT_EQ(a.jwvLay[c.i].nam, c.l) << c.i;
    EXPECT_EQ(a.jwvLay[c.i].sta, 1);
    EXPECT_EQ(a.jwvLay[c.i].sca, 1.0);
  }
}

TEST(GraAttLayer, SetAttrLayerValidatesStateScaleAndIndex) {
  TgraAttribute a;
  a.SetAttrLayer(18, 3, 0.01, u"G", u"L");
  EXPECT_EQ(a.jwvLay[18].sta, 3);
  EXPECT_EQ(a.jwvLay[18].sca, 0.01);
  EXPECT_EQ(a.jwvLay[18].gna, u"[1] G");
  EXPECT_EQ(a.jwvLay[18].nam, u"(2) L");

  struct Case {
    int32_t st;
    double sc;
    int32_t sta;
    double sca;
  } cases[] = {{0, 0.0, 1, 1.0}, {4, -2.0, 1, 1.0}, {2, 0.5, 2, 0.5},
               {1, 1e-9, 1, 1e-9}};
  for (const Case& c : cases) {
    a.SetAttrLayer(18, c.st, c.sc);
    EXPECT_EQ(a.jwvLay[18].sta, c.sta) << c.st;
    EXPECT_EQ(a.jwvLay[18].sca, c.sca) << c.sc;
    EXPECT_EQ(a.jwvLay[18].gna, u"[1] G");  // names untouched
  }
  a.SetAttrLayer(18, 2, std::nan(""));
  EXPECT_EQ(a.jwvLay[18].sca, 1.0);

  // Out-of-range indexes change nothing and do not crash.
  a.SetAttrLayer(-1, 2, 5.0, u"x", u"y");
  a.SetAttrLayer(256, 2, 5.0, u"x", u"y");
  a.SetAttrLayer(256, 2, 5.0);
  EXPECT_EQ(a.jwvLay[0].gna, u"[0] ");
  EXPECT_EQ(a.jwvLay[255].sta, 1);
}

TEST(GraAttLtype, SettersKeepWithinTheTable) {
  TgraAttribute a;
  a.SetAttrTypseg_(3, 3);
  a.SetAttrTyppa1_(3, 0, 2.0);
  a.SetAttrTyppa1_(3, 1, -1.5);
  a.SetAttrTyppa1_(3, 2, 0.5);
  a.SetAttrTyppa1_(3, 3, 99.0);  // beyond seg: ignored
  a.SetAttrTypamp_(3, 0.25);
  a.SetAttrTypPit_(3);
  EXPECT_EQ(a.jwvTyp[3].seg, 3);
  EXPECT_EQ(a.jwvTyp[3].pa[3], 0.0);
  EXPECT_EQ(a.jwvTyp[3].pit, 4.0);
  EXPECT_EQ(a.jwvTyp[3].amp, 0.25);

  a.SetAttrTypseg_(4, 1000);
  EXPECT_EQ(a.jwvTyp[4].seg, 32);
  a.SetAttrTypseg_(4, -3);
  EXPECT_EQ(a.jwvTyp[4].seg, 0);

  for (int32_t no : {-1, 50, 1 << 30}) {
    a.SetAttrTypseg_(no, 2);
    a.SetAttrTypamp_(no, 1.0);
    a.SetAttrTyppa1_(no, 0, 1.0);
    a.SetAttrTypPit_(no);
  }
  a.SetDefaultLtype();
  EXPECT_EQ(a.jwvTyp[3].seg, 0);
  EXPECT_EQ(a.jwvTyp[3].pit, 0.0);
}

}  // namespace
}  // namespace tessa
