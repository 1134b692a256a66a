// The program run as a separate process, the way its parent starts it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "samples.h"
#include "temp_folder.h"
#include "util/Func_2.h"

extern char** environ;

namespace tessa {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

struct RunResult {
  int exitCode = -1;  // -1: did not exit normally
  std::string out, err;
};

// A private folder holding a copy of the program, so that the settings file
// beside it is the test's own.
class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = tmp_.Path();
    ASSERT_FALSE(dir_.empty());
    exe_ = dir_ + "/bin/tessaconv";
    ASSERT_TRUE(MakeFolder(dir_ + "/bin"));
    if (link(TESSACONV_PATH, exe_.c_str()) != 0) {
      std::string cmd = std::string("cp '") + TESSACONV_PATH + "' '" + exe_ + "'";
      ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
  }
  RunResult Run(const std::vector<std::string>& args, const std::string& exe = "") {
    std::vector<std::string> argv{exe.empty() ? exe_ : exe};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const std::string outPath = dir_ + "/stdout.txt";
    const std::string errPath = dir_ + "/stderr.txt";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Run from another folder: nothing may depend on the working folder.
    posix_spawn_file_actions_addchdir_np(&fa, "/");
    pid_t pid = 0;
    RunResult r;
    int rc = posix_spawn(&pid, cargv[0], &fa, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    EXPECT_EQ(rc, 0);
    if (rc != 0) return r;
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    r.out = ReadAll(outPath);
    r.err = ReadAll(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return r;
  }

  void ExpectQuietSuccess(const RunResult& r) {
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string p = dir_ + "/" + name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

  // Names of everything in the program's folder but the program itself.
  std::vector<std::string> LeftBesideProgram() {
    std::vector<std::string> names;
    std::string cmd = "ls -A '" + dir_ + "/bin'";
    FILE* p = popen(cmd.c_str(), "r");
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) {
      std::string n(buf);
      if (!n.empty() && n.back() == '\n') n.pop_back();
      if (n != "tessaconv" && n != "Tessaconv.dat") names.push_back(n);
    }
    if (p) pclose(p);
    return names;
  }

  static const std::string& Example() {
    static const std::string bytes = ReadAll(TESSA_EXAMPLE_JWW);
    return bytes;
  }

  TTempFolder tmp_{"tessa_process_"};
  std::string dir_, exe_;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The file is a whole DXF file of the given version.
void ExpectDxf(const std::string& path, const char* version) {
  ASSERT_TRUE(IsFile(path)) << path;
  const std::string dxf = ReadAll(path);
  EXPECT_TRUE(Contains(dxf, std::string("\n$ACADVER\n  1\n") + version + "\n") ||
              Contains(dxf, std::string("\r\n$ACADVER\r\n  1\r\n") + version + "\r\n"))
      << version;
  EXPECT_TRUE(Contains(dxf.substr(dxf.size() > 16 ? dxf.size() - 16 : 0), "EOF"));
}

TEST_F(ProcessTest, PresentOutputIsDeletedAndNotRewritten) {
  // A drawing that would convert: only the present output stops it.
  const std::string in = Write("in.jww", Example());
  const std::string out = Write("out.dxf", "old");
  RunResult r = Run({"-a", "-b", in, out});
  ExpectQuietSuccess(r);
  EXPECT_FALSE(IsFile(out));
  EXPECT_EQ(ReadAll(in), Example());
}

// Arguments swapped by mistake, the same path twice, or a link to the
// drawing as output: the run deletes nothing and writes nothing.
TEST_F(ProcessTest, DrawingsAreNeverDeletedOrWrittenOver) {
  const std::string plan = Write("plan.jww", Example());
  const std::string dxf = Write("plan.dxf", "earlier output");
  const std::string other = Write("other.JWC", "another drawing");
  const std::string link = dir_ + "/link.dxf";
  ASSERT_EQ(symlink(plan.c_str(), link.c_str()), 0);
  const std::string hard = dir_ + "/hard.dxf";
  ASSERT_EQ(::link(plan.c_str(), hard.c_str()), 0);
  struct Case {
    const char* what;
    std::string in, out;
  };
  const Case cases[] = {
      {"swapped", dxf, plan},
      {"same path", plan, plan},
      {"output of another drawing format, any case", plan, other},
      {"absent output with a drawing extension", plan, dir_ + "/new.Jwk"},
      {"symbolic link to the input", plan, link},
      {"hard link to the input", plan, hard},
  };
  for (const Case& c : cases) {
    ExpectQuietSuccess(Run({"a", "b", c.in, c.out}));
    EXPECT_EQ(ReadAll(plan), Example()) << c.what;
    EXPECT_EQ(ReadAll(dxf), "earlier output") << c.what;
    EXPECT_EQ(ReadAll(other), "another drawing") << c.what;
    EXPECT_TRUE(IsFile(link) && IsFile(hard)) << c.what;
  }
  EXPECT_FALSE(IsFile(dir_ + "/new.Jwk"));
  // An ordinary output is still replaced by the parent's rule.
  ExpectQuietSuccess(Run({"a", "b", plan, dxf}));
  EXPECT_FALSE(IsFile(dxf));
}

TEST_F(ProcessTest, DrawingIsConvertedWithDefaultSettings) {
  ASSERT_FALSE(Example().empty());
  const std::string out = dir_ + "/out.dxf";
  ExpectQuietSuccess(Run({"a", "b", Write("in.jww", Example()), out}));
  ExpectDxf(out, "AC1009");
}

TEST_F(ProcessTest, UpperCaseExtensionsAreTheirFormats) {
  const std::string out = dir_ + "/out.dxf";
  ExpectQuietSuccess(Run({"a", "b", Write("PLAN.JWW", Example()), out}));
  ExpectDxf(out, "AC1009");
  TESSA_REQUIRE_SAMPLES();
  const std::string jws =
      testing_support::SamplesDir() + "/jws/jwcad/\xE7\xAB\x8B\xE9\x9D\xA2/S12.jws";
  ASSERT_TRUE(IsFile(jws)) << jws;
  const std::string out2 = dir_ + "/out2.dxf";
  ExpectQuietSuccess(Run({"a", "b", Write("PART.Jws", ReadAll(jws)), out2}));
  ExpectDxf(out2, "AC1009");
}

TEST_F(ProcessTest, SettingsBesideTheRealProgramChooseTheVersion) {
  // Line 15 is the DXF version.
  std::ofstream(dir_ + "/bin/Tessaconv.dat") << "\n\n\n\n\n\n\n\n\n\n\n\n\n\n1\n";
  // Started through a link in another folder with settings of its own.
  ASSERT_TRUE(MakeFolder(dir_ + "/other"));
  std::ofstream(dir_ + "/other/Tessaconv.dat") << "\n\n\n\n\n\n\n\n\n\n\n\n\n\n2\n";
  const std::string link = dir_ + "/other/tessaconv";
  ASSERT_EQ(symlink(exe_.c_str(), link.c_str()), 0);
  const std::string out = dir_ + "/out.dxf";
  ExpectQuietSuccess(Run({"a", "b", Write("in.jww", Example()), out}, link));
  ExpectDxf(out, "AC1015");
}

TEST_F(ProcessTest, DrawingThatFailsToLoadGivesNoDxf) {
  // The signature and version pass, the rest is cut off.
  const std::string half = Example().substr(0, Example().size() / 2);
  const std::string out = dir_ + "/out.dxf";
  ExpectQuietSuccess(Run({"a", "b", Write("cut.jww", half), out}));
  EXPECT_FALSE(IsFile(out));
  EXPECT_EQ(LeftBesideProgram(), std::vector<std::string>{});
}

TEST_F(ProcessTest, OtherArgumentCountsTouchNothing) {
  const std::string in = Write("in.jww", "x");
  const std::string out = Write("out.dxf", "old");
  const std::vector<std::vector<std::string>> runs = {
      {},
      {in, out},
      {"a", in, out},
      {"a", "b", in, out, "e"},
  };
  for (const auto& args : runs) {
    RunResult r = Run(args);
    ExpectQuietSuccess(r);
    EXPECT_EQ(ReadAll(out), "old") << args.size();
  }
}

TEST_F(ProcessTest, MissingInputConvertsNothingButStillRemovesTheOutput) {
  const std::string out = dir_ + "/out.dxf";
  RunResult r = Run({"a", "b", dir_ + "/missing.jww", out});
  ExpectQuietSuccess(r);
  EXPECT_FALSE(IsFile(out));

  Write("out.dxf", "old");
  r = Run({"a", "b", dir_ + "/missing.jww", out});
  ExpectQuietSuccess(r);
  EXPECT_FALSE(IsFile(out));
}

TEST_F(ProcessTest, UnknownExtensionWritesNothing) {
  // A real drawing under a name the program does not read.
  const std::string in = Write("drawing.jwx", Example());
  const std::string out = dir_ + "/out.dxf";
  RunResult r = Run({"a", "b", in, out});
  ExpectQuietSuccess(r);
  EXPECT_FALSE(IsFile(out));
}

TEST_F(ProcessTest, BrokenInputsEndQuietlyWithoutOutput) {
  const std::string out = dir_ + "/out.dxf";
  const std::pair<const char*, std::string> inputs[] = {
      {"empty.jww", ""},
      {"garbage.jws", std::string(300, '\xFF')},
      {"short.jwc", "JWC"},
      {"zero.jwk", std::string(1000, '\0')},
  };
  for (const auto& [name, bytes] : inputs) {
    const std::string in = Write(name, bytes);
    RunResult r = Run({"a", "b", in, out});
    ExpectQuietSuccess(r);
    EXPECT_FALSE(IsFile(out)) << name;
  }
  // Output into a folder that does not exist, or onto a folder.
  const std::string in = Write("x.jww", "x");
  ExpectQuietSuccess(Run({"a", "b", in, dir_ + "/no/such/out.dxf"}));
  ASSERT_TRUE(MakeFolder(dir_ + "/adir.dxf"));
  ExpectQuietSuccess(Run({"a", "b", in, dir_ + "/adir.dxf"}));
  EXPECT_TRUE(IsFolder(dir_ + "/adir.dxf"));
}

TEST_F(ProcessTest, BadSettingsFileIsNoError) {
  // Binary junk, an overlong line and out-of-range options.
  std::string junk = std::string(5000, 'x') + "\r\n" + std::string("\x82\r\n\xFF\x00\n", 7) + "20\n";
  std::ofstream(dir_ + "/bin/Tessaconv.dat", std::ios::binary) << junk;
  const std::string out = Write("out.dxf", "old");
  RunResult r = Run({"a", "b", Write("in.jww", "x"), out});
  ExpectQuietSuccess(r);
  EXPECT_FALSE(IsFile(out));
}

TEST_F(ProcessTest, NothingIsLeftBesideTheProgram) {
  const std::string in = Write("in.jww", Example());
  ExpectQuietSuccess(Run({"a", "b", in, dir_ + "/out.dxf"}));
  // The image folder made at start-up is removed again when it is empty.
  EXPECT_EQ(LeftBesideProgram(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tessa
