#include "drawing/JwcUnit.h"

#include <algorithm>

#include "drawing/ByteReader.h"
#include "drawing/JwPaperSize.h"
#include "drawing/JwcCommon.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {

std::array<TJwcMojiTypeDef, 11> JwcMojiTypeDef{};

void JwcUnitInit() {
  static const TJwcMojiTypeDef defs[10] = {
      {1, 2.0, 2.0, 0.0}, {1, 2.5, 2.5, 0.5}, {2, 3.0, 3.0, 0.5},
      {2, 4.0, 4.0, 0.5}, {3, 5.0, 5.0, 1.0}, {3, 6.0, 6.0, 1.0},
      {4, 7.0, 7.0, 1.0}, {4, 8.0, 8.0, 1.0}, {5, 9.0, 9.0, 1.0},
      {5, 10.0, 10.0, 1.0}};
  JwcMojiTypeDef[0] = TJwcMojiTypeDef{};
  for (int k = 1; k <= 10; ++k) JwcMojiTypeDef[static_cast<size_t>(k)] = defs[k - 1];
}

namespace {

const char16_t kJwcIdent[] = u"jw_cad(c)data.......";
// Where the second header block (the counts) starts.
constexpr int64_t kHeaderBlock2 = 200;

float F(const std::u16string& s) { return static_cast<float>(TextToFloat(s)); }
int32_t I(const std::u16string& s) { return TextToInt(s); }

void ParseBlock2(TEntJwcHeader& h) {
  const auto& p = h.para;
  h.lineCount = I(p[0]); h.arcCount = I(p[1]); h.mojiCount = I(p[2]);
  h.tenCount = I(p[3]); h.vtenCount = I(p[4]);
  h.curFno = I(p[5]); h.curMfno = I(p[6]); h.curMlcol = I(p[7]); h.curMpcol = I(p[8]);
  h.wLayScale = F(p[9]); h.wLayNo = I(p[10]); h.psize = I(p[11]);
  h.lcol = I(p[12]); h.ltyp = I(p[13]);
  h.plotOrgX = F(p[14]); h.plotOrgY = F(p[15]);
  h.lpitch1 = F(p[16]); h.lpitch2 = F(p[17]);
  h.drawtime = I(p[18]);
  for (size_t i = 0; i < 6; ++i) h.penWidth[i] = I(p[19 + i]);
  h.gridX = F(p[25]); h.gridY = F(p[26]);
  h.gridOrgX = F(p[27]); h.gridOrgY = F(p[28]); h.gridScale = F(p[29]);
  h.drawWidth = I(p[30]);
  if (h.drawWidth == 0) h.drawWidth = 518;
  h.flgPthin = I(p[31]);
}

void ParseBlock3(TEntJwcHeader& h) {
  const auto& p = h.para;
  h.mvDist = F(p[0]); h.mtDist = F(p[1]); h.arLen = F(p[2]); h.arAng = F(p[3]);
  h.locMR = I(p[4]); h.flgMconma = I(p[5]); h.flgMzeros = I(p[6]);
  h.typLside = I(p[7]); h.mvUnit = I(p[8]); h.mvKeta = I(p[9]);
  h.sOfsetXL = F(p[10]); h.sOfsetXM = F(p[11]); h.sOfsetXR = F(p[12]);
  h.sOfsetYD = F(p[13]); h.sOfsetYM = F(p[14]); h.sOfsetYT = F(p[15]);
  h.s1len = I(p[16]); h.sOrgXm = I(p[17]); h.sOrgYm = I(p[18]);
  h.dlinDistB = F(p[19]);
  for (size_t i = 0; i < 5; ++i) h.dlinDist[i] = F(p[20 + i]);
  h.svScrnOX = F(p[25]); h.svScrnOY = F(p[26]); h.svScrnScl = F(p[27]);
}

void ParseBlock4(TEntJwcHeader& h) {
  const auto& p = h.para;
  h.sBufAdr1 = JwcHexAddress(p[0]);
  h.sBufAdr2 = JwcHexAddress(p[1]);
  float* sub[15] = {&h.subZm0X, &h.subZm0Y, &h.subZm0S, &h.subZm1X, &h.subZm1Y,
                    &h.subZm1S, &h.subZm2X, &h.subZm2Y, &h.subZm2S, &h.subZm3X,
                    &h.subZm3Y, &h.subZm3S, &h.subZm4X, &h.subZm4Y, &h.subZm4S};
  for (size_t i = 0; i < 15; ++i) *sub[i] = F(p[2 + i]);
  h.hiIdo = F(p[17]); h.hiHi = F(p[18]); h.hiTaka = F(p[19]);
  h.flgHok = I(p[20]); h.flg25Dm = I(p[21]);
}

// Fixed sections between header and entities.  They have a known size, so
// a file ending inside them leaves zeros rather than failing here.
struct TFixed {
  TByteReader r;
  std::vector<uint8_t> buf;
  TFixed(TByteReader& st, size_t n) : buf(st.Padded(n)) { r = TByteReader(buf); }
};

}  // namespace

