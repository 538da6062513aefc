#!/usr/bin/python3
"""Coefficients of the pair kernel's natural log near one (sim/PairKernelSimd.cpp, LogNearOne).

The kernel writes y in [sqrt(1/2), sqrt(2)] as y = (1 + s) / (1 - s), so that
    ln y = 2 atanh(s) = 2 s + s R(z),   z = s^2 <= (3 - 2 sqrt 2)^2,
    R(z) = 2 z/3 + 2 z^2/5 + 2 z^3/7 + ...   (the atanh series less its first term).
It replaces R by P(z) = c1 z + ... + c7 z^7. This script finds the c_k that make the
largest error of ln y, s (R(z) - P(z)), as small as it can be over the whole range
(minimax), by a Remez exchange in 60-digit arithmetic (Debian's python3-mpmath), then
rounds them to doubles and reports the error that remains. It also splits ln 2 into a
part of 40 significant bits, whose product with any binary exponent (|e| < 2^11) is exact,
and the double nearest the rest: the kernel's ln r^2 = e ln 2 + ln y. The Taylor coefficients
2/(2k+1) are printed beside them: the fit differs from them mostly in the last terms,
where it trades the series' growing error at the end of the range for an even one.

Usage: tools/log-series/fit_log_series.py [DEGREE]   (default 7, as the kernel uses)
"""
import sys

import mpmath as mp

mp.mp.dps = 60
DEGREE = int(sys.argv[1]) if len(sys.argv) > 1 else 7
S_MAX = 3 - 2 * mp.sqrt(2)      # s at y = sqrt(2); y = sqrt(1/2) gives -S_MAX
Z_MAX = S_MAX ** 2
GRID = 4000                     # points where the error's extremes are looked for


def tail(z):
    """R(z) = 2 atanh(s) / s - 2; the series itself where the subtraction would cancel."""
    if z < mp.mpf('1e-20'):
        return sum(2 * z ** k / (2 * k + 1) for k in range(1, 5))
    s = mp.sqrt(z)
    return 2 * mp.atanh(s) / s - 2


def weight(z):
    return mp.sqrt(z)           # the error that matters is that of ln y, s times R's


def poly(c, z):
    return sum(ck * z ** (k + 1) for k, ck in enumerate(c))


def error(c, z):
    return weight(z) * (tail(z) - poly(c, z))


def solve(ref):
    """c and E with weight * (R - P) = (-1)^i E at every reference point."""
    n = DEGREE
    a = mp.matrix(n + 1, n + 1)
    b = mp.matrix(n + 1, 1)
    for i, z in enumerate(ref):
        for k in range(n):
            a[i, k] = z ** (k + 1)
        a[i, n] = (-1) ** i / weight(z)
        b[i] = tail(z)
    x = mp.lu_solve(a, b)
    return [x[k] for k in range(n)], x[n]


def extremes(c):
    """The error's local extremes on a fine grid, alternating in sign, largest kept."""
    # Cosine spacing crowds the points toward both ends, where the extremes bunch up.
    zs = [Z_MAX * (1 - mp.cos(mp.pi * (i + 1) / GRID)) / 2 for i in range(GRID)]
    es = [error(c, z) for z in zs]
    found = []
    for i in range(len(zs)):
        left = es[i - 1] if i > 0 else 0
        right = es[i + 1] if i + 1 < len(zs) else 0
        if abs(es[i]) >= abs(left) and abs(es[i]) >= abs(right) and es[i] != 0:
            found.append((zs[i], es[i]))
    merged = []
    for z, e in found:          # one point per run of equal sign: the largest
        if merged and mp.sign(merged[-1][1]) == mp.sign(e):
            if abs(e) > abs(merged[-1][1]):
                merged[-1] = (z, e)
        else:
            merged.append((z, e))
    while len(merged) > DEGREE + 1:  # drop the smaller end until the count fits
        merged.pop(0 if abs(merged[0][1]) < abs(merged[-1][1]) else -1)
    return merged


def remez():
    # Start from Chebyshev points of the open range (z = 0 is no point: the error vanishes there).
    n = DEGREE + 1
    ref = [Z_MAX * (1 - mp.cos(mp.pi * (i + 1) / n)) / 2 for i in range(n)]
    for _ in range(30):
        c, level = solve(ref)
        ext = extremes(c)
        if len(ext) < DEGREE + 1:
            raise SystemExit("the error does not alternate enough: try a finer GRID")
        ref = [z for z, _ in ext]
        sizes = [abs(e) for _, e in ext]
        if max(sizes) / min(sizes) < 1 + mp.mpf('1e-9'):
            return c, max(sizes)
    raise SystemExit("the exchange did not settle")


def ln2_split():
    ln2 = mp.log(2)
    hi = float(mp.ldexp(mp.nint(mp.ldexp(ln2, 40)), -40))  # ln 2 < 1: 40 bits after the point
    return hi, float(ln2 - hi)


def main():
    hi, lo = ln2_split()
    c, level = remez()
    rounded = [float(ck) for ck in c]
    zs = [Z_MAX * i / 20000 for i in range(1, 20001)]
    after = max(abs(error([mp.mpf(r) for r in rounded], z)) for z in zs)
    taylor = max(abs(error([mp.mpf(2) / (2 * k + 3) for k in range(DEGREE)], z)) for z in zs)
    print(f"ln y = 2s + s P(s^2) on y in [sqrt(1/2), sqrt(2)], |s| <= {mp.nstr(S_MAX, 17)}")
    print(f"largest error of ln y: minimax {mp.nstr(level, 3)}, with the coefficients rounded to doubles "
          f"{mp.nstr(after, 3)}; the Taylor series to the same degree {mp.nstr(taylor, 3)}")
    print(f"(one unit in the last place of ln y at the ends of the range: {mp.nstr(mp.ldexp(1, -54), 3)})")
    for k, r in enumerate(rounded):
        print(f"c{k + 1} = {r!r:<24}  # z^{k + 1}; Taylor 2/{2 * k + 3} = {float(mp.mpf(2) / (2 * k + 3))!r}")
    print(f"ln 2 = {hi!r} (40 bits) + {lo!r}")


if __name__ == "__main__":
    main()
