// Header, tables, version thresholds, entity records and failure handling
// of the JWW and JWS readers.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "drawing/JwArchive.h"
#include "jww_test_util.h"

namespace tessa::test {
namespace {

// Header bytes of an otherwise empty drawing (all texts empty), summed item
// by item from the file layout rather than taken from the writer.
size_t ExpectedHeaderBytes(int32_t ver) {
  size_t n = 0;
  n += 8 + 4;                                  // signature, version
  n += 1;                                      // memo (empty counted string)
  n += 4 + 4;                                  // nZumen, nWriteGLay
  n += 16 * (4 + 4 + 8 + 4 + 16 * (4 + 4));    // groups and their layers
  n += 56 + 5 * 4 + 4 + 4;                     // skip, lnSunpou1..5, skip, nMaxDrawWid
  n += 3 * 8 + 2 * 4 + 5 * 8;                  // print origin .. memori
  n += 256 + 16;                               // layer and group names
  n += 8 + 8 + 4 + 8;                          // shadows
  if (ver >= 300) n += 16;                     // dTenkuuZu*
  n += 4 + 6 * 8;                              // nMMTani3D .. DPHanniGenten
  if (ver > 230)
    n += 8 * (3 * 8 + 4) + 3 * 8 + 4 + 3 * 8 + 4;
  else
    n += 4 * 3 * 8;
  n += 10 * 8 + 8;                             // adFukusenSuuchi, dRyougawa..
  n += 10 * 8 + 10 * 16;                       // pens
  n += 8 * 16 + 5 * 20 + 4 * 16;               // line types
  n += 11 * 4;                                 // drawing flags, dpi
  if (ver >= 223) n += 5 * 4 + 5 * 8;
  if (ver >= 225) n += 4 * 8;
  if (ver >= 230) n += 2 * 4;
  if (ver >= 420) n += 257 * 8 + 257 * (1 + 4 + 4 + 8) + 33 * 16 + 33 * (1 + 4 + 10 * 8);
  n += 10 * 28;                                // text styles
  n += 3 * 8 + 2 * 4 + 2 * 8 + 4 + 6 * 8;      // text settings
  return n;
}

TEST(JwwHeader, LayoutSizePerVersion) {
  for (int32_t ver : {220, 223, 225, 230, 231, 300, 351, 420, 700}) {
    SCOPED_TRACE(ver);
    TJwArchiveWriter w;
    WriteJwwHeader(w, MakeJwwDrawing(ver));
    ASSERT_EQ(w.bytes.size(), ExpectedHeaderBytes(ver));
    // Header, no entities, no definitions (and no images): reads fully.
    w.Count(0);
    w.Count(0);
    if (ver >= 700) w.U32(0);
    TJwwData d;
    EXPECT_TRUE(ReadJww(d, w.bytes));
    // One byte short inside the header: the header fails.
    std::vector<uint8_t> cut(w.bytes.begin(), w.bytes.begin() + ExpectedHeaderBytes(ver) - 1);
    EXPECT_FALSE(ReadJww(d, cut));
  }
}

// Distinctive values in every version-dependent part of the header and the
// records, read back at each side of every threshold.
TEST(JwwHeader, VersionThresholds) {
  for (int32_t ver : {220, 229, 230, 231, 299, 300, 350, 351, 419, 420, 699, 700}) {
    SCOPED_TRACE(ver);
    TJwwData src = MakeJwwDrawing(ver);
    src.Enthd.dTenkuuZuLevel = 7;
    src.Enthd.dZoomJumpBairitsu[4] = 2.5;
    src.Enthd.dZoomJumpBairitsu[8] = 4;
    src.Enthd.nZoomJumpGLay[5] = 3;
    src.Enthd.nMojiBG = 9;
    src.Enthd.lnDrawTime = 11;
    src.Enthd.dSenNagasaSnpou = 12;
    src.Enthd.nSolidNinniColor = 13;
    src.EntColS[3].aPenColor = 0x123456;
    src.EntLtpS[2].aadUDLTypePitch[10] = 6.5;
    src.Enthd.adMojiKijunZureY2 = 1.25;
    TEntJwwAttr a = Attr(2, 3, 4, 5);
    a.nPenWidth = 7;
    a.lGroup = 99;
    AddLine(src, Line(1, 2, 3, 4, a));
    TEntJwwSunpo dim = Dimension(10, 20, 5, u"10", a);
    dim.bSxfMode = 1;
    AddSunpo(src, dim);
    AddLine(src, Line(5, 6, 7, 8, a));  // after the dimension: alignment check
    AddBindImage(src, u"a.bmp", 3);

    TJwwData d;
    d.BindImageExr = true;  // read the section without writing files
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    EXPECT_EQ(d.Enthd.jwVer, ver);
    EXPECT_EQ(d.Enthd.dTenkuuZuLevel, ver >= 300 ? 7 : 0);
    EXPECT_EQ(d.Enthd.dZoomJumpBairitsu[4], 2.5);
    EXPECT_EQ(d.Enthd.dZoomJumpBairitsu[8], ver > 230 ? 4 : 1);
    EXPECT_EQ(d.Enthd.nZoomJumpGLay[5], ver > 230 ? 3 : -1);
    EXPECT_EQ(d.Enthd.nMojiBG, ver > 230 ? 9 : 0);
    EXPECT_EQ(d.Enthd.lnDrawTime, ver >= 223 ? 11 : 0);
    EXPECT_EQ(d.Enthd.dSenNagasaSnpou, ver >= 225 ? 12 : 0);
    EXPECT_EQ(d.Enthd.nSolidNinniColor, ver >= 230 ? 13 : 0);
    ASSERT_EQ(d.EntColS.size(), 257u);
    EXPECT_EQ(d.EntColS[3].aPenColor, ver >= 420 ? 0x123456 : 0);
    EXPECT_EQ(d.EntLtpS[2].aadUDLTypePitch[10], ver >= 420 ? 6.5 : 0);
    EXPECT_EQ(d.Enthd.adMojiKijunZureY2, 1.25);

    ASSERT_EQ(d.EntLineN, 2);
    EXPECT_EQ(d.EntLine[0].att.nPenWidth, ver >= 351 ? 7 : 0);
    EXPECT_EQ(d.EntLine[0].att.nLayer, 3);
    EXPECT_EQ(d.EntLine[0].att.nGLayer, 2);
    EXPECT_EQ(d.EntLine[0].att.lGroup, 99u);
    EXPECT_EQ(d.EntLine[1].end_y, 8);
    ASSERT_EQ(d.EntSunpoN, 1);
    const TEntJwwSunpo& s = d.EntSunpo[0];
    EXPECT_EQ(s.Moji.str, u"10");
    if (ver >= 420) {
      EXPECT_EQ(s.bSxfMode, 1);
      EXPECT_EQ(s.Ho1.start_y, 0);
      EXPECT_EQ(s.Ho2.start_x, 20);
      EXPECT_EQ(s.Kt2.start_y, 0);
      EXPECT_EQ(s.Te1.dBairitsu, 0);  // a sub-point without its tail: all zero
    } else {
      EXPECT_EQ(s.bSxfMode, 0);
      EXPECT_EQ(s.Ho2.start_x, 0);
      EXPECT_EQ(s.Ho1.att.lGroup, 99u);
      EXPECT_EQ(s.Te1.att.nGLayer, 2);
      EXPECT_EQ(s.Te1.att.nPenStyle, 0);
      EXPECT_EQ(s.Kt2.dBairitsu, 0);
    }
    EXPECT_EQ(d.BindImageN, ver >= 700 ? 1 : 0);
  }
}

TEST(JwwHeader, DerivedDrawWidth) {
  struct Case { int32_t v; bool senHaba100; int32_t bak; };
  const Case cases[] = {{-450, true, -50}, {-401, true, -1}, {-500, true, -100},
                        {-250, true, 50},  {-201, true, 1},  {-300, true, 100},
                        {-350, true, -100}, {-501, true, -100}, {-101, true, -100},
                        {-100, false, -100}, {0, false, 0},   {7, false, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.v);
    TJwwData src = MakeJwwDrawing(600);
    src.Enthd.nMaxDrawWid = c.v;
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    EXPECT_EQ(d.Enthd.nMaxDrawWid, c.v);
    EXPECT_EQ(d.Enthd.bSenHaba100, c.senHaba100);
    EXPECT_EQ(d.Enthd.nMaxDrawWidBak, c.bak);
  }
}

TEST(JwwHeader, TablesAndTexts) {
  TJwwData src = MakeJwwDrawing(700);
  src.Enthd.strMemo = u"メモ\r\n二行目";
  src.Enthd.nZumen = 4;
  src.Enthd.nPrtDpi = 60;
  src.Enthd.nPrtDispOnlyNonDraw = 1;
  src.EntLgrp[15].adScale = 50;
  src.EntLgrp[15].aStrGLayName = u"配置\t図";
  src.EntLay[15 * 16 + 14].aStrLayName = u"通り芯";
  src.EntLay[15 * 16 + 14].aanLay = 1;
  src.EntCol[9].adPrtTenHankei = 0.75;
  src.EntLtp2[4].anPrtTokushuSenPich = 21;
  src.EntLtp3[3].alLType = 0x0F0F0F0F;
  src.EntMoj[9].anMojiCol = 8;
  TJwwData d;
  ASSERT_TRUE(ReadJww(d, WriteJww(src)));
  EXPECT_EQ(d.Enthd.jwID, u"JwwData.");
  EXPECT_EQ(d.Enthd.strMemo, u"メモ\r\n二行目");  // control characters kept
  EXPECT_EQ(d.Enthd.nZumen, 4);
  EXPECT_EQ(d.Enthd.nPrtDpi, 60);
  EXPECT_EQ(d.Enthd.nPrtDispOnlyNonDraw, 1);
  EXPECT_EQ(d.EntLgrp[15].adScale, 50);
  EXPECT_EQ(d.EntLgrp[15].aStrGLayName, u"配置図");  // names are cleaned
  EXPECT_EQ(d.EntLay[254].aStrLayName, u"通り芯");
  EXPECT_EQ(d.EntLay[254].aanLay, 1);
  EXPECT_EQ(d.EntCol[9].adPrtTenHankei, 0.75);
  EXPECT_EQ(d.EntLtp2[4].anPrtTokushuSenPich, 21);
  EXPECT_EQ(d.EntLtp3[3].alLType, 0x0F0F0F0F);
  EXPECT_EQ(d.EntMoj[9].anMojiCol, 8);
}

TEST(JwwContainer, FreshAndFreed) {
  TJwwData d;
  EXPECT_EQ(d.Enthd.jwVer, 0);
  EXPECT_EQ(d.Enthd.dBairitsu, 1);
  EXPECT_EQ(d.Enthd.dPrtBairitsu, 1);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(d.Enthd.nZoomJumpGLay[i], -1);
    EXPECT_EQ(d.Enthd.dZoomJumpBairitsu[i], 1);
  }
  EXPECT_TRUE(d.EntLay.empty());
  EXPECT_TRUE(d.EntNo.empty());

