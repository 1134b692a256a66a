#include "dxf/SaveExtents.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dxf/SaveItems.h"
#include "util/Func_2Text.h"
#include "util/Math.h"

namespace tessa {

namespace {

using TPt = TDXFExtents::TPt;

constexpr double kPi = std::numbers::pi;
// What the writer takes for "no value" (a scale of 0, a whole ellipse).
constexpr double kEps = 1e-14;
// The slant of a slanted text, in degrees, and how far below its base line
// a text reaches, as a part of its height.
constexpr double kSlantDeg = 28.0;
constexpr double kDescent = 1.0 / 3;
// A curve in a block's outline is a polygon about it of this many sides
// per turn: its corners lie at most 0.12 % of the radius outside.
constexpr int kOutlineSides = 64;

bool Finite(TPt p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// x' = a x + b y + e, y' = c x + d y + f.
struct TAffine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  TPt operator()(TPt p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
  TPt Vec(TPt v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
};

// An INSERT as a reader places it: scaled, turned by `deg`, moved to (x, y).
TAffine Placement(double x, double y, double deg, double sx, double sy) {
  const double t = deg * kPi / 180, co = math::Cos(t), si = math::Sin(t);
  return {co * sx, -si * sy, si * sx, co * sy, x, y};
}

// A scale factor the writer leaves out reads back as 1.
double WrittenScale(double s) { return std::fabs(s) <= kEps ? 1.0 : s; }

// c + U cos t + V sin t for t from t0 over `span` radians (0 < span <= 2 pi).
struct TCurve {
  TPt c, U, V;
  double t0 = 0, span = 2 * kPi;
  TPt At(double t) const {
    const double co = math::Cos(t), si = math::Sin(t);
    return {c.x + U.x * co + V.x * si, c.y + U.y * co + V.y * si};
  }
  bool Covers(double t) const {
    double d = std::fmod(t - t0, 2 * kPi);
    if (d < 0) d += 2 * kPi;
    return d <= span + 1e-12;
  }
};

// Start and sweep (radians) of a curve given by a start and a signed sweep
// in degrees; a sweep of nothing or of a turn or more is the whole curve.
void Sweep(double sa, double da, bool zeroIsWhole, TCurve& k) {
  const bool whole = std::fabs(da) >= 360 || (zeroIsWhole && std::fabs(da) <= kEps);
  k.t0 = (whole ? 0.0 : (da >= 0 ? sa : sa + da)) * kPi / 180;
  k.span = whole ? 2 * kPi : std::fabs(da) * kPi / 180;
}

// Gathers a box; a curve adds its ends and the extremes its sweep passes.
struct TBoxSink {
  TDXFBox box;
  void Point(TPt p) { box.Add(p.x, p.y); }
  void Curve(const TCurve& k) {
    Point(k.At(k.t0));
    Point(k.At(k.t0 + k.span));
    for (double t : {math::Atan2(k.V.x, k.U.x), math::Atan2(k.V.y, k.U.y)}) {
      for (double tt : {t, t + kPi})
        if (k.Covers(tt)) Point(k.At(tt));
    }
  }
  void Placed(const std::vector<TPt>& outline, const TAffine& at) {
    for (TPt p : outline) Point(at(p));
  }
};

// Gathers points whose convex hull holds everything: a curve gives the
// polygon of its tangents, which holds it however it is placed later.
struct TOutlineSink {
  std::vector<TPt> pts;
  void Point(TPt p) {
    if (Finite(p)) pts.push_back(p);
  }
  void Curve(const TCurve& k) {
    const int n = std::max(1, static_cast<int>(std::ceil(k.span / (2 * kPi / kOutlineSides))));
    const double step = k.span / n, grow = 1 / math::Cos(step / 2);
    Point(k.At(k.t0));
    Point(k.At(k.t0 + k.span));
    for (int i = 0; i < n; ++i) {
      const double t = k.t0 + (i + 0.5) * step, co = math::Cos(t) * grow, si = math::Sin(t) * grow;
      Point({k.c.x + k.U.x * co + k.V.x * si, k.c.y + k.U.y * co + k.V.y * si});
    }
  }
  void Placed(const std::vector<TPt>& outline, const TAffine& at) {
    for (TPt p : outline) Point(at(p));
  }
};

// Convex hull (Andrew's monotone chain), counter-clockwise.
std::vector<TPt> Hull(std::vector<TPt> p) {
  std::sort(p.begin(), p.end(),
            [](TPt a, TPt b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  p.erase(std::unique(p.begin(), p.end(), [](TPt a, TPt b) { return a.x == b.x && a.y == b.y; }),
          p.end());
  if (p.size() < 3) return p;
  auto cross = [](TPt o, TPt a, TPt b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
  };
  std::vector<TPt> h(2 * p.size());
  size_t k = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  for (size_t i = p.size() - 1, lo = k + 1; i-- > 0;) {
    while (k >= lo && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  h.resize(k - 1);
  return h;
}

// Point markers are inserts of the marker block for these kinds.
bool MarkerInserts(const TDXFmodel& m) { return m.tentyp >= 2 && m.tentyp <= 6; }

// The shape of one item, as written, into a sink.
class TShapes {
 public:
  TShapes(const TDXFmodel& m, const std::vector<std::vector<TPt>>& outline)
      : m_(m), outline_(outline) {}

  template <class Sink>
  void Item(const TItemLists& l, const TDXF_EntNo& s, Sink& out) const {
    switch (s.tp) {
      case DXF_KIND_LINE:
        if (const auto* e = At(l.line, s.no)) {
          out.Point({e->x1, e->y1});
          out.Point({e->x2, e->y2});
        }
        return;
      case DXF_KIND_CIRCLE:
        if (const auto* e = At(l.circ, s.no)) out.Curve(Circle(e->x, e->y, e->r));
        return;
      case DXF_KIND_ARC:
        if (const auto* e = At(l.arc, s.no)) {
          TCurve k = Circle(e->x, e->y, e->r);
          Sweep(e->sa, e->da, false, k);
          out.Curve(k);
        }
        return;
      case DXF_KIND_ELLIPSE:
        if (const auto* e = At(l.elli, s.no)) out.Curve(Ellipse(*e));
        return;
      case DXF_KIND_TEN:
        if (const auto* e = At(l.ten, s.no)) Point(*e, out);
        return;
      case DXF_KIND_SOLID3:
        if (const auto* e = At(l.sld3, s.no)) {
          for (TPt p : {TPt{e->x1, e->y1}, TPt{e->x2, e->y2}, TPt{e->x3, e->y3}}) out.Point(p);
        }
        return;
      case DXF_KIND_SOLID4:
        if (const auto* e = At(l.sld4, s.no)) {
          for (TPt p : {TPt{e->x1, e->y1}, TPt{e->x2, e->y2}, TPt{e->x3, e->y3},
                        TPt{e->x4, e->y4}})
            out.Point(p);
        }
        return;
      case DXF_KIND_MOJI:
        if (const auto* e = At(l.moji, s.no)) Text(*e, out);
        return;
      case DXF_KIND_BLOCK:
        if (const auto* e = At(l.block, s.no)) {
          if (const auto* o = At(outline_, e->bln))
            out.Placed(*o, Placement(e->x, e->y, std::fabs(e->a) > kEps ? e->a : 0,
                                     WrittenScale(e->bx), WrittenScale(e->by)));
        }
        return;
      default:
        return;  // viewports frame the drawing, they are not part of it
    }
  }

 private:
  static TCurve Circle(double x, double y, double r) {
    TCurve k;
    k.c = {x, y};
    k.U = {r, 0};
    k.V = {0, r};
    return k;
  }

  static TCurve Ellipse(const TDXF_Ellipse& e) {
    const double t = e.ka * kPi / 180, co = math::Cos(t), si = math::Sin(t);
    TCurve k;
    k.c = {e.x, e.y};
    k.U = {e.r * co, e.r * si};
    k.V = {-e.r * e.he * si, e.r * e.he * co};
    Sweep(e.sa, e.da, true, k);
    return k;
  }

  // A point is a dot, a circle or an insert of the marker block, after the
  // kind of point the model writes.
  template <class Sink>
  void Point(const TDXF_Ten& e, Sink& out) const {
    switch (m_.tentyp) {
      case 0:
        out.Point({e.x, e.y});
        return;
      case 1:
        out.Curve(Circle(e.x, e.y, m_.tenrad * e.ba));
        return;
      default:
        if (!MarkerInserts(m_)) return;  // points are not written
        if (const auto* o = At(outline_, m_.tenidx)) {
          const double s = std::fabs(e.ba - 1) > kEps ? WrittenScale(e.ba) : 1.0;
          out.Placed(*o, Placement(e.x, e.y, std::fabs(e.a) > 1e-10 ? e.a : 0, s, s));
        }
        return;
    }
  }

  // A fitted (or aligned) text runs from its first to its second
  // alignment point on its base line; its characters rise by its height
  // above that line and reach a third of it below (descenders); a slanted
  // one leans forward with the height.
  template <class Sink>
  static void Text(const TDXF_Moji& e, Sink& out) {
    if (DelSpace(e.st).empty()) return;  // not written
    double ux = e.x2 - e.x1, uy = e.y2 - e.y1;
    const double len = math::Hypot(ux, uy);
    if (len > 0 && std::isfinite(len)) {
      ux /= len;
      uy /= len;
    } else {
      ux = math::Cos(e.a * kPi / 180);
      uy = math::Sin(e.a * kPi / 180);
    }
    const double lean = e.syat ? math::Tan(kSlantDeg * kPi / 180) : 0.0;
    for (const double rise : {-e.h * kDescent, e.h}) {
      const double dx = -uy * rise + ux * rise * lean, dy = ux * rise + uy * rise * lean;
      out.Point({e.x1 + dx, e.y1 + dy});
      out.Point({e.x2 + dx, e.y2 + dy});
    }
  }

  const TDXFmodel& m_;
  const std::vector<std::vector<TPt>>& outline_;
};

}  // namespace

// ---- TDXFBox ------------------------------------------------------------------

void TDXFBox::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  x1 = std::min(x1, x);
  y1 = std::min(y1, y);
  x2 = std::max(x2, x);
  y2 = std::max(y2, y);
}

void TDXFBox::Add(const TDXFBox& b) {
  if (b.Empty()) return;
  Add(b.x1, b.y1);
  Add(b.x2, b.y2);
}

// ---- TDXFExtents --------------------------------------------------------------

TDXFExtents::TDXFExtents(const TDXFmodel& m) : m_(m) { BuildOutlines(); }

// Definitions are outlined after the ones they place (an explicit stack,
// so a long chain cannot exhaust the call stack); one that places itself,
// directly or further down, sees the placing definition as empty.
void TDXFExtents::BuildOutlines() {
  const size_t n = m_.deBlockDef.size();
  outline_.assign(n, {});
  enum : uint8_t { kNew, kOpen, kDone };
  std::vector<uint8_t> state(n, kNew);
  const TShapes shapes(m_, outline_);
  auto placed = [&](const TDXF_BlockDef& b, auto visit) {
    for (const TDXF_Block& e : b.dmBlock) visit(e.bln);
    if (MarkerInserts(m_) && !b.dmTen.empty()) visit(m_.tenidx);
  };
  std::vector<size_t> stack;
  for (size_t root = 0; root < n; ++root) {
    if (state[root] != kNew) continue;
    stack.push_back(root);
    while (!stack.empty()) {
      const size_t i = stack.back();
      const TDXF_BlockDef& b = m_.deBlockDef[i];
      if (state[i] == kNew) {
        state[i] = kOpen;
        placed(b, [&](int32_t j) {
          if (j >= 0 && static_cast<size_t>(j) < n && state[static_cast<size_t>(j)] == kNew)
            stack.push_back(static_cast<size_t>(j));
        });
        continue;
      }
      stack.pop_back();
      if (state[i] == kDone) continue;
      TOutlineSink sink;
      const TItemLists lists = TItemLists::Of(b);
      for (const TDXF_EntNo& s : b.dmNo) shapes.Item(lists, s, sink);
      outline_[i] = Hull(std::move(sink.pts));
      state[i] = kDone;
    }
  }
}

TDXFBox TDXFExtents::Step(const TDXF_EntNo& step) const {
  TBoxSink sink;
  TShapes(m_, outline_).Item(TItemLists::Of(m_), step, sink);
  return sink.box;
}

int32_t TDXFExtents::SpaceOf(const TDXF_EntNo& s) const {
  auto spc = [&](const auto& list) -> int32_t {
    const auto* e = At(list, s.no);
    return e ? e->spc : -1;
  };
  switch (s.tp) {
    case DXF_KIND_LINE: return spc(m_.deLine);
    case DXF_KIND_CIRCLE: return spc(m_.deCirc);
    case DXF_KIND_ARC: return spc(m_.deArc);
    case DXF_KIND_ELLIPSE: return spc(m_.deElli);
    case DXF_KIND_TEN: return spc(m_.deTen);
    case DXF_KIND_SOLID3: return spc(m_.deSld3);
    case DXF_KIND_SOLID4: return spc(m_.deSld4);
    case DXF_KIND_MOJI: return spc(m_.deMoji);
    case DXF_KIND_BLOCK: return spc(m_.deBlock);
    default: return -1;
  }
}

std::array<TDXFBox, kDXFSpaces> TDXFExtents::Spaces() const {
  std::array<TBoxSink, kDXFSpaces> sinks;
  const TShapes shapes(m_, outline_);
  const TItemLists lists = TItemLists::Of(m_);
  for (const TDXF_EntNo& s : m_.deNo) {
    const int32_t spc = SpaceOf(s);
    if (spc >= 0 && spc < kDXFSpaces) shapes.Item(lists, s, sinks[static_cast<size_t>(spc)]);
  }
  return {sinks[0].box, sinks[1].box, sinks[2].box};
}

TDXFBox TDXFExtents::Space(int32_t spc) const {
  if (spc < 0 || spc >= kDXFSpaces) return {};
  return Spaces()[static_cast<size_t>(spc)];
}

TDXFBox TDXFExtents::Block(int32_t i) const {
  TDXFBox box;
  if (const auto* o = At(outline_, i))
    for (TPt p : *o) box.Add(p.x, p.y);
  return box;
}

}  // namespace tessa
