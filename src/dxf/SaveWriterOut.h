// Byte sinks for the DXF writer.  The file sink never leaves a partial
// file at the output path: it writes a temporary file beside the target
// and renames it over the target only when everything was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessa {

class TDXFSink {
 public:
  virtual ~TDXFSink() = default;
  // False when the bytes could not all be stored.
  virtual bool Put(const char* p, size_t n) = 0;
  // Everything was put: make the output final.  False when that failed.
  virtual bool Finish() { return true; }
  // The writing failed: drop what was put.
  virtual void Abort() {}
  // What failed last, for a person to read; empty when nothing did.
  virtual std::string Error() const { return {}; }
};

// Collects everything in memory: a drawing converted to DXF bytes without
// a file, and the parts of a section laid out apart.
class TDXFStringSink : public TDXFSink {
 public:
  bool Put(const char* p, size_t n) override {
    text.append(p, n);
    return true;
  }
  void Abort() override { text.clear(); }
  std::string text;
};

// Writes the DXF file beside its target and puts it in place only when
// everything was written.  Where the file system allows it, the data go
// into an unnamed file in the target's folder (O_TMPFILE), which Commit
// links in under the target's name: a process killed at any moment then
// leaves nothing behind.  Elsewhere a temporary file ".<name>.XXXXXX.tmp" is
// written, synced and renamed over the target; a process killed in between
// leaves that file, recognisable by its name.  Abort (or the destructor
// without a Commit) removes what was written.
class TDXFAtomicFile : public TDXFSink {
 public:
  TDXFAtomicFile() = default;
  ~TDXFAtomicFile() override;
  TDXFAtomicFile(const TDXFAtomicFile&) = delete;
  TDXFAtomicFile& operator=(const TDXFAtomicFile&) = delete;

  // replace false: an existing file of that name is left as it is and the
  // commit fails (TargetExists() then tells so).
  bool Open(const std::string& dst, bool replace = true);
  bool Put(const char* p, size_t n) override;
  bool Commit();
  bool Finish() override { return Commit(); }
  void Abort() override;
  // What failed, with the system's reason (for example "writing
  // /out/a.dxf failed: No space left on device").
  std::string Error() const override { return error_; }

  // The commit failed because a file already held the target's name.
  bool TargetExists() const { return exists_; }

  // The temporary file's name; empty while an unnamed file is written.
  const std::string& TempPath() const { return tmp_; }

  friend void SyncTogether(std::span<TDXFAtomicFile* const> files);

 private:
  bool OpenUnnamed(const std::string& folder);
  bool OpenNamed(const std::string& dst);
  // Gives the unnamed file the target's name (or, when a file already
  // holds it, a temporary name in tmp_ for the rename).
  bool LinkUnnamed();
  void StartWriteback();
  // Records what failed with the text of the current errno; false.
  bool Fail(const std::string& what);

  int fd_ = -1;
  uint64_t written_ = 0;  // bytes put into the file
  uint64_t flushed_ = 0;  // bytes handed to the disk ahead of the sync
  std::string dst_;
  std::string tmp_;
  std::string error_;
  bool replace_ = true;
  bool exists_ = false;
};

// Syncs the file systems of these open, fully written files, once each,
// ahead of their Commit: many small files then wait for the disk together
// instead of one after the other, and each Commit's own sync finds nothing
// left to write (it still runs, and still reports a failed write).
void SyncTogether(std::span<TDXFAtomicFile* const> files);

// The temporary-file pattern used for `dst` (exposed for tests and for
// anyone cleaning up after a killed run).
std::string DXFTempPattern(const std::string& dst);

}  // namespace tessa
