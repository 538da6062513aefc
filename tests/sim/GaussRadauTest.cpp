// The adaptive Gauss–Radau integrator against reference solutions: the quadrature's exactness,
// Kepler orbits, conserved energy, the periodic figure-eight and hostile input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "sim/GaussRadau.h"

namespace {
constexpr double kPi = std::numbers::pi;

// Newtonian point masses (G = 1) by direct summation, counting the evaluations.
struct PointMasses {
    std::vector<double> mass;
    long evaluations = 0;
};
void Newton(void* context, int32_t count, const double* pos, double* acc) {
    auto& pm = *static_cast<PointMasses*>(context);
    ++pm.evaluations;
    std::fill(acc, acc + 3 * count, 0.0);
    for (int32_t i = 0; i < count; ++i)
        for (int32_t j = i + 1; j < count; ++j) {
            double d[3], r2 = 0.0;
            for (int k = 0; k < 3; ++k) d[k] = pos[3 * j + k] - pos[3 * i + k], r2 += d[k] * d[k];
            const double f = r2 == 0.0 ? 0.0 : 1.0 / (r2 * std::sqrt(r2));
            for (int k = 0; k < 3; ++k) acc[3 * i + k] += f * pm.mass[j] * d[k], acc[3 * j + k] -= f * pm.mass[i] * d[k];
        }
}

// Bodies {x, y, z, vx, vy, vz} of the given masses.
struct Bodies {
    PointMasses pm;
    GaussRadauStateStruct s;
    Bodies(std::vector<double> mass, const std::vector<std::array<double, 6>>& b) {
        pm.mass = std::move(mass);
        RestartGaussRadau(s, int32_t(b.size()));
        for (size_t i = 0; i < b.size(); ++i)
            for (int k = 0; k < 3; ++k) s.pos[3 * i + k] = b[i][k], s.vel[3 * i + k] = b[i][3 + k];
    }
    int32_t Advance(double duration) { return AdvanceGaussRadau(s, duration, Newton, &pm); }
    double Energy() const {
        double e = 0.0;
        for (int32_t i = 0; i < s.count; ++i) {
            e += 0.5 * pm.mass[i] * (std::pow(s.vel[3 * i], 2) + std::pow(s.vel[3 * i + 1], 2) + std::pow(s.vel[3 * i + 2], 2));
            for (int32_t j = i + 1; j < s.count; ++j)
                e -= pm.mass[i] * pm.mass[j] / std::hypot(s.pos[3 * j] - s.pos[3 * i], s.pos[3 * j + 1] - s.pos[3 * i + 1], s.pos[3 * j + 2] - s.pos[3 * i + 2]);
        }
        return e;
    }
};

// Point 1 is a clock (x = t); point 0 feels the acceleration t^power along x; one fixed step of 1.
double VelocityErrorOfOneStep(int power) {
    static int p;
    p = power;
    GaussRadauStateStruct s;
    RestartGaussRadau(s, 2);
    s.epsilon = 0.0;
    s.vel[3] = 1.0;
    auto field = [](void*, int32_t, const double* pos, double* acc) { std::fill(acc, acc + 6, 0.0), acc[0] = std::pow(pos[3], p); };
    EXPECT_EQ(AdvanceGaussRadau(s, 1.0, field, nullptr), 1);
    EXPECT_DOUBLE_EQ(s.pos[3], 1.0);
    return std::fabs(s.vel[0] - 1.0 / (power + 1));
}
}  // namespace

// Radau quadrature on eight nodes with one end fixed is exact up to degree 2·8 − 2, and only with
// the Radau nodes (the roots of P7 + P8 on [0, 1]).
TEST(GaussRadau, OneStepIsExactToDegreeFourteen) {
    EXPECT_EQ(kGaussRadauSpacing[0], 0.0);
    for (int power = 0; power <= 14; ++power) EXPECT_LE(VelocityErrorOfOneStep(power), 1e-14) << "t^" << power;
    EXPECT_GT(VelocityErrorOfOneStep(15), 1e-9);
}

