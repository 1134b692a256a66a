// DXFEntitySet of JWW drawings and JWS symbols: every entity of the
// drawing's list, the block definitions and their contents, and the
// layer-group viewports of the paper-space layout.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "attributes/UnitGraAtt.h"
#include "drawing/JwDxfCommon.h"
#include "drawing/JwwBlockScales.h"
#include "drawing/JwwDxf.h"
#include "drawing/JwwEntityVisit.h"
#include "drawing/JwwSettingText.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"
#include "util/Math.h"

namespace tessa {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kGroups = 16;
constexpr int32_t kLayerHojo = 2;
constexpr int32_t kFirstDrawingLayer = 4;
constexpr uint16_t kAuxiliary = 9;  // pen colour and pen style of auxiliary items
constexpr uint16_t kOwnColour = 10; // solid pen colour: the record holds its RGB
constexpr int kArcSamples = 32;
constexpr int kFillPieces = 72;

double Deg(double rad) { return rad * 180 / kPi; }

double Rad(double deg) { return deg * kPi / 180; }

// Within 1e-12 of 1 an axis ratio is a circle.
double SnapRatio(double he) { return std::fabs(he - 1) <= 1e-12 ? 1.0 : he; }

// Start and sweep in degrees of an arc stored in radians; a clockwise arc
// is turned into the counter-clockwise arc from its other end.
void ArcAngles(double start, double sweep, double& sa, double& da) {
  if (sweep < 0) {
    sa = NormDeg(Deg(start + sweep));
    da = NormDeg(Deg(-sweep));
  } else {
    sa = NormDeg(Deg(start));
    da = NormDeg(Deg(sweep));
  }
}

// The marker text of an image bound into the drawing.
bool IsImageMarker(const std::u16string& s) {
  return s.size() >= 4 && s.compare(0, 4, u"^@BM") == 0 && s.find(u',') != std::u16string::npos;
}

struct TPt {
  double x = 0, y = 0;
};

// Converts entity records into model records, either into the ENTITIES
// section (the drawing's own list) or into one block definition.
class TEntityConv {
 public:
  TEntityConv(const TConvContext& ctx, TDXFmodel& m, const TJwwBaseData& d)
      : ctx_(ctx), opt_(ctx.Opt), m_(m), d_(d) {}

  void SetLayerGroups();
  void AddBlockDefs();
  void DrawingList();
  void BlockContents();

 private:
  const TConvContext& ctx_;
  const TConvOptions& opt_;
  TDXFmodel& m_;
  const TJwwBaseData& d_;

  // Target: the model's entities (bidx_ < 0) or block definition bidx_.
  int32_t bidx_ = -1;
  bool InBlock() const { return bidx_ >= 0; }

  // Paper space: each used definition is written once per scale it is
  // placed at, and its contents are drawn at that scale.
  struct TVariant {
    bool placed;    // false: placed by nothing, contents at their own scale
    double sc;      // the scale of the copies it draws (placed only)
    int32_t bidx;   // model index, -1 when it could not be added
  };
  bool paper_ = opt_.Space == 1;
  std::unique_ptr<TJwwBlockScales> placed_;
  std::vector<std::vector<TVariant>> variants_;  // per EntBlockDef index
  // The variant being filled (variantDef_ >= 0).
  int32_t variantDef_ = -1;
  const TVariant* variant_ = nullptr;
  void AddBlockVariants();
  void BlockVariantContents();
  int32_t VariantOf(int32_t def, double sc) const;
  int32_t PaperInsertTarget(const TEntJwwBlock& e) const;
  void ConvertContents(const TEntJwwBlockDef& def);

  // Placement of the entity being converted.
  int32_t layer_ = 0;  // its own DXF layer
  int32_t spc_ = 0;
  int32_t vport_ = 0;
  double sc_ = 1, dx_ = 0, dy_ = 0;

  bool Begin(const TEntJwwAttr& a);
  int32_t Layer(const TEntJwwAttr& a, bool styleCounts) const;
  int32_t Colour(const TEntJwwAttr& a);
  TDxfColourMemo dxfColour_;
  int32_t Ltype(const TEntJwwAttr& a) const;
  static int32_t Weight(const TEntJwwAttr& a) { return PenWidthToLineWeight(a.nPenWidth); }

