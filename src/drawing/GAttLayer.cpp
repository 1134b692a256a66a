// SetGAttLayer of the drawing containers: the layer table of the attributes from
// the drawing's layer groups and layers.  Nothing in the conversion reads
// that table, but it is kept consistent with the drawing that was loaded.
#include "attributes/UnitGraAtt.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"

namespace tessa {

namespace {

constexpr int kGroups = 16;
constexpr int kLayers = 256;

// Layer state of a JWC drawing: 3 hidden, 2 shown, 1 shown and searchable.
int32_t JwcLayerState(const TEntJwcLayerGroup& g, const TEntJwcLayer& l) {
  if ((g.dispF & 1) == 0 || (l.dispF & 1) == 0) return 3;
  if ((g.srchF & 1) != 0 && (l.srchF & 1) != 0) return 1;
  return 2;
}

// Layer state of a JWW drawing: 3 hidden, 2 shown only, 1 editable.
int32_t JwwLayerState(const TEntJwwLayerGroup& g, const TEntJwwLayer& l) {
  if (g.anGLay == 0 || l.aanLay == 0) return 3;
  if (g.anGLay == 1 || l.aanLay == 1) return 2;
  return 1;
}

}  // namespace

bool TJwwData::SetGAttLayer(TgraAttribute& attrs) const {
  attrs.SetDefaultLayer();
  // A container that lacks its tables keeps the default layers.
  if (EntLgrp.size() < kGroups || EntLay.size() < kLayers) return true;
  for (int i = 0; i < kLayers; ++i) {
    const TEntJwwLayerGroup& g = EntLgrp[i / 16];
    const TEntJwwLayer& l = EntLay[i];
    attrs.SetAttrLayer(i, JwwLayerState(g, l), 1.0 / g.adScale,
                         g.aStrGLayName, l.aStrLayName);
  }
  return true;
}

bool TJwsData::SetGAttLayer(TgraAttribute& attrs) const {
  attrs.SetDefaultLayer();
  if (EntLgrp.size() < kGroups) return true;
  for (int i = 0; i < kLayers; ++i)
    attrs.SetAttrLayer(i, 1, 1.0 / EntLgrp[i / 16].adScale);
  return true;
}

void TJwcData::SetGAttLayer(TgraAttribute& attrs) const {
  attrs.SetDefaultLayer();
  // A container that lacks its tables keeps the default layers.
  if (EntLgrp.size() < kGroups || EntLay.size() < kLayers) return;
  for (int i = 0; i < kLayers; ++i) {
    const TEntJwcLayerGroup& g = EntLgrp[i / 16];
    const TEntJwcLayer& l = EntLay[i];
    attrs.SetAttrLayer(i, JwcLayerState(g, l), 1.0 / g.scale, g.name,
                         l.name);
  }
}

void TJwkData::SetGAttLayer(TgraAttribute& attrs) const {
  attrs.SetDefaultLayer();
  const double sc = 1.0 / Enthd.scale;
  for (int i = 0; i < kLayers; ++i) attrs.SetAttrLayer(i, 1, sc);
}

}  // namespace tessa
