// JWC reader (through a file, as the converter reads it): header text
// blocks, fixed sections, records, string block, names; layer step and
// extents.
#include "FuzzJwcKind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = tessa::fuzz::ScratchDir() + "input.jwc";
  return tessa::fuzz::FuzzJwcKind<tessa::TJwcData>(path, data, size);
}
