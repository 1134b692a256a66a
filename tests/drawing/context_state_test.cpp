// Nothing of one conversion reaches the next: a context that loaded and
// converted other drawings (or failed to load one) converts a drawing
// exactly as a fresh context does.  And a load from bytes equals the load
// of the file, without writing any image of the drawing anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "context_test_util.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwwUnit.h"

namespace tessa::test {
namespace {

namespace fs = std::filesystem;

class ContextState : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.empty());
    ASSERT_TRUE(WriteJwwFile(Path("light.jww"), FixtureJww(false)));
    ASSERT_TRUE(WriteJwwFile(Path("dark.jww"), FixtureJww(true)));
    ASSERT_TRUE(WriteJwsFile(Path("sym.jws"), FixtureJws()));
    ASSERT_TRUE(fixture::WriteFile(Path("plan.jwc"), FixtureJwc().Build()));
    ASSERT_TRUE(fixture::WriteFile(Path("sym.jwk"), FixtureJwk().Build()));
    // Good signatures, then the files end in the middle of their entities.
    std::vector<uint8_t> jww = ReadBytes(Path("dark.jww"));
    jww.resize(jww.size() - 200);
    ASSERT_TRUE(fixture::WriteFile(Path("cut.jww"), jww));
    std::vector<uint8_t> jwc = ReadBytes(Path("plan.jwc"));
    jwc.resize(jwc.size() - 40);
    ASSERT_TRUE(fixture::WriteFile(Path("cut.jwc"), jwc));
    TJwwData jwwReader;
    TJwcData jwcReader;
    ASSERT_TRUE(jwwReader.FileCheck(Path("cut.jww")) && !jwwReader.FileIn(Path("cut.jww")));
    ASSERT_TRUE(jwcReader.FileCheck(Path("cut.jwc")) && !jwcReader.FileIn(Path("cut.jwc")));
  }
  std::string Path(const std::string& name) const { return dir_ + name; }

  TScratch scratch_;
  const std::string& dir_ = scratch_.Dir();
};

TEST_F(ContextState, EarlierDrawingsLeaveNothingBehind) {
  struct Case {
    const char* what;
    std::vector<const char*> before;  // converted first, in the same context
    const char* drawing;
  } cases[] = {
      // A dark background used to stay for the next drawing's pens.
      {"dark drawing, then symbol", {"dark.jww"}, "sym.jws"},
      {"dark drawing, then light drawing", {"dark.jww"}, "light.jww"},
      {"dark drawing, then JWC", {"dark.jww"}, "plan.jwc"},
      {"failed load, then drawing", {"cut.jww"}, "light.jww"},
      {"dark, failed load, then symbol", {"dark.jww", "cut.jwc"}, "sym.jws"},
      {"failed load of the same format", {"cut.jwc"}, "plan.jwc"},
      {"JWC and JWK, then drawing", {"plan.jwc", "sym.jwk"}, "light.jww"},
  };
  for (const bool paper : {false, true}) {
    TConvOptions opt;
    opt.DxfVer = 1;
    opt.Space = paper ? 1 : 0;
    for (const Case& c : cases) {
      const std::string alone = Convert(opt, Path(c.drawing), Path("alone.dxf"));
      ASSERT_FALSE(alone.empty()) << c.what;
      TConvContext ctx;
      ctx.Opt = opt;
      for (const char* b : c.before) ConvertWith(ctx, Path(b), Path("before.dxf"));
      EXPECT_EQ(FirstDifference(ConvertWith(ctx, Path(c.drawing), Path("after.dxf")), alone), "")
          << c.what << (paper ? " (paper space)" : "");
    }
  }
}

TEST_F(ContextState, FailedLoadWritesNothingAndKeepsTheContext) {
  TConvContext ctx;
  ASSERT_FALSE(ConvertWith(ctx, Path("plan.jwc"), Path("first.dxf")).empty());
  const TJwPlacement place = ctx.Place;
  const std::string name = ctx.CurFileName;
  for (const char* bad : {"cut.jww", "cut.jwc"}) {
    EXPECT_EQ(ConvertWith(ctx, Path(bad), Path("bad.dxf")), "") << bad;
    EXPECT_FALSE(fs::exists(Path("bad.dxf"))) << bad;
    EXPECT_EQ(ctx.CurFileName, name) << bad;
    EXPECT_EQ(ctx.Place.PaperX, place.PaperX) << bad;
    EXPECT_EQ(ctx.Place.ExtMaxX, place.ExtMaxX) << bad;
  }
}

