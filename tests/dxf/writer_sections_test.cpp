// Behaviour of the section writers, one concern per test: handles and
// $HANDSEED, header values and dates, tables, entity forms, skipped items,
// names and texts.

#include <chrono>
#include <cmath>
#include <set>

#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterCodes.h"
#include "platform/Platform.h"
#include "writer_golden_model.h"

namespace tessa::testing {
namespace {

const char* const kVerName[] = {"r12", "r2000", "r2007"};

std::vector<TPair> Write(TDXFmodel& m, const std::string& name,
                         const std::string& src = "/nonexistent/source.jww") {
  return ParsePairs(SaveAndRead(m, name, src));
}

// Entities section items, in order.
std::vector<std::vector<TPair>> EntityItems(const std::vector<TPair>& all) {
  return Items(Section(all, "ENTITIES"));
}

uint32_t Hex(const std::string& s) { return static_cast<uint32_t>(std::stoul(s, nullptr, 16)); }

// Every handle the file defines (groups 5 and 105), fixed ones included.
std::vector<uint32_t> DefinedHandles(const std::vector<TPair>& all) {
  std::vector<uint32_t> out;
  bool inHeader = false;
  for (const TPair& p : all) {
    if (p.code == 2 && p.value == "HEADER") inHeader = true;
    if (p.code == 0 && p.value == "ENDSEC") inHeader = false;
    // An R12 DIMSTYLE has an empty group 5 (its arrow block): no handle.
    if (!inHeader && (p.code == 5 || p.code == 105) && !p.value.empty())
      out.push_back(Hex(p.value));
  }
  return out;
}

// ---- Handles -------------------------------------------------------------

TEST(HandSeed, IsOneMoreThanTheLastHandleInEveryVersion) {
  for (int ver : {0, 1, 2}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    // End on a written entity so the last handle is in the file.
    const auto all = Write(m, std::string("handles_") + kVerName[ver]);
    const std::vector<uint32_t> hs = DefinedHandles(all);
    ASSERT_FALSE(hs.empty());
    const std::set<uint32_t> unique(hs.begin(), hs.end());
    EXPECT_EQ(unique.size(), hs.size()) << "duplicate handle, version " << ver;
    const uint32_t seed = Hex(HeaderVar(all, "$HANDSEED").at(0).value);
    EXPECT_EQ(seed, *unique.rbegin() + 1) << "version " << ver;
    EXPECT_EQ(static_cast<int32_t>(seed), NextHandleAfterWriting(m)) << "version " << ver;
  }
}

TEST(HandSeed, CountsOfEmptyAndTableOnlyModels) {
  TDXFmodel r12;
  r12.SetDXFVer(0, 0);
  EXPECT_EQ(DXFHandSeed(r12), 11);  // "B"
  TDXFmodel r2000;
  r2000.SetDXFVer(1, 0);
  for (int i = 0; i < 32; ++i) PushLtype(r2000, u"L" + std::u16string(1, char16_t(u'A' + i)), u"", {});
  for (int i = 0; i < 260; ++i) PushLayer(r2000, u"x", 7, 1, 0, true, true);
  PushStyle(r2000, u"Standard", u"txt", false);
  PushStyle(r2000, u"Annotative", u"txt.shx", false);
  EXPECT_EQ(DXFHandSeed(r2000), 334);  // "14E"
  const auto all = Write(r2000, "handseed_tables_r2000");
  EXPECT_EQ(HeaderVar(all, "$HANDSEED").at(0).value, "14E");
}

// Items that are not written still take their handle: the next entity's
// handle is the same as if they had been written.
TEST(SkippedItems, KeepTheirHandleInEveryVersion) {
  struct Case {
    const char* what;
    void (*add)(TDXFmodel&);
    bool skippedFromR2000;
  };
  const Case cases[] = {
      {"blank text",
       [](TDXFmodel& m) {
         PushEnt(m, m.deMoji, DXF_KIND_MOJI, Tx(0, 0, 0, false, false, 0, 0, 1, 0, 1, 1, 0, u" \u3000"));
       },
       true},
      {"point without marker block",
       [](TDXFmodel& m) {
         m.tentyp = 4;
         m.tenidx = -1;
         PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(0, 0, 1, 1, 0, 1));
       },
       true},
      {"point type without output",
       [](TDXFmodel& m) {
         m.tentyp = 7;
         PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(0, 0, 1, 1, 0, 1));
       },
       true},
      {"insert of no block",
       [](TDXFmodel& m) { PushEnt(m, m.deBlock, DXF_KIND_BLOCK, In(0, 0, 0, 0, 0, -1, 0, 0, 0, 1, 1)); },
       true},
      {"model-space viewport",
       [](TDXFmodel& m) { PushEnt(m, m.deVport, DXF_KIND_VPORT, Vp(0, 1, 0, 0, 1, 1, 0, 0, 1)); },
       true},
      {"second layout",
       [](TDXFmodel& m) { PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(2, 0, 0, 0, 0, 0, 0, 1, 1)); },
       false},
  };
  for (const Case& c : cases) {
    for (int ver : {0, 1, 2}) {
      TDXFmodel m;
      m.SetDXFVer(ver, 0);
      BasicTables(m);
      PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 0, 0, 0, 0, 0, 0, 1, 0));
      c.add(m);
      PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 0, 0, 0, 0, 0, 0, 2, 0));
      const auto items = EntityItems(Write(m, "skip"));
      const bool skipped = ver == 0 || c.skippedFromR2000;
      ASSERT_EQ(items.size(), skipped ? 2u : 3u) << c.what << " version " << ver;
      EXPECT_EQ(Hex(Value(items.back(), 5)), Hex(Value(items.front(), 5)) + 2)
          << c.what << " version " << ver;
      EXPECT_EQ(DXFHandSeed(m), NextHandleAfterWriting(m)) << c.what;
    }
  }
}