  // Paper position of a drawing point (block contents keep their own
  // coordinates), its model position, and the viewport box it widens.
  TPt Paper(double x, double y) const;
  TPt Out(TPt p) const;
  double Len(double v) const { return v * sc_; }
  void Sample(TPt p);
  bool Sampling() const { return !InBlock() && opt_.Space == 1; }
  // An item just added to the drawing's list is drawn through the viewport.
  void Drawn(bool added) {
    if (added && Sampling()) m_.AddVPortItem(vport_);
  }
  void ArcSamples(TPt c, double r, double he, double ka, double sa, double da);
  TPt ArcPoint(TPt c, double r, double he, double ka, double t) const;

  // Appenders to the current target.
  void PutLine(int32_t lay, int32_t col, int32_t typ, int32_t wid, TPt a, TPt b);
  void PutArc(int32_t lay, int32_t col, int32_t typ, int32_t wid, TPt c, double r,
              double he, double sa, double da, double ka);
  void PutSolid3(int32_t lay, int32_t col, TPt a, TPt b, TPt c);
  void PutSolid4(int32_t lay, int32_t col, TPt a, TPt b, TPt c, TPt e);

  // own: the list is the drawing's own (not a block definition's).
  void Convert(const TJwwLists& lists, int32_t type, int32_t index, bool own);
  void ConvLine(const TEntJwwLine& e);
  void ConvArc(const TEntJwwEnko& e);
  void ConvTen(const TEntJwwTen& e);
  void ConvMoji(const TEntJwwMoji& e);
  void ConvSunpo(const TEntJwwSunpo& e);
  void ConvSolid(const TEntJwwSolid& e);
  void ConvSolidArc(const TEntJwwSolid& e, int32_t lay, int32_t col);
  void ConvBlock(const TEntJwwBlock& e);
};

// ---- Placement and attributes ---------------------------------------------------

bool TEntityConv::Begin(const TEntJwwAttr& a) {
  // There is no layer beyond group 15 or layer 15: such an entity is left out.
  if (a.nGLayer >= kGroups || a.nLayer >= 16) return false;
  const TDXF_LGroup& g = m_.deLgp[a.nGLayer];
  layer_ = kFirstDrawingLayer + a.nGLayer * 16 + a.nLayer;
  spc_ = (opt_.Space == 1 && a.nGLayer == ConvScaleGroup(opt_)) ? 1 : 0;
  vport_ = g.n;
  sc_ = g.sc;
  dx_ = InBlock() ? 0.0 : g.dx;
  dy_ = InBlock() ? 0.0 : g.dy;
  if (paper_ && InBlock()) {
    // A definition's contents are drawn wherever its copies are: never
    // flagged for paper space, and at the scale of the copies.
    spc_ = 0;
    if (variant_ && variant_->placed) sc_ = variant_->sc;
  }
  return true;
}

int32_t TEntityConv::Layer(const TEntJwwAttr& a, bool styleCounts) const {
  if (a.nPenColor == kAuxiliary || (styleCounts && a.nPenStyle == kAuxiliary)) return kLayerHojo;
  return layer_;
}

int32_t TEntityConv::Colour(const TEntJwwAttr& a) {
  return dxfColour_(ctx_.GraAtt.GetAttrColcol(a.nPenColor));
}

int32_t TEntityConv::Ltype(const TEntJwwAttr& a) const {
  const int32_t t = JwwLtypeToDXFLtype(a.nPenStyle);
  // The mapping reaches one index past the drawing's line types.
  return t > m_.ltpn() ? 1 : t;
}

TPt TEntityConv::Paper(double x, double y) const {
  if (InBlock()) return {x, y};
  return {ctx_.Place.PaperX / 2 + x, ctx_.Place.PaperY / 2 + y};
}

TPt TEntityConv::Out(TPt p) const { return {p.x * sc_ + dx_, p.y * sc_ + dy_}; }

void TEntityConv::Sample(TPt p) {
  if (Sampling()) m_.SetVPortMinMax(vport_, p.x, p.y);
}

TPt TEntityConv::ArcPoint(TPt c, double r, double he, double ka, double t) const {
  TPt p;
  EllipsePoint(c.x, c.y, r, he, Rad(ka), Rad(t), p.x, p.y);
  return p;
}

void TEntityConv::ArcSamples(TPt c, double r, double he, double ka, double sa, double da) {
  if (!Sampling()) return;
  const double s = std::fabs(da) <= 1e-10 ? 360.0 / kArcSamples : da / kArcSamples;
  for (int k = 0; k <= kArcSamples; ++k) Sample(ArcPoint(c, r, he, ka, sa + k * s));
}

// ---- Appenders --------------------------------------------------------------------

void TEntityConv::PutLine(int32_t lay, int32_t col, int32_t typ, int32_t wid, TPt a, TPt b) {
  const TPt p = Out(a), q = Out(b);
  if (InBlock())
    m_.AddBlockLine(bidx_, spc_, lay, col, typ, wid, p.x, p.y, q.x, q.y);
  else
    Drawn(m_.AddLine(spc_, lay, col, typ, wid, p.x, p.y, q.x, q.y));
}

void TEntityConv::PutArc(int32_t lay, int32_t col, int32_t typ, int32_t wid, TPt c, double r,
                         double he, double sa, double da, double ka) {
  const TPt o = Out(c);
  if (InBlock())
    m_.AddBlockArc(bidx_, spc_, lay, col, typ, wid, o.x, o.y, r, he, sa, da, ka);
  else
    Drawn(m_.AddArc(spc_, lay, col, typ, wid, o.x, o.y, r, he, sa, da, ka));
}

void TEntityConv::PutSolid3(int32_t lay, int32_t col, TPt a, TPt b, TPt c) {
  const TPt p = Out(a), q = Out(b), r = Out(c);
  if (InBlock())
    m_.AddBlockSolid3(bidx_, spc_, lay, col, p.x, p.y, q.x, q.y, r.x, r.y);
  else
    Drawn(m_.AddSolid3(spc_, lay, col, p.x, p.y, q.x, q.y, r.x, r.y));
}

void TEntityConv::PutSolid4(int32_t lay, int32_t col, TPt a, TPt b, TPt c, TPt e) {
  const TPt p = Out(a), q = Out(b), r = Out(c), s = Out(e);
  if (InBlock())
    m_.AddBlockSolid4(bidx_, spc_, lay, col, p.x, p.y, q.x, q.y, r.x, r.y, s.x, s.y);
  else
    Drawn(m_.AddSolid4(spc_, lay, col, p.x, p.y, q.x, q.y, r.x, r.y, s.x, s.y));
}

// ---- Entities -------------------------------------------------------------------

void TEntityConv::ConvLine(const TEntJwwLine& e) {
  if (!Begin(e.att)) return;
  const TPt a = Paper(e.start_x, e.start_y), b = Paper(e.end_x, e.end_y);
  PutLine(Layer(e.att, true), Colour(e.att), Ltype(e.att), Weight(e.att), a, b);
  Sample(a);
  Sample(b);
}

void TEntityConv::ConvArc(const TEntJwwEnko& e) {
  if (!Begin(e.att)) return;
  double sa, da;
  ArcAngles(e.radKaishiKaku, e.radEnkoKaku, sa, da);
  const double ka = NormDeg(Deg(e.radKatamukiKaku));
  const double he = SnapRatio(e.dHenpeiRitsu);
  const TPt c = Paper(e.start_x, e.start_y);
  PutArc(Layer(e.att, true), Colour(e.att), Ltype(e.att), Weight(e.att), c, Len(e.dHankei), he,
         sa, da, ka);
  ArcSamples(c, e.dHankei, he, ka, sa, da);
}

void TEntityConv::ConvTen(const TEntJwwTen& e) {
  if (!Begin(e.att)) return;
  const TPt p = Paper(e.start_x, e.start_y);
  int32_t wid = Weight(e.att);
  if (e.bKariten == 1) {
    // A temporary point is a construction aid: a small circle on "HOJO"
    // that takes colour and line type from that layer.
    PutArc(kLayerHojo, 0, 0, wid, p, Len(opt_.TenSize), 1.0, 0, 0, 0);
  } else {
    int32_t cod = 0;
    double a = 0, b = 1.0;
    if (e.att.nPenStyle == 100) {
      cod = static_cast<int32_t>(e.nCode);
      a = NormDeg(Deg(e.radKaitenKaku));
      b = e.dBairitsu;
    }
    if (cod == 0) {
      // A plain point is drawn as a dot of its pen's radius.
      b = ctx_.GraAtt.GetAttrColten(e.att.nPenColor) + e.att.nPenWidth * 0.5;
      wid = 5;
    }
    const TPt o = Out(p);
    const int32_t lay = Layer(e.att, false), col = Colour(e.att);
    if (InBlock())
      m_.AddBlockTen(bidx_, spc_, lay, col, wid, cod, o.x, o.y, a, Len(b));
    else
      Drawn(m_.AddTen(spc_, lay, col, wid, cod, o.x, o.y, a, Len(b)));
  }
  Sample(p);
}

void TEntityConv::ConvMoji(const TEntJwwMoji& e) {
  if (IsImageMarker(e.str)) return;  // bound images are not written
  if (!Begin(e.att)) return;
  TPt p1 = Paper(e.start_x, e.start_y), p2 = Paper(e.end_x, e.end_y);
  const double th = GetKakudo(p2.x - p1.x, p2.y - p1.y);
  const double ux = math::Cos(th + kPi / 2), uy = math::Sin(th + kPi / 2);
  if (Sampling()) {
    Sample(p1);
    Sample(p2);
    Sample({p1.x + e.dSizeY * ux, p1.y + e.dSizeY * uy});
    Sample({p2.x + e.dSizeY * ux, p2.y + e.dSizeY * uy});
  }
  uint32_t kind = e.nMojiShu % 100;
  if (kind > 10) kind = 0;  // no such text type: the first one
  int32_t typ = static_cast<int32_t>(2 * kind + 2);
  int32_t flags = (e.nMojiShu / 10000) % 2 == 1 ? 2 : 0;
  double w = e.dSizeX, h = e.dSizeY;
  std::u16string font = e.strFontName;
  if (e.att.sFlg & 0x20) {
    // Vertical writing: the "T" style, the character box turned, and the
    // base line moved half a character width to the left of its direction.
    ++typ;
    ++flags;
    std::swap(w, h);
    font = u"@" + font;
    p1 = {p1.x + h / 2 * ux, p1.y + h / 2 * uy};
    p2 = {p2.x + h / 2 * ux, p2.y + h / 2 * uy};
  }
  const TPt o1 = Out(p1), o2 = Out(p2);
  const int32_t lay = Layer(e.att, false), col = Colour(e.att), bas = e.att.nPenStyle;
  const double ang = th * 180 / kPi;
  if (InBlock())
    m_.AddBlockMoji(bidx_, spc_, lay, col, typ, bas, flags, o1.x, o1.y, o2.x, o2.y, Len(w),
                    Len(h), Len(e.dKankaku), ang, font, e.str);
  else
    Drawn(m_.AddMoji(spc_, lay, col, typ, bas, flags, o1.x, o1.y, o2.x, o2.y, Len(w), Len(h),
                     Len(e.dKankaku), ang, font, e.str));
}

void TEntityConv::ConvSunpo(const TEntJwwSunpo& e) {
  ConvLine(e.Sen);
  if (e.bSxfMode != 0) {
    ConvLine(e.Ho1);
    ConvLine(e.Ho2);
    ConvTen(e.Te1);
    ConvTen(e.Te2);
  }
  ConvMoji(e.Moji);
}

void TEntityConv::ConvSolid(const TEntJwwSolid& e) {
  if (!Begin(e.att)) return;
  const int32_t lay = Layer(e.att, true);
  const int32_t col = e.att.nPenColor == kOwnColour ? dxfColour_(WinColorToColor(e.Color))
                                                    : Colour(e.att);
  const TPt p1 = Paper(e.start_x, e.start_y);
  Sample(p1);
  if (e.att.nPenStyle >= 101) {
    ConvSolidArc(e, lay, col);
    return;
  }
  const TPt p2 = Paper(e.end_x, e.end_y), p3 = Paper(e.DPoint2_x, e.DPoint2_y),
            p4 = Paper(e.DPoint3_x, e.DPoint3_y);
  // Equal corners are judged on the stored values, before any shift.
  auto eq = [](double ax, double ay, double bx, double by) { return EqualPoint(ax, ay, bx, by); };
  const bool p3OnEdge = eq(e.DPoint2_x, e.DPoint2_y, e.start_x, e.start_y) ||
                        eq(e.DPoint2_x, e.DPoint2_y, e.end_x, e.end_y);
  const bool p4OnP1 = eq(e.DPoint3_x, e.DPoint3_y, e.start_x, e.start_y);
  const bool p4OnP2 = eq(e.DPoint3_x, e.DPoint3_y, e.end_x, e.end_y);
  const bool p4OnP3 = eq(e.DPoint3_x, e.DPoint3_y, e.DPoint2_x, e.DPoint2_y);
  if (p3OnEdge && (p4OnP1 || p4OnP2)) {
    PutLine(lay, col, 1, Weight(e.att), p1, p2);
    Sample(p2);
  } else if (p4OnP1 || p4OnP2 || p4OnP3) {
    PutSolid3(lay, col, p1, p2, p3);
    Sample(p2);
    Sample(p3);
  } else {
    PutSolid4(lay, col, p1, p2, p3, p4);
    Sample(p2);
    Sample(p3);
    Sample(p4);
  }
}

// A solid record with pen style 101 and above holds an arc: its outline
// (111), a filled fan (101) or a filled ring (105, 106).
void TEntityConv::ConvSolidArc(const TEntJwwSolid& e, int32_t lay, int32_t col) {
  const double r = e.end_x;
  const double he = SnapRatio(e.end_y);
  const double ka = NormDeg(Deg(e.DPoint2_x));
  double sa, da;
  ArcAngles(e.DPoint2_y, e.DPoint3_x, sa, da);
  const double mode = e.DPoint3_y;
  const bool full = std::fabs(mode - 100) <= 1e-10;
  const TPt c{e.start_x, e.start_y};  // drawing coordinates
  auto paper = [&](TPt q) { return Paper(q.x, q.y); };

  switch (e.att.nPenStyle) {
    case 111: {
      if (full) da = 0;
      const TPt pc = paper(c);
      PutArc(lay, col, 1, Weight(e.att), pc, Len(r), he, sa, da, ka);
      ArcSamples(pc, r, he, ka, sa, da);
      return;
    }
    case 101: {
      if (full) da = 0;
      TPt apex = c;
      if (!full && std::fabs(mode) > 1e-10) {
        if (std::fabs(mode - 5) <= 1e-10) {
          // A segment: from the middle of the chord.
          const TPt s = ArcPoint(c, r, he, ka, sa), t = ArcPoint(c, r, he, ka, sa + da);
          apex = {(s.x + t.x) / 2, (s.y + t.y) / 2};
        } else {
          // From where the tangents at both ends meet.
          double sx, sy, ex, ey;
          EllipseArcPoints(c.x, c.y, r, he, Rad(sa), Rad(da), Rad(ka), sx, sy, ex, ey, apex.x,
                           apex.y);
        }
        Sample(paper(apex));
      }
      const double s = std::fabs(da) <= 1e-10 ? 360.0 / kFillPieces : da / kFillPieces;
      const TPt pa = paper(apex);
      TPt prev;
      for (int k = 0; k <= kFillPieces; ++k) {
        const TPt q = paper(ArcPoint(c, r, he, ka, sa + k * s));
        Sample(q);
        if (k >= 1) PutSolid3(lay, col, pa, prev, q);
        prev = q;
      }
      return;
    }
    case 105:
    case 106: {
      const double ri = mode;
      double hi = he;
      if (e.att.nPenStyle == 106) {
        // Constant width along both axes; an inner curve of radius 0 is
        // the centre itself, whatever its ratio.
        hi = ri == 0 ? 1.0 : (r * he - r) / ri + 1;
      }
      const double s = std::fabs(da) <= 1e-10 ? 360.0 / kFillPieces : da / kFillPieces;
      TPt prevO, prevI;
      for (int k = 0; k <= kFillPieces; ++k) {
        const double t = sa + k * s;
        const TPt o = paper(ArcPoint(c, r, he, ka, t));
        const TPt i = paper(ArcPoint(c, ri, hi, ka, t));
        Sample(o);
        if (k >= 1) PutSolid4(lay, col, prevO, o, i, prevI);
        prevO = o;
        prevI = i;
      }
      return;
    }
    default:
      return;  // no other kind is drawn
  }
}

void TEntityConv::ConvBlock(const TEntJwwBlock& e) {
  if (!Begin(e.att)) return;
  const int32_t bln =
      paper_ ? PaperInsertTarget(e) : m_.GetBlockIdx(static_cast<int64_t>(e.nNumber));
  if (bln < 0) return;  // its definition is not used or does not exist
  const TPt p = Paper(e.DPKijunTen_x, e.DPKijunTen_y);
  const TPt o = Out(p);
  const int32_t lay = Layer(e.att, true), col = Colour(e.att), typ = Ltype(e.att),
                wid = Weight(e.att);
  // The scale factors stay as stored: the contents already carry the
  // group's scale.
  const double a = Deg(e.radKaitenKaku);
  if (InBlock())
    m_.AddBlockBlock(bidx_, spc_, lay, col, typ, wid, bln, o.x, o.y, a, e.dBairitsuX,
                     e.dBairitsuY);
  else
    Drawn(m_.AddBlock(spc_, lay, col, typ, wid, bln, o.x, o.y, a, e.dBairitsuX, e.dBairitsuY));
  Sample(p);
}

// One entry of an order list, from the drawing's arrays (own) or from a
// block definition's.
void TEntityConv::Convert(const TJwwLists& lists, int32_t type, int32_t i, bool own) {
  // Jw_cad keeps some of its settings as texts of the drawing's own list;
  // they are not drawing content.
  auto moji = [&](const TEntJwwMoji& e) {
    if (!(own && IsJwSettingText(e))) ConvMoji(e);
  };
  VisitJwwEntity(lists, type, i,
                 TJwwVisitor{[&](const TEntJwwLine& e) { ConvLine(e); },
                             [&](const TEntJwwEnko& e) { ConvArc(e); },
                             [&](const TEntJwwTen& e) { ConvTen(e); }, moji,
                             [&](const TEntJwwSunpo& e) { ConvSunpo(e); },
                             [&](const TEntJwwSolid& e) { ConvSolid(e); },
                             [&](const TEntJwwBlock& e) { ConvBlock(e); }});
}

// ---- The steps ---------------------------------------------------------------------

void TEntityConv::SetLayerGroups() {
  for (int g = 0; g < kGroups; ++g) m_.deLgp[g].sc = d_.EntLgrp[g].adScale;
  m_.SetLgp(ConvScaleGroup(opt_));
}

int32_t DefCount(const TJwwBaseData& d) {
  return std::min<int32_t>(d.EntBlockDefN, static_cast<int32_t>(d.EntBlockDef.size()));
}

// The name a definition is written under: what comes before Jw_cad's
// "@@SfigorgFlag@@" marker, when the stored name has one.
std::u16string BlockName(const TEntJwwBlockDef& def) {
  static const std::u16string kSfigMark = u"@@SfigorgFlag@@";
  std::u16string name = def.strName;
  const int at = IndexOfStr(kSfigMark, name);
  if (at >= 0) name = MidStr(name, 0, at);
  return name;
}

void TEntityConv::AddBlockDefs() {
  if (paper_) {
    AddBlockVariants();
    return;
  }
  for (int32_t i = 0; i < DefCount(d_); ++i) {
    const TEntJwwBlockDef& def = d_.EntBlockDef[i];
    if (!def.ref_flag) continue;
    m_.AddBlockDef(BlockName(def), static_cast<int64_t>(def.nNumber));
  }
}

void TEntityConv::DrawingList() {
  bidx_ = -1;
  const TJwwLists lists = JwwListsOf(d_);
  for (const TEntJwwNo& no : d_.EntNo) Convert(lists, no.EntType, no.EntNo, true);
}

void TEntityConv::BlockContents() {
  if (paper_) {
    BlockVariantContents();
    return;
  }
  for (int32_t i = 0; i < DefCount(d_); ++i) {
    const TEntJwwBlockDef& def = d_.EntBlockDef[i];
    if (!def.ref_flag) continue;
    bidx_ = m_.GetBlockIdx(static_cast<int64_t>(def.nNumber));
    if (bidx_ < 0) continue;
    ConvertContents(def);
  }
  bidx_ = -1;
}

void TEntityConv::ConvertContents(const TEntJwwBlockDef& def) {
  const size_t n = std::min(def.mNo.size(), static_cast<size_t>(std::max(def.N, 0)));
  const TJwwLists lists = JwwListsOf(def);
  for (size_t k = 0; k < n; ++k) Convert(lists, def.mNo[k].EntType, def.mNo[k].EntNo, false);
}

// ---- Paper space: one definition per scale ------------------------------------------

void TEntityConv::AddBlockVariants() {
  std::array<double, kGroups> groupScale;
  for (int g = 0; g < kGroups; ++g) groupScale[g] = m_.deLgp[g].sc;
  placed_ = std::make_unique<TJwwBlockScales>(d_, groupScale);
  variants_.assign(static_cast<size_t>(std::max(DefCount(d_), 0)), {});
  for (int32_t i = 0; i < DefCount(d_); ++i) {
    const TEntJwwBlockDef& def = d_.EntBlockDef[i];
    if (!def.ref_flag) continue;
    std::vector<TVariant>& out = variants_[static_cast<size_t>(i)];
    // Repeated names are made unique by the model ("A", "A_1", ...).
    const auto add = [&] { return m_.AddBlockDef(BlockName(def), static_cast<int64_t>(def.nNumber)); };
    for (double sc : placed_->Scales(i)) out.push_back({true, sc, add()});
    if (out.empty()) out.push_back({false, 0.0, add()});
  }
}

void TEntityConv::BlockVariantContents() {
  for (int32_t i = 0; i < DefCount(d_); ++i) {
    const TEntJwwBlockDef& def = d_.EntBlockDef[i];
    if (!def.ref_flag) continue;
    // Contents go into the first definition of their number.
    const int32_t into = placed_->Find(def.nNumber);
    if (into < 0) continue;
    for (const TVariant& v : variants_[static_cast<size_t>(into)]) {
      if (v.bidx < 0) continue;
      bidx_ = v.bidx;
      variantDef_ = into;
      variant_ = &v;
      ConvertContents(def);
    }
  }
  bidx_ = -1;
  variantDef_ = -1;
  variant_ = nullptr;
}

int32_t TEntityConv::VariantOf(int32_t def, double sc) const {
  if (def < 0 || static_cast<size_t>(def) >= variants_.size()) return -1;
  for (const TVariant& v : variants_[static_cast<size_t>(def)])
    if (v.placed && TJwwBlockScales::SameScale(v.sc, sc)) return v.bidx;
  return -1;
}

// The variant an insert refers to: the one of its own group's scale on
// the drawing's list, the one of the enclosing copy's scale inside a
// definition (its own group's again in a definition nothing places).  An
// insert that closes a loop of definitions is dropped, and so is one whose
// target has no copy of that scale.
int32_t TEntityConv::PaperInsertTarget(const TEntJwwBlock& e) const {
  const int32_t to = placed_ ? placed_->Find(e.nNumber) : -1;
  if (to < 0) return -1;
  if (InBlock() && placed_->Cyclic(variantDef_, to)) return -1;
  return VariantOf(to, sc_);
}

}  // namespace

void TJwDxfConv::DXFEntitySet() {
  TDXFmodel& m = *ctx_.DxfModel;
  TEntityConv conv(ctx_, m, d_);
  conv.SetLayerGroups();
  conv.AddBlockDefs();
  // A dimension gives up to three lines, two points and a text.
  const size_t dims = d_.EntSunpo.size();
  m.ReserveEntities(d_.EntNo.size() + 5 * dims, d_.EntLine.size() + 3 * dims,
                            d_.EntMoji.size() + dims);
  conv.DrawingList();
  conv.BlockContents();
  if (ctx_.Opt.Space == 1) m.SetVPortArea();
}

}  // namespace tessa
