#include "JwwFixtureWriter.h"

#include <cstdio>
#include <cstring>

#include "util/Func_2.h"

namespace tessa::test {

// ---- TJwArchiveWriter --------------------------------------------------------

void TJwArchiveWriter::U8(uint8_t v) { bytes.push_back(v); }

void TJwArchiveWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void TJwArchiveWriter::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v));
  U16(static_cast<uint16_t>(v >> 16));
}

void TJwArchiveWriter::F64(double v) {
  uint64_t u;
  std::memcpy(&u, &v, 8);
  U32(static_cast<uint32_t>(u));
  U32(static_cast<uint32_t>(u >> 32));
}

void TJwArchiveWriter::Raw(std::string_view b) { bytes.insert(bytes.end(), b.begin(), b.end()); }

void TJwArchiveWriter::Zeros(size_t n) { bytes.insert(bytes.end(), n, uint8_t{0}); }

void TJwArchiveWriter::Count(uint32_t n) {
  if (n < 0xFFFF && !wideCounts) {
    U16(static_cast<uint16_t>(n));
    return;
  }
  U16(0xFFFF);
  U32(n);
}

namespace {

// Length in the archive's widening form (byte, WORD, DWORD).
void WriteLength(TJwArchiveWriter& w, uint32_t n) {
  if (n < 0xFF) {
    w.U8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    w.U8(0xFF);
    w.U16(static_cast<uint16_t>(n));
  } else {
    w.U8(0xFF);
    w.U16(0xFFFF);
    w.U32(n);
  }
}

}  // namespace

void TJwArchiveWriter::StrBytes(std::string_view b) {
  WriteLength(*this, static_cast<uint32_t>(b.size()));
  Raw(b);
}

void TJwArchiveWriter::UStr(std::u16string_view s) {
  U8(0xFF);
  U16(0xFFFE);
  WriteLength(*this, static_cast<uint32_t>(s.size()));
  for (char16_t c : s) U16(static_cast<uint16_t>(c));
}

void TJwArchiveWriter::Str(std::u16string_view s) {
  if (unicodeStrings)
    UStr(s);
  else
    StrBytes(StrToCp932(s));
}

void TJwArchiveWriter::NewClassTag(const std::string& name) {
  U16(0xFFFF);
  U16(0);  // schema
  U16(static_cast<uint16_t>(name.size()));
  Raw(name);
  classes_[name] = next_++;
}

void TJwArchiveWriter::ClassTag(const std::string& name) {
  auto it = classes_.find(name);
  if (it == classes_.end()) {
    NewClassTag(name);
    return;
  }
  uint32_t idx = it->second;
  if (!bigTags && idx < 0x7FFF) {
    U16(static_cast<uint16_t>(0x8000 | idx));
  } else {
    U16(0x7FFF);
    U32(0x80000000u | idx);
  }
}

uint32_t TJwArchiveWriter::ClassIndex(const std::string& name) const {
  auto it = classes_.find(name);
  return it == classes_.end() ? 0 : it->second;
}

// ---- Records ------------------------------------------------------------------

void WriteAttr(TJwArchiveWriter& w, int32_t ver, const TEntJwwAttr& a) {
  w.U32(a.lGroup);
  w.U8(a.nPenStyle);
  w.U16(a.nPenColor);
  if (ver >= 351) w.U16(a.nPenWidth);
  w.U16(a.nLayer);
  w.U16(a.nGLayer);
  w.U16(a.sFlg);
}

namespace {

void WriteLineRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwLine& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.start_x); w.F64(e.start_y); w.F64(e.end_x); w.F64(e.end_y);
}

void WriteEnkoRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwEnko& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.start_x); w.F64(e.start_y);
  w.F64(e.dHankei);
  w.F64(e.radKaishiKaku);
  w.F64(e.radEnkoKaku);
  w.F64(e.radKatamukiKaku);
  w.F64(e.dHenpeiRitsu);
  w.U32(e.bZenEnFlg);
}

void WriteTenRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwTen& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.start_x); w.F64(e.start_y);
  w.U32(e.bKariten);
  if (e.att.nPenStyle == 100) {
    w.U32(e.nCode);
    w.F64(e.radKaitenKaku);
    w.F64(e.dBairitsu);
  }
}

void WriteMojiRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwMoji& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.start_x); w.F64(e.start_y); w.F64(e.end_x); w.F64(e.end_y);
  w.U32(e.nMojiShu);
  w.F64(e.dSizeX); w.F64(e.dSizeY);
  w.F64(e.dKankaku);
  w.F64(e.degKakudo);
  w.Str(e.strFontName);
  w.Str(e.str);
}

void WriteSunpoRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwSunpo& e) {
  WriteAttr(w, ver, e.att);
  WriteLineRec(w, ver, e.Sen);
  WriteMojiRec(w, ver, e.Moji);
  if (ver < 420) return;
  w.U16(e.bSxfMode);
  WriteLineRec(w, ver, e.Ho1);
  WriteLineRec(w, ver, e.Ho2);
  WriteTenRec(w, ver, e.Te1);
  WriteTenRec(w, ver, e.Te2);
  WriteTenRec(w, ver, e.Kt1);
  WriteTenRec(w, ver, e.Kt2);
}

void WriteSolidRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwSolid& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.start_x); w.F64(e.start_y); w.F64(e.end_x); w.F64(e.end_y);
  w.F64(e.DPoint2_x); w.F64(e.DPoint2_y); w.F64(e.DPoint3_x); w.F64(e.DPoint3_y);
  if (e.att.nPenColor == 10) w.U32(e.Color);
}

void WriteBlockRec(TJwArchiveWriter& w, int32_t ver, const TEntJwwBlock& e) {
  WriteAttr(w, ver, e.att);
  w.F64(e.DPKijunTen_x); w.F64(e.DPKijunTen_y);
  w.F64(e.dBairitsuX); w.F64(e.dBairitsuY);
  w.F64(e.radKaitenKaku);
  w.U32(e.nNumber);
}

// The seven arrays of a drawing or of a block definition, read-only.
struct TLists {
  const std::vector<TEntJwwNo>& no;
  const std::vector<TEntJwwLine>& line;
  const std::vector<TEntJwwEnko>& enko;
  const std::vector<TEntJwwTen>& ten;
  const std::vector<TEntJwwMoji>& moji;
  const std::vector<TEntJwwSunpo>& sunpo;
  const std::vector<TEntJwwSolid>& solid;
  const std::vector<TEntJwwBlock>& block;

  size_t SizeOf(int32_t type) const {
    switch (type) {
      case jwEntLine: return line.size();
      case jwEntEnko: return enko.size();
      case jwEntTen: return ten.size();
      case jwEntMoji: return moji.size();
      case jwEntSunpo: return sunpo.size();
      case jwEntSolid: return solid.size();
      case jwEntBlock: return block.size();
    }
    return 0;
  }
  // The order actually written.
  std::vector<TEntJwwNo> Order() const {
    std::vector<TEntJwwNo> out;
    if (no.empty()) {
      for (int32_t t = jwEntLine; t <= jwEntBlock; ++t)
        for (size_t i = 0; i < SizeOf(t); ++i) out.push_back({t, static_cast<int32_t>(i)});
      return out;
    }
    for (const TEntJwwNo& e : no)
      if (e.EntNo >= 0 && static_cast<size_t>(e.EntNo) < SizeOf(e.EntType)) out.push_back(e);
    return out;
  }
};

TLists ListsOf(const TJwwBaseData& d) {
  return {d.EntNo, d.EntLine, d.EntEnko, d.EntTen, d.EntMoji, d.EntSunpo, d.EntSolid, d.EntBlock};
}

