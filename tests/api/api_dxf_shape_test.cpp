// The DXF shape check the fuzz targets rely on: every fixture drawing,
// converted in each version, space and point form, passes it and holds the
// entities and blocks its result counts; and the check itself finds each
// kind of damage a writer fault would leave.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "DxfShape.h"
#include "api/tessa_api.h"
#include "api_fixtures.h"

namespace tessa::apitest {
namespace {

using dxfshape::CheckDxf;
using dxfshape::TDxfShape;

const char* AcadVer(api::DxfVersion v) {
  switch (v) {
    case api::DxfVersion::R12: return "AC1009";
    case api::DxfVersion::R2000: return "AC1015";
    case api::DxfVersion::R2007: return "AC1021";
  }
  return "";
}

TEST(DxfShape, FixtureConversionsAreWellFormedAndCountedRight) {
  for (const TDrawing& d : AllFixtures()) {
    for (api::DxfVersion v :
         {api::DxfVersion::R12, api::DxfVersion::R2000, api::DxfVersion::R2007}) {
      for (api::Space space : {api::Space::Model, api::Space::Paper}) {
        for (api::Points points : {api::Points::Point, api::Points::Circle, api::Points::Quarters}) {
          SCOPED_TRACE(d.name + " " + std::string(api::DxfVersionName(v)) +
                       (space == api::Space::Paper ? " paper" : " model") + " points " +
                       std::to_string(static_cast<int>(points)));
          api::Options o;
          o.dxf = v;
          o.space = space;
          o.points = points;
          o.pointSize = 2;
          std::string dxf;
          const api::Result r = api::ConvertBytes(d.bytes, d.format, o, dxf);
          ASSERT_TRUE(r.ok) << (r.reason ? r.reason->message : "");
          TDxfShape shape;
          EXPECT_EQ(CheckDxf(dxf, shape), "");
          EXPECT_EQ(shape.version, AcadVer(v));
          EXPECT_GT(shape.handles, 0);
          api::DxfCounts entities = r.written;
          const int64_t blocks = entities.count("BLOCK") ? entities.at("BLOCK") : 0;
          entities.erase("BLOCK");
          EXPECT_EQ(shape.blocks, blocks);
          EXPECT_EQ(shape.entities, entities);
        }
      }
    }
  }
}

// A small, well-formed file with handles, a table, a block and a polyline,
// and the faults the check must find in it.
std::string Lines(const std::vector<std::string>& l) {
  std::string s;
  for (const std::string& x : l) s += x + "\r\n";
  return s;
}

const std::vector<std::string> kGood = {
    "  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", "AC1015",
    "  9", "$HANDSEED", "  5", "20",
    "  0", "ENDSEC",
    "  0", "SECTION", "  2", "TABLES",
    "  0", "TABLE", "  2", "LAYER", "  5", "2", "330", "0", " 70", "     1",
    "  0", "LAYER", "  5", "10", "330", "2", "  2", "0", " 70", "     0", " 62", "     7",
    "  0", "ENDTAB",
    "  0", "ENDSEC",
    "  0", "SECTION", "  2", "BLOCKS",
    "  0", "BLOCK", "  5", "11", "  8", "0", "  2", "*Model_Space", " 10", "0.0",
    "  0", "ENDBLK", "  5", "12",
    "  0", "BLOCK", "  5", "13", "  8", "0", "  2", "door", " 10", "0.0",
    "  0", "LINE", "  5", "14", "  8", "0", " 10", "1.5", " 11", "-2.0E+20",
    "  0", "ENDBLK", "  5", "15",
    "  0", "ENDSEC",
    "  0", "SECTION", "  2", "ENTITIES",
    "  0", "POLYLINE", "  5", "16", "  8", "0", " 66", "     1",
    "  0", "VERTEX", "  5", "17", "  8", "0", " 10", "1.0",
    "  0", "SEQEND", "  5", "18", "  8", "0",
    "  0", "INSERT", "  5", "19", "  8", "0", "  2", "door",
    "  0", "ENDSEC",
    "  0", "EOF"};

std::string With(size_t at, size_t erase, const std::vector<std::string>& insert) {
  std::vector<std::string> l = kGood;
  l.erase(l.begin() + static_cast<std::ptrdiff_t>(at),
          l.begin() + static_cast<std::ptrdiff_t>(at + erase));
  l.insert(l.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
  return Lines(l);
}

size_t IndexOf(const std::string& line, size_t from = 0) {
  for (size_t i = from; i < kGood.size(); ++i)
    if (kGood[i] == line) return i;
  ADD_FAILURE() << line << " is not in the file";
  return 0;
}

TEST(DxfShape, ReadsAWellFormedFile) {
  TDxfShape shape;
  ASSERT_EQ(CheckDxf(Lines(kGood), shape), "");
  EXPECT_EQ(shape.version, "AC1015");
  EXPECT_EQ(shape.handseed, 0x20u);
  EXPECT_EQ(shape.handles, 11);
  EXPECT_EQ(shape.blocks, 1);  // the layout block is not one of the drawing's
  const std::map<std::string, int64_t> want = {{"INSERT", 1}, {"POLYLINE", 1}};
  EXPECT_EQ(shape.entities, want);
}

TEST(DxfShape, FindsEachFault) {
  const size_t eof = kGood.size() - 2;
  const size_t seqend = IndexOf("SEQEND");
  const size_t line10 = IndexOf(" 10", IndexOf("LINE")) + 1;
  const size_t handle19 = IndexOf("19");
  const size_t endblk = IndexOf("ENDBLK", IndexOf("door"));
  const size_t pointer = IndexOf("330", IndexOf("330") + 1) + 1;  // the layer's owner
  std::string lf = Lines(kGood);
  lf.erase(lf.find("\r\nLINE"), 1);
  struct TCase {
    const char* what;
    std::string text;
    const char* fault;  // what the report says
  };
  const TCase cases[] = {
      {"no EOF", With(eof, 2, {}), "does not end with EOF"},
      {"pairs after EOF", Lines(kGood) + "  0\r\nEOF\r\n", "line 127: pairs after EOF"},
      {"a code without its value", With(eof, 2, {"  0"}), "has no value"},
      {"a line ending in LF alone", lf, "line 73 does not end in CR LF"},
      {"a code that is no number", With(eof, 1, {" 0x"}), "line 125 is no group code"},
      {"a code of five digits", With(eof, 1, {"00000"}), "line 125 is no group code"},
      {"a CR inside a value", With(line10, 1, {"1\r5"}), "line 80 holds a lone CR"},
      {"a code no version has", With(line10 - 1, 1, {"200"}),
       "line 79: no DXF version has group code 200"},
      {"a real that is not finite", With(line10, 1, {"nan"}),
       "line 80: 'nan' is no value of group code 10"},
      {"a real with text after it", With(line10, 1, {"1.5m"}), "line 80: '1.5m' is no value"},
      {"an integer that is a real", With(IndexOf("     7"), 1, {"7.5"}),
       "line 40: '7.5' is no value of group code 62"},
      {"a handle that is not hexadecimal", With(handle19, 1, {"1G"}),
       "'1G' is no value of group code 5"},
      {"a handle given twice", With(handle19, 1, {"17"}), "handle 17 twice"},
      {"an entity without a handle", With(handle19 - 1, 2, {}),
       "line 121: the INSERT before has no handle"},
      {"a handle at $HANDSEED", With(handle19, 1, {"20"}), "handle 20 not below $HANDSEED"},
      {"a pointer to no handle", With(pointer, 1, {"1F"}), "line 33: pointer to no handle"},
      {"a section left open", With(IndexOf("ENDSEC") - 1, 2, {}),
       "line 13: SECTION inside section HEADER"},
      {"a block left open", With(endblk - 1, 4, {}), "ENDSEC inside a block"},
      {"a polyline without its end", With(seqend - 1, 6, {}), "INSERT inside a polyline"},
      {"a vertex outside a polyline", With(seqend + 5, 0, {"  0", "VERTEX"}),
       "VERTEX outside a polyline"},
      {"a table left open", With(IndexOf("ENDTAB") - 1, 2, {}), "ENDSEC inside a table"},
      {"sections out of order", With(IndexOf("BLOCKS"), 1, {"ENTITIES"}),
       "section ENTITIES out of order"},
      {"a header variable twice", With(IndexOf("$HANDSEED"), 1, {"$ACADVER"}), "$ACADVER twice"},
      {"an entity outside every section", With(eof, 0, {"  0", "LINE"}),
       "LINE outside every section"},
  };
  for (const TCase& c : cases) {
    TDxfShape shape;
    const std::string fault = CheckDxf(c.text, shape);
    EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
  }
}

}  // namespace
}  // namespace tessa::apitest
