// Moving around without a keypad: the wheel and the main keyboard zoom, a
// double-click follows a body, and no zoom carries the eye into the body it follows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FrameServices.h"
#include "core/Control.h"
#include "core/Events.h"
#include "core/History.h"
#include "core/Menus.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"

namespace {

constexpr double kPlanetRadius = 6.4e6;

class Navigation : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        SetupMenus();
        ClearUndoHistory();
        keyHitTC = mainWindowHitTC = 0;
        wheelAngleRemainder[0] = wheelAngleRemainder[1] = 0;
        mainWindowDrag = MouseDrag::Turn;
        set.autoRotation = 0;
    }
    void TearDown() override {
        ClearUndoHistory();
        DisposeMenus();
        FrameFixture::TearDown();
    }
    int32_t AddPlanet(double x, double y, double z, double radius, double vx = 0, double mass = 0) {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        if (mass > 0) b.mass = mass;
        b.pos[0] = x, b.pos[1] = y, b.pos[2] = z;
        b.vel[0] = vx, b.vel[1] = 0, b.vel[2] = 0;
        b.radius = radius;
        EXPECT_EQ(AddABody(b), 1);
        return BodyList()->count - 1;
    }
    void Key(uint16_t what, uint8_t ch, uint8_t code, uint16_t modifiers = 0) {
        theEvent = EventRecord{what, uint32_t(ch) | (uint32_t(code) << 8), ticks.ticks, Point{0, 0}, modifiers};
        what == kKeyUpEvent ? DoKeyUpEv() : DoKeyEv();
    }
    // One pass of the loop: the modifiers and repeat factor, then a frame.
    void Pass() {
        theEvent.modifiers = 0;
        UpdateControlsFromModifiers();
        DoTask(1);
    }
    static double EyeToBody(int32_t index) {
        const BodyRTStruct& b = BodyRTList()->body[index];
        return std::hypot(rt.eyePos[0] - b.pos[0], rt.eyePos[1] - b.pos[1], rt.eyePos[2] - b.pos[2]);
    }
    static void SettleCamera() {
        for (int n = 0; n < 80; ++n) DoCameraWork();
    }
};

TEST_F(Navigation, ATapShorterThanAFrameStillZoomsOneNotch) {
    SetControl(kPausedControl);
    const double start = rt.eyeDistance;
    for (uint8_t code : {kMinusKey, kKeypadMinusKey, kPageUpKey}) {
        Key(kKeyDownEvent, 0, code);
        Key(kKeyUpEvent, 0, code);
    }
    for (int n = 0; n < 60; ++n) Pass();
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
    // With Ctrl they zoom too: no menu command takes them.
    for (uint8_t code : {kEqualKey, kKeypadPlusKey, kPageDownKey}) {
        Key(kKeyDownEvent, 0, code, kCmdKeyModifier);
        EXPECT_EQ(GetControl(kKeypadPlusControl), 1);
        Key(kKeyUpEvent, 0, code, kCmdKeyModifier);
        EXPECT_EQ(GetControl(kKeypadPlusControl), 0);
    }
    for (int n = 0; n < 60; ++n) Pass();
    EXPECT_NEAR(rt.eyeDistance, start, start * 1e-9);
    // Auto-repeats keep the held zoom going without adding steps of their own.
    const double pending = rt.eyeDistanceVel;
    Key(kAutoKeyEvent, 0, kMinusKey);
    Key(kKeyUpEvent, 0, kMinusKey);
    EXPECT_EQ(rt.eyeDistanceVel, pending);
}

TEST_F(Navigation, HeldMinusAndPageDownMoveTheEyeLikeTheKeypad) {
    SetControl(kPausedControl);
    const double start = rt.eyeDistance;
    Key(kKeyDownEvent, '-', kMinusKey);
    for (int n = 0; n < 10; ++n) Pass();
    Key(kKeyUpEvent, '-', kMinusKey);
    for (int n = 0; n < 60; ++n) Pass();
    const double closer = rt.eyeDistance;
    // One notch for the press, then ten frames of 0.5 % of the distance each.
    EXPECT_NEAR(closer, start / kWheelZoomPerNotch * std::pow(0.995, 10), start * 2e-3);
    Key(kKeyDownEvent, 0, kPageDownKey);
    for (int n = 0; n < 10; ++n) Pass();
    Key(kKeyUpEvent, 0, kPageDownKey);
    for (int n = 0; n < 60; ++n) Pass();
    EXPECT_GT(rt.eyeDistance, closer * 1.04);
}

