// Inputs that could stall or swamp a run: paths that are not plain files
// (a pipe with no writer, a device, a folder) and drawings whose counts or
// block nesting claim far more than the file holds.  Such a run ends by
// itself, writes no DXF, and its memory stays in proportion to the file.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "HardeningDrawings.h"
#include "ProcessRunner.h"

namespace tessa::hardening {
namespace {

// A watchdog only turns a hang into a failure; it is far above what any
// of these runs needs.
constexpr int kWatchdogSec = 60;

struct TInputCase {
  const char* name;
  std::function<void(const std::string& path)> make;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const TInputCase& c) { return os << c.name; }

class FaultInput : public ::testing::TestWithParam<TInputCase> {};

TEST_P(FaultInput, RunEndsWithoutWaitingAndWritesNothing) {
  TConverterBox box;
  const std::string src = box.In() + "plan.jww";
  GetParam().make(src);
  TExit r = box.Run(src, box.Out() + "plan.dxf", {}, kWatchdogSec);
  EXPECT_TRUE(r.exited) << "the run did not end by itself";
  EXPECT_TRUE(ListNames(box.Out()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    NotPlainFiles, FaultInput,
    ::testing::Values(
        TInputCase{"PipeWithoutWriter",
                   [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
        TInputCase{"LinkToPipe",
                   [](const std::string& p) {
                     ASSERT_EQ(::mkfifo((p + ".fifo").c_str(), 0644), 0);
                     ASSERT_EQ(::symlink((p + ".fifo").c_str(), p.c_str()), 0);
                   }},
        TInputCase{"LinkToEndlessDevice",
                   [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }},
        TInputCase{"LinkToTerminalLikeDevice",
                   [](const std::string& p) { ASSERT_EQ(::symlink("/dev/tty", p.c_str()), 0); }},
        TInputCase{"Folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); }},
        TInputCase{"DanglingLink",
                   [](const std::string& p) {
                     ASSERT_EQ(::symlink((p + ".gone").c_str(), p.c_str()), 0);
                   }}),
    [](const ::testing::TestParamInfo<TInputCase>& i) { return i.param.name; });

// The settings file and the image folder beside the executable are not
// what they should be: a pipe for settings (never opened: the defaults
// hold) and a plain file where the image folder goes (images cannot be
// stored; the drawing converts all the same).
TEST(FaultInputBeside, SettingsPipeAndImageFolderTakenByAFile) {
  TConverterBox box;
  ASSERT_EQ(::mkfifo((box.Bin() + "Tessaconv.dat").c_str(), 0644), 0);
  WriteFile(box.Bin() + "TEMP", std::string("not a folder"));
  const std::string src = box.In() + "plan.jww";
  WriteFile(src, JwwWithImages(5, {{u"a.bmp", "BM"}}));
  TExit r = box.Run(src, box.Out() + "plan.dxf", {}, kWatchdogSec);
  EXPECT_TRUE(r.exited) << "the run did not end by itself";
  ASSERT_TRUE(Exists(box.Out() + "plan.dxf"));
  EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "plan.dxf")), "");
  EXPECT_EQ(ReadFile(box.Bin() + "TEMP"), "not a folder");
}

// A drawing locked by another program (as an editor holding it open would)
// is read all the same: nothing waits for a lock.
TEST(FaultInputLocked, LockedDrawingIsConverted) {
  TConverterBox box;
  const std::string src = box.In() + "plan.jww";
  WriteFile(src, JwwDrawing(10));
  const int fd = ::open(src.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  struct flock fl{};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(fd, F_SETLK, &fl), 0);
  TExit r = box.Run(src, box.Out() + "plan.dxf", {}, kWatchdogSec);
  ::close(fd);
  EXPECT_TRUE(r.exited);
  ASSERT_TRUE(Exists(box.Out() + "plan.dxf"));
  EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "plan.dxf")), "");
}

// ---- Claims far beyond the file ---------------------------------------------

struct TClaimCase {
  const char* name;
  const char* ext;
  std::function<TBytes()> make;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const TClaimCase& c) { return os << c.name; }

class FaultClaim : public ::testing::TestWithParam<TClaimCase> {};

// Peak memory of converting a small valid drawing: the yardstick.
long BaselineRssKb() {
  static const long kb = [] {
    TConverterBox box;
    WriteFile(box.In() + "small.jww", JwwDrawing(2));
    return box.Run(box.In() + "small.jww", box.Out() + "small.dxf").maxRssKb;
  }();
  return kb;
}

TEST_P(FaultClaim, RejectedWithMemoryOfTheFileSize) {
  const TClaimCase& c = GetParam();
  TConverterBox box;
  const std::string src = box.In() + "claim" + c.ext;
  const TBytes bytes = c.make();
  ASSERT_LT(bytes.size(), 64u * 1024);
  WriteFile(src, bytes);
  TExit r = box.Run(src, box.Out() + "claim.dxf", {}, kWatchdogSec);
  EXPECT_TRUE(r.exited) << "the run did not end by itself";
  EXPECT_TRUE(ListNames(box.Out()).empty()) << "the drawing was not rejected";
  // A file of a few kilobytes may not cost more than a small drawing does,
  // give or take a few megabytes; the claims would need gigabytes.
  EXPECT_LT(r.maxRssKb, BaselineRssKb() + 16 * 1024) << "peak memory " << r.maxRssKb << " KB";
}

INSTANTIATE_TEST_SUITE_P(
    Counts, FaultClaim,
    ::testing::Values(
        TClaimCase{"JwwEntities", ".jww", [] { return JwwClaimingEntities(0xFFFFFFF0u); }},
        TClaimCase{"JwwEntitiesSigned", ".jww", [] { return JwwClaimingEntities(0x80000000u); }},
        TClaimCase{"JwwBlockDefinitions", ".jww", [] { return JwwClaimingBlockDefs(0xFFFFFFF0u); }},
        TClaimCase{"JwwImages", ".jww", [] { return JwwClaimingImages(0xFFFFFFF0u); }},
        TClaimCase{"JwsEntities", ".jws", [] { return JwsClaimingEntities(0xFFFFFFF0u); }},
        TClaimCase{"JwcLines", ".jwc", [] { return JwcClaiming(0, "2000000000"); }},
        TClaimCase{"JwcArcs", ".jwc", [] { return JwcClaiming(1, "2147483647"); }},
        TClaimCase{"JwcTexts", ".jwc", [] { return JwcClaiming(2, "1999999999"); }},
        TClaimCase{"JwcPoints", ".jwc", [] { return JwcClaiming(3, "2000000000"); }},
        TClaimCase{"JwcNegative", ".jwc", [] { return JwcClaiming(0, "-5"); }},
        TClaimCase{"JwkLines", ".jwk", [] { return JwkClaiming(0, "2000000000"); }},
        TClaimCase{"JwkTexts", ".jwk", [] { return JwkClaiming(3, "2147483647"); }},
        TClaimCase{"JwkStringBlock", ".jwk", [] { return JwkClaiming(7, "2000000000"); }},
        TClaimCase{"JwwNestedTooDeep", ".jww", [] { return JwwNestedChain(200); }},
        TClaimCase{"JwwDoublingNesting", ".jww", [] { return JwwDoublingChain(48); }}),
    [](const ::testing::TestParamInfo<TClaimCase>& i) { return i.param.name; });

// An image whose stated size runs past the end of the file is not written,
// and the drawing itself is still converted.
TEST(FaultClaimImage, ImageLongerThanTheFile) {
  TConverterBox box;
  const std::string src = box.In() + "plan.jww";
  WriteFile(src, JwwClaimingImageSize(0x7FFFFFFF));
  const auto before = Snapshot(box.Bin());
  TExit r = box.Run(src, box.Out() + "plan.dxf", {}, kWatchdogSec);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(Snapshot(box.Bin()), before);
  EXPECT_LT(r.maxRssKb, BaselineRssKb() + 16 * 1024);
}

}  // namespace
}  // namespace tessa::hardening
