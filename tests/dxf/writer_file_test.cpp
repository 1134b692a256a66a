// Output of the DXF writer: the target path holds a complete file or
// nothing, and no temporary file outlives a run.
#include <gtest/gtest.h>

#include <dirent.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterOut.h"
#include "temp_folder.h"

namespace tessa {
namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void SmallModel(TDXFmodel& m, int ver) {
  m.SetDXFVer(ver, 0);
  m.SetAppName(u"test");
  m.AddLtype(u"Continuous", u"Solid line", 0, {});
  m.AddLayer(u"0", 7, 1, 0, true, true);
  m.AddStyle(u"Standard", u"txt", u"extfont2.shx", 0, 1, 0, 2.5, false);
  m.AddLine(0, 0, 1, 0, 0, 0, 0, 10, 10);
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
    EXPECT_EQ(tmp.rfind(dir.Path() + "/.out.dxf.", 0), 0u) << tmp;
    EXPECT_EQ(tmp.substr(tmp.size() - 4), ".tmp");
  }
  ASSERT_TRUE(f.Put("abc", 3));
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(ReadAll(dst), "abc");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.dxf"});
  struct stat st;
  ASSERT_EQ(::stat(dst.c_str(), &st), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);  // as any new file
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
  ASSERT_EQ(::unlink(dst.c_str()), 0);
  TDXFAtomicFile f;
  ASSERT_TRUE(f.Open(dst, false));
  ASSERT_TRUE(f.Put("new", 3));
  { std::ofstream(dst) << "other"; }
  EXPECT_FALSE(f.Commit());
  EXPECT_TRUE(f.TargetExists());
  EXPECT_EQ(ReadAll(dst), "other");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"drawing.dxf"});

  // An absent target is written as usual.
  ASSERT_EQ(::unlink(dst.c_str()), 0);
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
    if (c.dstIsFolder) { ASSERT_EQ(::mkdir(dst.c_str(), 0700), 0); }
    if (c.readOnly) ::chmod(dir.Path().c_str(), 0500);
    if (c.readOnly && ::access(dir.Path().c_str(), W_OK) == 0) {
      ::chmod(dir.Path().c_str(), 0700);
      continue;  // running as a user whom permissions do not stop
    }
    TDXFmodel m;
    SmallModel(m, 0);
    const TDXFWriteResult r = SaveDXFFile(m, "", dst);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.code, "write-failed") << c.what;
    EXPECT_NE(r.message.find(c.reason), std::string::npos) << c.what << ": " << r.message;
    EXPECT_FALSE(SaveDXF(m, "", dst)) << c.what;
    ::chmod(dir.Path().c_str(), 0700);
    std::vector<std::string> left = dir.Names();
    if (c.dstIsFolder) {
      EXPECT_EQ(left, std::vector<std::string>{"out.dxf"}) << c.what;
      DIR* d = ::opendir(dst.c_str());
      ASSERT_NE(d, nullptr);
      int entries = 0;
      while (::readdir(d)) ++entries;
      ::closedir(d);
      EXPECT_EQ(entries, 2) << c.what;  // "." and ".." only
      ::rmdir(dst.c_str());
    } else {
      EXPECT_TRUE(left.empty()) << c.what;
    }
  }
}

// A write that fails half-way (the file-size limit stands in for a full
// disk): the run answers false with the system's reason and leaves neither
// target nor temporary.
TEST(SaveDXF, AWriteFailingHalfWayLeavesNothingBehind) {
  TTempFolder dir{"tessa_writer_"};
  const std::string dst = dir.Path() + "/big.dxf";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    TDXFmodel m;
    SmallModel(m, 2);
    for (int i = 0; i < 2000; ++i) m.AddLine(0, 0, 1, 0, 0, i, 0, i, 10);
    const TDXFWriteResult r = SaveDXFFile(m, "", dst);
    if (r.ok) ::_exit(1);
    const bool named = r.message.find("writing ") == 0 &&
                       r.message.find(std::strerror(EFBIG)) != std::string::npos;
    ::_exit(named && r.code == "write-failed" ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "SaveDXF reported success";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the reason does not say that writing failed, and why";
  EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
}  // namespace tessa