TEST_F(Navigation, EachWheelNotchScalesTheEyeDistanceByTheSameFactor) {
    const double start = rt.eyeDistance;
    PreviewWindowWheelTurn(3 * 120, 1, 0);  // three notches forward
    SettleCamera();
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
    // A fine wheel's eighths of a notch add up to the same as whole notches, and turning back undoes it.
    for (int n = 0; n < 24; ++n) PreviewWindowWheelTurn(-15, 1, 0);
    SettleCamera();
    EXPECT_NEAR(rt.eyeDistance, start, start * 1e-9);
    // Alt does not change it: X11 managers that pass Alt+wheel on get the same zoom.
    PreviewWindowWheelTurn(120, 1, kOptionKeyModifier);
    SettleCamera();
    EXPECT_NEAR(rt.eyeDistance, start / kWheelZoomPerNotch, start * 1e-9);
    EXPECT_EQ(wheelDeltaX, 0);
    EXPECT_EQ(wheelDeltaY, 0);
}

TEST_F(Navigation, ShiftWheelTurnsCtrlWheelPansAndTheHorizontalWheelTurns) {
    PreviewWindowWheelTurn(120, 1, kShiftKeyModifier);
    EXPECT_EQ(wheelDeltaY, 4);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
    PreviewWindowWheelTurn(120, 1, kCmdKeyModifier);
    EXPECT_EQ(wheelDeltaY, 8);
    PreviewWindowWheelTurn(-120, 0, 0);
    EXPECT_EQ(wheelDeltaX, -4);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
    // Shift+wheel reaches the camera as a tilt, not a zoom.
    SetControl(kPausedControl);
    wheelDeltaX = 0;
    const double distance = rt.eyeDistance;
    theEvent.modifiers = kShiftKeyModifier;
    UpdateControlsFromModifiers();
    rt.pitchRate = 0;
    DoTask(1);
    EXPECT_NE(rt.pitchRate, 0.0);
    EXPECT_DOUBLE_EQ(rt.eyeDistance, distance);
}

TEST_F(Navigation, AWildWheelNeverLeavesTheDistanceNegativeOrUndefined) {
    // A driver's absurd delta counts as a fast spin of twenty notches, in either direction.
    const double start = rt.eyeDistance;
    PreviewWindowWheelTurn(std::numeric_limits<int32_t>::max(), 1, 0);
    SettleCamera();
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 20), start * 1e-9);
    PreviewWindowWheelTurn(std::numeric_limits<int32_t>::min(), 1, 0);
    SettleCamera();
    EXPECT_NEAR(rt.eyeDistance, start, start * 1e-9);
    for (int n = 0; n < 100; ++n) PreviewWindowWheelTurn(-(1 << 30), 1, 0);
    SettleCamera();
    EXPECT_TRUE(std::isfinite(rt.eyeDistance));
    for (int n = 0; n < 200; ++n) PreviewWindowWheelTurn(1 << 30, 1, 0);
    SettleCamera();
    EXPECT_TRUE(std::isfinite(rt.eyeDistance));
    EXPECT_GT(rt.eyeDistance, 0.0);
    rt.eyeDistance = NAN;
    rt.eyeDistanceVel = 0;
    PreviewWindowWheelTurn(120, 1, 0);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
}

// Every mode that places the eye beside the followed body: orbiting it and chasing it.
class EyeOutsideTheBody : public Navigation, public ::testing::WithParamInterface<int32_t> {};

