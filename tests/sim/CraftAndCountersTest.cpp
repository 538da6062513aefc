// Craft engine and timed thrust against a run without them, spin, long-run counters and
// the multistep start-up after anything that invalidates the history.
#include <climits>
#include <cmath>

#include "SimFixture.h"
#include "core/Control.h"
#include "sim/Gravity.h"
#include "sim/PushStage.h"

namespace {
class CraftAndCounters : public SimTest {
public:
    // A craft on a low orbit of an Earth-like body; one frame of one push; returns the
    // craft's velocity and acceleration afterwards.
    static void OrbitFrame(int controlFlag, double vel[3], double acc[3], double deltaV = 0) {
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = 0;
        AddABody(Body(0, 0, 0, 0, 0, 0, 6e24, 6.4e6));
        BodyInfoStruct c;
        FillDefaultCraftInfo(c);
        c.pos[0] = 6.8e6;
        c.vel[0] = 0, c.vel[1] = 7650.0;
        AddABody(c);
        TransferICsToRT();
        if (deltaV != 0) {
            set.timedThrust = NewTTHandle();
            TimedThrustInfoStruct e{deltaV, 0, 0};
            AddTTData(set.timedThrust, &e);
        }
        if (controlFlag >= 0) SetControl(controlFlag);
        DoPushStage();
        if (controlFlag >= 0) ClearControl(controlFlag);
        for (int n = 0; n < 3; ++n) vel[n] = RT(1).vel[n], acc[n] = RT(1).acc[n];
    }
    static double Angle(const int32_t* v) { return std::atan2(double(v[1]), double(v[0])); }
};

TEST_F(CraftAndCounters, DownArrowThrustsTowardsTheAttractorAndUpAway) {
    double v0[3], a0[3], vDown[3], aDown[3], vUp[3], aUp[3];
    OrbitFrame(-1, v0, a0);
    OrbitFrame(kDownArrowControl, vDown, aDown);
    OrbitFrame(kUpArrowControl, vUp, aUp);
    const double kick = set.craftThrust / 1000.0 * set.timeStep;  // 100 N on 1000 kg for 10 s
    // The planet lies along -x from the craft (it moved only slightly in one push).
    EXPECT_NEAR(vDown[0] - v0[0], -kick, 1e-3 * kick);
    EXPECT_NEAR(vUp[0] - v0[0], kick, 1e-3 * kick);
    EXPECT_NEAR(aDown[0] - a0[0], -0.1, 1e-4);
    EXPECT_NEAR(vDown[1], v0[1], 1e-3 * kick);
}

TEST_F(CraftAndCounters, TimedThrustChangesSpeedAndShowsItAsAcceleration) {
    double v0[3], a0[3], v1[3], a1[3];
    OrbitFrame(-1, v0, a0);
    OrbitFrame(-1, v1, a1, 5.0);
    double speed0 = std::hypot(v0[0], v0[1], v0[2]), speed1 = std::hypot(v1[0], v1[1], v1[2]);
    EXPECT_NEAR(speed1 - speed0, 5.0, 1e-9);
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(a1[n] - a0[n], 5.0 / set.timeStep * v0[n] / speed0, 1e-9) << n;
}

TEST_F(CraftAndCounters, SpinTurnsByRateTimesStepPerPush) {
    BodyInfoStruct b = Body(0, 0, 0, 0, 0, 0, 1, 1);
    b.spinRate = 0.01;
    AddABody(b);
    set.pushesPerFrame = 5;
    DoPushStage();  // 5 pushes of 10 s: 0.5 rad about z
    EXPECT_NEAR(Angle(RT(0).axes.i), 0.5, 2e-4);
    EXPECT_NEAR(Angle(RT(0).axes.j), 0.5 + M_PI / 2, 2e-4);
}

TEST_F(CraftAndCounters, NonFiniteSpinLeavesTheAxesAlone) {
    BodyInfoStruct b = Body(0, 0, 0, 0, 0, 0, 1, 1);
    b.spinRate = std::nan("");
    AddABody(b);
    DoPushStage();
    EXPECT_EQ(RT(0).axes.i[0], kFixedOne);
    EXPECT_EQ(RT(0).axes.k[2], kFixedOne);
}

TEST_F(CraftAndCounters, PushCountPassesTwoToTheThirtyOneAndTimedThrustDoesNotWrap) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    AddABody(c);
    AddABody(Body(1e9, 0, 0, 0, 0, 0, 1, 1));
    TransferICsToRT();
    RT(0).vel[1] = 1000.0;
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct late{5.0, INT32_MAX, 0}, early{7.0, 2, 0};
    AddTTData(set.timedThrust, &late);
    AddTTData(set.timedThrust, &early);
    rt.pushCount = int64_t(INT32_MAX) - 1;
    set.pushesPerFrame = 4;
    set.pushMethod = kPushAdamsBashforth;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, int64_t(INT32_MAX) + 3);
    EXPECT_NEAR(RT(0).vel[1], 1005.0, 1e-6);  // the entry at 2^31 - 1 fired once
    // 2^32 + 2 pushes: a 32-bit counter would read 2 here and fire the early entry.
    rt.pushCount = (int64_t(1) << 32) + 1;
    DoPushStage();
    EXPECT_NEAR(RT(0).vel[1], 1005.0, 1e-6);
    for (int n = 0; n < 3; ++n) EXPECT_TRUE(std::isfinite(RT(0).pos[n]));
}

