// Paced frames: the simulation's pushes per second follow the clock, not the
// number of frames drawn, so 10 frames a second in the background run as many
// pushes as 60 in front; a stall earns no flood of pushes; Unlimited runs one
// batch per frame; the frame schedule keeps its average interval.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "FrameServices.h"
#include "core/Control.h"
#include "core/FramePacing.h"
#include "core/Menus.h"
#include "core/PushBudget.h"
#include "sim/Bodies.h"

namespace {

class FramePacing : public BudgetedFrameFixture {
protected:
    void SetUp() override {
        BudgetedFrameFixture::SetUp();
        framePacing = FramePacingStruct{};
        frameRateChoice = FrameRateChoice::Display;
        TwoBodyOrbit();
        set.pushesPerFrame = 16;
    }
    void TearDown() override {
        framePacing = FramePacingStruct{};
        frameRateChoice = FrameRateChoice::Display;
        BudgetedFrameFixture::TearDown();
    }
    // Draws frames from `from` for `seconds` of the fake clock, `interval` apart with up to
    // `jitter` seconds of random lateness each, as a timer on a busy machine fires them.
    // Returns when the next frame would be due.
    double DrawFrames(double from, double seconds, double interval, double jitter, FrameRateChoice choice) {
        std::uniform_real_distribution<double> late(0.0, jitter);
        const int frames = int(std::lround(seconds / interval));
        for (int k = 0; k < frames; ++k) {
            StartPacedFrame(framePacing, choice, from + k * interval + late(random));
            DoTask(1);
        }
        return from + frames * interval;
    }
    std::mt19937 random{7};
};

}  // namespace

TEST_F(FramePacing, PushesPerSecondDoNotDependOnTheFramesDrawn) {
    framePacing.refreshHz = 60;
    const double wanted = 16 * 60.0;  // pushesPerFrame at the display's rate

    double t = DrawFrames(100.0, 10.0, 1.0 / 60, 0.004, FrameRateChoice::Display);
    const int64_t front = rt.pushCount;
    t = DrawFrames(t, 10.0, 1.0 / kBackgroundFramesPerSecond, 0.02, FrameRateChoice::Display);
    const int64_t back = rt.pushCount - front;

    // Ten seconds at each pace, give or take the time after the last frame (earned by the
    // next one), a batch for the fractions carried and the jitter. Pushes tied to frames
    // would make 1600 in the background.
    EXPECT_NEAR(double(front), 10 * wanted, wanted / 60 + 16 + 0.004 * wanted);
    EXPECT_NEAR(double(back), 10 * wanted, wanted / kBackgroundFramesPerSecond + 16 + 0.02 * wanted);
    EXPECT_NEAR(double(back) / double(front), 1.0, 0.02);
}

TEST_F(FramePacing, AFastDisplayRunsMorePushesPerSecond) {
    // pushesPerFrame is per refresh: a 144 Hz screen runs 144 batches a second, drawn or not.
    framePacing.refreshHz = 144;
    DrawFrames(0.0, 5.0, 1.0 / kBackgroundFramesPerSecond, 0.0, FrameRateChoice::Display);
    EXPECT_NEAR(double(rt.pushCount), 5 * 16 * 144.0, 16 * 144 * 0.1 + 16);
}

TEST_F(FramePacing, UnlimitedRunsOneBatchPerFrame) {
    DrawFrames(0.0, 1.0, 1.0 / 400, 0.0, FrameRateChoice::Unlimited);
    EXPECT_EQ(rt.pushCount, 16 * 400);
    EXPECT_LT(pushBudget.pacedFrames, 0);
}

TEST_F(FramePacing, AStallEarnsAtMostAQuarterSecondOfPushes) {
    framePacing.refreshHz = 60;
    StartPacedFrame(framePacing, FrameRateChoice::Display, 10.0);
    DoTask(1);
    const int64_t before = rt.pushCount;
    StartPacedFrame(framePacing, FrameRateChoice::Display, 40.0);  // a dialog was up for half a minute
    DoTask(1);
    EXPECT_EQ(rt.pushCount - before, int64_t(16 * 60 * kLongestPacedGapSeconds));
}

TEST_F(FramePacing, PushesTheBudgetCutWaitButDoNotPileUp) {
    // A machine too slow for the pushes asked: each frame gets time for one push only.
    framePacing.refreshHz = 60;
    pushBudget.frameSeconds = 0;
    DrawFrames(0.0, 5.0, 1.0 / 60, 0.0, FrameRateChoice::Display);
    EXPECT_GT(rt.pushCount, 0);
    EXPECT_LE(pushBudget.owed, int64_t(16 * 60 * kLongestPacedGapSeconds));
    // Given time again, it catches up with no more than the quarter second it kept.
    pushBudget.frameSeconds = kInteractivePushSeconds;
    const int64_t before = rt.pushCount;
    DrawFrames(5.0, 1.0, 1.0 / 60, 0.0, FrameRateChoice::Display);
    EXPECT_LE(rt.pushCount - before, int64_t(16 * 60 * (1.0 + kLongestPacedGapSeconds)) + 16);
    EXPECT_GE(rt.pushCount - before, int64_t(16 * 60 * 1.0) - 16);
}

