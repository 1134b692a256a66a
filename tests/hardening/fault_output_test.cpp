// The output of a run that cannot finish: a folder that is missing or
// read-only, a disk that fills while the DXF (or a bound image) is being
// written, a run killed while it writes.  Each leaves no file at the
// output path and no temporary file anywhere; every run is a separate
// process, started the way the parent application starts it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HardeningDrawings.h"
#include "ProcessRunner.h"

namespace tessa::hardening {
namespace {

// Nothing below the box changed but what `allowed` names (paths relative
// to the box's root).
void ExpectUnchangedExcept(const std::map<std::string, std::string>& before,
                           const std::map<std::string, std::string>& after,
                           const std::vector<std::string>& allowed = {}) {
  for (const auto& [path, content] : after) {
    bool ok = false;
    for (const std::string& a : allowed) ok = ok || path == a;
    if (ok) continue;
    auto it = before.find(path);
    EXPECT_TRUE(it != before.end()) << "left behind: " << path;
    if (it != before.end()) {
      EXPECT_TRUE(it->second == content) << "changed: " << path;
    }
  }
  for (const auto& [path, content] : before)
    EXPECT_TRUE(after.count(path)) << "removed: " << path;
}

TEST(FaultOutput, ConvertsWhenNothingStandsInTheWay) {
  // The baseline the other tests depend on: the same drawing, unhindered,
  // gives a whole DXF file and leaves nothing else behind.
  TConverterBox box;
  WriteFile(box.In() + "plan.jww", JwwWithImages(50, {{u"a.bmp", "BM1234"}}));
  const auto before = Snapshot(box.Root());
  TExit r = box.Run(box.In() + "plan.jww", box.Out() + "plan.dxf");
  ASSERT_TRUE(r.exited);
  ASSERT_TRUE(Exists(box.Out() + "plan.dxf"));
  EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "plan.dxf")), "");
  ExpectUnchangedExcept(before, Snapshot(box.Root()), {"out/plan.dxf"});
}

TEST(FaultOutput, OutputFolderMissing) {
  TConverterBox box;
  WriteFile(box.In() + "plan.jww", JwwDrawing(20));
  const auto before = Snapshot(box.Root());
  for (const std::string& dst : {box.Out() + "missing/plan.dxf", box.Out() + "a/b/c/plan.dxf"}) {
    TExit r = box.Run(box.In() + "plan.jww", dst);
    EXPECT_TRUE(r.exited) << dst;
    EXPECT_FALSE(Exists(dst));
  }
  // No folder was created on the way either.
  ExpectUnchangedExcept(before, Snapshot(box.Root()));
}

TEST(FaultOutput, OutputFolderReadOnly) {
  TConverterBox box;
  WriteFile(box.In() + "plan.jww", JwwDrawing(20));
  ::chmod(box.In().c_str(), 0755);
  ::chmod((box.In() + "plan.jww").c_str(), 0644);
  const std::string ro = box.Out() + "readonly/";
  ASSERT_EQ(::mkdir(ro.c_str(), 0555), 0);
  ::chmod(ro.c_str(), 0555);  // whatever the umask
  const auto before = Snapshot(box.Root());
  // As root the permission bits would not stop the writer: the run then
  // drops to an unprivileged user, as a parent application would run it.
  TRunLimits lim;
  lim.unprivileged = true;
  TExit r = box.Run(box.In() + "plan.jww", ro + "plan.dxf", lim);
  EXPECT_TRUE(r.exited);
  EXPECT_TRUE(ListNames(ro).empty());
  ExpectUnchangedExcept(before, Snapshot(box.Root()));
}

// Output paths that are not plain files: the run ends by itself, never
// writes through a link, and leaves a folder a folder.
TEST(FaultOutput, OutputPathIsNotAPlainFile) {
  TConverterBox box;
  WriteFile(box.In() + "plan.jww", JwwDrawing(5));
  const std::string elsewhere = box.Root() + "elsewhere.dxf";

  const std::string fifo = box.Out() + "pipe.dxf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_TRUE(box.Run(box.In() + "plan.jww", fifo, {}, 60).exited);

  const std::string link = box.Out() + "link.dxf";
  ASSERT_EQ(::symlink(elsewhere.c_str(), link.c_str()), 0);
  EXPECT_TRUE(box.Run(box.In() + "plan.jww", link, {}, 60).exited);
  EXPECT_FALSE(Exists(elsewhere));

  const std::string folder = box.Out() + "folder.dxf";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  EXPECT_TRUE(box.Run(box.In() + "plan.jww", folder, {}, 60).exited);
  EXPECT_EQ(Snapshot(folder).size(), 0u);

  // Whatever stands at those names now is either what was there or a
  // whole DXF file; nothing else appeared.
  for (const std::string& n : ListNames(box.Out())) {
    const std::string p = box.Out() + n;
    EXPECT_TRUE(n == "pipe.dxf" || n == "link.dxf" || n == "folder.dxf") << n;
    struct stat st;
    if (::lstat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      EXPECT_EQ(DxfProblem(ReadFile(p)), "") << n;
    }
  }
}

