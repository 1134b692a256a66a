// Checks of the shared values that more than one test suite makes.
#pragma once

#include <gtest/gtest.h>

#include "util/UnitVal.h"

namespace tessa {

// The extents and the paper hold their start values.
inline void ExpectStartExtentsAndPaper() {
  EXPECT_EQ(ExtMinX, 0.0);
  EXPECT_EQ(ExtMinY, 0.0);
  EXPECT_EQ(ExtMaxX, 400.0);
  EXPECT_EQ(ExtMaxY, 400.0);
  EXPECT_EQ(PaperX, 400.0);
  EXPECT_EQ(PaperY, 400.0);
}

}  // namespace tessa
