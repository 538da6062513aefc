// Qt input in the terms of the logic's event records, shared by every window.
#pragma once
#include <Qt>
#include <cstdint>

class QKeyEvent;

uint16_t ClassicModifiers(Qt::KeyboardModifiers m);
// Character code (bits 0-7) and classic virtual key code (bits 8-15) of a Qt key event.
uint32_t ClassicKeyMessage(const QKeyEvent* e);
// A keypad key that steers the camera: it sets its flag also with Ctrl held and
// is never taken as a menu shortcut (Qt would read Ctrl+keypad 2 as Ctrl+2).
bool IsSteeringKeypadKey(const QKeyEvent* e);
