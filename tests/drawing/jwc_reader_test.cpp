// Reading JWC drawings built byte by byte by the fixture writer.
#include <gtest/gtest.h>

#include <cstring>

#include "JwcFixtureWriter.h"
#include "drawing/JwcUnit.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

using fixture::JwcArcRec;
using fixture::JwcFixture;
using fixture::JwcLineRec;
using fixture::JwcPointRec;
using fixture::JwcTextRec;
using fixture::Sjis;

std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string p = fixture::FixturePath(name);
  EXPECT_TRUE(fixture::WriteFile(p, bytes));
  return p;
}

// Reads a fixture into jw; the answer of FileIn.
bool Load(TJwcData& jw, const JwcFixture& f, const std::string& name = "d.jwc") {
  return jw.FileIn(Put(name, f.Build()));
}

float Unit(double paper, int drawWidth) {
  return static_cast<float>(static_cast<long double>(paper) / drawWidth);
}

float Mul(float v, float u) {
  return static_cast<float>(static_cast<long double>(v) * static_cast<long double>(u));
}

TEST(JwcFileCheck, AcceptsOnlyTheDrawingIdentification) {
  struct Case { std::string bytes; bool ok; };
  const Case cases[] = {
      {"jw_cad(c)data.......", true},
      {std::string("jw_cad(c)data.......\0rest", 25), true},
      {"jw_cad(c)data.......  only the first 20 bytes count", true},
      {"JW_CAD(C)DATA.......", false},
      {"jw_cad(c)sym........", false},
      {"jw_cad(c)data......", false},  // file shorter than the identification
      {"", false},
  };
  int i = 0;
  for (const auto& c : cases) {
    std::string p = Put("check" + std::to_string(i++) + ".jwc",
                        std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    TJwcData jw;
    EXPECT_EQ(jw.FileCheck(p), c.ok) << c.bytes;
  }
  TJwcData jw;
  EXPECT_FALSE(jw.FileCheck(fixture::FixturePath("missing.jwc")));
}

// One drawing with every kind of entity, its flags, Japanese texts and
// names, virtual points, text types and the layer tables.
JwcFixture RichDrawing() {
  JwcFixture f;
  f.psize = 5;  // no paper width: one stored unit is one millimetre
  f.comment1 = Sjis(u"図面コメント");
  f.comment2 = "second";
  f.lines.push_back({10, 20, 30, 5, 2, 3, 17, 1, 2, 3});
  f.lines.push_back({-1.5f, 0, 0, 2.25f, 9, 9, 255, 0x80, 0, 0x40});
  JwcArcRec a = JwcArcRec::Deg(100, 50, 25, 0.5, -30, 45.5, 12.25);
  a.typ = 9; a.col = 4; a.lay = 33; a.flg1 = 7; a.flg2 = 8; a.flg3 = 9;
  f.arcs.push_back(a);
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 1, 0, 360));
  JwcTextRec t1{0, 0, 40, 0, Sjis(u"日本語テキスト"), 3, 16, 0, 1, {}};
  JwcTextRec t2{5, 5, 5, 45, Sjis(u"縦書き"), 2, 17, 32, 0, {}};
  JwcTextRec t3{1, 1, 2, 1, "type0", 0, 0, 0, 0, {}};
  JwcTextRec t4{1, 2, 2, 2, "type11", 11, 0, 0, 0, {}};
  f.texts = {t1, t2, t3, t4};
  f.points.push_back({7, 8, 200, 6, 1, 2});
  f.vtenCount = 3;
  for (int i = 0; i <= 3; ++i) {
    f.vx[i] = 100.0f + i;
    f.vy[i] = -50.0f - i;
    f.vlay[i] = static_cast<uint8_t>(i + 10);
  }
  f.vx[4] = 999;  // beyond the count: kept in the array, not a virtual point
  f.mjPen[3] = 7; f.mjWidth[3] = 35; f.mjHeight[3] = 40; f.mjDist[3] = 5;
  f.mjPen[0] = 9;
  f.groupScale[0] = 1;
  f.groupScale[1] = 2.5f;
  f.groupScale[15] = 1000;
  f.groupSrch[2] = 0; f.groupDisp[3] = 2; f.groupWlay[4] = 5;
  f.laySrch[17] = 0; f.layDisp[18] = 3;
  f.layName[0] = Sjis(u"壁");
  f.layName[1] = "ABCDEFGH";  // exactly 8 bytes: taken whole
  f.layName[2] = "A\tB";      // control characters are dropped
  f.groupName[0] = Sjis(u"一階平面図");
  f.groupName[15] = "0123456789ABCDEF";
  return f;
}

