// Every integrator against reference problems: Kepler's equation for the order, five bodies for the
// conserved quantities, a circular orbit stale multistep history would knock off; Gauss–Radau pushes.
#include "SimFixture.h"
#include "sim/GaussRadauPush.h"
#include "sim/PushStage.h"

namespace {
// Masses 1 and 0.25 on an ellipse of e = 0.5, a = 1, from periapsis; after `quarters` quarter
// periods the relative position against the solution of E - e sin E = M.
double KeplerError(int32_t method, int stepsPerOrbit, int quarters) {
    constexpr double e = 0.5, m1 = 1.0, m2 = 0.25, mu = m1 + m2, rp = 1 - e;
    const double vp = std::sqrt(mu * (1 + e) / rp), f1 = m2 / mu, f2 = m1 / mu;  // shares of the relative orbit
    SimTest::Start({{-f1 * rp, 0, 0, 0, -f1 * vp, 0, m1}, {f2 * rp, 0, 0, 0, f2 * vp, 0, m2}}, method,
                   2 * M_PI / std::sqrt(mu) / stepsPerOrbit);
    const int64_t steps = int64_t(stepsPerOrbit) * quarters / 4;
    SimTest::Run(steps);
    const double meanAnomaly = 2 * M_PI * double(steps) / stepsPerOrbit;
    double E = meanAnomaly;
    for (int k = 0; k < 50; ++k) E -= (E - e * std::sin(E) - meanAnomaly) / (1 - e * std::cos(E));
    const double *a = SimTest::RT(0).pos, *b = SimTest::RT(1).pos;
    return std::hypot(b[0] - a[0] - (std::cos(E) - e), b[1] - a[1] - std::sqrt(1 - e * e) * std::sin(E), b[2] - a[2]);
}

// Steps per orbit where each method has reached its asymptotic order (the corrector's error
// changes sign near periapsis and shows order 3 at 1000 steps).
class KeplerOrder : public SimTest, public ::testing::WithParamInterface<std::tuple<int32_t, int, int, double>> {};

TEST_P(KeplerOrder, ErrorFallsAtTheMethodsOrder) {
    const auto [method, steps, quarters, order] = GetParam();
    const double coarse = KeplerError(method, steps, quarters), fine = KeplerError(method, 2 * steps, quarters);
    EXPECT_NEAR(std::log2(coarse / fine), order, order > 1 ? 0.35 : 0.15);
    EXPECT_TRUE(method != kPushRungeKutta || coarse < 1e-6) << coarse;
    // The corrector's error constant (19/720) is far below the predictor's (251/720).
    EXPECT_TRUE(method != kPushAdamsMoulton ||
                5 * KeplerError(method, steps / 2, quarters) < KeplerError(kPushAdamsBashforth, steps / 2, quarters));
}
INSTANTIATE_TEST_SUITE_P(Methods, KeplerOrder,
                         ::testing::Values(std::tuple{kPushRungeKutta, 1000, 41, 4.0}, std::tuple{kPushAdamsBashforth, 2000, 41, 4.0},
                                           std::tuple{kPushAdamsMoulton, 4000, 41, 4.0}, std::tuple{kPushEuler, 100000, 5, 1.0},
                                           std::tuple{kPushSemiImplicitEuler, 100000, 5, 1.0}, std::tuple{kPushWisdomHolman, 2000, 41, 2.0}));

// A unit star and four planets on inclined, mildly eccentric orbits (G = 1), 10000 pushes of 0.005.
// Momentum is kept to rounding by every method; energy and angular momentum {min, max} tell them apart.
class FiveBodies : public SimTest, public ::testing::WithParamInterface<std::tuple<int32_t, double, double, double, double>> {};

TEST_P(FiveBodies, KeepWhatTheMethodKeeps) {
    const auto [method, energyMin, energyMax, angularMin, angularMax] = GetParam();
    std::vector<std::vector<double>> bodies{{0, 0, 0, 0, 0, 0, 1.0}};
    const double radius[4] = {1.0, 1.6, 2.5, 4.0}, mass[4] = {1e-3, 3e-4, 1e-4, 5e-5};
    for (int k = 0; k < 4; ++k) {
        const double v = std::sqrt(1.0 / radius[k]) * (1.0 + 0.05 * k), c = std::cos(0.3 * k), s = std::sin(0.3 * k), i = 0.05 * (k + 1);
        bodies.push_back({radius[k] * c, radius[k] * s, 0, -v * s, v * c * std::cos(i), v * std::sin(i), mass[k]});
    }
    Start(bodies, method, 0.005);
    // Momentum (relative to the sum of |m v|) and angular momentum about the origin.
    auto momenta = [] {
        std::vector<double> m(7, 0.0);
        for (int i = 0; i < Count(); ++i)
            for (int n = 0; n < 3; ++n) {
                const double *x = RT(i).pos, *v = RT(i).vel;
                m[n] += RT(i).mass * v[n];
                m[3 + n] += RT(i).mass * (x[(n + 1) % 3] * v[(n + 2) % 3] - x[(n + 2) % 3] * v[(n + 1) % 3]);
                m[6] += RT(i).mass * std::fabs(v[n]);
            }
        return m;
    };
    const double e0 = Energy();
    const std::vector<double> m0 = momenta();
    Run(10000);
    const std::vector<double> m1 = momenta();
    const double energy = std::fabs((Energy() - e0) / e0), momentum = Distance(&m1[0], &m0[0]) / m0[6];
    const double angular = Distance(&m1[3], &m0[3]) / std::hypot(m0[3], m0[4], m0[5]);
    EXPECT_LT(momentum, 1e-13);
    EXPECT_TRUE(energy >= energyMin && energy < energyMax) << "|dE/E| " << energy;
    EXPECT_TRUE(angular >= angularMin && angular < angularMax) << "|dL/L| " << angular;
}
// Semi-implicit Euler's kick with central forces and drift both keep q x p; explicit Euler's
// kick uses start-of-push positions after the drift.
INSTANTIATE_TEST_SUITE_P(Methods, FiveBodies,
                         ::testing::Values(std::tuple{kPushRungeKutta, 0.0, 1e-9, 0.0, 1e-9}, std::tuple{kPushAdamsBashforth, 0.0, 1e-9, 0.0, 1e-9},
                                           std::tuple{kPushAdamsMoulton, 0.0, 1e-9, 0.0, 1e-9}, std::tuple{kPushGaussRadau, 0.0, 1e-14, 0.0, 1e-12},
                                           std::tuple{kPushSemiImplicitEuler, 0.0, 1e-2, 0.0, 1e-12}, std::tuple{kPushEuler, 1e-2, 1e9, 1e-2, 1e9},
                                           std::tuple{kPushWisdomHolman, 1e-11, 1e-8, 0.0, 1e-12}));

// A circular orbit (G = 1, 2000 pushes per orbit) whose energy a fourth-order method keeps to
// ~1e-11; extrapolating from history that no longer lies on the path breaks that.
enum StartUp { kFresh, kAfterEuler, kNewTimeStep, kCountRestarted, kAfterBurn };
class MultistepStartUp : public SimTest, public ::testing::WithParamInterface<std::tuple<int32_t, StartUp>> {};

TEST_P(MultistepStartUp, NeverExtrapolatesFromStaleHistory) {
    const auto [method, startUp] = GetParam();
    Start({{0, 0, 0, 0, 0, 0, 1.0}, {1, 0, 0, 0, 1, 0, 1e-6}}, startUp == kAfterEuler ? kPushSemiImplicitEuler : method, 2 * M_PI / 2000);
    BodyList()->body[1].bodyFlags = kCraftFlag;
    if (startUp != kFresh && startUp != kAfterBurn) Run(333);
    if (startUp == kAfterEuler) set.pushMethod = method;
    if (startUp == kNewTimeStep) set.timeStep /= 2;
    if (startUp == kCountRestarted) SetICsToRT();  // the array is kept, the count starts again
    if (startUp == kAfterBurn) {
        set.timedThrust = NewTTHandle();
        const TimedThrustInfoStruct burn{0.05, 100, 0};
        AddTTData(set.timedThrust, &burn);
        set.pushesPerFrame = 101;
        DoPushStage();  // ends with the burn
        ASSERT_GT(std::hypot(RT(1).vel[0] - RT(0).vel[0], RT(1).vel[1] - RT(0).vel[1]), 1.04);
    }
    const double e0 = Energy();
    Run(2000);
    EXPECT_LT(std::fabs((Energy() - e0) / e0), 1e-9);
}
INSTANTIATE_TEST_SUITE_P(Methods, MultistepStartUp,
                         ::testing::Combine(::testing::Values(kPushAdamsBashforth, kPushAdamsMoulton),
                                            ::testing::Values(kFresh, kAfterEuler, kNewTimeStep, kCountRestarted, kAfterBurn)));

// 1234.5 s Gauss–Radau pushes on a 1.6 h orbit take several substeps, and a Wisdom–Holman push
// drifts along the exact Kepler orbit, yet after k pushes the craft stands where the analytic
// circular orbit puts it at k time steps. A speed change from the thrust schedule then carries
// into the following pushes as if a run had been started from there.
class GaussRadauPushTest : public SimTest, public ::testing::WithParamInterface<int32_t> {
    void TearDown() override {
        DisposeGaussRadauPush();
        SimTest::TearDown();
    }
};

TEST_P(GaussRadauPushTest, PushesFollowTheCircularOrbitAndCarryATimedThrust) {
    constexpr double G = 6.672e-11, earth = 6e24, r = 7e6;
    const double v = std::sqrt(G * earth / r), angle = v / r * 10 * 1234.5;
    auto relative = [] {
        const double *a = RT(0).pos, *b = RT(1).pos;
        return std::vector<double>{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    };
    auto frame = [](int32_t pushes) { set.pushesPerFrame = pushes, DoPushStage(); };
    DisposeGaussRadauPush();
    AddABody(Body(0, 0, 0, 0, 0, 0, earth, 6.4e6));
    AddABody(Body(r, 0, 0, 0, v, 0, 1000, 1.0));
    BodyList()->body[1].bodyFlags = kCraftFlag;
    set.pushMethod = GetParam();
    set.timeStep = 1234.5;
    set.timedThrust = NewTTHandle();
    const TimedThrustInfoStruct entry{250.0, 9, 0};
    AddTTData(set.timedThrust, &entry);
    frame(10);  // the entry fires after the tenth push
    EXPECT_TRUE(GetParam() != kPushGaussRadau || rt.substepsLastPush > 1);
    EXPECT_NEAR(relative()[0], r * std::cos(angle), 1e-9 * r);
    EXPECT_NEAR(relative()[1], r * std::sin(angle), 1e-9 * r);
    ASSERT_GT(Distance(RT(1).vel, RT(0).vel), v + 200.0);
    std::vector<BodyInfoStruct> now(BodyList()->body, BodyList()->body + 2);
    for (int i = 0; i < 2; ++i)
        for (int n = 0; n < 3; ++n) now[size_t(i)].pos[n] = RT(i).pos[n], now[size_t(i)].vel[n] = RT(i).vel[n];
    frame(30);
    const std::vector<double> carried = relative();
    DeallocateAllPushMemory();
    DisposeGaussRadauPush();
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = 0;
    for (const BodyInfoStruct& b : now) AddABody(b);
    frame(30);
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(carried[size_t(n)], relative()[size_t(n)], 1e-8 * r) << n;
}
INSTANTIATE_TEST_SUITE_P(Methods, GaussRadauPushTest, ::testing::Values(kPushGaussRadau, kPushWisdomHolman));
}  // namespace
