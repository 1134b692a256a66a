// Each function works in double-double arithmetic (a value held as the
// unevaluated sum of two doubles, about 106 bits) and rounds once at the
// end, so it is wrong only when the true value lies within about 2^-100
// of a midpoint between two doubles.  Only the IEEE operations + - * /
// and sqrt are used, which every platform rounds alike (the build keeps
// the compiler from fusing a multiply and an add).
#include "util/Math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace tessa::math {
namespace {

struct DD {
  double hi, lo;
};

// The small steps below are inlined: called apart, the calls cost more
// than the arithmetic.
#define TESSA_MATH_STEP [[gnu::always_inline]] inline

// ---- Double-double arithmetic (error-free sums and products) -------------

TESSA_MATH_STEP DD TwoSum(double a, double b) {
  const double s = a + b, bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// |a| >= |b| (or a == 0).
TESSA_MATH_STEP DD FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

TESSA_MATH_STEP void Split(double a, double& hi, double& lo) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  hi = c - (c - a);
  lo = a - hi;
}

TESSA_MATH_STEP DD TwoProd(double a, double b) {
  const double p = a * b;
  double ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

TESSA_MATH_STEP DD Add(DD a, DD b) {
  DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  s = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(s.hi, s.lo + t.lo);
}

TESSA_MATH_STEP DD Neg(DD a) { return {-a.hi, -a.lo}; }
TESSA_MATH_STEP DD Sub(DD a, DD b) { return Add(a, Neg(b)); }

TESSA_MATH_STEP DD Mul(DD a, DD b) {
  const DD p = TwoProd(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

TESSA_MATH_STEP DD Mul(DD a, double b) {
  const DD p = TwoProd(a.hi, b);
  return FastTwoSum(p.hi, p.lo + a.lo * b);
}

DD Div(DD a, DD b) {
  const double q1 = a.hi / b.hi;
  DD r = Sub(a, Mul(b, q1));
  const double q2 = r.hi / b.hi;
  r = Sub(r, Mul(b, q2));
  const double q3 = r.hi / b.hi;
  return Add(FastTwoSum(q1, q2), DD{q3, 0});
}

// a > 0.
DD Sqrt(DD a) {
  const double s = std::sqrt(a.hi);
  const DD r = Sub(a, TwoProd(s, s));
  return FastTwoSum(s, r.hi / (2 * s));
}

double Rounded(DD a) { return a.hi + a.lo; }

// ---- Constants (printed by scripts/make_math_constants.py) ---------------

// pi/2 in pieces of 33, 33, 33 and 53 bits.
constexpr double kHalfPiPieces[] = {0x1.921fb54400000p+0, 0x1.0b4611a600000p-34,
                                    0x1.3198a2e000000p-69, 0x1.b839a252049c1p-104};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr DD kPi = {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DD kQuarterPi = {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55};
// 1/3!, 1/5!, ... and 1/2!, 1/4!, ...: the sine's and cosine's series.
constexpr DD kSinSeries[] = {{0x1.5555555555555p-3, 0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {0x1.ae64567f544e4p-26, -0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {0x1.ae7f3e733b81fp-41, 0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {0x1.2f49b46814157p-57, 0x1.2650f61dbdcb4p-112},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {0x1.761b41316381ap-75, -0x1.3423c7d91404fp-130},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {0x1.d1ab1c2dccea3p-94, 0x1.054d0c78aea14p-149},
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157}};
constexpr DD kCosSeries[] = {{0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {0x1.27e4fb7789f5cp-22, 0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {0x1.93974a8c07c9dp-37, 0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {0x1.6827863b97d97p-53, 0x1.eec01221a8b0bp-107},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {0x1.0ce396db7f853p-70, -0x1.aebcdbd20331cp-124},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {0x1.88e85fc6a4e5ap-89, -0x1.71c37ebd16540p-143},
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153}};
// 1/3, 1/5, ...: the arc tangent's series.
constexpr DD kAtanSeries[] = {{0x1.5555555555555p-2, 0x1.5555555555555p-56},
    {0x1.999999999999ap-3, -0x1.999999999999ap-57},
    {0x1.2492492492492p-3, 0x1.2492492492492p-57},
    {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
    {0x1.745d1745d1746p-4, -0x1.745d1745d1746p-59},
    {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
    {0x1.1111111111111p-4, 0x1.1111111111111p-60},
    {0x1.e1e1e1e1e1e1ep-5, 0x1.e1e1e1e1e1e1ep-61},
    {0x1.af286bca1af28p-5, 0x1.af286bca1af28p-59},
    {0x1.8618618618618p-5, 0x1.8618618618618p-59},
    {0x1.642c8590b2164p-5, 0x1.642c8590b2164p-60},
    {0x1.47ae147ae147bp-5, -0x1.eb851eb851eb8p-61},
    {0x1.2f684bda12f68p-5, 0x1.2f684bda12f68p-59},
    {0x1.1a7b9611a7b96p-5, 0x1.1a7b9611a7b96p-61},
    {0x1.0842108421084p-5, 0x1.0842108421084p-60},
    {0x1.f07c1f07c1f08p-6, -0x1.f07c1f07c1f08p-61}};

// ---- Series ----------------------------------------------------------------

// c[0] - z (c[1] - z (c[2] - ...)): the terms past `exact` are far below
// the result's last bit and are summed in plain doubles.
template <size_t N>
DD AlternatingSeries(const DD (&c)[N], DD z, size_t exact) {
  double tail = c[N - 1].hi;
  for (size_t i = N - 1; i-- > exact;) tail = c[i].hi - z.hi * tail;
  DD t{tail, 0};
  for (size_t i = exact; i-- > 0;) t = Sub(c[i], Mul(z, t));
  return t;
}

// |r| <= pi/4 (and a hair).  `exact` terms are summed in double-double.
DD SinOfReduced(DD r, size_t exact) {
  const DD r2 = Mul(r, r);
  return Mul(r, Sub(DD{1, 0}, Mul(r2, AlternatingSeries(kSinSeries, r2, exact))));
}

DD CosOfReduced(DD r, size_t exact) {
  const DD r2 = Mul(r, r);
  return Sub(DD{1, 0}, Mul(r2, AlternatingSeries(kCosSeries, r2, exact)));
}

// First a quick sum with the first two terms exact, good to within
// 2^-62 of the value: nearly always enough to tell the nearest double.
// Only when the value lies that close to a midpoint does the full sum
// decide (about once in a hundred).
constexpr size_t kQuickTerms = 2;
constexpr double kQuickError = 0x1p-60;

template <DD (*Series)(DD, size_t)>
double RoundedSeries(DD r, size_t exact) {
  const DD quick = Series(r, kQuickTerms);
  const double e = std::fabs(quick.hi) * kQuickError;
  const double up = quick.hi + (quick.lo + e), down = quick.hi + (quick.lo - e);
  return up == down ? up : Rounded(Series(r, exact));
}

double SinRounded(DD r) { return RoundedSeries<SinOfReduced>(r, 7); }
double CosRounded(DD r) { return RoundedSeries<CosOfReduced>(r, 8); }

// |t| <= 1.  Three halvings of the angle (atan t = 2 atan(t / (1 +
// sqrt(1 + t^2)))) bring t below tan(pi/32), where the series is short.
DD AtanOfRatio(DD t) {
  const DD one{1, 0};
  for (int i = 0; i < 3; ++i) t = Div(t, Add(one, Sqrt(Add(one, Mul(t, t)))));
  const DD t2 = Mul(t, t);
  const DD a = Mul(t, Sub(one, Mul(t2, AlternatingSeries(kAtanSeries, t2, 6))));
  return {a.hi * 8, a.lo * 8};
}

// x - k pi/2 for the whole k nearest x / (pi/2), and k modulo 4.  Up to
// kExactUpTo the pieces of pi/2 times k are exact; beyond it (angles no
// drawing holds) x is first taken modulo the double nearest 2 pi, which
// is not the true angle but the same on every platform.
constexpr double kExactUpTo = 0x1.8p20;
constexpr double kTwoPi = 0x1.921fb54442d18p+2;

struct Reduced {
  DD r;
  int quadrant;
};

Reduced Reduce(double x) {
  if (std::fabs(x) <= kQuarterPi.hi) return {{x, 0}, 0};
  if (std::fabs(x) >= kExactUpTo) x = std::fmod(x, kTwoPi);
  const double k = std::nearbyint(x * kTwoOverPi);
  // k pi1 is exact (20 + 33 bits), and so is x - k pi1 (the two lie
  // within a factor of two of each other).
  DD r{x - k * kHalfPiPieces[0], 0};
  r = Add(r, DD{-k * kHalfPiPieces[1], 0});
  r = Add(r, DD{-k * kHalfPiPieces[2], 0});
  r = Sub(r, TwoProd(k, kHalfPiPieces[3]));
  const auto quadrant = static_cast<int>(static_cast<int64_t>(k) & 3);
  return {r, quadrant};
}

#undef TESSA_MATH_STEP

}  // namespace

void SinCos(double x, double& sin, double& cos) {
  if (!std::isfinite(x)) {
    sin = cos = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  const Reduced red = Reduce(x);
  const double s = SinRounded(red.r), c = CosRounded(red.r);
  switch (red.quadrant) {
    case 0: sin = s, cos = c; break;
    case 1: sin = c, cos = -s; break;
    case 2: sin = -s, cos = -c; break;
    default: sin = -c, cos = s; break;
  }
  if (x == 0) sin = x;  // keeps the sign of a zero
}

double Sin(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return x;
  const Reduced red = Reduce(x);
  const double v = red.quadrant % 2 == 0 ? SinRounded(red.r) : CosRounded(red.r);
  return red.quadrant < 2 ? v : -v;
}

double Cos(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  const Reduced red = Reduce(x);
  const double v = red.quadrant % 2 == 0 ? CosRounded(red.r) : SinRounded(red.r);
  return red.quadrant == 0 || red.quadrant == 3 ? v : -v;
}

double Tan(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return x;
  const Reduced red = Reduce(x);
  const DD s = SinOfReduced(red.r, 7), c = CosOfReduced(red.r, 8);
  return red.quadrant % 2 == 0 ? Rounded(Div(s, c)) : -Rounded(Div(c, s));
}

double Atan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return x + y;
  const bool below = std::signbit(y);
  auto sign = [below](double v) { return below ? -v : v; };
  if (std::isinf(x) || std::isinf(y)) {
    if (!std::isinf(y)) return sign(x > 0 ? 0.0 : kPi.hi);
    if (!std::isinf(x)) return sign(kHalfPi.hi);
    return sign(x > 0 ? kQuarterPi.hi : Rounded(Add(kHalfPi, kQuarterPi)));
  }
  if (y == 0) return sign(std::signbit(x) ? kPi.hi : 0.0);
  if (x == 0) return sign(kHalfPi.hi);
  // Both scaled alike into [1, 2) for the larger: the ratio is the same
  // and the error-free products cannot overflow.
  int ex = 0, ey = 0;
  std::frexp(x, &ex);
  std::frexp(y, &ey);
  const int e = std::max(ex, ey);
  const double xs = std::ldexp(x, -e), ys = std::ldexp(y, -e);
  if (ys == 0) return sign(x > 0 ? 0.0 : kPi.hi);
  if (xs == 0) return sign(kHalfPi.hi);
  if (std::fabs(ys) <= std::fabs(xs)) {
    const DD a = AtanOfRatio(Div(DD{ys, 0}, DD{xs, 0}));
    if (xs > 0) return Rounded(a);
    return Rounded(Add(a, below ? Neg(kPi) : kPi));
  }
  const DD a = AtanOfRatio(Div(DD{xs, 0}, DD{ys, 0}));
  return Rounded(Sub(below ? Neg(kHalfPi) : kHalfPi, a));
}

double Hypot(double x, double y) {
  if (std::isinf(x) || std::isinf(y)) return std::numeric_limits<double>::infinity();
  if (std::isnan(x) || std::isnan(y)) return x + y;
  x = std::fabs(x);
  y = std::fabs(y);
  if (x < y) std::swap(x, y);
  if (y == 0) return x;
  int e = 0;
  std::frexp(x, &e);
  const double xs = std::ldexp(x, -e), ys = std::ldexp(y, -e);
  const DD r = Sqrt(Add(TwoProd(xs, xs), TwoProd(ys, ys)));
  return std::ldexp(Rounded(r), e);
}

}  // namespace tessa::math
