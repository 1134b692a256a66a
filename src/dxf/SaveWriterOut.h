// Byte sinks for the DXF writer.  The file sink never leaves a partial
// file at the output path: it writes a temporary file beside the target
// and renames it over the target only when everything was written.
#pragma once

#include <cstddef>
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

// Writes a temporary file ".<name>.XXXXXX.tmp" in the target's folder.
// Commit syncs its data and renames it over the target; Abort (or the
// destructor without a Commit) removes it.  A process killed in between
// leaves only the temporary file, recognisable by that name.
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

  const std::string& TempPath() const { return tmp_; }

 private:
  int fd_ = -1;
  std::string dst_;
  std::string tmp_;
};

// The temporary-file pattern used for `dst` (exposed for tests and for
// anyone cleaning up after a killed run).
std::string DXFTempPattern(const std::string& dst);

}  // namespace tessa