TEST(JwcFileIn, ReadsEveryKindOfRecord) {
  TJwcData jw;
  ASSERT_TRUE(Load(jw, RichDrawing()));
  EXPECT_EQ(jw.Enthd.comment1, u"図面コメント");
  EXPECT_EQ(jw.Enthd.comment2, u"second");
  EXPECT_FLOAT_EQ(jw.Enthd.dataUnit, 1.0f);
  EXPECT_TRUE(jw.Enthd.para.empty());

  ASSERT_EQ(jw.lineN, 2);
  ASSERT_EQ(jw.EntLine.size(), 2u);
  const TEntJwcLine& l = jw.EntLine[1];
  EXPECT_EQ(l.x1, -1.5f);
  EXPECT_EQ(l.y2, 2.25f);
  EXPECT_EQ(l.typ, 9);
  EXPECT_EQ(l.col, 9);
  EXPECT_EQ(l.lay, 255);
  EXPECT_EQ(l.flg1, 0x80);
  EXPECT_EQ(l.flg3, 0x40);
  EXPECT_EQ(jw.EntLine[0].flg2, 2);

  ASSERT_EQ(jw.arcN, 2);
  const TEntJwcArc2& a = jw.EntArc[0];
  EXPECT_EQ(a.x, 100.0f);
  EXPECT_EQ(a.r, 25.0f);
  EXPECT_EQ(a.h, 0.5f);
  EXPECT_EQ(a.st, -30.0f);
  EXPECT_EQ(a.et, 45.5f);
  EXPECT_EQ(a.tt, 12.25f);
  EXPECT_EQ(a.typ, 9);
  EXPECT_EQ(a.lay, 33);
  EXPECT_EQ(a.flg3, 9);
  EXPECT_EQ(jw.EntArc[1].h, 1.0f);
  EXPECT_EQ(jw.EntArc[1].et, 360.0f);

  ASSERT_EQ(jw.mojiN, 4);
  EXPECT_EQ(jw.EntMoji[0].s, u"日本語テキスト");
  EXPECT_EQ(jw.EntMoji[0].no, 3);
  EXPECT_EQ(jw.EntMoji[0].lay, 16);
  EXPECT_EQ(jw.EntMoji[0].flg2, 1);
  EXPECT_EQ(jw.EntMoji[0].p, 0x6000 * 16);
  EXPECT_EQ(jw.EntMoji[1].s, u"縦書き");
  EXPECT_EQ(jw.EntMoji[1].flg1, 32);
  EXPECT_EQ(jw.EntMoji[1].y2, 45.0f);
  EXPECT_EQ(jw.EntMoji[2].no, 0);
  EXPECT_EQ(jw.EntMoji[2].s, u"type0");
  EXPECT_EQ(jw.EntMoji[3].no, 11);
  EXPECT_EQ(jw.EntMoji[3].s, u"type11");

  ASSERT_EQ(jw.tenN, 1);
  EXPECT_EQ(jw.EntTen[0].x, 7.0f);
  EXPECT_EQ(jw.EntTen[0].lay, 200);
  EXPECT_EQ(jw.EntTen[0].col, 6);
  EXPECT_EQ(jw.EntTen[0].flg2, 2);

  ASSERT_EQ(jw.EntVten.size(), 101u);
  EXPECT_EQ(jw.Enthd.vtenCount, 3);
  EXPECT_EQ(jw.EntVten[3].x, 103.0f);
  EXPECT_EQ(jw.EntVten[3].y, -53.0f);
  EXPECT_EQ(jw.EntVten[3].lay, 13);
  EXPECT_EQ(jw.EntVten[4].x, 999.0f);

  ASSERT_EQ(jw.EntMjtp.size(), 12u);
  EXPECT_EQ(jw.EntMjtp[0].penNo, 9);
  EXPECT_EQ(jw.EntMjtp[3].penNo, 7);
  EXPECT_EQ(jw.EntMjtp[3].width, 35);
  EXPECT_EQ(jw.EntMjtp[3].height, 40);
  EXPECT_EQ(jw.EntMjtp[3].dist, 5);
  EXPECT_EQ(jw.EntMjtp[11].height, 0);  // not in the file

  ASSERT_EQ(jw.EntLgrp.size(), 16u);
  ASSERT_EQ(jw.EntLay.size(), 256u);
  EXPECT_EQ(jw.EntLgrp[1].scale, 2.5f);
  EXPECT_EQ(jw.EntLgrp[15].scale, 1000.0f);
  EXPECT_EQ(jw.EntLgrp[2].srchF, 0);
  EXPECT_EQ(jw.EntLgrp[3].dispF, 2);
  EXPECT_EQ(jw.EntLgrp[4].w_lay, 5);
  EXPECT_EQ(jw.EntLay[17].srchF, 0);
  EXPECT_EQ(jw.EntLay[18].dispF, 3);
  EXPECT_EQ(jw.EntLay[19].dispF, 1);
  EXPECT_EQ(jw.EntLay[0].name, u"壁");
  EXPECT_EQ(jw.EntLay[1].name, u"ABCDEFGH");
  EXPECT_EQ(jw.EntLay[2].name, u"AB");
  EXPECT_EQ(jw.EntLay[3].name, u"");
  EXPECT_EQ(jw.EntLgrp[0].name, u"一階平面図");
  EXPECT_EQ(jw.EntLgrp[15].name, u"0123456789ABCDEF");
}

