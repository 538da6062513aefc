// Keys, clicks, drags and the wheel as they reach the camera and the selection,
// with or without a keypad; no zoom carries the eye into the body it follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "FrameServices.h"
#include "core/History.h"
#include "core/Menus.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

namespace {

class Input : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        SetupMenus();
        ClearUndoHistory();
        rt.keyRepeatFactor = 1;
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
    static void Settle() {
        for (int n = 0; n < 80; ++n) DoCameraWork();
    }
    void Click(Point where, uint32_t heldTicks) {
        theEvent.when = ticks.ticks;
        DoMainWindowMouseDown();
        theEvent.when = ticks.ticks + heldTicks;
        theEvent.where = where;
        DoMouseUpEv();
    }
};

TEST_F(Input, EachSteeringKeyHoldsItsOwnFlagUntilItComesUpAlsoWithCtrl) {
    sink.moves = 0;
    const std::tuple<uint8_t, uint8_t, int32_t> keys[] = {
        {28, 0, kLeftArrowControl}, {29, 0, kRightArrowControl}, {30, 0, kUpArrowControl}, {31, 0, kDownArrowControl},
        {'2', kKeypad2Key, kKeypad2Control}, {'4', kKeypad4Key, kKeypad4Control}, {'6', kKeypad6Key, kKeypad6Control},
        {'7', kKeypad7Key, kKeypad7Control}, {'8', kKeypad8Key, kKeypad8Control}, {'9', kKeypad9Key, kKeypad9Control},
        {'+', kKeypadPlusKey, kKeypadPlusControl}, {'-', kKeypadMinusKey, kKeypadMinusControl},
        {'=', kEqualKey, kKeypadPlusControl}, {'-', kMinusKey, kKeypadMinusControl},
        {0, kPageDownKey, kKeypadPlusControl}, {0, kPageUpKey, kKeypadMinusControl}};
    for (const auto& [ch, code, flag] : keys)
        for (uint16_t modifiers : {0, int(kCmdKeyModifier)}) {
            if (code == 0 && modifiers) continue;  // Ctrl+arrow is for the menus
            Key(kKeyDownEvent, ch, code, modifiers);
            for (int32_t f = 0; f < 128; ++f) EXPECT_EQ(GetControl(f), f == flag) << int(code) << " flag " << f;
            EXPECT_EQ(keyHitTC, ticks.ticks);
            Key(kKeyUpEvent, ch, code, modifiers);
            EXPECT_EQ(GetControl(flag) + keyHitTC, 0u);
        }
    EXPECT_EQ(sink.moves, 0);  // Ctrl+keypad 2 is not the layout shortcut Ctrl+2
    Key(kKeyDownEvent, '2', 0, kCmdKeyModifier);
    EXPECT_GT(sink.moves, 0);
    Key(kKeyDownEvent, 'q', 0, kCmdKeyModifier);  // Ctrl+Q quits through the menus
    EXPECT_EQ(staying, 0);
    staying = 1;
    const int expected[] = {1, 1, 2, 2, 4, 4, 8, 8, 16, 16, 16};  // by repeat delays the key was held
    for (uint32_t q = 0; q < 11; ++q) EXPECT_EQ(KeyRepeatFactorFor(q * 20, 20), expected[q]) << q;
}

TEST_F(Input, SpaceAndFToggleOnEveryPressAndEscapePausesAndDropsTheBatch) {
    Key(kKeyDownEvent, ' ');
    Key(kAutoKeyEvent, ' ');
    Key(kKeyDownEvent, ' ');
    Key(kKeyDownEvent, 'f');
    Key(kKeyUpEvent, 'f');
    Key(kKeyDownEvent, 'F');
    Key(kKeyDownEvent, 'F');
    EXPECT_EQ(GetControl(kPausedControl) * 10 + GetControl(kShowFPSControl), 11);
    pushBudget.owed = 1000;
    Key(kKeyDownEvent, 27);
    Key(kKeyDownEvent, 27);
    EXPECT_EQ(GetControl(kPausedControl), 1);
    EXPECT_EQ(pushBudget.owed, 0);
    Key(kKeyDownEvent, ' ', 0, kCmdKeyModifier);  // with Ctrl no toggle
    EXPECT_EQ(GetControl(kPausedControl), 1);
}

