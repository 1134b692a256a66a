// The small drawing shipped as examples/sample.jww.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/JwwUnit.h"

namespace tessa::test {

// A plan at 1:100 on A3: a room outline, a door swing arc, a column
// circle, a point, a Japanese title, a dimension and a window block placed
// twice.
TJwwData MakeSampleDrawing();
std::vector<uint8_t> SampleDrawingBytes();

}  // namespace tessa::test
