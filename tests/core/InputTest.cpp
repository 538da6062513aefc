// Keys, clicks, drags and the wheel as they reach the camera and the selection,
// with or without a keypad; no zoom carries the eye into the body it follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "FrameServices.h"
#include "shell/History.h"
#include "core/Menus.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"

namespace {

struct Input : FrameFixture {
    void SetUp() override {
        FrameFixture::SetUp();
        SetupMenus();
        ClearUndoHistory();
        sink.moves = 0;
    }
    void TearDown() override {
        ClearUndoHistory();
        DisposeMenus();
        FrameFixture::TearDown();
    }
    static double EyeToBody(int32_t i) {
        const double* p = BodyRTList()->body[i].pos;
        return std::hypot(rt.eyePos[0] - p[0], rt.eyePos[1] - p[1], rt.eyePos[2] - p[2]);
    }
    static double Settled() {
        for (int n = 0; n < 80; ++n) DoCameraWork();
        return rt.eyeDistance;
    }
};

TEST_F(Input, EachSteeringKeyHoldsItsOwnFlagUntilItComesUpAlsoWithCtrl) {
    const std::tuple<uint8_t, uint8_t, int32_t> keys[] = {
        {28, 0, kLeftArrowControl}, {29, 0, kRightArrowControl}, {30, 0, kUpArrowControl}, {31, 0, kDownArrowControl},
        {'2', kKeypad2Key, kKeypad2Control}, {'4', kKeypad4Key, kKeypad4Control}, {'6', kKeypad6Key, kKeypad6Control},
        {'7', kKeypad7Key, kKeypad7Control}, {'8', kKeypad8Key, kKeypad8Control}, {'9', kKeypad9Key, kKeypad9Control},
        {'+', kKeypadPlusKey, kKeypadPlusControl}, {'-', kKeypadMinusKey, kKeypadMinusControl},
        {'=', kEqualKey, kKeypadPlusControl}, {'-', kMinusKey, kKeypadMinusControl},
        {0, kPageDownKey, kKeypadPlusControl}, {0, kPageUpKey, kKeypadMinusControl}};
    for (const auto& [ch, code, flag] : keys)
        for (uint16_t modifiers : {0, code ? int(kCmdKeyModifier) : 0}) {  // Ctrl+arrow is for the menus
            Key(kKeyDownEvent, ch, code, modifiers);
            for (int32_t f = 0; f < 128; ++f) EXPECT_EQ(GetControl(f), f == flag) << int(code) << " flag " << f;
            EXPECT_EQ(keyHitTC, ticks.ticks);
            Key(kKeyUpEvent, ch, code, modifiers);
            EXPECT_EQ(GetControl(flag) + keyHitTC, 0u);
        }
    EXPECT_EQ(sink.moves, 0);  // Ctrl+keypad 2 is not the layout shortcut Ctrl+2
    // Space and F toggle on every press and repeat, not with Ctrl; Escape pauses and drops the rest of the batch.
    for (const auto& [what, ch] : {std::pair{kKeyDownEvent, ' '}, {kAutoKeyEvent, ' '}, {kKeyDownEvent, ' '},
                                   {kKeyDownEvent, 'f'}, {kKeyUpEvent, 'f'}, {kKeyDownEvent, 'F'}, {kKeyDownEvent, 'F'}})
        Key(what, uint8_t(ch));
    Key(kKeyDownEvent, ' ', 0, kCmdKeyModifier);
    EXPECT_EQ(GetControl(kPausedControl) * 10 + GetControl(kShowFPSControl), 11);
    pushBudget.owed = 1000;
    Key(kKeyDownEvent, 27), Key(kKeyDownEvent, 27);
    EXPECT_EQ(GetControl(kPausedControl) + pushBudget.owed, 1);
}

TEST_F(Input, ModifierKeysAndMouseButtonsChooseWhatTheMouseDoesUntilTheApplicationIsSuspended) {
    using D = MouseDrag;
    // modifiers, a press pending with this drag, then the Alt, tracking and Ctrl flags.
    const std::tuple<uint16_t, bool, D, int, int, int> cases[] = {{0, false, D::Turn, 0, 0, 0},
        {kShiftKeyModifier, false, D::Turn, 0, 1, 0}, {kAlphaLockModifier, false, D::Turn, 0, 1, 0},
        {kOptionKeyModifier, false, D::Turn, 1, 0, 0}, {kCmdKeyModifier, false, D::Turn, 0, 0, 1},
        {0, true, D::Turn, 0, 1, 0}, {0, true, D::Zoom, 1, 1, 0}, {0, true, D::Pan, 0, 1, 1}};
    for (const auto& [modifiers, pressed, drag, option, track, command] : cases) {
        theEvent = EventRecord{0, 0, 5, Point{}, modifiers};
        if (pressed) DoMainWindowMouseDown(drag);
        UpdateControlsFromModifiers();
        EXPECT_EQ(GetControl(kOptionKeyControl) * 100 + GetControl(kMouseTrackControl) * 10 + GetControl(kCommandKeyControl),
                  option * 100 + track * 10 + command) << modifiers << " " << int(drag);
        EXPECT_EQ(MouseCursorState(), command && track ? 4 : option && track ? 2 : track ? 3 : 0);
        DoMouseUpEv();
    }
    SetControl(kOptionKeyControl), SetControl(kMouseTrackControl);
    theEvent = EventRecord{kOSEvent, 1u << 24, 0, Point{}, kCmdKeyModifier};  // suspended: the flags go and stay off
    DoOSEv();
    EXPECT_EQ(GetControl(kOptionKeyControl) + GetControl(kMouseTrackControl), 0);
    UpdateControlsFromModifiers();
    EXPECT_EQ(MouseCursorState() + GetControl(kCommandKeyControl), 0);
    theEvent.message |= 1;  // resumed
    DoOSEv();
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
}

TEST_F(Input, AQuickClickSelectsTheNearestBodyAndAPressHeldLongerSelectsNothing) {
    const Point drawn[] = {Point{10, 10}, Point{30, 10}, Point{100, 100}};
    for (int i = 0; i < 3; ++i) AddBody("B", double(i), 0, 0, 1);
    TransferICsToRT();
    for (int i = 0; i < 3; ++i) BodyRTList()->body[i].screenPos = drawn[i];
    rt.selectedBody = -1;
    // Held 31 ticks (the double-click interval is 30), then as far from bodies 0 and 1: the later one.
    for (const auto& [where, held, selected] : {std::tuple{Point{20, 10}, 31u, -1}, {Point{20, 10}, 10u, 1},
                                                {Point{90, 95}, 10u, 2}}) {
        theEvent.when = ticks.ticks;
        DoMainWindowMouseDown();
        theEvent.when += held, theEvent.where = where;
        DoMouseUpEv();
        EXPECT_EQ(rt.selectedBody, selected) << held;
    }
}

TEST_F(Input, EachInputMovesTheCameraItsOwnWay) {
    SetControl(kPausedControl);
    using R = double RunTimeStruct::*;
    const R yaw = &RunTimeStruct::yawRate, pitch = &RunTimeStruct::pitchRate, panI = &RunTimeStruct::panIVel,
            panJ = &RunTimeStruct::panJVel, zoom = &RunTimeStruct::eyeDistanceVel;
    // A held key, with or without Ctrl; or a drag 20 pixels up with this modifier flag.
    const std::tuple<int32_t, bool, R, int> inputs[] = {{kKeypad6Control, false, yaw, -1},
        {kKeypad4Control, false, yaw, 1}, {kKeypad8Control, false, pitch, 1}, {kKeypad2Control, false, pitch, -1},
        {kKeypad6Control, true, panI, -1}, {kKeypad4Control, true, panI, 1}, {kKeypad8Control, true, panJ, -1},
        {kKeypad2Control, true, panJ, 1}, {kKeypad9Control, false, panI, -1}, {kKeypad7Control, false, panI, 1},
        {kKeypadMinusControl, false, zoom, -1}, {kKeypadPlusControl, false, zoom, 1},
        {kMouseTrackControl, false, pitch, 1}, {kOptionKeyControl, false, zoom, 1}, {kCommandKeyControl, false, panJ, -1}};
    for (const auto& [flag, cmd, field, sign] : inputs) {
        for (R f : {yaw, pitch, panI, panJ, zoom}) rt.*f = 0;
        SetControl(flag);
        if (cmd) SetControl(kCommandKeyControl);
        if (flag == kOptionKeyControl || flag == kCommandKeyControl) SetControl(kMouseTrackControl);
        olPos = Point{200, 300}, theEvent.where = Point{180, 300};
        DoTask(1);
        EXPECT_GT(sign * (rt.*field), 0) << flag << " " << cmd;
        for (int32_t f : {flag, kCommandKeyControl, kMouseTrackControl}) ClearControl(f);
    }
}

TEST_F(Input, TheVerticalWheelAndTheZoomKeysScaleTheEyeDistanceByTheSameFactorPerNotch) {
    const double start = rt.eyeDistance;
    PreviewWindowWheelTurn(3 * 120, 1, 0);  // three notches forward
    EXPECT_NEAR(Settled(), start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
    for (int n = 0; n < 24; ++n) PreviewWindowWheelTurn(-15, 1, 0);  // fine steps back
    // A driver's absurd delta counts as twenty notches; nothing leaves the distance negative or undefined.
    PreviewWindowWheelTurn(std::numeric_limits<int32_t>::max(), 1, kOptionKeyModifier);  // Alt+wheel alike
    EXPECT_NEAR(Settled(), start / std::pow(kWheelZoomPerNotch, 20), start * 1e-9);
    for (int n = 0; n < 200; ++n) PreviewWindowWheelTurn(n < 100 ? -(1 << 30) : 1 << 30, 1, 0);
    EXPECT_TRUE(std::isfinite(Settled()) && rt.eyeDistance > 0) << rt.eyeDistance;
    rt.eyeDistance = NAN, rt.eyeDistanceVel = 0;
    PreviewWindowWheelTurn(120, 1, 0);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
    // A tap of a zoom key shorter than a frame moves one notch, also with Ctrl; repeats add nothing.
    rt.eyeDistance = start;
    SetControl(kPausedControl);
    for (uint8_t code : {kMinusKey, kKeypadMinusKey, kPageUpKey})
        Key(kKeyDownEvent, 0, code, kCmdKeyModifier), Key(kAutoKeyEvent, 0, code), Key(kKeyUpEvent, 0, code);
    Pass(60);
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
}

// Every mode that places the eye beside the followed body: orbiting it and chasing it.
struct EyeOutsideTheBody : Input, ::testing::WithParamInterface<int32_t> {};

TEST_P(EyeOutsideTheBody, ZoomingInStopsAboveTheSurface) {
    constexpr double kRadius = 6.4e6;
    const int32_t planet = AddBody("Planet", 1e9, 0, 0, kRadius, -2e9);
    BodyList()->body[planet].vel[0] = 3e4;  // the chasing modes look along it
    AddBody("Moon", 1.5e9, 0, 0, 1e6, -2e9);  // a nearest body for the modes that look at one
    set.cameraMode = GetParam(), set.cameraSelection = planet;
    SetControl(kPausedControl);
    const double floor = NearestEyeDistance(kRadius);
    Key(kKeyDownEvent, '-', kKeypadMinusKey);  // held long (the repeat factor grows to 16), and the wheel spun
    double closest = INFINITY;
    for (int n = 0; n < 400; ++n) {
        ticks.ticks += 6;
        PreviewWindowWheelTurn(5 * 120, 1, 0);
        Pass();
        if (n > 200) closest = std::min(closest, EyeToBody(planet));  // the eye has come over from far away
    }
    Key(kKeyUpEvent, '-', kKeypadMinusKey);
    EXPECT_GE(closest, floor * (1 - 1e-12));
    EXPECT_LT(closest, floor * 1.01);
    PreviewWindowWheelTurn(-120, 1, 0);  // zooming out answers at once: nothing is left pending
    Pass(40);
    EXPECT_NEAR(rt.eyeDistance, floor * kWheelZoomPerNotch, floor * 1e-6);
}
INSTANTIATE_TEST_SUITE_P(Modes, EyeOutsideTheBody, ::testing::Values(1, 2, 3, 16, 17, 20));

// A camera looking along -x from (4e7, 0, 0) with a focal length of 400 pixels at bodies
// drawn as: 0 a disc 120 pixels across at the centre, 1 nearer and 40 across in front of it,
// 2 a point 200 pixels right of the centre, 3 behind the eye.
TEST_F(Input, ADoubleClickFollowsTheBodyDrawnInFrontOrWithinAFewPixelsInOneUndoStep) {
    const double where[4][4] = {{0, 0, 0, 6e6}, {2e7, 0, 0, 1e6}, {0, 2e7, 0, 1e3}, {8e7, 0, 0, 1e7}};
    for (const auto& w : where) AddBody("B", 0, 0, 0, w[3]);
    TransferICsToRT();
    for (int b = 0; b < 4; ++b) std::copy(where[b], where[b] + 3, BodyRTList()->body[b].pos);
    rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
    rt.eyePos[0] = 4e7, rt.eyePos[1] = rt.eyePos[2] = 0, rt.focalLength = 400, set.minPointSize = 3;
    BodyRTList()->body[3].screenPos = Point{int16_t(renderCY), int16_t(renderCX + 300)};  // drawn there once
    const auto At = [](int dh, int dv) { DoMainWindowDoubleClick(Point{int16_t(renderCY + dv), int16_t(renderCX + dh)}); };
    At(200, 0);  // orbiting the origin, the camera now orbits the body; one undo step takes both back
    EXPECT_EQ(set.cameraSelection * 10 + set.cameraMode, 21);
    EXPECT_TRUE(UndoLastChange() && !CanUndo() && set.cameraSelection + set.cameraMode == 0);
    set.cameraMode = 17;  // a mode that already follows a body is kept
    // Where, then the body followed: front disc, empty sky, a stale place, the disc around it, its edge, the point.
    for (const auto& [dh, dv, body] : {std::tuple{0, 0, 1}, {220, 0, 1}, {300, 0, 1}, {40, 30, 0}, {62, 0, 0}, {203, 0, 2}}) {
        At(dh, dv);
        EXPECT_EQ(set.cameraSelection * 100 + set.cameraMode, body * 100 + 17) << dh << "," << dv;
    }
}

}  // namespace
