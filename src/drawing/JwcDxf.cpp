// Conversion of JWC drawings and JWK symbols into the DXF model.  Both
// formats share the steps; they differ in where coordinates live: a JWC
// drawing stores paper millimetres per layer group (each group mapped by
// its scale and offset, in paper-space mode also into a viewport), a JWK
// symbol stores model coordinates at one drawing scale.
#include "drawing/JwcDxf.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "drawing/JwDxfCommon.h"
#include "drawing/JwcCommon.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"
#include "util/Math.h"

namespace tessa {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int32_t kHojoLayer = 2;  // "HOJO": auxiliary lines, arcs, virtual points
constexpr int32_t kAuxType = 9;    // auxiliary line type
const char16_t kMojiFont[] = u"ＭＳ ゴシック";

// Where the entities of one layer group go.
struct TPlace {
  int32_t sp = 0;       // space flag of AddLine and the others
  double sc = 1, dx = 0, dy = 0;
  int32_t vp = 0;       // viewport widened by the paper points
  bool collect = false; // paper-space mode: widen the viewport
  TDXFmodel* m = nullptr;  // the model whose viewport is widened
  double X(double x) const { return x * sc + dx; }
  double Y(double y) const { return y * sc + dy; }
  void Widen(double x, double y) const {
    if (collect) m->SetVPortMinMax(vp, x, y);
  }
  // The item just added is drawn through the viewport.
  void Drawn(bool added) const {
    if (collect && added) m->AddVPortItem(vp);
  }
};

// A JWK symbol: coordinates as stored, one place for everything.
struct TJwkPlacer {
  TPlace place;
  const TPlace& operator()(int /*lay*/) const { return place; }
};

// A JWC drawing: the place of each group after SetLgp.
struct TJwcPlacer {
  TPlace groups[16];
  const TPlace& operator()(int lay) const { return groups[(lay / 16) & 15]; }
};

// Text types past the table use text type 0.
size_t MojiType(const std::vector<TEntJwcMojiType>& mjtp, uint8_t no) {
  return no <= 10 && no < mjtp.size() ? no : 0;
}

// ---- Layer step ----------------------------------------------------------------

template <class Name, class Shown>
void AddJwcLayers(TDXFmodel& dm, const TJwcEntities& d, Name name, Shown shown) {
  TJwLayerCount cnt;
  cnt.JWC_Init();
  for (size_t i = 0, n = JwcUsable(d.EntLine, d.lineN); i < n; ++i) {
    const auto& e = d.EntLine[i];
    if (e.typ != kAuxType) cnt.JWC_CountUp(e.lay, e.col, e.typ);
  }
  for (size_t i = 0, n = JwcUsable(d.EntArc, d.arcN); i < n; ++i) {
    const auto& e = d.EntArc[i];
    if (e.typ != kAuxType) cnt.JWC_CountUp(e.lay, e.col, e.typ);
  }
  for (size_t i = 0, n = JwcUsable(d.EntMoji, d.mojiN); i < n; ++i) {
    const auto& e = d.EntMoji[i];
    if (e.no >= 1 && e.no <= 10) cnt.JWC_CountUp(e.lay, d.EntMjtp[e.no].penNo, -1);
  }
  for (size_t i = 0, n = JwcUsable(d.EntTen, d.tenN); i < n; ++i)
    cnt.JWC_CountUp(d.EntTen[i].lay, d.EntTen[i].col, -1);
  cnt.CaluMax();
  AddDefaultLayers(dm);
  for (int32_t m = 0; m < 256; ++m)
    dm.AddLayer(name(m), cnt.LayerColor(m), cnt.LayerLtype(m), 0, shown(m), true);
}

// ---- Style step ----------------------------------------------------------------

void AddJwcStyles(TDXFmodel& m, const std::vector<TEntJwcMojiType>& mjtp) {
  for (size_t k = 1; k <= 10; ++k) {
    const double h = mjtp[k].height * 0.1;
    AddMojiStylePair(m, u"MOJI" + IntToText(static_cast<int32_t>(k)),
                     MojiWidthFactor(mjtp[k].width * 0.1, h), h);
  }
}

// ---- Entity step ---------------------------------------------------------------

int32_t LineLayer(uint8_t lay, uint8_t typ) { return typ == kAuxType ? kHojoLayer : lay + 4; }

void AddJwcLine(const TEntJwcLine& e, const TPlace& p) {
  p.Widen(e.x1, e.y1);
  p.Widen(e.x2, e.y2);
  p.Drawn(p.m->AddLine(p.sp, LineLayer(e.lay, e.typ), JwcColorToDXFColor(e.col),
                       JwcLtypeToDXFLtype(e.typ), 0, p.X(e.x1), p.Y(e.y1), p.X(e.x2), p.Y(e.y2)));
}

void AddJwcArc(const TEntJwcArc2& e, const TPlace& p) {
  const double ps = NormDegTol(e.st, 0.0001);
  const double pd = NormDegTol(e.et - ps, 0.0001);
  const double pk = NormDegTol(e.tt, 0.0001);
  const double ph = std::fabs(e.h - 1.0) <= 1e-6 ? 1.0 : static_cast<double>(e.h);
  if (p.collect) {
    const double sweep = std::fabs(pd) <= 1e-6 ? 360 : pd;
    const double s = sweep / 32;
    for (int i = 0; i <= 32; ++i) {
      double x, y;
      EllipsePoint(e.x, e.y, e.r, ph, pk * kPi / 180, (ps + i * s) * kPi / 180, x, y);
      p.Widen(x, y);
    }
  }
  p.Drawn(p.m->AddArc(p.sp, LineLayer(e.lay, e.typ), JwcColorToDXFColor(e.col),
                      JwcLtypeToDXFLtype(e.typ), 0, p.X(e.x), p.Y(e.y), e.r * p.sc, ph, ps, pd,
                      pk));
}

// sizeScale multiplies the text type's sizes before the placement (the
// drawing scale of a JWK symbol; 1 for JWC, whose group scale applies after).
void AddJwcMoji(const TEntJwcMoji2& e, const TPlace& p,
                const std::vector<TEntJwcMojiType>& mjtp, double sizeScale) {
  const size_t k = MojiType(mjtp, e.no);
  const double w = mjtp[k].width * 0.1 * sizeScale;
  const double h = mjtp[k].height * 0.1 * sizeScale;
  const double d = mjtp[k].dist * 0.1 * sizeScale;
  const double t = GetKakudo(static_cast<double>(e.x2) - e.x1, static_cast<double>(e.y2) - e.y1);
  const double angle = t * 180 / kPi;
  int32_t style = 2 * static_cast<int32_t>(k);
  int32_t fl = 0;
  double W = w, H = h;
  double L = MojiWidth(e.s, w, d) / 2;
  const bool tate = (e.flg1 & 32) != 0;
  if (tate) {
    style += 1;
    fl = 1;
    W = h;
    H = w;
    L = MojiWidthFix(e.s, W, d) / 2;
  }
  const double mx = (static_cast<double>(e.x1) + e.x2) / 2;
  const double my = (static_cast<double>(e.y1) + e.y2) / 2;
  double x1 = mx + L * math::Cos(t + kPi), y1 = my + L * math::Sin(t + kPi);
  double x2 = mx + L * math::Cos(t), y2 = my + L * math::Sin(t);
  if (p.collect) {
    // The viewport takes the box of the text as if it ran horizontally,
    // whichever way it is written.
    const double lh = MojiWidth(e.s, w, d) / 2;
    const double hx1 = mx + lh * math::Cos(t + kPi), hy1 = my + lh * math::Sin(t + kPi);
    const double hx2 = mx + lh * math::Cos(t), hy2 = my + lh * math::Sin(t);
    const double ux = h / 2 * math::Cos(t + kPi / 2), uy = h / 2 * math::Sin(t + kPi / 2);
    p.Widen(hx1, hy1);
    p.Widen(hx2, hy2);
    p.Widen(hx1 + ux, hy1 + uy);
    p.Widen(hx2 + ux, hy2 + uy);
  }
  if (tate) {
    const double vx = H / 2 * math::Cos(t + kPi / 2), vy = H / 2 * math::Sin(t + kPi / 2);
    x1 += vx; y1 += vy;
    x2 += vx; y2 += vy;
  }
  p.Drawn(p.m->AddMoji(p.sp, e.lay + 4, JwcColorToDXFColor(mjtp[k].penNo), style, 2, fl,
                       p.X(x1), p.Y(y1), p.X(x2), p.Y(y2), W * p.sc, H * p.sc, d * p.sc, angle,
                       kMojiFont, e.s));
}

// tenScale: the marker magnification (group scale for JWC, drawing scale
// for JWK).
void AddJwcTen(const TEntJwcTen& e, const TPlace& p, double tenScale) {
  p.Widen(e.x, e.y);
  p.Drawn(p.m->AddTen(p.sp, e.lay + 4, JwcColorToDXFColor(e.col), 0, 0, p.X(e.x), p.Y(e.y), 0,
                      tenScale));
}

// Lines, arcs, texts and points of either format, in this order.
template <class Placer, class TenScale>
void AddJwcEntities(const TJwcEntities& d, const Placer& place, double sizeScale,
                    TenScale tenScale) {
  for (size_t i = 0, n = JwcUsable(d.EntLine, d.lineN); i < n; ++i)
    AddJwcLine(d.EntLine[i], place(d.EntLine[i].lay));
  for (size_t i = 0, n = JwcUsable(d.EntArc, d.arcN); i < n; ++i)
    AddJwcArc(d.EntArc[i], place(d.EntArc[i].lay));
  for (size_t i = 0, n = JwcUsable(d.EntMoji, d.mojiN); i < n; ++i)
    AddJwcMoji(d.EntMoji[i], place(d.EntMoji[i].lay), d.EntMjtp, sizeScale);
  for (size_t i = 0, n = JwcUsable(d.EntTen, d.tenN); i < n; ++i) {
    const TPlace& p = place(d.EntTen[i].lay);
    AddJwcTen(d.EntTen[i], p, tenScale(p));
  }
}

// Steps 1 to 6 of both conversions: model, options and line types.  The
// entities are written where they are stored, so the extents go to the
// header as they are.
TDXFmodel& StartModel(TConvContext& ctx, int Ver, int32_t sp, double scale) {
  const TJwPlacement& pl = ctx.Place;
  StartDxfModel(ctx, Ver, sp, pl.ExtMinX, pl.ExtMinY, pl.ExtMaxX, pl.ExtMaxY,
                RoundKeta(6, 2, scale));
  return *ctx.DxfModel;
}

void AddStylesAndMarker(TDXFmodel& m, const std::vector<TEntJwcMojiType>& mjtp, bool points) {
  AddDefaultStyles(m);
  AddJwcStyles(m, mjtp);
  if (points) AddTenBlock(m);
}

}  // namespace

