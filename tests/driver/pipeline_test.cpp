// Load pipelines of the driver: start-up and shut-down of the containers
// and attribute tables, paper sizes, failures, the attribute steps and the
// bound images, on drawings written by the fixture writers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"
#include "attributes/UnitGraAtt.h"
#include "gzip.h"
#include "samples.h"
#include "temp_folder.h"
#include "driver/Unit1.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr uint32_t kWhite = Opaque(255, 255, 255);
constexpr uint32_t kBlack = Opaque(0, 0, 0);

class Pipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = tmp_.Path();
    ASSERT_FALSE(dir_.empty());
    form_.AppDir = dir_ + "/";
    form_.cb3 = 0;
    form_.JwInit();
  }
  void TearDown() override { form_.JwFine(); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  std::string WriteJww(const std::string& name, const TJwwData& d,
                       const test::TJwwWriteOptions& o = {}) {
    const std::string p = Path(name);
    EXPECT_TRUE(test::WriteJwwFile(p, d, o));
    return p;
  }
  std::string WriteJws(const std::string& name, const TJwsData& d) {
    const std::string p = Path(name);
    EXPECT_TRUE(test::WriteJwsFile(p, d));
    return p;
  }
  std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& b) {
    const std::string p = Path(name);
    EXPECT_TRUE(fixture::WriteFile(p, b));
    return p;
  }
  std::string WriteJwc(const std::string& name, const fixture::JwcFixture& f) {
    return WriteBytes(name, f.Build());
  }

  TTempFolder tmp_{"tessa_pipeline_"};
  TForm1 form_;
  std::string dir_;
};

// ---- Start-up and shut-down -------------------------------------------------

TEST_F(Pipeline, JwInitCreatesContainersAttributesAndImageFolder) {
  ASSERT_TRUE(form_.JWW1 && form_.JWS && form_.JWC && form_.JWK);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(1), Opaque(0, 192, 192));
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(0), kWhite);
  EXPECT_TRUE(form_.Ctx.GraAtt.DispMode);
  EXPECT_TRUE(form_.Ctx.GraAtt.DispHojo);
  EXPECT_EQ(form_.Ctx.Opt.ColorSource, 1);
  EXPECT_EQ(form_.Ctx.BackColorNo, 0);
  EXPECT_TRUE(form_.Ctx.CurFileName.empty());

  const std::string folder = form_.AppDir + "TEMP" + PathDelim();
  EXPECT_EQ(form_.JWW1->BindImageFolder, folder);
  EXPECT_EQ(form_.JWS->BindImageFolder, folder);
  EXPECT_TRUE(IsFolder(form_.AppDir + "TEMP"));
  EXPECT_TRUE(form_.JWW1->BindImageExp);
  EXPECT_TRUE(form_.JWW1->BindImageExr);
  EXPECT_FALSE(form_.JWS->BindImageExp);
  EXPECT_FALSE(form_.JWS->BindImageExr);
}

TEST_F(Pipeline, ColourSourceFollowsTheSetting) {
  form_.JwFine();
  form_.cb3 = 1;
  form_.JwInit();
  EXPECT_EQ(form_.Ctx.Opt.ColorSource, 2);
}

TEST_F(Pipeline, JwFineRemovesOnlyAnEmptyImageFolder) {
  form_.JwFine();
  EXPECT_FALSE(form_.JWW1 || form_.JWS || form_.JWC || form_.JWK);
  EXPECT_FALSE(IsFolder(form_.AppDir + "TEMP"));

  form_.JwInit();
  std::ofstream(form_.AppDir + "TEMP/foreign.txt") << "x";
  form_.JwFine();
  EXPECT_TRUE(IsFile(form_.AppDir + "TEMP/foreign.txt"));
  form_.JwInit();  // for TearDown
}

TEST_F(Pipeline, ImageFolderThatCannotBeCreatedIsIgnored) {
  form_.JwFine();
  form_.AppDir = dir_ + "/afile/";
  std::ofstream(dir_ + "/afile") << "x";  // a file where the folder should go
  form_.JwInit();
  EXPECT_TRUE(form_.JWW1 && form_.JWS && form_.JWC && form_.JWK);
  EXPECT_FALSE(IsFolder(form_.AppDir + "TEMP"));
}

