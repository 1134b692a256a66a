// Everything one conversion needs and nothing else: its options, the
// attribute tables, where the drawing lies, the name of the drawing and the
// DXF model being built.  A conversion is this value plus a drawing
// container; two contexts never share anything, so different drawings can
// be converted on different threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "attributes/UnitGraAtt.h"
#include "dxf/SaveUnit.h"
#include "util/UnitVal.h"

namespace tessa {

struct TConvContext {
  // Attribute tables prepared as at the start of a run.
  TConvContext();
  TConvContext(const TConvContext&) = delete;
  TConvContext& operator=(const TConvContext&) = delete;

  std::u16string AppTitle = kAppTitleText;  // first comment of the DXF file
  TConvOptions Opt;
  std::string CurFileName;  // path of the loaded drawing (source of the header dates)
  TJwPlacement Place;       // extents and paper of the loaded drawing
  int32_t BackColorNo = 0;  // 0 light, 1 dark background (from a JWW drawing's pens)
  TgraAttribute GraAtt;
  std::unique_ptr<TDXFmodel> DxfModel;  // the model of the conversion running

  // The attribute tables as at the start of a run, with the background
  // BackColorNo.
  void ResetAttributes();
  // Forgets the last drawing: name, placement, background, attribute tables
  // and any model.  The options stay.
  void BeginDrawing();
};

}  // namespace tessa
