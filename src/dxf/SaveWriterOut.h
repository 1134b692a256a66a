// Byte sinks for the DXF writer.  The file sink never leaves a partial
// file at the output path: it writes a new file beside the target and puts
// it in place only when everything was written.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/Platform.h"

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
// everything was written and is on the disk (the system's way of replacing
// a file in one step).  Abort (or the destructor without a Commit) removes
// what was written.
class TDXFAtomicFile : public TDXFSink {
 public:
  // replace false: an existing file of that name is left as it is and the
  // commit fails (TargetExists() then tells so).
  bool Open(const std::string& dst, bool replace = true) { return file_.Open(dst, replace); }
  bool Put(const char* p, size_t n) override { return file_.Write(p, n); }
  bool Commit() { return file_.Commit(); }
  bool Finish() override { return Commit(); }
  void Abort() override { file_.Abort(); }
  // What failed, with the system's reason (for example "writing
  // /out/a.dxf failed: No space left on device").
  std::string Error() const override { return file_.Error(); }

  // The commit failed because a file already held the target's name.
  bool TargetExists() const { return file_.TargetExists(); }

  // The temporary file's name; empty while an unnamed file is written.
  const std::string& TempPath() const { return file_.TempPath(); }

  friend void SyncTogether(std::span<TDXFAtomicFile* const> files);

 private:
  platform::TAtomicFile file_;
};

// Lets the disks take these open, fully written files together, ahead of
// their Commit: many small files then wait for the disk once instead of
// one after the other (each Commit still syncs and checks its own file).
void SyncTogether(std::span<TDXFAtomicFile* const> files);

// The temporary-file pattern used for `dst` (exposed for tests and for
// anyone cleaning up after a killed run).
inline std::string DXFTempPattern(const std::string& dst) { return platform::TempPattern(dst); }

}  // namespace tessa