// ---- Header --------------------------------------------------------------

TEST(Header, VariablesOfEachVersion) {
  const char* const only12[] = {"$DRAGMODE", "$OSMODE", "$BLIPMODE", "$COORDS",
                                "$ATTDIA", "$ATTREQ", "$HANDLING"};
  const char* const from15[] = {"$ACADMAINTVER", "$CELTSCALE", "$DIMTXSTY",
                                "$TDUCREATE", "$PINSBASE", "$OLESTARTUP"};
  const char* const only21[] = {"$LASTSAVEDBY", "$DIMJOGANG", "$SORTENTS",
                                "$SHADOWPLANELOCATION"};
  for (int ver : {0, 1, 2}) {
    TDXFmodel m;
    m.SetDXFVer(ver, 0);
    BasicTables(m);
    const auto all = Write(m, std::string("header_") + kVerName[ver]);
    const std::vector<std::string> names = HeaderNames(all);
    auto has = [&](const char* n) {
      return std::find(names.begin(), names.end(), n) != names.end();
    };
    for (const char* n : only12) EXPECT_EQ(has(n), ver == 0) << n << " version " << ver;
    for (const char* n : from15) EXPECT_EQ(has(n), ver != 0) << n << " version " << ver;
    for (const char* n : only21) EXPECT_EQ(has(n), ver == 2) << n << " version " << ver;
    EXPECT_EQ(names.front(), "$ACADVER");
    static const char* const kLast[] = {"$PSLTSCALE", "$OLESTARTUP", "$SHADOWPLANELOCATION"};
    EXPECT_EQ(names.back(), kLast[ver]);
    static const char* const kAcad[] = {"AC1009", "AC1015", "AC1021"};
    EXPECT_EQ(HeaderVar(all, "$ACADVER").at(0).value, kAcad[ver]);
    if (ver > 0) {
      EXPECT_EQ(HeaderVar(all, "$ACADMAINTVER").at(0).value, ver == 1 ? "    20" : "    25");
    }
    EXPECT_EQ(HeaderVar(all, "$TEXTSTYLE").at(0).value, ver == 0 ? "STANDARD" : "Standard");
    EXPECT_EQ(HeaderVar(all, "$CELTYPE").at(0).value, ver == 0 ? "BYLAYER" : "ByLayer");
  }
}

TEST(Header, ScaledExtentsAndLimits) {
  TDXFmodel m;
  m.SetDXFVer(1, 0);
  m.SetScale(100);
  m.SetPap(10, 20, 400, 280, 420, 297);
  BasicTables(m);
  // The extents are those of what is drawn, in model units.
  m.AddLine(0, 0, 0, 0, 0, 1000, 2000, 40000, 28000);
  const auto all = Write(m, "header_scale");
  auto values = [&](const char* n) {
    std::vector<std::string> v;
    for (const TPair& p : HeaderVar(all, n)) v.push_back(p.value);
    return v;
  };
  EXPECT_EQ(values("$EXTMIN"), (std::vector<std::string>{"1000.0", "2000.0", "0.0"}));
  EXPECT_EQ(values("$EXTMAX"), (std::vector<std::string>{"40000.0", "28000.0", "0.0"}));
  EXPECT_EQ(values("$LIMMAX"), (std::vector<std::string>{"42000.0", "29700.0"}));
  EXPECT_EQ(values("$LTSCALE"), (std::vector<std::string>{"100.0"}));
  // Wide integers of the header are six wide too.
  EXPECT_EQ(values("$CELWEIGHT"), (std::vector<std::string>{"    -1"}));
  EXPECT_EQ(values("$LWDISPLAY"), (std::vector<std::string>{"     0"}));
  // With a layout the scale is that of layer group 0.
  TDXFmodel p;
  p.SetDXFVer(1, 1);
  p.SetScale(100);
  p.SetPap(10, 20, 400, 280, 420, 297);
  p.deLgp[0].sc = 2;
  BasicTables(p);
  const auto all2 = Write(p, "header_scale_layout");
  EXPECT_EQ(HeaderVar(all2, "$LTSCALE").at(0).value, "2.0");
  EXPECT_EQ(HeaderVar(all2, "$LIMMAX").at(0).value, "840.0");
}

