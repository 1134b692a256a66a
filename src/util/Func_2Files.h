// Helpers: files and folders (part of Func_2.h).  Paths are UTF-8 on every
// system.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// Days since 1899-12-30 00:00 on the local clock (Delphi's TDateTime);
// 0 means "no time".
using TDateTime = double;

// ---- Files and folders (never throw) --------------------------------------
// IsFile answers true for regular files only (links followed), so that a
// pipe or device is never opened as a drawing.  MakeFolder and DelFolder
// report whether they succeeded.  Times are local, in whole milliseconds;
// FileCreateTime is the birth time where the file system records one,
// else the last-write time.
char PathDelim();
std::string FileExtLower(const std::string& path);
std::string ChangeExtSafe(const std::string& path, const std::string& ext);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
bool MakeFolder(const std::string& path);
bool DelFile(const std::string& path);
bool DelFolder(const std::string& path);
TDateTime FileCreateTime(const std::string& path);
TDateTime FileWriteTime(const std::string& path);
// Milliseconds since 1970 on the local clock as a TDateTime.
TDateTime LocalMsToDateTime(int64_t localMs);

}  // namespace tessa