// ---- Paper sizes ------------------------------------------------------------

TEST_F(Pipeline, JwwPaperComesFromTheCode) {
  struct Case {
    int32_t code;
    double x, y;
  } cases[] = {{0, 1189, 841},       {1, 841, 594},       {2, 594, 420},
               {3, 420, 297},        {4, 297, 210},       {5, 1189, 841},
               {6, 1189, 841},       {7, 1189, 841},      {8, 1682, 1189},
               {9, 2378, 1682},      {10, 3364, 2378},    {11, 4756, 3364},
               {12, 10000, 7073},    {13, 50000, 35366},  {14, 100000, 70732},
               {15, 1189, 841},      {-1, 1189, 841}};
  for (const Case& c : cases) {
    TJwwData d = test::MakeJwwDrawing(700);
    d.Enthd.nZumen = c.code;
    test::AddLine(d, test::Line(-10, -10, 10, 10));
    const std::string p = WriteJww("paper" + std::to_string(c.code) + ".jww", d);
    ASSERT_TRUE(form_.proc2(p)) << c.code;
    EXPECT_EQ(form_.Ctx.Place.PaperX, c.x) << c.code;
    EXPECT_EQ(form_.Ctx.Place.PaperY, c.y) << c.code;
    EXPECT_EQ(form_.Ctx.CurFileName, p);
  }
}

TEST_F(Pipeline, JwsPaperIsTheExtent) {
  TJwsData s = test::MakeJwsSymbol(700);
  s.Enthd.BasePoint_x = -10;
  s.Enthd.BasePoint_y = -5;
  test::AddLine(s, test::Line(0, 0, 90, 45));
  const std::string p = WriteJws("sym.jws", s);
  ASSERT_TRUE(form_.proc3(p));
  EXPECT_EQ(form_.Ctx.Place.ExtMinX, -10);
  EXPECT_EQ(form_.Ctx.Place.ExtMinY, -5);
  EXPECT_EQ(form_.Ctx.Place.ExtMaxX, 90);
  EXPECT_EQ(form_.Ctx.Place.ExtMaxY, 45);
  EXPECT_EQ(form_.Ctx.Place.PaperX, 100);
  EXPECT_EQ(form_.Ctx.Place.PaperY, 50);
  EXPECT_EQ(form_.Ctx.CurFileName, p);
}

TEST_F(Pipeline, JwcPaperComesFromTheCode) {
  struct Case {
    int psize;
    double x, y;
  } cases[] = {{3, 420, 297}, {6, 1189, 841}, {0, 1189, 841}, {4, 297, 210}};
  for (const Case& c : cases) {
    fixture::JwcFixture f;
    f.psize = c.psize;
    f.lines.push_back({1, 2, 3, 4});
    const std::string p = WriteJwc("paper" + std::to_string(c.psize) + ".jwc", f);
    ASSERT_TRUE(form_.proc4(p)) << c.psize;
    EXPECT_EQ(form_.Ctx.Place.PaperX, c.x) << c.psize;
    EXPECT_EQ(form_.Ctx.Place.PaperY, c.y) << c.psize;
  }
}

TEST_F(Pipeline, JwkPaperIsTheExtentWithTheOrigin) {
  fixture::JwkFixture f;
  f.scale = "100";
  f.lines.push_back({1000, 2000, 3000, 500});
  const std::string p = WriteBytes("sym.jwk", f.Build());
  ASSERT_TRUE(form_.proc5(p));
  EXPECT_NEAR(form_.Ctx.Place.PaperX, 30, 1e-9);
  EXPECT_NEAR(form_.Ctx.Place.PaperY, 20, 1e-9);
  EXPECT_EQ(form_.Ctx.CurFileName, p);
}

TEST_F(Pipeline, LoadedDrawingConvertsWithTheChosenVersion) {
  TJwwData d = test::MakeJwwDrawing(700);
  test::AddLine(d, test::Line(-10, -10, 10, 10));
  ASSERT_TRUE(form_.proc2(WriteJww("conv.jww", d)));
  form_.cb2 = 1;
  const std::string out = Path("conv.dxf");
  EXPECT_TRUE(form_.ConvertLoaded(fmtJww, out));
  std::ifstream in(out);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("AC1015"), std::string::npos);
  EXPECT_NE(text.find("LINE"), std::string::npos);

  EXPECT_FALSE(form_.ConvertLoaded(fmtNone, Path("none.dxf")));
  EXPECT_FALSE(IsFile(Path("none.dxf")));
}

