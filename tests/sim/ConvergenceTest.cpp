// Convergence order of every integrator on problems with known solutions. The figures
// are printed (run gravitas_sim_tests --gtest_filter='Convergence*') for the record.
#include <cstdio>

#include "OrbitsFixture.h"

namespace {
class Convergence : public OrbitsTest {};

// Figure-eight choreography of three unit masses, G = 1: initial conditions and period
// from A. Chenciner and R. Montgomery, "A remarkable periodic solution of the three-body
// problem in the case of equal masses", Annals of Mathematics 152 (2000), with the
// numerical values computed by C. Simó.
constexpr double kEightPeriod = 6.32591398;
std::vector<InitialBody> FigureEight() {
    const double x = 0.97000436, y = -0.24308753, vx = -0.93240737, vy = -0.86473146;
    return {{x, y, 0, -vx / 2, -vy / 2, 0, 1}, {-x, -y, 0, -vx / 2, -vy / 2, 0, 1}, {0, 0, 0, vx, vy, 0, 1}};
}

// Positions after one period from a run at T/32000 of Runge-Kutta: the published
// eight-digit initial conditions close the orbit only to about 4e-8, less than the
// fourth-order methods' error at T/2000, so the start point cannot serve as reference.
constexpr int kReferenceSteps = 32000;
struct EightReference {
    double pos[3][3];
    double closure;  // largest distance from the start point
};
const EightReference& FigureEightReference() {
    static EightReference ref = [] {
        EightReference r{};
        Convergence::Start(FigureEight(), kPushRungeKutta, kEightPeriod / kReferenceSteps);
        double start[3][3];
        for (int i = 0; i < 3; ++i)
            for (int n = 0; n < 3; ++n) start[i][n] = Convergence::RT(i).pos[n];
        Convergence::Run(kReferenceSteps);
        for (int i = 0; i < 3; ++i) {
            for (int n = 0; n < 3; ++n) r.pos[i][n] = Convergence::RT(i).pos[n];
            r.closure = std::max(r.closure, Distance(r.pos[i], start[i]));
        }
        return r;
    }();
    return ref;
}

// Largest distance of a body from the reference after one period in `steps` pushes.
double FigureEightError(int32_t method, int steps) {
    const EightReference& ref = FigureEightReference();
    Convergence::Start(FigureEight(), method, kEightPeriod / steps);
    Convergence::Run(steps);
    double worst = 0;
    for (int i = 0; i < 3; ++i) worst = std::max(worst, Distance(Convergence::RT(i).pos, ref.pos[i]));
    return worst;
}

TEST_F(Convergence, FigureEightClosesAfterThePublishedPeriod) {
    std::printf("figure-eight reference (Runge-Kutta T/%d) distance from the start after T: %.3e\n", kReferenceSteps,
                FigureEightReference().closure);
    EXPECT_LT(FigureEightReference().closure, 2e-7);
}

double FigureEightRatio(int32_t method) {
    double coarse = FigureEightError(method, 2000), fine = FigureEightError(method, 4000);
    std::printf("figure-eight %-20s error T/2000 %.3e  T/4000 %.3e  ratio %.2f\n", MethodName(method), coarse, fine,
                coarse / fine);
    return coarse / fine;
}

TEST_F(Convergence, FigureEightFourthOrderMethodsCutErrorSixteenfold) {
    EXPECT_GE(FigureEightRatio(kPushRungeKutta), 12.0);
    EXPECT_GE(FigureEightRatio(kPushAdamsBashforth), 12.0);
    EXPECT_GE(FigureEightRatio(kPushAdamsMoulton), 12.0);
}

TEST_F(Convergence, FigureEightEulerMethodsStayFirstOrder) {
    EXPECT_NEAR(FigureEightRatio(kPushEuler), 2.0, 0.3);
    EXPECT_NEAR(FigureEightRatio(kPushSemiImplicitEuler), 2.0, 0.3);
}

// Two bodies (masses 1 and 0.25) on an ellipse of e = 0.5, a = 1, starting at periapsis.
// After 10.25 periods the relative position is compared with the solution of Kepler's
// equation E - e sin E = M.
constexpr double kE = 0.5, kMass1 = 1.0, kMass2 = 0.25;
double KeplerError(int32_t method, int stepsPerOrbit) {
    const double mu = kMass1 + kMass2, period = 2 * M_PI / std::sqrt(mu);
    const double rp = 1 - kE, vp = std::sqrt(mu * (1 + kE) / rp);
    // Each body's share of the relative orbit about the centre of mass.
    const double f1 = kMass2 / mu, f2 = kMass1 / mu;
    Convergence::Start({{-f1 * rp, 0, 0, 0, -f1 * vp, 0, kMass1}, {f2 * rp, 0, 0, 0, f2 * vp, 0, kMass2}}, method,
                       period / stepsPerOrbit);
    const int64_t steps = int64_t(stepsPerOrbit) * 41 / 4;
    Convergence::Run(steps);
    const double meanAnomaly = 2 * M_PI * double(steps) / stepsPerOrbit;
    double E = meanAnomaly;
    for (int k = 0; k < 50; ++k) E -= (E - kE * std::sin(E) - meanAnomaly) / (1 - kE * std::cos(E));
    const double expected[3] = {std::cos(E) - kE, std::sqrt(1 - kE * kE) * std::sin(E), 0};
    double relative[3];
    for (int n = 0; n < 3; ++n) relative[n] = Convergence::RT(1).pos[n] - Convergence::RT(0).pos[n];
    return Distance(relative, expected);
}

// Error at N and 2N steps per orbit; returns the observed order log2(ratio).
double KeplerOrder(int32_t method, int stepsPerOrbit, double* coarseOut = nullptr) {
    double coarse = KeplerError(method, stepsPerOrbit), fine = KeplerError(method, 2 * stepsPerOrbit);
    std::printf("kepler e=0.5 %-20s error %6d/orbit %.3e  %6d/orbit %.3e  order %.2f\n", MethodName(method),
                stepsPerOrbit, coarse, 2 * stepsPerOrbit, fine, std::log2(coarse / fine));
    if (coarseOut) *coarseOut = coarse;
    return std::log2(coarse / fine);
}

// Steps per orbit are chosen where each method has reached its asymptotic order: the
// corrector's error changes sign near periapsis and shows order 3 at 1000 steps.
TEST_F(Convergence, KeplerEllipseOrderPerMethod) {
    double rk = 0, ab = 0, am = 0;
    EXPECT_NEAR(KeplerOrder(kPushRungeKutta, 1000, &rk), 4.0, 0.35);
    EXPECT_NEAR(KeplerOrder(kPushAdamsBashforth, 2000, &ab), 4.0, 0.35);
    EXPECT_NEAR(KeplerOrder(kPushAdamsMoulton, 4000), 4.0, 0.35);
    EXPECT_NEAR(KeplerOrder(kPushEuler, 200000), 1.0, 0.15);
    EXPECT_NEAR(KeplerOrder(kPushSemiImplicitEuler, 200000), 1.0, 0.15);
    EXPECT_LT(rk, 1e-6);
    // The corrector's error constant (19/720) is far below the predictor's (251/720).
    am = KeplerError(kPushAdamsMoulton, 2000);
    std::printf("kepler e=0.5 at 2000/orbit: Adams-Moulton %.3e, Adams-Bashforth %.3e\n", am, ab);
    EXPECT_LT(am * 5, ab);
}
}  // namespace