TEST_F(Input, ModifierKeysAndMouseButtonsChooseWhatTheMouseDoes) {
    using D = MouseDrag;
    // modifiers, a press pending with this drag, then the Alt, tracking and Ctrl flags.
    const std::tuple<uint16_t, bool, D, int, int, int> cases[] = {
        {0, false, D::Turn, 0, 0, 0},  {kShiftKeyModifier, false, D::Turn, 0, 1, 0},
        {kAlphaLockModifier, false, D::Turn, 0, 1, 0}, {kOptionKeyModifier, false, D::Turn, 1, 0, 0},
        {kCmdKeyModifier, false, D::Turn, 0, 0, 1}, {0, true, D::Turn, 0, 1, 0},
        {0, true, D::Zoom, 1, 1, 0},   {0, true, D::Pan, 0, 1, 1}};
    for (const auto& [modifiers, pressed, drag, option, track, command] : cases) {
        theEvent = EventRecord{};
        theEvent.when = 5;
        if (pressed) DoMainWindowMouseDown(drag);
        theEvent.modifiers = modifiers;
        UpdateControlsFromModifiers();
        EXPECT_EQ(GetControl(kOptionKeyControl), option) << modifiers << " " << int(drag);
        EXPECT_EQ(GetControl(kMouseTrackControl), track) << modifiers << " " << int(drag);
        EXPECT_EQ(GetControl(kCommandKeyControl), command) << modifiers << " " << int(drag);
        EXPECT_EQ(MouseCursorState(), command && track ? 4 : option && track ? 2 : track ? 3 : 0);
        DoMouseUpEv();
    }
    ClearControl(kCommandKeyControl);
    SetControl(kOptionKeyControl);
    SetControl(kMouseTrackControl);
    rt.eyeDistanceVel = -1;
    EXPECT_EQ(MouseCursorState(), 1);  // zooming in
    theEvent.message = 1u << 24;       // suspended: the modifier flags go and stay off
    DoOSEv();
    EXPECT_EQ(MouseCursorState() + GetControl(kOptionKeyControl), 0);
    EXPECT_TRUE(MenuBarWanted(false));
    theEvent.modifiers = kCmdKeyModifier;
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    theEvent.message = (1u << 24) | 1;  // resumed
    DoOSEv();
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
    disappearingMenuBar = 1;
    EXPECT_FALSE(MenuBarWanted(false));
    EXPECT_TRUE(MenuBarWanted(true));
    disappearingMenuBar = 0;
}

TEST_F(Input, AQuickClickSelectsTheNearestBodyAndAPressHeldLongerSelectsNothing) {
    const std::array<Point, 3> drawn = {Point{10, 10}, Point{30, 10}, Point{100, 100}};
    for (size_t i = 0; i < drawn.size(); ++i) AddBody("B", double(i), 0, 0, 1);
    TransferICsToRT();
    for (size_t i = 0; i < drawn.size(); ++i) BodyRTList()->body[i].screenPos = drawn[i];
    rt.selectedBody = -1;
    Click(Point{20, 10}, 31);  // the double-click interval is 30 ticks
    EXPECT_EQ(rt.selectedBody, -1);
    Click(Point{20, 10}, 10);  // as far from bodies 0 and 1: the later one
    EXPECT_EQ(rt.selectedBody, 1);
    Click(Point{90, 95}, 10);
    EXPECT_EQ(rt.selectedBody, 2);
}

