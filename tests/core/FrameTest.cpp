// The frame task: a frame stays short however many pushes it is asked for and the
// rest of its batch carries over; paced, the pushes per second follow the clock,
// not the frames drawn; the frame rate and rest.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

#include "FrameServices.h"
#include "shell/FramePacing.h"
#include "core/Limits.h"
#include "render/Trails.h"

namespace {

struct Frames : FrameFixture {
    std::mt19937 random{7};
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    void SetUp() override {
        FrameFixture::SetUp();
        framePacing = FramePacingStruct{}, frameRateChoice = FrameRateChoice::Display;
    }
    double Seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); }
    // Frames from `from` for `seconds`, `interval` apart and up to `jitter` late each, as a timer
    // on a busy machine fires them. Returns when the next one would be due.
    double Draw(double from, double seconds, double interval, double jitter = 0) {
        std::uniform_real_distribution<double> late(0.0, jitter);
        const int frames = int(std::lround(seconds / interval));
        for (int k = 0; k < frames; ++k)
            StartPacedFrame(framePacing, frameRateChoice, from + k * interval + late(random)), DoTask(1);
        return from + frames * interval;
    }
};

TEST_F(Frames, AHugeBatchDoesNotHoldTheFrameAndASmallerOneCutsIt) {
    TwoBodyOrbit();
    // Sixty more planets make a push cost thousands of pairs: the largest batch takes seconds.
    for (int k = 1; k <= 60; ++k) AddBody("Planet", 1.5e11 + k * 1e9, 29740, 6e20, 1e5);
    set.pushesPerFrame = kMaxPushesPerFrame;  // 1e8 once froze the window for ~50 s per frame
    for (int frame = 0; frame < 3; ++frame) {
        started = std::chrono::steady_clock::now();
        DoTask(1);
        EXPECT_LT(Seconds(), 0.1 + pushBudget.frameSeconds) << "frame " << frame;
    }
    EXPECT_GT(rt.pushCount, 0);
    EXPECT_EQ(pushBudget.owed, kMaxPushesPerFrame - rt.pushCount);  // the rest waits for later frames
    set.pushesPerFrame = 2;  // a smaller batch cuts what is owed
    DoTask(1);
    EXPECT_EQ(pushBudget.owed, 0);
}

TEST_F(Frames, ABatchSpreadOverFramesRunsTheSamePushesAndTrailsOnlyWhenDone) {
    TwoBodyOrbit();
    set.pushesPerFrame = 40, set.trailLength = 8;
    DoTask(1);
    ASSERT_EQ(rt.pushCount, 40);
    const BodyRTStruct reference = BodyRTList()->body[1];
    TransferICsToRT();
    pushBudget.frameSeconds = 0;  // no time to spare: one push per frame
    for (int frame = 1; frame <= 40; ++frame) {
        DoTask(1);
        ASSERT_EQ(rt.pushCount, frame);
        EXPECT_EQ(GetRTListValidCount(rt.trailList), frame == 40 ? 1 : 0) << frame;
    }
    EXPECT_EQ(std::memcmp(BodyRTList()->body[1].pos, reference.pos, sizeof reference.pos), 0);
    EXPECT_EQ(std::memcmp(BodyRTList()->body[1].vel, reference.vel, sizeof reference.vel), 0);
}

TEST_F(Frames, TheFrameRateIsShownAfterAMeasurementAndDefinedAtAnyUptime) {
    EXPECT_EQ(FrameRateText(5) + FrameRateText(123), ".5 fps12.3 fps");
    EXPECT_EQ(FramesPerTenSeconds(2147483647, 1) + FramesPerTenSeconds(10, 0), 2147483647);
    SetControl(kShowFPSControl);
    for (uint32_t dt : {0u, 30u, 31u}) ticks.ticks += dt, DoWork();
    EXPECT_EQ(sink.texts, (std::vector<std::string>{".0 fps", FrameRateText(2 * 600 / 61)}));  // a second measured
    framesPassed = 3999999;  // some 18 hours at 60 frames per second: 4e6 * 600 leaves 32 bits
    ticks.ticks += 61;
    DoWork();
    EXPECT_EQ(sink.texts.back(), "3934426.2 fps");
}

TEST_F(Frames, PacedPushesPerSecondFollowTheClockNotTheFramesDrawn) {
    TwoBodyOrbit();
    framePacing.refreshHz = 60;
    const double wanted = 16 * 60.0;  // pushesPerFrame at the display's rate
    double t = Draw(100.0, 10.0, 1.0 / 60, 0.004);
    const int64_t front = rt.pushCount;
    Draw(t, 10.0, 1.0 / kBackgroundFramesPerSecond, 0.02);
    // Give or take the time after the last frame, a batch for the fractions and the jitter;
    // pushes tied to frames would make 1600 in the background.
    EXPECT_NEAR(double(front), 10 * wanted, wanted / 60 + 16 + 0.004 * wanted);
    EXPECT_NEAR(double(rt.pushCount - front), 10 * wanted, wanted / 10 + 16 + 0.02 * wanted);
}

TEST_F(Frames, AStallOrAPauseEarnsNoFloodAndCutPushesDoNotPileUp) {
    TwoBodyOrbit();
    framePacing.refreshHz = 60;
    const int64_t quarter = int64_t(16 * 60 * kLongestPacedGapSeconds);
    Draw(10.0, 1.0 / 60, 1.0 / 60);
    int64_t before = rt.pushCount;
    Draw(40.0, 1.0 / 60, 1.0 / 60);  // a dialog was up for half a minute
    EXPECT_EQ(rt.pushCount - before, quarter);
    pushBudget.frameSeconds = 0;  // a machine too slow: each frame has time for one push
    Draw(40.0, 5.0, 1.0 / 60);
    EXPECT_LE(pushBudget.owed, quarter);
    pushBudget.frameSeconds = kInteractivePushSeconds;  // given time again it catches up that much only
    before = rt.pushCount;
    double t = Draw(45.0, 1.0, 1.0 / 60);
    EXPECT_LE(rt.pushCount - before, 16 * 60 + quarter + 16);
    EXPECT_GE(rt.pushCount - before, 16 * 60 - 16);
    SetControl(kPausedControl);
    t = Draw(t, 3.0, 1.0 / 60);
    ClearControl(kPausedControl);
    before = rt.pushCount;
    Draw(t, 1.0 / 60, 1.0 / 60);
    EXPECT_NEAR(double(rt.pushCount - before), 16, 1);  // one refresh period's worth, not three seconds'
}

TEST_F(Frames, OnlyAPausedSceneWithAStillCameraIsAtRest) {
    SetControl(kPausedControl);
    for (int frame = 0; frame < 200 && !NoteWhetherAtRest(framePacing); ++frame) DoTask(1);
    ASSERT_TRUE(framePacing.atRest);
    rt.yawRate = 0.01;  // a drag just turned it: it dies away over many frames, all drawn at full pace
    int frames = 0;
    for (; !NoteWhetherAtRest(framePacing) && frames < 200; ++frames) DoTask(1);
    EXPECT_GT(frames, 10);
    rt.eyePos[0] += 1;  // moved by anything: not at rest this once
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    EXPECT_TRUE(NoteWhetherAtRest(framePacing));
    for (int32_t flag = kMouseTrackControl; flag <= kKeypad7Control; ++flag) {  // a held key moves it next frame
        SetControl(flag);
        EXPECT_FALSE(NoteWhetherAtRest(framePacing)) << flag;
        ClearControl(flag);
    }
    ClearControl(kPausedControl);
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
}

}  // namespace