// Masses 1 and 0.5 on an ellipse of a = 1, e = 0.9 from pericentre, in pushes of a seventh of an
// orbit (they never divide it evenly): after each orbit back at pericentre, energy kept. The
// substeps crowd around pericentre: the push leaving it against the push around apocentre.
TEST(GaussRadau, EccentricBinaryOverThousandOrbitsKeepsEnergyAndKeplerPhase) {
    constexpr double e = 0.9;
    const double period = 2 * kPi / std::sqrt(1.5), v = std::sqrt(1.5 * (1 + e) / (1 - e));
    Bodies bin({1.0, 0.5}, {{(e - 1) / 3, 0, 0, 0, -v / 3, 0}, {2 * (1 - e) / 3, 0, 0, 0, 2 * v / 3, 0}});
    const double e0 = bin.Energy();
    double worstEnergy = 0.0, worstPosition = 0.0;
    std::vector<int32_t> substeps;
    for (int p = 1; p <= 7000; ++p) {
        substeps.push_back(bin.Advance(period / 7));
        if (p % 7 != 0) continue;
        const auto& x = bin.s.pos;
        worstEnergy = std::max(worstEnergy, std::fabs((bin.Energy() - e0) / e0));
        worstPosition = std::max(worstPosition, std::hypot(x[3] - x[0] - (1 - e), x[4] - x[1], x[5] - x[2]));
    }
    EXPECT_LE(worstEnergy, 1e-13);
    EXPECT_LE(worstPosition, 1e-9);
    EXPECT_GE(substeps[7], 4 * substeps[10]);
    EXPECT_GE(substeps[10], 1);
}

// Chenciner & Montgomery (2000) figure-eight, G = m = 1, started when body 3 crosses the centre;
// velocity and period refined from their published eight-digit values by Newton shooting on
// mpmath's 24-digit Taylor integrator; every period returns to the start.
TEST(GaussRadau, FigureEightReturnsAfterEachOfTenPeriods) {
    const double x1 = 0.97000436, y1 = -0.24308753, vx3 = -0.9324073681390787, vy3 = -0.8647314618349537;
    const double period = 6.325914009782139;
    Bodies eight({1, 1, 1}, {{x1, y1, 0, -vx3 / 2, -vy3 / 2, 0}, {-x1, -y1, 0, -vx3 / 2, -vy3 / 2, 0}, {0, 0, 0, vx3, vy3, 0}});
    const std::vector<double> start = eight.s.pos;
    double worst = 0.0;
    for (int n = 1; n <= 10; ++n) {
        for (int p = 0; p < 5; ++p) eight.Advance(period / 5);
        for (size_t i = 0; i < start.size(); ++i) worst = std::max(worst, std::fabs(eight.s.pos[i] - start[i]));
    }
    EXPECT_LE(worst, 1e-9);
}

// Falling straight into each other the step control would shrink without end at the
// singularity; the floor keeps the advance finite. Non-finite motion is not retried.
TEST(GaussRadau, HeadOnCollisionAndNonFiniteInputFinishWithBoundedWork) {
    Bodies fall({1.0, 1.0}, {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}});
    const int32_t substeps = fall.Advance(kPi / 2);  // twice the free-fall time
    EXPECT_LE(substeps, int32_t(1.0 / fall.s.minStepFraction) + 10);
    EXPECT_GE(substeps, 10);
    Bodies broken({1.0, 1.0}, {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 0}});
    broken.s.pos[3] = std::nan("");
    broken.Advance(1.0);
    EXPECT_LE(broken.pm.evaluations, 100);
}

// Far from the origin the rounding of the positions sets a floor under the error estimate,
// here above the tolerance (as the Solar System's moons do): the corrector stops at it and the
// step neither overshoots into trials that are thrown away nor loses the circular orbit over
// a hundred periods, advanced ten at a time so that no advance cuts the steps short.
TEST(GaussRadau, AtTheRoundingFloorStepsAreNeitherRedoneNorIteratedInVain) {
    const double offset = 1e4, m = 1e-3, total = 1 + m, v = std::sqrt(total), period = 2 * kPi / v;
    Bodies bin({1.0, m}, {{offset - m / total, 0, 0, 0, -v * m / total, 0}, {offset + 1 / total, 0, 0, 0, v / total, 0}});
    // As the push sets it: noise gain × (|p − 1| + 1) × half an ulp of the reach / the separation.
    bin.s.roundingFloor = GaussRadauB6NoiseGain() * 3 * 0.5 * (std::nextafter(offset, 2 * offset) - offset);
    ASSERT_GT(bin.s.roundingFloor, 2 * bin.s.epsilon);
    long substeps = 0, rejected = 0, passes = 0;
    for (int p = 0; p < 10; ++p) {
        substeps += bin.Advance(10 * period);
        rejected += bin.s.lastRejected, passes += bin.s.lastIterations;
    }
    const auto& x = bin.s.pos;
    EXPECT_LE(std::hypot(x[3] - x[0] - 1, x[4] - x[1], x[5] - x[2]), 1e-8);
    EXPECT_LE(rejected, 2);
    EXPECT_LT(double(passes) / double(substeps), 2.0) << substeps;
}
