// The preview in the library: a picture of every fixture in both spaces,
// the same refusals and reasons as the conversion, and pictures written
// whole or not at all.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/tessa_api.h"
#include "api_fixtures.h"
#include "api_test_util.h"
#include "temp_folder.h"

namespace tessa::apitest {
namespace {

TEST(ApiPreview, EveryFixtureInBothSpaces) {
  for (const TDrawing& d : AllFixtures()) {
    for (api::Space space : {api::Space::Model, api::Space::Paper}) {
      api::Options o;
      o.space = space;
      std::string svg, dxf;
      const api::Result r = api::PreviewSvg(d.bytes, d.format, o, svg);
      ASSERT_TRUE(r.ok) << d.name << ": " << (r.reason ? r.reason->message : "");
      EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << d.name;
      EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n") << d.name;
      // The same drawing as the conversion read; a picture counts no DXF kinds.
      const api::Result c = api::ConvertBytes(d.bytes, d.format, o, dxf);
      ASSERT_TRUE(c.ok);
      EXPECT_EQ(r.version, c.version) << d.name;
      EXPECT_TRUE(r.written.empty()) << d.name;
    }
  }
}

TEST(ApiPreview, TheMixedDrawingShowsItsBlockOnceAndItsTexts) {
  const TDrawing d = JwwMixed();
  std::string svg;
  ASSERT_TRUE(api::PreviewSvg(d.bytes, d.format, {}, svg).ok);
  auto count = [&](const std::string& what) {
    size_t n = 0;
    for (size_t p = svg.find(what); p != std::string::npos; p = svg.find(what, p + 1)) ++n;
    return n;
  };
  // Written once, placed at scales 1 and 2, the lines of the second as
  // wide as those of the first.
  EXPECT_EQ(count("<symbol "), 1u);
  EXPECT_EQ(count("<use "), 2u);
  EXPECT_EQ(count("font-size=\"0.5em\""), 1u);
  EXPECT_NE(svg.find(">平面図 A</text>"), std::string::npos);
  EXPECT_EQ(svg.find("Printer_Orientation"), std::string::npos);  // a setting text
}

TEST(ApiPreview, RefusesWhatTheConversionRefuses) {
  TTempFolder dir;
  const TDrawing d = JwwMixed();
  const std::string src = dir.Dir() + d.name;
  ASSERT_TRUE(WriteFileBytes(src, d.bytes));
  const std::string cut = dir.Dir() + "cut.jww";
  ASSERT_TRUE(WriteFileBytes(cut, std::vector<uint8_t>(d.bytes.begin(), d.bytes.begin() + 200)));
  const std::string exists = dir.Dir() + "exists.svg";
  ASSERT_TRUE(WriteFileBytes(exists, {'x'}));
  const struct {
    std::string src, dst;
  } cases[] = {
      {dir.Dir() + "missing.jww", dir.Dir() + "a.svg"},
      {dir.Dir() + "cut.txt", dir.Dir() + "b.svg"},
      {cut, dir.Dir() + "c.svg"},
      {src, dir.Dir() + "d.jws"},
      {src, src},
      {src, exists},
  };
  for (const auto& c : cases) {
    const api::Result converted = api::ConvertFile(c.src, c.dst, {});
    const api::Result previewed = api::PreviewSvgFile(c.src, c.dst, {});
    ASSERT_FALSE(converted.ok) << c.src << " -> " << c.dst;
    ASSERT_FALSE(previewed.ok) << c.src << " -> " << c.dst;
    EXPECT_EQ(previewed.reason->code, converted.reason->code) << c.src << " -> " << c.dst;
  }
  EXPECT_EQ(ReadFileText(exists), "x");
  const std::vector<std::string> left = dir.Names();
  EXPECT_EQ(left, (std::vector<std::string>{"cut.jww", "exists.svg", "mixed.jww"}));

  std::string svg = "stale";
  EXPECT_EQ(api::PreviewSvg(cut, {}, svg).reason->code, api::ConvertFile(cut, "x.dxf", {}).reason->code);
  EXPECT_TRUE(svg.empty());
  const std::vector<uint8_t> part(d.bytes.begin(), d.bytes.begin() + 200);
  EXPECT_FALSE(api::PreviewSvg(part, d.format, {}, svg).ok);
  EXPECT_TRUE(svg.empty());
}

TEST(ApiPreview, FileAndMemoryGiveOnePicture) {
  TTempFolder dir;
  const TDrawing d = JwwMixed();
  const std::string src = dir.Dir() + d.name, dst = dir.Dir() + "mixed.svg";
  ASSERT_TRUE(WriteFileBytes(src, d.bytes));
  std::string fromFile, fromBytes;
  ASSERT_TRUE(api::PreviewSvgFile(src, dst, {}).ok);
  ASSERT_TRUE(api::PreviewSvg(src, {}, fromFile).ok);
  ASSERT_TRUE(api::PreviewSvg(d.bytes, d.format, {}, fromBytes).ok);
  EXPECT_EQ(ReadFileText(dst), fromFile);
  EXPECT_EQ(fromFile, fromBytes);
  EXPECT_EQ(api::PreviewSvgFile(src, dst, {}).reason->code, api::ReasonCode::OutputExists);
  EXPECT_TRUE(api::PreviewSvgFile(src, dst, {}, true).ok);
}

// One reading gives what the three separate calls give, and a drawing that
// cannot be read leaves no product behind, only its reason.
TEST(ApiPreview, OneReadingGivesEveryProduct) {
  for (const TDrawing& d : AllFixtures()) {
    for (api::DxfVersion v : {api::DxfVersion::R12, api::DxfVersion::R2007}) {
      for (api::Space space : {api::Space::Model, api::Space::Paper}) {
        api::Options o;
        o.dxf = v;
        o.space = space;
        o.layerNames = api::LayerNames::GroupLayer;
        api::Info info;
        std::string dxf, svg, dxfAlone, svgAlone;
        api::Products all;
        all.info = &info;
        all.dxf = &dxf;
        all.svg = &svg;
        const api::Result r = api::ConvertBytes(d.bytes, d.format, o, all, int64_t{86400000});
        const api::Result alone = api::ConvertBytes(d.bytes, d.format, o, dxfAlone, int64_t{86400000});
        ASSERT_TRUE(r.ok && alone.ok) << d.name;
        ASSERT_TRUE(api::PreviewSvg(d.bytes, d.format, o, svgAlone).ok) << d.name;
        EXPECT_EQ(dxf, dxfAlone) << d.name;
        EXPECT_EQ(svg, svgAlone) << d.name;
        EXPECT_EQ(r.version, alone.version) << d.name;
        EXPECT_EQ(r.warnings, alone.warnings) << d.name;
        EXPECT_EQ(r.written, alone.written) << d.name;
        EXPECT_EQ(api::InfoJson(info), api::InfoJson(api::InspectBytes(d.bytes, d.format))) << d.name;
      }
    }
  }

  const TDrawing d = JwwMixed();
  const std::vector<uint8_t> cut(d.bytes.begin(), d.bytes.begin() + 200);
  api::Info info;
  info.ok = true;
  std::string dxf = "stale", svg = "stale";
  api::Products all;
  all.info = &info;
  all.dxf = &dxf;
  all.svg = &svg;
  const api::Result r = api::ConvertBytes(cut, d.format, {}, all);
  ASSERT_FALSE(r.ok);
  EXPECT_TRUE(dxf.empty() && svg.empty());
  EXPECT_EQ(api::InfoJson(info), api::InfoJson(api::InspectBytes(cut, d.format)));
  EXPECT_EQ(info.reason->code, r.reason->code);

  // Only what is asked for is made: the summary alone converts nothing.
  api::Products summary;
  summary.info = &info;
  const api::Result read = api::ConvertBytes(d.bytes, d.format, {}, summary);
  EXPECT_TRUE(read.ok && info.ok);
  EXPECT_TRUE(read.written.empty());
}

}  // namespace
}  // namespace tessa::apitest
