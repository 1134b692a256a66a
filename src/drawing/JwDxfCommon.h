// Steps the JWW/JWS and the JWC/JWK conversions share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "util/UnitVal.h"

namespace tessa {

struct TConvContext;
class TDXFmodel;

// The layer group the options name as giving the drawing scale, kept
// inside the 16 groups.
int32_t ConvScaleGroup(const TConvOptions& opt);

// The first steps of every conversion: a fresh ctx.DxfModel with DXF version
// and space, the title, the header box (already in the entities' position)
// and paper, the drawing scale, the layer-naming and point options, and the
// standard line types.
void StartDxfModel(TConvContext& ctx, int Ver, int32_t sp, double minX, double minY,
                   double maxX, double maxY, double scale);

// Builds ctx's model with build (false: nothing to convert), writes it to
// FName and frees it, also when something throws.  The result of SaveDXF.
bool WriteBuiltDxf(TConvContext& ctx, const std::string& FName,
                   const std::function<bool()>& build);

// Width factor of a text type: width / height, or plain width (1) for a
// type without height, which has no ratio.
double MojiWidthFactor(double width, double height);

// The text style of a text type (name) and its vertical twin (name + "T",
// the Japanese font turned), both with the same size.
void AddMojiStylePair(TDXFmodel& m, const std::u16string& name, double width, double height);

}  // namespace tessa
