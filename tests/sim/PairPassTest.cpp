// The pair pass: every path against the analytic two-body field, and the vectorised, sliced pass
// against the scalar loop on every power law, instruction set, body count, tie and end of the
// double range, with results that never depend on the thread count.
#include <algorithm>
#include <cstring>
#include <random>

#include "SimFixture.h"
#include "core/Memory.h"
#include "sim/PairKernel.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {
struct Result {
    std::vector<Vec3> acc;
    std::vector<double> pot, nearestDistSq;
    std::vector<int32_t> nearest;
    bool operator==(const Result&) const = default;
};

// A run-time body array the test owns, one body in ten absorbed. `lattice` puts bodies on a
// coarse integer grid, so many pairs are at exactly equal distances and some coincide.
struct System {
    System(int32_t n, uint32_t seed, bool lattice) : h_(NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct))) {
        list()->count = n;
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> pos(-1e9, 1e9), mass(1e10, 1e25);
        std::uniform_int_distribution<int> cell(-3, 3), pick(0, 9);
        for (int32_t i = 0; i < n; ++i) {
            for (int k = 0; k < 3; ++k) (*this)[i].pos[k] = lattice ? cell(rng) * 1e6 : pos(rng);
            (*this)[i].mass = mass(rng);
            if (pick(rng) == 0) (*this)[i].statusFlags = kAbsorbedStatus;
        }
        if (!lattice && n > 5) std::memcpy((*this)[n - 1].pos, (*this)[2].pos, sizeof(double) * 3);  // coincident
    }
    ~System() { DisposeHandle(h_); }
    BodyRTListStruct* list() { return HandleAs<BodyRTListStruct>(h_); }
    BodyRTStruct& operator[](int i) { return list()->body[i]; }
    Result Read() {
        Result r;
        for (int32_t i = 0; i < list()->count; ++i) {
            const BodyRTStruct& b = (*this)[i];
            r.acc.push_back(Vec3{b.acc[0], b.acc[1], b.acc[2]});
            r.pot.push_back(b.potential), r.nearestDistSq.push_back(b.nearestDistSq);
            r.nearest.push_back(b.nearestIndex);
        }
        return r;
    }
    const Handle h_;
};

void Physics(double powerLaw) {
    set = SettingsStruct{};
    set.gravConstant = 6.672e-11;
    set.powerLaw = powerLaw;
}

// Body 1 at distance r from body 0 (mass M) feels G M r^p towards it, with potential
// G M r^(p+1) / (p+1), or G M ln r for p = -1; an absorbed giant between them counts for nothing.
class TwoBodyField : public ::testing::TestWithParam<double> {};

TEST_P(TwoBodyField, EveryPathGivesTheAnalyticForceAndPotential) {
    Physics(GetParam());
    const double p = GetParam(), M = 1e20, r = 150.0, G = set.gravConstant;
    const double acc = -G * M * std::pow(r, p), pot = p == -1 ? G * M * std::log(r) : G * M * std::pow(r, p + 1) / (p + 1);
    System sys(3, 1, false);
    sys[0] = sys[1] = sys[2] = BodyRTStruct{};
    sys[0].mass = M, sys[1].mass = 1000, sys[1].pos[0] = r;
    sys[2].mass = 1e30, sys[2].pos[0] = 100, sys[2].statusFlags = kAbsorbedStatus;
    for (int path = 0; path < 4; ++path) {  // vectorised and scalar, each with and without the fast paths
        SCOPED_TRACE(path);
        if (path < 2) GravityPairPass(sys.list(), path == 0);
        else ScalarGravityPairPass(sys.list(), path == 2);
        EXPECT_NEAR(sys[1].acc[0], acc, 1e-12 * std::fabs(acc));
        EXPECT_NEAR(sys[1].potential, pot, 1e-12 * std::fabs(pot));
        EXPECT_NEAR(sys[0].acc[0] * M, -acc * 1000, 1e-12 * std::fabs(acc * 1000));
        EXPECT_TRUE(sys[1].nearestIndex == 0 && sys[0].nearestIndex == 1);
        EXPECT_TRUE(sys[2].acc[0] == 0.0 && sys[2].nearestIndex == -1 && std::isinf(sys[2].nearestDistSq));  // absorbed
    }
    double a[3];
    CalcAcceleration(a, sys[1].pos, sys.list(), 1);
    EXPECT_NEAR(a[0], acc, 1e-12 * std::fabs(acc));
}
INSTANTIATE_TEST_SUITE_P(PowerLaws, TwoBodyField, ::testing::Values(-2.0, -1.0, 0.0, -3.0, 1.5, -2.3));

