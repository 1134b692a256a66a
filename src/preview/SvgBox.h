// The box of what one space of a DXF model draws, for the preview's
// picture: arcs by their reach, texts by their box, inserts by the
// contents they place.
#pragma once

#include <cstdint>

#include "dxf/SaveUnit.h"

namespace tessa {

struct TSvgBox {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool empty = true;
  // Points that are not finite leave the box as it is.
  void Add(double x, double y);
  void Add(const TSvgBox& b);
  double Width() const { return x2 - x1; }
  double Height() const { return y2 - y1; }
};

// Space 0 (model) or 1 (paper) of m, in that space's coordinates; the
// viewports of paper space that show something by their boxes.  Empty when
// it draws nothing.
TSvgBox SpaceBox(const TDXFmodel& m, int32_t spc);

}  // namespace tessa