TEST(JwcFileIn, PaperSizeGivesTheUnitOfTheCoordinates) {
  struct Case { int psize, drawWidth; float unit; };
  const Case cases[] = {
      {3, 518, Unit(420, 518)},   {3, 0, Unit(420, 518)},  // 0 reads as 518
      {0, 518, Unit(1189, 518)},  {1, 841, 1.0f},          {2, 1000, Unit(594, 1000)},
      {4, 518, Unit(297, 518)},   {8, 518, Unit(1682, 518)}, {9, 518, Unit(2378, 518)},
      {10, 518, Unit(3364, 518)}, {11, 518, Unit(4756, 518)}, {12, 1000, 10.0f},
      {13, 518, Unit(50000, 518)}, {14, 518, Unit(100000, 518)},
      {5, 518, 1.0f},             {6, 700, 1.0f},           {7, 518, 1.0f},
      {-1, 518, 1.0f},            {15, 518, 1.0f},          {3, -420, -1.0f},
  };
  for (const auto& c : cases) {
    JwcFixture f;
    f.psize = c.psize;
    f.drawWidth = c.drawWidth;
    f.lines.push_back({518, -259, 0.1f, 3, 1, 1, 0, 0, 0, 0});
    f.arcs.push_back(JwcArcRec::Deg(518, 1, 259, 1, 0, 90));
    f.texts.push_back({518, 0, 1, 1, "t", 1, 0, 0, 0, {}});
    f.points.push_back({518, 7});
    f.vtenCount = 1;
    f.vx[1] = 518;
    TJwcData jw;
    ASSERT_TRUE(Load(jw, f)) << c.psize;
    EXPECT_EQ(jw.Enthd.drawWidth, c.drawWidth == 0 ? 518 : c.drawWidth);
    EXPECT_EQ(jw.Enthd.dataUnit, c.unit) << c.psize << " " << c.drawWidth;
    EXPECT_EQ(jw.EntLine[0].x1, Mul(518, c.unit));
    EXPECT_EQ(jw.EntLine[0].y1, Mul(-259, c.unit));
    EXPECT_EQ(jw.EntLine[0].x2, Mul(0.1f, c.unit));
    EXPECT_EQ(jw.EntArc[0].r, Mul(259, c.unit));
    EXPECT_EQ(jw.EntArc[0].et, 90.0f);  // angles are not scaled
    EXPECT_EQ(jw.EntMoji[0].x1, Mul(518, c.unit));
    EXPECT_EQ(jw.EntTen[0].x, Mul(518, c.unit));
    EXPECT_EQ(jw.EntVten[1].x, Mul(518, c.unit));
  }
  // 420 / 518 is not exact: the unit is that quotient rounded to a single.
  EXPECT_NE(static_cast<double>(Unit(420, 518)), 420.0 / 518.0);
}