// ---- Failures -----------------------------------------------------------------

TEST_F(Pipeline, FileOfAnotherKindChangesNothing) {
  // Something in every container, and state that must survive.
  test::AddLine(*form_.JWW1, test::Line(1, 1, 2, 2));
  test::AddLine(*form_.JWS, test::Line(1, 1, 2, 2));
  form_.JWC->EntLine.push_back({});
  form_.JWC->lineN = 1;
  form_.JWK->EntLine.push_back({});
  form_.JWK->lineN = 1;
  form_.Ctx.Place.PaperX = 123;
  form_.Ctx.Place.ExtMaxX = 77;

  const std::string junk = WriteBytes("junk.bin", {'n', 'o', 't', ' ', 'a', ' ', 'd', 'r', 'a', 'w', 'i', 'n', 'g'});
  const std::string missing = Path("missing.jww");
  struct Case {
    const char* what;
    bool (TForm1::*proc)(const std::string&);
  } cases[] = {{"jww", &TForm1::proc2}, {"jws", &TForm1::proc3},
               {"jwc", &TForm1::proc4}, {"jwk", &TForm1::proc5}};
  for (const Case& c : cases) {
    EXPECT_FALSE((form_.*c.proc)(junk)) << c.what;
    EXPECT_FALSE((form_.*c.proc)(missing)) << c.what;
    EXPECT_EQ(form_.JWW1->EntLineN, 1) << c.what;
    EXPECT_EQ(form_.JWS->EntLineN, 1) << c.what;
    EXPECT_EQ(form_.JWC->lineN, 1) << c.what;
    EXPECT_EQ(form_.JWK->lineN, 1) << c.what;
    EXPECT_TRUE(form_.Ctx.CurFileName.empty()) << c.what;
    EXPECT_EQ(form_.Ctx.Place.PaperX, 123) << c.what;
    EXPECT_EQ(form_.Ctx.Place.ExtMaxX, 77) << c.what;
  }
}

TEST_F(Pipeline, FailedReadEmptiesContainersButKeepsNameExtentsAndPaper) {
  fixture::JwcFixture f;
  f.lines.push_back({10, 20, 30, 5});
  const std::string jwc = WriteJwc("good.jwc", f);
  ASSERT_TRUE(form_.proc4(jwc));
  ASSERT_EQ(form_.JWC->lineN, 1);
  const double ex[4] = {form_.Ctx.Place.ExtMinX, form_.Ctx.Place.ExtMinY, form_.Ctx.Place.ExtMaxX, form_.Ctx.Place.ExtMaxY};
  const double px = form_.Ctx.Place.PaperX, py = form_.Ctx.Place.PaperY;

  // A drawing with a good signature that ends in the middle of its entities.
  TJwwData d = test::MakeJwwDrawing(700);
  d.Enthd.nZumen = 0;
  for (int i = 0; i < 20; ++i) test::AddLine(d, test::Line(i, 0, i, 500));
  std::vector<uint8_t> bytes = test::WriteJww(d);
  bytes.resize(bytes.size() - 200);
  const std::string cut = WriteBytes("cut.jww", bytes);
  ASSERT_TRUE(form_.JWW1->FileCheck(cut));

  EXPECT_FALSE(form_.proc2(cut));
  EXPECT_EQ(form_.JWC->lineN, 0);
  EXPECT_EQ(form_.Ctx.CurFileName, jwc);
  EXPECT_EQ(form_.Ctx.Place.ExtMinX, ex[0]);
  EXPECT_EQ(form_.Ctx.Place.ExtMinY, ex[1]);
  EXPECT_EQ(form_.Ctx.Place.ExtMaxX, ex[2]);
  EXPECT_EQ(form_.Ctx.Place.ExtMaxY, ex[3]);
  EXPECT_EQ(form_.Ctx.Place.PaperX, px);
  EXPECT_EQ(form_.Ctx.Place.PaperY, py);
}

