// Output of the DXF writer: the target path holds a complete file or
// nothing, and no temporary file outlives a run.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterOut.h"
#include "temp_folder.h"
#include "writer_small_model.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;
using testing_support::FsPath;

bool Exists(const std::string& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(FsPath(p), ec));
}

std::string ReadAll(const std::string& p) {
  std::ifstream f(FsPath(p), std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(AtomicFile, SuccessLeavesOnlyTheTarget) {
  TTempFolder dir{"tessa_writer_"};
  const std::string dst = dir.Path() + "/out.dxf";
  TDXFAtomicFile f;
  ASSERT_TRUE(f.Open(dst));
  EXPECT_FALSE(Exists(dst));  // nothing at the target while writing
  const std::string tmp = f.TempPath();
  if (tmp.empty()) {
    // An unnamed file: nothing at all shows in the folder while writing.
    EXPECT_TRUE(dir.Names().empty());
  } else {
    // Beside the target, whichever separator the system puts before it.
    EXPECT_EQ(tmp.rfind(dir.Path(), 0), 0u) << tmp;
    EXPECT_EQ(tmp.find(".out.dxf.", dir.Path().size()), dir.Path().size() + 1) << tmp;
    EXPECT_EQ(tmp.substr(tmp.size() - 4), ".tmp");
  }
  ASSERT_TRUE(f.Put("abc", 3));
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(ReadAll(dst), "abc");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.dxf"});
}

TEST(AtomicFile, AbortAndDestructionRemoveTheTemporaryFile) {
  TTempFolder dir{"tessa_writer_"};
  {
    TDXFAtomicFile f;
    ASSERT_TRUE(f.Open(dir.Path() + "/a.dxf"));
    ASSERT_TRUE(f.Put("x", 1));
    f.Abort();
    EXPECT_TRUE(dir.Names().empty());
  }
  {
    TDXFAtomicFile f;
    ASSERT_TRUE(f.Open(dir.Path() + "/b.dxf"));
    ASSERT_TRUE(f.Put("x", 1));
  }  // never committed
  EXPECT_TRUE(dir.Names().empty());
}

TEST(AtomicFile, VeryLongNamesStillGetATemporaryFile) {
  TTempFolder dir{"tessa_writer_"};
  std::string name;
  for (int i = 0; i < 80; ++i) name += "図";  // 240 bytes
  name += ".dxf";
  TDXFAtomicFile f;
  ASSERT_TRUE(f.Open(dir.Path() + "/" + name));
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{name});
}

TEST(SaveDXF, WritesTheWholeFileAndReplacesAnOldOne) {
  TTempFolder dir{"tessa_writer_"};
  const std::string dst = dir.Path() + "/drawing.dxf";
  { std::ofstream(dst) << "old"; }
  TDXFmodel m;
  SmallModel(m, 1);
  ASSERT_TRUE(SaveDXF(m, dir.Path() + "/missing.jww", dst));
  const std::string text = ReadAll(dst);
  EXPECT_EQ(text.rfind("999\r\ntest\r\n", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 10), "  0\r\nEOF\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"drawing.dxf"});
  // Into memory the same model gives the same bytes.
  TDXFStringSink memory;
  const TDXFWriteResult r = SaveDXF(m, dir.Path() + "/missing.jww", memory);
  EXPECT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.code.empty());
  EXPECT_TRUE(memory.text == text);
}

// Without replace an existing file stays as it was, also one that appears
// while the new file is written, and nothing else is left in the folder.
TEST(SaveDXF, WithoutReplaceAnExistingFileStays) {
  TTempFolder dir{"tessa_writer_"};
  const std::string dst = dir.Path() + "/drawing.dxf";
  TDXFmodel m;
  SmallModel(m, 1);
  TDXFWriteOptions keep;
  keep.replace = false;
  { std::ofstream(dst) << "old"; }
  TDXFWriteResult r = SaveDXFFile(m, "", dst, keep);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.code, kDXFOutputExists);
  EXPECT_NE(r.message.find("exists already"), std::string::npos) << r.message;
  EXPECT_EQ(ReadAll(dst), "old");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"drawing.dxf"});

  // A file that appears between opening and committing.
  ASSERT_TRUE(fs::remove(FsPath(dst)));
  TDXFAtomicFile f;
  ASSERT_TRUE(f.Open(dst, false));
  ASSERT_TRUE(f.Put("new", 3));
  { std::ofstream(dst) << "other"; }
  EXPECT_FALSE(f.Commit());
  EXPECT_TRUE(f.TargetExists());
  EXPECT_EQ(ReadAll(dst), "other");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"drawing.dxf"});

  // An absent target is written as usual.
  ASSERT_TRUE(fs::remove(FsPath(dst)));
  r = SaveDXFFile(m, "", dst, keep);
  EXPECT_TRUE(r.ok) << r.message;
  EXPECT_EQ(ReadAll(dst).substr(0, 5), "999\r\n");
}

