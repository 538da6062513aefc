// The adaptive Gauss–Radau integrator against reference solutions: Kepler's equation,
// conservation of energy, the periodic figure-eight orbit and its convergence order.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "AllocationCounter.h"
#include "core/Memory.h"
#include "core/Records.h"
#include "sim/GaussRadau.h"
#include "sim/GaussRadauPush.h"
#include "sim/Gravity.h"

namespace {
constexpr double kPi = std::numbers::pi;

// Newtonian point masses, G = `g`, by direct summation.
struct PointMasses {
    double g = 1.0;
    std::vector<double> mass;
    long evaluations = 0;
};

void NewtonAcceleration(void* context, int32_t count, const double* pos, double* acc) {
    auto& pm = *static_cast<PointMasses*>(context);
    ++pm.evaluations;
    for (int32_t i = 0; i < 3 * count; ++i) acc[i] = 0.0;
    for (int32_t i = 0; i < count; ++i)
        for (int32_t j = i + 1; j < count; ++j) {
            double d[3], r2 = 0.0;
            for (int k = 0; k < 3; ++k) {
                d[k] = pos[3 * j + k] - pos[3 * i + k];
                r2 += d[k] * d[k];
            }
            if (r2 == 0.0) continue;
            double f = pm.g / (r2 * std::sqrt(r2));
            for (int k = 0; k < 3; ++k) {
                acc[3 * i + k] += f * pm.mass[j] * d[k];
                acc[3 * j + k] -= f * pm.mass[i] * d[k];
            }
        }
}

double Energy(const PointMasses& pm, const GaussRadauStateStruct& s) {
    double kinetic = 0.0, potential = 0.0;
    for (int32_t i = 0; i < s.count; ++i) {
        double v2 = 0.0;
        for (int k = 0; k < 3; ++k) v2 += s.vel[3 * i + k] * s.vel[3 * i + k];
        kinetic += 0.5 * pm.mass[i] * v2;
        for (int32_t j = i + 1; j < s.count; ++j) {
            double r2 = 0.0;
            for (int k = 0; k < 3; ++k) r2 += std::pow(s.pos[3 * j + k] - s.pos[3 * i + k], 2);
            potential -= pm.g * pm.mass[i] * pm.mass[j] / std::sqrt(r2);
        }
    }
    return kinetic + potential;
}

// Loads bodies given as {x, y, z, vx, vy, vz} and moves them to the barycentre frame.
void Load(GaussRadauStateStruct& s, const PointMasses& pm, const std::vector<std::array<double, 6>>& bodies) {
    RestartGaussRadau(s, int32_t(bodies.size()));
    double total = 0.0, p[3] = {}, q[3] = {};
    for (size_t i = 0; i < bodies.size(); ++i) {
        total += pm.mass[i];
        for (int k = 0; k < 3; ++k) {
            s.pos[3 * i + k] = bodies[i][k];
            s.vel[3 * i + k] = bodies[i][3 + k];
            p[k] += pm.mass[i] * bodies[i][k];
            q[k] += pm.mass[i] * bodies[i][3 + k];
        }
    }
    for (size_t i = 0; i < bodies.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            s.pos[3 * i + k] -= p[k] / total;
            s.vel[3 * i + k] -= q[k] / total;
        }
}

// Relative position of body 1 from body 0 on a Kepler ellipse that starts at
// pericentre on the x axis, at time t (Kepler's equation solved by Newton's method).
void KeplerPosition(double mu, double a, double e, double t, double out[2]) {
    double n = std::sqrt(mu / (a * a * a));
    double meanAnomaly = std::fmod(n * t, 2 * kPi);
    double ecc = e > 0.8 ? kPi : meanAnomaly;
    for (int i = 0; i < 100; ++i) {
        double step = (ecc - e * std::sin(ecc) - meanAnomaly) / (1 - e * std::cos(ecc));
        ecc -= step;
        if (std::fabs(step) < 1e-16) break;
    }
    out[0] = a * (std::cos(ecc) - e);
    out[1] = a * std::sqrt(1 - e * e) * std::sin(ecc);
}

struct Binary {
    PointMasses pm;
    GaussRadauStateStruct s;
    double mu, a, e, period;
    Binary(double eccentricity, double secondMass = 0.5) {
        pm.mass = {1.0, secondMass};
        mu = pm.g * (pm.mass[0] + pm.mass[1]);
        a = 1.0;
        e = eccentricity;
        period = 2 * kPi * std::sqrt(a * a * a / mu);
        double rp = a * (1 - e), vp = std::sqrt(mu * (1 + e) / rp);
        Load(s, pm, {{0, 0, 0, 0, 0, 0}, {rp, 0, 0, 0, vp, 0}});
    }
    double KeplerError(double t) const {
        double ref[2];
        KeplerPosition(mu, a, e, t, ref);
        double dx = s.pos[3] - s.pos[0] - ref[0], dy = s.pos[4] - s.pos[1] - ref[1], dz = s.pos[5] - s.pos[2];
        return std::sqrt(dx * dx + dy * dy + dz * dz) / a;
    }
};
}  // namespace