TEST(Header, DatesComeFromTheSourceFile) {
  const std::string src = std::string(TESSA_WRITER_OUT_DIR) + "/dated_source.jww";
  { std::ofstream(src) << "x"; }
  // 2001-02-03 04:05:06.789 on the local clock, as the file's write time.
  std::tm t{};
  t.tm_year = 101, t.tm_mon = 1, t.tm_mday = 3, t.tm_hour = 4, t.tm_min = 5, t.tm_sec = 6;
  t.tm_isdst = -1;
  const time_t secs = std::mktime(&t);
  const auto written =
      std::chrono::system_clock::from_time_t(secs) + std::chrono::milliseconds{789};
  ASSERT_TRUE(platform::ChangeFileTime(src, platform::TFileTime::written, written));

  TDXFmodel m;
  m.SetDXFVer(1, 0);
  BasicTables(m);
  const auto all = Write(m, "header_dates", src);
  const double U = 2451943.5 + (4 * 3600 + 5 * 60 + 6.789) / 86400.0;
  EXPECT_EQ(HeaderVar(all, "$TDUPDATE").at(0).value, RealStr(U));
  EXPECT_EQ(HeaderVar(all, "$TDUUPDATE").at(0).value, RealStr(U - 0.375));
  // The creation (birth) time is now or the write time: never later than
  // this run, and the elapsed time is update minus creation.
  const double C = DXFJulianDate(FileCreateTime(src));
  EXPECT_EQ(HeaderVar(all, "$TDCREATE").at(0).value, RealStr(C));
  EXPECT_EQ(HeaderVar(all, "$TDUCREATE").at(0).value, RealStr(C - 0.375));
  EXPECT_EQ(HeaderVar(all, "$TDINDWG").at(0).value, RealStr(U - C));
  EXPECT_EQ(HeaderVar(all, "$TDUSRTIMER").at(0).value, RealStr(U - C));

  // Without a source both dates are the zero date and no time elapsed.
  const auto none = Write(m, "header_dates_none", "/nonexistent/x.jww");
  EXPECT_EQ(HeaderVar(none, "$TDCREATE").at(0).value, "2415018.5");
  EXPECT_EQ(HeaderVar(none, "$TDUPDATE").at(0).value, "2415018.5");
  EXPECT_EQ(HeaderVar(none, "$TDUUPDATE").at(0).value, "2415018.125");
  EXPECT_EQ(HeaderVar(none, "$TDINDWG").at(0).value, "0.0");
}

// ---- Classes -------------------------------------------------------------

TEST(Classes, RecordsOfEachVersion) {
  for (int ver : {0, 1, 2}) {
    TDXFmodel m;
    m.SetDXFVer(ver, 0);
    BasicTables(m);
    const auto all = Write(m, "classes");
    EXPECT_EQ(HasSection(all, "CLASSES"), ver != 0);
    EXPECT_EQ(HasSection(all, "OBJECTS"), ver != 0);
    if (ver == 0) continue;
    const auto items = Items(Section(all, "CLASSES"));
    ASSERT_EQ(items.size(), ver == 1 ? 10u : 8u);
    for (const auto& c : items) {
      EXPECT_EQ(Has(c, 91), ver == 2) << Value(c, 1);
      EXPECT_EQ(Value(c, 90).size(), 9u);
      EXPECT_EQ(Value(c, 280), "     0");
    }
    EXPECT_EQ(Value(items[ver == 1 ? 6 : 4], 90), "     4095");  // VISUALSTYLE
  }
}

// ---- Tables --------------------------------------------------------------

