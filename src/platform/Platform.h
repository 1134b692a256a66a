// What differs between the systems the converter runs on: files by name,
// their times and identities, folders, the durable replacement of a file,
// the executable's location, memory and process settings, the terminal.
// Everything else asks these functions and never where it runs.
//
// Paths are UTF-8 strings on every system (on Windows they are handed to
// the system as UTF-16, so any Unicode name works).  Nothing here throws
// for a failure of the system: the answer says so.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessa::platform {

// ---- Files and folders --------------------------------------------------------

// The separator the system writes between folder and name, and whether c
// is one it accepts.
char PathSeparator();
bool IsPathSeparator(char c);

// fopen with a UTF-8 name (binary modes: "rb", "wb"); nullptr on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);

enum class TFileKind { missing, file, folder, other };

// One file as the system knows it, whatever name reaches it (links and
// hard links included): device and inode, or volume serial and file index.
struct TFileId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const TFileId&) const = default;
};

// What a path names, links followed.  `error` holds the system's reason
// when the kind is missing; `id` is set for every other kind.
// Why a path names nothing that can be looked at.
enum class TMissing { absent, nameTooLong, denied, other };
struct TFileStatus {
  TFileKind kind = TFileKind::missing;
  TFileId id;
  std::string error;
  TMissing why = TMissing::absent;  // for a missing kind
};
TFileStatus Examine(const std::string& path);

// Both paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

// Removes a file (never a folder; a link itself, not what it points to).
bool RemoveFile(const std::string& path);
// Makes one folder level; true when it was made.
bool MakeOneFolder(const std::string& path);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);
// The names directly inside a folder, without "." and "..", in the
// system's order; empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& path);

// Milliseconds since 1970-01-01 00:00 counted on the local clock (the
// offset from UTC that held at that moment added), as a person reading
// the file's date would see it.
using TLocalMs = int64_t;
enum class TFileTime { created, written };
// `created` is the birth time where the file system records one, else the
// last-write time; nothing when the file or its time cannot be read.
std::optional<TLocalMs> FileTime(const std::string& path, TFileTime which);

// Gives a file one of its times, as finely as the file system keeps them.
// A creation time can be given only where the system lets a program set
// one (Windows); false elsewhere and whenever the file cannot be changed.
bool ChangeFileTime(const std::string& path, TFileTime which,
                    std::chrono::system_clock::time_point t);

// ---- Reading a whole file -----------------------------------------------------

class TInputFile {
 public:
  TInputFile();
  ~TInputFile();
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;

  bool Open(const std::string& path);
  // The size the system reports, 0 when unknown (only a guide: a file may
  // grow or shrink while it is read).
  uint64_t SizeHint() const;
  // Up to n bytes; 0 at the end, -1 on a read error.
  int64_t Read(void* p, size_t n);
  void Close();

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

// ---- Replacing a file in one step ---------------------------------------------

// A new file written beside its target and put in place only when all of
// it is written and on the disk: the target's name holds the old file or
// the complete new one, never a part.  Abort, or destruction without a
// Commit, removes what was written.
class TAtomicFile {
 public:
  TAtomicFile();
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // replace false: an existing file of that name is left as it is and the
  // commit fails (TargetExists() then tells so).
  bool Open(const std::string& dst, bool replace = true);
  bool Write(const char* p, size_t n);
  bool Commit();
  void Abort();
  // What failed, with the system's reason; empty when nothing did.
  const std::string& Error() const;
  // The commit failed because a file already held the target's name.
  bool TargetExists() const;
  // The temporary file's name; empty while an unnamed file is written.
  const std::string& TempPath() const;

  friend void SyncTogether(std::span<TAtomicFile* const> files);

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

// Lets the system write these open, fully written files to their disks
// together, ahead of their Commit: many small files then wait for the disk
// once instead of one after the other.  Only a head start: each Commit
// still syncs and checks its own file.
void SyncTogether(std::span<TAtomicFile* const> files);

// The name pattern of the temporary files for `dst` (the X's stand for
// random letters), for anyone cleaning up after a killed run.
std::string TempPattern(const std::string& dst);

// ---- Folders owned by a live process ------------------------------------------

// A freshly made folder that this process holds while the object lives:
// other processes see it is in use (RemoveStaleFolder leaves it) until the
// object goes or the process ends, however it ends.
class TOwnedFolder {
 public:
  TOwnedFolder();
  ~TOwnedFolder();
  TOwnedFolder(TOwnedFolder&&) noexcept;
  TOwnedFolder& operator=(TOwnedFolder&&) noexcept;

  // Makes <base>/<prefix>XXXXXX (the X's random letters and digits) and
  // takes hold of it; false when no folder could be made.
  bool Make(const std::string& base, const std::string& prefix);
  // The folder's path with a trailing separator; empty when none is held.
  const std::string& Dir() const;
  // Lets go of the folder (it stays on disk).
  void Release();

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

// The length of the random part of an owned folder's name.
constexpr size_t kOwnedFolderRandomChars = 6;

// Removes the folder and the files in it unless a live process owns it;
// true when it was removed.
bool RemoveStaleFolder(const std::string& path);

// ---- The process ----------------------------------------------------------------

// The program's arguments in UTF-8, its name first.  Windows hands main
// them in the code page of the day; they are read again from the system in
// UTF-16, so that a Japanese name arrives whatever that code page is.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The running program's file, links resolved; argv0 serves where the
// system cannot tell.
std::string ExecutablePath(const char* argv0);

// Asks for huge pages under the 2 MiB-aligned part of [p, p + bytes) where
// the system offers them; nothing for blocks under 4 MiB, nothing elsewhere.
void AdviseHugePages(const void* p, size_t bytes);

// Blocks under `threshold` come from the heap rather than from mappings of
// their own, and freed memory stays with the process up to `threshold`
// (with `topPad` more taken at each growth); nothing where the allocator
// has no such settings.
void KeepLargeBlocksOnHeap(size_t threshold, size_t topPad = 0);

// A file-size limit makes a write fail instead of ending the process.
void IgnoreFileSizeLimitSignal();

// Text for the terminal is UTF-8 and may hold its escape sequences (the
// progress line); the Windows console is told so.  Nothing elsewhere.
void UseUtf8Terminal();

// Standard error writes to a terminal (a console on Windows).
bool ErrorIsTerminal();

// The system's reason when an existing folder takes no new files at all (a
// read-only file system, no permission); empty when it may take them.
std::string FolderRefusesFiles(const std::string& folder);

// The width of the terminal that standard error writes to, in columns, or
// `fallback` when it is no terminal.
int TerminalColumns(int fallback);

}  // namespace tessa::platform
