#include "drawing/ByteReader.h"

#include <cstdio>
#include <new>

#include <sys/stat.h>

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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  // Room for the whole file at once: growing the vector chunk by chunk
  // copied a large drawing several times over.  The size only reserves;
  // what is read decides.
  struct stat st;
  if (::fstat(::fileno(f), &st) == 0 && st.st_size > 0)
    out.reserve(static_cast<size_t>(st.st_size));
  uint8_t buf[65536];
  size_t k;
  while ((k = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + k);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace tessa