std::vector<std::vector<TPair>> TableItems(const std::vector<TPair>& all, const std::string& table) {
  std::vector<std::vector<TPair>> out;
  const auto items = Items(Section(all, "TABLES"));
  bool in = false;
  for (const auto& it : items) {
    if (it[0].value == "TABLE") in = Value(it, 2) == table;
    if (in && it[0].value != "ENDTAB") out.push_back(it);
  }
  return out;
}

TEST(Tables, R12HasNoHandlesOwnersOrMarkers) {
  TDXFmodel m;
  BuildGoldenModel(m, 0);
  const auto all = Write(m, "tables_r12");
  for (const TPair& p : Section(all, "TABLES")) {
    if (p.code == 5) {
      EXPECT_EQ(p.value, "");  // the empty arrow block of DIMSTYLE
    }
    EXPECT_NE(p.code, 105);
    EXPECT_NE(p.code, 330);
    EXPECT_NE(p.code, 100);
  }
  EXPECT_TRUE(TableItems(all, "BLOCK_RECORD").empty());
  const auto appid = TableItems(all, "APPID");
  ASSERT_EQ(appid.size(), 8u);
  EXPECT_EQ(Value(appid[4], 2), "ACADANNOTATIVE");
  const auto dim = TableItems(all, "DIMSTYLE");
  ASSERT_EQ(dim.size(), 3u);
  EXPECT_EQ(Value(dim[2], 2), "ANNOTATIVE");
  for (int c : {3, 4, 5, 6, 7, 45, 46, 47, 48, 142, 144, 145, 146, 71, 78, 170, 178})
    EXPECT_TRUE(Has(dim[1], c)) << c;
  const auto layers = TableItems(all, "LAYER");
  EXPECT_TRUE(Has(layers[1], 370));
  EXPECT_TRUE(Has(layers[1], 390));
}

TEST(Tables, LayerRecords) {
  TDXFmodel m;
  BuildGoldenModel(m, 1);
  const auto layers = TableItems(Write(m, "tables_layers"), "LAYER");
  ASSERT_EQ(layers.size(), 7u);  // table + 6
  EXPECT_EQ(Value(layers[0], 70), "     6");
  // "hidden": colour 5, not displayed, plotted, Dashed, default weight.
  EXPECT_EQ(Value(layers[6], 2), "hidden");
  EXPECT_EQ(Value(layers[6], 62), "    -5");
  EXPECT_FALSE(Has(layers[6], 290));
  EXPECT_EQ(Value(layers[6], 6), "Dashed");
  EXPECT_EQ(Value(layers[6], 370), "    -3");
  // "DEFPOINTS" is not plotted; "壁-1" has weight 25.
  EXPECT_EQ(Value(layers[2], 290), "     0");
  EXPECT_EQ(Value(layers[5], 370), "    25");
}

TEST(Tables, LtypeCountsOnlyTheModelsLineTypes) {
  TDXFmodel m;
  BuildGoldenModel(m, 1);
  const auto lt = TableItems(Write(m, "tables_ltype"), "LTYPE");
  ASSERT_EQ(lt.size(), 1u + 2 + 4);
  EXPECT_EQ(Value(lt[0], 70), "     4");
  EXPECT_EQ(Value(lt[1], 2), "ByBlock");
  EXPECT_EQ(Value(lt[2], 2), "ByLayer");
  EXPECT_EQ(Value(lt[4], 73), "     2");
  EXPECT_EQ(Value(lt[4], 40), "19.05");
  EXPECT_EQ(Values(lt[4], 49), (std::vector<std::string>{"12.7", "-6.35"}));
  EXPECT_EQ(Values(lt[4], 74).size(), 2u);
}

TEST(Tables, DimstylesReferToTheStandardTextStyle) {
  for (int ver : {1, 2}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    const auto all = Write(m, "tables_dimstyle");
    const auto styles = TableItems(all, "STYLE");
    ASSERT_GE(styles.size(), 2u);
    EXPECT_EQ(Value(styles[1], 2), "Standard");
    const std::string standard = Value(styles[1], 5);
    EXPECT_EQ(Hex(standard), Hex(Value(styles[0], 5)) + 1);
    const auto dim = TableItems(all, "DIMSTYLE");
    ASSERT_EQ(dim.size(), 3u);
    EXPECT_EQ(Values(dim[0], 340),
              (std::vector<std::string>{Value(dim[1], 105), Value(dim[2], 105)}));
    EXPECT_EQ(Value(dim[1], 340), standard);
    EXPECT_EQ(Value(dim[2], 340), standard);
  }
}

