// Turning platform events into control flags, camera input and selection.
#pragma once
#include <cstdint>

#include "core/EventLoop.h"
#include "core/Records.h"


// Virtual key codes of the keypad keys that steer the camera.
constexpr uint8_t kKeypadPlusKey = 69, kKeypadMinusKey = 78, kKeypad2Key = 84, kKeypad4Key = 86,
                  kKeypad6Key = 88, kKeypad7Key = 89, kKeypad8Key = 91, kKeypad9Key = 92;
// Keys of the main keyboard that move the eye like keypad + and -, for keyboards
// without a keypad: = (+ when shifted) and Page Down move it farther, - and Page Up closer.
constexpr uint8_t kEqualKey = 24, kMinusKey = 27, kPageUpKey = 116, kPageDownKey = 121;

extern uint32_t keyHitTC;
extern uint32_t mainWindowHitTC;
extern uint16_t inBackground;

// Handlers for the event in theEvent.
void DoKeyEv();
void DoKeyUpEv();
// What dragging with the pressed button does: the left button turns the view,
// the right one moves the eye closer or farther as Alt does, the middle one pans as Ctrl does.
enum class MouseDrag : uint8_t { Turn, Zoom, Pan };
extern MouseDrag mainWindowDrag;
void DoMainWindowMouseDown(MouseDrag drag = MouseDrag::Turn);  // a press in the main window's content
void DoMouseUpEv();             // where in main-window coordinates
void DoOSEv();                  // suspend / resume
void DoMainWindowHit(Point where);
// A double-click in the main window: the camera follows the body under the point, if any.
void DoMainWindowDoubleClick(Point where);
// Wheel turn over the main window: axis 0 horizontal, 1 vertical; delta in notches.
void PreviewWindowWheelHit(int32_t delta, uint16_t axis);
// The same in eighths of a degree (120 to a notch): touchpads and fine wheels
// send fractions of a notch, which add up until they make a unit of motion.
void PreviewWindowWheelAngle(int32_t eighthsOfDegree, uint16_t axis);
extern int32_t wheelAngleRemainder[2];  // per axis, in 1/120 of a unit
// A wheel turn as the main window receives it, with the modifier bits held: the
// plain (or Alt) vertical wheel moves the eye, turning forward brings it closer;
// with Shift, and the horizontal wheel, it goes to PreviewWindowWheelAngle and
// turns the view, with Ctrl it goes there too and pans.
void PreviewWindowWheelTurn(int32_t eighthsOfDegree, uint16_t axis, uint16_t modifiers);
// Each notch of the wheel changes the eye distance by this factor.
constexpr double kWheelZoomPerNotch = 1.2;
// What every pass of the loop does after the event: modifier flags and the key-repeat factor.
void UpdateControlsFromModifiers();
int32_t KeyRepeatFactorFor(uint32_t ticksHeld, uint32_t repeatDelay);

// The cursor the main window shows between events: 0 arrow, 1 zooming in,
// 2 zooming out, 3 steering, 4 the command-key cursor.
extern uint16_t mMouseState;
uint16_t MouseCursorState();
// Whether the full-screen layout should show the menu bar now.
bool MenuBarWanted(bool mouseInMenuBarStrip);
