#include <cmath>

#include "SimFixture.h"
#include "core/Control.h"
#include "platform/Platform.h"
#include "sim/PushStage.h"

namespace {
class PushStage : public SimTest {};

struct CountingSound : PlatformBackend {
    int played = 0, stopped = 0;
    bool busy = false;
    bool PlaySoundResource(int16_t) override { ++played; return true; }
    bool SoundChannelBusy() override { return busy; }
    void StopSoundChannel() override { ++stopped; }
};

TEST_F(PushStage, OptionRightArrowGivesTenMetresPerSecond) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    c.vel[1] = 1000.0;
    AddABody(c);
    TransferICsToRT();
    RT(0).vel[1] = 1000.0;  // a lone craft is re-centred to rest
    SetControl(kRightArrowControl);
    SetControl(kOptionKeyControl);
    DoPushStage();
    EXPECT_NEAR(RT(0).vel[1], 1010.0, 1e-9);
    EXPECT_EQ(rt.pushCount, 1);
}

TEST_F(PushStage, ZeroVelocityCraftSkipsThrust) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    c.vel[1] = 0.0;
    AddABody(c);
    SetControl(kRightArrowControl);
    SetControl(kDownArrowControl);
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct e{5.0, 0, 0};
    AddTTData(set.timedThrust, &e);
    DoPushStage();
    for (int n = 0; n < 3; ++n) EXPECT_TRUE(std::isfinite(RT(0).vel[n]));
}

TEST_F(PushStage, MasslessCraftAndMasslessMergeStayFinite) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    c.mass = 0.0;
    c.vel[1] = 1000.0;
    AddABody(c);
    TransferICsToRT();
    RT(0).vel[1] = 1000.0;
    SetControl(kRightArrowControl);
    DoPushStage();
    EXPECT_DOUBLE_EQ(RT(0).vel[1], 1000.0);
    ClearControl(kRightArrowControl);

    DeallocateAllPushMemory();
    AddABody(Body(0, 0, 0, 0, 1, 0, 0, 10));
    AddABody(Body(15, 0, 0, 0, -1, 0, 0, 10));
    set.onCrash = kCrashMerge;
    DoPushStage();
    for (int i = 0; i < 2; ++i)
        for (int n = 0; n < 3; ++n) EXPECT_TRUE(std::isfinite(RT(i).vel[n]));
}

TEST_F(PushStage, TimedThrustFiresAfterPushMatchingCounter) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    AddABody(c);
    TransferICsToRT();
    RT(0).vel[1] = 1000.0;
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct e{5.0, 1, 0};
    AddTTData(set.timedThrust, &e);
    set.pushesPerFrame = 3;
    DoPushStage();
    EXPECT_NEAR(RT(0).vel[1], 1005.0, 1e-9);
    EXPECT_EQ(rt.pushCount, 3);
    EXPECT_DOUBLE_EQ(rt.simTime, 30.0);
}

TEST_F(PushStage, CrashStopPausesAfterThePush) {
    CountingSound snd;
    SetPlatformBackend(&snd);
    AddABody(Body(0, 0, 0, 0, 0, 0, 1, 10));
    AddABody(Body(15, 0, 0, 0, 0, 0, 1, 10));
    set.onCrash = kCrashStop;
    set.pushesPerFrame = 5;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 1);
    EXPECT_TRUE(GetControl(kPausedControl));
    EXPECT_GE(snd.played, 1);
    SetPlatformBackend(nullptr);
}

TEST_F(PushStage, CrashIgnoreRunsAllPushesAndMergeAbsorbsHigherIndexOnTie) {
    AddABody(Body(0, 0, 0, 0, 1, 0, 1, 10));
    AddABody(Body(15, 0, 0, 0, -1, 0, 1, 10));
    set.pushesPerFrame = 4;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 4);
    TransferICsToRT();
    set.onCrash = kCrashMerge;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 1);
    EXPECT_EQ(RT(1).statusFlags & 3u, 3u);
    EXPECT_EQ(RT(0).statusFlags, 0u);
    EXPECT_NEAR(RT(0).vel[1], 0.0, 1e-6);  // momentum shared
}

TEST_F(PushStage, RealignZeroesMomentumAndSkipsZeroMass) {
    AddABody(Body(10, 20, 30, 1, 2, 3, 5, 1));
    AddABody(Body(-7, 2, 0, 0, -4, 1, 3, 1));
    TransferICsToRT();
    double p = 0, q = 0;
    for (int i = 0; i < 2; ++i) { p += RT(i).mass * RT(i).pos[0]; q += RT(i).mass * RT(i).vel[1]; }
    EXPECT_NEAR(p, 0, 1e-9);
    EXPECT_NEAR(q, 0, 1e-9);
    DeallocateAllPushMemory();
    AddABody(Body(10, 0, 0, 1, 0, 0, 0, 1));
    TransferICsToRT();
    EXPECT_DOUBLE_EQ(RT(0).pos[0], 10.0);
}

TEST_F(PushStage, TrailsAreTakenOncePerFrame) {
    AddABody(Body(0, 0, 0, 0, 1, 0, 1, 1));
    set.trailLength = 10;
    set.pushesPerFrame = 4;
    DoPushStage();
    DoPushStage();
    EXPECT_EQ(GetRTListAlloc(rt.trailList), 10);
    EXPECT_EQ(GetRTListValidCount(rt.trailList), 2);
    set.pushesPerFrame = 0;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 9);
}

TEST_F(PushStage, SoundsInterruptOnlyWhenAsked) {
    CountingSound snd;
    SetPlatformBackend(&snd);
    snd.busy = true;
    PlayEventSound(kThrustSound, false);
    EXPECT_EQ(snd.played, 0);
    PlayEventSound(kCrashSound, true);
    EXPECT_EQ(snd.stopped, 1);
    EXPECT_EQ(snd.played, 1);
    DisposeSoundStuff();
    SetPlatformBackend(nullptr);
}
}  // namespace
