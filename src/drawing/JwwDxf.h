// Conversion of a JWW drawing or a JWS symbol into the DXF model.
//
// Both containers hold the same entity records (TJwwBaseData); a symbol
// lacks the layer, line-type and text-style tables of a drawing, and the
// conversion puts fixed values in their place.  TJwDxfConv runs the steps
// of FileOutDXF for either container, so that the two classes share one
// implementation.
//
// Coordinates: a drawing point (x, y) lies in millimetres from the centre
// of the paper.  In the drawing's own list it becomes the paper point
// (PaperX / 2 + x, PaperY / 2 + y) of the context's placement and then the model point
// (paper * sc + dx) of its layer group's transform (deLgp).  Inside block
// definitions a point is only scaled (x * sc): the insert carries the
// placement.
#pragma once

#include <cstdint>
#include <string>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

class TJwwData;
struct TConvContext;

class TJwDxfConv {
 public:
  // `jww` is the same container as `d` for a drawing and null for a symbol.
  // Everything else a conversion reads or builds is in ctx.
  TJwDxfConv(TConvContext& ctx, const TJwwBaseData& d, const TJwwData* jww)
      : ctx_(ctx), d_(d), jww_(jww) {}

  // True when the container holds a drawing that can be converted: the
  // tables the conversion reads all have their entries.
  bool Loaded() const;

  // Steps 1 to 14 of FileOutDXF: a fresh ctx.DxfModel filled from the drawing.
  // False (and no model) when the drawing is not loaded.
  bool BuildModel(int Ver);
  // BuildModel, SaveDXF and DXFModelFree; the result of SaveDXF.
  bool FileOutDXF(const std::string& FName, int Ver);

  // The individual steps; each works on ctx.DxfModel.
  void DXFLtypeSet();
  void DXFLayerSet();
  void DXFStyleSet();
  bool TenExists() const;
  void DXFEntitySet();

 private:
  TConvContext& ctx_;
  const TJwwBaseData& d_;
  const TJwwData* jww_;
};

}  // namespace tessa
