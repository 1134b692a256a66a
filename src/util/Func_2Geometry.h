// Helpers: rounding, plane geometry, extents and colours (part of Func_2.h).
#pragma once

#include <cstdint>

namespace tessa {

// ---- Numbers and geometry (radians unless named Deg) ----------------------
double Round14(double x);
double RoundKeta(int digits, int mode, double x);
bool EqualVal(double a, double b);
bool EqualPoint(double x1, double y1, double x2, double y2);
double KaitenX(double x, double y, double cx, double cy, double a);
double KaitenY(double x, double y, double cx, double cy, double a);
void KaitenDeg(double x, double y, double cx, double cy, double deg,
               double& ox, double& oy);
double GetKakudo(double dx, double dy);
double NormDeg(double deg);
double NormDegTol(double deg, double tol);
void EllipsePoint(double cx, double cy, double r, double ratio, double tilt,
                  double t, double& x, double& y);
// The same for a tilt whose cosine and sine are already known (callers
// that take several points of one ellipse).
void EllipsePointTilted(double cx, double cy, double r, double ratio, double cosTilt,
                        double sinTilt, double t, double& x, double& y);
void EllipseArcPoints(double cx, double cy, double r, double ratio,
                      double start, double sweep, double tilt,
                      double& sx, double& sy, double& ex, double& ey,
                      double& px, double& py);
// 0 parallel, 1 crossing on both segments, 2 crossing outside a segment.
int LineCross(double ax1, double ay1, double ax2, double ay2,
              double bx1, double by1, double bx2, double by2,
              double& x, double& y);
void MinMaxInit(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double s);
void MinMaxAdd(double& minx, double& miny, double& maxx, double& maxy,
               double x, double y, double s);
void MinMaxAddT(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double tx, double ty,
                double a, double b, double c, double d, double s);

// ---- Colours (0xAARRGGBB, alpha 255) --------------------------------------
uint32_t RGBToColor(uint32_t r, uint32_t g, uint32_t b);
uint32_t WinColorToColor(uint32_t c);

}  // namespace tessa
