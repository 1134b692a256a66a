// Expansion of block inserts into the flat block tree.
#include <gtest/gtest.h>

#include <cmath>

#include "jww_test_util.h"

namespace tessa::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(JwwBlockTree, NoInserts) {
  TJwwData d = MakeJwwDrawing(700);
  AddBlockDef(d, 1, u"A");
  AddBlockDef(d, 2, u"B");
  d.MakeBlockTree();
  EXPECT_EQ(d.EntBlockTreeN, 0);
  EXPECT_TRUE(d.EntBlockTree.empty());
  for (const TEntJwwBlockDef& def : d.EntBlockDef) {
    EXPECT_FALSE(def.ref_flag);
    EXPECT_EQ(def.ref_no, -1);
  }
  EXPECT_EQ(d.EntBlockNum, 0);
}

TEST(JwwBlockTree, MissingAndDuplicateNumbers) {
  TJwwData d = MakeJwwDrawing(700);
  TEntJwwBlockDef& first = AddBlockDef(d, 4, u"first");
  AddBlock(first, Insert(99, 0, 0));  // refers to nothing
  AddBlockDef(d, 4, u"second");       // same number: never found
  AddBlockDef(d, 5, u"unused");
  AddBlock(d, Insert(77, 1, 2));
  AddBlock(d, Insert(4, 3, 4));
  d.MakeBlockTree();
  ASSERT_EQ(d.EntBlockTreeN, 3);
  EXPECT_EQ(d.EntBlockTree[0].defno, -1);
  EXPECT_TRUE(d.EntBlockTree[0].name.empty());
  EXPECT_EQ(d.EntBlockTree[0].no, 77u);
  EXPECT_EQ(d.EntBlockTree[1].defno, 0);
  EXPECT_EQ(d.EntBlockTree[1].name, u"first");
  EXPECT_EQ(d.EntBlockTree[2].defno, -1);
  EXPECT_EQ(d.EntBlockTree[2].parent, 1);
  EXPECT_EQ(d.EntBlockTree[2].no, 99u);
  EXPECT_TRUE(d.EntBlockDef[0].ref_flag);
  EXPECT_FALSE(d.EntBlockDef[1].ref_flag);
  EXPECT_FALSE(d.EntBlockDef[2].ref_flag);
  EXPECT_EQ(d.EntBlockDef[0].ref_no, 0);
  EXPECT_EQ(d.EntBlockDef[1].ref_no, -1);
  EXPECT_EQ(d.EntBlockNum, 1);
}

// Block numbers compare as unsigned 32-bit values.
TEST(JwwBlockTree, LargeBlockNumbers) {
  TJwwData d = MakeJwwDrawing(700);
  AddBlockDef(d, 0xFFFFFFFFu, u"max");
  AddBlockDef(d, 0x80000000u, u"top bit");
  AddBlock(d, Insert(0x80000000u, 0, 0));
  AddBlock(d, Insert(0xFFFFFFFFu, 0, 0));
  d.MakeBlockTree();
  ASSERT_EQ(d.EntBlockTreeN, 2);
  EXPECT_EQ(d.EntBlockTree[0].defno, 1);
  EXPECT_EQ(d.EntBlockTree[1].defno, 0);
}