// A circular two-body orbit (G = 1) whose energy a fourth-order method keeps to ~1e-11
// per orbit; anything that feeds stale history into the extrapolation breaks that.
class MultistepStartUp : public SimTest {
public:
    static void Circle(int32_t method) {
        set.gravConstant = 1.0;
        set.pushMethod = method;
        set.timeStep = 2 * M_PI / 2000;
        AddABody(Body(0, 0, 0, 0, 0, 0, 1.0, 1e-9));
        AddABody(Body(1, 0, 0, 0, 1, 0, 1e-6, 1e-9));
        TransferICsToRT();
    }
    static double Energy() {
        const BodyRTStruct &a = RT(0), &b = RT(1);
        double d = std::hypot(a.pos[0] - b.pos[0], a.pos[1] - b.pos[1], a.pos[2] - b.pos[2]);
        double ka = a.mass * (a.vel[0] * a.vel[0] + a.vel[1] * a.vel[1] + a.vel[2] * a.vel[2]);
        double kb = b.mass * (b.vel[0] * b.vel[0] + b.vel[1] * b.vel[1] + b.vel[2] * b.vel[2]);
        return 0.5 * (ka + kb) - a.mass * b.mass / d;
    }
    static void Pushes(int n) {
        for (int p = 0; p < n; ++p) {
            ElementalPush(BodyRTList());
            ++rt.pushCount;
        }
    }
    static double RelativeDrift(double e0) { return std::fabs((Energy() - e0) / e0); }
};

TEST_F(MultistepStartUp, FromRebuildKeepsEnergy) {
    for (int32_t method : {kPushAdamsBashforth, kPushAdamsMoulton}) {
        DeallocateAllPushMemory();
        Circle(method);
        double e0 = Energy();
        Pushes(2000);
        EXPECT_LT(RelativeDrift(e0), 1e-9) << method;
    }
}

TEST_F(MultistepStartUp, SwitchFromEulerMidRunKeepsEnergy) {
    for (int32_t method : {kPushAdamsBashforth, kPushAdamsMoulton}) {
        DeallocateAllPushMemory();
        Circle(kPushSemiImplicitEuler);
        Pushes(333);
        set.pushMethod = method;
        double e0 = Energy();
        Pushes(2000);
        EXPECT_LT(RelativeDrift(e0), 1e-9) << method;
    }
}

TEST_F(MultistepStartUp, NewTimeStepAndMadeInitialConditionsKeepEnergy) {
    Circle(kPushAdamsBashforth);
    Pushes(500);
    set.timeStep /= 2;
    double e0 = Energy();
    Pushes(2000);
    EXPECT_LT(RelativeDrift(e0), 1e-9);
    SetICsToRT();  // restarts the count with the array kept
    ASSERT_EQ(rt.pushCount, 0);
    e0 = Energy();
    Pushes(2000);
    EXPECT_LT(RelativeDrift(e0), 1e-9);
}

TEST_F(MultistepStartUp, ImpulsesAndMergesRestartTheHistory) {
    for (int32_t method : {kPushAdamsBashforth, kPushAdamsMoulton}) {
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.gravConstant = 1.0;
        set.pushMethod = method;
        set.timeStep = 2 * M_PI / 2000;
        AddABody(Body(0, 0, 0, 0, 0, 0, 1.0, 1e-9));
        BodyInfoStruct craft = Body(1, 0, 0, 0, 1, 0, 1e-6, 1e-9);
        craft.bodyFlags = kCraftFlag;
        AddABody(craft);
        set.timedThrust = NewTTHandle();
        TimedThrustInfoStruct burn{0.05, 100, 0};
        AddTTData(set.timedThrust, &burn);
        set.pushesPerFrame = 101;
        DoPushStage();  // ends with the burn: the velocity history no longer fits the path
        double e0 = Energy();
        set.pushesPerFrame = 2000;
        DoPushStage();
        EXPECT_LT(RelativeDrift(e0), 1e-9) << method;
    }
}
}  // namespace
