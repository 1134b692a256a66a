// JWC reader (through a file, as the converter reads it): header text
// blocks, fixed sections, records, string block, names; layer step and
// extents.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "drawing/JwcUnit.h"

using namespace tessa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchDir() + "input.jwc";
  fuzz::WriteInput(path, data, size);
  fuzz::EnsureGraAtt();
  fuzz::ResetExtents();
  static const bool once = (JwcUnitInit(), true);
  (void)once;

  TJwcData d;
  d.FileCheck(path);
  if (d.FileIn(path)) {
    fuzz::CheckWalkable(d);
    d.SetGAttLayer();
    d.GetMinMaxZahyo();
  }
  fuzz::CheckWalkable(d);
  return 0;
}
