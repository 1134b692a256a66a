// Linux and other POSIX systems.
#include "platform/Platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/PlatformCommon.h"

namespace tessa::platform {

namespace {

// What failed with the text of the current errno.
std::string SystemReason(const std::string& what) {
  const int e = errno;
  return e == 0 ? what : what + ": " + std::strerror(e);
}

TFileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return TFileKind::file;
  if (S_ISDIR(mode)) return TFileKind::folder;
  return TFileKind::other;
}

TLocalMs LocalMs(int64_t sec, int64_t nsec, bool& ok) {
  time_t t = static_cast<time_t>(sec);
  struct tm lt;
  ok = localtime_r(&t, &lt) != nullptr;
  if (!ok) return 0;
  return (sec + lt.tm_gmtoff) * 1000 + nsec / 1000000;
}

std::optional<TLocalMs> LocalTime(int64_t sec, int64_t nsec) {
  bool ok = false;
  const TLocalMs ms = LocalMs(sec, nsec, ok);
  if (!ok) return std::nullopt;
  return ms;
}

std::optional<TLocalMs> WriteTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return LocalTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

}  // namespace

// ---- Files and folders --------------------------------------------------------

char PathSeparator() { return '/'; }
std::string_view Separators() { return "/"; }

std::FILE* OpenFile(const std::string& path, const char* mode) {
  if (!ValidPath(path)) return nullptr;
  return std::fopen(path.c_str(), mode);
}

TFileStatus Examine(const std::string& path) {
  TFileStatus s;
  struct stat st;
  if (!ValidPath(path)) {
    s.error = std::strerror(ENOENT);
    return s;
  }
  if (::stat(path.c_str(), &st) != 0) {
    const int e = errno;
    s.error = std::strerror(e);
    s.why = e == ENOENT || e == ENOTDIR ? TMissing::absent
            : e == ENAMETOOLONG         ? TMissing::nameTooLong
            : e == EACCES               ? TMissing::denied
                                        : TMissing::other;
    return s;
  }
  s.kind = KindOf(st.st_mode);
  s.id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return s;
}

bool SameFile(const std::string& a, const std::string& b) {
  const TFileStatus sa = Examine(a);
  if (sa.kind == TFileKind::missing) return false;
  const TFileStatus sb = Examine(b);
  return sb.kind != TFileKind::missing && sa.id == sb.id;
}

bool RemoveFile(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool MakeOneFolder(const std::string& path) {
  return ValidPath(path) && ::mkdir(path.c_str(), 0777) == 0;
}

bool RemoveFolder(const std::string& path) { return ValidPath(path) && ::rmdir(path.c_str()) == 0; }

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  if (!ValidPath(path)) return names;
  DIR* d = ::opendir(path.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(d);
  return names;
}

std::optional<TLocalMs> FileTime(const std::string& path, [[maybe_unused]] TFileTime which) {
  if (!ValidPath(path)) return std::nullopt;
#ifdef STATX_BTIME
  if (which == TFileTime::created) {
    struct statx sx;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
      if (sx.stx_mask & STATX_BTIME) return LocalTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
      if (sx.stx_mask & STATX_MTIME) return LocalTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
      return std::nullopt;
    }
  }
#endif
  return WriteTime(path);
}

