#include "sim/Gravity.h"

#include <cmath>
#include <limits>
#include <vector>

#include "render/IJK.h"
#include "sim/GaussRadauPush.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// Structure-of-arrays copy of the pair-pass inputs and outputs. It grows with the
// body count and is never released, so a push allocates nothing in steady state.
struct PairScratch {
    std::vector<double> x, y, z, m, ax, ay, az, pot, nd;
    std::vector<int32_t> ni;
    std::vector<int32_t> live;  // indices of live bodies, descending
    void Reserve(size_t n) {
        if (x.size() >= n) return;
        for (auto* v : {&x, &y, &z, &m, &ax, &ay, &az, &pot, &nd}) v->resize(n);
        ni.resize(n);
        live.resize(n);
    }
};
PairScratch scratch;

struct ForceLaw {
    double g, accExp, potExp, potDiv;
    bool logPotential, inverseSquare;
    explicit ForceLaw(bool allowFast) {
        double p = set.powerLaw;
        g = set.gravConstant;
        accExp = p / 2 - 0.5;
        potExp = p / 2 + 0.5;
        potDiv = p + 1;
        logPotential = (p == -1.0);
        inverseSquare = allowFast && p == -2.0;
    }
    // f = G r^(p-1), u = potential factor.
    inline void Eval(double r2, double& f, double& u) const {
        if (inverseSquare) {
            double r = std::sqrt(r2);
            double inv = 1.0 / r;
            u = -g * inv;
            f = g * inv / r2;
            return;
        }
        double lr2 = std::log(r2);
        f = g * std::exp(accExp * lr2);
        u = logPotential ? g * 0.5 * lr2 : g * std::exp(potExp * lr2) / potDiv;
    }
    inline double AccFactor(double r2) const {
        if (inverseSquare) return g / (r2 * std::sqrt(r2));
        return g * std::exp(accExp * std::log(r2));
    }
};
}  // namespace

void CalcAcceleration(double out[3], const double point[3], const BodyRTListStruct* list, int32_t skip) {
    double a0 = 0, a1 = 0, a2 = 0;
    if (list) {
        ForceLaw law(true);
        for (int32_t j = list->count - 1; j >= 0; --j) {
            const BodyRTStruct& b = list->body[j];
            if (j == skip || !IsLiveBody(b)) continue;
            double d0 = b.pos[0] - point[0], d1 = b.pos[1] - point[1], d2 = b.pos[2] - point[2];
            double r2 = d0 * d0 + d1 * d1 + d2 * d2;
            if (r2 == 0.0) continue;  // undefined direction: the point sits on the body
            double f = law.AccFactor(r2) * b.mass;
            a0 += f * d0;
            a1 += f * d1;
            a2 += f * d2;
        }
    }
    out[0] = a0;
    out[1] = a1;
    out[2] = a2;
}

void GravityPairPass(BodyRTListStruct* list, bool useFastPath) {
    int32_t n = list->count;
    scratch.Reserve(size_t(n) + 1);
    PairScratch& s = scratch;
    int32_t nLive = 0;
    for (int32_t i = n - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        s.x[i] = b.pos[0];
        s.y[i] = b.pos[1];
        s.z[i] = b.pos[2];
        s.m[i] = b.mass;
        s.ax[i] = s.ay[i] = s.az[i] = s.pot[i] = 0.0;
        s.nd[i] = kInf;
        s.ni[i] = -1;
        if (IsLiveBody(b)) s.live[nLive++] = i;
    }
    ForceLaw law(useFastPath);
    double* x = s.x.data(); double* y = s.y.data(); double* z = s.z.data(); double* m = s.m.data();
    double* ax = s.ax.data(); double* ay = s.ay.data(); double* az = s.az.data();
    double* pot = s.pot.data(); double* nd = s.nd.data(); int32_t* ni = s.ni.data();
    const int32_t* live = s.live.data();
    for (int32_t li = 0; li < nLive; ++li) {
        int32_t i = live[li];
        double xi = x[i], yi = y[i], zi = z[i], mi = m[i];
        double axi = ax[i], ayi = ay[i], azi = az[i], pi = pot[i], ndi = nd[i];
        int32_t nii = ni[i];
        for (int32_t lj = li + 1; lj < nLive; ++lj) {
            int32_t j = live[lj];
            double d0 = xi - x[j], d1 = yi - y[j], d2 = zi - z[j];
            double r2 = d0 * d0 + d1 * d1 + d2 * d2;
            if (r2 != 0.0) {  // coincident live bodies exert no force on each other
                double f, u;
                law.Eval(r2, f, u);
                double fj = f * m[j], fi = f * mi;
                axi -= fj * d0; ayi -= fj * d1; azi -= fj * d2;
                pi += u * m[j];
                ax[j] += fi * d0; ay[j] += fi * d1; az[j] += fi * d2;
                pot[j] += u * mi;
            }
            if (r2 < ndi) { ndi = r2; nii = j; }
            if (r2 < nd[j]) { nd[j] = r2; ni[j] = i; }
        }
        ax[i] = axi; ay[i] = ayi; az[i] = azi; pot[i] = pi; nd[i] = ndi; ni[i] = nii;
    }
    for (int32_t i = n - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        b.acc[0] = ax[i]; b.acc[1] = ay[i]; b.acc[2] = az[i];
        b.potential = pot[i];
        b.nearestDistSq = nd[i];
        b.nearestIndex = ni[i];
    }
}