  TJwwData src = MakeJwwDrawing(600);
  TEntJwwBlockDef& def = AddBlockDef(src, 5, u"B");
  AddLine(def, Line(0, 0, 1, 1));
  AddBlock(src, Insert(5, 0, 0));
  ASSERT_TRUE(ReadJww(d, WriteJww(src)));
  ASSERT_EQ(d.EntBlockDefN, 1);
  d.BindImageFolder = "/somewhere/";
  d.BindImageExr = true;
  d.DataFree();
  EXPECT_EQ(d.EntBlockDefN, 0);
  EXPECT_TRUE(d.EntBlockDef.empty());
  EXPECT_EQ(d.EntBlockN, 0);
  EXPECT_EQ(d.EntBlockTreeN, 0);
  EXPECT_EQ(d.Enthd.jwVer, 0);
  EXPECT_TRUE(d.EntLay.empty());
  // Set once by the driver, kept by DataInit.
  EXPECT_EQ(d.BindImageFolder, "/somewhere/");
  EXPECT_TRUE(d.BindImageExr);
}

// ---- Entity records -------------------------------------------------------

TEST(JwwEntities, EveryKindRoundTrips) {
  for (int32_t ver : {300, 351, 420, 700}) {
    SCOPED_TRACE(ver);
    TJwwData src = MakeJwwDrawing(ver);
    TEntJwwAttr a = Attr(1, 2, 3, 4);
    a.sFlg = 0x20;
    AddLine(src, Line(1.5, -2.5, 3.25, 4, a));
    TEntJwwEnko arc = Arc(10, 20, 5, 0.5, 1.25, a);
    arc.radKatamukiKaku = 0.3;
    arc.dHenpeiRitsu = 0.5;
    AddEnko(src, arc);
    AddEnko(src, Circle(-1, -2, 3, a));
    TEntJwwTen pt = Point(7, 8, a);
    pt.bKariten = 1;
    AddTen(src, pt);
    TEntJwwMoji t = Text(1, 2, u"日本語ＡＢＣ", 3.5, a);
    t.nMojiShu = 10003;
    t.degKakudo = 30;
    t.dKankaku = 0.5;
    AddMoji(src, t);
    AddSolid(src, Solid(0, 0, 1, 0, 1, 1, 0, 1, a));
    AddBlock(src, Insert(42, 3, 4, 0.25, 2, 3, a));
    AddLine(src, Line(9, 9, 9, 9, a));

    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    EXPECT_EQ(d.Enthd.n1, 8);
    ASSERT_EQ(d.EntNo.size(), 8u);
    const int32_t kinds[] = {1, 2, 2, 3, 4, 6, 7, 1};
    const int32_t idx[] = {0, 0, 1, 0, 0, 0, 0, 1};
    for (size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(d.EntNo[i].EntType, kinds[i]);
      EXPECT_EQ(d.EntNo[i].EntNo, idx[i]);
    }
    EXPECT_EQ(d.EntLine[0].start_x, 1.5);
    EXPECT_EQ(d.EntLine[0].att.sFlg, 0x20);
    EXPECT_EQ(d.EntLine[0].att.nPenStyle, 4);
    EXPECT_EQ(d.EntLine[0].att.nPenColor, 3);
    EXPECT_EQ(d.EntEnko[0].radKatamukiKaku, 0.3);
    EXPECT_EQ(d.EntEnko[0].dHenpeiRitsu, 0.5);
    EXPECT_EQ(d.EntEnko[0].bZenEnFlg, 0u);
    EXPECT_EQ(d.EntEnko[1].bZenEnFlg, 1u);
    EXPECT_EQ(d.EntTen[0].bKariten, 1u);
    EXPECT_EQ(d.EntMoji[0].str, u"日本語ＡＢＣ");
    EXPECT_EQ(d.EntMoji[0].strFontName, u"ＭＳ ゴシック");
    EXPECT_EQ(d.EntMoji[0].nMojiShu, 10003u);
    EXPECT_EQ(d.EntMoji[0].degKakudo, 30);
    EXPECT_EQ(d.EntMoji[0].dKankaku, 0.5);
    EXPECT_EQ(d.EntSolid[0].DPoint3_y, 1);
    EXPECT_EQ(d.EntBlock[0].nNumber, 42u);
    EXPECT_EQ(d.EntBlock[0].dBairitsuY, 3);
    EXPECT_EQ(d.EntBlock[0].radKaitenKaku, 0.25);
    EXPECT_EQ(d.EntLine[1].end_x, 9);
  }
}

// A tail is read only when its marker says so; a following line shows the
// reading stayed aligned either way.
TEST(JwwEntities, PointAndSolidTails) {
  struct Case { uint8_t style; uint16_t color; };
  for (const Case c : {Case{100, 1}, Case{1, 1}, Case{99, 10}, Case{101, 9}}) {
    for (int32_t ver : {350, 700}) {
      SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " colour " << c.color
                                      << " ver " << ver);
      TJwwData src = MakeJwwDrawing(ver);
      TEntJwwTen p = Point(1, 2, Attr(0, 0, c.color, c.style));
      p.nCode = 17;
      p.radKaitenKaku = 0.5;
      p.dBairitsu = 2.5;
      AddTen(src, p);
      TEntJwwSolid so = Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, c.color, c.style));
      so.Color = 0x00332211;
      AddSolid(src, so);
      AddLine(src, Line(11, 12, 13, 14));
      TJwwData d;
      ASSERT_TRUE(ReadJww(d, WriteJww(src)));
      ASSERT_EQ(d.EntTenN, 1);
      if (c.style == 100) {
        EXPECT_EQ(d.EntTen[0].nCode, 17u);
        EXPECT_EQ(d.EntTen[0].radKaitenKaku, 0.5);
        EXPECT_EQ(d.EntTen[0].dBairitsu, 2.5);
      } else {
        EXPECT_EQ(d.EntTen[0].nCode, 0u);
        EXPECT_EQ(d.EntTen[0].radKaitenKaku, 0);
        EXPECT_EQ(d.EntTen[0].dBairitsu, 1);
      }
      ASSERT_EQ(d.EntSolidN, 1);
      EXPECT_EQ(d.EntSolid[0].Color, c.color == 10 ? 0x00332211u : 0u);
      ASSERT_EQ(d.EntLineN, 1);
      EXPECT_EQ(d.EntLine[0].end_y, 14);
    }
  }
}