void TJwcEntities::ClearEntities() {
  lineN = arcN = mojiN = tenN = 0;
  EntMjtp.clear();
  EntLine.clear();
  EntArc.clear();
  EntMoji.clear();
  EntTen.clear();
}

TJwcData::TJwcData() { DataInit(); }
TJwcData::~TJwcData() { DataFree(); }

void TJwcData::DataInit() {
  ClearEntities();
  Enthd = TEntJwcHeader{};
  EntVten.clear();
  EntLgrp.clear();
  EntLay.clear();
}

void TJwcData::DataFree() { DataInit(); }

bool TJwcData::FileCheck(const std::string& FName) {
  LastError = {};
  return JwcFileStartsWith(FName, kJwcIdent, &LastError);
}

void TJwcData::SplitPara(const std::u16string& text, int count) {
  JwcSplitPara(text, count, Enthd.para);
}

bool TJwcData::ReadHeader(TByteReader& st) {
  TEntJwcHeader& h = Enthd;
  JwcReadIdentBlock(st, h.jwID, h.comment1, h.comment2);
  h.scaleF = h.jwID.size() > 22 && h.jwID[22] == u'f';
  SplitPara(JwcReadBlockText(st), 32);
  ParseBlock2(h);
  SplitPara(JwcReadBlockText(st), 28);
  ParseBlock3(h);
  SplitPara(JwcReadBlockText(st), 22);
  ParseBlock4(h);
  // A code without a paper keeps one stored unit per millimetre.
  TJwPaper paper{static_cast<double>(h.drawWidth), 0};
  JwPaperOfCode(h.psize, paper);
  const double pw = paper.x;
  h.dataUnit = static_cast<float>(static_cast<long double>(pw) / h.drawWidth);
  // There are 101 virtual point slots, slot 0 being none.
  if (h.vtenCount >= 0 && h.vtenCount <= 100) return true;
  // The count is the fifth field of the second header block.
  throw TReadError("bad-count",
                   "the counts of the header at byte " + std::to_string(kHeaderBlock2) +
                       " announce " + std::to_string(h.vtenCount) +
                       " virtual points; a drawing holds 0..100",
                   kHeaderBlock2);
}

