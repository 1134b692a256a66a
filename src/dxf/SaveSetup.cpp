// Conversion set-up: palette, mappings, layer tally and the standard
// content of a fresh DXF model.
#include "dxf/SaveSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <string_view>

#include "dxf/SaveUnit.h"

namespace tessa {

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// AutoCAD Color Index 0..255.
constexpr Rgb kAci[256] = {
    {255, 255, 255}, {255, 0, 0}, {255, 255, 0}, {0, 255, 0},
    {0, 255, 255}, {0, 0, 255}, {255, 0, 255}, {0, 0, 0},
    {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {255, 127, 127},
    {165, 0, 0}, {165, 82, 82}, {127, 0, 0}, {127, 63, 63},
    {76, 0, 0}, {76, 38, 38}, {38, 0, 0}, {38, 19, 19},
    {255, 63, 0}, {255, 159, 127}, {165, 41, 0}, {165, 103, 82},
    {127, 31, 0}, {127, 79, 63}, {76, 19, 0}, {76, 47, 38},
    {38, 9, 0}, {38, 23, 19}, {255, 127, 0}, {255, 191, 127},
    {165, 82, 0}, {165, 124, 82}, {127, 63, 0}, {127, 95, 63},
    {76, 38, 0}, {76, 57, 38}, {38, 19, 0}, {38, 28, 19},
    {255, 191, 0}, {255, 223, 127}, {165, 124, 0}, {165, 145, 82},
    {127, 95, 0}, {127, 111, 63}, {76, 57, 0}, {76, 66, 38},
    {38, 28, 0}, {38, 33, 19}, {255, 255, 0}, {255, 255, 127},
    {165, 165, 0}, {165, 165, 82}, {127, 127, 0}, {127, 127, 63},
    {76, 76, 0}, {76, 76, 38}, {38, 38, 0}, {38, 38, 19},
    {191, 255, 0}, {223, 255, 127}, {124, 165, 0}, {145, 165, 82},
    {95, 127, 0}, {111, 127, 63}, {57, 76, 0}, {66, 76, 38},
    {28, 38, 0}, {33, 38, 19}, {127, 255, 0}, {191, 255, 127},
    {82, 165, 0}, {124, 165, 82}, {63, 127, 0}, {95, 127, 63},
    {38, 76, 0}, {57, 76, 38}, {19, 38, 0}, {28, 38, 19},
    {63, 255, 0}, {159, 255, 127}, {41, 165, 0}, {103, 165, 82},
    {31, 127, 0}, {79, 127, 63}, {19, 76, 0}, {47, 76, 38},
    {9, 38, 0}, {23, 38, 19}, {0, 255, 0}, {127, 255, 127},
    {0, 165, 0}, {82, 165, 82}, {0, 127, 0}, {63, 127, 63},
    {0, 76, 0}, {38, 76, 38}, {0, 38, 0}, {19, 38, 19},
    {0, 255, 63}, {127, 255, 159}, {0, 165, 41}, {82, 165, 103},
    {0, 127, 31}, {63, 127, 79}, {0, 76, 19}, {38, 76, 47},
    {0, 38, 9}, {19, 38, 23}, {0, 255, 127}, {127, 255, 191},
    {0, 165, 82}, {82, 165, 124}, {0, 127, 63}, {63, 127, 95},
    {0, 76, 38}, {38, 76, 57}, {0, 38, 19}, {19, 38, 28},
    {0, 255, 191}, {127, 255, 223}, {0, 165, 124}, {82, 165, 145},
    {0, 127, 95}, {63, 127, 111}, {0, 76, 57}, {38, 76, 66},
    {0, 38, 28}, {19, 38, 33}, {0, 255, 255}, {127, 255, 255},
    {0, 165, 165}, {82, 165, 165}, {0, 127, 127}, {63, 127, 127},
    {0, 76, 76}, {38, 76, 76}, {0, 38, 38}, {19, 38, 38},
    {0, 191, 255}, {127, 223, 255}, {0, 124, 165}, {82, 145, 165},
    {0, 95, 127}, {63, 111, 127}, {0, 57, 76}, {38, 66, 76},
    {0, 28, 38}, {19, 33, 38}, {0, 127, 255}, {127, 191, 255},
    {0, 82, 165}, {82, 124, 165}, {0, 63, 127}, {63, 95, 127},
    {0, 38, 76}, {38, 57, 76}, {0, 19, 38}, {19, 28, 38},
    {0, 63, 255}, {127, 159, 255}, {0, 41, 165}, {82, 103, 165},
    {0, 31, 127}, {63, 79, 127}, {0, 19, 76}, {38, 47, 76},
    {0, 9, 38}, {19, 23, 38}, {0, 0, 255}, {127, 127, 255},
    {0, 0, 165}, {82, 82, 165}, {0, 0, 127}, {63, 63, 127},
    {0, 0, 76}, {38, 38, 76}, {0, 0, 38}, {19, 19, 38},
    {63, 0, 255}, {159, 127, 255}, {41, 0, 165}, {103, 82, 165},
    {31, 0, 127}, {79, 63, 127}, {19, 0, 76}, {47, 38, 76},
    {9, 0, 38}, {23, 19, 38}, {127, 0, 255}, {191, 127, 255},
    {82, 0, 165}, {124, 82, 165}, {63, 0, 127}, {95, 63, 127},
    {38, 0, 76}, {57, 38, 76}, {19, 0, 38}, {28, 19, 38},
    {191, 0, 255}, {223, 127, 255}, {124, 0, 165}, {145, 82, 165},
    {95, 0, 127}, {111, 63, 127}, {57, 0, 76}, {66, 38, 76},
    {28, 0, 38}, {33, 19, 38}, {255, 0, 255}, {255, 127, 255},
    {165, 0, 165}, {165, 82, 165}, {127, 0, 127}, {127, 63, 127},
    {76, 0, 76}, {76, 38, 76}, {38, 0, 38}, {38, 19, 38},
    {255, 0, 191}, {255, 127, 223}, {165, 0, 124}, {165, 82, 145},
    {127, 0, 95}, {127, 63, 111}, {76, 0, 57}, {76, 38, 66},
    {38, 0, 28}, {38, 19, 33}, {255, 0, 127}, {255, 127, 191},
    {165, 0, 82}, {165, 82, 124}, {127, 0, 63}, {127, 63, 95},
    {76, 0, 38}, {76, 38, 57}, {38, 0, 19}, {38, 19, 28},
    {255, 0, 63}, {255, 127, 159}, {165, 0, 41}, {165, 82, 103},
    {127, 0, 31}, {127, 63, 79}, {76, 0, 19}, {76, 38, 47},
    {38, 0, 9}, {38, 19, 23}, {0, 0, 0}, {45, 45, 45},
    {91, 91, 91}, {137, 137, 137}, {183, 183, 183}, {179, 179, 179},
};

constexpr uint32_t Opaque(const Rgb& c) {
  return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) |
         uint32_t{c.b};
}

struct LtypeDef {
  std::u16string_view name;
  std::u16string_view desc;
  std::vector<double> pattern;
};

const LtypeDef kDefaultLtypes[] = {
    {u"Continuous", u"Solid line", {}},  // 1
    {u"DOT", u"Dot . . . . . . . . . . . . . . . . . . . . . . . .", {0, -6.35}},  // 2
    {u"DASHED", u"Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ _", {12.7, -6.35}},  // 3
    {u"DASHED2", u"Dashed (.5x) _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _", {6.35, -3.175}},  // 4
    {u"CENTER", u"Center ____ _ ____ _ ____ _ ____ _ ____ _ ____", {31.75, -6.35, 6.35, -6.35}},  // 5
    {u"CENTER2", u"Center (.5x) ___ _ ___ _ ___ _ ___ _ ___ _ ___", {19.05, -3.175, 3.175, -3.175}},  // 6
    {u"PHANTOM", u"Phantom ______  __  __  ______  __  __  ______", {31.75, -6.35, 6.35, -6.35, 6.35, -6.35}},  // 7
    {u"PHANTOM2", u"Phantom (.5x) ___ _ _ ___ _ _ ___ _ _ ___ _ _", {15.875, -3.175, 3.175, -3.175, 3.175, -3.175}},  // 8
    {u"DOT2", u"Dot (.5x) ...................................", {0, -3.175}},  // 9
    {u"RAND1", u"ランダム線1", {1, -2, 3, -4}},  // 10
    {u"RAND2", u"ランダム線2", {2, -3, 4, -5}},  // 11
    {u"RAND3", u"ランダム線3", {3, -4, 5, -6}},  // 12
    {u"RAND4", u"ランダム線4", {4, -5, 6, -7}},  // 13
    {u"RAND5", u"ランダム線5", {5, -6, 7, -8}},  // 14
    {u"CENTERX2", u"Center (2x) ________  __  ________  __  _____", {63.5, -12.7, 12.7, -12.7}},  // 15
    {u"PHANTOMX2", u"Phantom (2x) ____________    ____    ____   _", {63.5, -12.7, 12.7, -12.7, 12.7, -12.7}},  // 16
    {u"DASHEDX2", u"Dashed (2x) ____  ____  ____  ____  ____  ___", {25.4, -12.7}},  // 17
    {u"DASHEDX4", u"Dashed (4x) ________  ________  _______  ____", {50.8, -12.7}},  // 18
};

const LtypeDef kSxfLtypes[] = {
    {u"SXF_破線", u"02 dashed -- -- -- -- -- --", {6, -1.5}},  // 19
    {u"SXF_跳び破線", u"03 dashed_spaced --  --  --  --", {6, -6}},  // 20
    {u"SXF_一点長鎖線", u"04 long_dashed_dotted ---- . ---- . ----", {12, -1.5, 0.25, -1.5}},  // 21
    {u"SXF_二点長鎖線", u"05 long_dashed_double-dotted ---- . . ----", {12, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 22
    {u"SXF_三点長鎖線", u"06 long_dashed_triplicate-dotted ---- ... ----", {12, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 23
    {u"SXF_点線", u"07 dotted . . . . . . . . . . . .", {0.25, -1.5}},  // 24
    {u"SXF_一点鎖線", u"08 chain ---- - --- - --- - ---", {12, -1.5, 3.5, -1.5}},  // 25
    {u"SXF_二点鎖線", u"09 chain_double_dash ---- - - ---- - - ----", {12, -1.5, 3.5, -1.5, 3.5, -1.5}},  // 26
    {u"SXF_一点短鎖線", u"10 dashed_dotted -- . -- . -- . --", {6, -1.5, 0.25, -1.5}},  // 27
    {u"SXF_一点二短鎖線", u"11 double-dashed_dotted -- -- . -- --", {6, -1.5, 6, -1.5, 0.25, -1.5}},  // 28
    {u"SXF_二点短鎖線", u"12 dashed_double_dotted -- . . -- . . --", {6, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 29
    {u"SXF_二点二短鎖線", u"13 double-dashed_double-dotted -- -- . . -- --", {6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 30
    {u"SXF_三点短鎖線", u"14 dashed triplicate-dotted -- . . . -- . . . --", {6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 31
    {u"SXF_三点二短鎖線", u"15 double-dashed triplicate-dotted -- -- . . . -- --", {6, -1.5, 6, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}},  // 32
};

void AddLtypes(TDXFmodel& m, const LtypeDef* defs, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const LtypeDef& d = defs[i];
    m.AddLtype(d.name, d.desc, static_cast<int32_t>(d.pattern.size()),
                       d.pattern);
  }
}

// Counter k of n gets one more count, when it exists.  The counters are
// made on the first count: most of the 256 slots never get one, and an
// empty tally reads as all zeros.
void Bump(std::vector<int32_t>& counters, int32_t n, int32_t k) {
  if (k < 0 || k >= n) return;
  if (counters.empty()) counters.assign(static_cast<size_t>(n), 0);
  ++counters[static_cast<size_t>(k)];
}

void FindMax(const std::vector<int32_t>& counters, int32_t n, int32_t& best,
             int32_t& bestIdx) {
  best = 0;
  bestIdx = -1;
  const int32_t limit = std::min<int32_t>(n, static_cast<int32_t>(counters.size()));
  for (int32_t k = 0; k < limit; ++k) {
    if (best < counters[k]) {
      best = counters[k];
      bestIdx = k;
    }
  }
}

void InitSlots(std::vector<TJwLayerCount_Work>& cn, int32_t coln,
               int32_t ltpn) {
  for (auto& w : cn) {
    w.coln = coln;
    w.col.clear();
    w.ltpn = ltpn;
    w.ltp.clear();
    w.colmax = w.ltpmax = 0;
    w.colman = w.ltpman = -1;
  }
}

constexpr std::array<uint32_t, 256> OpaquePalette() {
  std::array<uint32_t, 256> t{};
  for (size_t i = 0; i < t.size(); ++i) t[i] = Opaque(kAci[i]);
  return t;
}

}  // namespace

// ---- Palette and mappings -------------------------------------------------

// Built once, at compile time: every conversion reads it, none writes it.
constexpr std::array<uint32_t, 256> DXFColorTable = OpaquePalette();

int32_t ColorToDXFColor(uint32_t c) {
  // The palette is opaque, so an exact entry is the first at distance 0
  // and "first exact entry, else first nearest" is the first nearest.  The
  // distances in one pass without branches, then the first smallest: the
  // compiler does each for several entries at once, which matters for
  // drawings full of colours of their own.
  const int32_t R = (c >> 16) & 0xFF, G = (c >> 8) & 0xFF, B = c & 0xFF;
  const int32_t R2 = R * R, G2 = G * G, B2 = B * B;
  int32_t dist[256];
  int32_t least = INT32_MAX;
  for (int32_t i = 0; i < 256; ++i) {
    const uint32_t e = DXFColorTable[i];
    const int32_t Ri = (e >> 16) & 0xFF, Gi = (e >> 8) & 0xFF, Bi = e & 0xFF;
    dist[i] = std::abs(R2 - Ri * Ri) + std::abs(G2 - Gi * Gi) + std::abs(B2 - Bi * Bi);
    least = std::min(least, dist[i]);
  }
  int32_t best = 0;
  while (dist[best] != least) ++best;
  return best == 0 ? 7 : best;
}

int32_t JwcColorToDXFColor(int32_t c) {
  switch (c) {
    case 1: return 4;
    case 2: return 7;
    case 3: return 3;
    case 4: return 2;
    case 5: return 6;
    case 6: return 5;
    default: return 7;
  }
}

int32_t JwcLtypeToDXFLtype(int32_t t) {
  if (t >= 1 && t <= 9) return t;
  if (t >= 11 && t <= 18) return t - 1;
  return 1;
}

int32_t JwwLtypeToDXFLtype(int32_t t) {
  if (t >= 1 && t <= 9) return t;
  if (t >= 11 && t <= 19) return t - 1;
  if (t >= 31 && t <= 45) return t - 12;
  if (t >= 47 && t <= 62) return t - 13;
  return 1;
}

int32_t PenWidthToLineWeight(int32_t w) {
  struct Step {
    int32_t upTo, weight;
  };
  static constexpr Step kSteps[] = {
      {7, 5},     {11, 9},    {14, 13},   {16, 15},   {19, 18},   {22, 20},
      {27, 25},   {32, 30},   {37, 35},   {45, 40},   {51, 50},   {56, 53},
      {65, 60},   {75, 70},   {85, 80},   {95, 90},   {103, 100}, {113, 106},
      {130, 120}, {149, 140}, {179, 158}, {205, 200},
  };
  if (w == 0) return 0;
  for (const Step& s : kSteps) {
    if (w <= s.upTo) return s.weight;
  }
  return 211;
}

// ---- Layer tally ------------------------------------------------------------

TJwLayerCount::TJwLayerCount() : cn(256) {}

void TJwLayerCount::JWC_Init() { InitSlots(cn, 7, 17); }

void TJwLayerCount::JWW_Init() { InitSlots(cn, 265, 49); }

void TJwLayerCount::JWC_CountUp(int32_t ly, int32_t co, int32_t lt) {
  if (ly < 0 || ly > 255) return;
  TJwLayerCount_Work& w = cn[ly];
  Bump(w.col, w.coln, JwcColorToDXFColor(co) - 1);
  if (lt >= 0) Bump(w.ltp, w.ltpn, JwcLtypeToDXFLtype(lt) - 1);
}

void TJwLayerCount::JWW_CountUp(int32_t lg, int32_t ly, uint32_t co,
                                int32_t lt) {
  if (lg < 0 || lg > 15 || ly < 0 || ly > 15) return;
  TJwLayerCount_Work& w = cn[lg * 16 + ly];
  Bump(w.col, w.coln, colour_(co) - 1);
  if (lt >= 0) {
    int32_t idx = JwwLtypeToDXFLtype(lt);
    if (idx == 49) idx = 1;  // names no line type of the drawing
    Bump(w.ltp, w.ltpn, idx - 1);
  }
}

void TJwLayerCount::CaluMax() {
  for (auto& w : cn) {
    FindMax(w.col, w.coln, w.colmax, w.colman);
    FindMax(w.ltp, w.ltpn, w.ltpmax, w.ltpman);
  }
}

int32_t TJwLayerCount::LayerColor(int32_t slot) const {
  if (slot < 0 || slot > 255 || cn[slot].colman < 0) return 7;
  return cn[slot].colman + 1;
}

int32_t TJwLayerCount::LayerLtype(int32_t slot) const {
  if (slot < 0 || slot > 255 || cn[slot].ltpman < 0) return 1;
  return cn[slot].ltpman + 1;
}

// ---- Model life -------------------------------------------------------------

void DXFModelCreate(std::unique_ptr<TDXFmodel>& m) {
  DXFModelFree(m);
  m = std::make_unique<TDXFmodel>();
}

void DXFModelFree(std::unique_ptr<TDXFmodel>& m) { m.reset(); }

// ---- Standard content ---------------------------------------------------------

void AddDefaultLtypes(TDXFmodel& m) {
  AddLtypes(m, kDefaultLtypes, std::size(kDefaultLtypes));
}

void AddSxfLtypes(TDXFmodel& m) { AddLtypes(m, kSxfLtypes, std::size(kSxfLtypes)); }

void AddDefaultLayers(TDXFmodel& m) {
  m.AddLayer(u"0", 7, 1, 0, true, true);
  m.AddLayer(u"DEFPOINTS", 7, 1, 0, true, false);
  m.AddLayer(u"HOJO", 6, 9, 0, true, false);
  m.AddLayer(u"VP", 7, 1, 0, false, false);
}

void AddDefaultStyles(TDXFmodel& m) {
  m.AddStyle(u"Standard", u"txt", u"extfont2.shx", 0, 1.0, 0, 2.5,
                     false);
  m.AddStyle(u"Annotative", u"txt.shx", u"extfont2.shx", 0, 1.0, 0,
                     2.5, false);
}

void AddTenBlock(TDXFmodel& model) {
  TDXFmodel* m = &model;
  if (m->tentyp < 2 || m->tentyp > 6) return;
  m->tenidx = m->AddBlockDef(u"_TRANS_TEN", -1);
  const int32_t bn = m->tenidx;
  if (bn < 0) return;
  const double r = m->tenrad;
  auto circle = [&](double radius) {
    m->AddBlockArc(bn, 0, 0, -1, -1, -1, 0, 0, radius, 1.0, 0, 0, 0);
  };
  auto line = [&](double x1, double y1, double x2, double y2) {
    m->AddBlockLine(bn, 0, 0, -1, -1, -1, x1, y1, x2, y2);
  };
  auto solid = [&](double x1, double y1, double x2, double y2, double x3,
                   double y3, double x4, double y4) {
    m->AddBlockSolid4(bn, 0, 0, -1, x1, y1, x2, y2, x3, y3, x4, y4);
  };
  switch (m->tentyp) {
    case 2:
      circle(r);
      circle(r / 2);
      break;
    case 3:
      circle(r);
      line(-r, 0, r, 0);
      line(0, r, 0, -r);
      break;
    case 4:
      line(r, 0, 0, r);
      line(0, r, -r, 0);
      line(-r, 0, 0, -r);
      line(0, -r, r, 0);
      break;
    case 5:
      solid(r, 0, 0, r, -r, 0, 0, -r);
      break;
    case 6: {
      // Corner k of the four quarter fans, at k * 45 degrees; computed in
      // extended precision and rounded once.
      double cx[8], cy[8];
      for (int k = 1; k < 8; k += 2) {
        const long double a =
            static_cast<long double>(k) * std::numbers::pi_v<long double> / 4;
        cx[k] = static_cast<double>(static_cast<long double>(r) * cosl(a));
        cy[k] = static_cast<double>(static_cast<long double>(r) * sinl(a));
      }
      solid(0, 0, r, 0, cx[1], cy[1], 0, r);
      solid(0, 0, 0, r, cx[3], cy[3], -r, 0);
      solid(0, 0, -r, 0, cx[5], cy[5], 0, -r);
      solid(0, 0, 0, -r, cx[7], cy[7], r, 0);
      break;
    }
    default:
      break;
  }
}

}  // namespace tessa