TEST_F(FramePacing, PausedFramesEarnNoPushesForLater) {
    framePacing.refreshHz = 60;
    SetControl(kPausedControl);
    double t = DrawFrames(0.0, 3.0, 1.0 / 60, 0.0, FrameRateChoice::Display);
    EXPECT_EQ(rt.pushCount, 0);
    ClearControl(kPausedControl);
    StartPacedFrame(framePacing, FrameRateChoice::Display, t);
    DoTask(1);
    EXPECT_NEAR(double(rt.pushCount), 16, 1);  // one refresh period's worth, not three seconds'
}

TEST(FrameSchedule, IntervalsFollowTheChoiceAndTheState) {
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(FrameRateChoice::Display, 60, false), 1.0 / 60);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(FrameRateChoice::Display, 144, false), 1.0 / 144);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(FrameRateChoice::Display, 144, true), 0.1);
    EXPECT_EQ(FrameIntervalSeconds(FrameRateChoice::Unlimited, 60, false), 0);
    EXPECT_EQ(FrameIntervalSeconds(FrameRateChoice::Unlimited, 60, true), 0);
    // Screens that report nothing or nonsense get the usual 60 Hz.
    for (double bad : {0.0, -5.0, double(NAN), double(INFINITY), 1e9, 1.0})
        EXPECT_DOUBLE_EQ(FrameIntervalSeconds(FrameRateChoice::Display, bad, false), 1.0 / 60) << bad;
}

TEST(FrameSchedule, FramesKeepTheirAverageIntervalAndALateOneDoesNotBunchThem) {
    FramePacingStruct pacing;
    pacing.refreshHz = 60;
    double t = 0;
    int frames = 0;
    // Each frame takes 5 ms to draw, then waits as told: 60 frames a second on average.
    while (t < 10.0) {
        t += 0.005;
        t += SecondsUntilNextFrame(pacing, FrameRateChoice::Display, t);
        ++frames;
    }
    EXPECT_NEAR(frames, 600, 1);
    // A frame that took half a second: the next waits a full interval, no catching up.
    t += 0.5;
    EXPECT_NEAR(SecondsUntilNextFrame(pacing, FrameRateChoice::Display, t), 1.0 / 60, 1e-9);
    // Into the background: ten a second.
    pacing.inBackground = true;
    frames = 0;
    const double start = t;
    while (t < start + 10.0) {
        t += 0.005;
        t += SecondsUntilNextFrame(pacing, FrameRateChoice::Display, t);
        ++frames;
    }
    EXPECT_NEAR(frames, 100, 1);
    EXPECT_EQ(SecondsUntilNextFrame(pacing, FrameRateChoice::Unlimited, t), 0);
}

TEST_F(FramePacing, TheChoiceIsMadeInTheViewMenuAndMarkedWhileTracked) {
    SetupMenus();
    const MenuItemModel* item = GetMenuItem(kViewMenu, 14);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->submenu, kFrameRateMenu);
    HandleMenuEv(MenuChoice(kFrameRateMenu, 2));
    EXPECT_EQ(frameRateChoice, FrameRateChoice::Unlimited);
    MarkMenus(1);
    EXPECT_FALSE(GetMenuItem(kFrameRateMenu, 1)->checked);
    EXPECT_TRUE(GetMenuItem(kFrameRateMenu, 2)->checked);
    MarkMenus(0);
    HandleMenuEv(MenuChoice(kFrameRateMenu, 9));  // no such item: unchanged
    EXPECT_EQ(frameRateChoice, FrameRateChoice::Unlimited);
    HandleMenuEv(MenuChoice(kFrameRateMenu, 1));
    EXPECT_EQ(frameRateChoice, FrameRateChoice::Display);
    MarkMenus(1);
    EXPECT_TRUE(GetMenuItem(kFrameRateMenu, 1)->checked);
    MarkMenus(0);
    DisposeMenus();
}

TEST_F(FramePacing, OnlyAPausedSceneWithAStillCameraIsAtRest) {
    SetControl(kPausedControl);
    DoTask(1);
    NoteWhetherAtRest(framePacing);
    DoTask(1);
    // The camera eases into place over a few frames; then nothing changes.
    for (int frame = 0; frame < 200 && !NoteWhetherAtRest(framePacing); ++frame) DoTask(1);
    ASSERT_TRUE(framePacing.atRest);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(FrameRateChoice::Display, 60, framePacing.atRest), 0.1);

    rt.yawRate = 0.01;  // a drag just turned it
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    const IJK before = rt.cameraIJK;
    int frames = 0;
    do {
        DoTask(1);
        ++frames;
    } while (!NoteWhetherAtRest(framePacing) && frames < 200);
    EXPECT_GT(frames, 10) << "the turn dies away over many frames, all drawn at full pace";
    EXPECT_NE(std::memcmp(&before, &rt.cameraIJK, sizeof before), 0);
    rt.eyePos[0] += 1;  // moved by anything not listed: still not at rest this once
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    EXPECT_TRUE(NoteWhetherAtRest(framePacing));

    SetControl(kKeypad4Control);  // a key held turns it next frame
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    ClearControl(kKeypad4Control);
    wheelDeltaY = 4;
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    wheelDeltaY = 0;
    set.autoRotation = 0.001;
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    set.autoRotation = 0;
    SetControl(kShowFPSControl);  // the figure would show the slow pace, not the display's
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
    ClearControl(kShowFPSControl);
    EXPECT_TRUE(NoteWhetherAtRest(framePacing));
    ClearControl(kPausedControl);  // running: the bodies move
    EXPECT_FALSE(NoteWhetherAtRest(framePacing));
}