TEST(JwcFileIn, GroupScalesAreSinglesOrWordsByTheIdentification) {
  for (bool floats : {true, false}) {
    JwcFixture f;
    f.SetFloatScales(floats);
    f.groupScale = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 3, 4, 6, 8, 30, 40};
    if (floats) f.groupScale[3] = 12.5f;
    f.lines.push_back({1, 2, 3, 4, 1, 1, 0, 0, 0, 0});
    f.layName[0] = "L0";
    f.groupName[15] = "G15";
    TJwcData jw;
    ASSERT_TRUE(Load(jw, f)) << floats;
    EXPECT_EQ(jw.Enthd.scaleF, floats);
    EXPECT_EQ(jw.EntLgrp[3].scale, floats ? 12.5f : 10.0f);
    EXPECT_EQ(jw.EntLgrp[9].scale, 1000.0f);
    EXPECT_EQ(jw.EntLgrp[15].scale, 40.0f);
    // Everything after the scales stays in place in both layouts.
    EXPECT_EQ(jw.EntLine[0].y2, Mul(4, jw.Enthd.dataUnit));
    EXPECT_EQ(jw.EntLay[0].name, u"L0");
    EXPECT_EQ(jw.EntLgrp[15].name, u"G15");
  }
}

TEST(JwcFileIn, HeaderWithFewFieldsTakesZeroForTheRest) {
  JwcFixture f;
  f.psize = 3;
  f.texts.push_back({0, 0, 10, 0, "lost", 1, 0, 0, 0, {}});
  // Ten fields: the counts are there, psize and drawWidth are not.
  f.block2Text = "0,0,1,0,0,1,1,1,1,1";
  f.block3Text = "";
  TJwcData jw;
  ASSERT_TRUE(Load(jw, f));
  EXPECT_EQ(jw.Enthd.mojiCount, 1);
  EXPECT_EQ(jw.Enthd.psize, 0);
  EXPECT_EQ(jw.Enthd.drawWidth, 518);
  EXPECT_EQ(jw.Enthd.dataUnit, Unit(1189, 518));
  EXPECT_EQ(jw.Enthd.lpitch1, 0.0f);  // a missing field is 0, not the start value
  EXPECT_EQ(jw.Enthd.arAng, 0.0f);
  EXPECT_EQ(jw.Enthd.svScrnScl, 0.0f);
  EXPECT_EQ(jw.mojiN, 1);
  EXPECT_EQ(jw.EntMoji[0].s, u"lost");  // block 4 is intact

  // Without block 4 the string block has no address: texts are empty.
  JwcFixture g = f;
  g.block4Text = "";
  std::vector<uint8_t> bytes = g.Build();
  TJwcData jw2;
  ASSERT_TRUE(jw2.FileIn(Put("nob4.jwc", bytes)));
  EXPECT_EQ(jw2.Enthd.sBufAdr1, 0);
  EXPECT_EQ(jw2.Enthd.sBufAdr2, 0);
  EXPECT_EQ(jw2.EntMoji[0].s, u"");
}

