// One input through a DOS-format reader (JWC drawings and JWK symbols share
// it): written to a file, as the converter reads it, then the file check,
// the read, the layer step and the extents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "attributes/UnitGraAtt.h"
#include "drawing/JwcUnit.h"

namespace tessa::fuzz {

template <class TData>
int FuzzJwcKind(const std::string& path, const uint8_t* data, size_t size) {
  WriteInput(path, data, size);

  TData d;
  d.FileCheck(path);
  if (d.FileIn(path)) {
    CheckWalkable(d);
    TgraAttribute att;
    d.SetGAttLayer(att);
    (void)d.GetMinMaxZahyo();
  }
  CheckWalkable(d);
  return 0;
}

}  // namespace tessa::fuzz