struct TDiskCase {
  const char* name;
  // Bytes a file may reach, from the size of the whole DXF file.
  uint64_t (*limit)(uint64_t dxfSize);
  bool images;  // bound images larger than the limit (the DXF fits)
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const TDiskCase& c) { return os << c.name; }

class FaultDiskFull : public ::testing::TestWithParam<TDiskCase> {};

TEST_P(FaultDiskFull, LeavesNoFileBehind) {
  const TDiskCase& c = GetParam();
  TConverterBox box;
  const std::string src = box.In() + "plan.jww";
  WriteFile(src, JwwDrawing(300));
  box.Run(src, box.Out() + "whole.dxf");
  const uint64_t whole = ReadFile(box.Out() + "whole.dxf").size();
  ASSERT_GT(whole, 64u * 1024);
  RemoveTree(box.Out() + "whole.dxf");
  const uint64_t limit = c.limit(whole);
  if (c.images) {
    const std::string big(limit + 1, 'P');
    WriteFile(src, JwwWithImages(300, {{u"photo.bmp", big}, {u"scan.png.gz", Gzip(big)}}));
  }
  const auto before = Snapshot(box.Root());
  // The limit applies to every file the run writes, as "ulimit -f" does;
  // the signal a process gets on passing it is left at its default.
  TRunLimits lim;
  lim.fileSizeBytes = limit;
  box.Run(src, box.Out() + "plan.dxf", lim);
  if (c.images) {
    // The images cannot be stored; the drawing is converted all the same.
    ASSERT_TRUE(Exists(box.Out() + "plan.dxf"));
    EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "plan.dxf")), "");
    ExpectUnchangedExcept(before, Snapshot(box.Root()), {"out/plan.dxf"});
  } else {
    EXPECT_FALSE(Exists(box.Out() + "plan.dxf"));
    ExpectUnchangedExcept(before, Snapshot(box.Root()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, FaultDiskFull,
    ::testing::Values(
        TDiskCase{"NothingFits", [](uint64_t) -> uint64_t { return 0; }, false},
        TDiskCase{"HeaderFits", [](uint64_t) -> uint64_t { return 4096; }, false},
        TDiskCase{"HalfFits", [](uint64_t n) { return n / 2; }, false},
        TDiskCase{"AllButTheLastByte", [](uint64_t n) { return n - 1; }, false},
        TDiskCase{"ImagesDoNotFit", [](uint64_t n) { return n + 4096; }, true}),
    [](const ::testing::TestParamInfo<TDiskCase>& i) { return i.param.name; });

// A run killed while it writes the DXF file: the signal comes once the
// process holds a file open in the output folder.  The output folder is
// clean at once, whatever the signal.
class FaultKilled : public ::testing::TestWithParam<int> {};

TEST_P(FaultKilled, WhileWritingLeavesNoFile) {
  const int sig = GetParam();
  TConverterBox box;
  WriteFile(box.In() + "big.jww",
            JwwWithImages(20000, {{u"k.bmp", "BM-image"}, {u"k.jpg.gz", Gzip("jpeg")}}));
  WriteFile(box.In() + "small.jww", JwwDrawing(3));
  const auto before = Snapshot(box.Root());
  const pid_t pid = box.Start(box.In() + "big.jww", box.Out() + "big.dxf");
  const bool writing = WaitUntilHoldsFileIn(pid, box.Out());
  if (writing) SendSignal(pid, sig);
  WaitChild(pid, 120);
  ASSERT_TRUE(writing) << "the run ended before it wrote; the drawing is too small";
  // The signal comes long before the end of the file; should the run have
  // finished first all the same, its file is whole.
  std::vector<std::string> left = ListNames(box.Out());
  if (!left.empty()) {
    ASSERT_EQ(left, std::vector<std::string>{"big.dxf"});
    EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "big.dxf")), "");
    RemoveTree(box.Out() + "big.dxf");
  }
  // The run had no chance to tidy up beside the executable (its image
  // folder); the next run clears whatever is left there.
  box.Run(box.In() + "small.jww", box.Out() + "small.dxf");
  ExpectUnchangedExcept(before, Snapshot(box.Root()), {"out/small.dxf"});
}

INSTANTIATE_TEST_SUITE_P(Signals, FaultKilled,
                         ::testing::Values(SIGKILL, SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return std::string(sigabbrev_np(i.param));
                         });

}  // namespace
}  // namespace tessa::hardening
