// JWC drawings and JWK symbols from bytes to DXF files, in every DXF
// version and both spaces; each file is then loaded and audited by ezdxf,
// an independent reader, and its entities counted.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "JwcFixtureWriter.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"

#ifndef JWC_EZDXF_SCRIPT
#error "JWC_EZDXF_SCRIPT must name the ezdxf check script"
#endif

namespace tessa {
namespace {

using fixture::JwcArcRec;
using fixture::JwcFixture;
using fixture::JwcTextRec;
using fixture::JwkFixture;
using fixture::Sjis;

// What ezdxf reports about one file.
struct TReport {
  std::string version;
  int errors = -1;
  std::string loadError;
  std::map<std::string, int> count;
  std::vector<std::string> texts;
  std::string audit;
  std::vector<double> headerBox, modelBox;  // x1 y1 x2 y2
  std::vector<std::vector<double>> viewports;  // centre x, y, width, height
};

// Runs the check script over the files; false when ezdxf is missing.
bool RunEzdxf(const std::vector<std::string>& files, std::map<std::string, TReport>& out) {
  std::string cmd = "/usr/bin/python3 '" JWC_EZDXF_SCRIPT "'";
  for (const auto& f : files) cmd += " '" + f + "'";
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return false;
  std::string all;
  char buf[4096];
  size_t k;
  while ((k = fread(buf, 1, sizeof buf, p)) > 0) all.append(buf, k);
  int rc = pclose(p);
  if (!WIFEXITED(rc) || WEXITSTATUS(rc) == 3 || WEXITSTATUS(rc) == 127) return false;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << all;
  std::istringstream in(all);
  std::string line;
  TReport* cur = nullptr;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string key;
    ls >> key;
    std::string rest = line.size() > key.size() + 1 ? line.substr(key.size() + 1) : "";
    if (key == "FILE") cur = &out[rest];
    else if (!cur) continue;
    else if (key == "VERSION") cur->version = rest;
    else if (key == "ERRORS") cur->errors = std::stoi(rest);
    else if (key == "LOADERROR") cur->loadError = rest;
    else if (key == "AUDIT") cur->audit += rest + "; ";
    else if (key == "TEXT") cur->texts.push_back(rest);
    else if (key == "VIEWPORT") {
      std::vector<double> v;
      for (double x; ls >> x;) v.push_back(x);
      cur->viewports.push_back(v);
    }
    else if (key == "HEADERBOX" || key == "MODELBOX") {
      std::vector<double>& box = key == "HEADERBOX" ? cur->headerBox : cur->modelBox;
      for (double v; ls >> v;) box.push_back(v);
    }
    else if (key == "COUNT") {
      std::string type;
      int n = 0;
      ls >> type >> n;
      cur->count[type] = n;
    }
  }
  return true;
}

// Expected entity counts of a converted drawing.
struct TCounts {
  int lines, circles, arcs, ellipses, texts, points;
};

// A drawing with every entity kind spread over three layer groups of
// different scales (so paper space gets viewports).
JwcFixture E2eDrawing() {
  JwcFixture f;
  f.psize = 3;
  f.drawWidth = 420;  // one stored unit = 1 mm
  f.groupScale[0] = 1;
  f.groupScale[1] = 50;
  f.groupScale[2] = 100;
  f.groupName[1] = Sjis(u"詳細図");
  f.layName[16] = Sjis(u"壁芯");
  f.layName[33] = "DIM";
  f.layDisp[34] = 0;
  f.lines.push_back({10, 10, 200, 10, 1, 1, 0, 0, 0, 0});
  f.lines.push_back({10, 20, 200, 150, 2, 3, 17, 0, 0, 0});
  f.lines.push_back({0, 0, 100, 100, 9, 9, 33, 0, 0, 0});  // auxiliary
  f.lines.push_back({-50, -40, 60, -40, 15, 6, 34, 0, 0, 0});
  f.arcs.push_back(JwcArcRec::Deg(100, 100, 20, 1, 0, 360));   // circle
  f.arcs.push_back(JwcArcRec::Deg(150, 80, 10, 1, 30, 30));    // circle (end = start)
  f.arcs.push_back(JwcArcRec::Deg(50, 50, 15, 1, 350, 10));    // arc across 0
  f.arcs.push_back(JwcArcRec::Deg(60, 50, 15, 1, 90, 180, 0));  // arc
  JwcArcRec aux = JwcArcRec::Deg(20, 20, 5, 1, 0, 90);
  aux.typ = 9;
  f.arcs.push_back(aux);                                        // auxiliary arc
  f.arcs.push_back(JwcArcRec::Deg(120, 40, 30, 0.5, 0, 0, 30)); // whole ellipse
  JwcArcRec ea = JwcArcRec::Deg(120, 140, 30, 0.4, 10, 200, -15);
  ea.lay = 20;
  f.arcs.push_back(ea);                                         // ellipse arc
  f.texts.push_back({10, 200, 80, 200, Sjis(u"日本語の文字"), 3, 0, 0, 0, {}});
  f.texts.push_back({10, 180, 10, 250, Sjis(u"縦書き"), 5, 16, 32, 0, {}});
  f.texts.push_back({0, 0, 30, 30, "type 0", 0, 33, 0, 0, {}});
  f.texts.push_back({0, 10, 30, 10, "type 11", 11, 1, 0, 0, {}});
  f.texts.push_back({5, 5, 25, 5, "caret^A", 10, 34, 32, 0, {}});
  f.points.push_back({1, 2, 0, 1, 0, 0});
  f.points.push_back({50, 60, 18, 2, 0, 0});
  f.points.push_back({-10, 5, 40, 3, 0, 0});
  f.vtenCount = 3;
  for (int i = 1; i <= 3; ++i) {
    f.vx[i] = 30.0f * i;
    f.vy[i] = -20;
    f.vlay[i] = static_cast<uint8_t>(16 * (i - 1));
  }
  return f;
}
constexpr TCounts kDrawing = {3 + 1, 2 + 3 + 0, 2 + 1, 2, 5, 3};  // aux line/arc included

JwkFixture E2eSymbol() {
  JwkFixture f;
  f.scale = "20";
  f.comment1 = Sjis(u"記号");
  f.lines.push_back({0, 0, 1000, 0, 1, 1, 0});
  f.lines.push_back({0, 0, 0, 800, 9, 1, 5});
  f.arcs.push_back(JwcArcRec::Deg(500, 500, 200, 1, 0, 360));
  f.arcs.push_back(JwcArcRec::Deg(500, 500, 300, 1, 45, 135));
  f.arcs.push_back(JwcArcRec::Deg(500, 500, 300, 0.5, 45, 135, 10));
  f.points.push_back({100, 100, 2, 4, 0, 0});
  f.texts.push_back({0, -100, 400, -100, Sjis(u"記号の文字"), 2, 3, 0, 0, {}});
  f.texts.push_back({-50, 0, -50, 400, "TATE", 4, 3, 32, 0, {}});
  return f;
}
constexpr TCounts kSymbol = {2, 1, 1, 1, 2, 1};

class JwcDxfE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ctx.AppTitle = u"tessaconv test"; }
  TConvContext ctx;
};

