// Checks of the conversion values that more than one test suite makes.
#pragma once

#include <gtest/gtest.h>

#include "util/UnitVal.h"

namespace tessa {

// The extents and the paper hold their start values.
inline void ExpectStartExtentsAndPaper(const TJwPlacement& p) {
  EXPECT_EQ(p.ExtMinX, 0.0);
  EXPECT_EQ(p.ExtMinY, 0.0);
  EXPECT_EQ(p.ExtMaxX, 400.0);
  EXPECT_EQ(p.ExtMaxY, 400.0);
  EXPECT_EQ(p.PaperX, 400.0);
  EXPECT_EQ(p.PaperY, 400.0);
}

}  // namespace tessa