TLists ListsOf(const TEntJwwBlockDef& d) {
  return {d.mNo, d.mLine, d.mEnko, d.mTen, d.mMoji, d.mSunpo, d.mSolid, d.mBlock};
}

void WriteObject(TJwArchiveWriter& w, int32_t ver, const TLists& l, int32_t type, int32_t i,
                 const TJwwWriteOptions& o) {
  w.ClassTag(o.classNames.at(static_cast<size_t>(type)));
  size_t k = static_cast<size_t>(i);
  switch (type) {
    case jwEntLine: WriteLineRec(w, ver, l.line[k]); break;
    case jwEntEnko: WriteEnkoRec(w, ver, l.enko[k]); break;
    case jwEntTen: WriteTenRec(w, ver, l.ten[k]); break;
    case jwEntMoji: WriteMojiRec(w, ver, l.moji[k]); break;
    case jwEntSunpo: WriteSunpoRec(w, ver, l.sunpo[k]); break;
    case jwEntSolid: WriteSolidRec(w, ver, l.solid[k]); break;
    case jwEntBlock: WriteBlockRec(w, ver, l.block[k]); break;
  }
  w.ObjectDone();
}

void WriteList(TJwArchiveWriter& w, int32_t ver, const TLists& l, const TJwwWriteOptions& o) {
  std::vector<TEntJwwNo> order = l.Order();
  w.Count(static_cast<uint32_t>(order.size()));
  for (const TEntJwwNo& e : order) WriteObject(w, ver, l, e.EntType, e.EntNo, o);
}

template <class T>
const T& At(const std::vector<T>& v, size_t i) {
  static const T zero{};
  return i < v.size() ? v[i] : zero;
}

// Plain and extended tables share their leading fields.
template <class T>
void WriteLineType(TJwArchiveWriter& w, const T& t) {
  w.I32(t.alLType);
  w.I32(t.anTokushuSenUintDot);
  w.I32(t.anTokushuSenPich);
  w.I32(t.anPrtTokushuSenPich);
}

template <class T>
void WritePens(TJwArchiveWriter& w, const std::vector<T>& pens, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    w.I32(At(pens, i).aPenColor);
    w.I32(At(pens, i).anPenWidth);
  }
}

template <class T>
void WritePrintPen(TJwArchiveWriter& w, const T& c) {
  w.I32(c.aPrtPenColor);
  w.I32(c.anPrtPenWidth);
  w.F64(c.adPrtTenHankei);
}

}  // namespace

void WriteEntity(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d, int32_t type,
                 int32_t index, const TJwwWriteOptions& o) {
  WriteObject(w, ver, ListsOf(d), type, index, o);
}

void WriteEntityList(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d,
                     const TJwwWriteOptions& o) {
  WriteList(w, ver, ListsOf(d), o);
}

void WriteBlockDefs(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d,
                    const TJwwWriteOptions& o) {
  w.Count(static_cast<uint32_t>(d.EntBlockDef.size()));
  for (const TEntJwwBlockDef& def : d.EntBlockDef) {
    w.ClassTag(o.blockDefClass);
    WriteAttr(w, ver, def.att);
    w.U32(def.nNumber);
    w.U32(def.bRefferd);
    w.U32(def.dtime);
    if (def.dtime >= 0x80000000u) w.Zeros(8);
    w.Str(def.strName);
    w.ObjectDone();
    WriteList(w, ver, ListsOf(def), o);
  }
}

void WriteBindImages(TJwArchiveWriter& w, const TJwwBaseData& d, const TJwwWriteOptions& o) {
  w.U32(static_cast<uint32_t>(d.BindImage.size()));
  for (size_t i = 0; i < d.BindImage.size(); ++i) {
    const TBindImageType& img = d.BindImage[i];
    w.Str(img.Fname);
    w.I32(img.Fsize);
    if (img.Fname.empty() || img.Fsize == 0) continue;
    if (i < o.imageData.size())
      w.Raw(o.imageData[i]);
    else if (img.Fsize > 0)
      w.bytes.insert(w.bytes.end(), static_cast<size_t>(img.Fsize), uint8_t{0x5A});
  }
}

