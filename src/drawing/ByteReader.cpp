#include "drawing/ByteReader.h"

#include <cstdio>

namespace tessa {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t buf[65536];
  size_t k;
  while ((k = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + k);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace tessa
