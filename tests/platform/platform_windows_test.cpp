// What the platform layer must do on Windows beyond what every system
// does: names reach the disk in UTF-16 whatever the code page, long paths
// pass the old limit, a file is known by its volume serial and file index,
// a target another program holds open stays whole, file times go through
// the system, and the program finds itself and its arguments.  The
// fixtures ask Windows directly, so that the layer is checked against the
// system and not against itself.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "temp_folder.h"

namespace tessa {
namespace {

using namespace platform;

std::wstring Wide(const std::string& s) {
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                      static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                        w.data(), n);
  return w;
}

std::string Utf8(const std::wstring& w) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
  return s;
}

// The path in Windows' own terms: absolute, backslashes, "\\?\" in front,
// so that neither the code page nor the old length limit plays a part.
std::wstring Extended(const std::string& path) {
  const std::wstring w = Wide(path);
  std::wstring full(::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(::GetFullPathNameW(w.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return L"\\\\?\\" + full;
}

bool ExistsAsFile(const std::string& path) {
  const DWORD a = ::GetFileAttributesW(Extended(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string In(const TTempFolder& dir, const std::string& name) { return dir.Path() + "\\" + name; }

bool Put(const std::string& path, const std::string& text) {
  TAtomicFile f;
  return f.Open(path) && f.Write(text.data(), text.size()) && f.Commit();
}

std::string ReadText(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return "<none>";
  std::string text;
  char buf[256];
  for (size_t k; (k = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, k);
  std::fclose(f);
  return text;
}

// ---- Names ------------------------------------------------------------------------

TEST(WindowsNames, EveryUnicodeNameReachesTheDiskAsItIs) {
  TTempFolder dir{"tessa_windows_"};
  ASSERT_FALSE(dir.Path().empty());
  // Japanese, then names code page 932 has no bytes for: Hangul, a
  // character beyond the 16-bit range (a surrogate pair in UTF-16), Latin
  // letters with marks.
  const std::string names[] = {"図面 第1版.jww", "도면.jww", "plan📐.jww", "Čeština ü.jww"};
  for (const std::string& name : names) {
    const std::string path = In(dir, name);
    ASSERT_TRUE(Put(path, name)) << name;
    EXPECT_TRUE(ExistsAsFile(path)) << name;  // the very name, not a look-alike
    EXPECT_EQ(Examine(path).kind, TFileKind::file) << name;
    EXPECT_EQ(ReadText(path), name);
    EXPECT_TRUE(FileTime(path, TFileTime::written).has_value()) << name;
    TInputFile in;
    EXPECT_TRUE(in.Open(path)) << name;
  }
  std::vector<std::string> listed = ListFolder(dir.Path());
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> expected(std::begin(names), std::end(names));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  for (const std::string& name : names) EXPECT_TRUE(RemoveFile(In(dir, name))) << name;
  EXPECT_TRUE(dir.Names().empty());
}

// Beyond 260 characters, in whatever form the user wrote the path:
// forward slashes and a ".." on the way still lead to the same file.
TEST(WindowsNames, LongPathsInAnyForm) {
  TTempFolder dir{"tessa_windows_"};
  std::vector<std::string> levels;
  std::string path = dir.Path();
  while (path.size() < 300) {
    path += "\\" + std::string(50, static_cast<char>('a' + levels.size())) + "図";
    ASSERT_TRUE(MakeOneFolder(path)) << path.size();
    levels.push_back(path);
  }
  const std::string file = path + "\\長い.dxf";
  ASSERT_TRUE(Put(file, "long"));
  EXPECT_TRUE(ExistsAsFile(file));
  std::string slashes = file;
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  EXPECT_EQ(ReadText(slashes), "long");
  const std::string last = path.substr(path.rfind('\\') + 1);
  const std::string roundabout = path + "\\..\\" + last + "\\長い.dxf";
  EXPECT_TRUE(SameFile(file, roundabout));
  EXPECT_TRUE(RemoveFile(slashes));
  EXPECT_FALSE(ExistsAsFile(file));
  for (auto level = levels.rbegin(); level != levels.rend(); ++level)
    EXPECT_TRUE(RemoveFolder(*level));
}

// ---- Identity -----------------------------------------------------------------------

TEST(WindowsFiles, AFileIsItsVolumeSerialAndFileIndex) {
  TTempFolder dir{"tessa_windows_"};
  const std::string a = In(dir, "Plan.jww");
  ASSERT_TRUE(Put(a, "same bytes"));
  ASSERT_TRUE(Put(In(dir, "copy.jww"), "same bytes"));

  HANDLE h = ::CreateFileW(Extended(a).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  BY_HANDLE_FILE_INFORMATION info;
  ASSERT_TRUE(::GetFileInformationByHandle(h, &info));
  ::CloseHandle(h);
  const TFileId id{info.dwVolumeSerialNumber,
                   (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  EXPECT_EQ(Examine(a).id, id);

  std::string slashes = a;
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  // Other spellings of the same name: slashes, capitals (names are
  // compared without case), the extended form.
  const std::string sameNames[] = {slashes, dir.Path() + "\\PLAN.JWW", Utf8(Extended(a))};
  for (const std::string& other : sameNames) EXPECT_TRUE(SameFile(a, other)) << other;
  const std::string link = In(dir, "link.jww");
  ASSERT_TRUE(::CreateHardLinkW(Extended(link).c_str(), Extended(a).c_str(), nullptr));
  EXPECT_TRUE(SameFile(a, link));
  EXPECT_FALSE(SameFile(a, In(dir, "copy.jww")));  // equal bytes, another file
  EXPECT_FALSE(SameFile(a, dir.Path()));
  EXPECT_FALSE(SameFile(a, In(dir, "none.jww")));
}

// ---- Replacing a file ---------------------------------------------------------------

// Windows replaces no file that another program holds open without sharing
// its deletion: the commit fails, the old file stays whole and nothing of
// the new one is left beside it.
TEST(WindowsAtomicFile, ATargetHeldOpenStaysWhole) {
  TTempFolder dir{"tessa_windows_"};
  const std::string dst = In(dir, "出力.dxf");
  ASSERT_TRUE(Put(dst, "old"));
  {
    HANDLE held = ::CreateFileW(Extended(dst).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TAtomicFile f;
    ASSERT_TRUE(f.Open(dst)) << f.Error();
    ASSERT_TRUE(f.Write("new", 3));
    EXPECT_FALSE(f.Commit());
    EXPECT_FALSE(f.Error().empty());
    EXPECT_FALSE(f.TargetExists());
    ::CloseHandle(held);
  }
  EXPECT_EQ(ReadText(dst), "old");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"出力.dxf"});
  // Let go of, it is replaced like any other.
  ASSERT_TRUE(Put(dst, "new"));
  EXPECT_EQ(ReadText(dst), "new");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"出力.dxf"});
}

// A read-only target: Windows refuses to replace it, Wine 8 replaces it
// (as Linux would).  Either way it holds the old bytes or all of the new
// ones, as the commit says, and nothing is left beside it.
TEST(WindowsAtomicFile, AReadOnlyTargetIsWholeOldOrWholeNew) {
  TTempFolder dir{"tessa_windows_"};
  const std::string dst = In(dir, "kept.dxf");
  ASSERT_TRUE(Put(dst, "old"));
  ASSERT_TRUE(::SetFileAttributesW(Extended(dst).c_str(), FILE_ATTRIBUTE_READONLY));
  TAtomicFile f;
  ASSERT_TRUE(f.Open(dst));
  ASSERT_TRUE(f.Write("new", 3));
  const bool committed = f.Commit();
  EXPECT_EQ(ReadText(dst), committed ? "new" : "old");
  EXPECT_EQ(f.Error().empty(), committed) << f.Error();
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"kept.dxf"});
  ::SetFileAttributesW(Extended(dst).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---- File times --------------------------------------------------------------------

using std::chrono::system_clock;

system_clock::time_point Utc(int y, unsigned mo, unsigned d, int h, int mi, int s, int ms) {
  using namespace std::chrono;
  return sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s} +
         milliseconds{ms};
}

TLocalMs Ms(system_clock::time_point t, int offsetHours) {
  using namespace std::chrono;
  return duration_cast<milliseconds>(t.time_since_epoch() + hours{offsetHours}).count();
}

// The system's zone is Tokyo's (nine hours ahead, no summer time) when the
// test runs in it: ctest starts this program with TZ=Asia/Tokyo, which
// Wine takes as the system's zone.
bool InTokyo() {
  TIME_ZONE_INFORMATION tz;
  const DWORD r = ::GetTimeZoneInformation(&tz);
  return r != TIME_ZONE_ID_INVALID && tz.Bias == -540 && tz.DaylightDate.wMonth == 0;
}

TEST(WindowsFileTimes, AWriteTimeSetIsReadBackOnTheLocalClock) {
  if (!InTokyo()) GTEST_SKIP() << "the system's time zone is not Tokyo's";
  TTempFolder dir{"tessa_windows_"};
  const std::string path = In(dir, "時刻.jww");
  ASSERT_TRUE(Put(path, "x"));
  // Windows keeps 100 ns steps: the milliseconds come back cut, not rounded.
  const auto t = Utc(2021, 7, 15, 20, 20, 30, 123) + std::chrono::microseconds{999};
  ASSERT_TRUE(ChangeFileTime(path, TFileTime::written, t));
  EXPECT_EQ(FileTime(path, TFileTime::written), Ms(Utc(2021, 7, 16, 5, 20, 30, 123), 0));
  // Before 1970 too.
  const auto old = Utc(1965, 1, 2, 3, 4, 5, 600);
  ASSERT_TRUE(ChangeFileTime(path, TFileTime::written, old));
  EXPECT_EQ(FileTime(path, TFileTime::written), Ms(old, 9));
  EXPECT_FALSE(ChangeFileTime(In(dir, "none.jww"), TFileTime::written, t));
}

// Windows keeps a creation time of its own that a program may set.  Wine 8
// does not: it reports the last write as the creation time and ignores a
// new one (its file systems on Linux give it no other), so there the
// creation time must at least follow the last write.
TEST(WindowsFileTimes, ACreationTimeSetIsReadBack) {
  TTempFolder dir{"tessa_windows_"};
  const std::string path = In(dir, "作成.jww");
  ASSERT_TRUE(Put(path, "x"));
  const auto created = Utc(2010, 1, 2, 3, 4, 5, 678);
  const auto written = Utc(2020, 6, 7, 8, 9, 10, 111);
  ASSERT_TRUE(ChangeFileTime(path, TFileTime::created, created));
  ASSERT_TRUE(ChangeFileTime(path, TFileTime::written, written));
  const std::optional<TLocalMs> c = FileTime(path, TFileTime::created);
  const std::optional<TLocalMs> w = FileTime(path, TFileTime::written);
  ASSERT_TRUE(c && w);
  const TLocalMs offset = *w - Ms(written, 0);  // the zone's, whatever it is
  if (*c == *w) GTEST_SKIP() << "the system reports the last write as the creation time";
  EXPECT_EQ(*c - Ms(created, 0), offset);
}

// ---- The program -------------------------------------------------------------------

TEST(WindowsProcess, TheProgramFindsItselfWithItsDrive) {
  const std::string exe = ExecutablePath(nullptr);
  ASSERT_GT(exe.size(), 3u);
  EXPECT_EQ(exe.substr(1, 2), ":\\") << exe;
  EXPECT_TRUE(exe.ends_with("\\platform_windows_tests.exe")) << exe;
  EXPECT_EQ(Examine(exe.substr(0, exe.rfind('\\'))).kind, TFileKind::folder) << exe;
}

// ctest starts this program with a Japanese argument and one code page
// 932 lacks, holding a space; they arrive whole, whatever the code page.
TEST(WindowsProcess, ArgumentsArriveInUnicode) {
  const std::vector<std::string> args = CommandLineArguments(0, nullptr);
  ASSERT_FALSE(args.empty());
  EXPECT_NE(args[0].find("platform_windows_tests"), std::string::npos) << args[0];
  const bool japanese = std::find(args.begin(), args.end(), "図面.jww") != args.end();
  const bool hangul = std::find(args.begin(), args.end(), "도면 📐.jww") != args.end();
  if (args.size() == 1) GTEST_SKIP() << "started without the test's arguments";
  EXPECT_TRUE(japanese && hangul) << args.size() << " arguments";
}

}  // namespace
}  // namespace tessa