TEST_F(ContextState, FormatTableAndContainers) {
  struct Case {
    const char* path;
    TJwFormat format;
  } cases[] = {{"a.jww", fmtJww}, {"a.JWS", fmtJws}, {"dir.jww/a.Jwc", fmtJwc},
               {"a.jwk", fmtJwk}, {"a.jwx", fmtNone}, {"jww", fmtNone}, {"a.jww.bak", fmtNone}};
  for (const Case& c : cases) {
    const TJwFormatEntry* f = JwFormatOfPath(c.path);
    if (c.format == fmtNone) {
      EXPECT_EQ(f, nullptr) << c.path;
      continue;
    }
    ASSERT_NE(f, nullptr) << c.path;
    EXPECT_EQ(f->format, c.format) << c.path;
    EXPECT_EQ(JwFormatEntry(c.format), f) << c.path;
    std::unique_ptr<TJwDrawing> jw = MakeJwDrawing(c.format);
    ASSERT_NE(jw, nullptr) << c.path;
    EXPECT_EQ(jw->Format(), c.format) << c.path;
  }
  EXPECT_EQ(MakeJwDrawing(fmtNone), nullptr);
  EXPECT_EQ(JwFormatEntry(1), nullptr);

  // Each container accepts its own format only, from a file and from bytes.
  const char* files[] = {"light.jww", "sym.jws", "plan.jwc", "sym.jwk"};
  for (const char* file : files) {
    const std::vector<uint8_t> bytes = ReadBytes(Path(file));
    for (const char* other : files) {
      std::unique_ptr<TJwDrawing> jw = JwFormatOfPath(other)->make();
      const bool own = std::string(file) == other;
      EXPECT_EQ(jw->FileCheck(Path(file)), own) << file << " as " << other;
      EXPECT_EQ(jw->FileCheckMem(bytes.data(), bytes.size()), own) << file << " as " << other;
      EXPECT_FALSE(jw->FileCheckMem(bytes.data(), 3)) << file << " as " << other;
      EXPECT_FALSE(jw->FileCheckMem(nullptr, 0)) << other;
    }
  }
}

// A drawing loaded from bytes gives the model (and file) of the same
// drawing loaded from its file; the images bound into it are listed but
// never written.
TEST_F(ContextState, BytesLoadListsImagesWithoutWritingThem) {
  TJwwData d = FixtureJww(false);
  AddBindImage(d, u"photo.bmp", 0);
  AddBindImage(d, u"plan.jpg.gz", 0);
  TJwwWriteOptions o;
  o.imageData = {"BM photo bytes", "not really gzip"};
  for (size_t i = 0; i < o.imageData.size(); ++i)
    d.BindImage[i].Fsize = static_cast<int32_t>(o.imageData[i].size());
  const std::string path = Path("images.jww");
  ASSERT_TRUE(WriteJwwFile(path, d, o));
  const std::vector<uint8_t> bytes = ReadBytes(path);

  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);  // a stray relative write would land here
  TConvContext ctx;
  std::unique_ptr<TJwDrawing> jw = MakeJwDrawing(fmtJww);
  ASSERT_TRUE(LoadDrawingMem(ctx, *jw, bytes.data(), bytes.size(), path));
  ASSERT_TRUE(BuildDxfModel(ctx, *jw));
  fs::current_path(cwd);

  const TJwwData& loaded = static_cast<const TJwwData&>(*jw);
  ASSERT_EQ(loaded.BindImageN, 2);
  EXPECT_EQ(loaded.BindImage[0].Fname, u"photo.bmp");
  EXPECT_EQ(loaded.BindImage[1].Fname, u"plan.jpg.gz");
  EXPECT_TRUE(loaded.BindImageDir().empty());
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"cut.jwc", "cut.jww", "dark.jww", "images.jww",
                                             "light.jww", "plan.jwc", "sym.jwk", "sym.jws"}));
  EXPECT_EQ(ctx.CurFileName, path);
  EXPECT_EQ(ctx.Place.PaperX, 420);  // A3
  EXPECT_GT(ctx.DxfModel->deNoN(), 5);

  const std::string fromFile = Convert(TConvOptions{}, path, Path("file.dxf"), false);
  ASSERT_FALSE(fromFile.empty());
  EXPECT_EQ(FirstDifference(Convert(TConvOptions{}, path, Path("mem.dxf"), true), fromFile), "");
}

}  // namespace
}  // namespace tessa::test