bool JwcDXFModelBuild(TConvContext& ctx, const TJwcData& jw, int Ver) {
  // Nothing is loaded: the tables exist only after a read.
  if (jw.EntLgrp.size() < 16 || jw.EntLay.size() < 256 || jw.EntMjtp.size() < 12 ||
      jw.EntVten.size() < 101)
    return false;
  const bool paper = ctx.Opt.Space == 1;
  const int32_t base = ConvScaleGroup(ctx.Opt);
  TDXFmodel& dm = StartModel(ctx, Ver, paper ? 1 : 0, jw.EntLgrp[static_cast<size_t>(base)].scale);
  AddJwcLayers(
      dm, jw,
      [&jw, &dm](int32_t m) {
        const size_t g = static_cast<size_t>(m / 16);
        std::u16string name = dm.DefautLayerName(m, jw.EntLgrp[g].name,
                                                 jw.EntLay[static_cast<size_t>(m)].name);
        return dm.AdjustLayerName(m / 16, m % 16, name);
      },
      [&jw](int32_t m) {
        return (jw.EntLgrp[static_cast<size_t>(m / 16)].dispF & 1) != 0 &&
               (jw.EntLay[static_cast<size_t>(m)].dispF & 1) != 0;
      });
  AddStylesAndMarker(dm, jw.EntMjtp, jw.tenN > 0);

  // Group transforms: each group's scale, then offsets and viewports.
  for (size_t g = 0; g < 16; ++g) dm.deLgp[g].sc = RoundKeta(6, 2, jw.EntLgrp[g].scale);
  dm.SetLgp(base);
  TJwcPlacer place;
  for (int g = 0; g < 16; ++g) {
    const TDXF_LGroup& lg = dm.deLgp[static_cast<size_t>(g)];
    place.groups[g] = TPlace{paper && g == base ? 1 : 0, lg.sc, lg.dx, lg.dy, lg.n, paper, &dm};
  }
  AddJwcEntities(jw, place, 1.0, [](const TPlace& p) { return p.sc; });
  // Virtual points: small circles on the auxiliary layer.
  const size_t nv = static_cast<size_t>(std::clamp(jw.Enthd.vtenCount, 0, 100));
  for (size_t i = 1; i <= nv; ++i) {
    const TEntJwcVten& v = jw.EntVten[i];
    const TPlace& p = place(v.lay);
    p.Widen(v.x, v.y);
    p.Drawn(dm.AddArc(p.sp, kHojoLayer, 0, 0, 0, p.X(v.x), p.Y(v.y), ctx.Opt.TenSize * p.sc, 1.0,
                      0, 0, 0));
  }
  if (paper) dm.SetVPortArea();
  return true;
}

bool JwkDXFModelBuild(TConvContext& ctx, const TJwkData& jw, int Ver) {
  if (jw.EntMjtp.size() < 12) return false;  // released by DataFree
  // A symbol is always drawn in model space.
  TDXFmodel& dm = StartModel(ctx, Ver, 0, jw.Enthd.scale);
  AddJwcLayers(
      dm, jw, [&dm](int32_t m) { return dm.AdjustLayerName(m / 16, m % 16, u""); },
      [](int32_t) { return true; });
  AddStylesAndMarker(dm, jw.EntMjtp, jw.tenN > 0);
  const double sc = RoundKeta(6, 2, jw.Enthd.scale);
  TJwkPlacer place;  // scale 1, no offset: coordinates as stored
  place.place.m = &dm;
  AddJwcEntities(jw, place, sc, [sc](const TPlace&) { return sc; });
  return true;
}

bool TJwcData::BuildDxfModel(TConvContext& ctx) const {
  return JwcDXFModelBuild(ctx, *this, ctx.Opt.DxfVer);
}

bool TJwkData::BuildDxfModel(TConvContext& ctx) const {
  return JwkDXFModelBuild(ctx, *this, ctx.Opt.DxfVer);
}

}  // namespace tessa
