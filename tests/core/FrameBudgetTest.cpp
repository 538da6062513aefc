// A frame stays short however many pushes it is asked for, the rest of its
// batch carries over; a collision that stops the run says which bodies met
// and does not stop it again; the frame rate is defined at any uptime.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "FrameServices.h"
#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Limits.h"
#include "core/PushBudget.h"
#include "core/Strings.h"
#include "platform/Platform.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"

namespace {

class FrameBudget : public BudgetedFrameFixture {
protected:
    static double Seconds(std::chrono::steady_clock::time_point since) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    }
};

}  // namespace

TEST_F(FrameBudget, AHugeBatchDoesNotHoldTheFrame) {
    TwoBodyOrbit();
    // Sixty more planets make each push cost thousands of pairs, so the largest batch
    // takes seconds even on a fast machine.
    for (int k = 1; k <= 60; ++k) AddBody("Planet", 1.5e11 + k * 1e9, 29740, 6e20, 1e5);
    set.pushesPerFrame = kMaxPushesPerFrame;  // 1e8 once froze the window for ~50 s per frame
    for (int frame = 0; frame < 3; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        DoTask(1);
        EXPECT_LT(Seconds(start), 0.1 + pushBudget.frameSeconds) << "frame " << frame;
    }
    EXPECT_GT(rt.pushCount, 0);
    EXPECT_LT(rt.pushCount, kMaxPushesPerFrame);  // the rest waits for later frames
    EXPECT_EQ(pushBudget.owed, kMaxPushesPerFrame - rt.pushCount);
}

TEST_F(FrameBudget, EscapeStopsALongRunAndDropsTheRestOfTheBatch) {
    TwoBodyOrbit();
    set.pushesPerFrame = 100000000;
    DoTask(1);
    ASSERT_GT(pushBudget.owed, 0);
    theEvent = EventRecord{kKeyDownEvent, 27, 0, Point{0, 0}, 0};
    DoKeyEv();
    EXPECT_TRUE(GetControl(kPausedControl));
    EXPECT_EQ(pushBudget.owed, 0);
    const int32_t pushes = rt.pushCount;
    DoTask(2);
    EXPECT_EQ(rt.pushCount, pushes);
}

TEST_F(FrameBudget, ABatchSpreadOverFramesRunsTheSamePushes) {
    // Reference: the whole batch in one frame.
    TwoBodyOrbit();
    set.pushesPerFrame = 40;
    set.trailLength = 8;
    DoTask(1);
    ASSERT_EQ(rt.pushCount, 40);
    const BodyRTStruct reference = BodyRTList()->body[1];
    EXPECT_EQ(GetRTListValidCount(rt.trailList), 1);

    // The same batch with no time to spare: one push per frame, 40 frames.
    TransferICsToRT();
    pushBudget = PushBudgetStruct{};
    pushBudget.frameSeconds = 0;
    for (int frame = 1; frame <= 40; ++frame) {
        DoTask(1);
        ASSERT_EQ(rt.pushCount, frame);
        // The trail takes its snapshot when the batch is complete, not every frame.
        EXPECT_EQ(GetRTListValidCount(rt.trailList), frame == 40 ? 1 : 0) << frame;
    }
    const BodyRTStruct& spread = BodyRTList()->body[1];
    EXPECT_EQ(std::memcmp(spread.pos, reference.pos, sizeof reference.pos), 0);
    EXPECT_EQ(std::memcmp(spread.vel, reference.vel, sizeof reference.vel), 0);
}

TEST_F(FrameBudget, ASmallerBatchCutsTheRunningOne) {
    TwoBodyOrbit();
    set.pushesPerFrame = 100000000;
    DoTask(1);
    set.pushesPerFrame = 16;
    const int32_t before = rt.pushCount;
    DoTask(1);
    EXPECT_EQ(rt.pushCount, before + 16);
}

TEST_F(FrameBudget, PushesPerSecondAreMeasured) {
    TwoBodyOrbit();
    set.pushesPerFrame = 1000;
    const auto start = std::chrono::steady_clock::now();
    while (Seconds(start) < 1.2) DoTask(1);
    const double expected = rt.pushCount / Seconds(start);
    EXPECT_GT(PushesPerSecond(), 0.5 * expected);
    EXPECT_LT(PushesPerSecond(), 2.0 * expected);
}

TEST_F(FrameBudget, ACollisionStopSaysWhichBodiesMetAndStopsOnce) {
    set.gravConstant = 0;  // they stay where they are, touching
    set.timeStep = 1.0;
    set.onCrash = kCrashStop;
    AddBody("Moon", 0, 0, 1, 10);
    AddBody("Craft", 15, 0, 1, 10);
    set.pushesPerFrame = 16;
    DoTask(1);
    EXPECT_TRUE(GetControl(kPausedControl));
    EXPECT_EQ(rt.pushCount, 1);
    ASSERT_EQ(sink.notes.size(), 1u);
    EXPECT_NE(sink.notes[0].find("Moon"), std::string::npos) << sink.notes[0];
    EXPECT_NE(sink.notes[0].find("Craft"), std::string::npos) << sink.notes[0];
    // Run: the pair still touches, but it stopped the run already.
    ClearControl(kPausedControl);
    DoTask(1);
    EXPECT_FALSE(GetControl(kPausedControl));
    EXPECT_EQ(rt.pushCount, 1 + 16);
    ASSERT_EQ(sink.notes.size(), 2u);
    EXPECT_EQ(sink.notes[1], "");  // the note goes once the run goes on
    // A reset starts afresh: touching at the start stops once more.
    TransferICsToRT();
    DoTask(1);
    EXPECT_TRUE(GetControl(kPausedControl));
}

TEST_F(FrameBudget, FrameRateIsDefinedAtAnyUptime) {
    EXPECT_EQ(FramesPerTenSeconds(4000000, 61), 39344262);  // 4e6 * 600 leaves 32 bits
    EXPECT_EQ(FramesPerTenSeconds(2147483647, 1), 2147483647);
    EXPECT_EQ(FramesPerTenSeconds(10, 0), 0);
    SetControl(kShowFPSControl);
    DoWork();  // starts the measurement
    framesPassed = 3999999;  // some 18 hours at 60 frames per second
    ticks.ticks += 61;
    DoWork();
    EXPECT_EQ(lastFPS, 39344262);
    ASSERT_FALSE(sink.texts.empty());
    EXPECT_EQ(sink.texts.back(), "3934426.2 fps");
}

TEST_F(FrameBudget, HeadlessRunsKeepNoBudget) {
    // Tools and tests that run the push stage themselves get every push they ask for.
    pushBudget = PushBudgetStruct{};
    TwoBodyOrbit();
    set.pushesPerFrame = 200000;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 200000);
}
