// Name resolution of the symbol lists and block definitions: upper-cased
// comparison, first match wins, collisions get "_<n>" on the given name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dxf/SaveUnit.h"

namespace tessa {
namespace {

std::u16string U(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::vector<std::u16string> LayerNames(const TDXFmodel& m) {
  std::vector<std::u16string> out;
  for (const auto& l : m.lays) out.push_back(l.nam);
  return out;
}

struct CollisionCase {
  const char* title;
  std::vector<std::u16string> added;
  std::vector<std::u16string> stored;
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const CollisionCase& c) { return os << c.title; }

class LayerCollision : public ::testing::TestWithParam<CollisionCase> {};

TEST_P(LayerCollision, StoresResolvedNames) {
  TDXFmodel m;
  for (const auto& n : GetParam().added) m.AddLayer(n, 7, 1, 0, true, true);
  EXPECT_EQ(LayerNames(m), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LayerCollision,
    ::testing::Values(
        CollisionCase{"case_differs", {u"A", u"a", u"A"}, {u"A", u"a_1", u"A_2"}},
        CollisionCase{"full_width_case", {u"ａｂｃ", u"ＡＢＣ"}, {u"ａｂｃ", u"ＡＢＣ_1"}},
        // A suffix already taken by a name of its own is skipped.
        CollisionCase{"suffix_taken", {u"A", u"A_1", u"A"}, {u"A", u"A_1", u"A_2"}},
        CollisionCase{"suffix_taken_other_case", {u"B", u"b_1", u"B", u"b"}, {u"B", u"b_1", u"B_2", u"b_3"}},
        // The suffix goes on the given name, never on an earlier candidate.
        CollisionCase{"no_double_suffix", {u"X", u"X", u"X_1"}, {u"X", u"X_1", u"X_1_1"}},
        CollisionCase{"empty_name", {u"", u""}, {u"", u"_1"}},
        CollisionCase{"distinct_names", {u"壁", u"柱", u"壁"}, {u"壁", u"柱", u"壁_1"}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(ModelNames, ListsResolveIndependently) {
  TDXFmodel m;
  m.AddLtype(u"DOT", u"", 0, {});
  m.AddLayer(u"DOT", 7, 1, 0, true, true);
  m.AddStyle(u"DOT", u"txt", u"", 0, 1, 0, 2.5, false);
  EXPECT_EQ(m.AddBlockDef(u"DOT", 1), 0);
  EXPECT_EQ(m.ltps[0].nam, u"DOT");
  EXPECT_EQ(m.lays[0].nam, u"DOT");
  EXPECT_EQ(m.msts[0].nam, u"DOT");
  EXPECT_EQ(m.deBlockDef[0].nam, u"DOT");
  m.AddStyle(u"dot", u"txt", u"", 0, 1, 0, 2.5, false);
  m.AddLtype(u"Dot", u"", 0, {});
  EXPECT_EQ(m.msts[1].nam, u"dot_1");
  EXPECT_EQ(m.ltps[1].nam, u"Dot_1");
}

TEST(ModelNames, BlockDefinitionNames) {
  TDXFmodel m;
  EXPECT_EQ(m.AddBlockDef(u"  \u3000 ", 1), 0);
  EXPECT_EQ(m.AddBlockDef(u"", 2), 1);
  EXPECT_EQ(m.AddBlockDef(u"noname", 3), 2);
  EXPECT_EQ(m.AddBlockDef(u" a b ", 4), 3);  // blanks kept
  EXPECT_EQ(m.deBlockDef[0].nam, u"NONAME");
  EXPECT_EQ(m.deBlockDef[1].nam, u"NONAME_1");
  EXPECT_EQ(m.deBlockDef[2].nam, u"noname_2");
  EXPECT_EQ(m.deBlockDef[3].nam, u" a b ");
  EXPECT_EQ(m.deBlockDef[3].IDno, 4);
}

TEST(ModelNames, BlockLookupFirstMatchWins) {
  TDXFmodel m;
  m.AddBlockDef(u"A", 7);
  m.AddBlockDef(u"B", 7);  // same identifier twice: the first one counts
  m.AddBlockDef(u"C", 0);
  EXPECT_EQ(m.GetBlockIdx(int64_t{7}), 0);
  EXPECT_EQ(m.GetBlockIdx(int64_t{0}), 2);
  EXPECT_EQ(m.GetBlockIdx(int64_t{8}), -1);
  EXPECT_EQ(m.GetBlockIdx(u"b"), 1);
  EXPECT_EQ(m.GetBlockIdx(u"D"), -1);
}

// The converter's own blocks carry -1; a drawing's block 0xFFFFFFFF must
// not find them, and no lookup by -1 finds anything.
TEST(ModelNames, OwnBlocksNeverMatchDrawingNumbers) {
  TDXFmodel m;
  m.AddBlockDef(u"_TRANS_TEN", -1);
  EXPECT_EQ(m.GetBlockIdx(int64_t{0xFFFFFFFF}), -1);
  EXPECT_EQ(m.GetBlockIdx(int64_t{-1}), -1);
  m.AddBlockDef(u"big", int64_t{0xFFFFFFFF});
  EXPECT_EQ(m.GetBlockIdx(int64_t{0xFFFFFFFF}), 1);
}

TEST(ModelNames, LookupFollowsDataInit) {
  TDXFmodel m;
  m.AddBlockDef(u"A", 5);
  EXPECT_EQ(m.GetBlockIdx(int64_t{5}), 0);
  m.DataInit();
  EXPECT_EQ(m.GetBlockIdx(int64_t{5}), -1);
  EXPECT_EQ(m.GetBlockIdx(u"A"), -1);
  m.AddBlockDef(u"B", 9);
  m.AddBlockDef(u"A", 5);
  EXPECT_EQ(m.deBlockDef[1].nam, u"A");  // no stale collision
  EXPECT_EQ(m.GetBlockIdx(int64_t{5}), 1);
}

// Tens of thousands of equal names resolve without re-testing every
// earlier suffix each time (this would take minutes if it were quadratic).
TEST(ModelNames, ManyCollisionsResolveInOrder) {
  TDXFmodel m;
  const int n = 50000;
  for (int i = 0; i < n; ++i) ASSERT_EQ(m.AddBlockDef(u"blk", i), i);
  EXPECT_EQ(m.deBlockDef[0].nam, u"blk");
  EXPECT_EQ(m.deBlockDef[1].nam, u"blk_1");
  EXPECT_EQ(m.deBlockDef[n - 1].nam, U("blk_" + std::to_string(n - 1)));
  EXPECT_EQ(m.GetBlockIdx(U("BLK_" + std::to_string(n / 2))), n / 2);
  for (int i = 0; i < n; i += 997) EXPECT_EQ(m.GetBlockIdx(int64_t{i}), i);
  // A name taken out of turn is skipped by the next collision only.
  m.AddBlockDef(U("blk_" + std::to_string(n + 1)), -1);
  m.AddBlockDef(u"BLK", -1);
  m.AddBlockDef(u"blk", -1);
  EXPECT_EQ(m.deBlockDef[n + 1].nam, U("BLK_" + std::to_string(n)));
  EXPECT_EQ(m.deBlockDef[n + 2].nam, U("blk_" + std::to_string(n + 2)));
}

// When every suffix up to 99999 is taken the last one is used anyway.
TEST(ModelNames, SuffixesExhausted) {
  TDXFmodel m;
  m.AddLayer(u"L", 7, 1, 0, true, true);
  for (int i = 1; i <= 99999; ++i) m.AddLayer(U("L_" + std::to_string(i)), 7, 1, 0, true, true);
  ASSERT_EQ(m.layn(), 100000);
  m.AddLayer(u"l", 7, 1, 0, true, true);
  m.AddLayer(u"L", 7, 1, 0, true, true);
  EXPECT_EQ(m.lays[100000].nam, u"l_99999");
  EXPECT_EQ(m.lays[100001].nam, u"L_99999");
}

}  // namespace
}  // namespace tessa