TEST_P(EyeOutsideTheBody, ZoomingInStopsAboveTheSurface) {
    const int32_t planet = AddPlanet(1e9, -2e9, 3e8, kPlanetRadius, 3e4);
    AddPlanet(1.5e9, -2e9, 3e8, 1e6);  // a nearest body for the modes that look at one
    set.cameraMode = GetParam();
    set.cameraSelection = planet;
    SetControl(kPausedControl);
    const double floor = NearestEyeDistance(kPlanetRadius);
    // The user holds keypad minus for long (the repeat factor grows to 16) and spins the wheel.
    Key(kKeyDownEvent, '-', kKeypadMinusKey);
    double closest = std::numeric_limits<double>::infinity();
    for (int n = 0; n < 400; ++n) {
        ticks.ticks += 6;
        PreviewWindowWheelTurn(5 * 120, 1, 0);
        Pass();
        ASSERT_NE(rt.bodyRT, 0u);
        if (n > 200) closest = std::min(closest, EyeToBody(planet));  // the eye has come over from far away
    }
    EXPECT_GE(rt.keyRepeatFactor, 16);
    Key(kKeyUpEvent, '-', kKeypadMinusKey);
    EXPECT_GE(closest, floor * (1 - 1e-12));
    EXPECT_LT(closest, floor * 1.01);  // and it did come down to the surface
    // Zooming out answers at once: nothing of the long zoom-in is left pending.
    PreviewWindowWheelTurn(-120, 1, 0);
    for (int n = 0; n < 40; ++n) Pass();
    EXPECT_NEAR(rt.eyeDistance, floor * kWheelZoomPerNotch, floor * 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Modes, EyeOutsideTheBody, ::testing::Values(1, 2, 3, 16, 17, 20));

TEST_F(Navigation, InOrbitTheBodyStaysInFrontAfterTheZoom) {
    const int32_t planet = AddPlanet(0, 0, 0, kPlanetRadius);
    set.cameraMode = 1;
    set.cameraSelection = planet;
    SetControl(kPausedControl);
    for (int n = 0; n < 200; ++n) {
        PreviewWindowWheelTurn(10 * 120, 1, 0);
        Pass();
    }
    // Not black: the planet's centre is ahead of the eye and its disc fills the view.
    Projected p;
    ASSERT_TRUE(ProjectPoint(BodyRTList()->body[planet].pos, renderCX, renderCY, p));
    EXPECT_GT(ApparentDiameter(kPlanetRadius, p.f), uint32_t(2 * rt.focalLength * 0.9));
}

TEST_F(Navigation, ARacingBodyCannotDragTheLaggingEyeInside) {
    // Coming straight at the eye faster than the look-at point catches up: it lags
    // behind the body by up to an eighth of the eye distance.
    // A heavy star far off holds the centre of mass, which the run keeps at the origin.
    AddPlanet(-1e13, 0, 0, 7e8, 0, 2e30);
    const int32_t planet = AddPlanet(0, 0, 0, kPlanetRadius, 2e5, 6e24);
    set.cameraMode = 1;
    set.cameraSelection = planet;
    rt.eyeDistance = NearestEyeDistance(kPlanetRadius);
    double moved = 0;
    for (int n = 0; n < 30; ++n) {
        const double x = rt.bodyRT ? BodyRTList()->body[planet].pos[0] : 0;
        Pass();
        ASSERT_NE(rt.bodyRT, 0u);
        moved = BodyRTList()->body[planet].pos[0] - x;
        EXPECT_GE(EyeToBody(planet), NearestEyeDistance(kPlanetRadius) * (1 - 1e-12)) << n;
    }
    EXPECT_GT(moved, rt.eyeDistance);  // it did race: farther each frame than the eye distance
}

TEST_F(Navigation, WithoutAFollowedBodyTheZoomIsUnbounded) {
    AddPlanet(0, 0, 0, kPlanetRadius);
    set.cameraMode = 0;  // orbiting the origin, where the planet is
    SetControl(kPausedControl);
    for (int n = 0; n < 60; ++n) {
        PreviewWindowWheelTurn(120, 1, 0);
        Pass();
    }
    EXPECT_LT(rt.eyeDistance, kPlanetRadius);
}

TEST_F(Navigation, RightAndMiddleDragsZoomAndPanWithoutModifierKeys) {
    theEvent.when = ticks.ticks;
    DoMainWindowMouseDown(MouseDrag::Zoom);
    theEvent.modifiers = 0;
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kOptionKeyControl), 1);
    EXPECT_EQ(GetControl(kMouseTrackControl), 1);
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    DoMouseUpEv();
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kOptionKeyControl), 0);
    DoMainWindowMouseDown(MouseDrag::Pan);
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
    EXPECT_EQ(GetControl(kOptionKeyControl), 0);
    DoMouseUpEv();
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    // The right-button drag moves the eye as Alt-drag does: upwards farther.
    SetControl(kPausedControl);
    olPos = Point{200, 300};
    theEvent.where = Point{200, 300};
    DoMainWindowMouseDown(MouseDrag::Zoom);
    UpdateControlsFromModifiers();
    theEvent.where = Point{180, 300};
    const double distance = rt.eyeDistance;
    DoTask(1);
    EXPECT_GT(rt.eyeDistance, distance);
    DoMouseUpEv();
}

