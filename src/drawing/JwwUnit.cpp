// Reader of JWW drawings: signature, header and tables; the entity lists,
// block definitions and images are read by the shared base.
#include "drawing/JwwUnit.h"

#include <exception>

#include "drawing/ByteReader.h"
#include "drawing/JwArchive.h"

namespace tessa {

namespace {

// The version follows the identifier directly.
constexpr TJwSignature kJwwSignature{u"JwwData.", 8, 8, 220, 700,
                                     "JWW-Header Error", "JWW-Version Error"};
constexpr int32_t kVerImages = 700;

// A foreign signature or version speaks for itself; anything else failed
// inside the header.
TReadReason HeaderReason(const std::exception& e) {
  const TReadReason r = ReasonOf(e, "");
  if (r.code == "not-a-drawing" || r.code == "unsupported-version") return r;
  return ReasonOf(e, "the header");
}

}  // namespace

TJwwData::TJwwData() { DataInit(); }
TJwwData::~TJwwData() { DataFree(); }

void TJwwData::DataInit() {
  EntInit();
  Enthd = TEntJwwHeader{};
  EntLay.clear();
  EntCol.clear();
  EntLtp1.clear();
  EntLtp2.clear();
  EntLtp3.clear();
  EntColS.clear();
  EntLtpS.clear();
  EntMoj.clear();
  FileOutOpt = 0;
}

void TJwwData::DataFree() { DataInit(); }

bool TJwwData::FileCheck(const std::string& FName) {
  LastError = {};
  return kJwwSignature.FoundIn(FName, &LastError);
}

bool TJwwData::FileCheckMem(const uint8_t* data, size_t size) {
  LastError = {};
  return kJwwSignature.FoundInMem(data, size, &LastError);
}

bool TJwwData::FileIn(const std::string& FName) {
  DataInit();
  std::vector<uint8_t> data;
  if (!ReadWholeFile(FName, data)) {
    LastError = {"not-found", "the file " + FName + " cannot be read", -1};
    return false;
  }
  return FileInMem(data.data(), data.size());
}

bool TJwwData::FileInMem(const uint8_t* data, size_t size) {
  DataInit();
  LastError = {};
  TByteReader in(data, size);
  TJwArchive ar(in);
  const bool ok = ReadHeader(ar) && ReadBody(ar, Enthd.jwVer, Enthd.n1, Enthd.n2,
                                             Enthd.jwVer >= kVerImages);
  EntUnicodeN = static_cast<int32_t>(ar.UnicodeStrings());
  return ok;
}

void TJwwData::SizeTables() {
  EntLgrp.assign(16, TEntJwwLayerGroup{});
  EntLay.assign(256, TEntJwwLayer{});
  EntCol.assign(10, TEntJwwColorNo{});
  EntLtp1.assign(8, TEntJwwLineTypeNo{});
  EntLtp2.assign(5, TEntJwwRandomLineNo{});
  EntLtp3.assign(4, TEntJwwLineTypeNo{});
  EntMoj.assign(10, TEntJwwMojiType{});
  EntColS.assign(257, TEntJwwColorExNo{});
  EntLtpS.assign(33, TEntJwwLineTypeExNo{});
}

bool TJwwData::ReadHeader(TJwArchive& ar) {
  SizeTables();
  try {
    kJwwSignature.Read(ar.In(), Enthd.jwID, Enthd.jwVer);
    ReadHeaderBody(ar);
  } catch (const std::exception& e) {
    LastError = HeaderReason(e);
    return false;
  }
  return true;
}

namespace {

// Pattern and pitches of a line type, plain or extended.
template <class T>
void ReadLineType(TByteReader& in, T& t) {
  t.alLType = in.I32();
  t.anTokushuSenUintDot = in.I32();
  t.anTokushuSenPich = in.I32();
  t.anPrtTokushuSenPich = in.I32();
}

// Screen colour and width of every pen, plain or extended.
template <class T>
void ReadPens(TByteReader& in, std::vector<T>& pens) {
  for (T& c : pens) {
    c.aPenColor = in.I32();
    c.anPenWidth = in.I32();
  }
}

// Print colour, width and point radius of one pen, plain or extended.
template <class T>
void ReadPrintPen(TByteReader& in, T& c) {
  c.aPrtPenColor = in.I32();
  c.anPrtPenWidth = in.I32();
  c.adPrtTenHankei = in.F64();
}

// bSenHaba100 and nMaxDrawWidBak follow from the stored maximum width.
void DeriveDrawWid(TEntJwwHeader& h) {
  int32_t v = h.nMaxDrawWid;
  h.bSenHaba100 = false;
  h.nMaxDrawWidBak = v;
  if (v >= -100) return;
  h.bSenHaba100 = true;
  if (v >= -500 && v <= -401)
    h.nMaxDrawWidBak = 400 + v;
  else if (v >= -300 && v <= -201)
    h.nMaxDrawWidBak = -v - 200;
  else
    h.nMaxDrawWidBak = -100;
}

}  // namespace

void TJwwData::ReadHeaderBody(TJwArchive& ar) {
  TByteReader& in = ar.In();
  TEntJwwHeader& h = Enthd;
  const int32_t ver = h.jwVer;

  h.strMemo = ar.Str();
  h.nZumen = in.I32();
  h.nWriteGLay = in.I32();
  for (int g = 0; g < 16; ++g) {
    TEntJwwLayerGroup& lg = EntLgrp[g];
    lg.anGLay = in.I32();
    lg.anWriteLay = in.I32();
    lg.adScale = in.F64();
    lg.anGLayProtect = in.I32();
    for (int l = 0; l < 16; ++l) {
      TEntJwwLayer& ly = EntLay[g * 16 + l];
      ly.aanLay = in.I32();
      ly.aanLayProtect = in.I32();
    }
  }
  in.Skip(56);
  h.lnSunpou1 = in.I32();
  h.lnSunpou2 = in.I32();
  h.lnSunpou3 = in.I32();
  h.lnSunpou4 = in.I32();
  h.lnSunpou5 = in.I32();
  in.Skip(4);
  h.nMaxDrawWid = in.I32();
  DeriveDrawWid(h);
  h.DPPrtGenten_x = in.F64();
  h.DPPrtGenten_y = in.F64();
  h.dPrtBairitsu = in.F64();
  h.nPrtSet = in.I32();
  h.nMemoriMode = in.I32();
  h.dMemoriHyoujiMin = in.F64();
  h.dMemoriX = in.F64();
  h.dMemoriY = in.F64();
  h.DpMemoriKjTen_x = in.F64();
  h.DpMemoriKjTen_y = in.F64();
  for (int i = 0; i < 256; ++i) EntLay[i].aStrLayName = ar.StrClean();
  for (int g = 0; g < 16; ++g) EntLgrp[g].aStrGLayName = ar.StrClean();
  h.dKageLevel = in.F64();
  h.dKageIdo = in.F64();
  h.nKage9_15JiFlg = in.I32();
  h.dKabeKageLevel = in.F64();
  if (ver >= 300) {
    h.dTenkuuZuLevel = in.F64();
    h.dTenkuuZuEnkoR = in.F64();
  }
  h.nMMTani3D = in.I32();
  h.dBairitsu = in.F64();
  h.DPGenten_x = in.F64();
  h.DPGenten_y = in.F64();
  h.dHanniBairitsu = in.F64();
  h.DPHanniGenten_x = in.F64();
  h.DPHanniGenten_y = in.F64();
  if (ver > 230) {
    for (int i = 1; i <= 8; ++i) {
      h.dZoomJumpBairitsu[i] = in.F64();
      h.DPZoomJumpGenten_x[i] = in.F64();
      h.DPZoomJumpGenten_y[i] = in.F64();
      h.nZoomJumpGLay[i] = in.I32();
    }
    h.dDm11 = in.F64();
    h.dDm12 = in.F64();
    h.dDm13 = in.F64();
    h.lnDm1 = in.I32();
    h.dDm21 = in.F64();
    h.dDm22 = in.F64();
    h.dMojiBG = in.F64();
    h.nMojiBG = in.I32();
  } else {
    for (int i = 1; i <= 4; ++i) {
      h.dZoomJumpBairitsu[i] = in.F64();
      h.DPZoomJumpGenten_x[i] = in.F64();
      h.DPZoomJumpGenten_y[i] = in.F64();
    }
  }
  for (int i = 0; i < 10; ++i) h.adFukusenSuuchi[i] = in.F64();
  h.dRyougawaFukusenTomeDe = in.F64();
  ReadPens(in, EntCol);
  for (TEntJwwColorNo& c : EntCol) ReadPrintPen(in, c);
  for (TEntJwwLineTypeNo& t : EntLtp1) ReadLineType(in, t);
  for (TEntJwwRandomLineNo& t : EntLtp2) {
    t.alLType = in.I32();
    t.anRandSenWide = in.I32();
    t.anTokushuSenPich = in.I32();
    t.anPrtRandSenWide = in.I32();
    t.anPrtTokushuSenPich = in.I32();
  }
  for (TEntJwwLineTypeNo& t : EntLtp3) ReadLineType(in, t);
  h.nDrawGamenTen = in.I32();
  h.nDrawPrtTen = in.I32();
  h.nBitMapFirstDraw = in.I32();
  h.nGyakuDraw = in.I32();
  h.nGyakuSearch = in.I32();
  h.nColorPrint = in.I32();
  h.nLayJunPrint = in.I32();
  h.nColJunPrint = in.I32();
  h.nPrtRenzoku = in.I32();
  h.nPrtKyoutsuuGray = in.I32();
  int32_t dpi = in.I32();
  h.nPrtDpi = dpi / 10;
  h.nPrtDispOnlyNonDraw = dpi % 10;
  if (ver >= 223) {
    h.lnDrawTime = in.I32();
    h.nEyeInit = in.I32();
    h.dEye_H_Ichi_1 = in.I32();
    h.dEye_H_Ichi_2 = in.I32();
    h.dEye_H_Ichi_3 = in.I32();
    h.dEye_Z_Ichi_1 = in.F64();
    h.dEye_Y_Ichi_1 = in.F64();
    h.dEye_Z_Ichi_2 = in.F64();
    h.dEye_Y_Ichi_2 = in.F64();
    h.dEye_V_Ichi_3 = in.F64();
  }
  if (ver >= 225) {
    h.dSenNagasaSnpou = in.F64();
    h.dBoxSunpouX = in.F64();
    h.dBoxSunpouY = in.F64();
    h.dEnHankeiSnpou = in.F64();
  }
  if (ver >= 230) {
    h.nSolidNinniColor = in.I32();
    h.SolidColor = in.I32();
  }
  if (ver >= 420) {
    ReadPens(in, EntColS);
    for (TEntJwwColorExNo& c : EntColS) {
      c.astrUDColorName = ar.StrClean();
      ReadPrintPen(in, c);
    }
    for (TEntJwwLineTypeExNo& t : EntLtpS) ReadLineType(in, t);
    for (TEntJwwLineTypeExNo& t : EntLtpS) {
      t.astrUDLTypeName = ar.StrClean();
      t.anUDLTypeSegment = in.I32();
      for (int i = 1; i <= 10; ++i) t.aadUDLTypePitch[i] = in.F64();
    }
  }
  for (TEntJwwMojiType& m : EntMoj) {
    m.adMojiX = in.F64();
    m.adMojiY = in.F64();
    m.adMojiD = in.F64();
    m.anMojiCol = in.I32();
  }
  h.dMojiSizeX = in.F64();
  h.dMojiSizeY = in.F64();
  h.dMojiKankaku = in.F64();
  h.nMojiColor = in.I32();
  h.nMojiShu = in.I32();
  h.dMojiSeiriGyouKan = in.F64();
  h.dMojiSeiriSuu = in.F64();
  h.nMojiKijunZureOn = in.I32();
  h.adMojiKijunZureX0 = in.F64();
  h.adMojiKijunZureX1 = in.F64();
  h.adMojiKijunZureX2 = in.F64();
  h.adMojiKijunZureY0 = in.F64();
  h.adMojiKijunZureY1 = in.F64();
  h.adMojiKijunZureY2 = in.F64();
}

}  // namespace tessa