// Records laid out by hand: a line in the short (version 350) and full
// (351) attribute form.
TEST(JwwEntities, HandMadeLineRecords) {
  for (int32_t ver : {350, 351}) {
    SCOPED_TRACE(ver);
    TJwwData src = MakeJwwDrawing(ver);
    TJwArchiveWriter w;
    WriteJwwHeader(w, src);
    w.Count(1);
    w.NewClassTag("CDataSen");
    w.U32(0x01020304);  // lGroup
    w.U8(2);            // nPenStyle
    w.U16(5);           // nPenColor
    if (ver >= 351) w.U16(6);  // nPenWidth
    w.U16(7);           // nLayer
    w.U16(8);           // nGLayer
    w.U16(9);           // sFlg
    for (double v : {1.0, 2.0, 3.0, 4.0}) w.F64(v);
    w.Count(0);
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, w.bytes));
    ASSERT_EQ(d.EntLineN, 1);
    const TEntJwwLine& l = d.EntLine[0];
    EXPECT_EQ(l.att.lGroup, 0x01020304u);
    EXPECT_EQ(l.att.nPenStyle, 2);
    EXPECT_EQ(l.att.nPenColor, 5);
    EXPECT_EQ(l.att.nPenWidth, ver >= 351 ? 6 : 0);
    EXPECT_EQ(l.att.nLayer, 7);
    EXPECT_EQ(l.att.nGLayer, 8);
    EXPECT_EQ(l.att.sFlg, 9);
    EXPECT_EQ(l.start_x, 1);
    EXPECT_EQ(l.end_y, 4);
  }
}

