#include <zlib.h>

#include <vector>

#include "drawing/JwwGunzip.h"

namespace tessa {

namespace {

constexpr size_t kChunk = 2048;
constexpr int kGzipWindowBits = 31;

}  // namespace

bool Gunzip(std::FILE* src, std::FILE* dst) {
  z_stream zs{};
  if (inflateInit2(&zs, kGzipWindowBits) != Z_OK) return false;
  std::vector<unsigned char> in(kChunk), out(4 * kChunk);
  int rc = Z_OK;
  bool ok = true;
  while (ok && rc != Z_STREAM_END) {
    zs.avail_in = static_cast<uInt>(std::fread(in.data(), 1, in.size(), src));
    if (zs.avail_in == 0) { ok = false; break; }  // data ended early
    zs.next_in = in.data();
    while (zs.avail_in > 0 && rc != Z_STREAM_END) {
      zs.next_out = out.data();
      zs.avail_out = static_cast<uInt>(out.size());
      rc = inflate(&zs, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) { ok = false; break; }
      size_t have = out.size() - zs.avail_out;
      if (have && std::fwrite(out.data(), 1, have, dst) != have) { ok = false; break; }
      if (rc == Z_OK && have == 0 && zs.avail_in > 0) { ok = false; break; }
    }
  }
  inflateEnd(&zs);
  return ok;
}

}  // namespace tessa
