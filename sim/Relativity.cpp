#include "sim/Relativity.h"

#include <cmath>

namespace {
constexpr double kInvC2 = 1.0 / (kSpeedOfLight * kSpeedOfLight);

inline void OnePostNewtonian(double mu, const double* r, const double* v, double* out) {
    const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    if (!(r2 > 0.0)) return;  // a body on the source has no direction to be pulled in
    const double rr = std::sqrt(r2);
    const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    const double f = mu * kInvC2 / (r2 * rr);
    // r points from the source to the body; the sign of the radial term depends on the
    // coordinates (harmonic here), the turn of the perihelion it causes does not.
    const double radial = f * (4.0 * mu / rr - v2), along = f * 4.0 * rv;
    for (int n = 0; n < 3; ++n) out[n] += radial * r[n] + along * v[n];
}
}  // namespace

int32_t RelativitySource(const BodyRTListStruct* list) { return HeaviestLiveBody(list); }

namespace {
// The term for every live body but the source, wherever the positions, velocities and
// accelerations are kept (stage arrays or the bodies themselves).
template <typename Pos, typename Vel, typename Acc>
void AddForEachBody(const BodyRTListStruct* list, int32_t s, double gravConstant, Pos pos, Vel vel, Acc acc) {
    if (s < 0) return;
    const double mu = gravConstant * list->body[s].mass;
    const double *ps = pos(s), *vs = vel(s);
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (i == s || !IsLiveBody(list->body[i])) continue;
        const double *p = pos(i), *v = vel(i);
        const double r[3] = {p[0] - ps[0], p[1] - ps[1], p[2] - ps[2]};
        const double dv[3] = {v[0] - vs[0], v[1] - vs[1], v[2] - vs[2]};
        OnePostNewtonian(mu, r, dv, acc(i));
    }
}
}  // namespace

bool RelativityActive(const SettingsStruct& s) { return RelativityOn(s) && s.powerLaw == -2.0; }

void AddRelativisticAcceleration(const BodyRTListStruct* list, double gravConstant, const Vec3* pos, const Vec3* vel,
                                 Vec3* acc) {
    AddRelativisticAcceleration(list, RelativitySource(list), gravConstant, pos, vel, acc);
}

void AddRelativisticAcceleration(const BodyRTListStruct* list, int32_t source, double gravConstant, const Vec3* pos,
                                 const Vec3* vel, Vec3* acc) {
    AddForEachBody(list, source, gravConstant, [&](int32_t i) { return pos[i].data(); },
                   [&](int32_t i) { return vel[i].data(); }, [&](int32_t i) { return acc[i].data(); });
}

void AddRelativisticAccelerationInPlace(BodyRTListStruct* list, double gravConstant) {
    AddForEachBody(list, RelativitySource(list), gravConstant, [&](int32_t i) { return list->body[i].pos; },
                   [&](int32_t i) { return list->body[i].vel; }, [&](int32_t i) { return list->body[i].acc; });
}