// Per component within 1e-12 of the scalar loop, or where it is the small difference of large terms
// within 1e-14 of their magnitudes' sum (perComponent false: 1e-12 of it). Neighbours and their
// distances agree exactly; stale values are overwritten.
void ExpectAgreement(System& sys, bool fast, bool perComponent) {
    const int32_t n = sys.list()->count;
    ScalarGravityPairPass(sys.list(), fast);
    const Result ref = sys.Read();
    for (int32_t i = 0; i < n; ++i) {
        BodyRTStruct& b = sys[i];
        b.acc[0] = b.acc[1] = b.acc[2] = b.potential = b.nearestDistSq = 7.0;
        b.nearestIndex = 12345;
    }
    GravityPairPass(sys.list(), fast);
    const Result got = sys.Read();
    const double p = set.powerLaw;
    for (int32_t i = 0; i < n; ++i) {
        double accScale[3] = {0, 0, 0}, potScale = 0;
        for (int32_t j = 0; j < n; ++j) {
            const BodyRTStruct &a = sys[i], &b = sys[j];
            double d[3], r2 = 0;
            for (int k = 0; k < 3; ++k) d[k] = b.pos[k] - a.pos[k], r2 += d[k] * d[k];
            if (i == j || !IsLiveBody(a) || !IsLiveBody(b) || r2 == 0) continue;
            const double r = std::sqrt(r2), gm = set.gravConstant * b.mass;
            for (int k = 0; k < 3; ++k) accScale[k] += std::fabs(gm * std::pow(r, p - 1) * d[k]);
            potScale += std::fabs(gm * (p == -1 ? std::log(r) : std::pow(r, p + 1) / (p + 1)));
        }
        auto close = [&](double a, double want, double scale) {  // equal (NaN included) or within the bound
            const double bound = perComponent ? std::max(1e-12 * std::fabs(want), 1e-14 * scale) : 1e-12 * scale;
            return a == want || (std::isnan(a) && std::isnan(want)) || std::fabs(a - want) <= bound;
        };
        const size_t s = size_t(i);
        for (int k = 0; k < 3; ++k) EXPECT_TRUE(close(got.acc[s][k], ref.acc[s][k], accScale[k])) << i << " " << k;
        EXPECT_TRUE(close(got.pot[s], ref.pot[s], potScale)) << i << ": " << got.pot[s] << " vs " << ref.pot[s];
        EXPECT_EQ(got.nearest[s], ref.nearest[s]) << "body " << i;
        EXPECT_EQ(got.nearestDistSq[s], ref.nearestDistSq[s]) << "body " << i;
    }
}

// Every instruction set this machine runs, on counts around the vector widths, tiles and threading
// threshold, and lattices for ties (1100: across tiles). -2 has its own path; -1, -3.5, 0, 1.5, -2.5
// are whole quarters of r² (roots and products, or log and exp without fast paths); -2.3 takes log.
class PairSimd : public ::testing::TestWithParam<double> {};

TEST_P(PairSimd, EveryInstructionSetAgreesWithTheScalarLoopOnRandomSystemsAndLattices) {
    Physics(GetParam());
    std::vector<std::string> seen;
    for (int32_t t = 0; t < PairKernelTargetCount(); ++t) {
        PinPairKernelTarget(t);
        seen.push_back(PairKernelTarget());
        SCOPED_TRACE(seen.back());
        for (int32_t n : {0, 1, 2, 3, 5, 7, 8, 9, 13, 16, 17, 31, 100, 400, kThreadedPairMinBodies + 7, 1100}) {
            SCOPED_TRACE(n);
            System sys(n, uint32_t(n) + 11, false), lattice(n, uint32_t(n) * 3 + 1, true);
            for (bool fast : {true, false}) {
                ExpectAgreement(sys, fast, true);
                if (n == 2 || n == 9 || n == 100 || n == 1100) ExpectAgreement(lattice, fast, false);
            }
            if (n < kThreadedPairMinBodies) continue;
            const Result first = sys.Read();  // slices are fixed by the body count: the same bits for any thread count
            for (int32_t threads : {1, 3, 0}) {
                SetPoolThreadCount(threads);
                GravityPairPass(sys.list(), false);
                EXPECT_TRUE(sys.Read() == first) << threads << " threads";
            }
        }
    }
    PinPairKernelTarget(-1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), PairKernelTarget());  // the best comes first and is restored
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]);
}
INSTANTIATE_TEST_SUITE_P(PowerLaws, PairSimd, ::testing::Values(-2.0, -1.0, -3.5, 0.0, 1.5, -2.5, -2.3));

// Subnormal, huge and infinite r², powers whose reciprocal would be subnormal or overflow, and
// results beyond the vector exponential's range leave the vector paths for the standard library's.
TEST(PairSimdEdges, EndsOfTheDoubleRangeMatchTheScalarLoop) {
    const double xs[] = {0, 1e-150, 3e-120, 1e-80, 2e-40, 1, 7e30, 1e60, 5e75, 1e100, 1e150, 1.7e154, 1e200,
                         -1e300, 1e-310, 4, 4};
    for (double p : {-2.5, -9.0, 3.5, -30.0, -2.3, 4.3, -9.9, -31.1, 4.0}) {
        SCOPED_TRACE(p);
        Physics(p);
        System sys(17, 2, false);
        for (int32_t i = 0; i < 17; ++i) {
            sys[i] = BodyRTStruct{};
            sys[i].mass = 1e20 + i;
            sys[i].pos[0] = xs[i];
            sys[i].pos[1] = i == 16 ? 1e300 : 0.0;  // r² = +infinity against every other body
        }
        ExpectAgreement(sys, true, true);
        ExpectAgreement(sys, false, true);
    }
}

