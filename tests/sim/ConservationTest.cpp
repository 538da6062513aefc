// Energy, linear and angular momentum of a five-body system per integrator. The figures
// are printed (run gravitas_sim_tests --gtest_filter='Conservation*') for the record.
#include <cstdio>

#include "OrbitsFixture.h"

namespace {
class Conservation : public OrbitsTest {};

struct Drift {
    double energy, momentum, angular;
};

// A unit star and four planets on inclined, mildly eccentric orbits, G = 1; 10000 pushes
// of 0.005 (about eight orbits of the inner planet).
Drift FiveBodyDrift(int32_t method) {
    std::vector<InitialBody> bodies{{0, 0, 0, 0, 0, 0, 1.0}};
    const double radius[4] = {1.0, 1.6, 2.5, 4.0}, mass[4] = {1e-3, 3e-4, 1e-4, 5e-5};
    for (int k = 0; k < 4; ++k) {
        double v = std::sqrt(1.0 / radius[k]) * (1.0 + 0.05 * k), c = std::cos(0.3 * k), s = std::sin(0.3 * k);
        double incl = 0.05 * (k + 1);
        bodies.push_back({radius[k] * c, radius[k] * s, 0, -v * s, v * c * std::cos(incl), v * std::sin(incl), mass[k]});
    }
    Conservation::Start(bodies, method, 0.005);
    double e0 = Conservation::Energy(), p0[3], l0[3];
    Conservation::Momentum(p0);
    Conservation::AngularMomentum(l0);
    double scale = 0;  // sum of |m v|, the size momentum rounding is measured against
    for (int i = 0; i < Conservation::Count(); ++i)
        scale += Conservation::RT(i).mass * std::sqrt(Conservation::RT(i).vel[0] * Conservation::RT(i).vel[0] +
                                                      Conservation::RT(i).vel[1] * Conservation::RT(i).vel[1] +
                                                      Conservation::RT(i).vel[2] * Conservation::RT(i).vel[2]);
    Conservation::Run(10000);
    double p1[3], l1[3];
    Conservation::Momentum(p1);
    Conservation::AngularMomentum(l1);
    const double zero[3] = {0, 0, 0};
    double dl[3] = {l1[0] - l0[0], l1[1] - l0[1], l1[2] - l0[2]}, dp[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    Drift d{std::fabs((Conservation::Energy() - e0) / e0), Distance(dp, zero) / scale,
            Distance(dl, zero) / Distance(l0, zero)};
    std::printf("five bodies %-20s |dE/E| %.3e  |dP|/sum|mv| %.3e  |dL/L| %.3e\n", MethodName(method), d.energy,
                d.momentum, d.angular);
    return d;
}

TEST_F(Conservation, FourthOrderMethodsKeepEnergyAndBothMomenta) {
    for (int32_t method : {kPushRungeKutta, kPushAdamsBashforth, kPushAdamsMoulton}) {
        Drift d = FiveBodyDrift(method);
        EXPECT_LT(d.energy, 1e-9) << MethodName(method);
        EXPECT_LT(d.momentum, 1e-13) << MethodName(method);  // symmetric pairs: exact up to rounding
        EXPECT_LT(d.angular, 1e-9) << MethodName(method);
    }
}

TEST_F(Conservation, SemiImplicitEulerKeepsMomentaExactlyAndEnergyBounded) {
    Drift d = FiveBodyDrift(kPushSemiImplicitEuler);
    EXPECT_LT(d.momentum, 1e-13);
    EXPECT_LT(d.angular, 1e-12);  // a kick with central forces and a drift both keep q x p
    EXPECT_LT(d.energy, 1e-2);
}

TEST_F(Conservation, ExplicitEulerKeepsMomentumButGainsEnergy) {
    Drift d = FiveBodyDrift(kPushEuler);
    EXPECT_LT(d.momentum, 1e-13);
    EXPECT_GT(d.energy, 1e-2);
    EXPECT_GT(d.angular, 1e-2);  // the kick uses start-of-push positions after the drift
}
// The Sun, the Earth and a satellite on a circular orbit 400 km up, Δt = 10 s (the
// default): the satellite's speed relative to the Earth over one orbit, against the
// circular speed sqrt(G·M/r).
double WorstCircularSpeedError(int32_t method) {
    const double G = 6.672e-11, mSun = 1.989e30, mEarth = 5.974e24, au = 1.496e11, r = 6.378e6 + 4e5;
    const double vEarth = std::sqrt(G * mSun / au), vCircular = std::sqrt(G * mEarth / r);
    std::vector<InitialBody> bodies{{0, 0, 0, 0, 0, 0, mSun},
                                    {au, 0, 0, 0, vEarth, 0, mEarth},
                                    {au + r, 0, 0, 0, vEarth + vCircular, 0, 1e4}};
    Conservation::Start(bodies, method, 10.0);
    set.gravConstant = G;
    const int pushes = int(2 * M_PI * r / vCircular / 10.0) + 1;
    double worst = 0;
    for (int p = 0; p < pushes; ++p) {
        Conservation::Run(1);
        const BodyRTStruct &e = Conservation::RT(1), &s = Conservation::RT(2);
        double speed = std::hypot(s.vel[0] - e.vel[0], s.vel[1] - e.vel[1], s.vel[2] - e.vel[2]);
        worst = std::max(worst, std::fabs(speed - vCircular));
    }
    std::printf("low orbit dt=10s %-20s worst |v - v_circular| %.3e m/s over %d pushes\n", MethodName(method), worst,
                pushes);
    return worst;
}

TEST_F(Conservation, LowEarthOrbitKeepsCircularSpeed) {
    for (int32_t method : {kPushRungeKutta, kPushAdamsBashforth, kPushAdamsMoulton})
        EXPECT_LT(WorstCircularSpeedError(method), 0.01) << MethodName(method);
    EXPECT_LT(WorstCircularSpeedError(kPushSemiImplicitEuler), 100.0);
}
}  // namespace
