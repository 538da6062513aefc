// The vectorised, sliced pair pass against the scalar reference loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/Memory.h"
#include "core/Records.h"
#include "sim/PairKernel.h"
#include "sim/PairPass.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {

struct Result {
    std::vector<Vec3> acc;
    std::vector<double> pot, nearestDistSq;
    std::vector<int32_t> nearest;
};

Result Read(const BodyRTListStruct* l) {
    Result r;
    for (int32_t i = 0; i < l->count; ++i) {
        const BodyRTStruct& b = l->body[i];
        r.acc.push_back(Vec3{b.acc[0], b.acc[1], b.acc[2]});
        r.pot.push_back(b.potential);
        r.nearestDistSq.push_back(b.nearestDistSq);
        r.nearest.push_back(b.nearestIndex);
    }
    return r;
}

// A run-time body array the test owns. `lattice` puts bodies on a coarse integer grid, so
// many pairs are at exactly equal distances and some coincide.
class System {
public:
    System(int32_t n, uint32_t seed, bool lattice) {
        h_ = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
        list()->count = n;
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> pos(-1e9, 1e9), mass(1e10, 1e25);
        std::uniform_int_distribution<int> cell(-3, 3), pick(0, 9);
        for (int32_t i = 0; i < n; ++i) {
            BodyRTStruct& b = list()->body[i];
            for (int k = 0; k < 3; ++k) b.pos[k] = lattice ? cell(rng) * 1e6 : pos(rng);
            b.mass = mass(rng);
            if (pick(rng) == 0) b.statusFlags = kAbsorbedStatus;
        }
        if (!lattice && n > 5) std::memcpy(list()->body[n - 1].pos, list()->body[2].pos, sizeof(double) * 3);
    }
    ~System() { DisposeHandle(h_); }
    BodyRTListStruct* list() { return HandleAs<BodyRTListStruct>(h_); }

private:
    Handle h_;
};

// Sum of the magnitudes of every term of body i's sums: the scale rounding errors are relative to.
void ConditionScales(BodyRTListStruct* l, std::vector<Vec3>& accScale, std::vector<double>& potScale) {
    int32_t n = l->count;
    accScale.assign(size_t(n), Vec3{0, 0, 0});
    potScale.assign(size_t(n), 0.0);
    double p = set.powerLaw;
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j) {
            const BodyRTStruct &a = l->body[i], &b = l->body[j];
            if (i == j || !IsLiveBody(a) || !IsLiveBody(b)) continue;
            double d[3], r2 = 0;
            for (int k = 0; k < 3; ++k) d[k] = b.pos[k] - a.pos[k], r2 += d[k] * d[k];
            if (r2 == 0) continue;
            double r = std::sqrt(r2);
            for (int k = 0; k < 3; ++k) accScale[size_t(i)][k] += std::fabs(set.gravConstant * b.mass * std::pow(r, p - 1) * d[k]);
            double u = p == -1 ? std::log(r) : std::pow(r, p + 1) / (p + 1);
            potScale[size_t(i)] += std::fabs(set.gravConstant * b.mass * u);
        }
}

bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// Per component within 1e-12 of the reference. Where a component is the small difference of
// large terms, rounding in either pass is relative to the terms, not to what is left of them:
// there the bound is 1e-14 of the terms' magnitudes (perComponent false: that bound everywhere).
void ExpectAgreement(BodyRTListStruct* l, bool fast, bool perComponent) {
    ScalarGravityPairPass(l, fast);
    Result ref = Read(l);
    for (int32_t i = 0; i < l->count; ++i) {  // stale values must all be overwritten
        BodyRTStruct& b = l->body[i];
        b.acc[0] = b.acc[1] = b.acc[2] = b.potential = b.nearestDistSq = 7.0;
        b.nearestIndex = 12345;
    }
    GravityPairPass(l, fast);
    Result got = Read(l);
    std::vector<Vec3> accScale;
    std::vector<double> potScale;
    ConditionScales(l, accScale, potScale);
    auto tolerance = [&](double ref, double scale) {
        return perComponent ? std::max(1e-12 * std::fabs(ref), 1e-14 * scale) : 1e-12 * scale;
    };
    for (int32_t i = 0; i < l->count; ++i) {
        size_t s = size_t(i);
        for (int k = 0; k < 3; ++k) {
            if (!Same(got.acc[s][k], ref.acc[s][k])) {
                EXPECT_LE(std::fabs(got.acc[s][k] - ref.acc[s][k]), tolerance(ref.acc[s][k], accScale[s][k]))
                    << "body " << i << " component " << k;
            }
        }
        if (!Same(got.pot[s], ref.pot[s])) {
            EXPECT_LE(std::fabs(got.pot[s] - ref.pot[s]), tolerance(ref.pot[s], potScale[s])) << "body " << i;
        }
        EXPECT_EQ(got.nearest[s], ref.nearest[s]) << "body " << i;
        EXPECT_EQ(got.nearestDistSq[s], ref.nearestDistSq[s]) << "body " << i;
    }
}

class PairSimd : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override {
        set = SettingsStruct{};
        set.gravConstant = 6.672e-11;
        set.powerLaw = GetParam();
    }
};

TEST_P(PairSimd, RandomSystemsAgreeWithScalarPerComponent) {
    for (int32_t n : {0, 1, 2, 3, 5, 7, 8, 9, 13, 16, 17, 31, 100, 400, kThreadedPairMinBodies + 7, 1100}) {
        SCOPED_TRACE(n);
        System sys(n, uint32_t(n) + 11, false);
        ExpectAgreement(sys.list(), true, true);
        ExpectAgreement(sys.list(), false, true);
    }
}

TEST_P(PairSimd, LatticeTiesAndCoincidentPairsGiveTheSameNeighbours) {
    for (int32_t n : {2, 9, 60, 301, 1100}) {  // 1100: ties across tiles of partners
        SCOPED_TRACE(n);
        System sys(n, uint32_t(n) * 3 + 1, true);
        ExpectAgreement(sys.list(), true, false);
        ExpectAgreement(sys.list(), false, false);
    }
}

// -2 has its own path; -1, -3.5, 0, 1.5 and -2.5 are whole quarters of r² (square roots and
// products, and the log/exp path when the fast paths are off); -2.3 always takes log and exp.
INSTANTIATE_TEST_SUITE_P(PowerLaws, PairSimd, ::testing::Values(-2.0, -1.0, -3.5, 0.0, 1.5, -2.5, -2.3));

class PairSimdFixed : public ::testing::Test {
protected:
    void SetUp() override {
        set = SettingsStruct{};
        set.gravConstant = 6.672e-11;
        set.powerLaw = -2.0;
    }
    void TearDown() override { SetPoolThreadCount(0); }
};

TEST_F(PairSimdFixed, TwoBodiesAndAnAbsorbedOne) {
    System sys(3, 1, false);
    BodyRTListStruct* l = sys.list();
    l->body[0] = BodyRTStruct{};
    l->body[1] = BodyRTStruct{};
    l->body[2] = BodyRTStruct{};
    l->body[0].mass = 6e24;
    l->body[1].mass = 1000;
    l->body[1].pos[0] = 1.5e7;
    l->body[2].mass = 1e30;
    l->body[2].pos[0] = 1e7;
    l->body[2].statusFlags = kAbsorbedStatus;
    GravityPairPass(l);
    EXPECT_NEAR(l->body[1].acc[0], -6.672e-11 * 6e24 / (1.5e7 * 1.5e7), 1e-12);
    EXPECT_NEAR(l->body[1].potential, -2.6688e7, 1e-7);
    EXPECT_EQ(l->body[1].nearestIndex, 0);
    EXPECT_EQ(l->body[0].nearestIndex, 1);
    EXPECT_EQ(l->body[2].acc[0], 0.0);
    EXPECT_EQ(l->body[2].nearestIndex, -1);
    EXPECT_TRUE(std::isinf(l->body[2].nearestDistSq));
}

