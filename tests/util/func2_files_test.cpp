#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "env_scope.h"
#include "platform/Platform.h"
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
    std::ofstream(testing_support::FsPath(p)) << "x";
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
  EXPECT_EQ(PathDelim(), platform::PathSeparator());
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
}

TEST_F(FilesTest, FileQueriesFollowLinks) {
  std::string f = Touch("a.jww");
  std::string link = dir_ + "/link";
  std::error_code ec;
  std::filesystem::create_symlink(testing_support::FsPath(f), testing_support::FsPath(link), ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  EXPECT_TRUE(IsFile(link));
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

// The file's last write at sec.nsec after 1970 UTC.
void SetMTime(const std::string& path, time_t sec, long nsec) {
  using namespace std::chrono;
  const system_clock::time_point t{duration_cast<system_clock::duration>(
      seconds{sec} + nanoseconds{nsec})};
  ASSERT_TRUE(platform::ChangeFileTime(path, platform::TFileTime::written, t));
}

#ifndef _WIN32
// The C library's time zone for a scope (the one POSIX systems read the
// local clock in).
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* tz) : tz_("TZ", tz) { tzset(); }

 private:
  // Destroyed in reverse order: TZ comes back, then it is read again.
  struct TReread {
    ~TReread() { tzset(); }
  } reread_;
  testing_support::TEnvScope tz_;
};
#endif

TEST_F(FilesTest, FileWriteTimeOnTheLocalClockInWholeMilliseconds) {
  std::string f = Touch("t.jww");
  // 2023-11-14 22:13:20.123456789 UTC
  SetMTime(f, 1700000000, 123456789);
  const double day = 25569.0 + 19675.0;
  const double utc = day + 80000123.0 / 86400000.0;
#ifdef _WIN32
  // Windows reads the local clock in the system's zone, which a running
  // program cannot switch: whatever that zone is, the offset is whole
  // minutes, no more than 14 hours, and the milliseconds stay.
  const double minutes = (FileWriteTime(f) - utc) * 1440.0;
  EXPECT_NEAR(minutes, std::round(minutes), 1e-6);
  EXPECT_LE(std::abs(minutes), 14 * 60.0);
#else
  {
    ZoneGuard zone("UTC0");
    EXPECT_EQ(FileWriteTime(f), utc);
  }
  {
    ZoneGuard tokyo("JST-9");  // nine hours ahead: the next day, 07:13:20.123
    EXPECT_EQ(FileWriteTime(f), day + 1 + (80000123.0 + 9 * 3600000.0 - 86400000.0) / 86400000.0);
  }
#endif
  EXPECT_EQ(FileWriteTime(dir_ + "/missing"), 0.0);
  EXPECT_EQ(FileCreateTime(dir_ + "/missing"), 0.0);
}

TEST_F(FilesTest, FileCreateTimeIsBirthOrElseWriteTime) {
  std::string f = Touch("c.jww");
  SetMTime(f, 1000000000, 0);  // 2001, long before the file was made
  double created = FileCreateTime(f);
  double written = FileWriteTime(f);
  // Whether the file system keeps a birth time: Linux tells, elsewhere a
  // creation time other than the last write shows it.
  bool birth = created != written;
#ifdef __linux__
  struct statx sx;
  ASSERT_EQ(statx(AT_FDCWD, f.c_str(), 0, STATX_BTIME, &sx), 0);
  birth = (sx.stx_mask & STATX_BTIME) != 0;
#endif
  if (birth) {
    // Made a moment ago: within a day of now on any local clock.
    double now = 25569.0 + static_cast<double>(time(nullptr)) / 86400.0;
    EXPECT_NEAR(created, now, 1.0);
    EXPECT_GT(created, written);
  } else {
    EXPECT_EQ(created, written);
  }
}

}  // namespace
}  // namespace tessa
