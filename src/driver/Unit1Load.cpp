// Containers, attribute tables and the load pipelines of the driver: one
// pipeline per format checks and reads the file, records its name, brings
// the attribute tables in line with the drawing, computes the extents and
// fixes the paper size.
#include <cmath>
#include <cstdint>
#include <memory>

#include "attributes/UnitGraAtt.h"
#include "driver/Unit1.h"
#include "drawing/JwPaperSize.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {

namespace {

// The paper of a drawing's paper size code; a code without one gives A0.
void SetPaperFromCode(int32_t code) {
  TJwPaper p;
  if (!JwPaperOfCode(code, p)) JwPaperOfCode(0, p);
  PaperX = p.x;
  PaperY = p.y;
}

// Symbols carry no paper: the paper is the drawing's extent.
void SetPaperFromExtents() {
  PaperX = std::abs(ExtMaxX - ExtMinX);
  PaperY = std::abs(ExtMaxY - ExtMinY);
}

// The common shape of the four pipelines.  Nothing changes when the file
// is not one of the format; after a failed read the name, attribute
// tables, extents and paper keep their earlier values.
template <class TData, class TSteps>
bool LoadPipeline(TForm1& f, TData* c, const std::string& fn, TSteps steps) {
  if (!c || !c->FileCheck(fn)) return false;
  if (f.JWW1) f.JwwDataFree(*f.JWW1);
  if (f.JWS) {
    f.JWS->DataFree();
    f.JWS->BindImageInit();
  }
  if (f.JWC) f.JWC->DataFree();
  if (f.JWK) f.JWK->DataFree();
  if (!c->FileIn(fn)) return false;
  CurFileName = fn;
  steps();
  return true;
}

// JWC drawings and JWK symbols share their attribute steps; only where the
// paper comes from differs.
template <class TData, class TPaperStep>
bool LoadJwcKind(TForm1& f, TData* c, const std::string& fn, TPaperStep paper) {
  return LoadPipeline(f, c, fn, [&] {
    f.JwcFileColorSet();
    f.JwcFileLtypeSet();
    c->SetGAttLayer();
    c->GetMinMaxZahyo();
    paper(*c);
  });
}

// Pen widths are stored in hundredths of a millimetre.
double PenWidthMm(int32_t w) { return w / 100.0; }

// ---- Line types from a JWW drawing --------------------------------------
// The table is kept for completeness only; a bit pattern becomes its runs
// of set bits (dashes) and clear bits (gaps), one bit being one pitch.

void SetPatternLtype(int32_t no, int32_t bits, int32_t pitch, double amp) {
  const double unit = pitch > 0 ? pitch : 1;
  const uint32_t b = static_cast<uint32_t>(bits);
  GraAtt->SetAttrTypamp_(no, amp);
  if (b == 0 || b == 0xFFFFFFFFu) {  // solid (or nothing at all)
    GraAtt->SetAttrTypseg_(no, 0);
    GraAtt->SetAttrTypPit_(no);
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
  GraAtt->SetAttrTypseg_(no, n);
  for (int32_t i = 0; i < n; ++i) GraAtt->SetAttrTyppa1_(no, i, runs[i]);
  GraAtt->SetAttrTypPit_(no);
}

// A user-defined SXF line type: its stored pitches, dashes and gaps in turn.
void SetUserLtype(int32_t no, const TEntJwwLineTypeExNo& t) {
  const int32_t maxSeg = static_cast<int32_t>(t.aadUDLTypePitch.size()) - 1;
  const int32_t n = t.anUDLTypeSegment < maxSeg ? t.anUDLTypeSegment : maxSeg;
  GraAtt->SetAttrTypamp_(no, 0.0);
  GraAtt->SetAttrTypseg_(no, n);
  for (int32_t j = 1; j <= n; ++j) {
    const double v = std::abs(t.aadUDLTypePitch[j]);
    GraAtt->SetAttrTyppa1_(no, j - 1, (j % 2 == 1) ? v : -v);
  }
  GraAtt->SetAttrTypPit_(no);
}

void RestoreDefaultColours() {
  if (!GraAtt) return;
  GraAtt->SetBackColor(GraAtt->GetBackColorNo());
  GraAtt->SetDefaultColor();
  GraAtt->SetDefaultWidth();
  GraAtt->SetDefaultTenR();
}

void RestoreDefaultLtypes() {
  if (GraAtt) GraAtt->SetDefaultLtype();
}

}  // namespace

// Defined here, where the container types are complete.
TForm1::TForm1() = default;
TForm1::~TForm1() = default;

void TForm1::JwInit() {
  JwcUnitInit();
  BackColorNo = 0;
  // Wraps like the original's unchecked integer arithmetic.
  ColorSource = static_cast<int32_t>(static_cast<uint32_t>(cb3) + 1u);

  JWW1 = std::make_unique<TJwwData>();
  JWC = std::make_unique<TJwcData>();
  JWK = std::make_unique<TJwkData>();
  JWS = std::make_unique<TJwsData>();

  delete GraAtt;
  GraAtt = new TgraAttribute();
  GraAtt->SetDisplayMode(true);
  GraAtt->SetBackColor(BackColorNo);
  GraAtt->SetDefaultColor();
  GraAtt->SetDefaultLayer();
  GraAtt->SetDefaultWidth();
  GraAtt->SetDefaultTenR();
  GraAtt->SetDefaultLtype();
  GraAtt->SetDispHojo(1);
  GraAtt->SetDispKijun(1);
  GraAtt->SetGrayColor(RGBToColor(128, 128, 128));
  GraAtt->SetAll1Color(false);

  CurFileName.clear();

  std::string folder = AppDir + "TEMP";
  if (!IsFolder(folder)) MakeFolder(folder);  // a failure shows per image
  folder += PathDelim();
  JWW1->BindImageExp = true;
  JWW1->BindImageExr = true;
  JWW1->BindImageFolder = folder;
  JWS->BindImageFolder = folder;
  JWS->BindImageExp = false;
  JWS->BindImageExr = false;
}

void TForm1::JwFine() {
  delete GraAtt;
  GraAtt = nullptr;
  if (JWW1) {
    JwwDataFree(*JWW1);
    // Only an empty folder goes; one that still holds files stays.
    if (!JWW1->BindImageFolder.empty()) DelFolder(JWW1->BindImageFolder);
  }
  JWW1.reset();
  JWC.reset();
  JWK.reset();
  JWS.reset();
}

void TForm1::JwwDataFree(TJwwData& JW) {
  JW.BindImageDeleteGzFile();
  JW.BindImageDeleteNonGzFile();
  JW.DataFree();
  JW.BindImageInit();
}

bool TForm1::proc2(const std::string& fn) {
  TJwwData* jw = JWW1.get();
  return LoadPipeline(*this, jw, fn, [&] {
    jw->BindImageExplode();
    JwwFileColorSet(*jw);
    JwwFileLtypeSet(*jw);
    jw->SetGAttLayer();
    jw->GetMinMaxZahyo();
    SetPaperFromCode(jw->Enthd.nZumen);
  });
}

bool TForm1::proc3(const std::string& fn) {
  TJwsData* js = JWS.get();
  return LoadPipeline(*this, js, fn, [&] {
    JwsFileColorSet();
    JwsFileLtypeSet();
    js->SetGAttLayer();
    js->GetMinMaxZahyo();
    SetPaperFromExtents();
  });
}

bool TForm1::proc4(const std::string& fn) {
  return LoadJwcKind(*this, JWC.get(), fn,
                     [](const TJwcData& jc) { SetPaperFromCode(jc.Enthd.psize); });
}

bool TForm1::proc5(const std::string& fn) {
  return LoadJwcKind(*this, JWK.get(), fn, [](const TJwkData&) { SetPaperFromExtents(); });
}

bool TForm1::ConvertLoaded(int format, const std::string& dst) {
  switch (format) {
    case fmtJww: return JWW1 && JWW1->FileOutDXF(dst, cb2);
    case fmtJws: return JWS && JWS->FileOutDXF(dst, cb2);
    case fmtJwc: return JWC && JWC->FileOutDXF(dst, cb2);
    case fmtJwk: return JWK && JWK->FileOutDXF(dst, cb2);
    default: return false;
  }
}

// ---- Attribute steps ------------------------------------------------------

void TForm1::JwwFileColorSet(TJwwData& JW) {
  if (JW.EntCol.empty() || !GraAtt) return;
  const int32_t src = ColorSource;
  if (src == 1 || src == 2) {
    const bool screen = src == 1;
    for (int32_t j = 1; j <= 8 && j < static_cast<int32_t>(JW.EntCol.size()); ++j) {
      const TEntJwwColorNo& c = JW.EntCol[j];
      GraAtt->SetAttrCol(j, WinColorToColor(static_cast<uint32_t>(screen ? c.aPenColor : c.aPrtPenColor)),
                         PenWidthMm(screen ? c.anPenWidth : c.anPrtPenWidth), c.adPrtTenHankei);
    }
    for (int32_t i = 1; i <= 256 && i < static_cast<int32_t>(JW.EntColS.size()); ++i) {
      const TEntJwwColorExNo& c = JW.EntColS[i];
      GraAtt->SetAttrCol(100 + i, WinColorToColor(static_cast<uint32_t>(screen ? c.aPenColor : c.aPrtPenColor)),
                         PenWidthMm(screen ? c.anPenWidth : c.anPrtPenWidth), c.adPrtTenHankei);
    }
  }
  if (src <= 0) return;
  // The background decides between a dark and a light drawing.
  const uint32_t bg = static_cast<uint32_t>(src == 1 ? JW.EntCol[0].aPenColor : JW.EntCol[0].aPrtPenColor);
  const uint32_t r = bg & 0xFFu, g = (bg >> 8) & 0xFFu, b = (bg >> 16) & 0xFFu;
  if (r <= 20 && g <= 20 && b <= 20) {
    BackColorNo = 1;
    GraAtt->SetBackColor(1);
  } else if (r >= 235 && g >= 235 && b >= 235) {
    BackColorNo = 0;
    GraAtt->SetBackColor(0);
  }
}

void TForm1::JwsFileColorSet() { RestoreDefaultColours(); }
void TForm1::JwcFileColorSet() { RestoreDefaultColours(); }

void TForm1::JwwFileLtypeSet(TJwwData& JW) {
  if (JW.EntLtp1.empty() || !GraAtt) return;
  int32_t no = 1;
  for (size_t i = 0; i < JW.EntLtp1.size() && i < 8; ++i, ++no)
    SetPatternLtype(no, JW.EntLtp1[i].alLType, JW.EntLtp1[i].anTokushuSenPich, 0.0);
  no = 9;
  for (size_t i = 0; i < JW.EntLtp2.size() && i < 5; ++i, ++no)
    SetPatternLtype(no, JW.EntLtp2[i].alLType, JW.EntLtp2[i].anTokushuSenPich,
                    JW.EntLtp2[i].anRandSenWide);
  no = 14;
  for (size_t i = 0; i < JW.EntLtp3.size() && i < 4; ++i, ++no)
    SetPatternLtype(no, JW.EntLtp3[i].alLType, JW.EntLtp3[i].anTokushuSenPich, 0.0);
  for (size_t j = 1; j < JW.EntLtpS.size() && j <= 32; ++j) {
    const TEntJwwLineTypeExNo& t = JW.EntLtpS[j];
    const int32_t entry = static_cast<int32_t>(17 + j);
    if (t.anUDLTypeSegment > 0)
      SetUserLtype(entry, t);
    else
      SetPatternLtype(entry, t.alLType, t.anTokushuSenPich, 0.0);
  }
}

void TForm1::JwsFileLtypeSet() { RestoreDefaultLtypes(); }
void TForm1::JwcFileLtypeSet() { RestoreDefaultLtypes(); }

}  // namespace tessa