TEST(JwwEntities, CountOf65535AndMore) {
  for (uint32_t n : {65534u, 65535u, 65536u}) {
    SCOPED_TRACE(n);
    TJwwData src = MakeJwwDrawing(700);
    for (uint32_t i = 0; i < n; ++i) AddTen(src, Point(i, 0));
    std::vector<uint8_t> b = WriteJww(src);
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, b));
    EXPECT_EQ(d.Enthd.n1, static_cast<int32_t>(n));
    EXPECT_EQ(d.EntTenN, static_cast<int32_t>(n));
    EXPECT_EQ(d.EntTen.back().start_x, n - 1);
  }
  // A small count in the wide form reads the same.
  TJwwData src = MakeJwwDrawing(700);
  AddLine(src, Line(0, 0, 1, 1));
  TJwwWriteOptions o;
  o.wideCounts = true;
  TJwwData d;
  ASSERT_TRUE(ReadJww(d, WriteJww(src, o)));
  EXPECT_EQ(d.EntLineN, 1);
}

// ---- Block definitions --------------------------------------------------

TEST(JwwBlockDefs, FieldsEntitiesAndTimeStamp) {
  for (int32_t ver : {350, 700}) {
    SCOPED_TRACE(ver);
    TJwwData src = MakeJwwDrawing(ver);
    TEntJwwBlockDef& a = AddBlockDef(src, 7, u"窓\x01" u"A", Attr(3, 4, 5, 6));
    a.bRefferd = 1;
    a.dtime = 0x12345678;
    AddLine(a, Line(0, 0, 1, 0));
    AddMoji(a, Text(0, 0, u"中"));
    TEntJwwBlockDef& b = AddBlockDef(src, 8, u"扉");
    b.dtime = 0x80000000u;  // 8 extra bytes, then replaced by the ordinal
    AddEnko(b, Circle(0, 0, 1));
    AddBlock(b, Insert(7, 1, 1));
    TEntJwwBlockDef& c = AddBlockDef(src, 9, u"空");
    c.dtime = 0xFFFFFFFFu;
    AddBlock(src, Insert(8, 0, 0));
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    ASSERT_EQ(d.EntBlockDefN, 3);
    EXPECT_EQ(d.Enthd.n2, 3);
    const TEntJwwBlockDef& ra = d.EntBlockDef[0];
    EXPECT_EQ(ra.strName, u"窓A");
    EXPECT_EQ(ra.nNumber, 7u);
    EXPECT_EQ(ra.bRefferd, 1u);
    EXPECT_EQ(ra.dtime, 0x12345678u);
    EXPECT_EQ(ra.att.nGLayer, 3);
    EXPECT_EQ(ra.N, 2);
    EXPECT_EQ(ra.mLineN, 1);
    EXPECT_EQ(ra.mMojiN, 1);
    EXPECT_EQ(ra.mMoji[0].str, u"中");
    ASSERT_EQ(ra.mNo.size(), 2u);
    EXPECT_EQ(ra.mNo[1].EntType, jwEntMoji);
    EXPECT_EQ(d.EntBlockDef[1].dtime, 2u);
    EXPECT_EQ(d.EntBlockDef[1].strName, u"扉");
    EXPECT_EQ(d.EntBlockDef[1].mEnkoN, 1);
    EXPECT_EQ(d.EntBlockDef[1].mBlockN, 1);
    EXPECT_EQ(d.EntBlockDef[2].dtime, 3u);
    EXPECT_EQ(d.EntBlockDef[2].N, 0);
    // The tree was built at the end of the read.
    EXPECT_EQ(d.EntBlockTreeN, 2);
    EXPECT_EQ(d.EntBlockNum, 2);
  }
}