void TJwcData::ReadBody(TByteReader& st) {
  const float u = Enthd.dataUnit;
  EntVten.assign(101, TEntJwcVten{});
  EntMjtp.assign(12, TEntJwcMojiType{});
  EntLgrp.assign(16, TEntJwcLayerGroup{});
  EntLay.assign(256, TEntJwcLayer{});
  {
    TFixed f(st, 101 * 4 * 2 + 101);
    for (auto& v : EntVten) v.x = JwcScaled(f.r.F32(), u);
    for (auto& v : EntVten) v.y = JwcScaled(f.r.F32(), u);
    for (auto& v : EntVten) v.lay = f.r.U8();
  }
  {
    TFixed f(st, 11 * 2 * 4);
    for (int i = 0; i < 11; ++i) EntMjtp[static_cast<size_t>(i)].penNo = f.r.U16();
    for (int i = 0; i < 11; ++i) EntMjtp[static_cast<size_t>(i)].width = f.r.U16();
    for (int i = 0; i < 11; ++i) EntMjtp[static_cast<size_t>(i)].height = f.r.U16();
    for (int i = 0; i < 11; ++i) EntMjtp[static_cast<size_t>(i)].dist = f.r.U16();
  }
  {
    TFixed f(st, Enthd.scaleF ? 64 : 32);
    for (auto& g : EntLgrp) g.scale = Enthd.scaleF ? f.r.F32() : static_cast<float>(f.r.U16());
  }
  {
    TFixed f(st, 16 + 256 + 16 + 256 + 16);
    for (auto& g : EntLgrp) g.srchF = f.r.U8();
    for (auto& l : EntLay) l.srchF = f.r.U8();
    for (auto& g : EntLgrp) g.dispF = f.r.U8();
    for (auto& l : EntLay) l.dispF = f.r.U8();
    for (auto& g : EntLgrp) g.w_lay = f.r.U8();
  }
  JwcReadRecords(st, Enthd.lineCount, 22, EntLine, lineN,
                 [u](TByteReader& r) { return JwcReadLine(r, u); });
  JwcReadRecords(st, Enthd.arcCount, 32, EntArc, arcN,
                 [u](TByteReader& r) { return JwcReadArc(r, u); });
  JwcReadRecords(st, Enthd.mojiCount, 24, EntMoji, mojiN,
                 [u](TByteReader& r) { return JwcReadMoji(r, u, true); });
  JwcReadStrings(st, static_cast<int64_t>(Enthd.sBufAdr2) - Enthd.sBufAdr1,
                 Enthd.sBufAdr1, EntMoji, mojiN);
  JwcReadRecords(st, Enthd.tenCount, 12, EntTen, tenN,
                 [u](TByteReader& r) { return JwcReadTen(r, u); });
  for (auto& l : EntLay) {
    std::vector<uint8_t> b = JwcReadRecord(st, 8);
    l.name = JwcCleanText(b.data(), b.size());
  }
  for (auto& g : EntLgrp) {
    std::vector<uint8_t> b = JwcReadRecord(st, 16);
    g.name = JwcCleanText(b.data(), b.size());
  }
}

bool TJwcData::FileIn(const std::string& FName) {
  DataInit();
  return JwcReadFile(FName, Enthd.para, [this](TByteReader& st) { return ReadHeader(st); },
                     [this](TByteReader& st) { ReadBody(st); }, LastError);
}

bool TJwcData::FileCheckMem(const uint8_t* data, size_t size) {
  LastError = {};
  return JwcMemStartsWith(data, size, kJwcIdent, &LastError);
}

bool TJwcData::FileInMem(const uint8_t* data, size_t size) {
  DataInit();
  return JwcReadMem(data, size, Enthd.para, [this](TByteReader& st) { return ReadHeader(st); },
                    [this](TByteReader& st) { ReadBody(st); }, LastError);
}

void TJwcData::GetMinMaxZahyo() {
  // The first point of the first kind present starts the box; a drawing
  // with none keeps the extents it had.
  size_t nv = 0;
  if (!EntVten.empty() && Enthd.vtenCount > 0)
    nv = std::min<size_t>(EntVten.size() - 1, static_cast<size_t>(Enthd.vtenCount));
  double x, y;
  if (JwcUsable(EntLine, lineN)) x = EntLine[0].x1, y = EntLine[0].y1;
  else if (JwcUsable(EntArc, arcN)) x = EntArc[0].x, y = EntArc[0].y;
  else if (JwcUsable(EntMoji, mojiN)) x = EntMoji[0].x1, y = EntMoji[0].y1;
  else if (JwcUsable(EntTen, tenN)) x = EntTen[0].x, y = EntTen[0].y;
  else if (nv > 0) x = EntVten[1].x, y = EntVten[1].y;
  else return;
  MinMaxInit(ExtMinX, ExtMinY, ExtMaxX, ExtMaxY, x, y, 1);
  JwcEntitiesMinMax(*this, 1);
  for (size_t i = 1; i <= nv; ++i)
    MinMaxAdd(ExtMinX, ExtMinY, ExtMaxX, ExtMaxY, EntVten[i].x, EntVten[i].y, 1);
}

}  // namespace tessa