void WriteJwwHeader(TJwArchiveWriter& w, const TJwwData& d) {
  const TEntJwwHeader& h = d.Enthd;
  const int32_t ver = h.jwVer;
  w.Raw("JwwData.");
  w.I32(ver);
  w.Str(h.strMemo);
  w.I32(h.nZumen);
  w.I32(h.nWriteGLay);
  for (size_t g = 0; g < 16; ++g) {
    const TEntJwwLayerGroup& lg = At(d.EntLgrp, g);
    w.I32(lg.anGLay);
    w.I32(lg.anWriteLay);
    w.F64(lg.adScale);
    w.I32(lg.anGLayProtect);
    for (size_t l = 0; l < 16; ++l) {
      const TEntJwwLayer& ly = At(d.EntLay, g * 16 + l);
      w.I32(ly.aanLay);
      w.I32(ly.aanLayProtect);
    }
  }
  w.Zeros(56);
  for (int32_t v : {h.lnSunpou1, h.lnSunpou2, h.lnSunpou3, h.lnSunpou4, h.lnSunpou5}) w.I32(v);
  w.Zeros(4);
  w.I32(h.nMaxDrawWid);
  w.F64(h.DPPrtGenten_x);
  w.F64(h.DPPrtGenten_y);
  w.F64(h.dPrtBairitsu);
  w.I32(h.nPrtSet);
  w.I32(h.nMemoriMode);
  for (double v : {h.dMemoriHyoujiMin, h.dMemoriX, h.dMemoriY, h.DpMemoriKjTen_x, h.DpMemoriKjTen_y})
    w.F64(v);
  for (size_t i = 0; i < 256; ++i) w.Str(At(d.EntLay, i).aStrLayName);
  for (size_t g = 0; g < 16; ++g) w.Str(At(d.EntLgrp, g).aStrGLayName);
  w.F64(h.dKageLevel);
  w.F64(h.dKageIdo);
  w.I32(h.nKage9_15JiFlg);
  w.F64(h.dKabeKageLevel);
  if (ver >= 300) {
    w.F64(h.dTenkuuZuLevel);
    w.F64(h.dTenkuuZuEnkoR);
  }
  w.I32(h.nMMTani3D);
  for (double v : {h.dBairitsu, h.DPGenten_x, h.DPGenten_y, h.dHanniBairitsu, h.DPHanniGenten_x,
                   h.DPHanniGenten_y})
    w.F64(v);
  if (ver > 230) {
    for (int i = 1; i <= 8; ++i) {
      w.F64(h.dZoomJumpBairitsu[i]);
      w.F64(h.DPZoomJumpGenten_x[i]);
      w.F64(h.DPZoomJumpGenten_y[i]);
      w.I32(h.nZoomJumpGLay[i]);
    }
    w.F64(h.dDm11);
    w.F64(h.dDm12);
    w.F64(h.dDm13);
    w.I32(h.lnDm1);
    w.F64(h.dDm21);
    w.F64(h.dDm22);
    w.F64(h.dMojiBG);
    w.I32(h.nMojiBG);
  } else {
    for (int i = 1; i <= 4; ++i) {
      w.F64(h.dZoomJumpBairitsu[i]);
      w.F64(h.DPZoomJumpGenten_x[i]);
      w.F64(h.DPZoomJumpGenten_y[i]);
    }
  }
  for (double v : h.adFukusenSuuchi) w.F64(v);
  w.F64(h.dRyougawaFukusenTomeDe);
  WritePens(w, d.EntCol, 10);
  for (size_t i = 0; i < 10; ++i) WritePrintPen(w, At(d.EntCol, i));
  for (size_t i = 0; i < 8; ++i) WriteLineType(w, At(d.EntLtp1, i));
  for (size_t i = 0; i < 5; ++i) {
    const TEntJwwRandomLineNo& t = At(d.EntLtp2, i);
    for (int32_t v : {t.alLType, t.anRandSenWide, t.anTokushuSenPich, t.anPrtRandSenWide,
                      t.anPrtTokushuSenPich})
      w.I32(v);
  }
  for (size_t i = 0; i < 4; ++i) WriteLineType(w, At(d.EntLtp3, i));
  for (int32_t v : {h.nDrawGamenTen, h.nDrawPrtTen, h.nBitMapFirstDraw, h.nGyakuDraw,
                    h.nGyakuSearch, h.nColorPrint, h.nLayJunPrint, h.nColJunPrint,
                    h.nPrtRenzoku, h.nPrtKyoutsuuGray})
    w.I32(v);
  w.I32(h.nPrtDpi * 10 + h.nPrtDispOnlyNonDraw);
  if (ver >= 223) {
    for (int32_t v : {h.lnDrawTime, h.nEyeInit, h.dEye_H_Ichi_1, h.dEye_H_Ichi_2, h.dEye_H_Ichi_3})
      w.I32(v);
    for (double v : {h.dEye_Z_Ichi_1, h.dEye_Y_Ichi_1, h.dEye_Z_Ichi_2, h.dEye_Y_Ichi_2,
                     h.dEye_V_Ichi_3})
      w.F64(v);
  }
  if (ver >= 225) {
    for (double v : {h.dSenNagasaSnpou, h.dBoxSunpouX, h.dBoxSunpouY, h.dEnHankeiSnpou}) w.F64(v);
  }
  if (ver >= 230) {
    w.I32(h.nSolidNinniColor);
    w.I32(h.SolidColor);
  }
  if (ver >= 420) {
    WritePens(w, d.EntColS, 257);
    for (size_t i = 0; i < 257; ++i) {
      const TEntJwwColorExNo& c = At(d.EntColS, i);
      w.Str(c.astrUDColorName);
      WritePrintPen(w, c);
    }
    for (size_t i = 0; i < 33; ++i) WriteLineType(w, At(d.EntLtpS, i));
    for (size_t i = 0; i < 33; ++i) {
      const TEntJwwLineTypeExNo& t = At(d.EntLtpS, i);
      w.Str(t.astrUDLTypeName);
      w.I32(t.anUDLTypeSegment);
      for (int k = 1; k <= 10; ++k) w.F64(t.aadUDLTypePitch[k]);
    }
  }
  for (size_t i = 0; i < 10; ++i) {
    const TEntJwwMojiType& m = At(d.EntMoj, i);
    w.F64(m.adMojiX);
    w.F64(m.adMojiY);
    w.F64(m.adMojiD);
    w.I32(m.anMojiCol);
  }
  w.F64(h.dMojiSizeX);
  w.F64(h.dMojiSizeY);
  w.F64(h.dMojiKankaku);
  w.I32(h.nMojiColor);
  w.I32(h.nMojiShu);
  w.F64(h.dMojiSeiriGyouKan);
  w.F64(h.dMojiSeiriSuu);
  w.I32(h.nMojiKijunZureOn);
  for (double v : {h.adMojiKijunZureX0, h.adMojiKijunZureX1, h.adMojiKijunZureX2,
                   h.adMojiKijunZureY0, h.adMojiKijunZureY1, h.adMojiKijunZureY2})
    w.F64(v);
}