TEST(GaussRadau, SpacingsAreTheRadauNodesOfOrder15) {
    EXPECT_EQ(kGaussRadauSpacing[0], 0.0);
    for (int n = 1; n < kGaussRadauNodes; ++n) {
        double x = 2 * kGaussRadauSpacing[n] - 1;
        EXPECT_NEAR(std::legendre(7, x) + std::legendre(8, x), 0.0, 1e-13) << "node " << n;
        EXPECT_GT(kGaussRadauSpacing[n], kGaussRadauSpacing[n - 1]);
    }
}

TEST(GaussRadau, EccentricBinaryOverThousandOrbitsKeepsEnergyAndKeplerPhase) {
    Binary bin(0.9);
    const double e0 = Energy(bin.pm, bin.s);
    const int pushesPerOrbit = 7;  // a push length that does not divide the orbit evenly
    const double push = bin.period / pushesPerOrbit;
    double worstEnergy = 0.0, worstPosition = 0.0;
    long substeps = 0;
    for (int p = 1; p <= 1000 * pushesPerOrbit; ++p) {
        substeps += AdvanceGaussRadau(bin.s, push, NewtonAcceleration, &bin.pm);
        if (p % pushesPerOrbit == 0) {
            worstEnergy = std::max(worstEnergy, std::fabs((Energy(bin.pm, bin.s) - e0) / e0));
            worstPosition = std::max(worstPosition, bin.KeplerError(p * push));
        }
    }
    RecordProperty("substeps_per_orbit", std::to_string(substeps / 1000));
    std::printf("e=0.9 binary, 1000 orbits: energy %.3g, Kepler position %.3g a, %.1f substeps/orbit\n",
                worstEnergy, worstPosition, substeps / 1000.0);
    EXPECT_LE(worstEnergy, 1e-13);
    EXPECT_LE(worstPosition, 1e-9);
}

TEST(GaussRadau, SubstepsCrowdAroundPericentre) {
    Binary bin(0.9);
    const int pushes = 20;
    const double push = bin.period / pushes;
    std::vector<int32_t> substeps;
    for (int orbit = 0; orbit < 2; ++orbit)
        for (int p = 0; p < pushes; ++p) substeps.push_back(AdvanceGaussRadau(bin.s, push, NewtonAcceleration, &bin.pm));
    // Second orbit: the push leaving pericentre against the push around apocentre.
    int32_t nearPericentre = substeps[pushes], nearApocentre = substeps[pushes + pushes / 2];
    EXPECT_GE(nearPericentre, 5 * nearApocentre);
    EXPECT_GE(nearApocentre, 1);
}

TEST(GaussRadau, TighterPrecisionTakesMoreSteps) {
    long counts[2];
    double errors[2];
    const double precisions[2] = {1e-5, 1e-9};
    for (int i = 0; i < 2; ++i) {
        Binary bin(0.7);
        bin.s.epsilon = precisions[i];
        counts[i] = 0;
        for (int p = 1; p <= 50; ++p) counts[i] += AdvanceGaussRadau(bin.s, bin.period, NewtonAcceleration, &bin.pm);
        errors[i] = bin.KeplerError(50 * bin.period);
    }
    EXPECT_GT(counts[1], counts[0]);
    EXPECT_LT(errors[1], errors[0]);
}

TEST(GaussRadau, SunJupiterSaturnThousandJupiterOrbitsKeepsEnergy) {
    // Units: AU, years, solar masses; G = 4π². Masses from the IAU 2015 nominal
    // values (Jupiter 1/1047.35, Saturn 1/3497.9 of the Sun); orbits started at
    // perihelion with their present eccentricities and a 2.5° mutual inclination.
    PointMasses pm;
    pm.g = 4 * kPi * kPi;
    pm.mass = {1.0, 1.0 / 1047.35, 1.0 / 3497.9};
    auto perihelion = [&](double a, double e, double incl, double mass) -> std::array<double, 6> {
        double mu = pm.g * (1.0 + mass), rp = a * (1 - e), vp = std::sqrt(mu * (1 + e) / rp);
        return {rp, 0, 0, 0, vp * std::cos(incl), vp * std::sin(incl)};
    };
    auto jupiter = perihelion(5.2026, 0.0489, 0.0, pm.mass[1]);
    auto saturn = perihelion(9.5549, 0.0565, 2.5 * kPi / 180, pm.mass[2]);
    for (int k : {0, 1, 3, 4}) saturn[k] = -saturn[k];  // start on the far side of the Sun
    GaussRadauStateStruct s;
    Load(s, pm, {{0, 0, 0, 0, 0, 0}, jupiter, saturn});
    const double e0 = Energy(pm, s);
    const double jupiterPeriod = 11.862;
    const double push = jupiterPeriod / 10;
    double worst = 0.0;
    long substeps = 0;
    for (int p = 1; p <= 10000; ++p) {
        substeps += AdvanceGaussRadau(s, push, NewtonAcceleration, &pm);
        if (p % 100 == 0) worst = std::max(worst, std::fabs((Energy(pm, s) - e0) / e0));
    }
    std::printf("Sun-Jupiter-Saturn, 1000 Jupiter orbits: energy %.3g, %.1f substeps/orbit\n", worst,
                substeps / 1000.0);
    EXPECT_LE(worst, 1e-13);
}