// A sink that takes `room` bytes and then refuses, and notes whether the
// writer gave up on it.
class TFullSink : public TDXFSink {
 public:
  explicit TFullSink(size_t room) : room_(room) {}
  bool Put(const char*, size_t n) override {
    if (n > room_) return false;
    room_ -= n;
    return true;
  }
  bool Finish() override {
    finished = true;
    return true;
  }
  void Abort() override { aborted = true; }
  std::string Error() const override { return "the sink is full"; }
  bool finished = false;
  bool aborted = false;

 private:
  size_t room_;
};

TEST(SaveDXF, ASinkThatFailsGetsAbortedAndTheReasonComesBack) {
  TDXFmodel m;
  SmallModel(m, 1);
  TFullSink sink(100);
  const TDXFWriteResult r = SaveDXF(m, "", sink);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.code, "write-failed");
  EXPECT_EQ(r.message, "the sink is full");
  EXPECT_TRUE(sink.aborted);
  EXPECT_FALSE(sink.finished);
}

// The system's words for why something failed are strerror's on POSIX
// systems; Windows has words of its own, and there only some must come.
bool GivesReason(const std::string& message, const std::string& posixReason) {
#ifdef _WIN32
  (void)posixReason;
  return !message.empty();
#else
  return message.find(posixReason) != std::string::npos;
#endif
}

// The folder refuses new files (permissions do not stop every user:
// root, or Windows, which keeps no write permission on folders).
bool RefusesFiles(const std::string& folder) {
  const std::string probe = folder + "/probe";
  const bool made = static_cast<bool>(std::ofstream(FsPath(probe)));
  std::error_code ec;
  fs::remove(FsPath(probe), ec);
  return !made;
}

struct FailCase {
  const char* what;
  std::string dst;    // relative to the folder
  bool readOnly;      // folder made read-only first
  bool dstIsFolder;   // a folder already holds the target name
  std::string reason; // part of the failure's message
};

TEST(SaveDXF, AFailedWriteLeavesNothingBehind) {
  const FailCase cases[] = {
      {"missing folder", "no/such/folder/out.dxf", false, false, std::strerror(ENOENT)},
      {"read-only folder", "out.dxf", true, false, std::strerror(EACCES)},
      {"target is a folder", "out.dxf", false, true, std::strerror(EISDIR)},
      {"empty name", "", false, false, "no file name"},
  };
  for (const FailCase& c : cases) {
    TTempFolder dir{"tessa_writer_"};
    const std::string dst = c.dst.empty() ? dir.Path() + "/" : dir.Path() + "/" + c.dst;
    std::error_code ec;
    if (c.dstIsFolder) {
      ASSERT_TRUE(fs::create_directory(FsPath(dst)));
    }
    if (c.readOnly) {
      fs::permissions(FsPath(dir.Path()), fs::perms::owner_read | fs::perms::owner_exec, ec);
      if (!RefusesFiles(dir.Path())) {
        fs::permissions(FsPath(dir.Path()), fs::perms::owner_all, ec);
        continue;
      }
    }
    TDXFmodel m;
    SmallModel(m, 0);
    const TDXFWriteResult r = SaveDXFFile(m, "", dst);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.code, "write-failed") << c.what;
    EXPECT_TRUE(GivesReason(r.message, c.reason)) << c.what << ": " << r.message;
    EXPECT_FALSE(SaveDXF(m, "", dst)) << c.what;
    fs::permissions(FsPath(dir.Path()), fs::perms::owner_all, ec);
    std::vector<std::string> left = dir.Names();
    if (c.dstIsFolder) {
      EXPECT_EQ(left, std::vector<std::string>{"out.dxf"}) << c.what;
      EXPECT_TRUE(fs::is_empty(FsPath(dst))) << c.what;
      fs::remove(FsPath(dst), ec);
    } else {
      EXPECT_TRUE(left.empty()) << c.what;
    }
  }
}

}  // namespace
}  // namespace tessa