void WriteJwsHeader(TJwArchiveWriter& w, const TJwsData& d) {
  const TEntJwsHeader& h = d.Enthd;
  w.Raw("JwsData");
  w.Zeros(193);
  w.I32(h.jwVer);
  w.F64(h.BasePoint_x);
  w.F64(h.BasePoint_y);
  for (size_t g = 0; g < 16; ++g) w.F64(At(d.EntLgrp, g).adScale);
  for (int32_t v : {h.dmy01, h.dmy02, h.dmy03, h.dmy04, h.dmy05, h.dmy06}) w.I32(v);
  for (double v : {h.dmy11, h.dmy12, h.dmy13, h.dmy14, h.dmy15, h.dmy16}) w.F64(v);
  for (double v : {h.Mx1, h.My1, h.Mx2, h.My2}) w.F64(v);
}

namespace {

TJwArchiveWriter MakeWriter(const TJwwWriteOptions& o) {
  TJwArchiveWriter w;
  w.unicodeStrings = o.unicodeStrings;
  w.bigTags = o.bigTags;
  w.wideCounts = o.wideCounts;
  return w;
}

}  // namespace

std::vector<uint8_t> WriteJww(const TJwwData& d, const TJwwWriteOptions& o) {
  TJwArchiveWriter w = MakeWriter(o);
  const int32_t ver = d.Enthd.jwVer;
  WriteJwwHeader(w, d);
  WriteEntityList(w, ver, d, o);
  WriteBlockDefs(w, ver, d, o);
  if (ver >= 700) WriteBindImages(w, d, o);
  return w.bytes;
}

