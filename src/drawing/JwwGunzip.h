// Unpacking of the gzip images bound into JWW drawings.  A build without
// zlib (the browser's: the library never writes bound images, so it never
// unpacks one) links the variant that refuses every stream.
#pragma once

#include <cstdio>

namespace tessa {

// Decompresses gzip data from `src` into `dst`; false on any failure.
bool Gunzip(std::FILE* src, std::FILE* dst);

}  // namespace tessa
