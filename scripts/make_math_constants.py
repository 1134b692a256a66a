#!/usr/bin/python3
"""Prints the constants of src/util/Math.cpp: pi/2 cut into pieces whose
products with a quadrant count stay exact, and the series coefficients as
pairs of doubles (value and remainder), from 200-bit arithmetic (mpmath,
Debian's python3-mpmath).  Run it and paste its output over the block it
replaces when the series change."""
import mpmath

mpmath.mp.prec = 200


def bits(x, n):
    """x rounded to n significant bits, as an exact mpf."""
    if x == 0:
        return mpmath.mpf(0)
    e = int(mpmath.floor(mpmath.log(abs(x), 2)))
    scale = mpmath.mpf(2) ** (n - 1 - e)
    return mpmath.nint(x * scale) / scale


def d(x):
    return float(x).hex()


def pair(x):
    hi = mpmath.mpf(float(x))
    return f"{{{d(hi)}, {d(x - hi)}}}"


half_pi = mpmath.pi / 2
pieces, rest = [], half_pi
for n in (33, 33, 33, 53):
    p = bits(rest, n)
    pieces.append(p)
    rest -= p
print("// pi/2 in pieces of 33, 33, 33 and 53 bits.")
print("constexpr double kHalfPiPieces[] = {" + ", ".join(d(p) for p in pieces) + "};")
print(f"constexpr double kTwoOverPi = {d(2 / mpmath.pi)};")
print(f"constexpr DD kPi = {pair(mpmath.pi)};")
print(f"constexpr DD kHalfPi = {pair(half_pi)};")
print(f"constexpr DD kQuarterPi = {pair(mpmath.pi / 4)};")
print("// 1/3!, 1/5!, ... and 1/2!, 1/4!, ...: the sine's and cosine's series.")
print("constexpr DD kSinSeries[] = {" + ",\n    ".join(
    pair(mpmath.mpf(1) / mpmath.factorial(2 * n + 1)) for n in range(1, 15)) + "};")
print("constexpr DD kCosSeries[] = {" + ",\n    ".join(
    pair(mpmath.mpf(1) / mpmath.factorial(2 * n)) for n in range(1, 15)) + "};")
print("// 1/3, 1/5, ...: the arc tangent's series.")
print("constexpr DD kAtanSeries[] = {" + ",\n    ".join(
    pair(mpmath.mpf(1) / (2 * n + 1)) for n in range(1, 17)) + "};")
