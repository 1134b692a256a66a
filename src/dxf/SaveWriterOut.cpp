#include "dxf/SaveWriterOut.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tessa {

namespace {

// Keeps the temporary name within the usual 255-byte limit of a file name
// without splitting a UTF-8 sequence.
std::string ShortenName(const std::string& base) {
  constexpr size_t kMax = 200;
  if (base.size() <= kMax) return base;
  size_t n = kMax;
  while (n > 0 && (static_cast<unsigned char>(base[n]) & 0xC0) == 0x80) --n;
  return base.substr(0, n);
}

void SplitPath(const std::string& path, std::string& folder, std::string& base) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    folder = ".";
    base = path;
  } else {
    folder = slash == 0 ? "/" : path.substr(0, slash);
    base = path.substr(slash + 1);
  }
}

// The path through which an open file can be linked into a folder.
std::string FdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The pattern with its X's replaced by random letters and digits.
std::string RandomName(std::string pattern) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // One generator per thread: conversions on several threads name files
  // at the same time.
  thread_local std::mt19937 rng{std::random_device{}()};
  const size_t x = pattern.rfind("XXXXXX");
  for (size_t i = 0; x != std::string::npos && i < 6; ++i)
    pattern[x + i] = kChars[rng() % (sizeof kChars - 1)];
  return pattern;
}

}  // namespace

std::string DXFTempPattern(const std::string& dst) {
  std::string folder, base;
  SplitPath(dst, folder, base);
  std::string dir = folder == "/" ? "/" : folder + "/";
  return dir + "." + ShortenName(base) + ".XXXXXX.tmp";
}

TDXFAtomicFile::~TDXFAtomicFile() { Abort(); }

bool TDXFAtomicFile::Fail(const std::string& what) {
  const int e = errno;
  error_ = what;
  if (e != 0) error_ += std::string(": ") + std::strerror(e);
  return false;
}

bool TDXFAtomicFile::Open(const std::string& dst, bool replace) {
  Abort();
  error_.clear();
  replace_ = replace;
  exists_ = false;
  std::string folder, base;
  SplitPath(dst, folder, base);
  if (base.empty()) {
    errno = 0;
    return Fail("the output path has no file name");
  }
  dst_ = dst;
  written_ = flushed_ = 0;
  return OpenUnnamed(folder) || OpenNamed(dst);
}

bool TDXFAtomicFile::OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
  // The mode is that of any newly created file (the umask applies).
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // Commit links the file in through /proc; without /proc the named way
  // is taken.
  if (::access(FdPath(fd).c_str(), F_OK) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
#else
  (void)folder;
  return false;
#endif
}

bool TDXFAtomicFile::OpenNamed(const std::string& dst) {
  std::string pattern = DXFTempPattern(dst);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemps(name.data(), 4);
  if (fd < 0) return Fail("cannot create a file in its folder");
  fd_ = fd;
  tmp_.assign(name.data());
  // mkstemps creates the file private to the user; give it the mode an
  // ordinary newly created file would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd_, 0666 & ~mask) != 0) {
    Fail("cannot set the mode of the written file");
    Abort();
    return false;
  }
  return true;
}

bool TDXFAtomicFile::LinkUnnamed() {
  const std::string self = FdPath(fd_);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, dst_.c_str(), AT_SYMLINK_FOLLOW) == 0)
    return true;
  if (errno != EEXIST) return false;
  if (!replace_) {
    exists_ = true;
    return false;
  }
  // A file already holds the name: link in under a temporary name and
  // rename that over it, which replaces the old file in one step.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = RandomName(DXFTempPattern(dst_));
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      tmp_ = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool TDXFAtomicFile::Put(const char* p, size_t n) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "the output file is not open";
    return false;
  }
  while (n > 0) {
    const ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return Fail("writing failed");
    }
    if (w == 0) {
      errno = 0;
      return Fail("writing failed: nothing was written");
    }
    p += w;
    n -= static_cast<size_t>(w);
    written_ += static_cast<uint64_t>(w);
  }
  StartWriteback();
  return true;
}

// Hands what was written so far to the disk in large steps while the rest
// is still being produced, so the sync before the rename finds little left
// to wait for.  Only a hint: where it is not supported, the sync does all.
void TDXFAtomicFile::StartWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
  constexpr uint64_t kStep = uint64_t{8} << 20;
  if (written_ - flushed_ < kStep) return;
  ::sync_file_range(fd_, static_cast<off_t>(flushed_), static_cast<off_t>(written_ - flushed_),
                    SYNC_FILE_RANGE_WRITE);
  flushed_ = written_;
#endif
}

bool TDXFAtomicFile::Commit() {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "the output file is not open";
    return false;
  }
  bool ok = ::fsync(fd_) == 0;
  if (!ok) Fail("syncing failed");
  const bool unnamed = tmp_.empty();
  bool linked = false;  // the target's name now holds the unnamed file
  if (ok && unnamed) {
    ok = LinkUnnamed();
    if (!ok) Fail(exists_ ? "the output exists already" : "cannot give the written file its name");
    linked = ok && tmp_.empty();
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && ok) ok = Fail("closing the written file failed");
  if (ok && !tmp_.empty()) {
    if (replace_) {
      if (::rename(tmp_.c_str(), dst_.c_str()) != 0)
        ok = Fail("cannot give the written file its name");
    } else if (::link(tmp_.c_str(), dst_.c_str()) != 0) {
      // link never replaces: a file that appeared meanwhile stays.
      exists_ = errno == EEXIST;
      ok = Fail(exists_ ? "the output exists already" : "cannot give the written file its name");
    } else {
      ::unlink(tmp_.c_str());
      tmp_.clear();
    }
  }
  if (!ok) {
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
    if (linked) ::unlink(dst_.c_str());
    tmp_.clear();
    return false;
  }
  tmp_.clear();
  // The folder is not synced: after a crash the rename may be lost, which
  // leaves no file, but never a file without its data (synced above).
  // Syncing the folder cost more than converting a small drawing.
  return true;
}

void SyncTogether(std::span<TDXFAtomicFile* const> files) {
  std::vector<dev_t> done;
  for (TDXFAtomicFile* f : files) {
    struct stat st;
    if (f->fd_ < 0 || ::fstat(f->fd_, &st) != 0) continue;
    if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
    done.push_back(st.st_dev);
    (void)::syncfs(f->fd_);  // only a head start: each Commit syncs and checks its file
  }
}

void TDXFAtomicFile::Abort() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tmp_.empty()) {
    ::unlink(tmp_.c_str());
    tmp_.clear();
  }
}

}  // namespace tessa
