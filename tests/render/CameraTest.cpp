#include <gtest/gtest.h>

#include <cmath>

#include "render/Camera.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"

namespace {

struct Window : MainWindowServices {
    int32_t w = 640, h = 480;
    void MainWindowContentSize(int32_t& width, int32_t& height) override { width = w; height = h; }
};

void ResetCamera() {
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    rt.eyeDistance = 4e7;
    rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
}

TEST(Camera, ModeZeroSettlesEyeOnKAtEyeDistance) {
    ResetCamera();
    rt.lookAt[0] = 1e9;
    for (int n = 0; n < 80; ++n) DoCameraWork();
    EXPECT_NEAR(rt.eyePos[0], 4e7, 1.0);
    EXPECT_NEAR(rt.eyePos[1], 0, 1.0);
}

TEST(Camera, NonPositiveDistanceBacksOut) {
    ResetCamera();
    rt.eyeDistance = 0;
    DoCameraWork();
    EXPECT_DOUBLE_EQ(rt.eyeDistance, 2e6);
    rt.eyeDistance = NAN;
    rt.eyeDistanceVel = 0;
    DoCameraWork();
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
}

TEST(Camera, YawImpulseTurnsOneRadianInTotal) {
    ResetCamera();
    rt.yawRate = 1.0;
    for (int n = 0; n < 60; ++n) DoCameraWork();
    // k started along +x and turned about j (= z) by 1 radian in total.
    const double angle = std::atan2(double(rt.cameraIJK.k[1]), double(rt.cameraIJK.k[0]));
    EXPECT_NEAR(std::fabs(angle), 1.0, 2e-3);
}

TEST(Camera, RidingModeFlagsBodyAndSelectionOutOfRangeOrbitsOrigin) {
    ResetCamera();
    rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct));
    BodyRTList()->count = 1;
    BodyRTList()->body[0].pos[0] = 5e6;
    set.cameraMode = 8;  // zero velocity: no steering, still rides
    DoCameraWork();
    EXPECT_TRUE(BodyRTList()->body[0].statusFlags & kCameraRideStatus);
    EXPECT_EQ(rt.yawRate, 0.0);
    EXPECT_DOUBLE_EQ(rt.eyePos[0], rt.lookAt[0]);
    set.cameraSelection = 1;  // equal to the count
    set.cameraMode = 1;
    DoCameraWork();
    EXPECT_EQ(rt.cameraTarget[0], 0.0);
    DisposeHandle(rt.bodyRT);
    rt.bodyRT = 0;
}

TEST(Camera, ViewingSetupKeepsBufferWhenSizeUnchanged) {
    ResetCamera();
    Window w;
    SetMainWindowServices(&w);
    set.viewAngle = 70;
    SetRunTimeViewingVariables();
    EXPECT_EQ(rt.focalLength, 457);
    uint32_t* first = renderGW;
    first[5] = 0x123456;
    set.viewAngle = 90;
    SetRunTimeViewingVariables();
    EXPECT_EQ(renderGW, first);
    EXPECT_EQ(first[5], 0x123456u);
    EXPECT_EQ(rt.focalLength, 320);
    DisposeMyRenderGW();
    SetMainWindowServices(nullptr);
}

TEST(Camera, ProjectionCentresPointStraightAheadAndRejectsBehind) {
    ResetCamera();
    rt.focalLength = 457;
    rt.eyePos[0] = 1000;
    Projected p;
    const double ahead[3] = {0, 0, 0};
    ASSERT_TRUE(ProjectPoint(ahead, 320, 240, p));
    EXPECT_EQ(p.sx, 320);
    EXPECT_EQ(p.sy, 240);
    const double behind[3] = {2000, 0, 0};
    EXPECT_FALSE(ProjectPoint(behind, 320, 240, p));
    const double nanPoint[3] = {NAN, 0, 0};
    EXPECT_FALSE(ProjectPoint(nanPoint, 320, 240, p));
}

}  // namespace