bool ChangeFileTime(const std::string& path, TFileTime which,
                    std::chrono::system_clock::time_point t) {
  // A birth time is the system's own record: nothing sets it.
  if (!ValidPath(path) || which != TFileTime::written) return false;
  using namespace std::chrono;
  const nanoseconds since = duration_cast<nanoseconds>(t.time_since_epoch());
  const seconds sec = floor<seconds>(since);
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the last access stays
  times[1].tv_sec = static_cast<time_t>(sec.count());
  times[1].tv_nsec = static_cast<long>((since - sec).count());
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// ---- Reading a whole file -----------------------------------------------------

struct TInputFile::TState {
  int fd = -1;
};

TInputFile::TInputFile() : s_(std::make_unique<TState>()) {}
TInputFile::~TInputFile() { Close(); }

bool TInputFile::Open(const std::string& path) {
  Close();
  if (!ValidPath(path)) return false;
  s_->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return s_->fd >= 0;
}

uint64_t TInputFile::SizeHint() const {
  struct stat st;
  if (s_->fd < 0 || ::fstat(s_->fd, &st) != 0 || st.st_size <= 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

int64_t TInputFile::Read(void* p, size_t n) {
  if (s_->fd < 0) return -1;
  for (;;) {
    const ssize_t k = ::read(s_->fd, p, n);
    if (k >= 0) return k;
    if (errno != EINTR) return -1;
  }
}

void TInputFile::Close() {
  if (s_->fd >= 0) ::close(s_->fd);
  s_->fd = -1;
}

// ---- Replacing a file in one step ---------------------------------------------
//
// Where the file system allows it, the data go into an unnamed file in the
// target's folder (O_TMPFILE), which Commit links in under the target's
// name: a process killed at any moment then leaves nothing behind.
// Elsewhere a temporary file ".<name>.XXXXXX.tmp" is written, synced and
// renamed over the target; a process killed in between leaves that file,
// recognisable by its name.

struct TAtomicFile::TState {
  int fd = -1;
  uint64_t written = 0;  // bytes put into the file
  uint64_t flushed = 0;  // bytes handed to the disk ahead of the sync
  std::string dst;
  std::string tmp;
  std::string error;
  bool replace = true;
  bool exists = false;

  // Records what failed with the text of the current errno; false.
  bool Fail(const std::string& what) {
    error = SystemReason(what);
    return false;
  }
  // The file being written, as a person would look for it.
  bool OpenUnnamed(const std::string& folder);
  bool OpenNamed();
  bool LinkUnnamed();
  void StartWriteback();
  void Drop();
};

namespace {

// The path through which an open file can be linked into a folder.
std::string FdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The mode an ordinary newly created file gets (the umask applied).
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool TAtomicFile::TState::OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
  // The mode is that of any newly created file (the umask applies).
  const int f = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (f < 0) return false;
  // Commit links the file in through /proc; without /proc the named way
  // is taken.
  if (::access(FdPath(f).c_str(), F_OK) != 0) {
    ::close(f);
    return false;
  }
  fd = f;
  return true;
#else
  (void)folder;
  return false;
#endif
}

bool TAtomicFile::TState::OpenNamed() {
  std::string pattern = TempPattern(dst);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int f = ::mkstemps(name.data(), 4);
  if (f < 0) return Fail("cannot create a file in its folder");
  fd = f;
  tmp.assign(name.data());
  // mkstemps creates the file private to the user; give it the mode an
  // ordinary newly created file would get.
  if (::fchmod(fd, NewFileMode()) != 0) {
    Fail("cannot set the mode of the written file");
    Drop();
    return false;
  }
  return true;
}

bool TAtomicFile::TState::LinkUnnamed() {
  const std::string self = FdPath(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, dst.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno != EEXIST) return false;
  if (!replace) {
    exists = true;
    return false;
  }
  // A file already holds the name: link in under a temporary name and
  // rename that over it, which replaces the old file in one step.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = RandomName(TempPattern(dst));
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      tmp = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Hands what was written so far to the disk in large steps while the rest
// is still being produced, so the sync before the rename finds little left
// to wait for.  Only a hint: where it is not supported, the sync does all.
void TAtomicFile::TState::StartWriteback() {
// emscripten's headers name it, its runtime has none (nor any disk).
#if defined(SYNC_FILE_RANGE_WRITE) && !defined(__EMSCRIPTEN__)
  constexpr uint64_t kStep = uint64_t{8} << 20;
  if (written - flushed < kStep) return;
  ::sync_file_range(fd, static_cast<off_t>(flushed), static_cast<off_t>(written - flushed),
                    SYNC_FILE_RANGE_WRITE);
  flushed = written;
#endif
}

void TAtomicFile::TState::Drop() {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
  if (!tmp.empty()) {
    ::unlink(tmp.c_str());
    tmp.clear();
  }
}

TAtomicFile::TAtomicFile() : s_(std::make_unique<TState>()) {}
TAtomicFile::~TAtomicFile() { Abort(); }

const std::string& TAtomicFile::Error() const { return s_->error; }
bool TAtomicFile::TargetExists() const { return s_->exists; }
const std::string& TAtomicFile::TempPath() const { return s_->tmp; }
void TAtomicFile::Abort() { s_->Drop(); }

bool TAtomicFile::Open(const std::string& dst, bool replace) {
  TState& s = *s_;
  s.Drop();
  s.error.clear();
  s.replace = replace;
  s.exists = false;
  const TPathParts parts = SplitPath(dst);
  if (parts.base.empty()) {
    s.error = "the output path has no file name";
    return false;
  }
  s.dst = dst;
  s.written = s.flushed = 0;
  return s.OpenUnnamed(parts.folder) || s.OpenNamed();
}

bool TAtomicFile::Write(const char* p, size_t n) {
  TState& s = *s_;
  if (s.fd < 0) {
    if (s.error.empty()) s.error = "the output file is not open";
    return false;
  }
  while (n > 0) {
    const ssize_t w = ::write(s.fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return s.Fail("writing failed");
    }
    if (w == 0) {
      s.error = "writing failed: nothing was written";
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
    s.written += static_cast<uint64_t>(w);
  }
  s.StartWriteback();
  return true;
}

bool TAtomicFile::Commit() {
  TState& s = *s_;
  if (s.fd < 0) {
    if (s.error.empty()) s.error = "the output file is not open";
    return false;
  }
  bool ok = ::fsync(s.fd) == 0;
  if (!ok) s.Fail("syncing failed");
  const bool unnamed = s.tmp.empty();
  bool linked = false;  // the target's name now holds the unnamed file
  if (ok && unnamed) {
    ok = s.LinkUnnamed();
    if (!ok)
      s.Fail(s.exists ? "the output exists already"
                      : "cannot give the written file its name");
    linked = ok && s.tmp.empty();
  }
  const int fd = s.fd;
  s.fd = -1;
  if (::close(fd) != 0 && ok) ok = s.Fail("closing the written file failed");
  if (ok && !s.tmp.empty()) {
    if (s.replace) {
      if (::rename(s.tmp.c_str(), s.dst.c_str()) != 0)
        ok = s.Fail("cannot give the written file its name");
    } else if (::link(s.tmp.c_str(), s.dst.c_str()) != 0) {
      // link never replaces: a file that appeared meanwhile stays.
      s.exists = errno == EEXIST;
      ok = s.Fail(s.exists ? "the output exists already"
                           : "cannot give the written file its name");
    } else {
      ::unlink(s.tmp.c_str());
      s.tmp.clear();
    }
  }
  if (!ok) {
    if (!s.tmp.empty()) ::unlink(s.tmp.c_str());
    if (linked) ::unlink(s.dst.c_str());
    s.tmp.clear();
    return false;
  }
  s.tmp.clear();
  // The folder is not synced: after a crash the rename may be lost, which
  // leaves no file, but never a file without its data (synced above).
  // Syncing the folder cost more than converting a small drawing.
  return true;
}

void SyncTogether(std::span<TAtomicFile* const> files) {
  std::vector<dev_t> done;
  for (TAtomicFile* f : files) {
    struct stat st;
    const int fd = f->s_->fd;
    if (fd < 0 || ::fstat(fd, &st) != 0) continue;
    if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
    done.push_back(st.st_dev);
    (void)::syncfs(fd);  // only a head start: each Commit syncs and checks its file
  }
}

// ---- Folders owned by a live process ------------------------------------------
//
// The owner holds an flock on the open folder; a sweeping process that gets
// the lock knows the owner is gone.

namespace {

// An exclusive lock on a folder (never through a link), held until the
// descriptor is closed or the process ends, however it ends; -1 when the
// folder cannot be opened or locked.  With `orUnlocked`, a file system
// without locks still gives the open folder (no process can sweep it then).
int LockFolder(const std::string& dir, bool orUnlocked) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && !(orUnlocked && errno != EWOULDBLOCK)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Deletes the files in the folder open as fd (an owned folder holds no
// folders of its own).
void DeleteFilesIn(int fd) {
  const int d2 = ::dup(fd);
  if (d2 < 0) return;
  DIR* d = ::fdopendir(d2);
  if (!d) {
    ::close(d2);
    return;
  }
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(d);
  for (const std::string& name : names) ::unlinkat(fd, name.c_str(), 0);
}

}  // namespace

struct TOwnedFolder::TState {
  std::string dir;
  int lock = -1;  // open descriptor of dir holding the lock
};

TOwnedFolder::TOwnedFolder() : s_(std::make_unique<TState>()) {}
TOwnedFolder::~TOwnedFolder() { Release(); }
TOwnedFolder::TOwnedFolder(TOwnedFolder&& o) noexcept : s_(std::make_unique<TState>()) {
  std::swap(s_, o.s_);
}
TOwnedFolder& TOwnedFolder::operator=(TOwnedFolder&& o) noexcept {
  std::swap(s_, o.s_);
  return *this;
}

const std::string& TOwnedFolder::Dir() const { return s_->dir; }

void TOwnedFolder::Release() {
  if (s_->lock >= 0) ::close(s_->lock);
  s_->lock = -1;
  s_->dir.clear();
}

bool TOwnedFolder::Make(const std::string& base, const std::string& prefix) {
  Release();
  std::string folder = base;
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  const std::string tmpl = folder + prefix + std::string(kOwnedFolderRandomChars, 'X');
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data()) == nullptr) return false;
    const int fd = LockFolder(buf.data(), true);
    // Another process sweeping the base folder may have taken the new
    // folder for a stale one before it was locked; then it is gone (no
    // links).
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) {
      s_->dir = std::string(buf.data()) + "/";
      s_->lock = fd;
      return true;
    }
    if (fd >= 0) ::close(fd);
    ::rmdir(buf.data());
  }
  return false;
}

bool RemoveStaleFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  // Locked: a live process's folder (this one's included).
  const int fd = LockFolder(path, false);
  if (fd < 0) return false;
  DeleteFilesIn(fd);
  const bool removed = ::rmdir(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

// ---- The process ----------------------------------------------------------------

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return args;
}

std::string ExecutablePath(const char* argv0) {
  char* real = ::realpath("/proc/self/exe", nullptr);
  if (real == nullptr && argv0 != nullptr) real = ::realpath(argv0, nullptr);
  if (real == nullptr) return argv0 != nullptr ? argv0 : "";
  std::string path(real);
  std::free(real);
  return path;
}

void AdviseHugePages(const void* p, size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  constexpr size_t kLeastBytes = size_t{4} << 20;
  if (!p || bytes < kLeastBytes) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kHugePage - 1);
  if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

void KeepLargeBlocksOnHeap(size_t threshold, size_t topPad) {
// glibc's allocator has the three settings; emscripten's lacks M_TOP_PAD.
#if defined(M_MMAP_THRESHOLD) && defined(M_TOP_PAD)
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(threshold));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(threshold));
  if (topPad > 0) mallopt(M_TOP_PAD, static_cast<int>(topPad));
#else
  (void)threshold;
  (void)topPad;
#endif
}

void IgnoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void UseUtf8Terminal() {}

bool ErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string FolderRefusesFiles(const std::string& folder) {
  if (::access(folder.c_str(), W_OK | X_OK) == 0) return {};
  return std::strerror(errno);
}

int TerminalColumns(int fallback) {
  winsize ws{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return fallback;
}

}  // namespace tessa::platform
