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

// The conversion options as the parent's settings file numbers them (its
// lines 15 to 21), before they are brought into range.
struct TSettingsOptions {
  int32_t cb2 = 0;  // DXF version: 0 R12, 1 R2000, 2 R2007
  int32_t cb3 = 0;  // pen colours of JWW drawings: 0 screen, 1 printer
  int32_t cb4 = 0;  // layer naming rule
  int32_t cb5 = 0;  // 0 model space, 1 paper space with viewports
  int32_t cb6 = 0;  // layer group that gives the drawing scale
  int32_t cb7 = 0;  // how points are written
  double pointSize = 0.001;
};

// The options of a conversion, brought into range as the parent's start-up
// does, for every caller: a space or a point form outside its values
// becomes 0, a scale group outside 0..15 becomes 15, the point size is held
// to 0.001..1000 (what is not a number becomes 0.001).  The DXF version,
// the pens and the layer naming pass as given.
TConvOptions ConvOptionsOf(const TSettingsOptions& s);

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
