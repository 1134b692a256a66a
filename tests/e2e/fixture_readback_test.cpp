// Drawings built by the fixture writer, converted by the program run as
// its parent runs it, in every DXF version, and read back by ezdxf (an
// independent reader): symbols keep their size in a paper-space layout,
// and texts keep every character.
//
// With TESSA_KEEP_DXF naming a folder, the outputs are copied there (to
// render and look at them).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "JwwFixtureWriter.h"
#include "ProcessRunner.h"
#include "util/Func_2.h"

#ifndef TESSA_READBACK_SCRIPT
#error "TESSA_READBACK_SCRIPT must name the ezdxf read-back script"
#endif

namespace tessa {
namespace {

using hardening::TConverterBox;
using nlohmann::json;

// ezdxf's report of each file, in the order given; false when python3 or
// ezdxf is missing.
bool ReadBack(const std::vector<std::string>& files, std::vector<json>& out) {
  std::string cmd = "/usr/bin/python3 '" TESSA_READBACK_SCRIPT "'";
  for (const std::string& f : files) cmd += " '" + f + "'";
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return false;
  std::string all;
  char buf[4096];
  for (size_t k; (k = fread(buf, 1, sizeof buf, p)) > 0;) all.append(buf, k);
  const int rc = pclose(p);
  if (!WIFEXITED(rc) || WEXITSTATUS(rc) == 3 || WEXITSTATUS(rc) == 127) return false;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << all;
  std::istringstream in(all);
  for (std::string line; std::getline(in, line);) {
    json j = json::parse(line, nullptr, false);
    EXPECT_FALSE(j.is_discarded()) << line;
    if (!j.is_discarded()) out.push_back(std::move(j));
  }
  EXPECT_EQ(out.size(), files.size()) << all;
  return true;
}

void Keep(const std::string& file, const std::string& name) {
  const char* dir = std::getenv("TESSA_KEEP_DXF");
  if (dir && *dir) hardening::WriteFile(std::string(dir) + "/" + name, hardening::ReadFile(file));
}

// Converts `drawing` in the three versions with the given space; returns
// the output paths ("<stem>_v<version>s<space>.dxf").
std::vector<std::string> ConvertAll(TConverterBox& box, const std::string& drawing,
                                    const std::string& stem, int space) {
  std::vector<std::string> files;
  for (int ver : {0, 1, 2}) {
    box.WriteSettings(ver, space);
    const std::string name = stem + "_v" + std::to_string(ver) + "s" + std::to_string(space) + ".dxf";
    const std::string out = box.Out() + name;
    const hardening::TExit r = box.Run(drawing, out);
    EXPECT_TRUE(r.exited && r.code == 0) << name;
    EXPECT_TRUE(hardening::Exists(out)) << name;
    Keep(out, name);
    files.push_back(out);
  }
  return files;
}

// ---- Symbols placed from layer groups of different scales ------------------------

// A3 paper; group 0 (the base group, scale 1), group 1 at 1:100, group 2
// at 1:50.  "inner" is a 10 mm square with a circle (its own lines in
// group 1); "outer" holds a diagonal (group 2) and "inner" (placed from
// group 3).  "outer" is placed on paper and from groups 1 and 2, "inner"
// also directly from group 1.  Each copy must be drawn 10 mm of paper
// wide: 10 units on paper, 1000 and 500 units in model space.
TJwwData NestedSymbols() {
  using namespace test;
  TJwwData d = MakeJwwDrawing(700);
  d.EntLgrp[1].adScale = 100;
  d.EntLgrp[2].adScale = 50;
  {
    TEntJwwBlockDef& inner = AddBlockDef(d, 2, u"inner");
    const TEntJwwAttr g1 = Attr(1, 0);
    AddLine(inner, Line(0, 0, 10, 0, g1));
    AddLine(inner, Line(10, 0, 10, 10, g1));
    AddLine(inner, Line(10, 10, 0, 10, g1));
    AddLine(inner, Line(0, 10, 0, 0, g1));
    AddEnko(inner, Circle(5, 5, 3, g1));
  }
  {
    TEntJwwBlockDef& outer = AddBlockDef(d, 1, u"outer");
    AddLine(outer, Line(0, 0, 10, 10, Attr(2, 0)));
    AddBlock(outer, Insert(2, 0, 0, 0, 1, 1, Attr(3, 0)));
  }
  AddBlock(d, Insert(1, -150, 0, 0, 1, 1, Attr(0, 0)));
  AddBlock(d, Insert(1, 0, 0, 0, 1, 1, Attr(1, 0)));
  AddBlock(d, Insert(1, 100, 50, 0, 1, 1, Attr(2, 0)));
  AddBlock(d, Insert(2, 50, -50, 0, 1, 1, Attr(1, 0)));
  // A 20 mm frame beside each copy, in the copy's own group, to compare
  // sizes with when the drawing is looked at.
  struct Frame {
    uint16_t group;
    double x, y;
  };
  for (const Frame& f : {Frame{0, -170, 0}, Frame{1, -20, 0}, Frame{2, 80, 50}}) {
    const TEntJwwAttr a = Attr(f.group, 1);
    AddLine(d, Line(f.x, f.y, f.x - 20, f.y, a));
    AddLine(d, Line(f.x - 20, f.y, f.x - 20, f.y + 20, a));
    AddLine(d, Line(f.x - 20, f.y + 20, f.x, f.y + 20, a));
    AddLine(d, Line(f.x, f.y + 20, f.x, f.y, a));
  }
  return d;
}

TEST(FixtureReadBack, SymbolsKeepTheirSizeInBothSpaces) {
  TConverterBox box;
  const std::string jww = box.In() + "symbols.jww";
  ASSERT_TRUE(test::WriteJwwFile(jww, NestedSymbols()));
  struct Copy {
    bool onPaper;
    double size;
  };
  // The four inserts of the drawing's list, in order.
  const std::vector<Copy> paperSpace = {{true, 10}, {false, 1000}, {false, 500}, {false, 1000}};
  const std::vector<Copy> modelSpace = {{false, 10}, {false, 10}, {false, 10}, {false, 10}};
  for (int space : {0, 1}) {
    const std::vector<std::string> files = ConvertAll(box, jww, "symbols", space);
    std::vector<json> reports;
    if (!ReadBack(files, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
    for (const json& r : reports) {
      SCOPED_TRACE(r.value("file", std::string("?")));
      ASSERT_FALSE(r.contains("loadError")) << r["loadError"];
      EXPECT_EQ(r["errors"], 0) << r["audit"].dump();
      std::vector<Copy> got;
      for (const json& i : r["inserts"]) {
        const bool onPaper = i["layout"] != "Model";
        const double w = i["w"], h = i["h"];
        EXPECT_NEAR(w, h, 1e-9 * w) << i.dump();
        got.push_back({onPaper, w});
      }
      // Model space lists its inserts before the layout's.
      const std::vector<Copy>& want = space == 1 ? paperSpace : modelSpace;
      std::vector<Copy> wantSorted = want;
      std::stable_partition(wantSorted.begin(), wantSorted.end(),
                            [](const Copy& c) { return !c.onPaper; });
      ASSERT_EQ(got.size(), wantSorted.size());
      for (size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].onPaper, wantSorted[k].onPaper) << k;
        EXPECT_NEAR(got[k].size, wantSorted[k].size, 1e-9 * wantSorted[k].size) << k;
      }
    }
  }
}

// ---- Texts a Jw_cad 8 drawing holds in Unicode ---------------------------------

TEST(FixtureReadBack, TextsOutsideCodePage932KeepEveryCharacter) {
  const std::u16string texts[] = {u"m²", u"Ø50", u"〜", u"한국어", u"\U0001F600", u"日本語の文字"};
  TJwwData d = test::MakeJwwDrawing(700);
  double y = 100;
  for (const std::u16string& t : texts) {
    test::AddMoji(d, test::Text(-100, y, t));
    y -= 20;
  }
  test::TJwwWriteOptions o;
  o.unicodeStrings = true;  // the form Jw_cad 8 writes
  TConverterBox box;
  const std::string jww = box.In() + "texts.jww";
  ASSERT_TRUE(test::WriteJwwFile(jww, d, o));
  const std::vector<std::string> files = ConvertAll(box, jww, "texts", 0);
  std::vector<json> reports;
  if (!ReadBack(files, reports)) GTEST_SKIP() << "python3 with ezdxf is not available";
  for (const json& r : reports) {
    SCOPED_TRACE(r.value("file", std::string("?")));
    ASSERT_FALSE(r.contains("loadError")) << r["loadError"];
    EXPECT_EQ(r["errors"], 0) << r["audit"].dump();
    std::vector<std::string> got = r["texts"];
    for (const std::u16string& t : texts) {
      const std::string want = StrToUtf8(t);
      EXPECT_NE(std::find(got.begin(), got.end(), want), got.end()) << want;
    }
  }
}

}  // namespace
}  // namespace tessa
