#include "drawing/JwDxfCommon.h"

#include <algorithm>

#include "drawing/JwConvContext.h"
#include "drawing/JwDrawing.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"

namespace tessa {

int32_t ConvScaleGroup(const TConvOptions& opt) { return std::clamp(opt.ScaleGroup, 0, 15); }

void StartDxfModel(TConvContext& ctx, int Ver, int32_t sp, double minX, double minY,
                   double maxX, double maxY, double scale) {
  DXFModelCreate(ctx.DxfModel);
  TDXFmodel& m = *ctx.DxfModel;
  m.SetDXFVer(Ver, sp);
  m.SetAppName(ctx.AppTitle);
  m.SetPap(minX, minY, maxX, maxY, ctx.Place.PaperX, ctx.Place.PaperY);
  m.sheet = ctx.Place.Sheet;
  m.SetScale(scale);
  m.SetLayerNameType(ctx.Opt.LayerNameType);
  m.SetTenTransType(ctx.Opt.TenType, ctx.Opt.TenSize);
  AddDefaultLtypes(m);
}

bool WriteBuiltDxf(TConvContext& ctx, const std::string& FName,
                   const std::function<bool()>& build) {
  struct Guard {
    TConvContext& ctx;
    ~Guard() { DXFModelFree(ctx.DxfModel); }
  } guard{ctx};
  if (!build()) return false;
  return SaveDXF(*ctx.DxfModel, ctx.CurFileName, FName);
}

bool TJwDrawing::FileOutDXF(TConvContext& ctx, const std::string& FName) const {
  return WriteBuiltDxf(ctx, FName, [&] { return BuildDxfModel(ctx); });
}

double MojiWidthFactor(double width, double height) { return height == 0 ? 1.0 : width / height; }

void AddMojiStylePair(TDXFmodel& m, const std::u16string& name, double width, double height) {
  m.AddStyle(name, u"simplex.shx", u"extfont2.shx", 0, width, 0, height, false);
  m.AddStyle(name + u"T", u"simplex.shx", u"@extfont2.shx", 0, width, 0, height, true);
}

}  // namespace tessa