// Test particles (every third body massless) pull on nothing: the massive bodies' results are bit
// for bit those of the pass with the particles absorbed. Each particle feels the massive bodies as
// the scalar loop sums them, to 1e-15 of the terms' magnitudes (1e-12 through the vector log and exp), its nearest body is the nearest
// massive one, and neither depends on the thread count or on how the particles are sliced.
TEST(PairParticles, ParticlesFeelTheMassiveBodiesAndPullOnNone) {
    for (double p : {-2.0, -2.3}) {
        Physics(p);
        for (int32_t t = 0; t < PairKernelTargetCount(); ++t) {
            PinPairKernelTarget(t);
            for (int32_t n : {1, 4, 41, 700, -41, -700}) {  // negative: on a lattice, with ties
                SCOPED_TRACE(testing::Message() << p << " " << PairKernelTarget() << " " << n);
                System sys(std::abs(n), uint32_t(std::abs(n)) + 5, n < 0);
                n = std::abs(n);
                for (int32_t i = 0; i < n; ++i) sys[i].mass = i % 3 == 1 || n == 1 ? 0.0 : sys[i].mass;
                ScalarGravityPairPass(sys.list());
                const Result ref = sys.Read();
                SetThreadedPairMinBodies(16);  // particle columns (and rows from 16 on) sliced
                GravityPairPass(sys.list());
                const Result got = sys.Read();
                std::vector<Vec3> stage(static_cast<size_t>(n));
                StageAccelerations(sys.list(), nullptr, stage.data());
                for (int32_t i = 0; i < n; ++i) {
                    const size_t s = size_t(i);
                    EXPECT_EQ(stage[s], got.acc[s]) << "the stage pass at the stored positions, body " << i;
                    EXPECT_EQ(got.nearest[s], ref.nearest[s]) << i;
                    if (sys[i].mass != 0.0 || !IsLiveBody(sys[i])) continue;
                    double scale[4] = {0, 0, 0, 0};
                    for (int32_t j = 0; j < n; ++j) {
                        double d[3], r2 = 0;
                        for (int k = 0; k < 3; ++k) d[k] = sys[j].pos[k] - sys[i].pos[k], r2 += d[k] * d[k];
                        if (!IsLiveBody(sys[j]) || r2 == 0) continue;
                        const double gm = set.gravConstant * sys[j].mass, r = std::sqrt(r2);
                        for (int k = 0; k < 3; ++k) scale[k] += std::fabs(gm * std::pow(r, p - 1) * d[k]);
                        scale[3] += std::fabs(gm * std::pow(r, p + 1) / (p + 1));
                    }
                    const double tol = p == -2.0 ? 1e-15 : 1e-12;
                    for (int k = 0; k < 3; ++k) EXPECT_LE(std::fabs(got.acc[s][k] - ref.acc[s][k]), tol * scale[k]) << i;
                    EXPECT_LE(std::fabs(got.pot[s] - ref.pot[s]), tol * scale[3]) << i;
                    EXPECT_EQ(got.nearestDistSq[s], ref.nearestDistSq[s]) << i;
                    EXPECT_TRUE(got.nearest[s] < 0 || sys[got.nearest[s]].mass != 0.0) << i;
                }
                auto same = [&](const Result& a, size_t i) {
                    return a.acc[i] == got.acc[i] && a.pot[i] == got.pot[i] && a.nearest[i] == got.nearest[i] &&
                           a.nearestDistSq[i] == got.nearestDistSq[i];
                };
                for (int32_t threshold : {0, 16})  // the default, then sliced again
                    for (int32_t threads : {1, 3, 0}) {
                        SetThreadedPairMinBodies(threshold), SetPoolThreadCount(threads);
                        GravityPairPass(sys.list());
                        const Result again = sys.Read();
                        for (int32_t i = 0; i < n; ++i)
                            EXPECT_TRUE((sys[i].mass != 0.0 && threshold != 16) || same(again, size_t(i)))
                                << threshold << " " << threads << " threads, body " << i;
                    }
                for (int32_t i = 0; i < n; ++i) sys[i].statusFlags |= sys[i].mass == 0.0 ? kAbsorbedStatus : 0;
                GravityPairPass(sys.list());
                SetThreadedPairMinBodies(0);
                const Result alone = sys.Read();
                for (int32_t i = 0; i < n; ++i) EXPECT_TRUE(sys[i].mass == 0.0 || same(alone, size_t(i))) << "massive " << i;
            }
        }
    }
    PinPairKernelTarget(-1);
}
}  // namespace