TEST(GaussRadau, FigureEightReturnsAfterTenPeriods) {
    // Chenciner & Montgomery (2000) figure-eight, G = m = 1, started when body 3
    // crosses the centre. The velocity and period were refined from their published
    // eight-digit values by Newton shooting on mpmath's 24-digit Taylor integrator.
    const double x1 = 0.97000436, y1 = -0.24308753;
    const double vx3 = -0.9324073681390787, vy3 = -0.8647314618349537;
    const double period = 6.325914009782139;
    PointMasses pm;
    pm.mass = {1, 1, 1};
    GaussRadauStateStruct s;
    Load(s, pm, {{x1, y1, 0, -vx3 / 2, -vy3 / 2, 0}, {-x1, -y1, 0, -vx3 / 2, -vy3 / 2, 0}, {0, 0, 0, vx3, vy3, 0}});
    const std::vector<double> start = s.pos;
    const int pushesPerPeriod = 5;
    double worst = 0.0;
    for (int n = 1; n <= 10; ++n) {
        for (int p = 0; p < pushesPerPeriod; ++p)
            AdvanceGaussRadau(s, period / pushesPerPeriod, NewtonAcceleration, &pm);
        for (size_t i = 0; i < start.size(); ++i) worst = std::max(worst, std::fabs(s.pos[i] - start[i]));
    }
    std::printf("figure-eight, 10 periods: worst return %.3g\n", worst);
    EXPECT_LE(worst, 1e-9);
}

namespace {
// Point 1 is a clock (x = t); point 0 feels the acceleration t^power along x.
int timePower = 0;
void PowerOfTime(void*, int32_t, const double* pos, double* acc) {
    for (int i = 0; i < 6; ++i) acc[i] = 0.0;
    acc[0] = std::pow(pos[3], timePower);
}
double VelocityErrorOfOneStep(int power) {
    timePower = power;
    GaussRadauStateStruct s;
    RestartGaussRadau(s, 2);
    s.epsilon = 0.0;  // one step over the whole advance
    s.vel[3] = 1.0;
    AdvanceGaussRadau(s, 1.0, PowerOfTime, nullptr);
    EXPECT_EQ(s.lastSubsteps, 1);
    EXPECT_DOUBLE_EQ(s.pos[3], 1.0);
    return std::fabs(s.vel[0] - 1.0 / (power + 1));
}
}  // namespace

TEST(GaussRadau, OneStepIntegratesPolynomialsOfDegreeFourteenExactly) {
    // Radau quadrature on eight nodes with one end fixed is exact up to degree 2·8 − 2.
    for (int power = 0; power <= 14; ++power) EXPECT_LE(VelocityErrorOfOneStep(power), 1e-14) << "t^" << power;
    double beyond = VelocityErrorOfOneStep(15);
    std::printf("t^15: velocity error %.3g\n", beyond);
    EXPECT_GT(beyond, 1e-9);
}

TEST(GaussRadau, FixedStepErrorFallsSteeplyWithStep) {
    // Far above rounding, a 15th-order method gains about 2^15 per halving; any
    // lower-order slip (a wrong coefficient) shows up as a much smaller gain.
    double errors[2];
    const int steps[2] = {8, 16};
    for (int i = 0; i < 2; ++i) {
        Binary bin(0.2);
        bin.s.epsilon = 0.0;
        bin.s.fixedStep = bin.period / steps[i];
        AdvanceGaussRadau(bin.s, 10 * bin.period, NewtonAcceleration, &bin.pm);
        errors[i] = bin.KeplerError(10 * bin.period);
    }
    std::printf("fixed-step errors over 10 orbits %.3g, %.3g\n", errors[0], errors[1]);
    EXPECT_GT(errors[0] / errors[1], 5000.0);
}

