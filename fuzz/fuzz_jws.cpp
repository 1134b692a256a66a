// JWS reader: short header, entity lists, block definitions, block tree,
// layer step and extents.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "attributes/UnitGraAtt.h"
#include "drawing/JwsUnit.h"

using namespace tessa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TJwsData d;
  if (d.FileInMem(data, size)) {
    fuzz::CheckWalkable(d);
    TgraAttribute att;
    d.SetGAttLayer(att);
    (void)d.GetMinMaxZahyo();
  }
  fuzz::CheckWalkable(d);
  // Symbols never carry images.
  FUZZ_CHECK(d.BindImageN == 0);
  return 0;
}