TEST(Tables, ActiveViewport) {
  TDXFmodel m;
  m.SetDXFVer(1, 0);
  m.SetPap(0, 0, 10, 10, 420, 297);
  BasicTables(m);
  // Nothing drawn: the view shows the sheet, with a margin.
  const auto vp = TableItems(Write(m, "tables_vport"), "VPORT");
  ASSERT_EQ(vp.size(), 2u);
  EXPECT_EQ(Value(vp[1], 12), "210.0");
  EXPECT_EQ(Value(vp[1], 22), "148.5");
  EXPECT_EQ(Value(vp[1], 40), "311.85");
  EXPECT_EQ(Value(vp[1], 41), "1.41414141414141");
  TDXFmodel flat;
  flat.SetDXFVer(2, 0);
  flat.SetPap(0, 0, 10, 10, 420, 0);
  BasicTables(flat);
  const auto vp2 = TableItems(Write(flat, "tables_vport_flat"), "VPORT");
  EXPECT_EQ(Value(vp2[1], 41), "1.0");
  EXPECT_EQ(Value(vp2[1], 421), "  3355443");
}

TEST(Tables, BlockRecordsOwnTheBlocks) {
  for (int ver : {1, 2}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    const auto all = Write(m, "tables_block_record");
    const auto br = TableItems(all, "BLOCK_RECORD");
    ASSERT_EQ(br.size(), 1u + 3 + 3);
    EXPECT_EQ(Value(br[0], 70), "     2");
    EXPECT_EQ(Value(br[6], 2), "door");
    EXPECT_EQ(Value(br[6], 340), "0");
    EXPECT_EQ(Has(br[6], 281), ver == 2);
    // The door's BLOCK and its content are owned by its record.
    const auto blocks = Items(Section(all, "BLOCKS"));
    std::string owner;
    for (const auto& it : blocks)
      if (it[0].value == "BLOCK" && Value(it, 2) == "door") owner = Value(it, 330);
    EXPECT_EQ(owner, Value(br[6], 5));
  }
}

// ---- Entities --------------------------------------------------------------

// A model with the basic tables and one entity added by `add`.
template <class F>
std::vector<TPair> OneEntity(int ver, F add, const std::string& name) {
  TDXFmodel m;
  m.SetDXFVer(ver, 0);
  BasicTables(m);
  PushLtype(m, u"Dashed", u"", {1, -1});
  PushLayer(m, u"L1", 3, 1, 0, true, true);
  add(m);
  const auto items = EntityItems(Write(m, name));
  EXPECT_EQ(items.size(), 1u) << name;
  return items.empty() ? std::vector<TPair>{} : items[0];
}

TEST(Entities, AttributeGroups) {
  const auto byLayer = OneEntity(1, [](TDXFmodel& m) {
    PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 1, 0, 0, 0, 0, 0, 1, 1));
  }, "attr_bylayer");
  EXPECT_FALSE(Has(byLayer, 6));
  EXPECT_FALSE(Has(byLayer, 62));
  EXPECT_FALSE(Has(byLayer, 370));
  const auto byBlock = OneEntity(1, [](TDXFmodel& m) {
    PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 1, -1, -1, -1, 0, 0, 1, 1));
  }, "attr_byblock");
  EXPECT_EQ(Value(byBlock, 6), "ByBlock");
  EXPECT_EQ(Value(byBlock, 62), "     0");
  EXPECT_EQ(Value(byBlock, 370), "-2");
  const auto explicitly = OneEntity(1, [](TDXFmodel& m) {
    PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 1, 5, 2, 25, 0, 0, 1, 1));
  }, "attr_explicit");
  EXPECT_EQ(Value(explicitly, 6), "Dashed");
  EXPECT_EQ(Value(explicitly, 62), "     5");
  EXPECT_EQ(Value(explicitly, 370), "25");
  EXPECT_EQ(Value(explicitly, 8), "L1");
  const auto r12 = OneEntity(0, [](TDXFmodel& m) {
    PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 1, 5, 2, 25, 0, 0, 1, 1));
  }, "attr_r12");
  EXPECT_FALSE(Has(r12, 370));
  EXPECT_FALSE(Has(r12, 330));
  EXPECT_FALSE(Has(r12, 100));
  EXPECT_TRUE(Has(r12, 5));
}