TEST(JwwBlockTree, PlacedTwiceWithNested) {
  TJwwData d = MakeJwwDrawing(700);
  TEntJwwBlockDef& outer = AddBlockDef(d, 1, u"outer", Attr(3, 4, 5, 6));
  AddBlock(outer, Insert(2, 1, 0));
  AddBlockDef(d, 2, u"inner");
  AddBlockDef(d, 3, u"unused");
  AddBlock(d, Insert(1, 0, 0, 0, 1, 1, Attr(7, 8, 9, 1)));
  AddBlock(d, Insert(1, 100, 0));
  d.MakeBlockTree();
  ASSERT_EQ(d.EntBlockTreeN, 4);
  EXPECT_EQ(d.EntBlockTree[0].level, 0);
  EXPECT_EQ(d.EntBlockTree[0].att.nGLayer, 7);  // the insert's own attribute
  EXPECT_EQ(d.EntBlockTree[2].level, 1);
  EXPECT_EQ(d.EntBlockTree[2].parent, 0);
  EXPECT_EQ(d.EntBlockTree[3].parent, 1);
  EXPECT_EQ(d.EntBlockTree[2].att.nGLayer, 3);  // the enclosing definition's
  EXPECT_EQ(d.EntBlockTree[3].name, u"inner");
  EXPECT_EQ(d.EntBlockTree[3].x, 101);
  // Used only inside another used definition: marked and numbered too.
  EXPECT_TRUE(d.EntBlockDef[1].ref_flag);
  EXPECT_EQ(d.EntBlockDef[0].ref_no, 0);
  EXPECT_EQ(d.EntBlockDef[1].ref_no, 1);
  EXPECT_EQ(d.EntBlockDef[2].ref_no, -1);
  EXPECT_EQ(d.EntBlockNum, 2);
}

TEST(JwwBlockTree, AccumulatedPlacement) {
  TJwwData d = MakeJwwDrawing(700);
  TEntJwwBlockDef& outer = AddBlockDef(d, 1, u"outer");
  AddBlock(outer, Insert(2, 1, 0));
  TEntJwwBlockDef& mid = AddBlockDef(d, 2, u"mid");
  AddBlock(mid, Insert(3, 0, 1, kPi, 2, 2));
  AddBlockDef(d, 3, u"leaf");
  AddBlock(d, Insert(1, 10, 20, kPi / 2, 2, 3));
  d.MakeBlockTree();
  ASSERT_EQ(d.EntBlockTreeN, 3);
  const TEntJwwBlockTree& top = d.EntBlockTree[0];
  EXPECT_NEAR(top.r1, 0, 1e-12);
  EXPECT_NEAR(top.r2, -3, 1e-12);
  EXPECT_NEAR(top.r3, 2, 1e-12);
  EXPECT_NEAR(top.r4, 0, 1e-12);
  const TEntJwwBlockTree& n = d.EntBlockTree[1];
  EXPECT_NEAR(n.x, 10, 1e-12);
  EXPECT_NEAR(n.y, 22, 1e-12);
  EXPECT_NEAR(n.r1, 0, 1e-12);
  EXPECT_NEAR(n.r2, -3, 1e-12);
  EXPECT_NEAR(n.r3, 2, 1e-12);
  EXPECT_NEAR(n.r4, 0, 1e-12);
  // Two levels down: (0, 1) of mid lands at n + (r2, r4) * 1; the leaf is
  // turned by another half turn and scaled by 2.
  const TEntJwwBlockTree& leaf = d.EntBlockTree[2];
  EXPECT_EQ(leaf.level, 2);
  EXPECT_EQ(leaf.parent, 1);
  EXPECT_NEAR(leaf.x, 7, 1e-12);
  EXPECT_NEAR(leaf.y, 22, 1e-12);
  EXPECT_NEAR(leaf.r1, 0, 1e-12);
  EXPECT_NEAR(leaf.r2, 6, 1e-12);
  EXPECT_NEAR(leaf.r3, -4, 1e-12);
  EXPECT_NEAR(leaf.r4, 0, 1e-12);
}

