#include "dxf/SaveWriterOut.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

}  // namespace

std::string DXFTempPattern(const std::string& dst) {
  std::string folder, base;
  SplitPath(dst, folder, base);
  std::string dir = folder == "/" ? "/" : folder + "/";
  return dir + "." + ShortenName(base) + ".XXXXXX.tmp";
}

TDXFAtomicFile::~TDXFAtomicFile() { Abort(); }

bool TDXFAtomicFile::Open(const std::string& dst) {
  Abort();
  std::string folder, base;
  SplitPath(dst, folder, base);
  if (base.empty()) return false;
  std::string pattern = DXFTempPattern(dst);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemps(name.data(), 4);
  if (fd < 0) return false;
  fd_ = fd;
  tmp_.assign(name.data());
  dst_ = dst;
  // mkstemps creates the file private to the user; give it the mode an
  // ordinary newly created file would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd_, 0666 & ~mask) != 0) {
    Abort();
    return false;
  }
  return true;
}

bool TDXFAtomicFile::Put(const char* p, size_t n) {
  if (fd_ < 0) return false;
  while (n > 0) {
    const ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool TDXFAtomicFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = ::fsync(fd_) == 0;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmp_.c_str(), dst_.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(tmp_.c_str());
    tmp_.clear();
    return false;
  }
  tmp_.clear();
  // The folder is not synced: after a crash the rename may be lost, which
  // leaves no file, but never a file without its data (synced above).
  // Syncing the folder cost more than converting a small drawing.
  return true;
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