// ---- Failures -------------------------------------------------------------

TEST(JwwFailures, FileCheckSignatureAndVersion) {
  TTempFolder tmp;
  struct Case { int32_t ver; bool ok; };
  for (const Case c : {Case{219, false}, Case{220, true}, Case{229, true}, Case{700, true},
                       Case{701, false}, Case{-1, false}}) {
    SCOPED_TRACE(c.ver);
    std::string path = tmp.Dir() + "v.jww";
    ASSERT_TRUE(WriteJwwFile(path, MakeJwwDrawing(c.ver)));
    TJwwData d;
    EXPECT_EQ(d.FileCheck(path), c.ok);
    EXPECT_EQ(d.FileIn(path), c.ok);
  }
  std::string bad = tmp.Dir() + "bad.jww";
  std::vector<uint8_t> b = WriteJww(MakeJwwDrawing(600));
  b[7] = ',';  // "JwwData,"
  ASSERT_TRUE(WriteBytesFile(bad, b));
  TJwwData d;
  EXPECT_FALSE(d.FileCheck(bad));
  EXPECT_FALSE(d.FileIn(bad));
  ASSERT_TRUE(WriteBytesFile(bad, std::vector<uint8_t>(b.begin(), b.begin() + 10)));
  EXPECT_FALSE(d.FileCheck(bad));
  EXPECT_FALSE(d.FileCheck(tmp.Dir() + "missing.jww"));
  EXPECT_FALSE(d.FileIn(tmp.Dir() + "missing.jww"));
  EXPECT_TRUE(d.EntLay.empty());
}