TEST_F(Input, EachInputMovesTheCameraItsOwnWay) {
    SetControl(kPausedControl);
    using R = double RunTimeStruct::*;
    const R yaw = &RunTimeStruct::yawRate, pitch = &RunTimeStruct::pitchRate, panI = &RunTimeStruct::panIVel,
            panJ = &RunTimeStruct::panJVel, zoom = &RunTimeStruct::eyeDistanceVel;
    const std::tuple<int32_t, bool, R, int> keys[] = {
        {kKeypad6Control, false, yaw, -1}, {kKeypad4Control, false, yaw, 1}, {kKeypad8Control, false, pitch, 1},
        {kKeypad2Control, false, pitch, -1}, {kKeypad6Control, true, panI, -1}, {kKeypad4Control, true, panI, 1},
        {kKeypad8Control, true, panJ, -1}, {kKeypad2Control, true, panJ, 1}, {kKeypad9Control, false, panI, -1},
        {kKeypad7Control, false, panI, 1}, {kKeypadMinusControl, false, zoom, -1}, {kKeypadPlusControl, false, zoom, 1}};
    for (const auto& [flag, cmd, field, sign] : keys) {
        for (R f : {yaw, pitch, panI, panJ, zoom}) rt.*f = 0;
        SetControl(flag);
        if (cmd) SetControl(kCommandKeyControl);
        DoTask(1);
        EXPECT_GT(sign * (rt.*field), 0) << flag << " " << cmd;
        ClearControl(flag);
        ClearControl(kCommandKeyControl);
    }
    // Dragging 20 pixels up: tilts, with Alt (the right button) moves the eye farther, with Ctrl pans.
    for (const auto& [modifier, field, sign] : {std::tuple{-1, pitch, 1}, {kOptionKeyControl, zoom, 1},
                                                {kCommandKeyControl, panJ, -1}}) {
        for (R f : {yaw, pitch, panI, panJ, zoom}) rt.*f = 0;
        SetControl(kMouseTrackControl);
        SetControl(modifier);
        olPos = Point{200, 300};
        theEvent.where = Point{180, 300};
        DoTask(1);
        EXPECT_GT(sign * (rt.*field), 0) << modifier;
        ClearControl(modifier);
    }
}

TEST_F(Input, WheelNotchesAddUpAndSaturate) {
    PreviewWindowWheelHit(1, 1);
    PreviewWindowWheelHit(-2, 0);
    PreviewWindowWheelHit(5, 2);  // no such axis: a beep
    EXPECT_EQ(wheelDeltaX * 100 + wheelDeltaY, -796);
    EXPECT_EQ(GetControl(kMouseTrackControl), 1);
    wheelDeltaX = wheelDeltaY = 0;
    for (int i = 0; i < 8; ++i) PreviewWindowWheelAngle(15, 1);  // eighths of a notch from a touchpad
    PreviewWindowWheelAngle(20, 0);
    EXPECT_EQ(wheelDeltaX * 100 + wheelDeltaY, 4);
    PreviewWindowWheelAngle(10, 0);  // less than a unit waits for the next turn
    PreviewWindowWheelAngle(180, 0);
    EXPECT_EQ(wheelDeltaX, 7);
    for (int i = 0; i < 2; ++i) PreviewWindowWheelHit(2000000000, 1);
    EXPECT_EQ(wheelDeltaY, 2147483647);
    // The camera takes the delta over four frames, halving it each time.
    wheelDeltaX = 0, wheelDeltaY = 8;
    double last = 0;
    for (int f = 0; f < 5; ++f) {
        DoTask(1);
        EXPECT_NEAR(2 * rt.pitchRate - last, (8 >> f) * M_PI / 512, 1e-12) << f;
        last = rt.pitchRate;
    }
}

TEST_F(Input, TheVerticalWheelZoomsByTheSameFactorPerNotchShiftAndCtrlTurnAndPan) {
    const double start = rt.eyeDistance;
    PreviewWindowWheelTurn(3 * 120, 1, 0);  // three notches forward
    Settle();
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
    for (int n = 0; n < 24; ++n) PreviewWindowWheelTurn(-15, 1, 0);  // fine steps back
    PreviewWindowWheelTurn(120, 1, kOptionKeyModifier);  // Alt+wheel alike
    Settle();
    EXPECT_NEAR(rt.eyeDistance, start / kWheelZoomPerNotch, start * 1e-9);
    EXPECT_EQ(wheelDeltaX + wheelDeltaY, 0);
    const double pending = rt.eyeDistanceVel;
    PreviewWindowWheelTurn(120, 1, kShiftKeyModifier);
    PreviewWindowWheelTurn(120, 1, kCmdKeyModifier);
    PreviewWindowWheelTurn(-120, 0, 0);
    EXPECT_EQ(wheelDeltaX * 100 + wheelDeltaY, -392);
    EXPECT_EQ(rt.eyeDistanceVel, pending);
    // A driver's absurd delta counts as twenty notches; nothing leaves the distance negative or undefined.
    const double now = rt.eyeDistance;
    PreviewWindowWheelTurn(std::numeric_limits<int32_t>::max(), 1, 0);
    Settle();
    EXPECT_NEAR(rt.eyeDistance, now / std::pow(kWheelZoomPerNotch, 20), now * 1e-9);
    for (int n = 0; n < 200; ++n) PreviewWindowWheelTurn(n < 100 ? -(1 << 30) : 1 << 30, 1, 0);
    Settle();
    EXPECT_TRUE(std::isfinite(rt.eyeDistance) && rt.eyeDistance > 0) << rt.eyeDistance;
    rt.eyeDistance = NAN;
    rt.eyeDistanceVel = 0;
    PreviewWindowWheelTurn(120, 1, 0);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
}

