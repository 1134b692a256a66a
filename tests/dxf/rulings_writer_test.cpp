// Writer details that real readers trip over and that the other writer
// tests leave open: widths of small integers, the order of the degree to
// radian formula, and the names R12 inserts use for point markers.
#include <cmath>
#include <string>
#include <vector>

#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterCodes.h"
#include "writer_golden_model.h"

namespace tessa::testing {
namespace {

std::vector<TPair> WriteModel(TDXFmodel& m, const std::string& name) {
  return ParsePairs(SaveAndRead(m, name));
}

// Integers of the flag and lineweight codes are six wide in the HEADER;
// the instance count of a CLASS is nine wide like its flags.
TEST(SmallIntegers, HeaderFlagsAreSixWideAndClassCountsNine) {
  struct Case {
    int ver;
    int minHeaderInts;  // how many 280/290/370/380 values the version has
  };
  const Case cases[] = {{1, 9}, {2, 27}};
  for (const Case& c : cases) {
    TDXFmodel m;
    m.SetDXFVer(c.ver, 0);
    BasicTables(m);
    const auto all = WriteModel(m, "small_ints_" + std::to_string(c.ver));
    int seen = 0;
    for (const TPair& p : Section(all, "HEADER")) {
      if (p.code != 280 && p.code != 290 && p.code != 370 && p.code != 380) continue;
      ++seen;
      EXPECT_EQ(p.value.size(), 6u) << "code " << p.code << " '" << p.value << "' version " << c.ver;
      EXPECT_NE(p.value.find_first_not_of(' '), 0u) << "code " << p.code << " version " << c.ver;
    }
    EXPECT_GE(seen, c.minHeaderInts) << "version " << c.ver;
    for (const auto& cls : Items(Section(all, "CLASSES"))) {
      for (const std::string& v : Values(cls, 91)) EXPECT_EQ(v.size(), 9u) << Value(cls, 1);
      for (const std::string& v : Values(cls, 90)) EXPECT_EQ(v.size(), 9u) << Value(cls, 1);
    }
  }
}

// The parameters of an ELLIPSE are its degrees times pi, then divided by
// 180; multiplying by a rounded pi/180 gives other last digits.
TEST(EllipseParameters, DegreesTimesPiThenOver180) {
  struct Case {
    double sa, da;
    const char* start;
    const char* end;
  };
  const Case cases[] = {
      {11.56, 11.11, "0.20176006153054", "0.39566614142711"},
      {26.02, 18.34, "0.45413467136892", "0.77422805618468"},
  };
  for (const Case& c : cases) {
    // The cases are chosen where the two orders part.
    ASSERT_NE(RealStr(c.sa * M_PI / 180), RealStr(c.sa * (M_PI / 180))) << c.sa;
    ASSERT_NE(RealStr((c.sa + c.da) * M_PI / 180), RealStr((c.sa + c.da) * (M_PI / 180))) << c.sa;
    TDXFmodel m;
    m.SetDXFVer(1, 0);
    BasicTables(m);
    PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(0, 0, 0, 10, 0.5, c.sa, c.da, 0));
    const auto items = Items(Section(WriteModel(m, "ellipse_params"), "ENTITIES"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(Value(items[0], 41), c.start) << c.sa;
    EXPECT_EQ(Value(items[0], 42), c.end) << c.sa;
  }
}

// A point drawn as a marker is an INSERT of the marker block; in R12 its
// block name is upper-cased like the BLOCK it names, whatever the case the
// model holds.
TEST(MarkerInserts, NameTheirBlockAsTheBlocksSectionDoes) {
  struct Case {
    int ver;
    const char* name;
  };
  const Case cases[] = {{0, "_MARKER_TEN"}, {1, "_marker_ten"}, {2, "_marker_ten"}};
  for (const Case& c : cases) {
    TDXFmodel m;
    m.SetDXFVer(c.ver, 0);
    BasicTables(m);
    m.SetTenTransType(3, 1.0);
    m.deBlockDef.emplace_back();
    TDXF_BlockDef& b = m.deBlockDef.back();
    b.nam = u"_marker_ten";
    b.IDno = -1;
    PushBlockEnt(b, b.dmCirc, DXF_KIND_CIRCLE, Ci(0, -1, -1, -1, 0, 0, 0.5));
    m.tenidx = 0;
    PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(0, 0, 3, 4, 0, 1));
    const auto all = WriteModel(m, "marker_insert_" + std::to_string(c.ver));
    std::string blockName;
    for (const auto& it : Items(Section(all, "BLOCKS")))
      if (it[0].value == "BLOCK" && Value(it, 2).find("_Space") == std::string::npos &&
          Value(it, 2).find("_SPACE") == std::string::npos)
        blockName = Value(it, 2);
    EXPECT_EQ(blockName, c.name) << "version " << c.ver;
    const auto items = Items(Section(all, "ENTITIES"));
    ASSERT_EQ(items.size(), 1u) << "version " << c.ver;
    EXPECT_EQ(items[0][0].value, "INSERT");
    EXPECT_EQ(Value(items[0], 2), c.name) << "version " << c.ver;
  }
}

}  // namespace
}  // namespace tessa::testing
