#include "drawing/JwDxfCommon.h"

#include <algorithm>

#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"
#include "util/UnitVal.h"

namespace tessa {

int32_t ConvScaleGroup() { return std::clamp(OptScaleGroup, 0, 15); }

void StartDxfModel(int Ver, int32_t sp, double minX, double minY, double maxX, double maxY,
                   double scale) {
  DXFModelCreate();
  DxfModel->SetDXFVer(Ver, sp);
  DxfModel->SetAppName(AppTitle);
  DxfModel->SetPap(minX, minY, maxX, maxY, PaperX, PaperY);
  DxfModel->SetScale(scale);
  DxfModel->SetLayerNameType(OptLayerNameType);
  DxfModel->SetTenTransType(OptTenType, OptTenSize);
  AddDefaultLtypes();
}

bool WriteBuiltDxf(const std::string& FName, const std::function<bool()>& build) {
  struct Guard {
    ~Guard() { DXFModelFree(); }
  } guard;
  if (!build()) return false;
  return SaveDXF(*DxfModel, CurFileName, FName);
}

double MojiWidthFactor(double width, double height) { return height == 0 ? 1.0 : width / height; }

void AddMojiStylePair(const std::u16string& name, double width, double height) {
  DxfModel->AddStyle(name, u"simplex.shx", u"extfont2.shx", 0, width, 0, height, false);
  DxfModel->AddStyle(name + u"T", u"simplex.shx", u"@extfont2.shx", 0, width, 0, height, true);
}

}  // namespace tessa