// Loads the fixture the way the JWC pipeline does and converts it.
bool ConvertJwc(TConvContext& ctx, const std::string& src, const std::string& dst, int ver) {
  TJwcData jw;
  if (!jw.FileCheck(src) || !jw.FileIn(src)) return false;
  ctx.CurFileName = src;
  static_cast<TJwExtents&>(ctx.Place) = jw.GetMinMaxZahyo();
  ctx.Place.PaperX = 420;
  ctx.Place.PaperY = 297;
  ctx.Opt.DxfVer = ver;
  return jw.FileOutDXF(ctx, dst);
}

bool ConvertJwk(TConvContext& ctx, const std::string& src, const std::string& dst, int ver) {
  TJwkData jw;
  if (!jw.FileCheck(src) || !jw.FileIn(src)) return false;
  ctx.CurFileName = src;
  static_cast<TJwExtents&>(ctx.Place) = jw.GetMinMaxZahyo();
  ctx.Place.PaperX = std::fabs(ctx.Place.ExtMaxX - ctx.Place.ExtMinX);
  ctx.Place.PaperY = std::fabs(ctx.Place.ExtMaxY - ctx.Place.ExtMinY);
  ctx.Opt.DxfVer = ver;
  return jw.FileOutDXF(ctx, dst);
}