TEST(JwwFailures, FileCheckChangesNothing) {
  TTempFolder tmp;
  TJwwData src = MakeJwwDrawing(600);
  AddLine(src, Line(0, 0, 1, 1));
  std::string path = tmp.Dir() + "a.jww";
  ASSERT_TRUE(WriteJwwFile(path, src));
  TJwwData d;
  ASSERT_TRUE(d.FileIn(path));
  ASSERT_TRUE(WriteJwwFile(tmp.Dir() + "b.jww", MakeJwwDrawing(700)));
  EXPECT_TRUE(d.FileCheck(tmp.Dir() + "b.jww"));
  EXPECT_EQ(d.Enthd.jwVer, 600);
  EXPECT_EQ(d.EntLineN, 1);
}

// The entity list ends early: what was read stays, the failure is reported.
TEST(JwwFailures, EndOfDataInsideLists) {
  TJwwData src = MakeJwwDrawing(700);
  AddLine(src, Line(1, 2, 3, 4));
  AddLine(src, Line(5, 6, 7, 8));
  AddBlock(src, Insert(1, 0, 0));
  TEntJwwBlockDef& def = AddBlockDef(src, 1, u"D");
  AddLine(def, Line(0, 0, 1, 1));
  AddLine(def, Line(0, 0, 2, 2));
  std::vector<uint8_t> full = WriteJww(src);
  TJwArchiveWriter hw;
  WriteJwwHeader(hw, src);
  const size_t header = hw.bytes.size();
  const size_t firstLine = header + 2 + 2 + 2 + 2 + 8 + 47;  // count, new-class tag
  const size_t secondLineData = firstLine + 2;               // after its tag

  {  // second line cut in its last double: kept, the rest reads as zero
    std::vector<uint8_t> b(full.begin(), full.begin() + secondLineData + 47 - 5);
    TJwwData d;
    EXPECT_FALSE(ReadJww(d, b));
    ASSERT_EQ(d.EntLineN, 2);
    EXPECT_EQ(d.EntLine[1].end_x, 7);
    EXPECT_EQ(d.EntLine[1].end_y, 0);
    EXPECT_EQ(d.Enthd.n1, 3);
    EXPECT_EQ(d.EntNo.size(), 2u);
  }
  {  // data ends right after the tag: the object is dropped, its slot stays empty
    std::vector<uint8_t> b(full.begin(), full.begin() + secondLineData);
    TJwwData d;
    EXPECT_FALSE(ReadJww(d, b));
    EXPECT_EQ(d.EntLineN, 1);
    ASSERT_GE(d.EntNo.size(), 2u);
    EXPECT_EQ(d.EntNo[1].EntType, 0);
    EXPECT_EQ(d.EntNo[1].EntNo, 0);
  }
  {  // cut inside the second definition entity: the insert and the first stay
    std::vector<uint8_t> b(full.begin(), full.end() - 4 - 30);
    TJwwData d;
    d.BindImageExr = true;  // so that the missing image count is noticed
    EXPECT_FALSE(ReadJww(d, b));
    EXPECT_EQ(d.EntBlockN, 1);
    ASSERT_EQ(d.EntBlockDefN, 1);
    EXPECT_EQ(d.EntBlockDef[0].mLineN, 2);
    EXPECT_EQ(d.EntBlockDef[0].mLine[1].end_x, 0);  // zero-filled rest
    // The tree is still built.
    EXPECT_EQ(d.EntBlockTreeN, 1);
    EXPECT_EQ(d.EntBlockTree[0].defno, 0);
  }
}

