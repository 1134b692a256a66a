// FileOutDXF of JWW drawings and JWS symbols: the DXF model's tables (line
// types, layers, text styles, point-marker block) from the drawing, then
// the entities (JwwDxfEntity.cpp), then the file.
#include "drawing/JwwDxf.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "attributes/UnitGraAtt.h"
#include "drawing/JwDxfCommon.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwEntityVisit.h"
#include "drawing/JwwSettingText.h"
#include "drawing/JwwUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"

namespace tessa {

namespace {

constexpr int kGroups = 16;
constexpr int kLayers = 256;
constexpr int kTextTypes = 10;
constexpr int kFirstUserLtype = 17;
constexpr int kLastUserLtype = 32;

uint32_t PenColor(const TgraAttribute& att, const TEntJwwAttr& a) {
  return att.GetAttrColcol(a.nPenColor);
}

}  // namespace

// ---- Loading state ------------------------------------------------------------

bool TJwDxfConv::Loaded() const {
  if (d_.EntLgrp.size() < kGroups) return false;
  if (!jww_) return true;
  return jww_->EntLay.size() >= kLayers && jww_->EntMoj.size() >= kTextTypes &&
         jww_->EntLtpS.size() > kLastUserLtype;
}

// ---- FileOutDXF -------------------------------------------------------------------

bool TJwDxfConv::BuildModel(int Ver) {
  // A drawing that did not load has no layer groups to take the scale from;
  // converting it would misplace everything, so nothing is made.
  if (!Loaded()) return false;
  // The extents are measured from the paper's centre, the entities from its
  // lower left corner (where the limits start too): the header's extents
  // must cover the entities, so they are handed over in that position.
  const TJwPlacement& pl = ctx_.Place;
  StartDxfModel(ctx_, Ver, ctx_.Opt.Space, pl.PaperX / 2 + pl.ExtMinX,
                pl.PaperY / 2 + pl.ExtMinY, pl.PaperX / 2 + pl.ExtMaxX,
                pl.PaperY / 2 + pl.ExtMaxY, d_.EntLgrp[ConvScaleGroup(ctx_.Opt)].adScale);
  TDXFmodel& m = *ctx_.DxfModel;
  AddSxfLtypes(m);
  DXFLtypeSet();
  DXFLayerSet();
  AddDefaultStyles(m);
  DXFStyleSet();
  if (TenExists()) AddTenBlock(m);
  DXFEntitySet();
  return true;
}

bool TJwDxfConv::FileOutDXF(const std::string& FName, int Ver) {
  return WriteBuiltDxf(ctx_, FName, [&] { return BuildModel(Ver); });
}

// ---- Line types -------------------------------------------------------------------

void TJwDxfConv::DXFLtypeSet() {
  TDXFmodel& m = *ctx_.DxfModel;
  for (int i = kFirstUserLtype; i <= kLastUserLtype; ++i) {
    const std::u16string num = IntToText(i);
    const std::u16string desc = num + u" SXF-Extended";
    if (!jww_) {
      m.AddLtype(u"SXF_EX_LType_" + num, desc, 2, {1.0, -1.0});
      continue;
    }
    const TEntJwwLineTypeExNo& t = jww_->EntLtpS[i];
    std::u16string name = DelCtrlCode(t.astrUDLTypeName);
    if (DelSpace(name).empty()) name = u"LType_" + num;
    name = u"SXF_" + name;
    int32_t n = t.anUDLTypeSegment;
    if (n != 2 && n != 4 && n != 6 && n != 8) n = 2;
    std::vector<double> pattern(n);
    for (int j = 1; j <= n; ++j) {
      // The stored pitches count from 1: pattern element j - 1 is pitch j.
      double v = std::fabs(t.aadUDLTypePitch[j]);
      if (v <= 0.01) v = 0.01;
      if (j % 2 == 0) v = -v;
      pattern[j - 1] = v;
    }
    m.AddLtype(name, desc, n, pattern);
  }
}

// ---- Layers -----------------------------------------------------------------------

void TJwDxfConv::DXFLayerSet() {
  TDXFmodel& m = *ctx_.DxfModel;
  const TgraAttribute& att = ctx_.GraAtt;
  TJwLayerCount cnt;
  cnt.JWW_Init();

  auto countLine = [&](const TEntJwwAttr& a) {
    if (a.nPenColor != 9 && a.nPenStyle != 9)
      cnt.JWW_CountUp(a.nGLayer, a.nLayer, PenColor(att, a), a.nPenStyle);
  };
  auto countColour = [&](const TEntJwwAttr& a, uint32_t colour) {
    if (a.nPenColor != 9) cnt.JWW_CountUp(a.nGLayer, a.nLayer, colour, -1);
  };

  const TJwwLists lists = JwwListsOf(d_);
  const auto count = TJwwVisitor{
      [&](const TEntJwwLine& e) { countLine(e.att); },
      [&](const TEntJwwEnko& e) { countLine(e.att); },
      [&](const TEntJwwTen& e) { countColour(e.att, PenColor(att, e.att)); },
      [&](const TEntJwwMoji& e) {
        // Jw_cad's own setting texts are not drawing content.
        if (!IsJwSettingText(e)) countColour(e.att, PenColor(att, e.att));
      },
      [&](const TEntJwwSunpo& e) {
        countLine(e.Sen.att);
        countColour(e.Moji.att, PenColor(att, e.Moji.att));
      },
      [&](const TEntJwwSolid& e) {
        countColour(e.att, e.att.nPenColor == 10 ? WinColorToColor(e.Color) : PenColor(att, e.att));
      },
      [](const TEntJwwBlock&) {}};
  for (const TEntJwwNo& no : d_.EntNo) VisitJwwEntity(lists, no.EntType, no.EntNo, count);

  cnt.CaluMax();
  AddDefaultLayers(m);
  for (int i = 0; i < kLayers; ++i) {
    const int g = i / 16, l = i % 16;
    std::u16string name;
    bool dsp = true;
    if (jww_) {
      const TEntJwwLayer& lay = jww_->EntLay[i];
      const TEntJwwLayerGroup& grp = d_.EntLgrp[g];
      name = m.AdjustLayerName(g, l, m.DefautLayerName(i, grp.aStrGLayName, lay.aStrLayName));
      // A hidden layer, or any layer of a hidden group, is switched off.
      dsp = grp.anGLay != 0 && lay.aanLay != 0;
    } else {
      name = m.AdjustLayerName(g, l, u"");
    }
    m.AddLayer(name, cnt.LayerColor(i), cnt.LayerLtype(i), 0, dsp, true);
  }
}

// ---- Text styles ------------------------------------------------------------------

void TJwDxfConv::DXFStyleSet() {
  static constexpr double kSymbolHeights[kTextTypes] = {2.0, 2.5, 3.0, 4.0, 5.0,
                                                        6.0, 7.0, 8.0, 9.0, 10.0};
  TDXFmodel& m = *ctx_.DxfModel;
  AddMojiStylePair(m, u"MOJI0", 1.0, 2.0);
  for (int k = 1; k <= kTextTypes; ++k) {
    double width = 1.0, height = kSymbolHeights[k - 1];
    if (jww_) {
      const TEntJwwMojiType& t = jww_->EntMoj[k - 1];
      height = t.adMojiY;
      width = MojiWidthFactor(t.adMojiX, t.adMojiY);
    }
    AddMojiStylePair(m, u"MOJI" + IntToText(k), width, height);
  }
}

// ---- Points -------------------------------------------------------------------

bool TJwDxfConv::TenExists() const {
  auto hasPoint = [](const std::vector<TEntJwwNo>& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const TEntJwwNo& n) { return n.EntType == jwEntTen; });
  };
  if (hasPoint(d_.EntNo)) return true;
  const int32_t defs =
      std::min<int32_t>(d_.EntBlockDefN, static_cast<int32_t>(d_.EntBlockDef.size()));
  for (int32_t i = 0; i < defs; ++i)
    if (d_.EntBlockDef[i].ref_flag && hasPoint(d_.EntBlockDef[i].mNo)) return true;
  return false;
}

// ---- The two containers -----------------------------------------------------------

bool TJwwData::BuildDxfModel(TConvContext& ctx) const {
  return TJwDxfConv(ctx, *this, this).BuildModel(ctx.Opt.DxfVer);
}

bool TJwsData::BuildDxfModel(TConvContext& ctx) const {
  return TJwDxfConv(ctx, *this, nullptr).BuildModel(ctx.Opt.DxfVer);
}

}  // namespace tessa