TEST_F(Input, ATapOfAZoomKeyMovesOneNotchAndHoldingItMovesOnEachFrame) {
    SetControl(kPausedControl);
    const double start = rt.eyeDistance;
    for (uint8_t code : {kMinusKey, kKeypadMinusKey, kPageUpKey}) Key(kKeyDownEvent, 0, code), Key(kKeyUpEvent, 0, code);
    Pass(60);
    EXPECT_NEAR(rt.eyeDistance, start / std::pow(kWheelZoomPerNotch, 3), start * 1e-9);
    for (uint8_t code : {kEqualKey, kKeypadPlusKey, kPageDownKey})
        Key(kKeyDownEvent, 0, code, kCmdKeyModifier), Key(kKeyUpEvent, 0, code, kCmdKeyModifier);
    Pass(60);
    EXPECT_NEAR(rt.eyeDistance, start, start * 1e-9);
    const double pending = rt.eyeDistanceVel;  // auto-repeats add no steps of their own
    Key(kAutoKeyEvent, 0, kMinusKey);
    Key(kKeyUpEvent, 0, kMinusKey);
    EXPECT_EQ(rt.eyeDistanceVel, pending);
    Key(kKeyDownEvent, '-', kMinusKey);  // one notch, then ten frames of 0.5 % of the distance each
    Pass(10);
    Key(kKeyUpEvent, '-', kMinusKey);
    Pass(60);
    EXPECT_NEAR(rt.eyeDistance, start / kWheelZoomPerNotch * std::pow(0.995, 10), start * 2e-3);
}

// Every mode that places the eye beside the followed body: orbiting it and chasing it.
class EyeOutsideTheBody : public Input, public ::testing::WithParamInterface<int32_t> {};

TEST_P(EyeOutsideTheBody, ZoomingInStopsAboveTheSurface) {
    constexpr double kRadius = 6.4e6;
    const int32_t planet = AddBody("Planet", 1e9, 0, 0, kRadius, -2e9);
    BodyList()->body[planet].vel[0] = 3e4;  // the chasing modes look along it
    AddBody("Moon", 1.5e9, 0, 0, 1e6, -2e9);  // a nearest body for the modes that look at one
    set.cameraMode = GetParam();
    set.cameraSelection = planet;
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
    EXPECT_GE(rt.keyRepeatFactor, 16);
    Key(kKeyUpEvent, '-', kKeypadMinusKey);
    EXPECT_GE(closest, floor * (1 - 1e-12));
    EXPECT_LT(closest, floor * 1.01);
    PreviewWindowWheelTurn(-120, 1, 0);  // zooming out answers at once: nothing is left pending
    Pass(40);
    EXPECT_NEAR(rt.eyeDistance, floor * kWheelZoomPerNotch, floor * 1e-6);
}
INSTANTIATE_TEST_SUITE_P(Modes, EyeOutsideTheBody, ::testing::Values(1, 2, 3, 16, 17, 20));

TEST_F(Input, OrbitingABodyTheZoomEndsWithTheBodyFillingTheView) {
    const int32_t planet = AddBody("Planet", 0, 0, 0, 6.4e6);
    set.cameraMode = 1;
    set.cameraSelection = planet;
    SetControl(kPausedControl);
    for (int n = 0; n < 200; ++n) PreviewWindowWheelTurn(10 * 120, 1, 0), Pass();
    Projected p;
    ASSERT_TRUE(ProjectPoint(BodyRTList()->body[planet].pos, renderCX, renderCY, p));  // ahead, not behind
    EXPECT_GT(ApparentDiameter(6.4e6, p.f), uint32_t(2 * rt.focalLength * 0.9));
    set.cameraMode = 0;  // orbiting the origin, where the planet is: no floor
    for (int n = 0; n < 60; ++n) PreviewWindowWheelTurn(120, 1, 0), Pass();
    EXPECT_LT(rt.eyeDistance, 6.4e6);
}

