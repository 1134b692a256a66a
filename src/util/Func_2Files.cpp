// Thin file and folder operations that answer instead of failing.
#include "util/Func_2Files.h"

#include "platform/Platform.h"
#include "util/Func_2Cp932.h"
#include "util/Func_2Text.h"

namespace tessa {

// ---- Files and folders -------------------------------------------------------

char PathDelim() { return platform::PathSeparator(); }

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
  return ValidPath(path) && platform::Examine(path).kind == platform::TFileKind::file;
}

bool IsFolder(const std::string& path) {
  return ValidPath(path) && platform::Examine(path).kind == platform::TFileKind::folder;
}

bool MakeFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  // Create each missing level from the top down.
  std::string p = path;
  while (p.size() > 1 && platform::IsPathSeparator(p.back())) p.pop_back();
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i == p.size() || platform::IsPathSeparator(p[i])) {
      std::string part = p.substr(0, i);
      if (!IsFolder(part)) platform::MakeOneFolder(part);
    }
  }
  // Report the outcome rather than the attempt.
  return IsFolder(p);
}

bool DelFile(const std::string& path) { return ValidPath(path) && platform::RemoveFile(path); }

bool DelFolder(const std::string& path) { return ValidPath(path) && platform::RemoveFolder(path); }

// Whole days since 1899-12-30 plus the time of day.
TDateTime LocalMsToDateTime(int64_t localMs) {
  int64_t day = localMs / 86400000;
  int64_t msOfDay = localMs % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    --day;
  }
  return static_cast<double>(day + 25569) + static_cast<double>(msOfDay) / 86400000.0;
}

namespace {

TDateTime LocalDateTime(std::optional<platform::TLocalMs> local) {
  return local ? LocalMsToDateTime(*local) : 0.0;
}

}  // namespace

TDateTime FileCreateTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
  return LocalDateTime(platform::FileTime(path, platform::TFileTime::created));
}

TDateTime FileWriteTime(const std::string& path) {
  if (!ValidPath(path)) return 0.0;
  return LocalDateTime(platform::FileTime(path, platform::TFileTime::written));
}

}  // namespace tessa
