// The pair pass against a literal reference of the symmetric loop, bit for bit.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "SimFixture.h"
#include "sim/Gravity.h"

namespace {
class PairPass : public SimTest {};

struct Reference {
    double acc[3], potential, nearestDistSq;
    int32_t nearestIndex;
};

// The pair pass written out plainly with the general law: i descending, j descending
// below i, both bodies updated from one distance, strict comparison for the nearest
// neighbour, coincident live bodies exerting no force.
std::vector<Reference> ReferencePairPass(const BodyRTListStruct* list) {
    const double G = set.gravConstant, p = set.powerLaw;
    std::vector<Reference> r(size_t(list->count));
    for (Reference& x : r) x = Reference{{0, 0, 0}, 0, std::numeric_limits<double>::infinity(), -1};
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (list->body[i].statusFlags & kAbsorbedStatus) continue;
        for (int32_t j = i - 1; j >= 0; --j) {
            if (list->body[j].statusFlags & kAbsorbedStatus) continue;
            const double* pi = list->body[i].pos;
            const double* pj = list->body[j].pos;
            double d[3] = {pi[0] - pj[0], pi[1] - pj[1], pi[2] - pj[2]};
            double r2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            if (r2 != 0.0) {
                double f = G * std::exp(((p / 2) - 0.5) * std::log(r2));
                double u = p == -1.0 ? G * 0.5 * std::log(r2) : G * std::exp(((p / 2) + 0.5) * std::log(r2)) / (p + 1);
                double mi = list->body[i].mass, mj = list->body[j].mass;
                for (int n = 0; n < 3; ++n) r[size_t(i)].acc[n] -= f * mj * d[n];
                r[size_t(i)].potential += u * mj;
                for (int n = 0; n < 3; ++n) r[size_t(j)].acc[n] += f * mi * d[n];
                r[size_t(j)].potential += u * mi;
            }
            if (r2 < r[size_t(i)].nearestDistSq) r[size_t(i)].nearestDistSq = r2, r[size_t(i)].nearestIndex = j;
            if (r2 < r[size_t(j)].nearestDistSq) r[size_t(j)].nearestDistSq = r2, r[size_t(j)].nearestIndex = i;
        }
    }
    return r;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void BuildCluster(int count, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> pos(-1e9, 1e9), mass(1e10, 1e25);
    for (int n = 0; n < count; ++n)
        AddABody(SimTest::Body(pos(gen), pos(gen), pos(gen), 0, 0, 0, mass(gen), 1));
    TransferICsToRT();
}

TEST_F(PairPass, GeneralLawMatchesLiteralReferenceBitForBit) {
    BuildCluster(30, 11);
    RT(4).statusFlags = kAbsorbedStatus;
    RT(17).statusFlags = kAbsorbedStatus;
    for (int n = 0; n < 3; ++n) RT(9).pos[n] = RT(8).pos[n];  // a coincident live pair
    for (double law : {-2.0, -1.0, 0.0, -3.0}) {
        set.powerLaw = law;
        std::vector<Reference> ref = ReferencePairPass(BodyRTList());
        GravityPairPass(BodyRTList(), false);
        for (int i = 0; i < 30; ++i) {
            for (int n = 0; n < 3; ++n) EXPECT_TRUE(SameBits(RT(i).acc[n], ref[size_t(i)].acc[n])) << i << " law " << law;
            EXPECT_TRUE(SameBits(RT(i).potential, ref[size_t(i)].potential)) << i << " law " << law;
            EXPECT_TRUE(SameBits(RT(i).nearestDistSq, ref[size_t(i)].nearestDistSq)) << i;
            EXPECT_EQ(RT(i).nearestIndex, ref[size_t(i)].nearestIndex) << i;
        }
    }
    EXPECT_EQ(RT(4).nearestIndex, -1);
    EXPECT_EQ(RT(8).nearestIndex, 9);
}

TEST_F(PairPass, NearestNeighbourTieKeepsTheFirstMet) {
    // Body 1 sits midway between bodies 0 and 2. It meets 2 first (pair 2-1), then 0.
    AddABody(Body(-5, 0, 0, 0, 0, 0, 1, 1));
    AddABody(Body(0, 0, 0, 0, 0, 0, 1, 1));
    AddABody(Body(5, 0, 0, 0, 0, 0, 1, 1));
    AddABody(Body(0, 5, 0, 0, 0, 0, 1, 1));
    TransferICsToRT();
    GravityPairPass(BodyRTList());
    EXPECT_EQ(RT(1).nearestIndex, 3);  // 3, 2 and 0 all at 5: 3 is met first
    for (int n = 0; n < 3; ++n) RT(3).pos[n] += 100;
    GravityPairPass(BodyRTList());
    EXPECT_EQ(RT(1).nearestIndex, 2);
    EXPECT_EQ(RT(1).nearestDistSq, 25.0);
}

TEST_F(PairPass, StageEvaluationAtStoredPositionsReproducesTheFirstPass) {
    BuildCluster(25, 5);
    RT(3).statusFlags = kAbsorbedStatus;
    GravityPairPass(BodyRTList());
    std::vector<Vec3> pos(26), acc(26);
    for (int i = 0; i < 25; ++i) pos[size_t(i)] = Vec3{RT(i).pos[0], RT(i).pos[1], RT(i).pos[2]};
    StageAccelerations(BodyRTList(), pos.data(), acc.data());
    for (int i = 0; i < 25; ++i)
        for (int n = 0; n < 3; ++n) EXPECT_TRUE(SameBits(acc[size_t(i)][n], RT(i).acc[n])) << i;
    EXPECT_EQ(acc[3][0], 0.0);
}

TEST_F(PairPass, StageEvaluationUsesTheGivenPositionsOfEveryBody) {
    BuildCluster(12, 9);
    std::vector<Vec3> pos(13), acc(13);
    std::mt19937 gen(2);
    std::uniform_real_distribution<double> shift(-1e8, 1e8);
    for (int i = 0; i < 12; ++i) pos[size_t(i)] = Vec3{RT(i).pos[0] + shift(gen), RT(i).pos[1], RT(i).pos[2] + shift(gen)};
    StageAccelerations(BodyRTList(), pos.data(), acc.data());
    // Each body's acceleration equals the field of all others at their given positions.
    for (int i = 0; i < 12; ++i) {
        double expected[3] = {0, 0, 0};
        for (int j = 0; j < 12; ++j) {
            if (j == i) continue;
            double d[3] = {pos[size_t(j)][0] - pos[size_t(i)][0], pos[size_t(j)][1] - pos[size_t(i)][1],
                           pos[size_t(j)][2] - pos[size_t(i)][2]};
            double r = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            for (int n = 0; n < 3; ++n) expected[n] += set.gravConstant * RT(j).mass * d[n] / (r * r * r);
        }
        double mag = std::sqrt(expected[0] * expected[0] + expected[1] * expected[1] + expected[2] * expected[2]);
        for (int n = 0; n < 3; ++n) EXPECT_NEAR(acc[size_t(i)][n], expected[n], 1e-12 * mag) << i;
    }
    // The records themselves are untouched.
    EXPECT_EQ(RT(0).acc[0], 0.0);
}

TEST_F(PairPass, CalcAccelerationAgreesWithTheStageEvaluation) {
    BuildCluster(10, 3);
    GravityPairPass(BodyRTList());
    for (int i = 0; i < 10; ++i) {
        double a[3];
        CalcAcceleration(a, RT(i).pos, BodyRTList(), i);
        double mag = std::sqrt(RT(i).acc[0] * RT(i).acc[0] + RT(i).acc[1] * RT(i).acc[1] + RT(i).acc[2] * RT(i).acc[2]);
        for (int n = 0; n < 3; ++n) EXPECT_NEAR(a[n], RT(i).acc[n], 1e-12 * mag);
    }
}
}  // namespace
