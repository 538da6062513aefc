#include "sim/KeplerDrift.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586476925286766559;

// Beyond |x| = 1 the closed forms in sin and cos (ellipses) or sinh and cosh (hyperbolas)
// lose nothing; within it a short series, carried up from |x| ≤ 1/16 by the quadrupling
// formulas, avoids their cancellation near x = 0.
inline Stumpff StumpffOf(double x) {
    if (x > 1.0) {
        const double y = std::sqrt(x), half = std::sin(0.5 * y), sy = std::sin(y);
        return {std::cos(y), sy / y, 2.0 * half * half / x, (y - sy) / (x * y)};
    }
    if (x < -1.0) {
        const double y = std::sqrt(-x), half = std::sinh(0.5 * y), sy = std::sinh(y);
        return {std::cosh(y), sy / y, -2.0 * half * half / x, (y - sy) / (x * y)};
    }
    int quarters = 0;
    while (std::fabs(x) > 0.0625) x *= 0.25, ++quarters;
    // c2 = 1/2! - x/4! + x²/6! - ...,  c3 = 1/3! - x/5! + x²/7! - ...; with |x| ≤ 1/16 the
    // first omitted terms are below 1e-21.
    double c2 = 1.0 / 2 - x * (1.0 / 24 - x * (1.0 / 720 - x * (1.0 / 40320 - x * (1.0 / 3628800 - x * (1.0 / 479001600 - x * (1.0 / 87178291200))))));
    double c3 = 1.0 / 6 - x * (1.0 / 120 - x * (1.0 / 5040 - x * (1.0 / 362880 - x * (1.0 / 39916800 - x * (1.0 / 6227020800 - x * (1.0 / 1307674368000))))));
    double c1 = 1.0 - x * c3, c0 = 1.0 - x * c2;
    for (; quarters > 0; --quarters) {
        c3 = (c2 + c0 * c3) * 0.25;
        c2 = c1 * c1 * 0.5;
        c1 = c1 * c0;
        c0 = 2.0 * c0 * c0 - 1.0;
    }
    return {c0, c1, c2, c3};
}
}  // namespace

Stumpff StumpffFunctions(double x) { return StumpffOf(x); }

namespace {
// Danby's G-functions Gn(beta, s) = s^n cn(beta s²) and the time and distance they give.
struct Universal {
    double g1, g2, g3, time, r;
};

inline Universal At(double s, double beta, double r0, double eta0, double mu) {
    const Stumpff c = StumpffOf(beta * s * s);
    const double g1 = s * c.c1, g2 = s * s * c.c2, g3 = s * s * s * c.c3;
    // Kepler's equation in universal form and its derivative dt/ds = r.
    return {g1, g2, g3, r0 * g1 + eta0 * g2 + mu * g3, r0 * c.c0 + eta0 * g1 + mu * g2};
}
}  // namespace

bool KeplerDrift(double mu, double dt, double pos[3], double vel[3]) {
    const double r0 = std::sqrt(pos[0] * pos[0] + pos[1] * pos[1] + pos[2] * pos[2]);
    if (!(r0 > 0.0) || !std::isfinite(r0)) return false;
    const double v2 = vel[0] * vel[0] + vel[1] * vel[1] + vel[2] * vel[2];
    const double eta0 = pos[0] * vel[0] + pos[1] * vel[1] + pos[2] * vel[2];
    const double beta = 2.0 * mu / r0 - v2;  // mu / a: positive for bound orbits
    double t = dt;
    double sMax = HUGE_VAL;  // s of one full period, for bound orbits
    if (beta > 0.0) {
        // Whole periods change nothing; what is left keeps s within one turn.
        const double period = kTwoPi * mu / (beta * std::sqrt(beta));
        if (std::fabs(t) > period) t = std::fmod(t, period);
        sMax = kTwoPi / std::sqrt(beta);
    }
    if (t == 0.0) return true;
    // F(s) = time(s) - t rises monotonically (dF/ds = r > 0): keep a bracket around its root
    // and take Halley steps (d²F/ds² = eta), falling back to bisection when a step leaves it.
    double lo = 0.0, hi = 0.0;
    // The series of s(t) to third order: within a small fraction of an orbit it leaves the
    // root to one or two steps.
    const double a1 = 1.0 / r0, b2 = -0.5 * eta0 * a1 * a1 * a1, c3 = (0.5 * eta0 * eta0 * a1 - (mu - beta * r0) / 6.0) * a1 * a1 * a1 * a1;
    double s = t * (a1 + t * (b2 + t * c3));
    if (!(std::fabs(s) <= sMax)) s = t * a1;
    if (t > 0.0) hi = sMax, s = std::clamp(s, 0.0, sMax);
    else lo = -sMax, s = std::clamp(s, -sMax, 0.0);
    Universal u{};
    for (int iteration = 0; iteration < 100; ++iteration) {
        u = At(s, beta, r0, eta0, mu);
        const double f = u.time - t;
        if (f == 0.0) break;
        if (f < 0.0) lo = s;
        else hi = s;
        const double eta = eta0 * (1.0 - beta * u.g2) + (mu - beta * r0) * u.g1;  // dr/ds
        const double step = f * u.r / (u.r * u.r - 0.5 * f * eta);
        if (std::fabs(step) <= 1e-6 * std::fabs(s)) {
            // Halley's error is cubic in the step: what is left lies far below rounding. Move
            // the G-functions by the step along their Taylor series (G'n = Gn-1, G'0 = -beta G1)
            // instead of evaluating them once more.
            const double d = -step, d2 = 0.5 * d * d, d3 = d * d2 / 3.0, g0 = 1.0 - beta * u.g2;
            u.g3 += u.g2 * d + u.g1 * d2 + g0 * d3;
            u.g2 += u.g1 * d + g0 * d2 - beta * u.g1 * d3;
            u.g1 += g0 * d - beta * (u.g1 * d2 + g0 * d3);
            u.r = r0 * (1.0 - beta * u.g2) + eta0 * u.g1 + mu * u.g2;
            break;
        }
        double next = s - step;
        if (!(next > lo && next < hi)) {
            // Unbounded side of an open orbit: widen before bisecting.
            if (std::isinf(hi)) next = s > 0.0 ? 2.0 * s + std::fabs(t) / r0 : std::fabs(t) / r0;
            else if (std::isinf(lo)) next = s < 0.0 ? 2.0 * s - std::fabs(t) / r0 : -std::fabs(t) / r0;
            else next = 0.5 * (lo + hi);
        }
        s = next;
    }
    // f and g functions (Danby 1988, 6.8), with f - 1 and gdot - 1 kept apart for accuracy.
    const double invR = 1.0 / u.r;
    const double fm1 = -mu * u.g2 * a1, g = r0 * u.g1 + eta0 * u.g2;
    const double fdot = -mu * u.g1 * a1 * invR, gdotm1 = -mu * u.g2 * invR;
    double p[3], v[3];
    for (int n = 0; n < 3; ++n) {
        p[n] = pos[n] + (fm1 * pos[n] + g * vel[n]);
        v[n] = vel[n] + (fdot * pos[n] + gdotm1 * vel[n]);
    }
    for (int n = 0; n < 3; ++n)
        if (!std::isfinite(p[n]) || !std::isfinite(v[n])) return false;
    for (int n = 0; n < 3; ++n) pos[n] = p[n], vel[n] = v[n];
    return true;
}