TEST(JwcFileIn, HeaderFieldsParseAsSplitByCommas) {
  JwcFixture f;
  f.b2[5] = "";      // an empty field between two commas is 0
  f.b2[16] = "2.5";  // singles
  f.b2[19] = "-3";
  f.b2[24] = "7";
  f.b3[27] = "0.25";
  f.b3[20] = "11";
  f.b4[17] = "35.5";
  f.b4[21] = "1";
  TJwcData jw;
  ASSERT_TRUE(Load(jw, f));
  EXPECT_EQ(jw.Enthd.curFno, 0);
  EXPECT_EQ(jw.Enthd.lpitch1, 2.5f);
  EXPECT_EQ(jw.Enthd.penWidth[0], -3);
  EXPECT_EQ(jw.Enthd.penWidth[5], 7);
  EXPECT_EQ(jw.Enthd.svScrnScl, 0.25f);
  EXPECT_EQ(jw.Enthd.dlinDist[0], 11.0f);
  EXPECT_EQ(jw.Enthd.hiIdo, 35.5f);
  EXPECT_EQ(jw.Enthd.flg25Dm, 1);
  EXPECT_EQ(jw.Enthd.psize, 3);

  // Surplus fields after the last one are ignored; a trailing comma ends
  // the split.
  JwcFixture g;
  g.block3Text = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30";
  g.block4Text = "6000:0000,6000:0000,";
  TJwcData jw2;
  ASSERT_TRUE(Load(jw2, g, "surplus.jwc"));
  EXPECT_EQ(jw2.Enthd.svScrnScl, 28.0f);
  EXPECT_EQ(jw2.Enthd.subZm0X, 0.0f);
}

TEST(JwcFileIn, StringBlockAddressesAreSegmentAndOffset) {
  struct Case { std::string adr; int32_t value; };
  const Case cases[] = {
      {"0600:0010", 24592}, {"6000:0000", 393216}, {"ffff:000f", 0xFFFF * 16 + 15},
      {"zzzz:0010", 16},    {"0600:", 24576},      {"", 0},
      {"0001:-001", 16},
  };
  for (const auto& c : cases) {
    JwcFixture f;
    f.b4[0] = c.adr;
    f.b4[1] = c.adr;
    TJwcData jw;
    ASSERT_TRUE(Load(jw, f)) << c.adr;
    EXPECT_EQ(jw.Enthd.sBufAdr1, c.value) << c.adr;
    EXPECT_EQ(jw.Enthd.sBufAdr2, c.value) << c.adr;
  }
}