std::vector<uint8_t> WriteJws(const TJwsData& d, const TJwwWriteOptions& o) {
  TJwArchiveWriter w = MakeWriter(o);
  const int32_t ver = d.Enthd.jwVer;
  WriteJwsHeader(w, d);
  WriteEntityList(w, ver, d, o);
  WriteBlockDefs(w, ver, d, o);
  return w.bytes;
}

bool WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0) && ok;
}

bool WriteJwwFile(const std::string& path, const TJwwData& d, const TJwwWriteOptions& o) {
  return WriteBytesFile(path, WriteJww(d, o));
}

bool WriteJwsFile(const std::string& path, const TJwsData& d, const TJwwWriteOptions& o) {
  return WriteBytesFile(path, WriteJws(d, o));
}

// ---- Building drawings --------------------------------------------------------

TJwwData MakeJwwDrawing(int32_t ver) {
  TJwwData d;
  d.Enthd.jwID = u"JwwData.";
  d.Enthd.jwVer = ver;
  d.Enthd.nZumen = 3;
  d.EntLgrp.assign(16, TEntJwwLayerGroup{});
  for (TEntJwwLayerGroup& g : d.EntLgrp) {
    g.anGLay = 2;
    g.adScale = 1;
  }
  d.EntLay.assign(256, TEntJwwLayer{});
  for (TEntJwwLayer& l : d.EntLay) l.aanLay = 2;
  d.EntCol.assign(10, TEntJwwColorNo{});
  const int32_t pens[10] = {0x000000, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
                            0xFF00FF, 0x00FFFF, 0xFFFF00, 0x808080, 0x404040};
  for (size_t i = 0; i < 10; ++i) {
    d.EntCol[i].aPenColor = pens[i];
    d.EntCol[i].anPenWidth = 1;
    d.EntCol[i].aPrtPenColor = pens[i];
    d.EntCol[i].anPrtPenWidth = 1;
    d.EntCol[i].adPrtTenHankei = 0.5;
  }
  d.EntLtp1.assign(8, TEntJwwLineTypeNo{});
  d.EntLtp2.assign(5, TEntJwwRandomLineNo{});
  d.EntLtp3.assign(4, TEntJwwLineTypeNo{});
  d.EntColS.assign(257, TEntJwwColorExNo{});
  d.EntLtpS.assign(33, TEntJwwLineTypeExNo{});
  d.EntMoj.assign(10, TEntJwwMojiType{});
  for (size_t i = 0; i < 10; ++i) {
    d.EntMoj[i].adMojiX = 2.0 + static_cast<double>(i);
    d.EntMoj[i].adMojiY = 2.0 + static_cast<double>(i);
    d.EntMoj[i].adMojiD = 0;
    d.EntMoj[i].anMojiCol = 1;
  }
  return d;
}

