// The test helpers themselves: where the real drawings are looked for,
// temporary folders that always go, gzip data that zlib reads back.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "env_scope.h"
#include "gzip.h"
#include "samples.h"
#include "temp_folder.h"

namespace tessa::testing_support {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& p) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << "x";
}

TEST(Samples, TheEnvironmentComesFirstAndFilesAreFoundByExtension) {
  TTempFolder dir("tessa_support_");
  ASSERT_FALSE(dir.Path().empty());
  Touch(fs::path(dir.Path()) / "jww" / "b" / "Two.JWW");
  Touch(fs::path(dir.Path()) / "jww" / "a.jww");
  Touch(fs::path(dir.Path()) / "jww" / "a.jws");
  Touch(fs::path(dir.Path()) / "jww" / "jww");
  TEnvScope env("TESSA_SAMPLES_DIR", dir.Path());
  EXPECT_EQ(SamplesDir(), dir.Path());
  EXPECT_EQ(SampleFiles("jww", ".jww"),
            (std::vector<std::string>{(fs::path(dir.Path()) / "jww" / "a.jww").string(),
                                      (fs::path(dir.Path()) / "jww" / "b" / "Two.JWW").string()}));
  EXPECT_TRUE(SampleFiles("none", ".jww").empty());
}

TEST(Samples, WithoutTheEnvironmentTheConfiguredFolderIsUsed) {
  for (const std::optional<std::string>& env :
       {std::optional<std::string>(), std::optional<std::string>("/nonexistent/tessa")}) {
    TEnvScope scope("TESSA_SAMPLES_DIR", env);
    const std::string configured = TESSA_SAMPLES_DIR;
    EXPECT_EQ(SamplesDir(), fs::is_directory(configured) ? configured : "");
    // The skip message names both places.
    const std::string looked = SamplesLookedFor();
    EXPECT_NE(looked.find(configured), std::string::npos) << looked;
    EXPECT_NE(looked.find(env ? *env : "not set"), std::string::npos) << looked;
  }
}

TEST(TempFolder, GoesWithEverythingInItReadOnlyFoldersIncluded) {
  std::string path;
  {
    TTempFolder dir("tessa_support_");
    path = dir.Path();
    ASSERT_FALSE(path.empty());
    Touch(fs::path(path) / "locked" / "inner" / "f");
    Touch(fs::path(path) / "z");
    fs::permissions(fs::path(path) / "locked" / "inner", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(fs::path(path) / "locked", fs::perms::none);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"locked", "z"}));
    EXPECT_EQ(dir.Dir(), path + "/");
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST(Gzip, ZlibReadsBackWhatWasPacked) {
  for (const std::string& plain : {std::string(), std::string("picture"), std::string(100000, 'a')}) {
    const std::string gz = Gzip(plain);
    ASSERT_GE(gz.size(), 18u);
    EXPECT_EQ(static_cast<unsigned char>(gz[0]), 0x1F);
    EXPECT_EQ(static_cast<unsigned char>(gz[1]), 0x8B);
    z_stream zs{};
    ASSERT_EQ(inflateInit2(&zs, 15 + 16), Z_OK);
    std::string out(plain.size() + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
    zs.avail_in = static_cast<uInt>(gz.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    inflateEnd(&zs);
    EXPECT_TRUE(out == plain) << plain.size();
  }
}

}  // namespace
}  // namespace tessa::testing_support
