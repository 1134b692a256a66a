#include "drawing/JwkUnit.h"

#include <cmath>

#include "drawing/ByteReader.h"
#include "drawing/JwcCommon.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {

namespace {

const char16_t kJwkIdent[] = u"jw_cad(c)sym........";

uint16_t Tenths(double mm) { return static_cast<uint16_t>(std::lround(mm * 10)); }

}  // namespace

TJwkData::TJwkData() { DataInit(); }
TJwkData::~TJwkData() { DataFree(); }

void TJwkData::DataInit() {
  ClearEntities();
  Enthd = TEntJwkHeader{};
  // The file has no text types: every symbol takes the defaults.
  EntMjtp.assign(12, TEntJwcMojiType{});
  for (size_t k = 1; k <= 10; ++k) {
    const TJwcMojiTypeDef& d = JwcMojiTypeDef[k];
    EntMjtp[k].penNo = static_cast<uint16_t>(d.pen);
    EntMjtp[k].width = Tenths(d.width);
    EntMjtp[k].height = Tenths(d.height);
    EntMjtp[k].dist = Tenths(d.dist);
  }
}

void TJwkData::DataFree() {
  DataInit();
  EntMjtp.clear();
}

bool TJwkData::FileCheck(const std::string& FName) {
  LastError = {};
  return JwcFileStartsWith(FName, kJwkIdent, &LastError);
}

void TJwkData::SplitPara(const std::u16string& text, int count) {
  JwcSplitPara(text, count, Enthd.para);
}

bool TJwkData::ReadHeader(TByteReader& st) {
  TEntJwkHeader& h = Enthd;
  JwcReadIdentBlock(st, h.jwID, h.comment1, h.comment2);
  SplitPara(JwcReadBlockText(st), 9);
  const auto& p = h.para;
  h.lineCount = TextToInt(p[0]);
  h.arcCount = TextToInt(p[1]);
  h.tenCount = TextToInt(p[2]);
  h.mojiCount = TextToInt(p[3]);
  h.org_x = static_cast<float>(TextToFloat(p[4]));
  h.org_y = static_cast<float>(TextToFloat(p[5]));
  h.dispScale = static_cast<float>(TextToFloat(p[6]));
  h.strSpace = TextToInt(p[7]);
  h.scale = static_cast<float>(TextToFloat(p[8]));
  if (h.scale <= 1e-14) h.scale = 1.0f;
  return true;
}

void TJwkData::ReadBody(TByteReader& st) {
  JwcReadRecords(st, Enthd.lineCount, 22, EntLine, lineN,
                 [](TByteReader& r) { return JwcReadLine(r, 1.0f); });
  JwcReadRecords(st, Enthd.arcCount, 32, EntArc, arcN,
                 [](TByteReader& r) { return JwcReadArc(r, 1.0f); });
  JwcReadRecords(st, Enthd.tenCount, 12, EntTen, tenN,
                 [](TByteReader& r) { return JwcReadTen(r, 1.0f); });
  JwcReadRecords(st, Enthd.mojiCount, 24, EntMoji, mojiN,
                 [](TByteReader& r) { return JwcReadMoji(r, 1.0f, false); });
  JwcReadStrings(st, Enthd.strSpace, 0, EntMoji, mojiN);
}

bool TJwkData::FileIn(const std::string& FName) {
  DataInit();
  return JwcReadFile(FName, Enthd.para, [this](TByteReader& st) { return ReadHeader(st); },
                     [this](TByteReader& st) { ReadBody(st); }, LastError);
}

bool TJwkData::FileCheckMem(const uint8_t* data, size_t size) {
  LastError = {};
  return JwcMemStartsWith(data, size, kJwkIdent, &LastError);
}

bool TJwkData::FileInMem(const uint8_t* data, size_t size) {
  DataInit();
  return JwcReadMem(data, size, Enthd.para, [this](TByteReader& st) { return ReadHeader(st); },
                    [this](TByteReader& st) { ReadBody(st); }, LastError);
}

void TJwkData::GetMinMaxZahyo() {
  // Model coordinates: divided by the drawing scale, and the origin is
  // always inside.
  const double s = Enthd.scale;
  MinMaxInit(ExtMinX, ExtMinY, ExtMaxX, ExtMaxY, 0, 0, s);
  JwcEntitiesMinMax(*this, s);
}

}  // namespace tessa
