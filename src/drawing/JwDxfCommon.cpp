#include "drawing/JwDxfCommon.h"

#include <algorithm>

#include "dxf/SaveUnit.h"
#include "util/UnitVal.h"

namespace tessa {

int32_t ConvScaleGroup() { return std::clamp(OptScaleGroup, 0, 15); }

double MojiWidthFactor(double width, double height) { return height == 0 ? 1.0 : width / height; }

void AddMojiStylePair(const std::u16string& name, double width, double height) {
  DxfModel->AddStyle(name, u"simplex.shx", u"extfont2.shx", 0, width, 0, height, false);
  DxfModel->AddStyle(name + u"T", u"simplex.shx", u"@extfont2.shx", 0, width, 0, height, true);
}

}  // namespace tessa
