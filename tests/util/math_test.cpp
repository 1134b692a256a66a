// The functions give the double nearest the true value, here checked
// against values worked out with 300-bit arithmetic: whole degrees as the
// drawings give them (both ways of turning degrees into radians), tiny and
// far angles, and arguments where the C library of the build machine is
// one bit off.  Any platform must pass the same table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/Math.h"

namespace tessa::math {
namespace {

struct TrigCase {
  double x, sin, cos, tan;
};

TEST(Math, SineCosineAndTangentAreTheNearestDoubles) {
  const TrigCase cases[] = {
      {0x1.1df46a2529d34p-6, 0x1.1df0b2b89dd19p-6, 0x1.ffec097f5af8ap-1, 0x1.1dfbd9410a41dp-6},
      {0x1.1df46a2529d39p-6, 0x1.1df0b2b89dd1ep-6, 0x1.ffec097f5af8ap-1, 0x1.1dfbd9410a422p-6},
      {0x1.0c152382d7361p-2, 0x1.0907dc193068cp-2, 0x1.ee8dd4748bf15p-1, 0x1.126145e9ecd51p-2},
      {0x1.0c152382d7365p-2, 0x1.0907dc1930690p-2, 0x1.ee8dd4748bf15p-1, 0x1.126145e9ecd56p-2},
      {0x1.0c152382d7361p-1, 0x1.ffffffffffff8p-2, 0x1.bb67ae8584cadp-1, 0x1.279a745903316p-1},
      {0x1.0c152382d7365p-1, 0x1.fffffffffffffp-2, 0x1.bb67ae8584cabp-1, 0x1.279a74590331cp-1},
      {0x1.921fb54442d11p-1, 0x1.6a09e667f3bc7p-1, 0x1.6a09e667f3bd2p-1, 0x1.ffffffffffff1p-1},
      {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1, 0x1.fffffffffffffp-1},
      {0x1.0c152382d7361p+0, 0x1.bb67ae8584ca6p-1, 0x1.0000000000008p-1, 0x1.bb67ae8584c98p+0},
      {0x1.0c152382d7365p+0, 0x1.bb67ae8584caap-1, 0x1.0000000000001p-1, 0x1.bb67ae8584ca8p+0},
      {0x1.8da7e39bae29cp+0, 0x1.ffec097f5af89p-1, 0x1.1df0b2b89def7p-6, 0x1.ca51d7674977bp+5},
      {0x1.8da7e39bae2a4p+0, 0x1.ffec097f5af8ap-1, 0x1.1df0b2b89dcf7p-6, 0x1.ca51d76749ab0p+5},
      {0x1.921fb54442d11p+0, 0x1.0000000000000p+0, 0x1.d1a62633145c0p-50, 0x1.197b7e0796822p+49},
      {0x1.921fb54442d18p+0, 0x1.0000000000000p+0, 0x1.1a62633145c07p-54, 0x1.d02967c31cdb5p+53},
      {0x1.2d97c7f3321cdp+1, 0x1.6a09e667f3bdbp-1, -0x1.6a09e667f3bbep-1, -0x1.0000000000015p+0},
      {0x1.2d97c7f3321d2p+1, 0x1.6a09e667f3bcdp-1, -0x1.6a09e667f3bccp-1, -0x1.0000000000001p+0},
      {0x1.921fb54442d11p+1, 0x1.d1a62633145c0p-49, -0x1.0000000000000p+0, -0x1.d1a62633145c0p-49},
      {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1.0000000000000p+0, -0x1.1a62633145c07p-53},
      {0x1.f6a7a29553855p+1, -0x1.6a09e667f3bb2p-1, -0x1.6a09e667f3be7p-1, 0x1.fffffffffffb5p-1},
      {0x1.f6a7a2955385ep+1, -0x1.6a09e667f3bccp-1, -0x1.6a09e667f3bcep-1, 0x1.ffffffffffffdp-1},
      {0x1.2d97c7f3321cdp+2, -0x1.0000000000000p+0, -0x1.4d3c9ca64f450p-48, 0x1.8954778ef9e72p+47},
      {0x1.2d97c7f3321d2p+2, -0x1.0000000000000p+0, -0x1.a79394c9e8a0ap-53, 0x1.3570efd768923p+52},
      {0x1.5fdbbe9bba76fp+2, -0x1.6a09e667f3bf0p-1, 0x1.6a09e667f3ba9p-1, -0x1.0000000000032p+0},
      {0x1.5fdbbe9bba775p+2, -0x1.6a09e667f3bcep-1, 0x1.6a09e667f3bcbp-1, -0x1.0000000000002p+0},
      {0x1.9101c0da1da74p+2, -0x1.1df0b2b89e42cp-6, 0x1.ffec097f5af89p-1, -0x1.1dfbd9410ab30p-6},
      {0x1.9101c0da1da7ap+2, -0x1.1df0b2b89de2cp-6, 0x1.ffec097f5af8ap-1, -0x1.1dfbd9410a530p-6},
      {0x1.921fb54442d11p+2, -0x1.d1a62633145c0p-48, 0x1.0000000000000p+0, -0x1.d1a62633145c0p-48},
      {0x1.921fb54442d18p+2, -0x1.1a62633145c07p-52, 0x1.0000000000000p+0, -0x1.1a62633145c07p-52},
      {0x1.921fb54442d11p+3, -0x1.d1a62633145c0p-47, 0x1.0000000000000p+0, -0x1.d1a62633145c0p-47},
      {0x1.921fb54442d18p+3, -0x1.1a62633145c07p-51, 0x1.0000000000000p+0, -0x1.1a62633145c07p-51},
      {-0x1.921fb54442d11p+0, -0x1.0000000000000p+0, 0x1.d1a62633145c0p-50, -0x1.197b7e0796822p+49},
      {-0x1.921fb54442d18p+0, -0x1.0000000000000p+0, 0x1.1a62633145c07p-54, -0x1.d02967c31cdb5p+53},
      {-0x1.921fb54442d11p+1, -0x1.d1a62633145c0p-49, -0x1.0000000000000p+0, 0x1.d1a62633145c0p-49},
      {-0x1.921fb54442d18p+1, -0x1.1a62633145c07p-53, -0x1.0000000000000p+0, 0x1.1a62633145c07p-53},
      {0x1.56e1fc2f8f359p-997, 0x1.56e1fc2f8f359p-997, 0x1.0000000000000p+0, 0x1.56e1fc2f8f359p-997},
      {0x1.0000000000000p-30, 0x1.0000000000000p-30, 0x1.0000000000000p+0, 0x1.0000000000000p-30},
      {0x1.0000000000000p-1, 0x1.eaee8744b05f0p-2, 0x1.c1528065b7d50p-1, 0x1.17b4f5bf3474ap-1},
      {0x1.0000000000000p+0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1, 0x1.8eb245cbee3a6p+0},
      {0x1.86a0000000000p+16, 0x1.24daa9c527e96p-5, -0x1.ffac3841b3da7p-1, -0x1.250a9d503313dp-5},
      {-0x1.e240c9fbe76c9p+16, 0x1.ff50e60ab53f9p-1, 0x1.a74d27c41b22ap-5, 0x1.353a85fe8d6d5p+4},
      {0x1.86a0000000000p+19, -0x1.20f02e8178612p-2, 0x1.eb31f58234b5ep-1, -0x1.2d2d254c564bfp-2},
      {0x1.6e36000000000p+20, 0x1.05a19f9bf8b6cp-1, -0x1.b81b10301dab6p-1, -0x1.305ee08fc7a8ap-1},
      {0x1.b704604a411bcp+2, 0x1.1711ad584f6efp-1, 0x1.ad42a78f4712ap-1, 0x1.4cdc0272ad4a7p-1},
      {0x1.5cace3825dee8p-1, 0x1.4257b39ece981p-1, 0x1.8dcb01016545ap-1, 0x1.9ee33e2bf4712p-1},
      {-0x1.e9811ea1b8900p-5, -0x1.e9368f7c6af1ap-5, 0x1.ff1612305d3d9p-1, -0x1.ea167a5940136p-5},
      {0x1.54aa1044cb440p+0, 0x1.f150d4dca9454p-1, 0x1.e6f785dd4635bp-3, 0x1.0570bfee0d156p+2},
      {0x1.43e425fcbc87ep+2, -0x1.e13cb79536df5p-1, 0x1.5d99383160a0fp-2, -0x1.606515239329ep+1},
      {0x1.b6e163281b1f6p+2, 0x1.1626d6762d6a5p-1, 0x1.addaf88c72023p-1, 0x1.4b4e58a43ae84p-1},
      {0x1.a3d1fb5b2fcc0p+0, 0x1.fec6f676a4b8fp-1, -0x1.1aeaaabdcafabp-4, -0x1.ce2e90ec92860p+3},
      {0x1.4dc84a75f90d8p+0, 0x1.eddd1d819d0b0p-1, 0x1.0e2165098848dp-2, 0x1.d407a4c9e326fp+1},
  };
  for (const TrigCase& c : cases) {
    EXPECT_EQ(Sin(c.x), c.sin) << std::hexfloat << c.x;
    EXPECT_EQ(Cos(c.x), c.cos) << std::hexfloat << c.x;
    EXPECT_EQ(Tan(c.x), c.tan) << std::hexfloat << c.x;
    double s = 0, co = 0;
    SinCos(c.x, s, co);
    EXPECT_EQ(s, c.sin) << std::hexfloat << c.x;
    EXPECT_EQ(co, c.cos) << std::hexfloat << c.x;
    EXPECT_EQ(Sin(-c.x), -c.sin) << std::hexfloat << c.x;
    EXPECT_EQ(Cos(-c.x), c.cos) << std::hexfloat << c.x;
  }
}

TEST(Math, ArcTangentOfTwoArgumentsIsTheNearestDouble) {
  struct Case {
    double y, x, angle;
  };
  const Case cases[] = {
      {0x1.0000000000000p+0, 0x1.0000000000000p+0, 0x1.921fb54442d18p-1},
      {0x1.0000000000000p+0, -0x1.0000000000000p+0, 0x1.2d97c7f3321d2p+1},
      {-0x1.0000000000000p+0, -0x1.0000000000000p+0, -0x1.2d97c7f3321d2p+1},
      {0x1.8000000000000p+1, 0x1.0000000000000p+2, 0x1.4978fa3269ee1p-1},
      {0x1.56e1fc2f8f359p-997, 0x1.0000000000000p+0, 0x1.56e1fc2f8f359p-997},
      {0x1.0000000000000p+0, 0x1.56e1fc2f8f359p-997, 0x1.921fb54442d18p+0},
      {0x1.4000000000000p+2, -0x1.7e43c8800759cp+996, 0x1.921fb54442d18p+1},
      {-0x1.4000000000000p+1, -0x1.d000000000000p+2, -0x1.679ec88f8c904p+1},
      {-0x1.c94c4cd664ac0p-1, 0x1.ac8db70bdef0cp+1, -0x1.0af43a7bcf321p-2},
      {-0x1.46fa1d64e7f36p+1, 0x1.bacbc7507a85ap+2, -0x1.6a2e575183739p-2},
      {0x1.5a0fe54b2aa58p+0, 0x1.b2d5635044ca2p+2, 0x1.9238f0049c50bp-3},
      {-0x1.a4078497af939p+2, 0x1.97271515c2eb0p+0, -0x1.55425d815661dp+0},
  };
  for (const Case& c : cases) EXPECT_EQ(Atan2(c.y, c.x), c.angle) << std::hexfloat << c.y << " " << c.x;
}

TEST(Math, HypotenuseIsTheNearestDouble) {
  struct Case {
    double x, y, length;
  };
  const Case cases[] = {
      {0x1.8000000000000p+1, 0x1.0000000000000p+2, 0x1.4000000000000p+2},
      {0x1.7e43c8800759cp+996, 0x1.7e43c8800759cp+996, 0x1.0e4d50f99b211p+997},
      {0x1.56e1fc2f8f359p-997, 0x1.01297d23ab683p-995, 0x1.0f1297202ba7fp-995},
      {0x1.0000000000000p+0, 0x1.79ca10c924223p-67, 0x1.0000000000000p+0},
      {0x1.6e30aae420c38p+0, 0x1.3dba10f21d7f0p+0, 0x1.e4d0a005760e8p+0},
      {0x1.44caa8d1f53dap+2, -0x1.30332d5d3b740p+0, 0x1.4d938e41063d8p+2},
      {0x1.6678e00830478p+1, -0x1.bca93d25ebcb9p+2, 0x1.df6cfe87c0500p+2},
      {0x1.07e7b6835fc48p+2, -0x1.0d36fadcf98a0p+2, 0x1.78fdcb9f49135p+2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hypot(c.x, c.y), c.length) << std::hexfloat << c.x << " " << c.y;
    EXPECT_EQ(Hypot(-c.y, c.x), c.length) << std::hexfloat << c.x << " " << c.y;
  }
}

TEST(Math, ZerosInfinitiesAndNotANumber) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double pi = 0x1.921fb54442d18p+1, halfPi = 0x1.921fb54442d18p+0;
  constexpr double quarterPi = 0x1.921fb54442d18p-1, threeQuarterPi = 0x1.2d97c7f3321d2p+1;
  EXPECT_TRUE(std::signbit(Sin(-0.0)));
  EXPECT_TRUE(std::signbit(Tan(-0.0)));
  EXPECT_EQ(Cos(-0.0), 1.0);
  for (const double x : {inf, -inf, nan}) {
    EXPECT_TRUE(std::isnan(Sin(x)));
    EXPECT_TRUE(std::isnan(Cos(x)));
    EXPECT_TRUE(std::isnan(Tan(x)));
  }
  struct Case {
    double y, x, angle;
  };
  const Case cases[] = {
      {0.0, 0.0, 0.0},          {-0.0, 0.0, -0.0},       {0.0, -0.0, pi},
      {-0.0, -0.0, -pi},        {0.0, -3.0, pi},         {-0.0, 3.0, -0.0},
      {2.0, 0.0, halfPi},       {-2.0, -0.0, -halfPi},   {1.0, inf, 0.0},
      {-1.0, -inf, -pi},        {inf, 5.0, halfPi},      {-inf, -5.0, -halfPi},
      {inf, inf, quarterPi},    {-inf, -inf, -threeQuarterPi},
  };
  for (const Case& c : cases) {
    const double a = Atan2(c.y, c.x);
    EXPECT_EQ(a, c.angle) << c.y << " " << c.x;
    EXPECT_EQ(std::signbit(a), std::signbit(c.angle)) << c.y << " " << c.x;
  }
  EXPECT_TRUE(std::isnan(Atan2(nan, 1.0)));
  EXPECT_EQ(Hypot(inf, nan), inf);
  EXPECT_EQ(Hypot(nan, -inf), inf);
  EXPECT_TRUE(std::isnan(Hypot(nan, 1.0)));
  EXPECT_EQ(Hypot(0.0, -0.0), 0.0);
}

TEST(Math, FarAnglesStayBetweenMinusOneAndOne) {
  // Beyond the exact reduction the value is no longer the true sine, but
  // it is a sine of some angle, and the same on every platform.
  for (const double x : {1e7, -3.5e12, 1e300, -0x1.fffffffffffffp+1023}) {
    double s = 0, c = 0;
    SinCos(x, s, c);
    EXPECT_LE(std::fabs(s), 1.0) << x;
    EXPECT_LE(std::fabs(c), 1.0) << x;
    EXPECT_NEAR(s * s + c * c, 1.0, 1e-15) << x;
  }
}

}  // namespace
}  // namespace tessa::math
