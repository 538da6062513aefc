// The massless bodies of a Wisdom–Holman push for every instruction set Highway targets, chosen
// at run time. A lane holds one body and repeats the scalar drift's operations in their order
// (the file is compiled without fused multiply-adds), with masks standing in for its branches:
// a lane that has converged is frozen while the others iterate. Lanes outside the common case
// (open orbits, whole periods to remove, a body on the centre) and Stumpff arguments beyond
// ±1 are handed to the scalar code.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/WisdomHolmanParticles.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <algorithm>
#include <cmath>

#include "sim/Integrators.h"
#include "sim/KeplerDrift.h"
#include "sim/WisdomHolmanParticles.h"

HWY_BEFORE_NAMESPACE();
namespace gravitas_wh {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;
using M = hn::Mask<D>;

constexpr size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);
constexpr double kTwoPi = 6.283185307179586476925286766559;

// c0..c3 of x in every lane, as StumpffFunctions gives them.
HWY_INLINE void StumpffLanes(D d, V x, V& c0, V& c1, V& c2, V& c3) {
    const V quarter = hn::Set(d, 0.25), small = hn::Set(d, 0.0625);
    const M once = hn::Gt(hn::Abs(x), small);
    V y = hn::IfThenElse(once, hn::Mul(x, quarter), x);
    const M twice = hn::Gt(hn::Abs(y), small);  // within |x| ≤ 1 two quarters always suffice
    y = hn::IfThenElse(twice, hn::Mul(y, quarter), y);
    auto series = [&](const double* k) {  // k[0] - y (k[1] - y (... - y k[6]))
        V acc = hn::Set(d, k[6]);
        for (int n = 5; n >= 0; --n) acc = hn::Sub(hn::Set(d, k[n]), hn::Mul(y, acc));
        return acc;
    };
    static constexpr double k2[7] = {1.0 / 2, 1.0 / 24, 1.0 / 720, 1.0 / 40320, 1.0 / 3628800, 1.0 / 479001600, 1.0 / 87178291200};
    static constexpr double k3[7] = {1.0 / 6,        1.0 / 120,        1.0 / 5040,        1.0 / 362880,
                                     1.0 / 39916800, 1.0 / 6227020800, 1.0 / 1307674368000};
    c2 = series(k2), c3 = series(k3);
    const V one = hn::Set(d, 1.0);
    c1 = hn::Sub(one, hn::Mul(y, c3)), c0 = hn::Sub(one, hn::Mul(y, c2));
    for (const M& m : {twice, once}) {
        if (hn::AllFalse(d, m)) continue;
        const V n3 = hn::Mul(hn::Add(c2, hn::Mul(c0, c3)), quarter), n2 = hn::Mul(hn::Mul(c1, c1), hn::Set(d, 0.5));
        const V n1 = hn::Mul(c1, c0), n0 = hn::Sub(hn::Mul(hn::Mul(hn::Set(d, 2.0), c0), c0), one);
        c3 = hn::IfThenElse(m, n3, c3), c2 = hn::IfThenElse(m, n2, c2), c1 = hn::IfThenElse(m, n1, c1), c0 = hn::IfThenElse(m, n0, c0);
    }
    const M wide = hn::Or(hn::Gt(x, one), hn::Lt(x, hn::Neg(one)));
    if (HWY_UNLIKELY(!hn::AllFalse(d, wide))) {
        HWY_ALIGN double xs[kMaxLanes], c[4][kMaxLanes];
        hn::Store(x, d, xs), hn::Store(c0, d, c[0]), hn::Store(c1, d, c[1]), hn::Store(c2, d, c[2]), hn::Store(c3, d, c[3]);
        for (size_t k = 0; k < hn::Lanes(d); ++k)
            if (xs[k] > 1.0 || xs[k] < -1.0) {
                const Stumpff s = StumpffFunctions(xs[k]);
                c[0][k] = s.c0, c[1][k] = s.c1, c[2][k] = s.c2, c[3][k] = s.c3;
            }
        c0 = hn::Load(d, c[0]), c1 = hn::Load(d, c[1]), c2 = hn::Load(d, c[2]), c3 = hn::Load(d, c[3]);
    }
}

