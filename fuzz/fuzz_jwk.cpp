// JWK reader (through a file): header text blocks, records, string block;
// layer step and extents.
#include "FuzzJwcKind.h"
#include "drawing/JwkUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = tessa::fuzz::ScratchDir() + "input.jwk";
  return tessa::fuzz::FuzzJwcKind<tessa::TJwkData>(path, data, size);
}
