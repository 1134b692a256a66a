// Palette and the mappings of Jw_cad colours, line types and pen widths.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dxf/SaveSetup.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

class Palette : public ::testing::Test {
 protected:
};

TEST_F(Palette, SpotEntries) {
  const struct {
    int n;
    uint32_t r, g, b;
  } cases[] = {{0, 255, 255, 255}, {1, 255, 0, 0},    {7, 0, 0, 0},
               {9, 192, 192, 192}, {10, 255, 0, 0},   {11, 255, 127, 127},
               {19, 38, 19, 19},   {134, 0, 127, 127}, {249, 38, 19, 23},
               {250, 0, 0, 0},     {254, 183, 183, 183}, {255, 179, 179, 179}};
  for (const auto& c : cases) EXPECT_EQ(DXFColorTable[c.n], RGBToColor(c.r, c.g, c.b)) << c.n;
  for (uint32_t e : DXFColorTable) EXPECT_EQ(e >> 24, 0xFFu);
}

TEST_F(Palette, ColorToDXFColor) {
  const struct {
    const char* title;
    uint32_t c;
    int32_t want;
  } cases[] = {
      {"white", 0xFFFFFFFF, 7},
      {"black", 0xFF000000, 7},          // 7 comes before 250
      {"red", 0xFFFF0000, 1},            // 1 before 10
      {"exact_row_entry", RGBToColor(127, 63, 63), 15},
      {"exact_grey", RGBToColor(45, 45, 45), 251},
      {"near_black_tie", RGBToColor(1, 1, 1), 7},
      {"no_alpha_nearest", 0x00FF0000, 1},  // never exact, nearest by RGB
      {"no_alpha_white", 0x00FFFFFF, 7},    // nearest is entry 0, which means 7
      {"near_blue", RGBToColor(0, 0, 250), 5},
      {"between_greys", RGBToColor(180, 180, 180), 255},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToDXFColor(c.c), c.want) << c.title;
}

// The rule as it reads: the first entry equal to the colour, else the
// first nearest by the sum of the channels' differences of squares; entry
// 0 becomes 7.
int32_t ColorByTheRule(uint32_t c) {
  auto sq = [](uint32_t v, int shift) {
    const int32_t x = static_cast<int32_t>((v >> shift) & 0xFF);
    return x * x;
  };
  int32_t best = -1, bestDist = 0;
  for (int32_t i = 0; i < 256; ++i) {
    const uint32_t e = DXFColorTable[i];
    if (e == c) return i == 0 ? 7 : i;
    const int32_t d = std::abs(sq(c, 16) - sq(e, 16)) + std::abs(sq(c, 8) - sq(e, 8)) +
                      std::abs(sq(c, 0) - sq(e, 0));
    if (best < 0 || d < bestDist) best = i, bestDist = d;
  }
  return best == 0 ? 7 : best;
}

TEST_F(Palette, SearchAgreesWithTheRuleOnAnyColour) {
  uint32_t c = 0x2468ACEu;
  for (int i = 0; i < 20000; ++i) {
    c = c * 1664525u + 1013904223u;
    // Opaque, transparent and half-transparent colours, and the palette's own.
    for (uint32_t v : {c | 0xFF000000u, c & 0x00FFFFFFu, c, DXFColorTable[i % 256],
                       DXFColorTable[i % 256] & 0x00FFFFFFu})
      ASSERT_EQ(ColorToDXFColor(v), ColorByTheRule(v)) << std::hex << v;
  }
}

// The memo answers as the search does, also when many colours share its
// slots and a colour comes back after being displaced.
TEST_F(Palette, ColourMemoMatchesSearch) {
  TDxfColourMemo memo;
  EXPECT_EQ(memo(0u), ColorToDXFColor(0u));  // an empty slot holds no answer for 0
  uint32_t c = 0x12345u;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 500; ++i) {
      c = c * 1664525u + 1013904223u;
      const uint32_t rgb = 0xFF000000u | (c >> 8);
      EXPECT_EQ(memo(rgb), ColorToDXFColor(rgb)) << std::hex << rgb;
      EXPECT_EQ(memo(DXFColorTable[i % 256]), ColorToDXFColor(DXFColorTable[i % 256])) << i;
    }
    c = 0x12345u;  // the same colours again, most displaced meanwhile
  }
}

TEST(Mappings, JwcColor) {
  const int32_t in[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 9};
  const int32_t out[] = {7, 7, 4, 7, 3, 2, 6, 5, 7, 7};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(JwcColorToDXFColor(in[i]), out[i]) << in[i];
}

TEST(Mappings, JwcLtype) {
  const int32_t in[] = {-1, 0, 1, 9, 10, 11, 18, 19, 100};
  const int32_t out[] = {1, 1, 1, 9, 1, 10, 17, 1, 1};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(JwcLtypeToDXFLtype(in[i]), out[i]) << in[i];
}

TEST(Mappings, JwwLtype) {
  const int32_t in[] = {-5, 0, 1, 9, 10, 11, 19, 20, 30, 31, 45, 46, 47, 61, 62, 63};
  const int32_t out[] = {1, 1, 1, 9, 1, 10, 18, 1, 1, 19, 33, 1, 34, 48, 49, 1};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(JwwLtypeToDXFLtype(in[i]), out[i]) << in[i];
}

TEST(Mappings, PenWidthToLineWeight) {
  const struct {
    int32_t w, lw;
  } cases[] = {{0, 0},     {-5, 5},    {1, 5},     {7, 5},     {8, 9},      {11, 9},
               {12, 13},   {15, 15},   {16, 15},   {17, 18},   {19, 18},    {22, 20},
               {23, 25},   {32, 30},   {37, 35},   {45, 40},   {46, 50},    {52, 53},
               {65, 60},   {75, 70},   {85, 80},   {95, 90},   {96, 100},   {104, 106},
               {130, 120}, {149, 140}, {150, 158}, {179, 158}, {205, 200},  {206, 211},
               {100000, 211}};
  for (const auto& c : cases) EXPECT_EQ(PenWidthToLineWeight(c.w), c.lw) << c.w;
}

}  // namespace
}  // namespace tessa