TEST(Entities, R12NamesMatchTheirUpperCasedTables) {
  for (int ver : {0, 1}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    const auto all = Write(m, std::string("names_") + kVerName[ver]);
    const bool up = ver == 0;
    std::set<std::string> blockNames, ltypeNames;
    for (const auto& it : Items(Section(all, "BLOCKS")))
      if (it[0].value == "BLOCK") blockNames.insert(Value(it, 2));
    for (const auto& it : TableItems(all, "LTYPE"))
      if (it[0].value == "LTYPE") ltypeNames.insert(Value(it, 2));
    int inserts = 0, typed = 0;
    for (const auto& it : EntityItems(all)) {
      if (it[0].value == "INSERT") {
        ++inserts;
        EXPECT_TRUE(blockNames.count(Value(it, 2))) << Value(it, 2);
      }
      if (Has(it, 6) && Value(it, 6) != "ByBlock" && Value(it, 6) != "BYBLOCK") {
        ++typed;
        EXPECT_TRUE(ltypeNames.count(Value(it, 6))) << Value(it, 6);
      }
      if (Has(it, 6) && it[0].value == "LINE" && Value(it, 62) == "     0") {
        EXPECT_EQ(Value(it, 6), up ? "BYBLOCK" : "ByBlock");
      }
    }
    EXPECT_GE(inserts, 3);
    EXPECT_GE(typed, 3);
    EXPECT_TRUE(blockNames.count(up ? "DOOR" : "door"));
  }
}

TEST(Entities, ArcsRunCounterClockwise) {
  const auto cw = OneEntity(1, [](TDXFmodel& m) {
    PushEnt(m, m.deArc, DXF_KIND_ARC, Ar(1, 0, 0, 0, 5, 30, -90));
  }, "arc_cw");
  EXPECT_EQ(Value(cw, 50), "300.0");
  EXPECT_EQ(Value(cw, 51), "30.0");
  const auto ccw = OneEntity(1, [](TDXFmodel& m) {
    PushEnt(m, m.deArc, DXF_KIND_ARC, Ar(1, 0, 0, 0, 5, 300, 120));
  }, "arc_ccw");
  EXPECT_EQ(Value(ccw, 50), "300.0");
  EXPECT_EQ(Value(ccw, 51), "60.0");
}

// Point at parameter t (degrees) of a written ELLIPSE.
void WrittenEllipsePoint(const std::vector<TPair>& e, double t, double& x, double& y) {
  const double cx = std::stod(Value(e, 10)), cy = std::stod(Value(e, 20));
  const double mx = std::stod(Value(e, 11)), my = std::stod(Value(e, 21));
  const double ratio = std::stod(Value(e, 40));
  const double r = std::hypot(mx, my);
  EllipsePoint(cx, cy, r, ratio, std::atan2(my, mx), t, x, y);
}

TEST(Entities, EllipsesKeepTheirCurveWithARatioAboveOneOrANegativeSweep) {
  struct Case {
    const char* what;
    double he, sa, da, ka;
  };
  const Case cases[] = {
      {"plain", 0.5, 30, 120, 10},
      {"ratio above one", 2, 30, 120, 10},
      {"ratio above one, near zero start", 2.5, 60, 200, 300},
      {"negative sweep", 0.5, 30, -90, 10},
      {"ratio above one, negative sweep", 2, 100, -45, 20},
  };
  for (const Case& c : cases) {
    const auto e = OneEntity(1, [&](TDXFmodel& m) {
      PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(1, 5, 6, 10, c.he, c.sa, c.da, c.ka));
    }, "ellipse");
    const double ratio = std::stod(Value(e, 40));
    EXPECT_LE(ratio, 1.0) << c.what;
    const double t1 = std::stod(Value(e, 41)), t2 = std::stod(Value(e, 42));
    EXPECT_GE(t1, 0.0) << c.what;
    EXPECT_NEAR(t2 - t1, std::fabs(c.da) * M_PI / 180, 1e-12) << c.what;
    // The written curve starts where the model's curve starts (or ends,
    // for a clockwise sweep) and ends at its other end.
    double ax, ay, bx, by, sx, sy, ex, ey;
    const double tilt = c.ka * M_PI / 180;
    EllipsePoint(5, 6, 10, c.he, tilt, c.sa * M_PI / 180, ax, ay);
    EllipsePoint(5, 6, 10, c.he, tilt, (c.sa + c.da) * M_PI / 180, bx, by);
    if (c.da < 0) std::swap(ax, bx), std::swap(ay, by);
    WrittenEllipsePoint(e, t1, sx, sy);
    WrittenEllipsePoint(e, t2, ex, ey);
    EXPECT_NEAR(sx, ax, 1e-9) << c.what;
    EXPECT_NEAR(sy, ay, 1e-9) << c.what;
    EXPECT_NEAR(ex, bx, 1e-9) << c.what;
    EXPECT_NEAR(ey, by, 1e-9) << c.what;
  }
  const auto whole = OneEntity(2, [](TDXFmodel& m) {
    PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(1, 0, 0, 10, 2, 70, 0, 0));
  }, "ellipse_whole_tall");
  EXPECT_EQ(Value(whole, 40), "0.5");
  EXPECT_EQ(Value(whole, 11), RealStr(KaitenX(20, 0, 0, 0, 90 * 0.017453292519943278)));
  EXPECT_EQ(Value(whole, 21), "20.0");
  EXPECT_EQ(Value(whole, 41), "0.0");
  EXPECT_EQ(Value(whole, 42), "6.28318530717959");
}

