// Extents of JWW drawings and JWS symbols read back from files written by
// the fixture writer, so that the block tree is the one the reader builds.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>

#include "JwwFixtureWriter.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "temp_folder.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

// The extents the last GetMinMaxZahyo gave.
TJwExtents ext;

struct Box {
  double x1, y1, x2, y2;
};

void ExpectExtents(const Box& b, const char* what) {
  EXPECT_NEAR(ext.ExtMinX, b.x1, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMinY, b.y1, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMaxX, b.x2, 1e-9) << what;
  EXPECT_NEAR(ext.ExtMaxY, b.y2, 1e-9) << what;
}

// Writes the drawing, reads it back into a fresh container and computes
// its extents.
template <class TData>
void ReadAndBox(const TData& written, const std::string& name) {
  const TTempFolder dir("tessa_extents_");
  const std::string path = dir.Dir() + name;
  TData read;
  bool ok = false;
  if constexpr (std::is_same_v<TData, TJwwData>) {
    ASSERT_TRUE(test::WriteJwwFile(path, written));
  } else {
    ASSERT_TRUE(test::WriteJwsFile(path, written));
  }
  ok = read.FileIn(path);
  ASSERT_TRUE(ok) << name;
  ext = read.GetMinMaxZahyo();
}

class JwwFileExtents : public ::testing::Test {
 protected:
  void SetUp() override { ext = TJwExtents{}; }
};

TEST_F(JwwFileExtents, NestedRotatedAndScaledCopies) {
  TJwwData d = test::MakeJwwDrawing(700);
  TEntJwwBlockDef& a = test::AddBlockDef(d, 1, u"A");
  test::AddLine(a, test::Line(0, 0, 10, 0));
  TEntJwwBlockDef& b = test::AddBlockDef(d, 2, u"B");
  test::AddLine(b, test::Line(0, 0, 0, 1));
  test::AddBlock(b, test::Insert(1, 5, 5, M_PI / 2, 2, 2));
  test::AddBlock(d, test::Insert(2, 100, 100));
  test::AddBlock(d, test::Insert(1, -50, 0, M_PI, 2, 3));
  ReadAndBox(d, "nested.jww");
  // B at (100, 100): its line gives (100, 100)..(100, 101); A inside B,
  // turned by 90 degrees and doubled, reaches (105, 125); A turned by 180
  // degrees and stretched reaches (-70, 0).
  ExpectExtents({-70, 0, 105, 125}, "nested copies");
}

TEST_F(JwwFileExtents, InsertOfAMissingDefinitionOnlyStartsTheBox) {
  TJwwData d = test::MakeJwwDrawing(700);
  TEntJwwBlockDef& a = test::AddBlockDef(d, 1, u"A");
  test::AddLine(a, test::Line(0, 0, 10, 0));
  test::AddBlock(d, test::Insert(9, 30, 40));
  ReadAndBox(d, "missing_def.jww");
  ExpectExtents({30, 40, 30, 40}, "only the base point");
}

TEST_F(JwwFileExtents, EmptyDrawingKeepsTheStartValues) {
  TJwwData d = test::MakeJwwDrawing(700);
  TEntJwwBlockDef& a = test::AddBlockDef(d, 1, u"unused");
  test::AddLine(a, test::Line(-500, -500, 500, 500));
  ReadAndBox(d, "empty.jww");
  ExpectExtents({0, 0, 400, 400}, "no entities, unused definition");
}

TEST_F(JwwFileExtents, SettingTextsOfTheDrawingButNotOfBlocks) {
  TJwwData d = test::MakeJwwDrawing(700);
  TEntJwwMoji setting = test::Text(0, -1000, u"Printer_Orientation = 0");
  setting.end_x = 0;
  test::AddMoji(d, setting);
  test::AddLine(d, test::Line(1, 2, 3, 4));
  // Inside a block the same text is ordinary content of the block.
  TEntJwwBlockDef& a = test::AddBlockDef(d, 1, u"A");
  test::AddMoji(a, setting);
  test::AddBlock(d, test::Insert(1, 0, 0));
  ReadAndBox(d, "settings.jww");
  ExpectExtents({0, -1000, 3, 4}, "block text counts, own text not");

  TJwwData plain = test::MakeJwwDrawing(700);
  test::AddMoji(plain, setting);
  test::AddLine(plain, test::Line(1, 2, 3, 4));
  ReadAndBox(plain, "settings_only.jww");
  ExpectExtents({1, 2, 3, 4}, "own setting text left out");
}

TEST_F(JwwFileExtents, SymbolWithABlock) {
  TJwsData s = test::MakeJwsSymbol(700);
  s.Enthd.BasePoint_x = 2;
  s.Enthd.BasePoint_y = 2;
  TEntJwwBlockDef& a = test::AddBlockDef(s, 4, u"A");
  test::AddEnko(a, test::Circle(0, 0, 1));
  test::AddBlock(s, test::Insert(4, 10, 0, 0, 3, 3));
  ReadAndBox(s, "symbol.jws");
  ExpectExtents({2, -3, 13, 3}, "circle scaled by 3 at (10, 0)");
}

}  // namespace
}  // namespace tessa
