// Thin file and folder operations that answer instead of failing.
#include "util/Func_2Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "util/Func_2Cp932.h"
#include "util/Func_2Text.h"

namespace tessa {

// ---- Files and folders -------------------------------------------------------

char PathDelim() { return '/'; }

namespace {

// Index of the extension's dot in path, or npos when the file name has none.
size_t ExtDot(const std::string& path) {
  size_t sep = path.find_last_of("/\\");
  size_t from = sep == std::string::npos ? 0 : sep + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < from) return std::string::npos;
  return dot;
}

bool IsValidUtf8(std::string_view s) {
  return StrToUtf8(Utf8ToStr(s)) == s;
}

bool ValidPath(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

std::string FileExtLower(const std::string& path) {
  size_t dot = ExtDot(path);
  if (dot == std::string::npos) return {};
  std::string ext = path.substr(dot);
  if (IsValidUtf8(ext)) return StrToUtf8(LowerStr(Utf8ToStr(ext)));
  for (char& ch : ext) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  }
  return ext;
}

std::string ChangeExtSafe(const std::string& path, const std::string& ext) {
  if (!ValidPath(path) || path.back() == '/' || path.back() == '\\') return {};
  size_t dot = ExtDot(path);
  if (dot == std::string::npos) return path + ext;
  return path.substr(0, dot) + ext;
}

bool IsFile(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  // Create each missing level from the top down.
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      if (!IsFolder(part)) ::mkdir(part.c_str(), 0777);
    }
  }
  // Report the outcome rather than the attempt.
  return IsFolder(p);
}

bool DelFile(const std::string& path) {
  if (!ValidPath(path)) return false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool DelFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  return ::rmdir(path.c_str()) == 0;
}

namespace {

// Seconds and nanoseconds since 1970 (UTC) to a local TDateTime counted in
// whole milliseconds: whole days since 1899-12-30 plus the time of day.
TDateTime LocalDateTime(int64_t sec, int64_t nsec) {
  time_t t = static_cast<time_t>(sec);
  struct tm lt;
  if (localtime_r(&t, &lt) == nullptr) return 0.0;
  int64_t localSec = sec + lt.tm_gmtoff;
  int64_t ms = localSec * 1000 + nsec / 1000000;
  int64_t day = ms / 86400000;
  int64_t msOfDay = ms % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    --day;
  }
  return static_cast<double>(day + 25569) + static_cast<double>(msOfDay) / 86400000.0;
}

}  // namespace

TDateTime FileCreateTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
#ifdef STATX_BTIME
  struct statx sx;
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
    if (sx.stx_mask & STATX_BTIME) return LocalDateTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    if (sx.stx_mask & STATX_MTIME) return LocalDateTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    return 0.0;
  }
#endif
  return FileWriteTime(path);
}

TDateTime FileWriteTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0.0;
  return LocalDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

}  // namespace tessa