TEST(Entities, R12EllipsesArePolylinesSampledFromTheStart) {
  const double sa = 10.1, da = 33.3, ka = 17;
  TDXFmodel m;
  m.SetDXFVer(0, 0);
  BasicTables(m);
  PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(0, 5, 6, 10, 0.4, sa, da, ka));
  PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(0, 5, 6, 10, 0.4, sa, 0, ka));
  const auto all = Section(Write(m, "ellipse_r12"), "ENTITIES");
  const auto items = Items(all);
  // POLYLINE, 73 VERTEX, SEQEND, POLYLINE, 72 VERTEX, SEQEND
  ASSERT_EQ(items.size(), 1u + 73 + 1 + 1 + 72 + 1);
  EXPECT_FALSE(Has(items[0], 70));
  EXPECT_EQ(Value(items[75], 70), "     1");
  const double step = da / 72;
  for (int k = 0; k <= 72; ++k) {
    double x, y;
    EllipsePoint(5, 6, 10, 0.4, ka * M_PI / 180, (sa + k * step) * M_PI / 180, x, y);
    const auto& v = items[1 + k];
    ASSERT_EQ(v[0].value, "VERTEX");
    EXPECT_EQ(Value(v, 10), RealStr(x)) << k;
    EXPECT_EQ(Value(v, 20), RealStr(y)) << k;
    EXPECT_FALSE(Has(v, 5));
  }
  for (int k = 0; k < 72; ++k) {
    double x, y;
    EllipsePoint(5, 6, 10, 0.4, ka * M_PI / 180, (k * 5.0) * M_PI / 180, x, y);
    EXPECT_EQ(Value(items[76 + k], 10), RealStr(x)) << k;
  }
  EXPECT_EQ(items[74][0].value, "SEQEND");
  EXPECT_FALSE(Has(items[74], 5));
}

TEST(Entities, PointsInEachForm) {
  struct Case {
    int tentyp;
    bool withBlock;
    double a, ba;
    const char* type;  // nullptr: nothing written
  };
  const Case cases[] = {
      {0, false, 0, 1, "POINT"},   {1, false, 0, 2, "CIRCLE"},
      {3, true, 0, 1, "INSERT"},   {5, true, 30, 2, "INSERT"},
      {2, false, 0, 1, nullptr},   {7, true, 0, 1, nullptr},
      {-1, true, 0, 1, nullptr},
  };
  for (const Case& c : cases) {
    TDXFmodel m;
    m.SetDXFVer(1, 0);
    BasicTables(m);
    m.SetTenTransType(c.tentyp, 0.5);
    if (c.withBlock) {
      m.deBlockDef.emplace_back();
      m.deBlockDef.back().nam = u"_TRANS_TEN";
      m.tenidx = 0;
    }
    PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(0, 3, 7, 8, c.a, c.ba));
    const auto items = EntityItems(Write(m, "points_" + std::to_string(c.tentyp)));
    if (!c.type) {
      EXPECT_TRUE(items.empty()) << c.tentyp;
      continue;
    }
    ASSERT_EQ(items.size(), 1u) << c.tentyp;
    const auto& e = items[0];
    EXPECT_EQ(e[0].value, c.type);
    EXPECT_EQ(Value(e, 62), "     3");
    if (c.tentyp == 0) { EXPECT_FALSE(Has(e, 6)); }
    if (c.tentyp >= 1) { EXPECT_EQ(Value(e, 6), "Continuous"); }
    if (c.tentyp == 1) { EXPECT_EQ(Value(e, 40), "1.0"); }
    if (c.tentyp >= 2) {
      EXPECT_EQ(Value(e, 2), "_TRANS_TEN");
      EXPECT_EQ(Has(e, 41), c.ba != 1);
      EXPECT_EQ(Has(e, 42), c.ba != 1);
      EXPECT_EQ(Has(e, 50), c.a != 0);
    }
  }
}