TEST(JwcFileIn, TextsAtTheEdgesOfTheStringBlock) {
  JwcFixture f;
  f.psize = 5;
  const int64_t base = 0x6000 * 16;
  // The block is "FIRST\0\0tab\there\0LAST" (20 bytes, no final zero byte).
  f.strPrefix = std::string("FIRST\0\0tab\there\0LAST", 20);
  auto at = [&](int64_t p) {
    JwcTextRec t{0, 0, 1, 0, "", 1, 0, 0, 0, p};
    return t;
  };
  f.texts = {at(base + 0),  at(base + 2),  at(base + 5),  at(base + 6),
             at(base + 16), at(base + 18), at(base + 20), at(base - 1),
             at(base + 5000), at(0)};
  f.points.push_back({3, 4});
  TJwcData jw;
  ASSERT_TRUE(Load(jw, f));
  const std::u16string want[] = {u"FIRST", u"RST", u"", u"", u"LAST", u"ST",
                                 u"", u"", u"", u""};
  ASSERT_EQ(jw.mojiN, 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(jw.EntMoji[i].s, want[i]) << i;
  EXPECT_EQ(jw.EntMoji[7].p, base - 1);
  // The points follow the string block.
  EXPECT_EQ(jw.EntTen[0].y, 4.0f);

  JwcFixture g = f;
  g.texts = {at(base + 7)};
  TJwcData jw2;
  ASSERT_TRUE(Load(jw2, g, "tab.jwc"));
  EXPECT_EQ(jw2.EntMoji[0].s, u"tabhere");
}

TEST(JwcFileIn, StringBlockOfNoSizeLeavesTextsEmpty) {
  // End address below or at the start: nothing is read, and the points
  // follow the text records directly.
  for (const char* end : {"6000:0000", "5FFF:0000"}) {
    JwcFixture f;
    f.texts.push_back({0, 0, 1, 0, "", 1, 0, 0, 0, 0x6000 * 16});
    f.points.push_back({1, 2});
    f.b4[1] = end;
    TJwcData jw;
    ASSERT_TRUE(Load(jw, f)) << end;
    EXPECT_EQ(jw.EntMoji[0].s, u"");
    EXPECT_EQ(jw.EntTen[0].y, Mul(2, jw.Enthd.dataUnit));
  }
}

TEST(JwcFileIn, VirtualPointCountOutsideTheTableRejectsTheDrawing) {
  struct Case { int count; bool ok; };
  for (const Case& c : {Case{-1, false}, Case{0, true}, Case{100, true}, Case{101, false},
                        Case{1000000, false}}) {
    JwcFixture f;
    f.vtenCount = c.count;
    TJwcData jw;
    EXPECT_EQ(Load(jw, f), c.ok) << c.count;
  }
}

TEST(JwcFileIn, BadCountsFailCleanly) {
  // Each count replaced by a value the file cannot hold.
  for (int field : {0, 1, 2, 3}) {
    for (const char* bad : {"-1", "-2147483648", "2147483647", "4000"}) {
      JwcFixture f = RichDrawing();
      f.b2[field] = bad;
      TJwcData jw;
      EXPECT_FALSE(Load(jw, f)) << field << " " << bad;
    }
  }
  // One record too many: the next section is read as records, and the
  // file ends before the names.
  JwcFixture f = RichDrawing();
  f.b2[0] = "3";
  TJwcData jw;
  EXPECT_FALSE(Load(jw, f));
}

TEST(JwcFileIn, FileCutShortFailsButALastRecordCutShortIsZeroFilled) {
  const std::vector<uint8_t> full = RichDrawing().Build();
  const size_t afterHeader = 800;
  const size_t fixedEnd = 800 + 404 * 2 + 101 + 88 + 64 + 560;
  const size_t linesEnd = fixedEnd + 2 * 22;
  struct Case { size_t size; bool ok; };
  const Case cases[] = {
      {0, false}, {100, false}, {afterHeader - 1, false}, {afterHeader, false},
      {fixedEnd + 5, false}, {linesEnd + 3, false}, {full.size() - 256 - 1, false},
      {full.size() - 15, true}, {full.size() - 1, true}, {full.size(), true},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(c.size));
    TJwcData jw;
    EXPECT_EQ(jw.FileIn(Put("cut.jwc", cut)), c.ok) << c.size;
  }
  // The last group name lost its last 15 bytes: the one left is its name.
  std::vector<uint8_t> cut(full.begin(), full.end() - 15);
  TJwcData jw;
  ASSERT_TRUE(jw.FileIn(Put("cut2.jwc", cut)));
  EXPECT_EQ(jw.EntLgrp[15].name, u"0");
}

TEST(JwcFileIn, FailedReadLeavesNoStaleDrawing) {
  TJwcData jw;
  ASSERT_TRUE(Load(jw, RichDrawing()));
  JwcFixture bad = RichDrawing();
  bad.vtenCount = 200;
  EXPECT_FALSE(Load(jw, bad, "bad.jwc"));
  EXPECT_EQ(jw.lineN, 0);
  EXPECT_TRUE(jw.EntLine.empty());
  EXPECT_TRUE(jw.EntLgrp.empty());
  EXPECT_FALSE(jw.FileIn(fixture::FixturePath("absent.jwc")));
  jw.DataFree();
  EXPECT_TRUE(jw.EntMjtp.empty());
  EXPECT_EQ(jw.Enthd.psize, 3);
  EXPECT_EQ(jw.Enthd.sBufAdr1, 393216);
}

}  // namespace
}  // namespace tessa