// ---- Attribute steps -----------------------------------------------------------

TEST_F(Pipeline, JwwColoursAndBackground) {
  struct Case {
    const char* what;
    int32_t source;
    int32_t screenPen2, printPen2;
    int32_t screenBack, printBack;
    uint32_t pen2;        // GetAttrColcol(2) afterwards
    uint32_t unknown;     // GetAttrColcol(0) afterwards
    int32_t backNo;
  } cases[] = {
      {"screen red", 1, 0x0000FF, 0x00FF00, 0xFFFFFF, 0x000000,
       Opaque(255, 0, 0), kWhite, 0},
      {"printer green", 2, 0x0000FF, 0x00FF00, 0xFFFFFF, 0xFFFFFF,
       Opaque(0, 255, 0), kWhite, 0},
      {"blue byte is the high one", 1, 0x123456, 0, 0xFFFFFF, 0,
       Opaque(0x56, 0x34, 0x12), kWhite, 0},
      {"dark at 20", 1, 0, 0, 0x141414, 0xFFFFFF, kBlack, kBlack, 1},
      {"21 is not dark", 1, 0, 0, 0x151515, 0xFFFFFF, kBlack, kWhite, 0},
      {"one byte too bright for dark", 1, 0, 0, 0x141415, 0, kBlack, kWhite, 0},
      {"light at 235", 1, 0, 0, 0xEBEBEB, 0, kBlack, kWhite, 0},
      {"printer background when printing", 2, 0, 0, 0xFFFFFF, 0x000000,
       kBlack, kBlack, 1},
      // Unknown sources load no pens but still read the printer background.
      {"source 3", 3, 0x0000FF, 0x0000FF, 0xFFFFFF, 0x000000, kBlack, kBlack, 1},
      {"source 0", 0, 0x0000FF, 0x0000FF, 0x000000, 0x000000, kBlack, kWhite, 0},
      {"source -1", -1, 0x0000FF, 0x0000FF, 0x000000, 0x000000, kBlack, kWhite, 0},
  };
  for (const Case& c : cases) {
    form_.JwFine();
    form_.JwInit();
    form_.Ctx.Opt.ColorSource = c.source;
    TJwwData d = test::MakeJwwDrawing(700);
    d.EntCol[2].aPenColor = c.screenPen2;
    d.EntCol[2].aPrtPenColor = c.printPen2;
    d.EntCol[0].aPenColor = c.screenBack;
    d.EntCol[0].aPrtPenColor = c.printBack;
    form_.JwwFileColorSet(d);
    EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(2), c.pen2) << c.what;
    EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(0), c.unknown) << c.what;
    EXPECT_EQ(form_.Ctx.BackColorNo, c.backNo) << c.what;
    EXPECT_EQ(form_.Ctx.GraAtt.GetBackColorNo(), c.backNo) << c.what;
  }
}

TEST_F(Pipeline, BackgroundTurnsBackToLightOnlyWhenBright) {
  form_.Ctx.Opt.ColorSource = 1;
  TJwwData d = test::MakeJwwDrawing(700);
  struct Step {
    int32_t back;
    int32_t backNo;
  } steps[] = {{0x000000, 1}, {0xEAEBEB, 1}, {0x808080, 1}, {0xEBEBEB, 0},
               {0x0A0B0C, 1}, {0xFFFFFF, 0}};
  for (const Step& s : steps) {
    d.EntCol[0].aPenColor = s.back;
    form_.JwwFileColorSet(d);
    EXPECT_EQ(form_.Ctx.BackColorNo, s.backNo) << std::hex << s.back;
    EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(0), s.backNo ? kBlack : kWhite) << std::hex << s.back;
  }
}

TEST_F(Pipeline, JwwPensNineAndSxfColours) {
  form_.Ctx.Opt.ColorSource = 1;
  TJwwData d = test::MakeJwwDrawing(700);
  d.EntCol[0].aPenColor = 0xFFFFFF;  // light
  d.EntCol[9].aPenColor = 0x0000FF;
  d.EntCol[9].adPrtTenHankei = 3;
  d.EntCol[8].adPrtTenHankei = 0.75;
  d.EntColS[1].aPenColor = 0x00FF00;
  d.EntColS[1].adPrtTenHankei = 0.35;
  d.EntColS[256].aPenColor = 0xFF0000;
  form_.JwwFileColorSet(d);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(9), Opaque(255, 128, 255));  // never loaded
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(9), 0.2);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(8), 0.75);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(101), Opaque(0, 255, 0));
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(101), 0.35);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(356), Opaque(0, 0, 255));
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(357), kWhite);
}

