// Values one conversion carries from step to step: its options and where
// the drawing lies on its paper.  Plain values; the conversion context
// (drawing/JwConvContext.h) holds one of each per run.  Only constants live
// at namespace scope.
#pragma once

#include <cstdint>

namespace tessa {

// The first comment of every DXF file.
extern const char16_t kAppTitleText[];

// The options of one conversion, as the settings file gives them (clamped).
struct TConvOptions {
  int32_t DxfVer = 0;         // 0 R12, 1 R2000, 2 R2007
  int32_t LayerNameType = 0;  // how DXF layers are named
  int32_t Space = 0;          // 0 model space, 1 paper space with viewports
  int32_t ScaleGroup = 0;     // layer group that gives the drawing scale
  int32_t TenType = 0;        // how points are written
  double TenSize = 0.001;     // size of written points
  int32_t ColorSource = 1;    // pens of a JWW drawing: 1 screen, 2 printer
};

// Drawing extents in the drawing's own coordinates; a drawing without any
// point keeps the start box.
struct TJwExtents {
  double ExtMinX = 0.0, ExtMinY = 0.0, ExtMaxX = 400.0, ExtMaxY = 400.0;
};

// The extents and the paper (millimetres) they are placed on.
struct TJwPlacement : TJwExtents {
  double PaperX = 400.0, PaperY = 400.0;
  // False for a symbol, whose paper is only the size of its extents.
  bool Sheet = true;
};

}  // namespace tessa
