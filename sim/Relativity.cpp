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

bool RelativityActive(const SettingsStruct& s) { return RelativityOn(s) && s.powerLaw == -2.0; }

int32_t RelativitySource(const BodyRTListStruct* list) {
    int32_t best = -1;
    if (!list) return best;
    for (int32_t i = 0; i < list->count; ++i)
        if (IsLiveBody(list->body[i]) && (best < 0 || list->body[i].mass > list->body[best].mass)) best = i;
    return best;
}

void AddRelativisticAcceleration(const BodyRTListStruct* list, double gravConstant, const Vec3* pos, const Vec3* vel,
                                 Vec3* acc) {
    const int32_t s = RelativitySource(list);
    if (s < 0) return;
    const double mu = gravConstant * list->body[s].mass;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (i == s || !IsLiveBody(list->body[i])) continue;
        const double r[3] = {pos[i][0] - pos[s][0], pos[i][1] - pos[s][1], pos[i][2] - pos[s][2]};
        const double v[3] = {vel[i][0] - vel[s][0], vel[i][1] - vel[s][1], vel[i][2] - vel[s][2]};
        OnePostNewtonian(mu, r, v, acc[i].data());
    }
}

void AddRelativisticAccelerationInPlace(BodyRTListStruct* list, double gravConstant) {
    const int32_t s = RelativitySource(list);
    if (s < 0) return;
    const BodyRTStruct& src = list->body[s];
    const double mu = gravConstant * src.mass;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (i == s || !IsLiveBody(b)) continue;
        const double r[3] = {b.pos[0] - src.pos[0], b.pos[1] - src.pos[1], b.pos[2] - src.pos[2]};
        const double v[3] = {b.vel[0] - src.vel[0], b.vel[1] - src.vel[1], b.vel[2] - src.vel[2]};
        OnePostNewtonian(mu, r, v, b.acc);
    }
}
