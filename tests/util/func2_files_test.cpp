#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "temp_folder.h"
#include "util/Func_2Files.h"

namespace tessa {
namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = tmp_.Path();
    ASSERT_FALSE(dir_.empty());
  }
  std::string Touch(const std::string& name) {
    std::string p = dir_ + "/" + name;
    std::ofstream(p) << "x";
    return p;
  }
  TTempFolder tmp_{"tessa_util_"};
  std::string dir_;
};

struct ExtCase {
  std::string path, ext;
};

TEST(PathText, FileExtLowerLooksOnlyAtTheFileName) {
  const ExtCase cases[] = {
      {"/a/b/X.JWW", ".jww"},     {"plan.JwC", ".jwc"},     {"a.tar.GZ", ".gz"},
      {"/dir.d/file", ""},        {"C:\\a.b\\file", ""},    {"noext", ""},
      {"file.", "."},             {"/x/.hidden", ".hidden"}, {"", ""},
      {"mixed\\dir/y.JWK", ".jwk"},
      {"k.jw\xE2\x84\xAA", ".jwk"},  // Kelvin sign lower-cases to k
      {"bad.J\xFF", ".j\xFF"},       // not UTF-8: ASCII letters only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExtLower(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(PathDelim(), '/');
}

TEST(PathText, ChangeExtSafe) {
  EXPECT_EQ(ChangeExtSafe("/a/b.jww", ".dxf"), "/a/b.dxf");
  EXPECT_EQ(ChangeExtSafe("/a.b/c", ".dxf"), "/a.b/c.dxf");
  EXPECT_EQ(ChangeExtSafe("x.tar.gz", ".bmp"), "x.tar.bmp");
  EXPECT_EQ(ChangeExtSafe("", ".dxf"), "");
  EXPECT_EQ(ChangeExtSafe("/a/", ".dxf"), "");
}

TEST_F(FilesTest, FileAndFolderQueries) {
  std::string f = Touch("a.jww");
  EXPECT_TRUE(IsFile(f));
  EXPECT_FALSE(IsFolder(f));
  EXPECT_TRUE(IsFolder(dir_));
  EXPECT_FALSE(IsFile(dir_));
  EXPECT_FALSE(IsFile(dir_ + "/missing"));
  EXPECT_FALSE(IsFile(""));
  EXPECT_FALSE(IsFolder(""));
  std::string link = dir_ + "/link";
  ASSERT_EQ(symlink(f.c_str(), link.c_str()), 0);
  EXPECT_TRUE(IsFile(link));  // links are followed
}

TEST_F(FilesTest, MakeFolderCreatesParentsAndDelFolderOnlyEmpty) {
  std::string deep = dir_ + "/a/b/c";
  EXPECT_TRUE(MakeFolder(deep));
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_TRUE(MakeFolder(deep + "/"));  // already there, trailing separator
  EXPECT_FALSE(MakeFolder(""));
  // A file in the way: the folder cannot exist, and that is reported.
  std::string f = Touch("plain");
  EXPECT_FALSE(MakeFolder(f + "/sub"));

  Touch("a/b/c/x.bmp");
  EXPECT_FALSE(DelFolder(deep));  // not empty
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_TRUE(DelFile(deep + "/x.bmp"));
  EXPECT_TRUE(DelFolder(deep));
  EXPECT_FALSE(IsFolder(deep));
  EXPECT_FALSE(DelFolder(deep));  // gone
  EXPECT_FALSE(DelFolder(""));
}

TEST_F(FilesTest, DelFileOnlyDeletesFiles) {
  std::string f = Touch("x.dxf");
  EXPECT_TRUE(DelFile(f));
  EXPECT_FALSE(IsFile(f));
  EXPECT_FALSE(DelFile(f));
  EXPECT_FALSE(DelFile(dir_));
  EXPECT_TRUE(IsFolder(dir_));
  EXPECT_FALSE(DelFile(""));
}

void SetMTime(const std::string& path, time_t sec, long nsec) {
  struct timespec ts[2];
  ts[0].tv_sec = sec;
  ts[0].tv_nsec = nsec;
  ts[1] = ts[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), ts, 0), 0);
}

class ZoneGuard {
 public:
  explicit ZoneGuard(const char* tz) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST_F(FilesTest, FileWriteTimeOnTheLocalClockInWholeMilliseconds) {
  std::string f = Touch("t.jww");
  // 2023-11-14 22:13:20.123456789 UTC
  SetMTime(f, 1700000000, 123456789);
  const double day = 25569.0 + 19675.0;
  {
    ZoneGuard utc("UTC0");
    EXPECT_EQ(FileWriteTime(f), day + 80000123.0 / 86400000.0);
  }
  {
    ZoneGuard tokyo("JST-9");  // nine hours ahead: the next day, 07:13:20.123
    EXPECT_EQ(FileWriteTime(f), day + 1 + (80000123.0 + 9 * 3600000.0 - 86400000.0) / 86400000.0);
  }
  EXPECT_EQ(FileWriteTime(dir_ + "/missing"), 0.0);
  EXPECT_EQ(FileCreateTime(dir_ + "/missing"), 0.0);
}

TEST_F(FilesTest, FileCreateTimeIsBirthOrElseWriteTime) {
  ZoneGuard utc("UTC0");
  std::string f = Touch("c.jww");
  SetMTime(f, 1000000000, 0);  // 2001, long before the file was made
  double created = FileCreateTime(f);
  double written = FileWriteTime(f);
  struct statx sx;
  ASSERT_EQ(statx(AT_FDCWD, f.c_str(), 0, STATX_BTIME, &sx), 0);
  if (sx.stx_mask & STATX_BTIME) {
    double now = 25569.0 + static_cast<double>(time(nullptr)) / 86400.0;
    EXPECT_NEAR(created, now, 1.0);
    EXPECT_GT(created, written);
  } else {
    EXPECT_EQ(created, written);
  }
}

}  // namespace
}  // namespace tessa
