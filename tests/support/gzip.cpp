#include "gzip.h"

#include <zlib.h>

namespace tessa::testing_support {

std::string Gzip(const std::string& data) {
  z_stream zs{};
  // Window bits 15 + 16: a gzip header and trailer instead of zlib's.
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return {};
  std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return rc == Z_STREAM_END ? out : std::string();
}

}  // namespace tessa::testing_support
