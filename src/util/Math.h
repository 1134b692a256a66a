// Sine, cosine, tangent, arc tangent and hypotenuse rounded correctly:
// the nearest double to the true value, so that every platform (glibc,
// the Windows C runtime, the browser's) gives the same bits and the
// outputs the same bytes.  The C libraries' own functions differ in the
// last bit here and there, and the Windows one by far more near
// multiples of pi.
#pragma once

namespace tessa::math {

double Sin(double x);
double Cos(double x);
void SinCos(double x, double& sin, double& cos);
double Tan(double x);
double Atan2(double y, double x);
double Hypot(double x, double y);

}  // namespace tessa::math
