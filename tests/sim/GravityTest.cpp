#include <cmath>
#include <random>

#include "SimFixture.h"
#include "sim/Gravity.h"
#include "sim/PushStage.h"

namespace {
class Gravity : public SimTest {};

TEST_F(Gravity, InverseSquareAccelerationPotentialAndNearest) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 6e24, 1));
    AddABody(Body(1.5e7, 0, 0, 0, 0, 0, 1000, 1));
    TransferICsToRT();
    GravityPairPass(BodyRTList());
    EXPECT_NEAR(RT(1).acc[0], -6.672e-11 * 6e24 / (1.5e7 * 1.5e7), 1e-9);
    EXPECT_NEAR(RT(1).potential, -2.6688e7, 1e-3);
    EXPECT_EQ(RT(1).nearestIndex, 0);
    EXPECT_EQ(RT(0).nearestIndex, 1);
}

TEST_F(Gravity, OtherPowerLaws) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 1e20, 1));
    AddABody(Body(100, 0, 0, 0, 0, 0, 1, 1));
    TransferICsToRT();
    set.powerLaw = -1.0;
    GravityPairPass(BodyRTList());
    EXPECT_NEAR(RT(1).acc[0], -6.672e-11 * 1e20 / 100.0, 1e-6);
    EXPECT_NEAR(RT(1).potential, 6.672e-11 * 1e20 * std::log(100.0), 1e-3);
    set.powerLaw = 0.0;
    GravityPairPass(BodyRTList());
    EXPECT_NEAR(RT(1).acc[0], -6.672e-11 * 1e20, 1e-3);
}

TEST_F(Gravity, FastInverseSquareAgreesWithGeneralFormula) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> pos(-1e9, 1e9), mass(1e10, 1e25);
    for (int n = 0; n < 40; ++n) AddABody(Body(pos(gen), pos(gen), pos(gen), 0, 0, 0, mass(gen), 1));
    TransferICsToRT();
    GravityPairPass(BodyRTList(), false);
    double acc[40][3], pot[40];
    for (int i = 0; i < 40; ++i) {
        for (int n = 0; n < 3; ++n) acc[i][n] = RT(i).acc[n];
        pot[i] = RT(i).potential;
    }
    GravityPairPass(BodyRTList(), true);
    for (int i = 0; i < 40; ++i) {
        double mag = std::sqrt(acc[i][0] * acc[i][0] + acc[i][1] * acc[i][1] + acc[i][2] * acc[i][2]);
        for (int n = 0; n < 3; ++n) EXPECT_LE(std::fabs(RT(i).acc[n] - acc[i][n]), 1e-12 * mag);
        EXPECT_LE(std::fabs(RT(i).potential - pot[i]), 1e-12 * std::fabs(pot[i]));
    }
}

TEST_F(Gravity, SingleBodyCoincidentPairAndAbsorbedBody) {
    AddABody(Body(0, 0, 0, 3, 0, 0, 10, 1));
    TransferICsToRT();
    EXPECT_EQ(RT(0).vel[0], 0.0);  // re-centred: a lone body is at rest
    RT(0).vel[0] = 3.0;
    ElementalPush(BodyRTList());
    EXPECT_EQ(RT(0).nearestIndex, -1);
    EXPECT_TRUE(std::isinf(RT(0).nearestDistSq));
    EXPECT_EQ(RT(0).acc[0], 0.0);
    EXPECT_DOUBLE_EQ(RT(0).pos[0], 30.0);

    DeallocateAllPushMemory();
    AddABody(Body(5, 5, 5, 0, 0, 0, 10, 1));
    AddABody(Body(5, 5, 5, 0, 0, 0, 10, 1));
    AddABody(Body(900, 0, 0, 0, 0, 0, 10, 1));
    TransferICsToRT();
    RT(2).statusFlags = kAbsorbedStatus;
    RT(2).spinRate = 0.1;
    IJK before = RT(2).axes;
    ElementalPush(BodyRTList());
    for (int i = 0; i < 3; ++i)
        for (int n = 0; n < 3; ++n) EXPECT_TRUE(std::isfinite(RT(i).pos[n]));
    EXPECT_EQ(RT(0).nearestIndex, 1);  // coincident still counts as nearest (for crashes)
    EXPECT_EQ(RT(0).nearestDistSq, 0.0);
    EXPECT_EQ(RT(2).acc[0], 0.0);
    EXPECT_NE(RT(2).axes.i[1], before.i[1]);  // absorbed bodies still spin
}

// Circular orbit of a light body; returns the relative energy drift after `orbits`.
double EnergyDrift(int32_t method, double orbits, double* periodOut = nullptr) {
    const double G = 6.672e-11, M = 6e24, r = 1e7;
    double v = std::sqrt(G * M / r);
    double period = 2 * M_PI * r / v;
    set.pushMethod = method;
    set.timeStep = period / 2000;
    DeallocateAllPushMemory();
    AddABody(SimTest::Body(0, 0, 0, 0, 0, 0, M, 1));
    AddABody(SimTest::Body(r, 0, 0, 0, v, 0, 1, 1));
    TransferICsToRT();
    auto energy = [&] {
        BodyRTListStruct* l = BodyRTList();
        double dx = l->body[1].pos[0] - l->body[0].pos[0], dy = l->body[1].pos[1] - l->body[0].pos[1];
        double vx = l->body[1].vel[0] - l->body[0].vel[0], vy = l->body[1].vel[1] - l->body[0].vel[1];
        return 0.5 * (vx * vx + vy * vy) - G * M / std::sqrt(dx * dx + dy * dy);
    };
    double e0 = energy();
    int steps = int(orbits * 2000);
    double lastY = 0, crossing = -1;
    for (int s = 0; s < steps; ++s) {
        ElementalPush(BodyRTList());
        ++rt.pushCount;
        double y = BodyRTList()->body[1].pos[1] - BodyRTList()->body[0].pos[1];
        if (crossing < 0 && s > 1000 && lastY < 0 && y >= 0) crossing = (s + 1 - y / (y - lastY)) * set.timeStep;
        lastY = y;
    }
    if (periodOut) *periodOut = crossing / period;
    return std::fabs((energy() - e0) / e0);
}

TEST_F(Gravity, CircularOrbitPeriodFollowsKepler) {
    double ratio = 0;
    EnergyDrift(kPushRungeKutta, 1.2, &ratio);
    EXPECT_NEAR(ratio, 1.0, 1e-3);
}

TEST_F(Gravity, EnergyBehaviourPerIntegrator) {
    double euler = EnergyDrift(kPushEuler, 2);
    double semi = EnergyDrift(kPushSemiImplicitEuler, 2);
    double ab = EnergyDrift(kPushAdamsBashforth, 2);
    double am = EnergyDrift(kPushAdamsMoulton, 2);
    double rk = EnergyDrift(kPushRungeKutta, 2);
    EXPECT_GT(euler, 1e-3);
    EXPECT_LT(semi, 1e-3);  // bounded oscillation
    EXPECT_LT(rk, euler * 1e-3);
    EXPECT_LT(ab, euler * 1e-2);
    EXPECT_LT(am, euler * 1e-2);
}
}  // namespace
