#include "attributes/UnitGraAtt.h"

#include <cmath>

#include "util/Func_2.h"

namespace tessa {

namespace {

uint32_t White() { return RGBToColor(255, 255, 255); }
uint32_t Black() { return RGBToColor(0, 0, 0); }

struct Rgb {
  uint8_t r, g, b;
};

// Default colours of pen entries 0..24 (pens 1..9, SXF colours 1..16)
// on a light and on a dark background.
constexpr Rgb kLightPens[25] = {
    {0, 192, 192},   {0, 0, 0},       {0, 192, 0},     {192, 192, 0},
    {192, 0, 192},   {0, 0, 255},     {0, 128, 128},   {255, 0, 128},
    {255, 128, 255}, {0, 0, 0},       {255, 0, 0},     {0, 255, 0},
    {0, 0, 255},     {255, 255, 0},   {255, 0, 255},   {0, 255, 255},
    {0, 0, 0},       {192, 0, 128},   {192, 128, 64},  {255, 128, 0},
    {128, 192, 128}, {0, 128, 255},   {128, 64, 255},  {192, 192, 192},
    {128, 128, 128}};
constexpr Rgb kDarkPens[25] = {
    {0, 255, 255},   {255, 255, 255}, {0, 255, 0},     {255, 255, 0},
    {192, 0, 192},   {32, 32, 255},   {0, 128, 128},   {160, 0, 0},
    {192, 128, 128}, {255, 255, 255}, {255, 0, 0},     {0, 255, 0},
    {0, 0, 255},     {255, 255, 0},   {255, 0, 255},   {0, 255, 255},
    {255, 255, 255}, {192, 0, 128},   {192, 128, 64},  {255, 128, 0},
    {128, 192, 128}, {0, 128, 255},   {128, 64, 255},  {192, 192, 192},
    {128, 128, 128}};

// "[G] " and "(L) ", the start of every layer's group and layer name,
// made once: every drawing container sets all 256 of them when it is reset.
struct TLayerPrefixes {
  std::u16string group[16], layer[16];
  TLayerPrefixes() {
    for (int32_t v = 0; v < 16; ++v) {
      const char16_t digit = u"0123456789ABCDEF"[v];
      group[v] = std::u16string(u"[") + digit + u"] ";
      layer[v] = std::u16string(u"(") + digit + u") ";
    }
  }
};

const TLayerPrefixes& Prefixes() {
  static const TLayerPrefixes p;
  return p;
}

const std::u16string& GroupPrefix(int32_t n) { return Prefixes().group[(n / 16) & 15]; }

const std::u16string& LayerPrefix(int32_t n) { return Prefixes().layer[n % 16]; }

}  // namespace

TgraAttribute::TgraAttribute() {
  jwvLayN = kLayerCount;
  jwvColN = kColorCount;
  jwvTypN = kLtypeCount;
  jwvLay.resize(jwvLayN);
  jwvCol.resize(jwvColN);
  jwvTyp.resize(jwvTypN);
  DataInit();
}

TgraAttribute::~TgraAttribute() {
  jwvLayN = 0;
  jwvColN = 0;
  jwvTypN = 0;
  jwvLay.clear();
  jwvCol.clear();
  jwvTyp.clear();
}

void TgraAttribute::DataInit() {
  DispMode = false;
  PrintMode = false;
  Sikii0 = Sikii1 = Sikii2 = -1;
  BkColor = 0;
  BackColor = White();
  ForeColor = Black();
  GrayColor = RGBToColor(128, 128, 128);
  All1ColorFlag = false;
  All1Color = White();
  SetDefaultLayer();
  SetDefaultColor();
  SetDefaultWidth();
  SetDefaultTenR();
  SetDefaultLtype();
}

int32_t TgraAttribute::AttrColIndex(int32_t n) {
  if (n >= 1 && n <= 9) return n - 1;
  if (n >= 101 && n <= 356) return n - 101 + 9;
  return -1;
}

void TgraAttribute::SetBackColor(int32_t n) {
  if (n == 0) {
    BkColor = 0;
    BackColor = White();
    ForeColor = Black();
  } else if (n == 1) {
    BkColor = 1;
    BackColor = Black();
    ForeColor = White();
  }
}

void TgraAttribute::SetDefaultColor() {
  for (int32_t i = 0; i < jwvColN; ++i) jwvCol[i].color = ForeColor;
  const Rgb* table = BkColor == 1 ? kDarkPens : kLightPens;
  for (int32_t i = 0; i < 25 && i < jwvColN; ++i)
    jwvCol[i].color = RGBToColor(table[i].r, table[i].g, table[i].b);
}

void TgraAttribute::SetDefaultTenR() {
  for (int32_t i = 0; i < jwvColN; ++i) jwvCol[i].ten_r = 0.2;
  constexpr double kPens[9] = {0.2, 0.3, 0.4, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2};
  for (int32_t i = 0; i < 9 && i < jwvColN; ++i) jwvCol[i].ten_r = kPens[i];
}

// Pen widths are kept for completeness only; nothing reads them, so every
// pen starts as a hairline.
void TgraAttribute::SetDefaultWidth() {
  for (int32_t i = 0; i < jwvColN; ++i) jwvCol[i].width = 0.0;
}

// Line types are kept for completeness only; every entry starts solid.
void TgraAttribute::SetDefaultLtype() {
  for (int32_t i = 0; i < jwvTypN; ++i) jwvTyp[i] = TjwvLtype{};
}

void TgraAttribute::SetDefaultLayer() {
  for (int32_t i = 0; i < jwvLayN; ++i) {
    jwvLay[i].sta = 1;
    jwvLay[i].sca = 1.0;
    jwvLay[i].gna = GroupPrefix(i);
    jwvLay[i].nam = LayerPrefix(i);
  }
}

void TgraAttribute::SetAttrLayer(int32_t n, int32_t st, double sc,
                                 const std::u16string& glayname,
                                 const std::u16string& layname) {
  if (n < 0 || n >= jwvLayN) return;
  SetAttrLayer(n, st, sc);
  jwvLay[n].gna = GroupPrefix(n) + glayname;
  jwvLay[n].nam = LayerPrefix(n) + layname;
}

void TgraAttribute::SetAttrLayer(int32_t n, int32_t st, double sc) {
  if (n < 0 || n >= jwvLayN) return;
  jwvLay[n].sta = (st >= 1 && st <= 3) ? st : 1;
  // Written so that a NaN scale also becomes 1.
  jwvLay[n].sca = sc > 0.0 ? sc : 1.0;
}

void TgraAttribute::SetAttrCol(int32_t jn, uint32_t col, double wid,
                               double ten) {
  const int32_t i = AttrColIndex(jn);
  if (i < 0 || i >= jwvColN) return;
  jwvCol[i].color = col;
  jwvCol[i].width = wid;
  jwvCol[i].ten_r = ten;
}

uint32_t TgraAttribute::GetAttrColcol(int32_t jn) const {
  const int32_t i = AttrColIndex(jn);
  if (i < 0 || i >= jwvColN) return BackColor;
  return jwvCol[i].color;
}

double TgraAttribute::GetAttrColten(int32_t jn) const {
  const int32_t i = AttrColIndex(jn);
  if (i < 0 || i >= jwvColN) return 0.1;
  return jwvCol[i].ten_r;
}

TjwvLtype* TgraAttribute::Ltype(int32_t no) {
  if (no < 0 || no >= jwvTypN) return nullptr;
  return &jwvTyp[no];
}

void TgraAttribute::SetAttrTypseg_(int32_t no, int32_t seg) {
  if (TjwvLtype* t = Ltype(no))
    t->seg = seg < 0 ? 0 : (seg > TjwvLtype::kMaxSeg ? TjwvLtype::kMaxSeg : seg);
}

void TgraAttribute::SetAttrTypamp_(int32_t no, double amp) {
  if (TjwvLtype* t = Ltype(no)) t->amp = amp;
}

void TgraAttribute::SetAttrTyppa1_(int32_t no, int32_t i, double v) {
  TjwvLtype* t = Ltype(no);
  if (t && i >= 0 && i < t->seg) t->pa[i] = v;
}

void TgraAttribute::SetAttrTypPit_(int32_t no) {
  TjwvLtype* t = Ltype(no);
  if (!t) return;
  double sum = 0.0;
  for (int32_t i = 0; i < t->seg; ++i) sum += std::fabs(t->pa[i]);
  t->pit = sum;
}

}  // namespace tessa
