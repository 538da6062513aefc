#include "core/Events.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Control.h"
#include "core/Menus.h"
#include "core/PushBudget.h"
#include "platform/Platform.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "shell/History.h"
#include "windows/ObjectWindow.h"

uint32_t keyHitTC = 0;
uint32_t mainWindowHitTC = 0;
uint16_t inBackground = 0;
uint8_t staying = 1;
uint16_t mMouseState = 0;
MouseDrag mainWindowDrag = MouseDrag::Turn;
int32_t wheelAngleRemainder[2] = {0, 0};

namespace {

int32_t KeypadFlag(uint8_t keyCode) {
    switch (keyCode) {
        case kKeypadPlusKey: return kKeypadPlusControl;
        case kKeypadMinusKey: return kKeypadMinusControl;
        case kKeypad2Key: return kKeypad2Control;
        case kKeypad4Key: return kKeypad4Control;
        case kKeypad6Key: return kKeypad6Control;
        case kKeypad7Key: return kKeypad7Control;
        case kKeypad8Key: return kKeypad8Control;
        case kKeypad9Key: return kKeypad9Control;
        case kMinusKey: case kPageUpKey: return kKeypadMinusControl;
        case kEqualKey: case kPageDownKey: return kKeypadPlusControl;
        default: return -1;
    }
}

int32_t ArrowFlag(uint8_t ch) {
    switch (ch) {
        case 28: return kLeftArrowControl;
        case 29: return kRightArrowControl;
        case 30: return kUpArrowControl;
        case 31: return kDownArrowControl;
        default: return -1;
    }
}

}  // namespace

namespace {
// No real wheel turns farther between two events; a larger delta is a faulty device or driver.
constexpr int32_t kMostNotchesPerEvent = 20;

// Wheel zoom scales where the eye is heading (its distance plus what is still
// pending), so a fast spin can never carry it through zero or past the target.
void ZoomEyeByWheel(int32_t eighthsOfDegree) {
    const double heading = rt.eyeDistance + rt.eyeDistanceVel;
    if (!(heading > 0) || std::isinf(heading)) return;
    const int32_t turn = std::clamp(eighthsOfDegree, -kMostNotchesPerEvent * 120, kMostNotchesPerEvent * 120);
    const double factor = std::pow(kWheelZoomPerNotch, -double(turn) / 120.0);
    const double change = heading * (factor - 1.0);
    if (std::isfinite(change)) rt.eyeDistanceVel += change;
}
}  // namespace

void DoKeyEv() {
    const uint8_t ch = theEvent.message & 0xFF;
    const uint8_t keyCode = (theEvent.message >> 8) & 0xFF;
    const int32_t keypadFlag = KeypadFlag(keyCode);
    if (theEvent.modifiers & kCmdKeyModifier) {
        // A keypad key steers, also with the command key; it is never a menu shortcut.
        if (keypadFlag < 0)
            if (const int32_t choice = MenuKey(ch, theEvent.modifiers)) HandleMenuEv(choice);
    } else {
        if (int32_t flag = ArrowFlag(ch); flag >= 0) SetControl(flag);
        else if (ch == ' ') ToggleControl(kPausedControl);
        else if (ch == 'F' || ch == 'f') ToggleControl(kShowFPSControl);
        else if (ch == 27) {  // Escape stops the run, also in the middle of a long batch
            SetControl(kPausedControl);
            DropPushBatch();
        } else if (ch == 7) SysBeep();
    }
    if (keypadFlag >= 0) SetControl(keypadFlag);
    // A tap can begin and end between two frames, where the held flag alone would do
    // nothing: the press itself moves the eye as one notch of the wheel does.
    if (theEvent.what == kKeyDownEvent && keypadFlag == kKeypadMinusControl) ZoomEyeByWheel(120);
    if (theEvent.what == kKeyDownEvent && keypadFlag == kKeypadPlusControl) ZoomEyeByWheel(-120);
    if (theEvent.what == kKeyDownEvent) keyHitTC = theEvent.when;
}

void DoKeyUpEv() {
    const uint8_t ch = theEvent.message & 0xFF;
    const uint8_t keyCode = (theEvent.message >> 8) & 0xFF;
    if (int32_t flag = ArrowFlag(ch); flag >= 0) ClearControl(flag);
    else if (ch == 7) SysBeep();
    if (int32_t flag = KeypadFlag(keyCode); flag >= 0) ClearControl(flag);
    keyHitTC = 0;
}

void DoMainWindowMouseDown(MouseDrag drag) {
    mainWindowHitTC = theEvent.when;
    mainWindowDrag = drag;
}

void DoMouseUpEv() {
    if (mainWindowHitTC != 0 && theEvent.when < mainWindowHitTC + Platform().DoubleClickTicks())
        DoMainWindowHit(BufferPointFromWindow(theEvent.where));  // bodies are placed in buffer pixels
    mainWindowHitTC = 0;
    mainWindowDrag = MouseDrag::Turn;
}

namespace {
// A double-click this near a body's drawn disc (or its point) still finds it.
constexpr int32_t kPickSlopPixels = 4;
}  // namespace

