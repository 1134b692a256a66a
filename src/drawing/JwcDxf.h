// The model-building half of the JWC/JWK conversion, apart from writing,
// so that the model a drawing gives can be checked on its own.
#pragma once

namespace tessa {

class TJwcData;
class TJwkData;
struct TConvContext;

// Create ctx.DxfModel and fill it from the drawing (everything FileOutDXF
// does before SaveDXF).  False, with no model created, when the container
// holds no loaded drawing.
bool JwcDXFModelBuild(TConvContext& ctx, const TJwcData& jw, int Ver);
bool JwkDXFModelBuild(TConvContext& ctx, const TJwkData& jw, int Ver);

}  // namespace tessa