HWY_INLINE V Dot(V x0, V x1, V x2, V y0, V y1, V y2) { return hn::Add(hn::Add(hn::Mul(x0, y0), hn::Mul(x1, y1)), hn::Mul(x2, y2)); }

// Drifts every lane of q and v by dt about mu; the lanes of the result are where it did, the
// others are left as they were (KeplerDrift's false).
HWY_INLINE M DriftLanes(D d, double mu, double dt, V q[3], V v[3]) {
    const V r0 = hn::Sqrt(Dot(q[0], q[1], q[2], q[0], q[1], q[2]));
    const V v2 = Dot(v[0], v[1], v[2], v[0], v[1], v[2]), eta0 = Dot(q[0], q[1], q[2], v[0], v[1], v[2]);
    const V beta = hn::Sub(hn::Div(hn::Set(d, 2.0 * mu), r0), v2);
    const V rootBeta = hn::Sqrt(beta);
    const V period = hn::Div(hn::Set(d, kTwoPi * mu), hn::Mul(beta, rootBeta));
    const V zero = hn::Zero(d), t = hn::Set(d, dt);
    const bool solvable = std::isfinite(dt) && dt != 0.0;
    M usual = hn::And(hn::And(hn::Gt(r0, zero), hn::Lt(r0, hn::Inf(d))), hn::Gt(beta, zero));
    usual = hn::AndNot(hn::Gt(hn::Abs(t), period), usual);
    if (!solvable) usual = hn::FirstN(d, 0);
    const V sMax = hn::Div(hn::Set(d, kTwoPi), rootBeta);
    const V a1 = hn::Div(hn::Set(d, 1.0), r0), muV = hn::Set(d, mu), muMinusBetaR0 = hn::Sub(muV, hn::Mul(beta, r0));
    const V b2 = hn::Mul(hn::Mul(hn::Mul(hn::Mul(hn::Set(d, -0.5), eta0), a1), a1), a1);
    V c3 = hn::Sub(hn::Mul(hn::Mul(hn::Mul(hn::Set(d, 0.5), eta0), eta0), a1), hn::Div(muMinusBetaR0, hn::Set(d, 6.0)));
    c3 = hn::Mul(hn::Mul(hn::Mul(hn::Mul(c3, a1), a1), a1), a1);
    V s = hn::Mul(t, hn::Add(a1, hn::Mul(t, hn::Add(b2, hn::Mul(t, c3)))));
    s = hn::IfThenElse(hn::Le(hn::Abs(s), sMax), s, hn::Mul(t, a1));
    V lo = dt > 0.0 ? zero : hn::Neg(sMax), hi = dt > 0.0 ? sMax : zero;
    s = hn::IfThenElse(hn::Lt(s, lo), lo, hn::IfThenElse(hn::Lt(hi, s), hi, s));

    const V one = hn::Set(d, 1.0);
    V g1 = zero, g2 = zero, r = one;  // of the lanes' final s (G3 is not needed past the solve)
    M active = usual;
    for (int iteration = 0; iteration < 100 && !hn::AllFalse(d, active); ++iteration) {
        V c0, c1, c2, c3s;
        StumpffLanes(d, hn::Mul(hn::Mul(beta, s), s), c0, c1, c2, c3s);
        const V ss = hn::Mul(s, s);
        const V u1 = hn::Mul(s, c1), u2 = hn::Mul(ss, c2), u3 = hn::Mul(hn::Mul(ss, s), c3s);
        const V time = hn::Add(hn::Add(hn::Mul(r0, u1), hn::Mul(eta0, u2)), hn::Mul(muV, u3));
        const V ur = hn::Add(hn::Add(hn::Mul(r0, c0), hn::Mul(eta0, u1)), hn::Mul(muV, u2));
        const V f = hn::Sub(time, t);
        const M moving = hn::AndNot(hn::Eq(f, zero), active), below = hn::Lt(f, zero);
        lo = hn::IfThenElse(hn::And(moving, below), s, lo);
        hi = hn::IfThenElse(hn::AndNot(below, moving), s, hi);
        const V g0 = hn::Sub(one, hn::Mul(beta, u2));
        const V eta = hn::Add(hn::Mul(eta0, g0), hn::Mul(muMinusBetaR0, u1));
        const V step = hn::Div(hn::Mul(f, ur), hn::Sub(hn::Mul(ur, ur), hn::Mul(hn::Mul(hn::Set(d, 0.5), f), eta)));
        const M close = hn::And(moving, hn::Le(hn::Abs(step), hn::Mul(hn::Set(d, 1e-6), hn::Abs(s))));
        // Within rounding of the root: the G-functions move along their Taylor series.
        const V dd = hn::Neg(step), d2 = hn::Mul(hn::Mul(hn::Set(d, 0.5), dd), dd), d3 = hn::Div(hn::Mul(dd, d2), hn::Set(d, 3.0));
        const V t2 = hn::Add(u2, hn::Sub(hn::Add(hn::Mul(u1, dd), hn::Mul(g0, d2)), hn::Mul(hn::Mul(beta, u1), d3)));
        const V t1 = hn::Add(u1, hn::Sub(hn::Mul(g0, dd), hn::Mul(beta, hn::Add(hn::Mul(u1, d2), hn::Mul(g0, d3)))));
        const V tr = hn::Add(hn::Add(hn::Mul(r0, hn::Sub(one, hn::Mul(beta, t2))), hn::Mul(eta0, t1)), hn::Mul(muV, t2));
        g1 = hn::IfThenElse(active, hn::IfThenElse(close, t1, u1), g1);
        g2 = hn::IfThenElse(active, hn::IfThenElse(close, t2, u2), g2);
        r = hn::IfThenElse(active, hn::IfThenElse(close, tr, ur), r);
        V next = hn::Sub(s, step);
        next = hn::IfThenElse(hn::And(hn::Gt(next, lo), hn::Lt(next, hi)), next, hn::Mul(hn::Set(d, 0.5), hn::Add(lo, hi)));
        active = hn::AndNot(close, moving);
        s = hn::IfThenElse(active, next, s);
    }
    // f and g functions, with f - 1 and gdot - 1 kept apart.
    const V invR = hn::Div(one, r), minusMu = hn::Set(d, -mu);
    const V fm1 = hn::Mul(hn::Mul(minusMu, g2), a1), g = hn::Add(hn::Mul(r0, g1), hn::Mul(eta0, g2));
    const V fdot = hn::Mul(hn::Mul(hn::Mul(minusMu, g1), a1), invR), gdotm1 = hn::Mul(hn::Mul(minusMu, g2), invR);
    V p[3], w[3];
    M finite = usual;
    for (int n = 0; n < 3; ++n) {
        p[n] = hn::Add(q[n], hn::Add(hn::Mul(fm1, q[n]), hn::Mul(g, v[n])));
        w[n] = hn::Add(v[n], hn::Add(hn::Mul(fdot, q[n]), hn::Mul(gdotm1, v[n])));
        finite = hn::And(finite, hn::And(hn::IsFinite(p[n]), hn::IsFinite(w[n])));
    }
    for (int n = 0; n < 3; ++n) q[n] = hn::IfThenElse(finite, p[n], q[n]), v[n] = hn::IfThenElse(finite, w[n], v[n]);
    M drifted = finite;
    if (HWY_UNLIKELY(!hn::AllTrue(d, usual))) {
        HWY_ALIGN double qs[3][kMaxLanes], vs[3][kMaxLanes], ok[kMaxLanes], take[kMaxLanes];
        for (int n = 0; n < 3; ++n) hn::Store(q[n], d, qs[n]), hn::Store(v[n], d, vs[n]);
        hn::Store(hn::IfThenElseZero(usual, one), d, take);
        hn::Store(hn::IfThenElseZero(finite, one), d, ok);
        for (size_t k = 0; k < hn::Lanes(d); ++k) {
            if (take[k] != 0.0) continue;
            double pos[3] = {qs[0][k], qs[1][k], qs[2][k]}, vel[3] = {vs[0][k], vs[1][k], vs[2][k]};
            ok[k] = KeplerDrift(mu, dt, pos, vel) ? 1.0 : 0.0;
            for (int n = 0; n < 3; ++n) qs[n][k] = pos[n], vs[n][k] = vel[n];
        }
        for (int n = 0; n < 3; ++n) q[n] = hn::Load(d, qs[n]), v[n] = hn::Load(d, vs[n]);
        drifted = hn::Ne(hn::Load(d, ok), zero);
    }
    return drifted;
}

