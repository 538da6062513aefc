// Wisdom & Holman's (1991) symplectic map in the democratic heliocentric coordinates of
// Duncan, Levison & Lee (1998), about the most massive body c:
//   Q_i = x_i − x_c (i ≠ c),  Q_c = centre of mass;  V_i = barycentric velocity.
// H splits into the Kepler motion of every body about c (mu = G m_c), the interaction of
// the non-central bodies, the "jump" (Σ m_i V_i)² / 2m_c and the centre of mass's drift.
// One push: interaction ½, jump ½, Kepler, jump ½, interaction ½. Massless bodies feel the
// massive ones and add nothing to the jump or the interaction, so they are advanced
// afterwards, each on its own, in slices over the thread pool.
#include "sim/WisdomHolmanPush.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/Integrators.h"
#include "sim/KeplerDrift.h"
#include "sim/PairPass.h"
#include "sim/PairThreads.h"
#include "sim/PushContext.h"
#include "sim/Relativity.h"
#include "sim/WisdomHolmanParticles.h"

namespace {
// Each thread that pushes (the live run, a prediction) keeps its own.
thread_local WisdomHolmanHealthStruct health;

// Grow-only scratch: a push allocates nothing once the body count has been seen.
struct Scratch {
    std::vector<int32_t> massive, particles;  // list indices of the non-central live bodies
    std::vector<double> m, q, v, acc;         // massive bodies, 3 per body for q, v, acc
    std::vector<double> qStart, qEnd;         // their Q at the two kicks
    std::vector<double> hillSq;               // (kCloseHillRadii · Hill radius)² at the start
    std::vector<uint8_t> close;               // within the Hill sphere test of another massive body
};
thread_local Scratch scratch;

// The massless bodies' slices of one push.
struct ParticleJob {
    WisdomHolmanParticleStep step;
    size_t count;
    int32_t slices;
    WisdomHolmanParticleTally tally[64];
};

// Interaction accelerations of the massive non-central bodies on each other (acc, 3 per
// body). With hillSq given, also marks in close the bodies inside another's test sphere.
void MassiveInteraction(double g, int32_t n, const double* m, const double* q, double* acc, const double* hillSq,
                        uint8_t* close) {
    for (int32_t k = 0; k < 3 * n; ++k) acc[k] = 0.0;
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = i + 1; j < n; ++j) {
            const double d0 = q[3 * j] - q[3 * i], d1 = q[3 * j + 1] - q[3 * i + 1], d2 = q[3 * j + 2] - q[3 * i + 2];
            const double r2 = d0 * d0 + d1 * d1 + d2 * d2;
            if (hillSq && (r2 < hillSq[i] || r2 < hillSq[j])) close[i] = close[j] = 1;
            if (r2 == 0.0) continue;  // coincident bodies exert nothing, as in the pair pass
            const double f = g / (r2 * std::sqrt(r2)), fi = f * m[j], fj = f * m[i];
            acc[3 * i] += fi * d0, acc[3 * i + 1] += fi * d1, acc[3 * i + 2] += fi * d2;
            acc[3 * j] -= fj * d0, acc[3 * j + 1] -= fj * d1, acc[3 * j + 2] -= fj * d2;
        }
}

inline void Drift(double mu, double dt, double* q, double* v) {
    // A body on the central body has no defined orbit: it coasts.
    if (!KeplerDrift(mu, dt, q, v))
        for (int n = 0; n < 3; ++n) q[n] += dt * v[n];
}

inline bool NearCentre(const double* q, double nearCentreSq) {
    const double r2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
    return r2 * r2 * r2 < nearCentreSq;
}

void PushParticleSlice(void* context, int32_t slice) {
    ParticleJob& job = *static_cast<ParticleJob*>(context);
    const size_t first = job.count * size_t(slice) / size_t(job.slices), last = job.count * size_t(slice + 1) / size_t(job.slices);
    job.tally[slice] = PushWisdomHolmanParticles(job.step, first, last);
}

// Σ m_i V_i / m_c over the massive non-central bodies: the jump's velocity.
void JumpVelocity(int32_t n, const double* m, const double* v, double mc, double out[3]) {
    out[0] = out[1] = out[2] = 0.0;
    for (int32_t i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) out[k] += m[i] * v[3 * i + k];
    for (int k = 0; k < 3; ++k) out[k] /= mc;
}
}  // namespace

const WisdomHolmanHealthStruct& WisdomHolmanHealth() { return health; }

