#include "drawing/JwConvContext.h"

#include "util/Func_2.h"

namespace tessa {

TConvContext::TConvContext() { ResetAttributes(); }

void TConvContext::ResetAttributes() {
  GraAtt.DataInit();  // layers, widths, point radii and line types too
  GraAtt.SetDisplayMode(true);
  GraAtt.SetBackColor(BackColorNo);
  GraAtt.SetDefaultColor();  // the pens of that background
  GraAtt.SetDispHojo(1);
  GraAtt.SetDispKijun(1);
  GraAtt.SetGrayColor(RGBToColor(128, 128, 128));
  GraAtt.SetAll1Color(false);
}

void TConvContext::BeginDrawing() {
  CurFileName.clear();
  Place = TJwPlacement{};
  BackColorNo = 0;
  ResetAttributes();
  DxfModel.reset();
}

}  // namespace tessa
