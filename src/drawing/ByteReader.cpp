#include "drawing/ByteReader.h"

#include <cstdio>

#include <sys/stat.h>

namespace tessa {

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
