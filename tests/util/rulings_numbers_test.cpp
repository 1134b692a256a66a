// Numbers in the DXF file must not depend on the machine or the compiler:
// every product is rounded to double before it is added, as the formula
// is written (a fused multiply-add would round once, at the end).
#include <gtest/gtest.h>

#include <cmath>

#include "util/Func_2.h"
#include "util/Math.h"

namespace tessa {
namespace {

// Forces v to be stored as a double: no fusing across this point.
double Rounded(double v) {
  volatile double r = v;
  return r;
}

TEST(Arithmetic, ProductsAreRoundedBeforeTheyAreAdded) {
  for (int i = 1; i <= 400; ++i) {
    const double x = i * 1.37, y = i * 0.91, cx = 0.5, cy = 0.25;
    volatile double angle = 0.3 + i * 0.001;
    const double c = math::Cos(angle), s = math::Sin(angle);

    // cx + cos(a) * (x - cx) - sin(a) * (y - cy), and its y counterpart.
    const double kx = Rounded(cx + Rounded(c * (x - cx))) - Rounded(s * (y - cy));
    const double ky = Rounded(cy + Rounded(s * (x - cx))) + Rounded(c * (y - cy));
    EXPECT_EQ(KaitenX(x, y, cx, cy, angle), kx) << i;
    EXPECT_EQ(KaitenY(x, y, cx, cy, angle), ky) << i;

    // a * x + b * y + t of a placed block copy.
    double minx = 1e7, miny = 1e7, maxx = -1e7, maxy = -1e7;
    MinMaxAddT(minx, miny, maxx, maxy, x, y, 3.5, -2.5, c, -s, s, c, 1);
    EXPECT_EQ(minx, Rounded(Rounded(c * x) + Rounded(-s * y)) + 3.5) << i;
    EXPECT_EQ(miny, Rounded(Rounded(s * x) + Rounded(c * y)) + -2.5) << i;
  }
}

}  // namespace
}  // namespace tessa
