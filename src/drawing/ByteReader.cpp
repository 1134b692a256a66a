#include "drawing/ByteReader.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/Platform.h"
#include "util/LargeMemory.h"

namespace tessa {

void TByteReader::ThrowEnd(size_t need) const {
  throw TReadError("truncated",
                   "the file ends at byte " + std::to_string(n_) + " where " +
                       std::to_string(need) + " more bytes were to be read at byte " +
                       std::to_string(pos_),
                   static_cast<int64_t>(pos_));
}

TReadReason ReasonOf(const std::exception& e, const char* section) {
  TReadReason r;
  if (const auto* re = dynamic_cast<const TReadError*>(&e)) {
    r = re->Reason();
  } else if (dynamic_cast<const std::bad_alloc*>(&e)) {
    r = {"out-of-memory", "memory ran out", -1};
  } else {
    r = {"bad-record", e.what(), -1};
  }
  if (section && *section) {
    if (r.code == "truncated")
      r.message += " (inside " + std::string(section) + ")";
    else
      r.message += " (in " + std::string(section) + ")";
  }
  return r;
}

namespace {

// A block of n bytes whose contents are left as they come.
std::unique_ptr<uint8_t[]> UninitialisedBytes(size_t n) {
  std::unique_ptr<uint8_t[]> p(new uint8_t[n == 0 ? 1 : n]);
  AdviseHugePages(p.get(), n);
  return p;
}

}  // namespace

bool TFileBytes::Read(const std::string& path) {
  data_.reset();
  size_ = 0;
  platform::TInputFile file;
  if (!file.Open(path)) return false;
  size_t cap = static_cast<size_t>(file.SizeHint());
  // The size only guides: a file that grows meanwhile is read to its end.
  // One byte more than the size tells that end without a second block.
  cap += 1;
  data_ = UninitialisedBytes(cap);
  bool ok = true;
  for (;;) {
    if (size_ == cap) {
      const size_t more = cap + cap / 2;
      std::unique_ptr<uint8_t[]> bigger = UninitialisedBytes(more);
      std::memcpy(bigger.get(), data_.get(), size_);
      data_ = std::move(bigger);
      cap = more;
    }
    const int64_t k = file.Read(data_.get() + size_, cap - size_);
    if (k > 0) {
      size_ += static_cast<size_t>(k);
    } else {
      ok = k == 0;
      break;
    }
  }
  if (!ok) {
    data_.reset();
    size_ = 0;
  }
  return ok;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  TFileBytes bytes;
  if (!bytes.Read(path)) return false;
  out.assign(bytes.Data(), bytes.Data() + bytes.Size());
  return true;
}

}  // namespace tessa
