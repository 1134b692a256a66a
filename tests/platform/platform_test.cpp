// The platform layer: files replaced in one step, file identity, file
// dates on the local clock, folders held by a live process.  Only the
// interface and the standard library are used here, so the same tests run
// on every system the library builds for.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "temp_folder.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;
using namespace platform;

// A path in a folder: the folder, the system's separator, the name.
std::string In(const TTempFolder& dir, const std::string& name) {
  return dir.Path() + PathSeparator() + name;
}

// std::filesystem's path for a UTF-8 name (fixtures only).
fs::path U8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

bool WriteText(const std::string& path, const std::string& text) {
  std::FILE* f = OpenFile(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// The whole file, or "<none>" when it cannot be opened.
std::string ReadText(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return "<none>";
  std::string text;
  char buf[256];
  for (size_t k; (k = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, k);
  std::fclose(f);
  return text;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// ---- Replacing a file in one step ---------------------------------------------

TEST(AtomicFile, CommitPutsTheWholeFileInPlaceAndLeavesNothingElse) {
  TTempFolder dir{"tessa_platform_"};
  const std::string dst = In(dir, "図面.dxf");
  TAtomicFile f;
  ASSERT_TRUE(f.Open(dst)) << f.Error();
  ASSERT_TRUE(f.Write("abc", 3));
  EXPECT_EQ(Examine(dst).kind, TFileKind::missing);  // nothing at the target while writing
  ASSERT_TRUE(f.Write("def", 3));
  ASSERT_TRUE(f.Commit()) << f.Error();
  EXPECT_EQ(ReadText(dst), "abcdef");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"図面.dxf"});
  EXPECT_TRUE(f.Error().empty());
}

TEST(AtomicFile, ReplacesAnOldFileOnlyWhenAllowed) {
  TTempFolder dir{"tessa_platform_"};
  const std::string dst = In(dir, "out.dxf");
  ASSERT_TRUE(WriteText(dst, "old"));
  {
    TAtomicFile f;
    ASSERT_TRUE(f.Open(dst, false));
    ASSERT_TRUE(f.Write("new", 3));
    EXPECT_FALSE(f.Commit());
    EXPECT_TRUE(f.TargetExists());
    EXPECT_NE(f.Error().find("exists already"), std::string::npos) << f.Error();
    EXPECT_EQ(ReadText(dst), "old");
  }
  {
    // A file that appears while the new one is written stays too.
    ASSERT_TRUE(RemoveFile(dst));
    TAtomicFile f;
    ASSERT_TRUE(f.Open(dst, false));
    ASSERT_TRUE(f.Write("new", 3));
    ASSERT_TRUE(WriteText(dst, "other"));
    EXPECT_FALSE(f.Commit());
    EXPECT_TRUE(f.TargetExists());
    EXPECT_EQ(ReadText(dst), "other");
  }
  {
    TAtomicFile f;
    ASSERT_TRUE(f.Open(dst, true));
    ASSERT_TRUE(f.Write("new", 3));
    ASSERT_TRUE(f.Commit()) << f.Error();
    EXPECT_FALSE(f.TargetExists());
    EXPECT_EQ(ReadText(dst), "new");
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.dxf"});
}

TEST(AtomicFile, AbortDestructionAndFailuresLeaveNothing) {
  TTempFolder dir{"tessa_platform_"};
  {
    TAtomicFile f;
    ASSERT_TRUE(f.Open(In(dir, "a.dxf")));
    ASSERT_TRUE(f.Write("x", 1));
    f.Abort();
    EXPECT_FALSE(f.Commit());  // nothing open any more
    EXPECT_FALSE(f.Write("x", 1));
  }
  {
    TAtomicFile f;
    ASSERT_TRUE(f.Open(In(dir, "b.dxf")));
    ASSERT_TRUE(f.Write("x", 1));
  }  // never committed
  EXPECT_TRUE(dir.Names().empty());

  // A folder at the target's name is never replaced by a file.
  const std::string folder = In(dir, "c.dxf");
  ASSERT_TRUE(MakeOneFolder(folder));
  {
    TAtomicFile f;
    if (f.Open(folder)) {
      ASSERT_TRUE(f.Write("x", 1));
      EXPECT_FALSE(f.Commit());
      EXPECT_FALSE(f.Error().empty());
    }
  }
  EXPECT_EQ(Examine(folder).kind, TFileKind::folder);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"c.dxf"});

  // No folder to write into, and no file name at all.
  TAtomicFile f;
  EXPECT_FALSE(f.Open(In(dir, "missing") + PathSeparator() + "d.dxf"));
  EXPECT_FALSE(f.Error().empty());
  EXPECT_FALSE(f.Open(dir.Path() + PathSeparator()));
  EXPECT_NE(f.Error().find("no file name"), std::string::npos) << f.Error();
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"c.dxf"});
}