// Definitions placing themselves, directly or through others, expand once
// along each path and stop.
TEST(JwwBlockTree, SelfPlacingDefinitionsStop) {
  {
    TJwwData d = MakeJwwDrawing(700);
    TEntJwwBlockDef& a = AddBlockDef(d, 1, u"A");
    AddBlock(a, Insert(1, 1, 0));  // A inside A
    AddBlock(a, Insert(2, 0, 1));
    AddBlockDef(d, 2, u"B");
    AddBlock(d, Insert(1, 0, 0));
    d.MakeBlockTree();
    ASSERT_EQ(d.EntBlockTreeN, 2);
    EXPECT_EQ(d.EntBlockTree[1].name, u"B");
    EXPECT_EQ(d.EntBlockNum, 2);
  }
  {
    TJwwData d = MakeJwwDrawing(700);
    TEntJwwBlockDef& a = AddBlockDef(d, 1, u"A");
    AddBlock(a, Insert(2, 0, 0));
    TEntJwwBlockDef& b = AddBlockDef(d, 2, u"B");
    AddBlock(b, Insert(3, 0, 0));
    TEntJwwBlockDef& c = AddBlockDef(d, 3, u"C");
    AddBlock(c, Insert(1, 0, 0));  // back to A
    AddBlock(c, Insert(2, 0, 0));  // back to B
    AddBlock(d, Insert(1, 0, 0));
    AddBlock(d, Insert(3, 0, 0));
    d.MakeBlockTree();
    // A > B > C, C > A > B and C > B; nothing goes back into its own path.
    ASSERT_EQ(d.EntBlockTreeN, 7);
    for (const TEntJwwBlockTree& e : d.EntBlockTree) EXPECT_LE(e.level, 2);
  }
  {  // Through a file: reading finishes and the tree is bounded.
    TJwwData src = MakeJwwDrawing(700);
    TEntJwwBlockDef& a = AddBlockDef(src, 1, u"A");
    AddBlock(a, Insert(1, 0, 0));
    AddBlock(a, Insert(1, 0, 0));
    AddBlock(src, Insert(1, 0, 0));
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    EXPECT_EQ(d.EntBlockTreeN, 1);
  }
}

// Definitions that each place the next one twice multiply the copies at
// every level; the expansion stays bounded.
TEST(JwwBlockTree, DoublingChainIsBounded) {
  TJwwData d = MakeJwwDrawing(700);
  const uint32_t levels = 40;
  for (uint32_t i = 0; i < levels; ++i) {
    TEntJwwBlockDef& def = AddBlockDef(d, i, u"L");
    if (i + 1 < levels) {
      AddBlock(def, Insert(i + 1, 0, 0));
      AddBlock(def, Insert(i + 1, 1, 0));
    }
  }
  AddBlock(d, Insert(0, 0, 0));
  d.MakeBlockTree();
  EXPECT_GT(d.EntBlockTreeN, 1000);
  EXPECT_LE(d.EntBlockTreeN, 1 << 18);
  EXPECT_EQ(d.EntBlockTreeN, static_cast<int32_t>(d.EntBlockTree.size()));
}

// A large drawing of many nested symbols is a real drawing, not an attack:
// its copies (here over a million) grow with the inserts it stores.
TEST(JwwBlockTree, LargeDrawingOfNestedSymbolsIsKept) {
  TJwwData d = MakeJwwDrawing(700);
  TEntJwwBlockDef& leaf = AddBlockDef(d, 0, u"器具");
  AddLine(leaf, Line(0, 0, 1, 1));
  TEntJwwBlockDef& unit = AddBlockDef(d, 1, u"住戸");
  for (int i = 0; i < 4; ++i) AddBlock(unit, Insert(0, i, 0));
  TEntJwwBlockDef& floor = AddBlockDef(d, 2, u"階");
  for (int i = 0; i < 4; ++i) AddBlock(floor, Insert(1, 0, i));
  const int inserts = 60000;
  for (int i = 0; i < inserts; ++i) AddBlock(d, Insert(2, i, 0));
  ASSERT_TRUE(d.MakeBlockTree());
  EXPECT_EQ(d.EntBlockTreeN, inserts * (1 + 4 + 16));
}

TEST(JwwBlockTree, RebuiltOnEveryCall) {
  TJwwData d = MakeJwwDrawing(700);
  AddBlockDef(d, 1, u"A");
  AddBlock(d, Insert(1, 0, 0));
  d.MakeBlockTree();
  d.MakeBlockTree();
  EXPECT_EQ(d.EntBlockTreeN, 1);
  EXPECT_EQ(d.EntBlockDef[0].ref_no, 0);
}

}  // namespace
}  // namespace tessa::test