void WisdomHolmanPush(BodyRTListStruct* list, const PushStep& step) {
    if (step.pushCount == 0) health.unsoundPushes = 0;
    health.closeEncounters = health.nearCentre = 0;
    // The Kepler drift solves the inverse-square law only, and the split needs forces of
    // position alone: other physics goes to the integrator that handles it.
    const SettingsStruct& settings = PushSettings();
    if (settings.powerLaw != -2.0 || RelativityActive(settings)) {
        health.fallback = settings.powerLaw != -2.0 ? WisdomHolmanFallback::kForceLaw : WisdomHolmanFallback::kRelativity;
        GaussRadauPush(list, step);
        return;
    }
    const int32_t c = HeaviestLiveBody(list);
    if (c < 0 || !(list->body[c].mass > 0.0)) {
        health.fallback = WisdomHolmanFallback::kNoAttractor;
        SemiImplicitEulerPush(list, step);
        return;
    }
    health.fallback = WisdomHolmanFallback::kNone;
    const double g = settings.gravConstant, dt = step.dt, h = 0.5 * dt;
    BodyRTStruct& central = list->body[c];
    const double mc = central.mass, mu = g * mc;
    Scratch& s = scratch;
    s.massive.clear(), s.particles.clear();
    double mTotal = mc, xcm[3], vcm[3];
    for (int n = 0; n < 3; ++n) xcm[n] = mc * central.pos[n], vcm[n] = mc * central.vel[n];
    for (int32_t i = list->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        if (i == c || !IsLiveBody(b)) continue;
        (b.mass != 0.0 ? s.massive : s.particles).push_back(i);
        mTotal += b.mass;
        for (int n = 0; n < 3; ++n) xcm[n] += b.mass * b.pos[n], vcm[n] += b.mass * b.vel[n];
    }
    for (int n = 0; n < 3; ++n) xcm[n] /= mTotal, vcm[n] /= mTotal;

    const int32_t nm = int32_t(s.massive.size());
    s.m.resize(size_t(nm)), s.hillSq.resize(size_t(nm));
    for (auto* a : {&s.q, &s.v, &s.acc, &s.qStart, &s.qEnd}) a->resize(3 * size_t(nm));
    for (int32_t k = 0; k < nm; ++k) {
        BodyRTStruct& b = list->body[s.massive[size_t(k)]];
        SaveLastState(b);
        s.m[size_t(k)] = b.mass;
        for (int n = 0; n < 3; ++n) s.q[3 * k + n] = b.pos[n] - central.pos[n], s.v[3 * k + n] = b.vel[n] - vcm[n];
    }
    double centreStart[3] = {central.pos[0], central.pos[1], central.pos[2]};
    SaveLastState(central);

    // Soundness at the start of the push: Hill spheres (radius |Q| (m / 3m_c)^⅓) and the
    // turn a step makes at each body's distance from the centre.
    const double nearCentreSq = mu * mu * dt * dt * dt * dt;
    for (int32_t k = 0; k < nm; ++k) {
        const double* qk = &s.q[3 * size_t(k)];
        const double hill = kCloseHillRadii * std::cbrt(std::fabs(s.m[size_t(k)]) / (3.0 * mc));
        s.hillSq[size_t(k)] = hill * hill * (qk[0] * qk[0] + qk[1] * qk[1] + qk[2] * qk[2]);
        health.nearCentre += NearCentre(qk, nearCentreSq);
    }
    // The massive bodies, which the massless ones do not disturb.
    double jump1[3], jump2[3];
    s.qStart = s.q;
    s.close.assign(size_t(nm), 0);
    MassiveInteraction(g, nm, s.m.data(), s.q.data(), s.acc.data(), s.hillSq.data(), s.close.data());
    for (uint8_t flag : s.close) health.closeEncounters += flag;
    for (size_t k = 0; k < s.v.size(); ++k) s.v[k] += h * s.acc[k];
    JumpVelocity(nm, s.m.data(), s.v.data(), mc, jump1);
    for (int32_t k = 0; k < nm; ++k)
        for (int n = 0; n < 3; ++n) s.q[3 * k + n] += h * jump1[n];
    for (int32_t k = 0; k < nm; ++k) Drift(mu, dt, &s.q[3 * size_t(k)], &s.v[3 * size_t(k)]);
    JumpVelocity(nm, s.m.data(), s.v.data(), mc, jump2);
    for (int32_t k = 0; k < nm; ++k)
        for (int n = 0; n < 3; ++n) s.q[3 * k + n] += h * jump2[n];
    MassiveInteraction(g, nm, s.m.data(), s.q.data(), s.acc.data(), nullptr, nullptr);
    for (size_t k = 0; k < s.v.size(); ++k) s.v[k] += h * s.acc[k];
    s.qEnd = s.q;

    // Back to the stored frame: the centre of mass coasts, the central body takes the rest.
    double centreEnd[3], sumMq[3] = {0, 0, 0}, sumMv[3] = {0, 0, 0};
    for (int32_t k = 0; k < nm; ++k)
        for (int n = 0; n < 3; ++n) sumMq[n] += s.m[size_t(k)] * s.q[3 * k + n], sumMv[n] += s.m[size_t(k)] * s.v[3 * k + n];
    for (int n = 0; n < 3; ++n) {
        centreEnd[n] = xcm[n] + dt * vcm[n] - sumMq[n] / mTotal;
        central.pos[n] = centreEnd[n];
        central.vel[n] = vcm[n] - sumMv[n] / mc;
    }
    for (int32_t k = 0; k < nm; ++k) {
        BodyRTStruct& b = list->body[s.massive[size_t(k)]];
        for (int n = 0; n < 3; ++n) b.pos[n] = s.q[3 * k + n] + centreEnd[n], b.vel[n] = s.v[3 * k + n] + vcm[n];
    }

    ParticleJob job{{list, s.particles.data(), nm, s.m.data(), s.qStart.data(), s.qEnd.data(), s.hillSq.data(), g, mu, dt,
                     nearCentreSq, {}, {}, {}, {}, {}},
                    s.particles.size(), 1, {}};
    for (int n = 0; n < 3; ++n) {
        job.step.centreStart[n] = centreStart[n], job.step.centreEnd[n] = centreEnd[n], job.step.vcm[n] = vcm[n];
        job.step.jump1[n] = jump1[n], job.step.jump2[n] = jump2[n];
    }
    // Each body's arithmetic is its own, so the slicing never changes a result.
    constexpr size_t kParticlesPerSlice = 512;
    job.slices = int32_t(std::min<size_t>(64, (s.particles.size() + kParticlesPerSlice - 1) / kParticlesPerSlice));
    RunPushSlices(job.slices, PushParticleSlice, &job);
    for (int32_t t = 0; t < job.slices; ++t) health.closeEncounters += job.tally[t].close, health.nearCentre += job.tally[t].nearCentre;
    if (health.closeEncounters > 0 || health.nearCentre > 0) ++health.unsoundPushes;
}