TEST(AtomicFile, SyncedTogetherFilesStillCommitOneByOne) {
  TTempFolder dir{"tessa_platform_"};
  TAtomicFile a, b;
  ASSERT_TRUE(a.Open(In(dir, "a.dxf")));
  ASSERT_TRUE(b.Open(In(dir, "b.dxf")));
  ASSERT_TRUE(a.Write("1", 1));
  ASSERT_TRUE(b.Write("2", 1));
  TAtomicFile* both[] = {&a, &b};
  SyncTogether(both);
  ASSERT_TRUE(a.Commit());
  ASSERT_TRUE(b.Commit());
  EXPECT_EQ(ReadText(In(dir, "a.dxf")) + ReadText(In(dir, "b.dxf")), "12");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.dxf", "b.dxf"}));
}

TEST(AtomicFile, TemporaryNamesLieBesideTheTargetAndStayShort) {
  const std::string sep(1, PathSeparator());
  EXPECT_EQ(TempPattern("out" + sep + "a.dxf"), "out" + sep + ".a.dxf.XXXXXX.tmp");
  EXPECT_EQ(TempPattern("a.dxf"), "." + sep + ".a.dxf.XXXXXX.tmp");
  EXPECT_EQ(TempPattern(sep + "a.dxf"), sep + ".a.dxf.XXXXXX.tmp");
  // 80 three-byte characters: cut at a character's start, under 255 bytes.
  std::string name;
  for (int i = 0; i < 80; ++i) name += "図";
  const std::string pattern = TempPattern("out" + sep + name + ".dxf");
  const std::string base = pattern.substr(4);
  EXPECT_LT(base.size(), 255u);
  EXPECT_EQ(base.rfind("." + name.substr(0, 198) + ".XXXXXX.tmp", 0), 0u) << base;
}

// ---- Identity and kinds of files --------------------------------------------

TEST(Files, ExamineTellsWhatAPathNames) {
  TTempFolder dir{"tessa_platform_"};
  ASSERT_TRUE(WriteText(In(dir, "f"), "x"));
  EXPECT_EQ(Examine(In(dir, "f")).kind, TFileKind::file);
  EXPECT_EQ(Examine(dir.Path()).kind, TFileKind::folder);
  const TFileStatus missing = Examine(In(dir, "none"));
  EXPECT_EQ(missing.kind, TFileKind::missing);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_EQ(Examine("").kind, TFileKind::missing);
  EXPECT_EQ(Examine(std::string("a\0b", 3)).kind, TFileKind::missing);
}

