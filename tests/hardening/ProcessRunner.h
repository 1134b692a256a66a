// Runs the converter as a separate process, the way its parent does, in a
// private folder of its own: <root>/bin holds a copy of the executable (so
// its settings file and image folder are private too), <root>/in the
// drawings, <root>/out the results.  Helpers to start, limit, stop and kill
// the child, to see which files it holds open, and to compare folder trees.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace tessa::hardening {

struct TRunLimits {
  std::optional<uint64_t> fileSizeBytes;  // RLIMIT_FSIZE (the "disk" fills)
  bool unprivileged = false;              // run as nobody when started as root
};

struct TExit {
  bool exited = false;  // normal exit (else killed by a signal)
  int code = -1;
  int signal = 0;
  long maxRssKb = 0;    // peak resident memory of the child
};

class TConverterBox {
 public:
  TConverterBox();
  ~TConverterBox();
  TConverterBox(const TConverterBox&) = delete;
  TConverterBox& operator=(const TConverterBox&) = delete;

  const std::string& Root() const { return root_; }
  std::string Bin() const { return root_ + "bin/"; }
  std::string In() const { return root_ + "in/"; }
  std::string Out() const { return root_ + "out/"; }
  std::string Exe() const { return Bin() + "tessaconv"; }
  std::string ImageFolder() const { return Bin() + "TEMP/"; }

  // Writes the settings file beside the executable (21 lines; cb2 etc. as
  // given, the rest default).
  void WriteSettings(int dxfVersion, int space = 0);

  // Starts `tessaconv x x src dst`; returns the child's pid.
  pid_t Start(const std::string& src, const std::string& dst, const TRunLimits& lim = {}) const;
  // Runs to the end.  A run still going after `watchdogSec` is killed and
  // reported as such (signal SIGKILL), so that a hang fails the test
  // instead of blocking the suite.
  TExit Run(const std::string& src, const std::string& dst, const TRunLimits& lim = {},
            int watchdogSec = 120) const;

 private:
  TTempFolder folder_{"tessa-hardening-"};
  std::string root_;  // folder_ with a trailing "/"
};

// Waits for the child; with a watchdog (seconds, 0 = none) a child still
// running is killed first.
TExit WaitChild(pid_t pid, int watchdogSec);

// kill() for one child only: a pid of 0 or below (a process group, or
// every process) is refused.
void SendSignal(pid_t pid, int sig);

// Paths the process has open (targets of /proc/<pid>/fd/*).
std::vector<std::string> OpenFiles(pid_t pid);
// Polls until the process holds a file open below `folder` (true), or has
// ended (false).  The process is not reaped.
bool WaitUntilHoldsFileIn(pid_t pid, const std::string& folder);

// Every file and folder below `dir` (relative path -> content; folders map
// to "<dir>").
std::map<std::string, std::string> Snapshot(const std::string& dir);
std::vector<std::string> ListNames(const std::string& dir);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);

// The converter's output is a whole DXF file: CR LF lines in pairs, group
// codes numeric, every section closed, "EOF" at the end.  Empty when it
// is, else what is wrong.
std::string DxfProblem(const std::string& text);

}  // namespace tessa::hardening
