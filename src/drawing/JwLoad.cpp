// The load of a drawing into a conversion context: reading, then the
// format's own steps (images, pens, line types, layers), the extents and
// the paper.  One table of formats serves the driver and every other caller.
#include "drawing/JwLoad.h"

#include <cmath>
#include <cstdint>
#include <functional>

#include "attributes/UnitGraAtt.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

namespace tessa {

namespace {

// Pen widths are stored in hundredths of a millimetre.
double PenWidthMm(int32_t w) { return w / 100.0; }

// Colour, width and point radius of one pen, from its screen or its printer
// values (plain and extended pens alike).
template <class T>
void SetPen(TgraAttribute& att, int32_t no, const T& c, bool screen) {
  const uint32_t col = static_cast<uint32_t>(screen ? c.aPenColor : c.aPrtPenColor);
  att.SetAttrCol(no, WinColorToColor(col), PenWidthMm(screen ? c.anPenWidth : c.anPrtPenWidth),
                 c.adPrtTenHankei);
}

// ---- Line types from a JWW drawing --------------------------------------
// The table is kept for completeness only; a bit pattern becomes its runs
// of set bits (dashes) and clear bits (gaps), one bit being one pitch.

void SetPatternLtype(TgraAttribute& att, int32_t no, int32_t bits, int32_t pitch, double amp) {
  const double unit = pitch > 0 ? pitch : 1;
  const uint32_t b = static_cast<uint32_t>(bits);
  att.SetAttrTypamp_(no, amp);
  if (b == 0 || b == 0xFFFFFFFFu) {  // solid (or nothing at all)
    att.SetAttrTypseg_(no, 0);
    att.SetAttrTypPit_(no);
    return;
  }
  double runs[32];
  int32_t n = 0;
  int len = 0;
  bool on = (b >> 31) & 1u;
  for (int i = 31; i >= 0; --i) {
    const bool bit = (b >> i) & 1u;
    if (bit != on) {
      runs[n++] = (on ? len : -len) * unit;
      len = 0;
      on = bit;
    }
    ++len;
  }
  runs[n++] = (on ? len : -len) * unit;
  att.SetAttrTypseg_(no, n);
  for (int32_t i = 0; i < n; ++i) att.SetAttrTyppa1_(no, i, runs[i]);
  att.SetAttrTypPit_(no);
}

// A user-defined SXF line type: its stored pitches, dashes and gaps in turn.
void SetUserLtype(TgraAttribute& att, int32_t no, const TEntJwwLineTypeExNo& t) {
  const int32_t maxSeg = static_cast<int32_t>(t.aadUDLTypePitch.size()) - 1;
  const int32_t n = t.anUDLTypeSegment < maxSeg ? t.anUDLTypeSegment : maxSeg;
  att.SetAttrTypamp_(no, 0.0);
  att.SetAttrTypseg_(no, n);
  for (int32_t j = 1; j <= n; ++j) {
    const double v = std::abs(t.aadUDLTypePitch[j]);
    att.SetAttrTyppa1_(no, j - 1, (j % 2 == 1) ? v : -v);
  }
  att.SetAttrTypPit_(no);
}

// ---- The format table ---------------------------------------------------------

template <class T>
T& As(TJwDrawing& jw) {
  return static_cast<T&>(jw);
}

void JwwSteps(TConvContext& ctx, TJwDrawing& d) {
  TJwwData& jw = As<TJwwData>(d);
  jw.BindImageExplode();
  JwwFileColorSet(ctx, jw);
  JwwFileLtypeSet(ctx, jw);
  jw.SetGAttLayer(ctx.GraAtt);
}

// JWS, JWC and JWK drawings carry no pens or line types of their own.
template <class T>
void DefaultSteps(TConvContext& ctx, TJwDrawing& d) {
  JwDefaultColorSet(ctx);
  JwDefaultLtypeSet(ctx);
  As<T>(d).SetGAttLayer(ctx.GraAtt);
}

std::unique_ptr<TJwDrawing> MakeJww() {
  auto jw = std::make_unique<TJwwData>();
  // The names of bound images are listed; no file is written.
  jw->BindImageExr = true;
  jw->BindImageExp = false;
  return jw;
}

template <class T>
std::unique_ptr<TJwDrawing> Make() {
  return std::make_unique<T>();
}

constexpr TJwFormatEntry kFormats[] = {
    {".jww", fmtJww, &MakeJww, &JwwSteps},
    {".jws", fmtJws, &Make<TJwsData>, &DefaultSteps<TJwsData>},
    {".jwc", fmtJwc, &Make<TJwcData>, &DefaultSteps<TJwcData>},
    {".jwk", fmtJwk, &Make<TJwkData>, &DefaultSteps<TJwkData>},
};

bool LoadAfterRead(TConvContext& ctx, TJwDrawing& jw, const std::string& name) {
  const TJwFormatEntry* f = JwFormatEntry(jw.Format());
  if (!f) return false;
  ctx.BeginDrawing();
  ctx.CurFileName = name;
  f->steps(ctx, jw);
  ctx.Place = jw.PaperPlacement(jw.GetMinMaxZahyo());
  return true;
}

}  // namespace

const TJwFormatEntry* JwFormatOfPath(const std::string& path) {
  const std::string ext = FileExtLower(path);
  for (const TJwFormatEntry& f : kFormats)
    if (ext == f.ext) return &f;
  return nullptr;
}

const TJwFormatEntry* JwFormatEntry(int format) {
  for (const TJwFormatEntry& f : kFormats)
    if (f.format == format) return &f;
  return nullptr;
}

std::unique_ptr<TJwDrawing> MakeJwDrawing(int format) {
  const TJwFormatEntry* f = JwFormatEntry(format);
  return f ? f->make() : nullptr;
}

bool LoadCheckedDrawing(TConvContext& ctx, TJwDrawing& jw, const std::string& path) {
  return jw.FileIn(path) && LoadAfterRead(ctx, jw, path);
}

bool LoadDrawing(TConvContext& ctx, TJwDrawing& jw, const std::string& path) {
  return jw.FileCheck(path) && LoadCheckedDrawing(ctx, jw, path);
}

bool LoadDrawingMem(TConvContext& ctx, TJwDrawing& jw, const uint8_t* data, size_t size,
                    const std::string& name) {
  if (!jw.FileCheckMem(data, size)) return false;
  return jw.FileInMem(data, size) && LoadAfterRead(ctx, jw, name);
}

bool BuildDxfModel(TConvContext& ctx, const TJwDrawing& jw) { return jw.BuildDxfModel(ctx); }

// ---- Attribute steps ------------------------------------------------------

void JwwFileColorSet(TConvContext& ctx, const TJwwData& JW) {
  if (JW.EntCol.empty()) return;
  TgraAttribute& att = ctx.GraAtt;
  const int32_t src = ctx.Opt.ColorSource;
  if (src == 1 || src == 2) {
    const bool screen = src == 1;
    for (int32_t j = 1; j <= 8 && j < static_cast<int32_t>(JW.EntCol.size()); ++j)
      SetPen(att, j, JW.EntCol[j], screen);
    for (int32_t i = 1; i <= 256 && i < static_cast<int32_t>(JW.EntColS.size()); ++i)
      SetPen(att, 100 + i, JW.EntColS[i], screen);
  }
  if (src <= 0) return;
  // The background decides between a dark and a light drawing.
  const TEntJwwColorNo& back = JW.EntCol[0];
  const uint32_t bg = static_cast<uint32_t>(src == 1 ? back.aPenColor : back.aPrtPenColor);
  const uint32_t r = bg & 0xFFu, g = (bg >> 8) & 0xFFu, b = (bg >> 16) & 0xFFu;
  if (r <= 20 && g <= 20 && b <= 20) {
    ctx.BackColorNo = 1;
    att.SetBackColor(1);
  } else if (r >= 235 && g >= 235 && b >= 235) {
    ctx.BackColorNo = 0;
    att.SetBackColor(0);
  }
}

void JwwFileLtypeSet(TConvContext& ctx, const TJwwData& JW) {
  if (JW.EntLtp1.empty()) return;
  TgraAttribute& att = ctx.GraAtt;
  int32_t no = 1;
  for (size_t i = 0; i < JW.EntLtp1.size() && i < 8; ++i, ++no)
    SetPatternLtype(att, no, JW.EntLtp1[i].alLType, JW.EntLtp1[i].anTokushuSenPich, 0.0);
  no = 9;
  for (size_t i = 0; i < JW.EntLtp2.size() && i < 5; ++i, ++no)
    SetPatternLtype(att, no, JW.EntLtp2[i].alLType, JW.EntLtp2[i].anTokushuSenPich,
                    JW.EntLtp2[i].anRandSenWide);
  no = 14;
  for (size_t i = 0; i < JW.EntLtp3.size() && i < 4; ++i, ++no)
    SetPatternLtype(att, no, JW.EntLtp3[i].alLType, JW.EntLtp3[i].anTokushuSenPich, 0.0);
  for (size_t j = 1; j < JW.EntLtpS.size() && j <= 32; ++j) {
    const TEntJwwLineTypeExNo& t = JW.EntLtpS[j];
    const int32_t entry = static_cast<int32_t>(17 + j);
    if (t.anUDLTypeSegment > 0)
      SetUserLtype(att, entry, t);
    else
      SetPatternLtype(att, entry, t.alLType, t.anTokushuSenPich, 0.0);
  }
}

void JwDefaultColorSet(TConvContext& ctx) {
  TgraAttribute& att = ctx.GraAtt;
  att.SetBackColor(att.GetBackColorNo());
  att.SetDefaultColor();
  att.SetDefaultWidth();
  att.SetDefaultTenR();
}

void JwDefaultLtypeSet(TConvContext& ctx) { ctx.GraAtt.SetDefaultLtype(); }

}  // namespace tessa