// The pull of the massive bodies at qm on the lanes at p, h of it added to v.
HWY_INLINE void KickLanes(D d, const WisdomHolmanParticleStep& step, const double* qm, const V p[3], double h, V v[3]) {
    const V zero = hn::Zero(d);
    V a[3] = {zero, zero, zero};
    for (int32_t k = 0; k < step.nMassive; ++k) {
        V dq[3];
        for (int n = 0; n < 3; ++n) dq[n] = hn::Sub(hn::Set(d, qm[3 * k + n]), p[n]);
        const V r2 = Dot(dq[0], dq[1], dq[2], dq[0], dq[1], dq[2]);
        const V f = hn::Div(hn::Set(d, step.g * step.m[k]), hn::Mul(r2, hn::Sqrt(r2)));
        const M apart = hn::Ne(r2, zero);  // coincident bodies exert nothing, as in the pair pass
        for (int n = 0; n < 3; ++n) a[n] = hn::IfThenElse(apart, hn::Add(a[n], hn::Mul(f, dq[n])), a[n]);
    }
    for (int n = 0; n < 3; ++n) v[n] = hn::Add(v[n], hn::Mul(hn::Set(d, h), a[n]));
}

WisdomHolmanParticleTally PushParticles(const WisdomHolmanParticleStep& step, size_t first, size_t last) {
    const D d;
    const size_t lanes = hn::Lanes(d);
    const double h = 0.5 * step.dt;
    WisdomHolmanParticleTally tally;
    HWY_ALIGN double buf[6][kMaxLanes];
    for (size_t k = first; k < last; k += lanes) {
        // A short last vector repeats its last body in the spare lanes, which are not stored.
        const size_t real = std::min(lanes, last - k);
        for (size_t j = 0; j < lanes; ++j) {
            BodyRTStruct& b = step.list->body[step.particles[k + std::min(j, real - 1)]];
            if (j < real) SaveLastState(b);
            for (int n = 0; n < 3; ++n) buf[n][j] = b.pos[n] - step.centreStart[n], buf[3 + n][j] = b.vel[n] - step.vcm[n];
        }
        V q[3], v[3];
        for (int n = 0; n < 3; ++n) q[n] = hn::Load(d, buf[n]), v[n] = hn::Load(d, buf[3 + n]);
        const M counted = hn::FirstN(d, real);
        M isClose = hn::FirstN(d, 0);
        for (int32_t j = 0; j < step.nMassive; ++j) {
            V dq[3];
            for (int n = 0; n < 3; ++n) dq[n] = hn::Sub(hn::Set(d, step.qStart[3 * j + n]), q[n]);
            isClose = hn::Or(isClose, hn::Lt(Dot(dq[0], dq[1], dq[2], dq[0], dq[1], dq[2]), hn::Set(d, step.hillSq[j])));
        }
        tally.close += int32_t(hn::CountTrue(d, hn::And(isClose, counted)));
        const V r2 = Dot(q[0], q[1], q[2], q[0], q[1], q[2]);
        tally.nearCentre += int32_t(hn::CountTrue(d, hn::And(hn::Lt(hn::Mul(hn::Mul(r2, r2), r2), hn::Set(d, step.nearCentreSq)), counted)));
        KickLanes(d, step, step.qStart, q, h, v);
        for (int n = 0; n < 3; ++n) q[n] = hn::Add(q[n], hn::Set(d, h * step.jump1[n]));
        const M drifted = DriftLanes(d, step.mu, step.dt, q, v);
        for (int n = 0; n < 3; ++n) {  // a body on the central body has no defined orbit: it coasts
            q[n] = hn::IfThenElse(drifted, q[n], hn::Add(q[n], hn::Mul(hn::Set(d, step.dt), v[n])));
            q[n] = hn::Add(q[n], hn::Set(d, h * step.jump2[n]));
        }
        KickLanes(d, step, step.qEnd, q, h, v);
        for (int n = 0; n < 3; ++n) hn::Store(q[n], d, buf[n]), hn::Store(v[n], d, buf[3 + n]);
        for (size_t j = 0; j < real; ++j) {
            BodyRTStruct& b = step.list->body[step.particles[k + j]];
            for (int n = 0; n < 3; ++n) b.pos[n] = buf[n][j] + step.centreEnd[n], b.vel[n] = buf[3 + n][j] + step.vcm[n];
        }
    }
    return tally;
}

