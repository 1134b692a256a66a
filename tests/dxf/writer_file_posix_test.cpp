// Output of the DXF writer where POSIX systems differ from the rest: the
// permissions a new file gets, and a write cut short by the file-size
// limit in a child process.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterOut.h"
#include "temp_folder.h"
#include "writer_small_model.h"

namespace tessa {
namespace {

TEST(AtomicFile, TheFileGetsThePermissionsOfAnyNewFile) {
  TTempFolder dir{"tessa_writer_"};
  const std::string dst = dir.Path() + "/out.dxf";
  TDXFAtomicFile f;
  ASSERT_TRUE(f.Open(dst));
  ASSERT_TRUE(f.Put("abc", 3));
  ASSERT_TRUE(f.Commit());
  struct stat st;
  ASSERT_EQ(::stat(dst.c_str(), &st), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
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