TEST_F(Pipeline, JwwWithoutPenTableChangesNothing) {
  form_.Ctx.Opt.ColorSource = 1;
  TJwwData d;  // no tables at all
  form_.JwwFileColorSet(d);
  form_.JwwFileLtypeSet(d);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(2), kBlack);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(3), 0.4);
  EXPECT_EQ(form_.Ctx.BackColorNo, 0);
}

TEST_F(Pipeline, OtherFormatsRestoreTheDefaultPens) {
  form_.Ctx.Opt.ColorSource = 1;
  TJwwData d = test::MakeJwwDrawing(700);
  d.EntCol[2].aPenColor = 0x0000FF;
  d.EntCol[0].aPenColor = 0x000000;  // dark drawing
  form_.JwwFileColorSet(d);
  ASSERT_EQ(form_.Ctx.GraAtt.GetAttrColcol(2), Opaque(255, 0, 0));

  // The background mode stays; the pens become the defaults of that mode.
  form_.JwsFileColorSet();
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(2), kWhite);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(1), Opaque(0, 255, 255));
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(2), 0.3);

  form_.Ctx.GraAtt.SetAttrCol(2, Opaque(1, 1, 1), 0, 9);
  form_.Ctx.GraAtt.SetBackColor(0);
  form_.JwcFileColorSet();
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColcol(2), kBlack);
  EXPECT_EQ(form_.Ctx.GraAtt.GetAttrColten(2), 0.3);
}

TEST_F(Pipeline, JwwLineTypesFillTheTable) {
  TJwwData d = test::MakeJwwDrawing(700);
  d.EntLtp1[1].alLType = static_cast<int32_t>(0xFF00FF00u);
  d.EntLtp1[1].anTokushuSenPich = 2;
  d.EntLtp2[0].alLType = static_cast<int32_t>(0xF0F0F0F0u);
  d.EntLtp2[0].anRandSenWide = 7;
  d.EntLtpS[1].anUDLTypeSegment = 4;
  d.EntLtpS[1].aadUDLTypePitch = {0, 5, 1, 2, 1, 0, 0, 0, 0, 0, 0};
  d.EntLtpS[32].anUDLTypeSegment = 1000;  // more than the ten stored pitches
  d.EntLtpS[32].aadUDLTypePitch.fill(1.0);
  form_.JwwFileLtypeSet(d);
  const TjwvLtype& t2 = form_.Ctx.GraAtt.jwvTyp[2];
  EXPECT_EQ(t2.seg, 4);
  EXPECT_EQ(t2.pa[0], 16);
  EXPECT_EQ(t2.pa[1], -16);
  EXPECT_EQ(t2.pit, 64);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvTyp[1].seg, 0);  // pattern 0: solid
  EXPECT_EQ(form_.Ctx.GraAtt.jwvTyp[9].seg, 8);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvTyp[9].amp, 7);
  const TjwvLtype& u = form_.Ctx.GraAtt.jwvTyp[18];
  EXPECT_EQ(u.seg, 4);
  EXPECT_EQ(u.pa[0], 5);
  EXPECT_EQ(u.pa[1], -1);
  EXPECT_EQ(u.pit, 9);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvTyp[49].seg, 10);

  form_.JwsFileLtypeSet();
  EXPECT_EQ(form_.Ctx.GraAtt.jwvTyp[2].seg, 0);
}

