// Osculating semi-major axis of a body about another, from their relative state (vis-viva).
#pragma once
#include <cmath>

// r and v relative to the attracting body, gm = G (M + m); negative for an unbound orbit,
// infinite for a parabolic one.
inline double OsculatingSemiMajorAxis(const double r[3], const double v[3], double gm) {
    const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return 1.0 / (2.0 / rr - v2 / gm);
}
