// Byte sinks for the DXF writer.  The file sink never leaves a partial
// file at the output path: it writes a temporary file beside the target
// and renames it over the target only when everything was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessa {

class TDXFSink {
 public:
  virtual ~TDXFSink() = default;
  // False when the bytes could not all be stored.
  virtual bool Put(const char* p, size_t n) = 0;
};

// Collects everything in memory (tests, small outputs).
class TDXFStringSink : public TDXFSink {
 public:
  bool Put(const char* p, size_t n) override {
    text.append(p, n);
    return true;
  }
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

  bool Open(const std::string& dst);
  bool Put(const char* p, size_t n) override;
  bool Commit();
  void Abort();

  // The temporary file's name; empty while an unnamed file is written.
  const std::string& TempPath() const { return tmp_; }

 private:
  bool OpenUnnamed(const std::string& folder);
  bool OpenNamed(const std::string& dst);
  // Gives the unnamed file the target's name (or, when a file already
  // holds it, a temporary name in tmp_ for the rename).
  bool LinkUnnamed();
  void StartWriteback();

  int fd_ = -1;
  uint64_t written_ = 0;  // bytes put into the file
  uint64_t flushed_ = 0;  // bytes handed to the disk ahead of the sync
  std::string dst_;
  std::string tmp_;
};

// The temporary-file pattern used for `dst` (exposed for tests and for
// anyone cleaning up after a killed run).
std::string DXFTempPattern(const std::string& dst);

}  // namespace tessa