TEST(Files, SameFileSeesThroughOtherNamesAndLinks) {
  TTempFolder dir{"tessa_platform_"};
  const std::string a = In(dir, "a.jww");
  ASSERT_TRUE(WriteText(a, "same bytes"));
  ASSERT_TRUE(WriteText(In(dir, "b.jww"), "same bytes"));
  EXPECT_TRUE(SameFile(a, a));
  EXPECT_TRUE(SameFile(a, dir.Path() + PathSeparator() + "." + PathSeparator() + "a.jww"));
  EXPECT_FALSE(SameFile(a, In(dir, "b.jww")));  // equal contents, two files
  EXPECT_FALSE(SameFile(a, In(dir, "none")));
  EXPECT_FALSE(SameFile(In(dir, "none"), In(dir, "none")));

  std::error_code ec;
  fs::create_hard_link(U8(a), U8(In(dir, "hard.dxf")), ec);
  if (!ec) {
    EXPECT_TRUE(SameFile(a, In(dir, "hard.dxf")));
  }
  fs::create_symlink(U8(a), U8(In(dir, "soft.dxf")), ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  EXPECT_TRUE(SameFile(In(dir, "soft.dxf"), a));
  // Removing the link leaves the file it pointed to.
  EXPECT_TRUE(RemoveFile(In(dir, "soft.dxf")));
  EXPECT_EQ(ReadText(a), "same bytes");
}

TEST(Files, ReadingAWholeFile) {
  TTempFolder dir{"tessa_platform_"};
  std::string bytes(100000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  const std::string path = In(dir, "データ.jww");
  ASSERT_TRUE(WriteText(path, bytes));
  TInputFile in;
  ASSERT_TRUE(in.Open(path));
  EXPECT_EQ(in.SizeHint(), bytes.size());
  std::string got(bytes.size() + 10, '\0');
  size_t n = 0;
  for (int64_t k; (k = in.Read(got.data() + n, got.size() - n)) > 0;) n += static_cast<size_t>(k);
  EXPECT_EQ(got.substr(0, n), bytes);
  EXPECT_EQ(in.Read(got.data(), 1), 0);  // at the end
  in.Close();
  EXPECT_EQ(in.Read(got.data(), 1), -1);
  EXPECT_FALSE(in.Open(In(dir, "none")));
}

// ---- Folders ----------------------------------------------------------------------

TEST(Folders, MakeListRemove) {
  TTempFolder dir{"tessa_platform_"};
  const std::string sub = In(dir, "図面フォルダ");
  EXPECT_TRUE(MakeOneFolder(sub));
  EXPECT_FALSE(MakeOneFolder(sub));                                   // there already
  EXPECT_FALSE(MakeOneFolder(In(dir, "a") + PathSeparator() + "b"));  // one level only
  ASSERT_TRUE(WriteText(sub + PathSeparator() + "一.jww", "1"));
  ASSERT_TRUE(WriteText(sub + PathSeparator() + "b.jww", "2"));
  EXPECT_EQ(Sorted(ListFolder(sub)), (std::vector<std::string>{"b.jww", "一.jww"}));
  EXPECT_TRUE(ListFolder(In(dir, "none")).empty());
  EXPECT_FALSE(RemoveFolder(sub));  // not empty
  EXPECT_FALSE(RemoveFile(sub));    // a folder is no file
  EXPECT_TRUE(RemoveFile(sub + PathSeparator() + "一.jww"));
  EXPECT_TRUE(RemoveFile(sub + PathSeparator() + "b.jww"));
  EXPECT_FALSE(RemoveFile(sub + PathSeparator() + "b.jww"));
  EXPECT_TRUE(RemoveFolder(sub));
  EXPECT_TRUE(dir.Names().empty());
}

// Paths beyond the old limit of 260 characters work like any other.
TEST(Folders, LongPaths) {
  TTempFolder dir{"tessa_platform_"};
  std::vector<std::string> levels;
  std::string path = dir.Path();
  while (path.size() < 400) {
    path += PathSeparator() + std::string(40, 'a' + static_cast<char>(levels.size()));
    ASSERT_TRUE(MakeOneFolder(path)) << path.size();
    levels.push_back(path);
  }
  const std::string file = path + PathSeparator() + "長い名前.dxf";
  TAtomicFile f;
  ASSERT_TRUE(f.Open(file)) << f.Error();
  ASSERT_TRUE(f.Write("long", 4));
  ASSERT_TRUE(f.Commit()) << f.Error();
  EXPECT_EQ(ReadText(file), "long");
  EXPECT_EQ(Examine(file).kind, TFileKind::file);
  EXPECT_TRUE(FileTime(file, TFileTime::written).has_value());
  EXPECT_EQ(ListFolder(path), std::vector<std::string>{"長い名前.dxf"});
  EXPECT_TRUE(RemoveFile(file));
  for (auto level = levels.rbegin(); level != levels.rend(); ++level)
    EXPECT_TRUE(RemoveFolder(*level));
  EXPECT_TRUE(dir.Names().empty());
}

TEST(Folders, AHeldFolderIsNeverSweptAReleasedOneIs) {
  TTempFolder dir{"tessa_platform_"};
  TOwnedFolder run;
  ASSERT_TRUE(run.Make(dir.Path(), "img-"));
  const std::string held = run.Dir();
  ASSERT_FALSE(held.empty());
  EXPECT_TRUE(IsPathSeparator(held.back()));
  const std::vector<std::string> names = dir.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].size(), 4 + kOwnedFolderRandomChars);
  EXPECT_EQ(names[0].rfind("img-", 0), 0u);
  ASSERT_TRUE(WriteText(held + "a.png", "png"));

  // A second folder of the same kind gets another name.
  TOwnedFolder other;
  ASSERT_TRUE(other.Make(dir.Path(), "img-"));
  EXPECT_NE(other.Dir(), held);

  const std::string path = In(dir, names[0]);
  EXPECT_FALSE(RemoveStaleFolder(path));  // held, also within this process
  EXPECT_EQ(ReadText(held + "a.png"), "png");

  // Moved, the hold goes with the object.
  TOwnedFolder moved = std::move(run);
  EXPECT_EQ(moved.Dir(), held);
  EXPECT_FALSE(RemoveStaleFolder(path));
  moved.Release();
  EXPECT_TRUE(moved.Dir().empty());
  EXPECT_TRUE(RemoveStaleFolder(path));  // its files go with it
  EXPECT_EQ(Examine(path).kind, TFileKind::missing);
  EXPECT_FALSE(RemoveStaleFolder(In(dir, "none")));
}