TJwsData MakeJwsSymbol(int32_t ver) {
  TJwsData d;
  d.Enthd.jwID = u"JwsData";
  d.Enthd.jwVer = ver;
  d.EntLgrp.assign(16, TEntJwwLayerGroup{});
  for (TEntJwwLayerGroup& g : d.EntLgrp) {
    g.anGLay = 2;
    g.adScale = 1;
  }
  return d;
}

TEntJwwAttr Attr(uint16_t group, uint16_t layer, uint16_t color, uint8_t style) {
  TEntJwwAttr a;
  a.nGLayer = group;
  a.nLayer = layer;
  a.nPenColor = color;
  a.nPenStyle = style;
  return a;
}

TEntJwwLine Line(double x1, double y1, double x2, double y2, TEntJwwAttr a) {
  TEntJwwLine e;
  e.att = a;
  e.start_x = x1; e.start_y = y1; e.end_x = x2; e.end_y = y2;
  return e;
}

TEntJwwEnko Arc(double cx, double cy, double r, double startRad, double sweepRad, TEntJwwAttr a) {
  TEntJwwEnko e;
  e.att = a;
  e.start_x = cx; e.start_y = cy;
  e.dHankei = r;
  e.radKaishiKaku = startRad;
  e.radEnkoKaku = sweepRad;
  e.dHenpeiRitsu = 1;
  return e;
}

TEntJwwEnko Circle(double cx, double cy, double r, TEntJwwAttr a) {
  TEntJwwEnko e = Arc(cx, cy, r, 0, 2 * 3.14159265358979323846, a);
  e.bZenEnFlg = 1;
  return e;
}

TEntJwwTen Point(double x, double y, TEntJwwAttr a) {
  TEntJwwTen e;
  e.att = a;
  e.start_x = x; e.start_y = y;
  e.dBairitsu = 1;
  return e;
}

TEntJwwMoji Text(double x, double y, std::u16string s, double size, TEntJwwAttr a) {
  TEntJwwMoji e;
  e.att = a;
  e.start_x = x; e.start_y = y;
  e.end_x = x + size * static_cast<double>(s.size());
  e.end_y = y;
  e.nMojiShu = 1;
  e.dSizeX = size; e.dSizeY = size;
  e.strFontName = u"ＭＳ ゴシック";
  e.str = std::move(s);
  return e;
}

TEntJwwSolid Solid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                   double y4, TEntJwwAttr a) {
  TEntJwwSolid e;
  e.att = a;
  e.start_x = x1; e.start_y = y1; e.end_x = x2; e.end_y = y2;
  e.DPoint2_x = x3; e.DPoint2_y = y3; e.DPoint3_x = x4; e.DPoint3_y = y4;
  return e;
}

TEntJwwBlock Insert(uint32_t number, double x, double y, double rotRad, double sx, double sy,
                    TEntJwwAttr a) {
  TEntJwwBlock e;
  e.att = a;
  e.DPKijunTen_x = x; e.DPKijunTen_y = y;
  e.dBairitsuX = sx; e.dBairitsuY = sy;
  e.radKaitenKaku = rotRad;
  e.nNumber = number;
  return e;
}

TEntJwwSunpo Dimension(double x1, double x2, double y, std::u16string text, TEntJwwAttr a) {
  TEntJwwSunpo e;
  e.att = a;
  e.Sen = Line(x1, y, x2, y, a);
  e.Moji = Text((x1 + x2) / 2, y + 1, std::move(text), 2.5, a);
  e.Ho1 = Line(x1, y - 5, x1, y, a);
  e.Ho2 = Line(x2, y - 5, x2, y, a);
  e.Te1 = Point(x1, y, a);
  e.Te2 = Point(x2, y, a);
  e.Kt1 = Point(x1, y - 5, a);
  e.Kt2 = Point(x2, y - 5, a);
  return e;
}

