// Rounding, plane geometry of rotated points and ellipses, segment
// crossing, extents accumulation and colour packing.
#include "util/Func_2Geometry.h"

#include "util/Math.h"

#include <algorithm>
#include <cmath>

namespace tessa {

// ---- Numbers and geometry --------------------------------------------------

double Round14(double x) {
  double r = std::trunc(std::fabs(x) / 1e-14 + 0.5) * 1e-14;
  return x < 0 ? -r : r;
}

double RoundKeta(int digits, int mode, double x) {
  static const double kFactor[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  double f = (digits >= 1 && digits <= 9) ? kFactor[digits] : 1.0;
  double v = std::fabs(x) * f;
  double t;
  if (mode == 0) {
    t = std::trunc(v);
  } else if (mode == 1) {
    t = std::trunc(v + 0.9999999999);
  } else {
    t = std::trunc(v + 0.5);
  }
  double r = t / f;
  return x < 0 ? -r : r;
}

bool EqualVal(double a, double b) { return std::fabs(a - b) <= 1e-12; }

bool EqualPoint(double x1, double y1, double x2, double y2) {
  return std::fabs(x2 - x1) <= 1e-14 && std::fabs(y2 - y1) <= 1e-14;
}

double KaitenX(double x, double y, double cx, double cy, double a) {
  double s = 0, c = 0;
  math::SinCos(a, s, c);
  return cx + c * (x - cx) - s * (y - cy);
}

double KaitenY(double x, double y, double cx, double cy, double a) {
  double s = 0, c = 0;
  math::SinCos(a, s, c);
  return cy + s * (x - cx) + c * (y - cy);
}

void KaitenDeg(double x, double y, double cx, double cy, double deg,
               double& ox, double& oy) {
  double s = 0, c = 0;
  math::SinCos(deg * 0.017453292519943278, s, c);
  ox = cx + c * (x - cx) - s * (y - cy);
  oy = cy + s * (x - cx) + c * (y - cy);
}

double GetKakudo(double dx, double dy) {
  if (std::fabs(dx) < 1e-14 && std::fabs(dy) < 1e-14) return 0.0;
  double a = math::Atan2(dy, dx);
  if (a < 0) a = a + 6.283185307179586;
  return a;
}

double NormDegTol(double deg, double tol) {
  if (!std::isfinite(deg)) return deg;
  // Far-away angles would need millions of loop turns.
  if (std::fabs(deg) >= 1e6) deg = std::fmod(deg, 360.0);
  while (deg < 0) deg = deg + 360.0;
  while (deg >= 360.0) deg = deg - 360.0;
  if (std::fabs(deg) <= tol || std::fabs(std::fabs(deg) - 360.0) <= tol) deg = 0.0;
  return deg;
}

double NormDeg(double deg) { return NormDegTol(deg, 1e-10); }

void EllipsePoint(double cx, double cy, double r, double ratio, double tilt,
                  double t, double& x, double& y) {
  double sinTilt = 0, cosTilt = 0;
  math::SinCos(tilt, sinTilt, cosTilt);
  EllipsePointTilted(cx, cy, r, ratio, cosTilt, sinTilt, t, x, y);
}

void EllipsePointTilted(double cx, double cy, double r, double ratio, double cosTilt,
                        double sinTilt, double t, double& x, double& y) {
  double sinT = 0, cosT = 0;
  math::SinCos(t, sinT, cosT);
  double px = r * cosT;
  double py = r * ratio * sinT;
  // KaitenX and KaitenY about (0, 0), term by term.
  x = (0.0 + cosTilt * (px - 0.0) - sinTilt * (py - 0.0)) + cx;
  y = (0.0 + sinTilt * (px - 0.0) + cosTilt * (py - 0.0)) + cy;
}

void EllipseArcPoints(double cx, double cy, double r, double ratio,
                      double start, double sweep, double tilt,
                      double& sx, double& sy, double& ex, double& ey,
                      double& px, double& py) {
  const double halfPi = M_PI / 2;
  EllipsePoint(cx, cy, r, ratio, tilt, start, sx, sy);
  double end = start + sweep;
  EllipsePoint(cx, cy, r, ratio, tilt, end, ex, ey);
  double s0x = r * math::Cos(start);
  double s0y = r * ratio * math::Sin(start);
  double s1x = s0x + r * math::Cos(start + halfPi);
  double s1y = s0y + r * ratio * math::Sin(start + halfPi);
  double e0x = r * math::Cos(end);
  double e0y = r * ratio * math::Sin(end);
  double e1x = e0x + r * math::Cos(end - halfPi);
  double e1y = e0y + r * ratio * math::Sin(end - halfPi);
  double x = 0, y = 0;
  if (LineCross(s0x, s0y, s1x, s1y, e0x, e0y, e1x, e1y, x, y) != 0) {
    px = KaitenX(x, y, 0.0, 0.0, tilt) + cx;
    py = KaitenY(x, y, 0.0, 0.0, tilt) + cy;
  } else {
    px = cx;
    py = cy;
  }
}

namespace {

bool CountsAsZero(double d) { return std::trunc(d / 1e-12 + 0.5) == 0.0; }

bool OnSegment(double x1, double y1, double x2, double y2, double x, double y) {
  return std::min(x1, x2) - 1e-12 <= x && x <= std::max(x1, x2) + 1e-12 &&
         std::min(y1, y2) - 1e-12 <= y && y <= std::max(y1, y2) + 1e-12;
}

}  // namespace

int LineCross(double ax1, double ay1, double ax2, double ay2,
              double bx1, double by1, double bx2, double by2,
              double& x, double& y) {
  bool aVertical = CountsAsZero(ax1 - ax2);
  bool bVertical = CountsAsZero(bx1 - bx2);
  if (aVertical && bVertical) return 0;
  if (aVertical) {
    x = ax1;
    y = by1 + (ax1 - bx1) * (by2 - by1) / (bx2 - bx1);
  } else if (bVertical) {
    x = bx1;
    y = ay1 + (bx1 - ax1) * (ay2 - ay1) / (ax2 - ax1);
  } else {
    double mA = (ay2 - ay1) / (ax2 - ax1);
    double mB = (by2 - by1) / (bx2 - bx1);
    double cA = ay1 - mA * ax1;
    double cB = by1 - mB * bx1;
    if (CountsAsZero(mA - mB)) return 0;
    x = (cB - cA) / (mA - mB);
    y = mA * x + cA;
  }
  if (OnSegment(ax1, ay1, ax2, ay2, x, y) && OnSegment(bx1, by1, bx2, by2, x, y)) return 1;
  return 2;
}

namespace {

constexpr double kExtLimit = 1e8;

void ClampBounds(double& minx, double& miny, double& maxx, double& maxy) {
  if (minx < -kExtLimit) minx = -kExtLimit;
  if (miny < -kExtLimit) miny = -kExtLimit;
  if (maxx > kExtLimit) maxx = kExtLimit;
  if (maxy > kExtLimit) maxy = kExtLimit;
}

}  // namespace

void MinMaxInit(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double s) {
  double px = x / s;
  double py = y / s;
  minx = px;
  maxx = px;
  miny = py;
  maxy = py;
  ClampBounds(minx, miny, maxx, maxy);
}

void MinMaxAdd(double& minx, double& miny, double& maxx, double& maxy,
               double x, double y, double s) {
  double px = x / s;
  double py = y / s;
  if (px < minx) minx = px;
  if (px > maxx) maxx = px;
  if (py < miny) miny = py;
  if (py > maxy) maxy = py;
  ClampBounds(minx, miny, maxx, maxy);
}

void MinMaxAddT(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double tx, double ty,
                double a, double b, double c, double d, double s) {
  double X = a * x + b * y + tx;
  double Y = c * x + d * y + ty;
  MinMaxAdd(minx, miny, maxx, maxy, X, Y, s);
}

// ---- Colours ---------------------------------------------------------------

uint32_t RGBToColor(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u + r * 65536u + g * 256u + b;
}

uint32_t WinColorToColor(uint32_t c) {
  return RGBToColor(c % 256, (c / 256) % 256, (c / 65536) % 256);
}

}  // namespace tessa
