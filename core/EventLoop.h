// The event loop's record of the last event and the state every event handler shares:
// whether the loop goes on, and the wheel turns that frames have yet to play out.
#pragma once
#include <cstdint>

#include "core/Records.h"

// The event the loop fetched last; the loop refreshes `where` on every pass.
struct EventRecord {
    uint16_t what;
    uint32_t message;
    uint32_t when;
    Point where;
    uint16_t modifiers;
};
extern EventRecord theEvent;

// Event kinds and modifier bits of the event record.
constexpr uint16_t kMouseDownEvent = 1;
constexpr uint16_t kMouseUpEvent = 2;
constexpr uint16_t kKeyDownEvent = 3;
constexpr uint16_t kKeyUpEvent = 4;
constexpr uint16_t kAutoKeyEvent = 5;
constexpr uint16_t kOSEvent = 15;
constexpr uint16_t kCmdKeyModifier = 256;
constexpr uint16_t kShiftKeyModifier = 512;
constexpr uint16_t kAlphaLockModifier = 1024;
constexpr uint16_t kOptionKeyModifier = 2048;

extern uint8_t staying;  // the loop runs while this is set; Quit clears it
// Wheel turns not yet played out by the frames, per axis.
extern int32_t wheelDeltaX;
extern int32_t wheelDeltaY;