TEST_F(PairSimdFixed, HugeDistancesFallBackToTheStandardLibrary) {
    set.powerLaw = 4.0;  // r^3 overflows Highway's exponential range at r above about 1e102
    System sys(3, 1, false);
    BodyRTListStruct* l = sys.list();
    l->body[0].pos[0] = 0;
    l->body[1].pos[0] = 1e110;
    l->body[2].pos[0] = 1e-200;  // r² is subnormal against body 0
    ExpectAgreement(l, false, true);
    EXPECT_TRUE(std::isinf(l->body[1].acc[0]));
    ExpectAgreement(l, true, true);  // r² squared overflows on the square-root-and-product path too
    EXPECT_TRUE(std::isinf(l->body[1].acc[0]));
}

// Powers whose reciprocal would be subnormal or overflow, results beyond the vector
// exponential's range, and r² that overflows, leave the vector paths for the standard
// library's form of the law (quarters of r²: -2.5 to -30; log and exp: -2.3 to -31.1).
TEST_F(PairSimdFixed, PowersAtTheEndsOfTheRangeMatchTheScalarLoop) {
    for (double p : {-2.5, -9.0, 3.5, -30.0, -2.3, 4.3, -9.9, -31.1}) {
        SCOPED_TRACE(p);
        set.powerLaw = p;
        System sys(17, 2, false);
        BodyRTListStruct* l = sys.list();
        const double xs[] = {0, 1e-150, 3e-120, 1e-80, 2e-40, 1, 7e30, 1e60, 5e75, 1e100, 1e150, 1.7e154, 1e200,
                             -1e300, 1e-310, 4, 4};
        for (int32_t i = 0; i < 17; ++i) {
            l->body[i] = BodyRTStruct{};
            l->body[i].mass = 1e20 + i;
            l->body[i].pos[0] = xs[i];
            l->body[i].pos[1] = i == 16 ? 1e300 : 0.0;  // r² = +infinity against every other body
        }
        ExpectAgreement(l, true, true);
        ExpectAgreement(l, false, true);
    }
}

TEST_F(PairSimdFixed, StageAccelerationsMatchTheScalarLoopAndThePushPassBitForBit) {
    for (int32_t n : {0, 1, 2, 11, 350}) {
        SCOPED_TRACE(n);
        System sys(n, 5, false);
        BodyRTListStruct* l = sys.list();
        const size_t count = static_cast<size_t>(n);
        std::vector<Vec3> pos(count), simd(count), scalar(count);
        for (int32_t i = 0; i < n; ++i) pos[size_t(i)] = Vec3{l->body[i].pos[0] + 1e5, l->body[i].pos[1], l->body[i].pos[2] * 0.9};
        StageAccelerations(l, pos.data(), simd.data());
        ScalarStageAccelerations(l, pos.data(), scalar.data());
        for (size_t i = 0; i < count; ++i)
            for (int k = 0; k < 3; ++k) EXPECT_LE(std::fabs(simd[i][k] - scalar[i][k]), 1e-12 * std::fabs(scalar[i][k]));
        for (int32_t i = 0; i < n; ++i) std::memcpy(pos[size_t(i)].data(), l->body[i].pos, sizeof(double) * 3);
        StageAccelerations(l, pos.data(), simd.data());
        GravityPairPass(l);
        for (int32_t i = 0; i < n; ++i)
            for (int k = 0; k < 3; ++k) EXPECT_EQ(simd[size_t(i)][k], l->body[i].acc[k]);
    }
}