TEST_F(Pipeline, LayerTableFollowsTheDrawing) {
  TJwwData d = test::MakeJwwDrawing(700);
  struct Case {
    int32_t group, layer;  // states
    int32_t sta;
  } cases[] = {{0, 2, 3}, {2, 0, 3}, {1, 2, 2}, {2, 1, 2}, {2, 2, 1}, {1, 0, 3}};
  for (size_t k = 0; k < std::size(cases); ++k) {
    d.EntLgrp[k].anGLay = cases[k].group;
    d.EntLgrp[k].adScale = 50;
    d.EntLgrp[k].aStrGLayName = u"G";
    d.EntLay[k * 16 + 3].aanLay = cases[k].layer;
    d.EntLay[k * 16 + 3].aStrLayName = u"L";
  }
  d.SetGAttLayer(form_.Ctx.GraAtt);
  for (size_t k = 0; k < std::size(cases); ++k) {
    const TjwvLayer& l = form_.Ctx.GraAtt.jwvLay[k * 16 + 3];
    EXPECT_EQ(l.sta, cases[k].sta) << k;
    EXPECT_EQ(l.sca, 1.0 / 50) << k;
    EXPECT_EQ(l.nam, u"(3) L") << k;
  }
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 3].gna, u"[1] G");
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[255].nam, u"(F) ");

  // Symbols and DOS drawings set state and scale only.
  TJwsData s = test::MakeJwsSymbol(700);
  s.EntLgrp[2].adScale = 200;
  s.SetGAttLayer(form_.Ctx.GraAtt);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[2 * 16].sca, 1.0 / 200);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[2 * 16].sta, 1);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 3].nam, u"(3) ");
}

TEST_F(Pipeline, DosLayerTablesFollowTheDrawing) {
  struct Case {
    uint8_t groupDisp, layDisp, groupSrch, laySrch;
    int32_t sta;
  } cases[] = {{0, 1, 1, 1, 3}, {1, 0, 1, 1, 3}, {1, 1, 1, 1, 1},
               {1, 1, 0, 1, 2}, {1, 1, 1, 0, 2}, {3, 3, 3, 3, 1},
               {2, 1, 1, 1, 3}, {1, 1, 2, 1, 2}};
  fixture::JwcFixture f;
  for (size_t k = 0; k < std::size(cases); ++k) {
    f.groupDisp[k] = cases[k].groupDisp;
    f.groupSrch[k] = cases[k].groupSrch;
    f.layDisp[k * 16 + 5] = cases[k].layDisp;
    f.laySrch[k * 16 + 5] = cases[k].laySrch;
    f.groupScale[k] = 4;
  }
  f.groupName[1] = fixture::Sjis(u"平面");
  f.layName[16 + 5] = fixture::Sjis(u"壁");
  f.lines.push_back({1, 2, 3, 4});
  ASSERT_TRUE(form_.proc4(WriteJwc("layers.jwc", f)));
  for (size_t k = 0; k < std::size(cases); ++k) {
    EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[k * 16 + 5].sta, cases[k].sta) << k;
    EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[k * 16 + 5].sca, 0.25) << k;
  }
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 5].gna, u"[1] 平面");
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 5].nam, u"(5) 壁");

  fixture::JwkFixture k;
  k.scale = "100";
  k.lines.push_back({1, 2, 3, 4});
  ASSERT_TRUE(form_.proc5(WriteBytes("layers.jwk", k.Build())));
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 5].sta, 1);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 5].sca, 0.01);
  EXPECT_EQ(form_.Ctx.GraAtt.jwvLay[16 + 5].nam, u"(5) ");
}

// ---- Bound images ----------------------------------------------------------------