namespace {
inline void Axpy(double* out, const double* a, double h, const double* b) {
    for (int n = 0; n < 3; ++n) out[n] = a[n] + h * b[n];
}

void AdvanceBody(BodyRTListStruct* list, int32_t idx, int32_t method, double dt, int32_t pushCount) {
    BodyRTStruct& b = list->body[idx];
    for (int n = 0; n < 3; ++n) { b.lastVel[n] = b.vel[n]; b.lastPos[n] = b.pos[n]; }
    int s = pushCount & 3;
    if ((method == kPushAdamsBashforth || method == kPushAdamsMoulton) && pushCount <= 3) {
        for (int n = 0; n < 3; ++n) { b.velHistory[s][n] = b.vel[n]; b.accHistory[s][n] = b.acc[n]; }
        method = kPushSemiImplicitEuler;
    }
    switch (method) {
        case kPushEuler:
            for (int n = 0; n < 3; ++n) { b.pos[n] += dt * b.vel[n]; b.vel[n] += dt * b.acc[n]; }
            break;
        case kPushAdamsBashforth:
        case kPushAdamsMoulton: {
            double h = dt / 24;
            int s1 = (pushCount - 1) & 3, s2 = (pushCount - 2) & 3, s3 = (pushCount - 3) & 3;
            double vs[3], xs[3];
            for (int n = 0; n < 3; ++n) {
                vs[n] = b.vel[n] + h * (55 * b.acc[n] - 59 * b.accHistory[s1][n] + 37 * b.accHistory[s2][n] -
                                        9 * b.accHistory[s3][n]);
                xs[n] = b.pos[n] + h * (55 * b.vel[n] - 59 * b.velHistory[s1][n] + 37 * b.velHistory[s2][n] -
                                        9 * b.velHistory[s3][n]);
            }
            if (method == kPushAdamsMoulton) {
                double as[3];
                CalcAcceleration(as, xs, list, idx);
                double vc[3], xc[3];
                for (int n = 0; n < 3; ++n) {
                    vc[n] = b.vel[n] + h * (9 * as[n] + 19 * b.acc[n] - 5 * b.accHistory[s1][n] + b.accHistory[s2][n]);
                    xc[n] = b.pos[n] + h * (9 * vs[n] + 19 * b.vel[n] - 5 * b.velHistory[s1][n] + b.velHistory[s2][n]);
                }
                for (int n = 0; n < 3; ++n) { vs[n] = vc[n]; xs[n] = xc[n]; }
            }
            for (int n = 0; n < 3; ++n) {
                b.velHistory[s][n] = b.vel[n];
                b.accHistory[s][n] = b.acc[n];
                b.vel[n] = vs[n];
                b.pos[n] = xs[n];
            }
            break;
        }
        case kPushRungeKutta: {
            double h = dt / 2;
            double P0[3], U0[3], A0[3], P1[3], U1[3], A1[3], P2[3], U2[3], A2[3], P3[3], U3[3], A3[3];
            for (int n = 0; n < 3; ++n) { P0[n] = b.pos[n]; U0[n] = b.vel[n]; A0[n] = b.acc[n]; }
            Axpy(U1, U0, h, A0); Axpy(P1, P0, h, U0); CalcAcceleration(A1, P1, list, idx);
            Axpy(U2, U0, h, A1); Axpy(P2, P0, h, U1); CalcAcceleration(A2, P2, list, idx);
            Axpy(P3, P0, dt, U2); Axpy(U3, U0, dt, A2); CalcAcceleration(A3, P3, list, idx);
            for (int n = 0; n < 3; ++n) {
                b.vel[n] = U0[n] + (dt / 6) * (A0[n] + 2 * A1[n] + 2 * A2[n] + A3[n]);
                b.pos[n] = P0[n] + (dt / 6) * (U0[n] + 2 * U1[n] + 2 * U2[n] + U3[n]);
            }
            break;
        }
        default:
            for (int n = 0; n < 3; ++n) { b.vel[n] += dt * b.acc[n]; b.pos[n] += dt * b.vel[n]; }
            break;
    }
}
}  // namespace

int32_t ElementalPush(BodyRTListStruct* list) {
    if (!list) return 0;
    GravityPairPass(list);
    double dt = set.timeStep;
    if (set.pushMethod == kPushGaussRadau) GaussRadauPush(list, dt);
    else
        for (int32_t i = list->count - 1; i >= 0; --i)
            if (IsLiveBody(list->body[i])) AdvanceBody(list, i, set.pushMethod, dt, rt.pushCount);
    for (int32_t i = list->count - 1; i >= 0; --i) RotateIJKAboutK(list->body[i].axes, dt * list->body[i].spinRate);
    return 0;
}