// A camera looking along -x from (4e7, 0, 0) with a focal length of 400 pixels.
class DoubleClick : public Navigation {
protected:
    void SetUp() override {
        Navigation::SetUp();
        AddPlanet(0, 0, 0, 6e6);    // 0: a disc 120 pixels across at the centre
        AddPlanet(2e7, 0, 0, 1e6);  // 1: nearer the eye, 40 pixels across, in front of 0
        AddPlanet(0, 2e7, 0, 1e3);  // 2: a point 200 pixels right of the centre
        AddPlanet(8e7, 0, 0, 1e7);  // 3: behind the eye
        TransferICsToRT();
        // Where the frame drew them: the run may have moved the centre of mass to the origin.
        const double where[4][3] = {{0, 0, 0}, {2e7, 0, 0}, {0, 2e7, 0}, {8e7, 0, 0}};
        ASSERT_EQ(BodyRTList()->count, 4);
        for (int b = 0; b < 4; ++b)
            for (int n = 0; n < 3; ++n) BodyRTList()->body[b].pos[n] = where[b][n];
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
        rt.eyePos[0] = 4e7, rt.eyePos[1] = rt.eyePos[2] = 0;
        rt.focalLength = 400;
        set.minPointSize = 3;
        set.cameraSelection = 0;
        set.cameraMode = 0;
        // A stale drawn position must not count: the body behind the eye was drawn here once.
        BodyRTList()->body[3].screenPos = Point{int16_t(renderCY), int16_t(renderCX + 300)};
    }
    void At(int32_t dh, int32_t dv = 0) { DoMainWindowDoubleClick(Point{int16_t(renderCY + dv), int16_t(renderCX + dh)}); }
};

TEST_F(DoubleClick, FollowsTheBodyDrawnInFront) {
    At(0);
    EXPECT_EQ(set.cameraSelection, 1);
    At(40, 30);  // inside the large disc, outside the small one in front
    EXPECT_EQ(set.cameraSelection, 0);
    At(62);  // two pixels past the large disc's edge
    EXPECT_EQ(set.cameraSelection, 0);
}

TEST_F(DoubleClick, FindsAPointBodyWithinAFewPixelsButNotFartherOrBehindTheEye) {
    At(203);
    EXPECT_EQ(set.cameraSelection, 2);
    set.cameraSelection = 1;
    At(220);  // empty sky
    EXPECT_EQ(set.cameraSelection, 1);
    At(300);  // where the body behind the eye was last drawn
    EXPECT_EQ(set.cameraSelection, 1);
}

TEST_F(DoubleClick, OnAHiDpiScreenAPointBodyIsFoundAsLargeAsItIsDrawn) {
    // At pixel ratio 2 a smallest body size of 20 is drawn 40 buffer pixels across.
    renderPixelRatio = 2;
    set.minPointSize = 20;
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 18, renderCY, 0), 2);  // inside the drawn disc
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 23, renderCY, 4), 2);  // just past its edge
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 26, renderCY, 4), -1);
    renderPixelRatio = 1;
}

TEST_F(DoubleClick, OrbitsTheBodyWhenTheCameraOrbitedTheOriginAndUndoesInOneStep) {
    ASSERT_FALSE(CanUndo());
    At(200);
    EXPECT_EQ(set.cameraSelection, 2);
    EXPECT_EQ(set.cameraMode, 1);
    ASSERT_TRUE(CanUndo());
    EXPECT_TRUE(UndoLastChange());
    EXPECT_EQ(set.cameraSelection, 0);
    EXPECT_EQ(set.cameraMode, 0);
    EXPECT_FALSE(CanUndo());
    // A mode that already follows a body is kept.
    set.cameraMode = 17;
    At(0);
    EXPECT_EQ(set.cameraSelection, 1);
    EXPECT_EQ(set.cameraMode, 17);
}

TEST_F(DoubleClick, TheBodyTheCameraRidesIsNotDrawnAndNotFound) {
    set.cameraMode = 8;
    set.cameraSelection = 1;
    At(0);  // body 1 is ridden, so the disc behind it is what the view shows
    EXPECT_EQ(set.cameraSelection, 0);
}

}  // namespace
