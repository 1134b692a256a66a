#include "drawing/JwDrawing.h"

#include <cmath>

#include "drawing/JwPaperSize.h"

namespace tessa {

TJwPlacement PlacementOnPaperCode(const TJwExtents& ext, int32_t code) {
  TJwPaper p;
  if (!JwPaperOfCode(code, p)) JwPaperOfCode(0, p);
  TJwPlacement r;
  static_cast<TJwExtents&>(r) = ext;
  r.PaperX = p.x;
  r.PaperY = p.y;
  return r;
}

TJwPlacement PlacementOnExtents(const TJwExtents& ext) {
  TJwPlacement r;
  static_cast<TJwExtents&>(r) = ext;
  r.PaperX = std::abs(ext.ExtMaxX - ext.ExtMinX);
  r.PaperY = std::abs(ext.ExtMaxY - ext.ExtMinY);
  return r;
}

}  // namespace tessa
