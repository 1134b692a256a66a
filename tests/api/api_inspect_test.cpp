// Inspect: what a drawing holds, read without converting it and without
// writing any file.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/tessa_api.h"
#include "api_fixtures.h"
#include "api_test_util.h"
#include "temp_folder.h"

namespace tessa::apitest {
namespace {

using namespace tessa::test;

const api::LayerInfo* FindLayer(const api::Info& info, int group, int layer) {
  for (const api::LayerInfo& l : info.layers)
    if (l.group == group && l.layer == layer) return &l;
  return nullptr;
}

bool HasWarning(const api::Info& info, const std::string& start) {
  for (const std::string& w : info.warnings)
    if (w.rfind(start, 0) == 0 || w.find(start) != std::string::npos) return true;
  return false;
}

TEST(ApiInspect, JwwDrawing) {
  const TDrawing d = JwwMixed();
  const api::Info info = api::InspectBytes(d.bytes, d.format);
  ASSERT_TRUE(info.ok) << info.reason->message;
  EXPECT_EQ(info.format, api::Format::Jww);
  EXPECT_EQ(info.version, 700);
  EXPECT_EQ(info.jwCadVersion, "Jw_cad for Windows 7.00 or later");
  EXPECT_EQ(info.paper, "A3");
  EXPECT_EQ(info.paperWidth, 420);
  EXPECT_EQ(info.paperHeight, 297);

  ASSERT_EQ(info.groups.size(), 2u);
  EXPECT_EQ(info.groups[0].group, 0);
  EXPECT_EQ(info.groups[0].scale, 1);
  EXPECT_EQ(info.groups[1].group, 1);
  EXPECT_EQ(info.groups[1].name, "平面");
  EXPECT_EQ(info.groups[1].scale, 50);

  // The fixture's text at (0, -1000) holds the CAD program's settings, not
  // drawing: it is not counted, and a warning names it.
  const api::EntityCounts kinds = {{"line", 2},      {"arc", 3},   {"point", 1}, {"text", 1},
                             {"dimension", 1}, {"solid", 1}, {"block", 2}};
  EXPECT_EQ(info.entities, kinds);
  const api::LayerInfo* wall = FindLayer(info, 1, 2);
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->name, "壁");
  EXPECT_EQ(wall->entities, 3);  // line, circle and one insert
  const api::LayerInfo* base = FindLayer(info, 0, 0);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->name, "基準");
  EXPECT_EQ(base->entities, 8);
  EXPECT_EQ(info.layers.size(), 2u);

  ASSERT_EQ(info.blocks.size(), 1u);
  EXPECT_EQ(info.blocks[0].name, "窓");
  EXPECT_EQ(info.blocks[0].number, 7u);
  EXPECT_EQ(info.blocks[0].entities, 2);
  EXPECT_EQ(info.blocks[0].inserts, 2);
  EXPECT_TRUE(info.images.empty());

  EXPECT_LE(info.extents.minX, -50);
  EXPECT_GE(info.extents.maxX, 150);
  EXPECT_LE(info.extents.minY, -50);
  EXPECT_GE(info.extents.maxY, 100);
  EXPECT_GT(info.extents.minY, -1000);  // that text lies outside the extents

  EXPECT_TRUE(HasWarning(info, "1 setting text of Jw_cad left out"));
  // Strings held as Unicode are read as they are: nothing to warn of.
  EXPECT_FALSE(HasWarning(info, "Unicode"));
}