// The vector log and exponential against a long-double power: r² across the log's reduced
// range and both of its ends (sqrt(1/2), sqrt(2)), and shifted by whole binades. A few ulps
// in all; a coefficient of the log's series off by a part in a hundred, a truncated atanh
// series or a badly split ln 2 is tens of ulps off.
TEST_F(PairSimdFixed, GeneralExponentIsWithinAFewUlpsOfALongDoublePower) {
    set.gravConstant = 1.0;
    for (double p : {-2.3, -1.7, 0.6}) {
        set.powerLaw = p;
        const double accExp = (p - 1) / 2;  // as the law rounds it
        System sys(2, 1, false);
        BodyRTListStruct* l = sys.list();
        l->body[0] = BodyRTStruct{};
        l->body[1] = BodyRTStruct{};
        l->body[0].mass = l->body[1].mass = 1.0;
        for (int binades : {0, 60, -60}) {
            for (int k = 0; k <= 3000; ++k) {
                const double x = std::ldexp(std::sqrt(0.69 + 0.77 * k / 3000.0), binades / 2);
                l->body[1].pos[0] = x;
                GravityPairPass(l, false);
                const double r2 = x * x;  // rounded as the pass rounds it
                const long double want = -powl(static_cast<long double>(r2), static_cast<long double>(accExp)) * x;
                const double got = l->body[1].acc[0];
                const double ulp = std::nextafter(std::fabs(double(want)), INFINITY) - std::fabs(double(want));
                // Rounding the exponent accExp log2 r² to a double costs up to ln 2 times its
                // size in ulps of the result, as in any double-precision power; the rest is the
                // log's, the exponential's and the products' few roundings.
                const double allowed = 4 + std::fabs(accExp * std::log2(r2));
                const double ulps = double(std::fabs(static_cast<long double>(got) - want)) / ulp;
                ASSERT_LE(ulps, allowed) << "p " << p << " r2 " << r2;
            }
        }
    }
}

// Slices are fixed by the body count and summed in slice order, so results are the same
// bits however many threads share the work.
TEST_F(PairSimdFixed, ResultsAreBitwiseIdenticalForOneTwoAndThreeThreads) {
    for (double p : {-2.0, -1.3}) {
        set.powerLaw = p;
        System sys(kThreadedPairMinBodies * 2 + 3, 9, false);
        BodyRTListStruct* l = sys.list();
        std::vector<Result> results;
        for (int32_t threads : {1, 2, 3}) {
            SetPoolThreadCount(threads);
            ASSERT_EQ(PoolThreadCount(), threads);
            for (int repeat = 0; repeat < 3; ++repeat) {
                GravityPairPass(l);
                results.push_back(Read(l));
            }
        }
        for (size_t r = 1; r < results.size(); ++r) {
            EXPECT_EQ(0, std::memcmp(results[r].acc.data(), results[0].acc.data(), results[0].acc.size() * sizeof(Vec3)));
            EXPECT_EQ(results[r].pot, results[0].pot);
            EXPECT_EQ(results[r].nearest, results[0].nearest);
        }
    }
}

// Every instruction set the binary carries and this machine runs (AVX-512, AVX2, SSE4, ...).
TEST(PairKernel, EveryInstructionSetAgreesWithTheScalarLoop) {
    set = SettingsStruct{};
    set.gravConstant = 6.672e-11;
    const std::string best = PairKernelTarget();
    ASSERT_GE(PairKernelTargetCount(), 1);
    std::vector<std::string> seen;
    for (int32_t t = 0; t < PairKernelTargetCount(); ++t) {
        PinPairKernelTarget(t);
        seen.push_back(PairKernelTarget());
        SCOPED_TRACE(seen.back());
        for (double p : {-2.0, -1.7, -2.5}) {
            set.powerLaw = p;
            for (int32_t n : {0, 1, 2, 5, 19, 300}) {
                System sys(n, uint32_t(n) + 3, false);
                ExpectAgreement(sys.list(), true, true);
                System lattice(n, uint32_t(n) + 4, true);
                ExpectAgreement(lattice.list(), true, false);
            }
        }
    }
    PinPairKernelTarget(-1);
    EXPECT_EQ(best, PairKernelTarget());
    EXPECT_EQ(seen.front(), best);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]);
}

}  // namespace
