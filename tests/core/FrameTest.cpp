#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FrameServices.h"
#include "core/Control.h"
#include "core/Frame.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"

namespace {

TEST(Frame, FrameRateText) {
    EXPECT_EQ(FrameRateText(0), ".0 fps");
    EXPECT_EQ(FrameRateText(5), ".5 fps");
    EXPECT_EQ(FrameRateText(123), "12.3 fps");
}

TEST(Frame, WheelDeltaDecay) {
    std::vector<int32_t> seen;
    for (int32_t d = 8; d != 0; d = DecayWheelDelta(d)) seen.push_back(d);
    EXPECT_EQ(seen, (std::vector<int32_t>{8, 4, 2, 1}));
    seen.clear();
    for (int32_t d = -8; d != 0; d = DecayWheelDelta(d)) seen.push_back(d);
    EXPECT_EQ(seen, (std::vector<int32_t>{-8, -4, -2, -1}));
}

using FrameTask = FrameFixture;

TEST_F(FrameTask, DefaultsAfterInitialize) {
    EXPECT_EQ(set.pushesPerFrame, 16);
    EXPECT_DOUBLE_EQ(set.timeStep, 10.0);
    EXPECT_DOUBLE_EQ(set.autoRotation, -M_PI / 10000);
    EXPECT_EQ(rt.sphereSqrtTable[255], uint16_t(16 * std::sqrt(255.0)));
    EXPECT_EQ(rt.sphereInvSqrtTable[0], 4096);
    EXPECT_EQ(rt.sphereInvSqrtTable[4], 2048);
    EXPECT_EQ(rt.cameraIJK.i[1], 65536);
    EXPECT_EQ(rt.cameraIJK.k[0], 65536);
}

TEST_F(FrameTask, PausedFrameStillTurnsTheViewButNotTheBodies) {
    BodyInfoStruct a, b;
    FillDefaultBodyInfo(a);
    FillDefaultBodyInfo(b);
    b.pos[0] = -1000;
    AddABody(a);
    AddABody(b);
    SetControl(kPausedControl);
    SetControl(kKeypad6Control);
    rt.keyRepeatFactor = 1;
    IJK cam = rt.cameraIJK;
    EXPECT_EQ(DoTask(1), 1);
    // No push ran, yet the paused view shows the state the bodies start from,
    // with their mutual accelerations evaluated.
    ASSERT_NE(rt.bodyRT, 0u);
    EXPECT_EQ(rt.pushCount, 0);
    const BodyRTStruct& first = BodyRTList()->body[0];
    const BodyRTStruct& second = BodyRTList()->body[1];
    EXPECT_DOUBLE_EQ(first.pos[0] - second.pos[0], 2000.0);  // at 1000 and -1000
    EXPECT_LT(first.acc[0], 0.0);  // each pulled toward the other
    EXPECT_GT(second.acc[0], 0.0);
    EXPECT_LT(first.potential, 0.0);
    EXPECT_NE(rt.cameraIJK.i[0], cam.i[0]);
    // The camera step applies half of the pending yaw each frame and keeps the rest.
    EXPECT_NEAR(rt.yawRate, -M_PI / 720 * 0.5, 1e-15);
    ClearControl(kPausedControl);
    DoTask(1);
    EXPECT_EQ(rt.pushCount, 16);
}

TEST_F(FrameTask, WheelMovesCameraOnFourFrames) {
    wheelDeltaY = 8;
    // The camera step halves the pending pitch after input added to it, so the
    // impulse a frame added is twice what is left minus what was pending before.
    double last = 0;
    std::vector<double> steps;
    for (int f = 0; f < 6; ++f) {
        DoTask(1);
        steps.push_back(2 * rt.pitchRate - last);
        last = rt.pitchRate;
    }
    for (int f = 0; f < 4; ++f) EXPECT_NEAR(steps[f], (8 >> f) * M_PI / 512, 1e-12);
    EXPECT_EQ(steps[4], 0.0);
}

TEST_F(FrameTask, FrameRateShownAfterFirstMeasurement) {
    SetControl(kShowFPSControl);
    DoWork();
    EXPECT_TRUE(sink.texts.empty());  // measurement starts
    ticks.ticks += 30;
    DoWork();
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], ".0 fps");
    ticks.ticks += 31;  // 61 ticks since start, 2 frames
    DoWork();
    EXPECT_EQ(sink.texts.back(), FrameRateText(2 * 600 / 61));
}
}  // namespace