TEST_F(Pipeline, ImagesLiveFromTheLoadToTheEndOfTheRun) {
  const std::string picture = "picture data, picture data, picture data";
  TJwwData d = test::MakeJwwDrawing(700);
  TEntJwwMoji marker = test::Text(0, 0, u"^@BMpicture.jpg,100,50");
  marker.end_x = 10;
  test::AddMoji(d, marker);
  test::AddBindImage(d, u"picture.jpg.gz", 0);
  test::AddBindImage(d, u"photo.bmp", 0);
  test::AddBindImage(d, u"broken.png.gz", 0);
  test::TJwwWriteOptions o;
  o.imageData = {Gzip(picture), "BMxxxx", "not gzip at all"};
  for (size_t i = 0; i < o.imageData.size(); ++i)
    d.BindImage[i].Fsize = static_cast<int32_t>(o.imageData[i].size());
  const std::string p = WriteJww("images.jww", d, o);

  ASSERT_TRUE(form_.proc2(p));
  TJwwData& jw = *form_.JWW1;
  ASSERT_EQ(jw.BindImageN, 3);
  EXPECT_TRUE(IsFile(jw.BindImagePath(0)));       // picture.jpg.gz
  EXPECT_TRUE(IsFile(jw.BindImagePlainPath(0)));  // picture.jpg
  {
    // Closed before the run ends: Windows deletes no file that is open.
    std::ifstream in(jw.BindImagePlainPath(0), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), picture);
  }
  EXPECT_TRUE(IsFile(jw.BindImagePath(1)));
  EXPECT_EQ(form_.Ctx.Place.ExtMaxX, 100);
  EXPECT_EQ(form_.Ctx.Place.ExtMaxY, 50);

  std::vector<std::string> written;
  for (int i = 0; i < 3; ++i) {
    written.push_back(jw.BindImagePath(i));
    written.push_back(jw.BindImagePlainPath(i));
  }
  form_.JwFine();
  for (const std::string& f : written) EXPECT_FALSE(IsFile(f)) << f;
  EXPECT_FALSE(IsFolder(form_.AppDir + "TEMP"));
  form_.JwInit();
}

TEST_F(Pipeline, NextLoadDeletesTheImagesOfThePreviousDrawing) {
  TJwwData d = test::MakeJwwDrawing(700);
  test::AddLine(d, test::Line(0, 0, 1, 1));
  test::AddBindImage(d, u"photo.bmp", 4);
  const std::string p = WriteJww("one.jww", d);
  ASSERT_TRUE(form_.proc2(p));
  const std::string img = form_.JWW1->BindImagePath(0);
  ASSERT_TRUE(IsFile(img));

  fixture::JwcFixture f;
  f.lines.push_back({1, 2, 3, 4});
  ASSERT_TRUE(form_.proc4(WriteJwc("two.jwc", f)));
  EXPECT_FALSE(IsFile(img));
  EXPECT_EQ(form_.JWW1->BindImageN, 0);
}

// ---- Real drawings ----------------------------------------------------------------

TEST_F(Pipeline, EverySampleLoadsWithFiniteExtentsAndPaper) {
  TESSA_REQUIRE_SAMPLES();
  const std::vector<std::string> jww = testing_support::SampleFiles("jww", ".jww");
  const std::vector<std::string> jws = testing_support::SampleFiles("jws", ".jws");
  ASSERT_FALSE(jww.empty() && jws.empty()) << "no drawings under " << testing_support::SamplesDir();
  for (const std::string& f : jww) {
    form_.Ctx.Place.ExtMinX = form_.Ctx.Place.ExtMinY = -12345;  // must be replaced
    ASSERT_TRUE(form_.proc2(f)) << f;
    EXPECT_EQ(form_.Ctx.CurFileName, f);
    EXPECT_NE(form_.Ctx.Place.ExtMinX, -12345) << f;
    EXPECT_TRUE(std::isfinite(form_.Ctx.Place.ExtMinX) && std::isfinite(form_.Ctx.Place.ExtMaxY)) << f;
    EXPECT_LE(form_.Ctx.Place.ExtMinX, form_.Ctx.Place.ExtMaxX) << f;
    EXPECT_GT(form_.Ctx.Place.PaperX, 0) << f;
    // Jw_cad's setting texts at (0, -1000) are not drawing content.
    if (form_.JWW1->Enthd.jwVer >= 700) {
      EXPECT_GT(form_.Ctx.Place.ExtMinY, -1000) << f;
    }
  }
  for (const std::string& f : jws) {
    ASSERT_TRUE(form_.proc3(f)) << f;
    EXPECT_TRUE(std::isfinite(form_.Ctx.Place.PaperX) && std::isfinite(form_.Ctx.Place.PaperY)) << f;
    EXPECT_EQ(form_.Ctx.Place.PaperX, std::abs(form_.Ctx.Place.ExtMaxX - form_.Ctx.Place.ExtMinX)) << f;
    EXPECT_EQ(form_.Ctx.Place.PaperY, std::abs(form_.Ctx.Place.ExtMaxY - form_.Ctx.Place.ExtMinY)) << f;
  }
}

}  // namespace
}  // namespace tessa
