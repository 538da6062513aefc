#include "sim/OrbitalElements.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/DominantAttractor.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTwoPi = 6.283185307179586;

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
}  // namespace

OrbitalElementsStruct ElementsFromState(const double r[3], const double v[3], double mu) {
    OrbitalElementsStruct el;
    const double rr = std::sqrt(Dot(r, r)), v2 = Dot(v, v);
    if (!(rr > 0) || !(mu > 0) || !std::isfinite(rr) || !std::isfinite(v2)) return el;
    el.valid = true;
    el.mu = mu;
    double h[3], vxh[3];
    Cross(r, v, h);
    Cross(v, h, vxh);
    const double hh = std::sqrt(Dot(h, h));
    double ev[3];
    for (int n = 0; n < 3; ++n) ev[n] = vxh[n] / mu - r[n] / rr;
    const double e = std::sqrt(Dot(ev, ev));
    const double energy = 0.5 * v2 - mu / rr;
    el.eccentricity = e;
    el.semiMajorAxis = energy == 0 ? kInf : -mu / (2 * energy);
    // A radial path has no plane: its inclination is that of the line itself.
    el.inclination = hh > 0 ? std::acos(std::clamp(h[2] / hh, -1.0, 1.0)) : std::acos(std::clamp(r[2] / rr, -1.0, 1.0));
    el.periapsis = hh * hh / (mu * (1 + e));
    const double rv = Dot(r, v), a = el.semiMajorAxis;
    el.escape = !(energy < 0);
    if (!el.escape) {
        el.apoapsis = a * (1 + e);
        el.period = kTwoPi * std::sqrt(a * a * a / mu);
        // Eccentric anomaly from e cos E and e sin E, defined even for a nearly circular orbit.
        const double E = std::atan2(rv / std::sqrt(mu * a), 1 - rr / a);
        double M = E - e * std::sin(E);
        if (M < 0) M += kTwoPi;
        el.timeToPeriapsis = (kTwoPi - M) / kTwoPi * el.period;
        if (hh == 0) el.periapsis = 0;  // falls straight in
    } else {
        el.apoapsis = el.period = kInf;
        el.excessSpeed = std::sqrt(2 * energy);
        el.timeToPeriapsis = std::numeric_limits<double>::quiet_NaN();
        if (a < 0 && e > 1 && rv < 0) {  // still approaching on a hyperbola
            const double F = std::asinh(rv / std::sqrt(-mu * a) / e);
            const double M = e * std::sinh(F) - F;  // negative before periapsis
            el.timeToPeriapsis = -M / std::sqrt(mu / (-a * a * a));
        }
    }
    return el;
}

OrbitalElementsStruct BodyElements(const BodyRTListStruct* list, int32_t index, const SettingsStruct& settings) {
    OrbitalElementsStruct el;
    if (settings.powerLaw != -2.0) return el;
    const int32_t k = DominantAttractor(list, index, settings.powerLaw);
    if (k < 0) return el;
    const BodyRTStruct &b = list->body[index], &o = list->body[k];
    double r[3], v[3];
    for (int n = 0; n < 3; ++n) {
        r[n] = b.pos[n] - o.pos[n];
        v[n] = b.vel[n] - o.vel[n];
    }
    el = ElementsFromState(r, v, settings.gravConstant * (b.mass + o.mass));
    el.attractor = k;
    return el;
}
