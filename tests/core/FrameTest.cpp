// The frame task: a frame stays short however many pushes it is asked for and the
// rest of its batch carries over; paced, the pushes per second follow the clock,
// not the frames drawn; the frame rate, collision notes and rest.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

#include "FrameServices.h"
#include "shell/FramePacing.h"
#include "core/Limits.h"
#include "render/Trails.h"
#include "sim/PushStage.h"

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
    double Draw(double from, double seconds, double interval, double jitter = 0,
                FrameRateChoice choice = FrameRateChoice::Display) {
        std::uniform_real_distribution<double> late(0.0, jitter);
        const int frames = int(std::lround(seconds / interval));
        for (int k = 0; k < frames; ++k) StartPacedFrame(framePacing, choice, from + k * interval + late(random)), DoTask(1);
        return from + frames * interval;
    }
};

TEST_F(Frames, APausedFrameShowsTheStateTheBodiesStartFromAndStillTurnsTheView) {
    EXPECT_EQ(set.pushesPerFrame * set.timeStep, 160);  // the defaults: 16 pushes of 10 s
    AddBody("A", 1000, 0, 0, 1);
    AddBody("B", -1000, 0, 0, 1);
    SetControl(kPausedControl), SetControl(kKeypad6Control);
    EXPECT_EQ(DoTask(1), 1);
    ASSERT_NE(rt.bodyRT, 0u);
    const BodyRTStruct* b = BodyRTList()->body;
    EXPECT_EQ(rt.pushCount, 0);
    EXPECT_DOUBLE_EQ(b[0].pos[0] - b[1].pos[0], 2000.0);
    EXPECT_TRUE(b[0].acc[0] < 0 && b[1].acc[0] > 0 && b[0].potential < 0);  // each pulled toward the other
    EXPECT_NEAR(rt.yawRate, -M_PI / 720 * 0.5, 1e-15);  // the camera applied half the key's turn
    ClearControl(kPausedControl);
    DoTask(1);
    EXPECT_EQ(rt.pushCount, 16);
}

TEST_F(Frames, AHugeBatchDoesNotHoldTheFrameAndASmallerOneOrEscapeCutsIt) {
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
    int32_t before = rt.pushCount;
    set.pushesPerFrame = 2;
    DoTask(1);
    EXPECT_EQ(rt.pushCount, before + 2);
    set.pushesPerFrame = kMaxPushesPerFrame;
    DoTask(1);
    Key(kKeyDownEvent, 27);
    EXPECT_EQ(pushBudget.owed, 0);
    before = rt.pushCount;
    DoTask(2);
    EXPECT_EQ(rt.pushCount, before);
    pushBudget = PushBudgetStruct{}, set.pushesPerFrame = 300;  // headless runs keep no budget
    DoPushStage();
    EXPECT_EQ(rt.pushCount, before + 300);
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
    pushBudget.frameSeconds = kInteractivePushSeconds, set.pushesPerFrame = 1000;
    started = std::chrono::steady_clock::now();
    while (Seconds() < 1.2) DoTask(1);
    const double measured = (rt.pushCount - 40) / Seconds();
    EXPECT_TRUE(PushesPerSecond() > 0.5 * measured && PushesPerSecond() < 2 * measured) << PushesPerSecond();
}

TEST_F(Frames, ACollisionStopSaysWhichBodiesMetAndStopsOnce) {
    set.gravConstant = 0, set.onCrash = kCrashStop;  // they stay where they are, touching
    AddBody("Moon", 0, 0, 1, 10);
    AddBody("Craft", 15, 0, 1, 10);
    DoTask(1);
    EXPECT_EQ(GetControl(kPausedControl) * 10 + rt.pushCount, 11);
    ASSERT_EQ(sink.notes.size(), 1u);
    EXPECT_EQ(sink.notes[0].rfind("Stopped: Moon and Craft collided at t = ", 0), 0u) << sink.notes[0];
    ClearControl(kPausedControl);  // the pair still touches, but it stopped the run already
    DoTask(1);
    EXPECT_EQ(rt.pushCount, 1 + 16);
    EXPECT_EQ(sink.notes, (std::vector<std::string>{sink.notes[0], ""}));  // the note goes once the run goes on
    TransferICsToRT();  // a reset: touching at the start stops once more
    DoTask(1);
    EXPECT_TRUE(GetControl(kPausedControl));
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
    t = Draw(t, 10.0, 1.0 / kBackgroundFramesPerSecond, 0.02);
    // Give or take the time after the last frame, a batch for the fractions and the jitter;
    // pushes tied to frames would make 1600 in the background.
    EXPECT_NEAR(double(front), 10 * wanted, wanted / 60 + 16 + 0.004 * wanted);
    EXPECT_NEAR(double(rt.pushCount - front), 10 * wanted, wanted / 10 + 16 + 0.02 * wanted);
    framePacing.refreshHz = 144;  // pushesPerFrame is per refresh: 144 batches a second, drawn or not
    int64_t before = rt.pushCount;
    t = Draw(t, 5.0, 1.0 / kBackgroundFramesPerSecond);
    EXPECT_NEAR(double(rt.pushCount - before), 5 * 16 * 144.0, 16 * 144 * 0.1 + 16);
    before = rt.pushCount;
    Draw(t, 1.0, 1.0 / 400, 0, FrameRateChoice::Unlimited);  // one batch per frame
    EXPECT_EQ(rt.pushCount - before, 16 * 400);
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

TEST(FrameSchedule, FramesKeepTheirAverageIntervalAndALateOneDoesNotBunchThem) {
    EXPECT_EQ(FrameIntervalSeconds(FrameRateChoice::Display, 144, false), 1.0 / 144);
    EXPECT_EQ(FrameIntervalSeconds(FrameRateChoice::Unlimited, 60, true), 0);
    for (double bad : {0.0, -5.0, double(NAN), double(INFINITY), 1e9, 1.0})  // screens that report nonsense
        EXPECT_EQ(FrameIntervalSeconds(FrameRateChoice::Display, bad, false), 1.0 / 60) << bad;
    FramePacingStruct pacing;
    double t = 0;
    for (bool background : {false, true}) {  // each frame takes 5 ms, then waits as told
        pacing.inBackground = background;
        int frames = 0;
        for (const double end = t + 10; t < end; ++frames) t += 0.005 + SecondsUntilNextFrame(pacing, {}, t + 0.005);
        EXPECT_NEAR(frames, background ? 100 : 600, 1);
        t += 0.5;  // a frame that took half a second: the next waits a full interval
        EXPECT_NEAR(SecondsUntilNextFrame(pacing, {}, t), background ? 0.1 : 1.0 / 60, 1e-9);
    }
    EXPECT_EQ(SecondsUntilNextFrame(pacing, FrameRateChoice::Unlimited, t), 0);
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
    wheelDeltaY = 4;
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    wheelDeltaY = 0, set.autoRotation = 0.001;
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    set.autoRotation = 0;
    SetControl(kShowFPSControl);
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    ClearControl(kShowFPSControl);
    EXPECT_TRUE(NoteWhetherAtRest(framePacing));
    ClearControl(kPausedControl);
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
}

}  // namespace