void DoMainWindowDoubleClick(Point where) {
    const Point at = BufferPointFromWindow(where);  // bodies are placed in buffer pixels
    const int32_t index = BodyUnderPoint(at.h, at.v, DevicePixels(kPickSlopPixels));
    // The camera body menu numbers its bodies from item 3.
    if (index < 0 || index > std::numeric_limits<int16_t>::max() - 3) return;
    // The same commands as choosing from the menus, so the change is one undo step.
    UndoableChange change("Follow Body");
    if (!CameraModeUsesBody(set.cameraMode)) HandleMenuEv(MenuChoice(kCameraModeMenu, kOrbitBodyItem));
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, int16_t(index + 3)));
}

void DoMainWindowHit(Point where) {
    BodyRTListStruct* bodies = BodyRTList();
    if (!bodies) return;
    int32_t best = 2147483647, chosen = -1;
    for (int32_t i = bodies->count - 1; i >= 0; --i) {
        const int32_t dv = int32_t(bodies->body[i].screenPos.v) - where.v;
        const int32_t dh = int32_t(bodies->body[i].screenPos.h) - where.h;
        const int64_t d2 = int64_t(dv) * dv + int64_t(dh) * dh;
        if (d2 < best) best = int32_t(d2), chosen = i;
    }
    rt.selectedBody = chosen;
    UpdateObjectWindowVars();
}

void DoOSEv() {
    if ((theEvent.message >> 24) != 1) return;
    const bool resume = theEvent.message & 1;
    inBackground = resume ? 0 : 1;
    SetControl(resume ? kResumeControls : kSuspendControls);
}

namespace {
int32_t SaturatingAdd(int32_t a, int64_t b) {
    return int32_t(std::clamp<int64_t>(int64_t(a) + b, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}
}  // namespace

namespace {
void AddWheelUnits(uint16_t axis, int64_t units) {
    if (units == 0) return;
    int32_t& delta = axis == 0 ? wheelDeltaX : wheelDeltaY;
    delta = SaturatingAdd(delta, units);
    if (!GetControl(kSuspendedControl)) SetControl(kMouseTrackControl);
}
}  // namespace

void PreviewWindowWheelHit(int32_t delta, uint16_t axis) {
    if (axis > 1) {
        SysBeep();
        return;
    }
    AddWheelUnits(axis, int64_t(delta) * 4);
}

void PreviewWindowWheelAngle(int32_t eighthsOfDegree, uint16_t axis) {
    if (axis > 1) {
        SysBeep();
        return;
    }
    // A notch is 4 units: 30 eighths of a degree make one unit; the rest waits for the next turn.
    const int64_t total = int64_t(wheelAngleRemainder[axis]) + int64_t(eighthsOfDegree) * 4;
    const int64_t units = total / 120;
    wheelAngleRemainder[axis] = int32_t(total - units * 120);
    AddWheelUnits(axis, units);
}

void PreviewWindowWheelTurn(int32_t eighthsOfDegree, uint16_t axis, uint16_t modifiers) {
    const bool turnsOrPans = modifiers & (kShiftKeyModifier | kCmdKeyModifier);
    if (axis == 1 && !turnsOrPans) ZoomEyeByWheel(eighthsOfDegree);
    else PreviewWindowWheelAngle(eighthsOfDegree, axis);
}

int32_t KeyRepeatFactorFor(uint32_t ticksHeld, uint32_t repeatDelay) {
    const uint32_t q = repeatDelay ? ticksHeld / repeatDelay : 0;
    if (q <= 1) return 1;
    if (q <= 3) return 2;
    if (q <= 5) return 4;
    if (q <= 7) return 8;
    return 16;
}

void UpdateControlsFromModifiers() {
    const uint16_t m = theEvent.modifiers;
    // A right-button drag zooms as Alt does and a middle-button drag pans as Ctrl does.
    const bool pressed = mainWindowHitTC != 0;
    if ((m & kOptionKeyModifier) || (pressed && mainWindowDrag == MouseDrag::Zoom)) SetControl(kOptionKeyControl);
    else ClearControl(kOptionKeyControl);
    if ((m & (kShiftKeyModifier | kAlphaLockModifier)) || pressed) SetControl(kMouseTrackControl);
    else ClearControl(kMouseTrackControl);
    if ((m & kCmdKeyModifier) || (pressed && mainWindowDrag == MouseDrag::Pan)) SetControl(kCommandKeyControl);
    else ClearControl(kCommandKeyControl);
    rt.keyRepeatFactor = keyHitTC ? KeyRepeatFactorFor(TickCount() - keyHitTC, Platform().KeyRepeatThreshTicks()) : 1;
}

uint16_t MouseCursorState() {
    if (inBackground || !GetControl(kMouseTrackControl)) return 0;
    if (GetControl(kCommandKeyControl)) return 4;
    if (GetControl(kOptionKeyControl)) return rt.eyeDistanceVel < 0 ? 1 : 2;
    return 3;
}

bool MenuBarWanted(bool mouseInMenuBarStrip) {
    return !disappearingMenuBar || inBackground || mouseInMenuBarStrip;
}
