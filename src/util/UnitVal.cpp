#include "util/UnitVal.h"

namespace tessa {

const char16_t kAppTitleText[] =
    u"[Tessaconv]\uFF2A\uFF37\u30D5\u30A1\u30A4\u30EB\u3092\uFF24\uFF38\uFF26"
    u"\u30D5\u30A1\u30A4\u30EB\u306B\u5909\u63DB by Morvex Co.";

TConvOptions ConvOptionsOf(const TSettingsOptions& s) {
  TConvOptions o;
  o.DxfVer = s.cb2;
  o.LayerNameType = s.cb4;
  o.Space = s.cb5 < 0 || s.cb5 > 1 ? 0 : s.cb5;
  o.ScaleGroup = s.cb6 < 0 || s.cb6 > 15 ? 15 : s.cb6;
  o.TenType = s.cb7 < 0 || s.cb7 > 6 ? 0 : s.cb7;
  double size = s.pointSize;
  if (!(size >= 0.001)) size = 0.001;
  if (size > 1000.0) size = 1000.0;
  o.TenSize = size;
  // Wraps like the parent's unchecked integer arithmetic.
  o.ColorSource = static_cast<int32_t>(static_cast<uint32_t>(s.cb3) + 1u);
  return o;
}

}  // namespace tessa
