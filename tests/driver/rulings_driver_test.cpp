// A drawing that does not load gives no DXF file, whatever its format:
// its partly read container has no extents or paper yet, so converting it
// would misplace its geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_folder.h"
#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"
#include "driver/Unit1.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

std::vector<uint8_t> Head(const std::vector<uint8_t>& b, size_t n) {
  return std::vector<uint8_t>(b.begin(), b.begin() + static_cast<long>(n));
}

struct LoadCase {
  const char* what;
  const char* ext;
  std::vector<uint8_t> good, bad;
};

std::vector<LoadCase> Cases() {
  TJwwData jww = test::MakeJwwDrawing(700);
  for (int i = 0; i < 20; ++i) test::AddLine(jww, test::Line(i, 0, i, 50));
  const std::vector<uint8_t> jwwBytes = test::WriteJww(jww);

  TJwsData jws = test::MakeJwsSymbol(700);
  for (int i = 0; i < 20; ++i) test::AddLine(jws, test::Line(i, 0, i, 50));
  const std::vector<uint8_t> jwsBytes = test::WriteJws(jws);

  fixture::JwcFixture jwc;
  for (int i = 0; i < 20; ++i) jwc.lines.push_back({1.0f * i, 0, 1.0f * i, 50});
  fixture::JwcFixture badHeader = jwc;
  badHeader.vtenCount = 200;
  const std::vector<uint8_t> jwcBytes = jwc.Build();

  fixture::JwkFixture jwk;
  for (int i = 0; i < 20; ++i) jwk.lines.push_back({1.0f * i, 0, 1.0f * i, 50});
  const std::vector<uint8_t> jwkBytes = jwk.Build();

  return {
      {"JWW cut in its entities", ".jww", jwwBytes, Head(jwwBytes, jwwBytes.size() - 200)},
      {"JWS cut in its entities", ".jws", jwsBytes, Head(jwsBytes, jwsBytes.size() - 200)},
      {"JWC cut in its entities", ".jwc", jwcBytes, Head(jwcBytes, jwcBytes.size() / 2)},
      {"JWC with a rejected header", ".jwc", jwcBytes, badHeader.Build()},
      {"JWK cut in its entities", ".jwk", jwkBytes, Head(jwkBytes, jwkBytes.size() / 2)},
  };
}

// What the container of the format makes of the file on its own.
struct TLoad {
  bool check = false, in = false;
};
template <class C>
TLoad LoadWith(const std::string& path) {
  C c;
  TLoad r;
  r.check = c.FileCheck(path);
  r.in = r.check && c.FileIn(path);
  return r;
}
TLoad Load(const std::string& ext, const std::string& path) {
  if (ext == ".jww") return LoadWith<TJwwData>(path);
  if (ext == ".jws") return LoadWith<TJwsData>(path);
  if (ext == ".jwc") return LoadWith<TJwcData>(path);
  return LoadWith<TJwkData>(path);
}

TEST(DrawingThatFailsToLoad, GivesNoDxfInAnyFormat) {
  TTempFolder dir("tessa_rulings_driver_");
  ASSERT_FALSE(dir.Path().empty());
  for (const LoadCase& c : Cases()) {
    const std::string good = dir.Path() + "/good" + c.ext;
    const std::string bad = dir.Path() + "/bad" + c.ext;
    const std::string out = dir.Path() + "/out.dxf";
    ASSERT_TRUE(fixture::WriteFile(good, c.good));
    ASSERT_TRUE(fixture::WriteFile(bad, c.bad));
    // The damaged file is of the format, but it does not read.
    ASSERT_TRUE(Load(c.ext, good).in) << c.what;
    ASSERT_TRUE(Load(c.ext, bad).check) << c.what;
    ASSERT_FALSE(Load(c.ext, bad).in) << c.what;

    TForm1 form;
    form.AppDir = dir.Path() + "/";
    form.cb3 = 0;
    form.JwInit();
    form.cb2 = 1;
    form.Proc(good, out);
    EXPECT_TRUE(IsFile(out)) << c.what;
    DelFile(out);
    // Neither the part that was read nor the drawing loaded before it is
    // converted.
    form.Proc(bad, out);
    EXPECT_FALSE(IsFile(out)) << c.what;
    form.JwFine();
  }
}

}  // namespace
}  // namespace tessa