// ---- File dates -------------------------------------------------------------------

// The local-clock milliseconds of a UTC instant, worked out with the C
// library's calendar functions.
TLocalMs LocalMsOf(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const int64_t ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
  const std::time_t sec = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
  const std::tm local = *std::localtime(&sec);
  const std::tm utc = *std::gmtime(&sec);
  auto days = [](const std::tm& tm) {
    return sys_days{year{tm.tm_year + 1900} / month{static_cast<unsigned>(tm.tm_mon + 1)} /
                    day{static_cast<unsigned>(tm.tm_mday)}}
        .time_since_epoch()
        .count();
  };
  auto seconds = [&](const std::tm& tm) {
    return int64_t{days(tm)} * 86400 + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
  };
  return ms + (seconds(local) - seconds(utc)) * 1000;
}

TEST(FileTimes, LastWriteTimeOnTheLocalClockToTheMillisecond) {
  using namespace std::chrono;
  TTempFolder dir{"tessa_platform_"};
  const std::string path = In(dir, "時刻.jww");
  ASSERT_TRUE(WriteText(path, "x"));
  // Run in Berlin's zone (see CMakeLists.txt), the offsets are known: one
  // hour in winter, two in summer, and each date must get its own.  In any
  // other zone the C library's calendar tells them.
  const char* tz = std::getenv("TZ");
  const bool berlin = tz != nullptr && std::string(tz) == "Europe/Berlin";
  const struct {
    sys_days date;
    int berlinHours;
  } cases[] = {{2021y / January / 15, 1}, {2021y / July / 15, 2}};
  for (const auto& c : cases) {
    const system_clock::time_point t = c.date + 10h + 20min + 30s + 123ms;
    std::error_code ec;
    fs::last_write_time(U8(path), file_clock::from_sys(t), ec);
    ASSERT_FALSE(ec) << ec.message();
    // Some runtimes set whole seconds only: the file's own time is the
    // reference, and it must be the one asked for up to those seconds.
    const system_clock::time_point set = file_clock::to_sys(fs::last_write_time(U8(path)));
    ASSERT_EQ(floor<seconds>(set), floor<seconds>(t));
    const TLocalMs expected =
        berlin ? duration_cast<milliseconds>(set.time_since_epoch() + hours{c.berlinHours}).count()
               : LocalMsOf(set);
    const std::optional<TLocalMs> got = FileTime(path, TFileTime::written);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, expected);
  }
  EXPECT_FALSE(FileTime(In(dir, "none"), TFileTime::written));
  EXPECT_FALSE(FileTime(In(dir, "none"), TFileTime::created));
}

TEST(FileTimes, CreationTimeIsWhenTheFileWasMadeOrElseTheLastWrite) {
  using namespace std::chrono;
  TTempFolder dir{"tessa_platform_"};
  const std::string path = In(dir, "new.jww");
  const TLocalMs before = LocalMsOf(system_clock::now());
  ASSERT_TRUE(WriteText(path, "x"));
  const TLocalMs after = LocalMsOf(system_clock::now());
  // Moving the last write into the past leaves the creation time as it was.
  std::error_code ec;
  fs::last_write_time(U8(path), file_clock::from_sys(sys_seconds{sys_days{2001y / May / 1}}), ec);
  ASSERT_FALSE(ec) << ec.message();
  const std::optional<TLocalMs> created = FileTime(path, TFileTime::created);
  const std::optional<TLocalMs> written = FileTime(path, TFileTime::written);
  ASSERT_TRUE(created && written);
  if (*created == *written) GTEST_SKIP() << "this file system records no creation time";
  // Some file systems keep whole seconds or two: a little room either way.
  EXPECT_GE(*created, before - 2000);
  EXPECT_LE(*created, after + 2000);
}

// ---- The process ----------------------------------------------------------------

TEST(Process, ExecutablePathNamesThisProgram) {
  const std::string exe = ExecutablePath(nullptr);
  EXPECT_EQ(Examine(exe).kind, TFileKind::file) << exe;
  EXPECT_NE(exe.find("platform_tests"), std::string::npos) << exe;
}

TEST(Process, TerminalWidthFallsBackWithoutATerminal) {
  // Under ctest standard error is no terminal.
  if (ErrorIsTerminal()) GTEST_SKIP() << "standard error is a terminal";
  EXPECT_EQ(TerminalColumns(123), 123);
}

}  // namespace
}  // namespace tessa
