// What the preview's writer and its box ask of the model's items.
#pragma once

#include <cstdint>
#include <vector>

#include "dxf/SaveItems.h"

namespace tessa::svg {

// Whether the DXF file of the model's version holds an item of space spc:
// R12 has no second layout, and there is no space past it.
inline bool Written(const TDXFmodel& m, int32_t spc) {
  const bool r12 = m.Ver != 1 && m.Ver != 2;
  return spc >= 0 && spc <= 2 && !(spc == 2 && r12);
}

}  // namespace tessa::svg