TEST(GaussRadau, AdvanceCoversExactlyTheDurationUnderUniformField) {
    // In a uniform field the motion is a parabola, which the series holds exactly.
    struct Field {
        static void Acc(void*, int32_t count, const double*, double* acc) {
            for (int32_t i = 0; i < count; ++i) acc[3 * i] = 0, acc[3 * i + 1] = -9.81, acc[3 * i + 2] = 0.5;
        }
    };
    GaussRadauStateStruct s;
    RestartGaussRadau(s, 1);
    s.vel = {3.0, 40.0, -1.0};
    double t = 0.0;
    for (double push : {0.37, 1.0, 2.9, 0.001, 5.5}) {
        AdvanceGaussRadau(s, push, Field::Acc, nullptr);
        t += push;
    }
    EXPECT_NEAR(s.pos[0], 3.0 * t, 1e-12);
    EXPECT_NEAR(s.pos[1], 40.0 * t - 0.5 * 9.81 * t * t, 1e-12);
    EXPECT_NEAR(s.pos[2], -t + 0.25 * t * t, 1e-12);
    EXPECT_NEAR(s.vel[1], 40.0 - 9.81 * t, 1e-12);
}

TEST(GaussRadau, RunningBackwardsRetracesTheOrbit) {
    Binary bin(0.6);
    const std::vector<double> pos0 = bin.s.pos, vel0 = bin.s.vel;
    for (int p = 0; p < 30; ++p) AdvanceGaussRadau(bin.s, bin.period / 3, NewtonAcceleration, &bin.pm);
    for (int p = 0; p < 30; ++p) AdvanceGaussRadau(bin.s, -bin.period / 3, NewtonAcceleration, &bin.pm);
    for (size_t i = 0; i < pos0.size(); ++i) {
        EXPECT_NEAR(bin.s.pos[i], pos0[i], 1e-10);
        EXPECT_NEAR(bin.s.vel[i], vel0[i], 1e-10);
    }
}

TEST(GaussRadau, HeadOnCollisionFinishesWithBoundedSubsteps) {
    // Two point masses falling straight into each other: the step control would
    // shrink without end at the singularity; the floor keeps each advance finite.
    PointMasses pm;
    pm.mass = {1.0, 1.0};
    GaussRadauStateStruct s;
    Load(s, pm, {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}});
    const double fallTime = kPi / 2 * std::sqrt(1.0 / (2 * 2.0));  // free-fall time of the pair
    int32_t substeps = AdvanceGaussRadau(s, 2 * fallTime, NewtonAcceleration, &pm);
    std::printf("head-on collision: %d substeps, %d rejected\n", substeps, s.lastRejected);
    EXPECT_LE(substeps, int32_t(1.0 / s.minStepFraction) + 10);
    EXPECT_GE(substeps, 10);
}

TEST(GaussRadau, NonFiniteInputDoesNotStall) {
    PointMasses pm;
    pm.mass = {1.0, 1.0};
    GaussRadauStateStruct s;
    Load(s, pm, {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 0}});
    s.pos[3] = std::nan("");
    pm.evaluations = 0;
    AdvanceGaussRadau(s, 1.0, NewtonAcceleration, &pm);
    EXPECT_LE(pm.evaluations, 100);
}

TEST(GaussRadau, AdvancingAllocatesNothing) {
    Binary bin(0.9);
    AdvanceGaussRadau(bin.s, bin.period, NewtonAcceleration, &bin.pm);
    long before = HeapAllocationCount();
    for (int p = 0; p < 20; ++p) AdvanceGaussRadau(bin.s, bin.period / 3, NewtonAcceleration, &bin.pm);
    EXPECT_EQ(HeapAllocationCount() - before, 0);
}

TEST(GaussRadau, PushOfAllBodiesAllocatesNothing) {
    // The same through the push itself, once the integrator has been sized.
    set.gravConstant = 6.672e-11;
    set.powerLaw = -2.0;
    set.timeStep = 500.0;
    set.pushMethod = kPushGaussRadau;
    const int32_t n = 5;
    Handle h = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
    BodyRTListStruct* list = HandleAs<BodyRTListStruct>(h);
    list->count = n;
    for (int32_t i = 0; i < n; ++i) {
        BodyRTStruct& b = list->body[i];
        b.pos[0] = 1e7 * (i + 1);
        b.vel[1] = i == 0 ? 0.0 : std::sqrt(6.672e-11 * 6e24 / b.pos[0]);
        b.mass = i == 0 ? 6e24 : 1e10;
        b.axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    }
    list->body[0].pos[0] = 0.0;
    ElementalPush(list);
    const long before = HeapAllocationCount();
    for (int p = 0; p < 20; ++p) ElementalPush(list);
    EXPECT_EQ(HeapAllocationCount() - before, 0);
    EXPECT_GT(list->body[1].pos[1], 0.0);  // the bodies did move
    DisposeHandle(h);
    DisposeGaussRadauPush();
}
