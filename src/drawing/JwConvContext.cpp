#include "drawing/JwConvContext.h"

#include "util/Func_2.h"

namespace tessa {

namespace {

// The tables as at the start of a run on the background given.
TgraAttribute StartAttributes(int32_t backColorNo) {
  TgraAttribute att;  // layers, widths, point radii and line types too
  att.SetDisplayMode(true);
  att.SetBackColor(backColorNo);
  att.SetDefaultColor();  // the pens of that background
  att.SetDispHojo(1);
  att.SetDispKijun(1);
  att.SetGrayColor(RGBToColor(128, 128, 128));
  att.SetAll1Color(false);
  return att;
}

// Every conversion starts from the same tables (a few hundred named layers
// and pens): they are made once per process and copied, which costs far
// less than making them again for each drawing.  A background other than
// 1 is the light one, as SetBackColor ignores other values.
const TgraAttribute& StartAttributesOf(int32_t backColorNo) {
  static const TgraAttribute light = StartAttributes(0);
  static const TgraAttribute dark = StartAttributes(1);
  return backColorNo == 1 ? dark : light;
}

}  // namespace

TConvContext::TConvContext() : GraAtt(StartAttributesOf(BackColorNo)) {}

void TConvContext::ResetAttributes() { GraAtt = StartAttributesOf(BackColorNo); }

void TConvContext::BeginDrawing() {
  CurFileName.clear();
  Place = TJwPlacement{};
  BackColorNo = 0;
  ResetAttributes();
  DxfModel.reset();
}

}  // namespace tessa