namespace {

template <class T>
void Push(std::vector<TEntJwwNo>& no, std::vector<T>& v, int32_t& n, int32_t type, const T& e) {
  v.resize(static_cast<size_t>(n));
  v.push_back(e);
  no.push_back({type, n});
  ++n;
}

}  // namespace

void AddLine(TJwwBaseData& d, const TEntJwwLine& e) { Push(d.EntNo, d.EntLine, d.EntLineN, jwEntLine, e); }
void AddEnko(TJwwBaseData& d, const TEntJwwEnko& e) { Push(d.EntNo, d.EntEnko, d.EntEnkoN, jwEntEnko, e); }
void AddTen(TJwwBaseData& d, const TEntJwwTen& e) { Push(d.EntNo, d.EntTen, d.EntTenN, jwEntTen, e); }
void AddMoji(TJwwBaseData& d, const TEntJwwMoji& e) { Push(d.EntNo, d.EntMoji, d.EntMojiN, jwEntMoji, e); }
void AddSunpo(TJwwBaseData& d, const TEntJwwSunpo& e) { Push(d.EntNo, d.EntSunpo, d.EntSunpoN, jwEntSunpo, e); }
void AddSolid(TJwwBaseData& d, const TEntJwwSolid& e) { Push(d.EntNo, d.EntSolid, d.EntSolidN, jwEntSolid, e); }
void AddBlock(TJwwBaseData& d, const TEntJwwBlock& e) { Push(d.EntNo, d.EntBlock, d.EntBlockN, jwEntBlock, e); }

void AddLine(TEntJwwBlockDef& d, const TEntJwwLine& e) { Push(d.mNo, d.mLine, d.mLineN, jwEntLine, e); ++d.N; }
void AddEnko(TEntJwwBlockDef& d, const TEntJwwEnko& e) { Push(d.mNo, d.mEnko, d.mEnkoN, jwEntEnko, e); ++d.N; }
void AddTen(TEntJwwBlockDef& d, const TEntJwwTen& e) { Push(d.mNo, d.mTen, d.mTenN, jwEntTen, e); ++d.N; }
void AddMoji(TEntJwwBlockDef& d, const TEntJwwMoji& e) { Push(d.mNo, d.mMoji, d.mMojiN, jwEntMoji, e); ++d.N; }
void AddSunpo(TEntJwwBlockDef& d, const TEntJwwSunpo& e) { Push(d.mNo, d.mSunpo, d.mSunpoN, jwEntSunpo, e); ++d.N; }
void AddSolid(TEntJwwBlockDef& d, const TEntJwwSolid& e) { Push(d.mNo, d.mSolid, d.mSolidN, jwEntSolid, e); ++d.N; }
void AddBlock(TEntJwwBlockDef& d, const TEntJwwBlock& e) { Push(d.mNo, d.mBlock, d.mBlockN, jwEntBlock, e); ++d.N; }

TEntJwwBlockDef& AddBlockDef(TJwwBaseData& d, uint32_t number, std::u16string name, TEntJwwAttr a) {
  d.EntBlockDef.resize(static_cast<size_t>(d.EntBlockDefN));
  TEntJwwBlockDef def;
  def.att = a;
  def.nNumber = number;
  def.dtime = 1;
  def.strName = std::move(name);
  d.EntBlockDef.push_back(std::move(def));
  ++d.EntBlockDefN;
  return d.EntBlockDef.back();
}

void AddBindImage(TJwwBaseData& d, std::u16string name, int32_t size) {
  TBindImageType img;
  img.Fname = std::move(name);
  img.Fsize = size;
  d.BindImage.push_back(img);
  d.BindImageN = static_cast<int32_t>(d.BindImage.size());
}

}  // namespace tessa::test
