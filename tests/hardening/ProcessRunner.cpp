#include "ProcessRunner.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tessa::hardening {

namespace {

constexpr uid_t kNobody = 65534;

void SnapshotInto(const std::string& base, const std::string& rel,
                  std::map<std::string, std::string>& out) {
  const std::string dir = base + rel;
  for (const std::string& n : ListNames(dir)) {
    const std::string r = rel + n;
    struct stat st;
    if (::lstat((base + r).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      out[r + "/"] = "<dir>";
      SnapshotInto(base, r + "/", out);
    } else if (S_ISLNK(st.st_mode)) {
      char t[4096];
      ssize_t k = ::readlink((base + r).c_str(), t, sizeof t);
      out[r] = "<link:" + std::string(t, k > 0 ? static_cast<size_t>(k) : 0) + ">";
    } else if (S_ISREG(st.st_mode)) {
      out[r] = ReadFile(base + r);
    } else {
      // A pipe or device is never opened: that could wait for ever.
      out[r] = "<special>";
    }
  }
}

}  // namespace

TConverterBox::TConverterBox() : root_(folder_.Dir()) {
  if (folder_.Path().empty()) throw std::runtime_error("no temporary folder for the converter");
  // Reachable for the unprivileged runs too.
  ::chmod(root_.c_str(), 0755);
  for (const std::string& d : {Bin(), In(), Out()}) ::mkdir(d.c_str(), 0755);
  WriteFile(Exe(), ReadFile(TESSA_CONVERTER));
  ::chmod(Exe().c_str(), 0755);
}

// The folder goes with everything in it, read-only folders included.
TConverterBox::~TConverterBox() = default;

void TConverterBox::WriteSettings(int dxfVersion, int space) {
  std::string s;
  for (const char* v : {"50", "50", "480", "480", "1", "0", "0", "0", "0", "", "", "", "1",
                        "Windows"})
    s += std::string(v) + "\r\n";
  s += std::to_string(dxfVersion) + "\r\n0\r\n0\r\n" + std::to_string(space) + "\r\n0\r\n0\r\n1\r\n";
  WriteFile(Bin() + "Tessaconv.dat", s);
  ::chmod((Bin() + "Tessaconv.dat").c_str(), 0644);
}

pid_t TConverterBox::Start(const std::string& src, const std::string& dst,
                           const TRunLimits& lim) const {
  const std::string exe = Exe();
  const pid_t pid = ::fork();
  // A failed fork must never reach kill() as pid -1 (every process).
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid > 0) return pid;
  // Child: only async-signal-safe calls from here to exec.
  const int devnull = ::open("/dev/null", O_RDWR);
  if (devnull >= 0) ::dup2(devnull, 0);
  if (lim.fileSizeBytes) {
    struct rlimit rl;
    rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(*lim.fileSizeBytes);
    if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(126);
  }
  if (lim.unprivileged && ::geteuid() == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(126);
  }
  const char* argv[] = {exe.c_str(), "-p", "-q", src.c_str(), dst.c_str(), nullptr};
  ::execv(exe.c_str(), const_cast<char* const*>(argv));
  ::_exit(127);
}

TExit TConverterBox::Run(const std::string& src, const std::string& dst, const TRunLimits& lim,
                         int watchdogSec) const {
  return WaitChild(Start(src, dst, lim), watchdogSec);
}

TExit WaitChild(pid_t pid, int watchdogSec) {
  TExit r;
  int status = 0;
  struct rusage ru{};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(watchdogSec);
  while (true) {
    const pid_t w = ::wait4(pid, &status, watchdogSec > 0 ? WNOHANG : 0, &ru);
    if (w == pid) break;
    if (w < 0) return r;
    if (std::chrono::steady_clock::now() > deadline) {
      SendSignal(pid, SIGKILL);
      ::wait4(pid, &status, 0, &ru);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  r.exited = WIFEXITED(status);
  r.code = r.exited ? WEXITSTATUS(status) : -1;
  r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  r.maxRssKb = ru.ru_maxrss;
  return r;
}

void SendSignal(pid_t pid, int sig) {
  if (pid <= 0) throw std::runtime_error("refusing to signal pid " + std::to_string(pid));
  ::kill(pid, sig);
}

std::vector<std::string> OpenFiles(pid_t pid) {
  std::vector<std::string> out;
  const std::string fd = "/proc/" + std::to_string(pid) + "/fd/";
  for (const std::string& n : ListNames(fd)) {
    char t[4096];
    const ssize_t k = ::readlink((fd + n).c_str(), t, sizeof t);
    if (k > 0) out.emplace_back(t, static_cast<size_t>(k));
  }
  return out;
}

bool WaitUntilHoldsFileIn(pid_t pid, const std::string& folder) {
  while (true) {
    for (const std::string& f : OpenFiles(pid))
      if (f.compare(0, folder.size(), folder) == 0) return true;
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0)
      return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> out;
  std::string base = dir;
  if (base.empty() || base.back() != '/') base.push_back('/');
  SnapshotInto(base, "", out);
  return out;
}

std::vector<std::string> ListNames(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(d);
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    std::string p = path;
    if (p.back() != '/') p.push_back('/');
    for (const std::string& n : ListNames(p)) RemoveTree(p + n);
    ::rmdir(p.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

std::string DxfProblem(const std::string& s) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < s.size()) {
    const size_t crlf = s.find("\r\n", start);
    if (crlf == std::string::npos) return "last line without CR LF";
    lines.push_back(s.substr(start, crlf - start));
    start = crlf + 2;
  }
  if (lines.size() < 2 || lines.size() % 2 != 0) return "lines do not pair up";
  int open = 0;
  for (size_t i = 0; i < lines.size(); i += 2) {
    const std::string& code = lines[i];
    const size_t p = code.find_first_not_of(' ');
    if (p == std::string::npos || code.find_first_not_of("0123456789", p) != std::string::npos)
      return "line " + std::to_string(i + 1) + " is not a group code: " + code;
    if (code == "  0" && lines[i + 1] == "SECTION" && open++ != 0) return "nested SECTION";
    if (code == "  0" && lines[i + 1] == "ENDSEC" && --open != 0) return "ENDSEC without SECTION";
  }
  if (open != 0) return "section not closed";
  if (lines[lines.size() - 2] != "  0" || lines.back() != "EOF") return "no EOF at the end";
  return {};
}

}  // namespace tessa::hardening