void ExpectCounts(const TReport& r, const TCounts& c, int ver, int tenType,
                  const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(r.loadError, "");
  EXPECT_EQ(r.errors, 0) << r.audit;
  const char* vers[] = {"AC1009", "AC1015", "AC1021"};
  EXPECT_EQ(r.version, vers[ver]);
  auto n = [&](const char* t) {
    auto it = r.count.find(t);
    return it == r.count.end() ? 0 : it->second;
  };
  EXPECT_EQ(n("LINE"), c.lines);
  EXPECT_EQ(n("ARC"), c.arcs);
  EXPECT_EQ(n("TEXT"), c.texts);
  // R12 has no ELLIPSE: ellipses are polylines there.
  EXPECT_EQ(n(ver == 0 ? "POLYLINE" : "ELLIPSE"), c.ellipses);
  switch (tenType) {
    case 0: EXPECT_EQ(n("POINT"), c.points); EXPECT_EQ(n("CIRCLE"), c.circles); break;
    case 1: EXPECT_EQ(n("CIRCLE"), c.circles + c.points); break;
    default: EXPECT_EQ(n("INSERT"), c.points); EXPECT_EQ(n("CIRCLE"), c.circles); break;
  }
}

TEST_F(JwcDxfE2eTest, EveryVersionAndSpaceLoadsInAnIndependentReader) {
  const std::string jwc = fixture::FixturePath("e2e.jwc");
  const std::string jwk = fixture::FixturePath("e2e.jwk");
  ASSERT_TRUE(fixture::WriteFile(jwc, E2eDrawing().Build()));
  ASSERT_TRUE(fixture::WriteFile(jwk, E2eSymbol().Build()));

  struct Run { std::string file; bool symbol; int ver, space, tenType; };
  std::vector<Run> runs;
  for (int ver : {0, 1, 2})
    for (int space : {0, 1})
      for (bool symbol : {false, true}) {
        const int tenType = (ver + space) % 3 == 0 ? 0 : (ver + space) % 3 == 1 ? 3 : 1;
        runs.push_back({fixture::FixturePath("e2e_" + std::string(symbol ? "k" : "c") +
                                             std::to_string(ver) + std::to_string(space) +
                                             ".dxf"),
                        symbol, ver, space, tenType});
      }
  std::vector<std::string> files;
  for (const Run& r : runs) {
    std::remove(r.file.c_str());
    ctx.Opt.Space = r.space;
    ctx.Opt.ScaleGroup = 1;
    ctx.Opt.TenType = r.tenType;
    ctx.Opt.TenSize = 0.8;
    bool ok = r.symbol ? ConvertJwk(ctx, jwk, r.file, r.ver) : ConvertJwc(ctx, jwc, r.file, r.ver);
    ASSERT_TRUE(ok) << r.file;
    ASSERT_TRUE(IsFile(r.file));
    files.push_back(r.file);
  }
  std::map<std::string, TReport> reports;
  if (!RunEzdxf(files, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
  for (const Run& r : runs) {
    ASSERT_TRUE(reports.count(r.file)) << r.file;
    const TReport& rep = reports[r.file];
    ExpectCounts(rep, r.symbol ? kSymbol : kDrawing, r.ver, r.tenType, r.file);
    // Paper space shows the other groups through viewports.
    const bool viewports = !r.symbol && r.space == 1;
    EXPECT_EQ(rep.count.count("VIEWPORT") > 0, viewports) << r.file;
    // Japanese texts survive each version's encoding.
    const std::string want = r.symbol ? "記号の文字" : "日本語の文字";
    EXPECT_NE(std::find(rep.texts.begin(), rep.texts.end(), want), rep.texts.end()) << r.file;
  }
}

TEST_F(JwcDxfE2eTest, UnknownVersionCodeWritesR12) {
  const std::string jwc = fixture::FixturePath("ver.jwc");
  const std::string out = fixture::FixturePath("ver.dxf");
  std::remove(out.c_str());
  ASSERT_TRUE(fixture::WriteFile(jwc, E2eDrawing().Build()));
  ASSERT_TRUE(ConvertJwc(ctx, jwc, out, 5));
  std::map<std::string, TReport> reports;
  if (!RunEzdxf({out}, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
  ExpectCounts(reports[out], kDrawing, 0, 0, out);
}

// The header's $EXTMIN/$EXTMAX must sit on what is drawn: the box of the
// model space, for a JWC drawing as for a JWK symbol.  Lines, arcs and
// points only: a text's box depends on fonts.
TEST_F(JwcDxfE2eTest, HeaderExtentsAreTheBoxOfTheModelSpaceEntities) {
  JwcFixture c;
  c.psize = 3;
  c.groupScale.fill(50);
  c.lines.push_back({-100, -50, 120, 80, 1, 1, 0, 0, 0, 0});
  c.lines.push_back({150, 200, 300, 250, 1, 2, 17, 0, 0, 0});
  c.arcs.push_back(JwcArcRec::Deg(200, 100, 20, 1, 0, 360));
  c.points.push_back({380, 270, 0, 1, 0, 0});
  JwkFixture k;
  k.scale = "20";
  k.lines.push_back({200, 300, 1200, 800, 1, 1, 0});
  k.arcs.push_back(JwcArcRec::Deg(2000, 1000, 200, 1, 0, 360));
  const std::string jwc = fixture::FixturePath("box.jwc");
  const std::string jwk = fixture::FixturePath("box.jwk");
  const std::string outC = fixture::FixturePath("box_c.dxf");
  const std::string outK = fixture::FixturePath("box_k.dxf");
  ASSERT_TRUE(fixture::WriteFile(jwc, c.Build()));
  ASSERT_TRUE(fixture::WriteFile(jwk, k.Build()));
  ctx.Opt.Space = 0;
  ctx.Opt.TenType = 0;
  ASSERT_TRUE(ConvertJwc(ctx, jwc, outC, 1));
  ASSERT_TRUE(ConvertJwk(ctx, jwk, outK, 1));
  std::map<std::string, TReport> reports;
  if (!RunEzdxf({outC, outK}, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
  for (const std::string& file : {outC, outK}) {
    SCOPED_TRACE(file);
    const TReport& r = reports[file];
    ASSERT_EQ(r.headerBox.size(), 4u);
    ASSERT_EQ(r.modelBox.size(), 4u);
    const std::vector<double> want = r.modelBox;
    const double tol = 1e-6 * std::max(want[2] - want[0], want[3] - want[1]);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(r.headerBox[i], want[i], tol) << i;
  }
}

// A vertical text of a group shown through a viewport: the viewport holds
// the text as it is written, a line of 3 characters of 6 mm from (99, 141)
// up to (99, 159) (half a character width left of the text's middle), its
// characters 2 mm high to the left of that line and reaching a third of
// that below it, plus the 5 mm margin.
TEST_F(JwcDxfE2eTest, VerticalTextGivesItsViewportItsWrittenBox) {
  JwcFixture f;
  f.psize = 3;
  f.drawWidth = 420;  // one stored unit = 1 mm
  f.groupScale[1] = 50;
  f.mjWidth[2] = 20;
  f.mjHeight[2] = 60;
  f.mjDist[2] = 0;
  f.texts.push_back({100, 100, 100, 200, Sjis(u"縦書き"), 2, 16, 32, 0, {}});
  const std::string jwc = fixture::FixturePath("tate.jwc");
  ASSERT_TRUE(fixture::WriteFile(jwc, f.Build()));
  ctx.Opt.Space = 1;
  ctx.Opt.ScaleGroup = 0;
  std::vector<std::string> files;
  for (int ver : {0, 1, 2}) {
    files.push_back(fixture::FixturePath("tate" + std::to_string(ver) + ".dxf"));
    std::remove(files.back().c_str());
    ASSERT_TRUE(ConvertJwc(ctx, jwc, files.back(), ver));
  }
  std::map<std::string, TReport> reports;
  if (!RunEzdxf(files, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
  // x from 97 to 99 2/3, y from 141 to 159, widened by 5 on every side.
  const double x1 = 97 - 5, x2 = 99 + 2.0 / 3 + 5;
  const std::vector<double> want = {(x1 + x2) / 2, 150, x2 - x1, 28};
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const TReport& r = reports[file];
    EXPECT_EQ(r.errors, 0) << r.audit;
    EXPECT_NE(std::find(r.texts.begin(), r.texts.end(), "縦書き"), r.texts.end());
    // The paper's own viewport, the one of group 1 (scale 50), then the
    // empty one of the other groups (scale 1).
    ASSERT_EQ(r.viewports.size(), 3u);
    ASSERT_EQ(r.viewports[1].size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(r.viewports[1][i], want[i], 1e-9) << i;
  }
}

TEST_F(JwcDxfE2eTest, RejectedHeaderLeavesNothingToConvert) {
  JwcFixture f = E2eDrawing();
  f.vtenCount = 101;
  const std::string jwc = fixture::FixturePath("bad.jwc");
  const std::string out = fixture::FixturePath("bad.dxf");
  std::remove(out.c_str());
  ASSERT_TRUE(fixture::WriteFile(jwc, f.Build()));
  TJwcData jw;
  ASSERT_TRUE(jw.FileCheck(jwc));
  EXPECT_FALSE(jw.FileIn(jwc));
  ctx.Opt.DxfVer = 1;
  EXPECT_FALSE(jw.FileOutDXF(ctx, out));
  EXPECT_FALSE(IsFile(out));
}

}  // namespace
}  // namespace tessa
