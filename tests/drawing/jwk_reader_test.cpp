// Reading JWK symbols built byte by byte by the fixture writer.
#include <gtest/gtest.h>

#include "JwcFixtureWriter.h"
#include "drawing/JwkUnit.h"

namespace tessa {
namespace {

using fixture::JwcArcRec;
using fixture::JwcTextRec;
using fixture::JwkFixture;
using fixture::Sjis;

class JwkTest : public ::testing::Test {
 protected:
  bool Load(TJwkData& jw, const std::vector<uint8_t>& bytes, const std::string& name = "s.jwk") {
    std::string p = fixture::FixturePath(name);
    EXPECT_TRUE(fixture::WriteFile(p, bytes));
    return jw.FileIn(p);
  }
};

JwkFixture RichSymbol() {
  JwkFixture f;
  f.comment1 = Sjis(u"シンボル");
  f.scale = "50";
  f.lines.push_back({1000, 2000, 3000, 500, 2, 3, 200, 1, 2, 3});
  f.lines.push_back({0, 0, 10, 10, 9, 1, 5, 0, 0, 0});
  JwcArcRec a = JwcArcRec::Deg(10, 20, 30, 0.25, 350, 10, -45);
  a.typ = 9; a.lay = 250; a.flg2 = 0xFF;
  f.arcs.push_back(a);
  f.points.push_back({-5, 6, 7, 8, 9, 10});
  f.texts.push_back({0, 0, 100, 0, Sjis(u"記号"), 4, 3, 32, 5, {}});
  f.texts.push_back({1, 1, 2, 2, "second", 0, 0, 0, 0, {}});
  f.texts.push_back({1, 1, 2, 2, "eleven", 11, 0, 0, 0, {}});
  return f;
}

TEST_F(JwkTest, FileCheckAcceptsOnlyTheSymbolIdentification) {
  const std::pair<std::string, bool> cases[] = {
      {"jw_cad(c)sym........", true},
      {"jw_cad(c)sym........xyz", true},
      {"jw_cad(c)data.......", false},
      {"jw_cad(c)SYM........", false},
      {"jw_cad(c)sym.......", false},
  };
  for (const auto& [bytes, ok] : cases) {
    std::string p = fixture::FixturePath("check.jwk");
    ASSERT_TRUE(fixture::WriteFile(p, std::vector<uint8_t>(bytes.begin(), bytes.end())));
    TJwkData jw;
    EXPECT_EQ(jw.FileCheck(p), ok) << bytes;
  }
  TJwkData jw;
  EXPECT_FALSE(jw.FileCheck(fixture::FixturePath("none.jwk")));
}

TEST_F(JwkTest, ReadsRecordsAsStored) {
  TJwkData jw;
  ASSERT_TRUE(Load(jw, RichSymbol().Build()));
  EXPECT_EQ(jw.Enthd.comment1, u"シンボル");
  EXPECT_EQ(jw.Enthd.scale, 50.0f);
  ASSERT_EQ(jw.lineN, 2);
  EXPECT_EQ(jw.EntLine[0].x1, 1000.0f);  // model coordinates, no paper unit
  EXPECT_EQ(jw.EntLine[0].y2, 500.0f);
  EXPECT_EQ(jw.EntLine[0].lay, 200);
  EXPECT_EQ(jw.EntLine[0].flg3, 3);
  EXPECT_EQ(jw.EntLine[1].typ, 9);
  ASSERT_EQ(jw.arcN, 1);
  EXPECT_EQ(jw.EntArc[0].r, 30.0f);
  EXPECT_EQ(jw.EntArc[0].h, 0.25f);
  EXPECT_EQ(jw.EntArc[0].st, 350.0f);
  EXPECT_EQ(jw.EntArc[0].et, 10.0f);
  EXPECT_EQ(jw.EntArc[0].tt, -45.0f);
  EXPECT_EQ(jw.EntArc[0].lay, 250);
  EXPECT_EQ(jw.EntArc[0].flg2, 0xFF);
  ASSERT_EQ(jw.tenN, 1);
  EXPECT_EQ(jw.EntTen[0].x, -5.0f);
  EXPECT_EQ(jw.EntTen[0].lay, 7);
  EXPECT_EQ(jw.EntTen[0].col, 8);
  EXPECT_EQ(jw.EntTen[0].flg2, 10);
  ASSERT_EQ(jw.mojiN, 3);
  EXPECT_EQ(jw.EntMoji[0].s, u"記号");
  EXPECT_EQ(jw.EntMoji[0].p, 0);  // addresses count from the block's start
  EXPECT_EQ(jw.EntMoji[0].no, 4);
  EXPECT_EQ(jw.EntMoji[0].flg1, 32);
  EXPECT_EQ(jw.EntMoji[0].flg2, 5);
  EXPECT_EQ(jw.EntMoji[1].s, u"second");
  EXPECT_EQ(jw.EntMoji[1].p, 5);
  EXPECT_EQ(jw.EntMoji[2].no, 11);
  EXPECT_EQ(jw.EntMoji[2].s, u"eleven");
}

TEST_F(JwkTest, UpperAddressWordIsNotPartOfTheAddress) {
  JwkFixture f;
  f.texts.push_back({0, 0, 1, 0, "A", 1, 0, 0, 0, {}});
  f.texts.push_back({0, 0, 1, 0, "BC", 1, 0, 0, 0, {}});
  std::vector<uint8_t> b = f.Build();
  // Bytes 18 and 19 of the second text record.
  const size_t rec = 400 + 24;
  b[rec + 18] = 0x34;
  b[rec + 19] = 0x12;
  TJwkData jw;
  ASSERT_TRUE(Load(jw, b));
  EXPECT_EQ(jw.EntMoji[1].p, 2);
  EXPECT_EQ(jw.EntMoji[1].s, u"BC");
}

TEST_F(JwkTest, ScaleAtOrBelowTheLimitBecomesOne) {
  const std::pair<const char*, float> cases[] = {
      {"0", 1.0f}, {"-5", 1.0f}, {"1e-15", 1.0f}, {"abc", 1.0f},
      {"0.5", 0.5f}, {"1e-13", 1e-13f}, {"250", 250.0f}};
  for (const auto& [text, want] : cases) {
    JwkFixture f;
    f.scale = text;
    TJwkData jw;
    ASSERT_TRUE(Load(jw, f.Build())) << text;
    EXPECT_EQ(jw.Enthd.scale, want) << text;
  }
}

TEST_F(JwkTest, HeaderWithFourFields) {
  JwkFixture f = RichSymbol();
  f.block2Text = "2,1,1,3";
  TJwkData jw;
  ASSERT_TRUE(Load(jw, f.Build()));
  EXPECT_EQ(jw.Enthd.org_x, 0.0f);
  EXPECT_EQ(jw.Enthd.org_y, 0.0f);
  EXPECT_EQ(jw.Enthd.dispScale, 0.0f);
  EXPECT_EQ(jw.Enthd.strSpace, 0);
  EXPECT_EQ(jw.Enthd.scale, 1.0f);
  ASSERT_EQ(jw.mojiN, 3);
  for (const auto& m : jw.EntMoji) EXPECT_EQ(m.s, u"");
  EXPECT_EQ(jw.EntLine[0].x1, 1000.0f);
}

TEST_F(JwkTest, TextAddressesOutsideTheBlockGiveEmptyTexts) {
  JwkFixture f;
  // "AB\0CD" with no final zero byte: the last text runs to the end.
  f.strPrefix = std::string("AB\0CD", 5);
  for (int64_t p : {0, 1, 2, 3, 4, 5, 6, 65535})
    f.texts.push_back({0, 0, 1, 0, "", 1, 0, 0, 0, p});
  TJwkData jw;
  ASSERT_TRUE(Load(jw, f.Build()));
  const std::u16string want[] = {u"AB", u"B", u"", u"CD", u"D", u"", u"", u""};
  ASSERT_EQ(jw.mojiN, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(jw.EntMoji[i].s, want[i]) << i;

  // A string block larger than the file holds: what is there is read,
  // and nothing is sized by the stated size.
  JwkFixture g = f;
  g.b2[7] = "2000000000";
  TJwkData jw2;
  ASSERT_TRUE(Load(jw2, g.Build(), "big.jwk"));
  EXPECT_EQ(jw2.EntMoji[3].s, u"CD");
  EXPECT_EQ(jw2.EntMoji[7].s, u"");
}

TEST_F(JwkTest, BadCountsAndShortFilesFail) {
  for (int field : {0, 1, 2, 3})
    for (const char* bad : {"-1", "2147483647", "100"}) {
      JwkFixture f = RichSymbol();
      f.b2[field] = bad;
      TJwkData jw;
      EXPECT_FALSE(Load(jw, f.Build())) << field << " " << bad;
    }
  const std::vector<uint8_t> full = RichSymbol().Build();
  const size_t arcs = 400 + 2 * 22;
  struct Case { size_t size; bool ok; };
  for (const Case& c : {Case{199, false}, Case{400, false}, Case{arcs + 10, false},
                        Case{arcs + 32 + 12 + 3 * 24, false},  // string block missing
                        Case{full.size() - 1, true}}) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(c.size));
    TJwkData jw;
    EXPECT_EQ(Load(jw, cut, "cut.jwk"), c.ok) << c.size;
  }
}

TEST_F(JwkTest, DefaultTextTypesInTenthsOfAMillimetre) {
  TJwkData jw;
  const TEntJwcMojiType want[12] = {{0, 0, 0, 0},     {1, 20, 20, 0},   {1, 25, 25, 5},
                                    {2, 30, 30, 5},   {2, 40, 40, 5},   {3, 50, 50, 10},
                                    {3, 60, 60, 10},  {4, 70, 70, 10},  {4, 80, 80, 10},
                                    {5, 90, 90, 10},  {5, 100, 100, 10}, {0, 0, 0, 0}};
  auto check = [&](const char* when) {
    ASSERT_EQ(jw.EntMjtp.size(), 12u) << when;
    for (int k = 0; k < 12; ++k) {
      EXPECT_EQ(jw.EntMjtp[k].penNo, want[k].penNo) << when << k;
      EXPECT_EQ(jw.EntMjtp[k].width, want[k].width) << when << k;
      EXPECT_EQ(jw.EntMjtp[k].height, want[k].height) << when << k;
      EXPECT_EQ(jw.EntMjtp[k].dist, want[k].dist) << when << k;
    }
  };
  jw.DataInit();
  check("init");
  jw.DataFree();
  EXPECT_TRUE(jw.EntMjtp.empty());
  ASSERT_TRUE(Load(jw, RichSymbol().Build()));
  check("read");
  JwkFixture bad;
  bad.b2[0] = "-1";
  EXPECT_FALSE(Load(jw, bad.Build(), "bad.jwk"));
  check("failed");
  EXPECT_EQ(jw.lineN, 0);
}

}  // namespace
}  // namespace tessa