TEST(ApiInspect, OtherFormats) {
  const TDrawing jws = JwsSymbol();
  const api::Info s = api::InspectBytes(jws.bytes, jws.format);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.version, 600);
  EXPECT_EQ(s.jwCadVersion, "Jw_cad for Windows 6.x");
  EXPECT_EQ(s.paper, "extent");
  EXPECT_DOUBLE_EQ(s.paperWidth, s.extents.maxX - s.extents.minX);
  EXPECT_DOUBLE_EQ(s.paperHeight, s.extents.maxY - s.extents.minY);
  EXPECT_EQ(s.entities.at("line"), 1);
  EXPECT_EQ(s.entities.at("text"), 1);

  const TDrawing jwc = JwcDrawing();
  const api::Info c = api::InspectBytes(jwc.bytes, jwc.format);
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.jwCadVersion, "Jw_cad for DOS");
  EXPECT_EQ(c.paper, "A2");
  EXPECT_EQ(c.paperWidth, 594);
  const api::EntityCounts jwcKinds = {{"line", 2}, {"arc", 2}, {"text", 1}, {"point", 1}};
  EXPECT_EQ(c.entities, jwcKinds);
  ASSERT_EQ(c.groups.size(), 2u);
  EXPECT_EQ(c.groups[1].name, "配置");
  EXPECT_EQ(c.groups[1].scale, 20);
  const api::LayerInfo* road = FindLayer(c, 1, 3);
  ASSERT_NE(road, nullptr);
  EXPECT_EQ(road->name, "道路");
  EXPECT_EQ(road->entities, 2);

  const TDrawing jwk = JwkSymbol();
  const api::Info k = api::InspectBytes(jwk.bytes, jwk.format);
  ASSERT_TRUE(k.ok);
  EXPECT_EQ(k.paper, "extent");
  ASSERT_EQ(k.groups.size(), 1u);
  EXPECT_EQ(k.groups[0].scale, 50);
  EXPECT_EQ(k.entities.at("arc"), 1);
}

TEST(ApiInspect, VersionsOfJwCad) {
  struct Case {
    int32_t ver;
    const char* jwCad;
  } cases[] = {{351, "Jw_cad for Windows 3.51 to 4.1x"},
               {420, "Jw_cad for Windows 4.20 to 5.x"},
               {300, "Jw_cad for Windows 3.00 to 3.50"},
               {250, "unknown"}};
  for (const Case& c : cases) {
    TJwwData d = MakeJwwDrawing(c.ver);
    AddLine(d, Line(0, 0, 1, 1));
    const api::Info info = api::InspectBytes(WriteJww(d), api::Format::Jww);
    ASSERT_TRUE(info.ok) << c.ver;
    EXPECT_EQ(info.version, c.ver);
    EXPECT_EQ(info.jwCadVersion, c.jwCad) << c.ver;
  }
}

// Images stored inside the drawing are listed, but neither Inspect nor a
// conversion writes them to any file.
TEST(ApiInspect, BoundImagesAreNamedNotWritten) {
  TTempFolder dir("tessa-api-");
  const std::string tmp = dir.Path() + "/tmp";
  ASSERT_TRUE(std::filesystem::create_directory(tmp));
  const char* old = std::getenv("TMPDIR");
  const std::string oldTmp = old ? old : "";
  ::setenv("TMPDIR", tmp.c_str(), 1);

  TJwwData d = MakeJwwDrawing(700);
  AddLine(d, Line(0, 0, 1, 1));
  AddBindImage(d, u"photo.png", 64);
  AddBindImage(d, u"plan.bmp.gz", 32);
  const std::vector<uint8_t> bytes = WriteJww(d);
  const std::string src = dir.Path() + "/pictures.jww";
  ASSERT_TRUE(WriteFileBytes(src, bytes));

  const api::Info info = api::Inspect(src);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.images, (std::vector<std::string>{"photo.png", "plan.bmp.gz"}));
  EXPECT_TRUE(HasWarning(info, "2 bound images not converted"));
  const api::Result r = api::ConvertFile(src, dir.Path() + "/pictures.dxf", api::Options{});
  EXPECT_TRUE(r.ok);

  if (old)
    ::setenv("TMPDIR", oldTmp.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 3u);  // tmp (empty), the drawing and its DXF
  EXPECT_TRUE(std::filesystem::is_empty(tmp));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "TEMP"));
}

}  // namespace
}  // namespace tessa::apitest