void DriftEach(double mu, double dt, size_t count, double* pos, double* vel, uint8_t* drifted) {
    const D d;
    const size_t lanes = hn::Lanes(d);
    HWY_ALIGN double buf[6][kMaxLanes], ok[kMaxLanes];
    for (size_t k = 0; k < count; k += lanes) {
        const size_t real = std::min(lanes, count - k);
        for (size_t j = 0; j < lanes; ++j)
            for (int n = 0; n < 3; ++n) {
                const size_t from = 3 * (k + std::min(j, real - 1)) + size_t(n);
                buf[n][j] = pos[from], buf[3 + n][j] = vel[from];
            }
        V q[3], v[3];
        for (int n = 0; n < 3; ++n) q[n] = hn::Load(d, buf[n]), v[n] = hn::Load(d, buf[3 + n]);
        hn::Store(hn::IfThenElseZero(DriftLanes(d, mu, dt, q, v), hn::Set(d, 1.0)), d, ok);
        for (int n = 0; n < 3; ++n) hn::Store(q[n], d, buf[n]), hn::Store(v[n], d, buf[3 + n]);
        for (size_t j = 0; j < real; ++j) {
            for (int n = 0; n < 3; ++n) pos[3 * (k + j) + size_t(n)] = buf[n][j], vel[3 * (k + j) + size_t(n)] = buf[3 + n][j];
            drifted[k + j] = ok[j] != 0.0;
        }
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace gravitas_wh
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gravitas_wh {
HWY_EXPORT(PushParticles);
HWY_EXPORT(DriftEach);
}  // namespace gravitas_wh

WisdomHolmanParticleTally PushWisdomHolmanParticles(const WisdomHolmanParticleStep& step, size_t first, size_t last) {
    if (first >= last) return {};
    return HWY_DYNAMIC_DISPATCH(gravitas_wh::PushParticles)(step, first, last);
}

void KeplerDriftEach(double mu, double dt, size_t n, double* pos, double* vel, uint8_t* drifted) {
    if (n > 0) HWY_DYNAMIC_DISPATCH(gravitas_wh::DriftEach)(mu, dt, n, pos, vel, drifted);
}
#endif
