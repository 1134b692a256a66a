// Per-layer tally of colours and line types.
#include <gtest/gtest.h>

#include "dxf/SaveSetup.h"
#include "util/Func_2.h"

namespace tessa {
namespace {

class Tally : public ::testing::Test {
 protected:
  TJwLayerCount t;
};

TEST_F(Tally, EmptySlotGivesColourSevenAndContinuous) {
  t.JWW_Init();
  t.CaluMax();
  for (int s : {0, 17, 255}) {
    EXPECT_EQ(t.cn[s].colman, -1);
    EXPECT_EQ(t.cn[s].ltpman, -1);
    EXPECT_EQ(t.LayerColor(s), 7);
    EXPECT_EQ(t.LayerLtype(s), 1);
  }
  EXPECT_EQ(t.cn[0].coln, 265);
  EXPECT_EQ(t.cn[0].ltpn, 49);
}

TEST_F(Tally, TieGoesToTheLowerCounter) {
  t.JWW_Init();
  for (int i = 0; i < 3; ++i) t.JWW_CountUp(0, 0, RGBToColor(0, 255, 0), 2);  // colour 3
  for (int i = 0; i < 3; ++i) t.JWW_CountUp(0, 0, RGBToColor(255, 255, 0), 3);  // colour 2
  t.CaluMax();
  EXPECT_EQ(t.LayerColor(0), 2);
  EXPECT_EQ(t.cn[0].colmax, 3);
  EXPECT_EQ(t.LayerLtype(0), 2);
}

TEST_F(Tally, JwwSlotIsGroupTimesSixteenPlusLayer) {
  t.JWW_Init();
  t.JWW_CountUp(3, 5, RGBToColor(0, 0, 255), 5);
  t.JWW_CountUp(3, 5, RGBToColor(0, 0, 255), -1);  // colour only
  // Outside the groups and layers: nothing counted anywhere.
  t.JWW_CountUp(16, 0, RGBToColor(0, 0, 255), 5);
  t.JWW_CountUp(0, 16, RGBToColor(0, 0, 255), 5);
  t.JWW_CountUp(-1, 3, RGBToColor(0, 0, 255), 5);
  t.CaluMax();
  int counted = 0;
  for (int s = 0; s < 256; ++s) {
    if (t.cn[s].colman >= 0) ++counted;
  }
  EXPECT_EQ(counted, 1);
  EXPECT_EQ(t.LayerColor(53), 5);
  EXPECT_EQ(t.cn[53].colmax, 2);
  EXPECT_EQ(t.cn[53].ltpmax, 1);
  EXPECT_EQ(t.LayerLtype(53), 5);
}

// Line-type code 62 maps to index 49, which names no line type: it counts
// as "Continuous".
TEST_F(Tally, LineTypeIndexPastTheListCountsAsContinuous) {
  t.JWW_Init();
  t.JWW_CountUp(0, 1, RGBToColor(255, 0, 0), 62);
  t.JWW_CountUp(0, 1, RGBToColor(255, 0, 0), 62);
  t.JWW_CountUp(0, 1, RGBToColor(255, 0, 0), 61);
  t.CaluMax();
  EXPECT_EQ(t.cn[1].ltp[48], 0);
  EXPECT_EQ(t.cn[1].ltp[0], 2);
  EXPECT_EQ(t.LayerLtype(1), 1);
  EXPECT_EQ(t.cn[1].ltp[47], 1);
}

TEST_F(Tally, JwcSlotsAndPenColours) {
  t.JWC_Init();
  EXPECT_EQ(t.cn[0].coln, 7);
  EXPECT_EQ(t.cn[0].ltpn, 17);
  for (int i = 0; i < 4; ++i) t.JWC_CountUp(200, 2, 18);  // pen 2 is DXF 7
  t.JWC_CountUp(200, 1, 1);
  t.JWC_CountUp(256, 1, 1);
  t.JWC_CountUp(-1, 1, 1);
  t.JWC_CountUp(7, 99, 99);  // unmapped values land on 7 and 1
  t.CaluMax();
  EXPECT_EQ(t.LayerColor(200), 7);
  EXPECT_EQ(t.LayerLtype(200), 17);
  EXPECT_EQ(t.LayerColor(7), 7);
  EXPECT_EQ(t.LayerLtype(7), 1);
  EXPECT_EQ(t.cn[255].colman, -1);
}

TEST_F(Tally, CountingBeforeInitChangesNothing) {
  t.JWW_CountUp(0, 0, RGBToColor(255, 0, 0), 1);
  t.JWC_CountUp(0, 1, 1);
  t.CaluMax();
  EXPECT_EQ(t.LayerColor(0), 7);
  EXPECT_EQ(t.LayerColor(-1), 7);
  EXPECT_EQ(t.LayerLtype(256), 1);
}

}  // namespace
}  // namespace tessa