// Counts from the file far beyond what the data holds: no allocation of
// that size, the reading fails at the end of the data.
TEST(JwwFailures, CountsBeyondTheData) {
  TJwwData src = MakeJwwDrawing(700);
  TJwArchiveWriter w;
  WriteJwwHeader(w, src);
  w.Count(0xFFFFFFFFu);
  w.NewClassTag("CDataSen");
  w.Zeros(47);
  TJwwData d;
  EXPECT_FALSE(ReadJww(d, w.bytes));
  EXPECT_EQ(d.EntLineN, 1);
  EXPECT_EQ(d.Enthd.n1, -1);

  TJwArchiveWriter w2;
  WriteJwwHeader(w2, src);
  w2.Count(0);
  w2.Count(0x7FFFFFFFu);  // block definitions
  TJwwData d2;
  EXPECT_FALSE(ReadJww(d2, w2.bytes));
  EXPECT_EQ(d2.EntBlockDefN, 0);

  TJwArchiveWriter w3;
  WriteJwwHeader(w3, src);
  w3.Count(0);
  w3.Count(0);
  w3.U32(0xFFFFFFF0u);  // images
  w3.StrBytes("a.bmp");
  w3.I32(0x7FFFFFFF);
  w3.Raw("xyz");
  TJwwData d3;
  d3.BindImageExr = true;
  EXPECT_FALSE(ReadJww(d3, w3.bytes));
  EXPECT_EQ(d3.BindImageN, 1);
}

// ---- JWS ------------------------------------------------------------------