TEST(Entities, SolidCornersFollowTheSolidOrder) {
  const auto s = OneEntity(1, [](TDXFmodel& m) {
    TDXF_Solid4 q;
    q.lay = 1;
    q.x1 = 0, q.y1 = 0, q.x2 = 1, q.y2 = 0, q.x3 = 1, q.y3 = 1, q.x4 = 0, q.y4 = 1;
    PushEnt(m, m.deSld4, DXF_KIND_SOLID4, q);
  }, "solid4");
  EXPECT_EQ(Value(s, 12), "0.0");
  EXPECT_EQ(Value(s, 22), "1.0");
  EXPECT_EQ(Value(s, 13), "1.0");
  EXPECT_EQ(Value(s, 23), "1.0");
}

TEST(Entities, Texts) {
  struct Case {
    const char* what;
    bool tate, syat;
    double w, h;
    std::u16string st;
    const char* value;
    const char* widthFactor;
  };
  const Case cases[] = {
      {"caret", false, false, 3, 2, u"A^B^^", "A^ B^ ^ ", "1.5"},
      {"vertical and slanted", true, true, 2, 2, u"縦", "\x8f\x63", "1.0"},
      {"no height", false, false, 2, 0, u" x ", " x ", "1.0"},
  };
  for (const Case& c : cases) {
    const auto t = OneEntity(1, [&](TDXFmodel& m) {
      PushEnt(m, m.deMoji, DXF_KIND_MOJI,
              Tx(0, 1, 1, c.tate, c.syat, 1, 2, 3, 4, c.w, c.h, 0, c.st));
    }, "text");
    EXPECT_EQ(Value(t, 1), c.value) << c.what;
    EXPECT_EQ(Value(t, 41), c.widthFactor) << c.what;
    EXPECT_EQ(Value(t, 72), c.tate ? "     3" : "     5") << c.what;
    EXPECT_EQ(Has(t, 73), !c.tate) << c.what;
    EXPECT_EQ(Has(t, 51), c.syat) << c.what;
    EXPECT_EQ(Value(t, 7), "Annotative") << c.what;
    EXPECT_EQ(t.back().value, "AcDbText") << c.what;
  }
}

TEST(Entities, InsertScalesAndRotation) {
  struct Case {
    double bx, by, a;
    bool has41, has42, has50;
  };
  const Case cases[] = {
      {1, 1, 0, false, false, false},
      {0, 2, 1e-12, false, true, true},
      {2, 1, 1e-15, true, false, false},
  };
  for (const Case& c : cases) {
    const auto e = OneEntity(1, [&](TDXFmodel& m) {
      m.deBlockDef.emplace_back();
      m.deBlockDef.back().nam = u"b";
      PushEnt(m, m.deBlock, DXF_KIND_BLOCK, In(0, 1, 0, 0, 0, 0, 1, 1, c.a, c.bx, c.by));
    }, "insert");
    EXPECT_EQ(Has(e, 41), c.has41);
    EXPECT_EQ(Has(e, 42), c.has42);
    EXPECT_EQ(Has(e, 50), c.has50);
  }
}

TEST(Entities, PaperSpaceAndViewports) {
  for (int ver : {0, 1}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    const auto all = Write(m, "paper");
    std::string paperRecord;
    for (const auto& it : TableItems(all, "BLOCK_RECORD"))
      if (Value(it, 2) == "*Paper_Space") paperRecord = Value(it, 5);
    int vports = 0;
    for (const auto& it : EntityItems(all)) {
      if (it[0].value != "VIEWPORT") continue;
      ++vports;
      EXPECT_EQ(Value(it, 67), "     1");
      EXPECT_EQ(Value(it, 8), "VP");
      if (ver == 1) { EXPECT_EQ(Value(it, 330), paperRecord); }
      EXPECT_EQ(Has(it, 1001), ver == 0);
      EXPECT_EQ(Has(it, 45), ver == 1);
    }
    EXPECT_EQ(vports, 2);  // the model-space one is not written
    const auto items = EntityItems(all);
    EXPECT_EQ(Value(items[0], 68), "     1");
    EXPECT_EQ(Value(items[0], 10), "0.0");
  }
}

TEST(Objects, LayoutNamesInTheFilesEncoding) {
  for (int ver : {1, 2}) {
    TDXFmodel m;
    m.SetDXFVer(ver, 0);
    BasicTables(m);
    const auto items = Items(Section(Write(m, "objects"), "OBJECTS"));
    ASSERT_EQ(items.size(), 9u);
    const std::string name = ver == 1 ? "\x83\x8c\x83\x43\x83\x41\x83\x45\x83\x67\x31"
                                      : "\xe3\x83\xac\xe3\x82\xa4\xe3\x82\xa2\xe3\x82\xa6\xe3\x83\x88\x31";
    EXPECT_EQ(Values(items[7], 1).back(), name);
    EXPECT_EQ(Value(items[3], 350), "2");
  }
}

}  // namespace
}  // namespace tessa::testing
