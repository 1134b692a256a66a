// DXF model: the operations that fill it.  The section writers live in
// SaveWriter*.cpp.
#include "dxf/SaveUnit.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "dxf/SaveExtents.h"
#include "util/Func_2.h"
#include "util/LargeMemory.h"

namespace tessa {

namespace {

constexpr double kEps = 1e-14;
constexpr int32_t kMaxSuffix = 99999;

bool FullTurnOrNone(double pd) {
  return std::fabs(pd) <= kEps || std::fabs(std::fabs(pd) - 360.0) <= kEps;
}

bool AppendStep(std::vector<TDXF_EntNo>& order, int32_t tp, int32_t no) {
  try {
    order.push_back({tp, no});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Appends one record and its order step together: both or neither.
template <class T>
bool AppendWithOrder(std::vector<TDXF_EntNo>& order, int32_t tp,
                     std::vector<T>& list, const T& rec) {
  if (!AppendStep(order, tp, static_cast<int32_t>(list.size()))) return false;
  try {
    list.push_back(rec);
  } catch (const std::bad_alloc&) {
    order.pop_back();
    return false;
  }
  return true;
}

TDXF_BlockDef* DefAt(std::vector<TDXF_BlockDef>& defs, int32_t bn) {
  return bn >= 0 && static_cast<size_t>(bn) < defs.size()
             ? &defs[static_cast<size_t>(bn)]
             : nullptr;
}

// Where an arc goes: the model's lists or a block definition's.
struct TArcLists {
  std::vector<TDXF_EntNo>& order;
  std::vector<TDXF_Circle>& circ;
  std::vector<TDXF_Arc>& arc;
  std::vector<TDXF_Ellipse>& elli;
};

// A circular curve (ratio 1) becomes a circle when `whole`, else an arc;
// any other ratio stays the ellipse e.
bool AppendArc(TArcLists to, const TDXF_Ellipse& e, bool whole) {
  if (std::fabs(e.he - 1.0) <= kEps) {
    if (whole) {
      return AppendWithOrder(
          to.order, DXF_KIND_CIRCLE, to.circ,
          TDXF_Circle{e.spc, e.lay, e.col, e.typ, e.wid, e.x, e.y, e.r});
    }
    return AppendWithOrder(to.order, DXF_KIND_ARC, to.arc,
                           TDXF_Arc{e.spc, e.lay, e.col, e.typ, e.wid, e.x,
                                    e.y, e.r, NormDeg(e.sa + e.ka), e.da});
  }
  return AppendWithOrder(to.order, DXF_KIND_ELLIPSE, to.elli, e);
}

std::u16string AsciiText(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::u16string HexText(int32_t v) {
  static const char digits[] = "0123456789ABCDEF";
  uint32_t u = static_cast<uint32_t>(v);
  std::string out;
  do {
    out.insert(out.begin(), digits[u & 15u]);
    u >>= 4;
  } while (u != 0);
  return AsciiText(out);
}

// Characters a layer name may hold in an R12 file: "$", "-", "_", digits
// and Latin letters, half-width and full-width.
bool IsR12LayerChar(char16_t c) {
  auto ascii = [](char16_t a) {
    return a == u'$' || a == u'-' || a == u'_' || (a >= u'0' && a <= u'9') ||
           (a >= u'A' && a <= u'Z') || (a >= u'a' && a <= u'z');
  };
  if (ascii(c)) return true;
  if (c >= 0xFF01 && c <= 0xFF5E) return ascii(static_cast<char16_t>(c - 0xFEE0));
  return false;
}

// Punctuation a layer name may not hold in later versions.
bool IsBannedLayerChar(char16_t c) {
  if (c == 0x21 || c == 0x22 || c == 0x23) return true;
  if (c >= 0x25 && c <= 0x2C) return true;
  if (c == 0x2E || c == 0x2F) return true;
  if (c >= 0x3A && c <= 0x40) return true;
  if (c >= 0x5B && c <= 0x5E) return true;
  if (c == 0x60) return true;
  if (c >= 0x7B && c <= 0x7E) return true;
  switch (c) {
    case 0xFF01: case 0x201D: case 0xFF03: case 0xFF04: case 0xFF05:
    case 0xFF06: case 0x2019: case 0xFF0E: case 0xFF0F: case 0xFF3B:
    case 0xFFE5: case 0xFF3D: case 0xFF3E: case 0xFF40:
      return true;
    default:
      break;
  }
  if (c >= 0xFF08 && c <= 0xFF0C) return true;
  if (c >= 0xFF1A && c <= 0xFF20) return true;
  if (c >= 0xFF5B && c <= 0xFF5E) return true;
  return false;
}

}  // namespace

// ---- TDXFNameIndex ----------------------------------------------------------

void TDXFNameIndex::Clear() {
  first_.clear();
  nextSuffix_.clear();
  indexed_ = 0;
}

void TDXFNameIndex::Insert(const std::u16string& name, size_t index) {
  first_.emplace(UpperStr(name), static_cast<int32_t>(index));  // first wins
}

int32_t TDXFNameIndex::Find(std::u16string_view name) const {
  auto it = first_.find(UpperStr(name));
  return it == first_.end() ? -1 : it->second;
}

std::u16string TDXFNameIndex::Resolve(std::u16string_view name) {
  if (Find(name) < 0) return std::u16string(name);
  // Names only ever join the list, so every suffix below the one found
  // last for this base stays taken: the search resumes there.
  int32_t& from = nextSuffix_.try_emplace(UpperStr(name), 1).first->second;
  std::u16string candidate;
  for (int32_t i = from; i <= kMaxSuffix; ++i) {
    candidate = std::u16string(name) + u"_" + AsciiText(std::to_string(i));
    if (Find(candidate) < 0) {
      from = i;
      return candidate;
    }
  }
  from = kMaxSuffix;
  return std::u16string(name) + u"_" + AsciiText(std::to_string(kMaxSuffix));
}

// ---- Life and options -----------------------------------------------------

TDXFmodel::TDXFmodel() { DataInit(); }

TDXFmodel::~TDXFmodel() = default;

void TDXFmodel::DataInit() {
  Ver = 0;
  MinWx = MinWy = 0;
  MaxWx = MaxWy = 10;
  papx = 297;
  papy = 210;
  pscale = 1;
  sheet = true;
  laynametyp = 0;
  tentyp = 0;
  tenidx = -1;
  tenrad = 0.5;
  ltps.clear();
  lays.clear();
  msts.clear();
  deNo.clear();
  deLine.clear();
  deCirc.clear();
  deArc.clear();
  deElli.clear();
  deTen.clear();
  deSld3.clear();
  deSld4.clear();
  deMoji.clear();
  deVport.clear();
  deBlock.clear();
  deBlockDef.clear();
  // Sixteen zeroed groups at all times, so SetLgp never indexes past them.
  deLgp.assign(16, TDXF_LGroup{});
  ltpIndex_.Clear();
  layIndex_.Clear();
  styIndex_.Clear();
  blkIndex_.Clear();
  blkIdIndex_.clear();
  blkIdIndexed_ = 0;
}

void TDXFmodel::SetDXFVer(int32_t v, int32_t sp) {
  Ver = (v == 1 || v == 2) ? v : 0;
  Spa = (sp == 1) ? 1 : 0;
}

void TDXFmodel::SetAppName(std::u16string_view s) { AppNam = std::u16string(s); }

void TDXFmodel::SetPap(double Mix, double Miy, double Max, double May,
                       double pax, double pay) {
  MinWx = Mix;
  MinWy = Miy;
  MaxWx = Max;
  MaxWy = May;
  papx = pax;
  papy = pay;
}

void TDXFmodel::SetScale(double scl) { pscale = scl; }

void TDXFmodel::SetLayerNameType(int32_t n) { laynametyp = n; }

void TDXFmodel::SetTenTransType(int32_t n, double r) {
  tentyp = n;
  tenrad = r;
}

void TDXFmodel::SetLgp(int32_t base) {
  if (deLgp.size() != 16) deLgp.resize(16);
  if (base < 0 || base > 15) base = 0;
  // Steps of earlier viewports would point at records that are gone.
  std::erase_if(deNo, [](const TDXF_EntNo& e) { return e.tp == DXF_KIND_VPORT; });
  deVport.clear();
  if (Spa == 0) {
    const double sc = deLgp[base].sc;
    for (auto& g : deLgp) g = TDXF_LGroup{0, sc, 0, 0};
    return;
  }
  AddVPort(1, 1, 0, 0, 0, 0, papx, papy, papx / 2, papy / 2, papy);
  int32_t k = 0;
  double D = 0;
  for (int32_t g = 0; g < 16; ++g) {
    TDXF_LGroup& cur = deLgp[g];
    if (g == base) {
      cur.n = 0;
      cur.sc = 1;
      cur.dx = cur.dy = 0;
      continue;
    }
    bool shared = false;
    for (int32_t j = 0; j < g; ++j) {
      if (j == base || !EqualVal(deLgp[j].sc, cur.sc)) continue;
      cur.n = deLgp[j].n;
      cur.dx = deLgp[j].dx;
      cur.dy = deLgp[j].dy;
      shared = true;
      break;
    }
    if (shared) continue;
    ++k;
    cur.n = k;
    cur.dx = D;
    cur.dy = 0;
    AddVPort(1, cur.sc, D, 0, 0, 0, 0, 0, 0, 0, 0);
    D = D + papx * cur.sc * 2;
  }
}

void TDXFmodel::SetVPortMinMax(int32_t i, double x, double y) {
  if (i < 0 || i >= deVportN()) return;
  TDXF_ViewPort& v = deVport[i];
  if (!v.mf) {
    v.x1 = v.x2 = x;
    v.y1 = v.y2 = y;
    v.mf = true;
    return;
  }
  if (v.x1 > x) v.x1 = x;
  if (v.y1 > y) v.y1 = y;
  if (x > v.x2) v.x2 = x;
  if (y > v.y2) v.y2 = y;
}

void TDXFmodel::AddVPortItem(int32_t i) {
  if (i < 1 || i >= deVportN() || deNo.empty()) return;
  deVport[static_cast<size_t>(i)].items.push_back(deNoN() - 1);
}

namespace {

// The paper box of what is drawn through viewport v: the model box of its
// items taken back through the viewport's scale and offset.  False when
// there is nothing to go by.
bool DrawnPaperBox(const TDXFmodel& m, const TDXFExtents& ext, TDXF_ViewPort& v) {
  if (!(v.sc > 0) || !std::isfinite(v.sc)) return false;
  TDXFBox box;
  for (int32_t step : v.items)
    if (step >= 0 && step < m.deNoN()) box.Add(ext.Step(m.deNo[static_cast<size_t>(step)]));
  if (box.Empty()) return false;
  TDXFBox paper;
  paper.Add((box.x1 - v.dx) / v.sc, (box.y1 - v.dy) / v.sc);
  paper.Add((box.x2 - v.dx) / v.sc, (box.y2 - v.dy) / v.sc);
  if (paper.Empty()) return false;
  v.x1 = paper.x1;
  v.y1 = paper.y1;
  v.x2 = paper.x2;
  v.y2 = paper.y2;
  return true;
}

// Centre, size and view of a viewport from its paper box and the margin.
void PlaceVPort(TDXF_ViewPort& v) {
  v.x1 -= 5;
  v.y1 -= 5;
  v.x2 += 5;
  v.y2 += 5;
  v.cx = (v.x1 + v.x2) / 2;
  v.cy = (v.y1 + v.y2) / 2;
  v.w = std::fabs(v.x2 - v.x1);
  v.h = std::fabs(v.y2 - v.y1);
  v.vx = (v.x1 + v.x2) * v.sc / 2 + v.dx;
  v.vy = (v.y1 + v.y2) * v.sc / 2 + v.dy;
  v.vh = v.h * v.sc;
}

bool Finite(const TDXF_ViewPort& v) {
  for (double x : {v.cx, v.cy, v.w, v.h, v.vx, v.vy, v.vh})
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace

void TDXFmodel::SetVPortArea() {
  if (deVport.size() < 2) return;
  const TDXFExtents ext(*this);
  for (size_t i = 1; i < deVport.size(); ++i) {
    TDXF_ViewPort& v = deVport[i];
    DrawnPaperBox(*this, ext, v);
    PlaceVPort(v);
    if (!Finite(v)) {
      // What it shows reaches past what a double holds: the box a
      // viewport showing nothing has.
      v.x1 = v.y1 = v.x2 = v.y2 = 0;
      PlaceVPort(v);
    }
  }
}

// ---- Symbols and names ------------------------------------------------------

int32_t TDXFmodel::GetLtypeIdx(std::u16string_view name) const {
  ltpIndex_.Sync(ltps);
  return ltpIndex_.Find(name);
}

int32_t TDXFmodel::GetLayerIdx(std::u16string_view name) const {
  layIndex_.Sync(lays);
  return layIndex_.Find(name);
}

int32_t TDXFmodel::GetStyleIdx(std::u16string_view name) const {
  styIndex_.Sync(msts);
  return styIndex_.Find(name);
}

int32_t TDXFmodel::GetBlockIdx(std::u16string_view name) const {
  blkIndex_.Sync(deBlockDef);
  return blkIndex_.Find(name);
}

void TDXFmodel::SyncBlockIds() const {
  if (deBlockDef.size() < blkIdIndexed_) {
    blkIdIndex_.clear();
    blkIdIndexed_ = 0;
  }
  for (; blkIdIndexed_ < deBlockDef.size(); ++blkIdIndexed_) {
    blkIdIndex_.emplace(deBlockDef[blkIdIndexed_].IDno,
                        static_cast<int32_t>(blkIdIndexed_));
  }
}

int32_t TDXFmodel::GetBlockIdx(int64_t id) const {
  if (id < 0) return -1;  // the converter's own blocks are not looked up
  SyncBlockIds();
  auto it = blkIdIndex_.find(id);
  return it == blkIdIndex_.end() ? -1 : it->second;
}

void TDXFmodel::AddLtype(std::u16string_view na, std::u16string_view ex,
                         int32_t pn, const std::vector<double>& pa) {
  ltpIndex_.Sync(ltps);
  TDXF_Ltype t;
  t.nam = ltpIndex_.Resolve(na);
  t.exp = std::u16string(ex);
  const size_t count =
      pn <= 0 ? 0 : std::min(static_cast<size_t>(pn), pa.size());
  t.pt.assign(pa.begin(), pa.begin() + static_cast<std::ptrdiff_t>(count));
  t.pl = 0;
  for (double v : t.pt) t.pl = t.pl + std::fabs(v);
  ltps.push_back(std::move(t));
}

std::u16string TDXFmodel::DefautLayerName(int32_t l, std::u16string_view lg,
                                          std::u16string_view ly) const {
  if (laynametyp == 1) return std::u16string(ly);
  if (laynametyp == 2) {
    const std::u16string G = DelSpace(lg);
    const std::u16string Y = DelSpace(ly);
    if (G.empty()) return Y;
    if (Y.empty()) return G + u"-" + HexText(((l % 16) + 16) % 16);
    return G + u"-" + Y;
  }
  return AsciiText(std::to_string(static_cast<int64_t>(l) + 1));
}

std::u16string TDXFmodel::AdjustLayerName(int32_t lg, int32_t ly,
                                          std::u16string_view s) const {
  const std::u16string t = DelSpace(s);
  std::u16string out;
  out.reserve(t.size());
  for (char16_t c : t) {
    const bool keep = (Ver == 0) ? IsR12LayerChar(c) : !IsBannedLayerChar(c);
    if (keep) out.push_back(c);
  }
  if (out.empty()) out = HexText(lg) + u"-" + HexText(ly);
  return out;
}

void TDXFmodel::AddLayer(std::u16string_view na, int32_t co, int32_t lt,
                         int32_t wd, bool dp, bool pr) {
  layIndex_.Sync(lays);
  TDXF_Layer l;
  l.nam = layIndex_.Resolve(na);
  l.col = co;
  // A layer must name an existing line type; "Continuous" stands in.
  l.ltp = (lt >= 1 && lt <= ltpn()) ? lt : 1;
  l.wid = wd;
  l.dsp = dp;
  l.prn = pr;
  lays.push_back(std::move(l));
}

void TDXFmodel::AddStyle(std::u16string_view na, std::u16string_view f1,
                         std::u16string_view f2, double h, double w, double a,
                         double hl, bool fl) {
  styIndex_.Sync(msts);
  TDXF_Style s;
  s.nam = styIndex_.Resolve(na);
  s.fo1 = std::u16string(f1);
  s.fo2 = std::u16string(f2);
  s.mh = h;
  s.mw = w;
  s.ang = a;
  s.mhl = hl;
  s.fla = fl;
  msts.push_back(std::move(s));
}

int32_t TDXFmodel::AddBlockDef(std::u16string_view na, int64_t id) {
  try {
    blkIndex_.Sync(deBlockDef);
    const std::u16string base =
        DelSpace(na).empty() ? std::u16string(u"NONAME") : std::u16string(na);
    TDXF_BlockDef d;
    d.nam = blkIndex_.Resolve(base);
    d.IDno = id;
    deBlockDef.push_back(std::move(d));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return deBlockDefN() - 1;
}

// ---- Attribute normalisation ------------------------------------------------

const TDXF_Layer* TDXFmodel::LayerOf(int32_t ly) const {
  return (ly >= 0 && ly < layn()) ? &lays[ly] : nullptr;
}

int32_t TDXFmodel::NormCol(int32_t ly, int32_t co) const {
  const TDXF_Layer* l = LayerOf(ly);
  return (l && co == l->col) ? 0 : co;
}

int32_t TDXFmodel::NormLtp(int32_t ly, int32_t tp) const {
  // An index past the list (49 of a JWW drawing) names nothing.
  if (tp > ltpn()) tp = 1;
  const TDXF_Layer* l = LayerOf(ly);
  return (l && tp == l->ltp) ? 0 : tp;
}

int32_t TDXFmodel::NormWid(int32_t ly, int32_t wd) const {
  const TDXF_Layer* l = LayerOf(ly);
  return (l && wd == l->wid) ? 0 : wd;
}

int32_t TDXFmodel::NormStyle(int32_t tp) const {
  return (tp >= 0 && tp < mstn()) ? tp : 0;
}

TDXF_Line TDXFmodel::MakeLine(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                              int32_t wd, double px1, double py1, double px2,
                              double py2) const {
  return TDXF_Line{sp, ly, NormCol(ly, co), NormLtp(ly, tp), NormWid(ly, wd),
                   px1, py1, px2, py2};
}

TDXF_Ellipse TDXFmodel::MakeEllipse(int32_t sp, int32_t ly, int32_t co,
                                    int32_t tp, int32_t wd, double px,
                                    double py, double pr, double ph, double ps,
                                    double pd, double pk) const {
  return TDXF_Ellipse{sp, ly, NormCol(ly, co), NormLtp(ly, tp), NormWid(ly, wd),
                      px, py, pr, ph, ps, pd, pk};
}

TDXF_Ten TDXFmodel::MakeTen(int32_t sp, int32_t ly, int32_t co, int32_t wd,
                            int32_t cd, double px, double py, double pa,
                            double pb) const {
  return TDXF_Ten{sp, ly, NormCol(ly, co), NormWid(ly, wd), cd, px, py, pa, pb};
}

TDXF_Solid3 TDXFmodel::MakeSolid3(int32_t sp, int32_t ly, int32_t co,
                                  double px1, double py1, double px2,
                                  double py2, double px3, double py3) const {
  return TDXF_Solid3{sp, ly, NormCol(ly, co), px1, py1, px2, py2, px3, py3};
}

TDXF_Solid4 TDXFmodel::MakeSolid4(int32_t sp, int32_t ly, int32_t co,
                                  double px1, double py1, double px2,
                                  double py2, double px3, double py3,
                                  double px4, double py4) const {
  return TDXF_Solid4{sp, ly, NormCol(ly, co), px1, py1, px2, py2,
                     px3, py3, px4, py4};
}

TDXF_Moji TDXFmodel::MakeMoji(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                              int32_t bs, bool tate, bool syat, double px1,
                              double py1, double px2, double py2, double pw,
                              double ph, double pd, double pa,
                              std::u16string_view pf,
                              std::u16string_view ps) const {
  return TDXF_Moji{sp, ly, NormCol(ly, co), NormStyle(tp), bs, tate, syat,
                   px1, py1, px2, py2, pw, ph, pd, pa,
                   std::u16string(pf), std::u16string(ps)};
}

TDXF_Block TDXFmodel::MakeBlock(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                                int32_t wd, int32_t n, double px, double py,
                                double pa, double pbx, double pby) const {
  return TDXF_Block{sp, ly, NormCol(ly, co), NormLtp(ly, tp), NormWid(ly, wd),
                    n, px, py, pa, pbx, pby};
}

// ---- Order lists --------------------------------------------------------------

bool TDXFmodel::AddEntNo(int32_t tp, int32_t no) {
  return AppendStep(deNo, tp, no);
}

bool TDXFmodel::AddBlockEntNo(int32_t bn, int32_t tp, int32_t no) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  return b && AppendStep(b->dmNo, tp, no);
}

// ---- Entities of the model ------------------------------------------------------

void TDXFmodel::ReserveEntities(size_t items, size_t lines, size_t texts) {
  // Largest first: the block the reader's copy of the file leaves free is
  // then taken whole by the lines, and fewer fresh pages are needed.
  deLine.reserve(deLine.size() + lines);
  deNo.reserve(deNo.size() + items);
  deMoji.reserve(deMoji.size() + texts);
  AdviseHugePages(deNo);
  AdviseHugePages(deLine);
  AdviseHugePages(deMoji);
}

bool TDXFmodel::AddLine(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                        int32_t wd, double px1, double py1, double px2,
                        double py2) {
  return AppendWithOrder(deNo, DXF_KIND_LINE, deLine,
                         MakeLine(sp, ly, co, tp, wd, px1, py1, px2, py2));
}

bool TDXFmodel::AddArc(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                       int32_t wd, double px, double py, double pr, double ph,
                       double ps, double pd, double pk) {
  // A sweep of 0 or 360 degrees is the whole curve.
  const bool whole = FullTurnOrNone(pd);
  return AppendArc(TArcLists{deNo, deCirc, deArc, deElli},
                   MakeEllipse(sp, ly, co, tp, wd, px, py, pr, ph, ps,
                               whole ? 0.0 : pd, pk),
                   whole);
}

bool TDXFmodel::AddTen(int32_t sp, int32_t ly, int32_t co, int32_t wd,
                       int32_t cd, double px, double py, double pa, double pb) {
  return AppendWithOrder(deNo, DXF_KIND_TEN, deTen,
                         MakeTen(sp, ly, co, wd, cd, px, py, pa, pb));
}

bool TDXFmodel::AddSolid3(int32_t sp, int32_t ly, int32_t co, double px1,
                          double py1, double px2, double py2, double px3,
                          double py3) {
  return AppendWithOrder(
      deNo, DXF_KIND_SOLID3, deSld3,
      MakeSolid3(sp, ly, co, px1, py1, px2, py2, px3, py3));
}

bool TDXFmodel::AddSolid4(int32_t sp, int32_t ly, int32_t co, double px1,
                          double py1, double px2, double py2, double px3,
                          double py3, double px4, double py4) {
  if (EqualPoint(px3, py3, px4, py4))
    return AddSolid3(sp, ly, co, px1, py1, px2, py2, px3, py3);
  return AppendWithOrder(
      deNo, DXF_KIND_SOLID4, deSld4,
      MakeSolid4(sp, ly, co, px1, py1, px2, py2, px3, py3, px4, py4));
}

bool TDXFmodel::AddMoji(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                        int32_t bs, int32_t fl, double px1, double py1,
                        double px2, double py2, double pw, double ph,
                        double pd, double pa, std::u16string_view pf,
                        std::u16string_view ps) {
  const bool tate = (fl & 1) != 0;
  const bool syat = !tate && (fl & 2) != 0;  // vertical text is never slanted
  return AppendWithOrder(deNo, DXF_KIND_MOJI, deMoji,
                         MakeMoji(sp, ly, co, tp, bs, tate, syat, px1, py1,
                                  px2, py2, pw, ph, pd, pa, pf, ps));
}

bool TDXFmodel::AddVPort(int32_t sp, double psc, double pdx, double pdy,
                         double px, double py, double pw, double ph,
                         double pvx, double pvy, double pvh) {
  TDXF_ViewPort v;
  v.spc = sp;
  v.id = deVportN() + 1;
  v.sc = psc;
  v.dx = pdx;
  v.dy = pdy;
  v.cx = px;
  v.cy = py;
  v.w = pw;
  v.h = ph;
  v.vx = pvx;
  v.vy = pvy;
  v.vh = pvh;
  return AppendWithOrder(deNo, DXF_KIND_VPORT, deVport, v);
}

bool TDXFmodel::AddBlock(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                         int32_t wd, int32_t n, double px, double py, double pa,
                         double pbx, double pby) {
  return AppendWithOrder(deNo, DXF_KIND_BLOCK, deBlock,
                         MakeBlock(sp, ly, co, tp, wd, n, px, py, pa, pbx, pby));
}

// ---- Content of block definitions -------------------------------------------------

bool TDXFmodel::AddBlockLine(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                             int32_t tp, int32_t wd, double px1, double py1,
                             double px2, double py2) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  return b && AppendWithOrder(b->dmNo, DXF_KIND_LINE, b->dmLine,
                              MakeLine(sp, ly, co, tp, wd, px1, py1, px2, py2));
}

bool TDXFmodel::AddBlockArc(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                            int32_t tp, int32_t wd, double px, double py,
                            double pr, double ph, double ps, double pd,
                            double pk) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  // Inside a block only a sweep of 0 is the whole curve; 360 stays an arc
  // and an ellipse keeps its sweep as given.
  return b && AppendArc(TArcLists{b->dmNo, b->dmCirc, b->dmArc, b->dmElli},
                        MakeEllipse(sp, ly, co, tp, wd, px, py, pr, ph, ps, pd,
                                    pk),
                        std::fabs(pd) <= kEps);
}

bool TDXFmodel::AddBlockTen(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                            int32_t wd, int32_t cd, double px, double py,
                            double pa, double pb) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  return b && AppendWithOrder(b->dmNo, DXF_KIND_TEN, b->dmTen,
                              MakeTen(sp, ly, co, wd, cd, px, py, pa, pb));
}

bool TDXFmodel::AddBlockSolid3(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                               double px1, double py1, double px2, double py2,
                               double px3, double py3) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  return b && AppendWithOrder(
                  b->dmNo, DXF_KIND_SOLID3, b->dmSld3,
                  MakeSolid3(sp, ly, co, px1, py1, px2, py2, px3, py3));
}

bool TDXFmodel::AddBlockSolid4(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                               double px1, double py1, double px2, double py2,
                               double px3, double py3, double px4,
                               double py4) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  if (!b) return false;
  if (EqualPoint(px3, py3, px4, py4))
    return AddBlockSolid3(bn, sp, ly, co, px1, py1, px2, py2, px3, py3);
  return AppendWithOrder(
      b->dmNo, DXF_KIND_SOLID4, b->dmSld4,
      MakeSolid4(sp, ly, co, px1, py1, px2, py2, px3, py3, px4, py4));
}

bool TDXFmodel::AddBlockMoji(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                             int32_t tp, int32_t bs, int32_t fl, double px1,
                             double py1, double px2, double py2, double pw,
                             double ph, double pd, double pa,
                             std::u16string_view pf, std::u16string_view ps) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  // Unlike the model, a block keeps the slant of a vertical text.
  const bool tate = (fl & 1) != 0;
  const bool syat = (fl & 2) != 0;
  return b && AppendWithOrder(b->dmNo, DXF_KIND_MOJI, b->dmMoji,
                              MakeMoji(sp, ly, co, tp, bs, tate, syat, px1,
                                       py1, px2, py2, pw, ph, pd, pa, pf, ps));
}

bool TDXFmodel::AddBlockBlock(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                              int32_t tp, int32_t wd, int32_t n, double px,
                              double py, double pa, double pbx, double pby) {
  TDXF_BlockDef* b = DefAt(deBlockDef, bn);
  if (!b || !DefAt(deBlockDef, n)) return false;
  return AppendWithOrder(b->dmNo, DXF_KIND_BLOCK, b->dmBlock,
                         MakeBlock(sp, ly, co, tp, wd, n, px, py, pa, pbx, pby));
}

}  // namespace tessa