TEST(JwsReader, HeaderAndGroups) {
  TJwsData src = MakeJwsSymbol(600);
  src.Enthd.BasePoint_x = 12.5;
  src.Enthd.BasePoint_y = -3;
  for (size_t g = 0; g < 16; ++g) src.EntLgrp[g].adScale = 10.0 * static_cast<double>(g + 1);
  src.Enthd.dmy06 = 6;
  src.Enthd.dmy16 = 1.6;
  src.Enthd.My2 = 99;
  AddLine(src, Line(10, 10, 20, 30));
  TEntJwwBlockDef& def = AddBlockDef(src, 3, u"記号");
  AddMoji(def, Text(0, 0, u"記\x02号"));
  AddBlock(src, Insert(3, 1, 1));
  TJwsData d;
  ASSERT_TRUE(ReadJws(d, WriteJws(src)));
  EXPECT_EQ(d.Enthd.jwID, u"JwsData");
  EXPECT_EQ(d.Enthd.jwVer, 600);
  EXPECT_EQ(d.Enthd.BasePoint_x, 12.5);
  EXPECT_EQ(d.Enthd.BasePoint_y, -3);
  EXPECT_EQ(d.Enthd.dmy06, 6);
  EXPECT_EQ(d.Enthd.dmy16, 1.6);
  EXPECT_EQ(d.Enthd.My2, 99);
  ASSERT_EQ(d.EntLgrp.size(), 16u);
  for (size_t g = 0; g < 16; ++g) {
    EXPECT_EQ(d.EntLgrp[g].adScale, 10.0 * static_cast<double>(g + 1));
    EXPECT_EQ(d.EntLgrp[g].anGLay, 2);
    EXPECT_EQ(d.EntLgrp[g].anWriteLay, 0);
    EXPECT_TRUE(d.EntLgrp[g].aStrGLayName.empty());
  }
  EXPECT_EQ(d.Enthd.n1, 2);
  EXPECT_EQ(d.EntLine[0].end_y, 30);
  ASSERT_EQ(d.EntBlockDefN, 1);
  EXPECT_EQ(d.EntBlockDef[0].mMoji[0].str, u"記号");
  EXPECT_EQ(d.EntBlockTreeN, 1);
}

TEST(JwsReader, VersionsAndTrailingBytes) {
  TTempFolder tmp;
  struct Case { int32_t ver; bool ok; };
  for (const Case c : {Case{229, false}, Case{230, true}, Case{351, true}, Case{700, true},
                       Case{701, false}}) {
    SCOPED_TRACE(c.ver);
    TJwsData src = MakeJwsSymbol(c.ver);
    AddLine(src, Line(0, 0, 1, 1));
    std::vector<uint8_t> b = WriteJws(src);
    // No image section in a symbol: whatever follows is ignored.
    b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    std::string path = tmp.Dir() + "s.jws";
    ASSERT_TRUE(WriteBytesFile(path, b));
    TJwsData d;
    d.BindImageExr = true;  // a symbol never reads images anyway
    EXPECT_EQ(d.FileCheck(path), c.ok);
    EXPECT_EQ(d.FileIn(path), c.ok);
    EXPECT_EQ(d.BindImageN, 0);
  }
  // A JWW file is no JWS file and the other way round.
  ASSERT_TRUE(WriteJwwFile(tmp.Dir() + "w.jww", MakeJwwDrawing(700)));
  ASSERT_TRUE(WriteJwsFile(tmp.Dir() + "s.jws", MakeJwsSymbol(700)));
  EXPECT_FALSE(TJwsData().FileCheck(tmp.Dir() + "w.jww"));
  EXPECT_FALSE(TJwwData().FileCheck(tmp.Dir() + "s.jws"));
}

TEST(JwsReader, UnknownClassKeepsEarlierEntities) {
  TJwsData src = MakeJwsSymbol(700);
  AddLine(src, Line(0, 0, 1, 1));
  AddLine(src, Line(0, 0, 2, 2));
  AddEnko(src, Circle(0, 0, 1));
  TJwwWriteOptions o;
  o.classNames[jwEntEnko] = "CDataKukei";
  TJwsData d;
  EXPECT_FALSE(ReadJws(d, WriteJws(src, o)));
  EXPECT_EQ(d.EntLineN, 2);
  EXPECT_EQ(d.EntEnkoN, 0);
}

}  // namespace
}  // namespace tessa::test