TEST_F(Input, ARacingBodyCannotDragTheLaggingEyeInside) {
    // The look-at point lags behind a body coming straight at the eye by up to an eighth of the
    // eye distance; a heavy star far off holds the centre of mass at the origin.
    AddBody("Star", -1e13, 0, 2e30, 7e8);
    const int32_t planet = AddBody("Planet", 0, 0, 6e24, 6.4e6);
    BodyList()->body[planet].vel[0] = 2e5;
    set.cameraMode = 1;
    set.cameraSelection = planet;
    rt.eyeDistance = NearestEyeDistance(6.4e6);
    double moved = 0;
    for (int n = 0; n < 30; ++n) {
        const double x = rt.bodyRT ? BodyRTList()->body[planet].pos[0] : 0;
        Pass();
        moved = BodyRTList()->body[planet].pos[0] - x;
        EXPECT_GE(EyeToBody(planet), NearestEyeDistance(6.4e6) * (1 - 1e-12)) << n;
    }
    EXPECT_GT(moved, rt.eyeDistance);  // it did race: farther each frame than the eye distance
}

// A camera looking along -x from (4e7, 0, 0) with a focal length of 400 pixels.
class DoubleClick : public Input {
protected:
    void SetUp() override {
        Input::SetUp();
        AddBody("Big", 0, 0, 0, 6e6);     // 0: a disc 120 pixels across at the centre
        AddBody("Near", 2e7, 0, 0, 1e6);  // 1: nearer the eye, 40 pixels across, in front of 0
        AddBody("Dot", 0, 0, 0, 1e3, 2e7);  // 2: a point 200 pixels right of the centre
        AddBody("Behind", 8e7, 0, 0, 1e7);  // 3: behind the eye
        TransferICsToRT();
        const double where[4][3] = {{0, 0, 0}, {2e7, 0, 0}, {0, 2e7, 0}, {8e7, 0, 0}};  // as drawn
        for (int b = 0; b < 4; ++b) std::copy(where[b], where[b] + 3, BodyRTList()->body[b].pos);
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
        rt.eyePos[0] = 4e7, rt.eyePos[1] = rt.eyePos[2] = 0;
        rt.focalLength = 400;
        set.minPointSize = 3;
        set.cameraSelection = set.cameraMode = 0;
        // A stale drawn position must not count: the body behind the eye was drawn here once.
        BodyRTList()->body[3].screenPos = Point{int16_t(renderCY), int16_t(renderCX + 300)};
    }
    void At(int32_t dh, int32_t dv = 0) { DoMainWindowDoubleClick(Point{int16_t(renderCY + dv), int16_t(renderCX + dh)}); }
};

TEST_F(DoubleClick, FollowsTheBodyDrawnInFrontOrWithinAFewPixels) {
    const std::pair<int32_t, int32_t> clicks[][2] = {
        {{0, 0}, {1, 0}}, {{220, 0}, {1, 0}}, {{300, 0}, {1, 0}}, {{40, 30}, {0, 0}}, {{62, 0}, {0, 0}}, {{203, 0}, {2, 0}}};
    for (const auto& c : clicks) {  // where, then the body followed after it (sky, stale, disc edge, point)
        At(c[0].first, c[0].second);
        EXPECT_EQ(set.cameraSelection, c[1].first) << c[0].first << "," << c[0].second;
    }
    renderPixelRatio = 2;  // a smallest size of 20 is drawn 40 buffer pixels across
    set.minPointSize = 20;
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 18, renderCY, 0), 2);
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 23, renderCY, 4), 2);
    EXPECT_EQ(BodyUnderPoint(renderCX + 200 + 26, renderCY, 4), -1);
    renderPixelRatio = 1;
    set.cameraMode = 8;  // riding body 1, which is not drawn: the disc behind it is found
    set.cameraSelection = 1;
    At(0);
    EXPECT_EQ(set.cameraSelection, 0);
}

TEST_F(DoubleClick, OrbitsTheBodyWhenTheCameraOrbitedTheOriginAndUndoesInOneStep) {
    At(200);
    EXPECT_EQ(set.cameraSelection * 10 + set.cameraMode, 21);
    ASSERT_TRUE(UndoLastChange());
    EXPECT_EQ(set.cameraSelection * 10 + set.cameraMode, 0);
    EXPECT_FALSE(CanUndo());
    set.cameraMode = 17;  // a mode that already follows a body is kept
    At(0);
    EXPECT_EQ(set.cameraSelection * 100 + set.cameraMode, 117);
}

}  // namespace
