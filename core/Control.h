// The 128 numbered control flags held in rt.controlFlags.
#pragma once
#include <cstdint>

constexpr int32_t kPausedControl = 0;
constexpr int32_t kOptionKeyControl = 32;
constexpr int32_t kCommandKeyControl = 33;
constexpr int32_t kRightArrowControl = 40;
constexpr int32_t kLeftArrowControl = 41;
constexpr int32_t kUpArrowControl = 42;
constexpr int32_t kDownArrowControl = 43;
constexpr int32_t kMouseTrackControl = 48;
constexpr int32_t kKeypadMinusControl = 49;
constexpr int32_t kKeypadPlusControl = 50;
constexpr int32_t kKeypad6Control = 51;
constexpr int32_t kKeypad4Control = 52;
constexpr int32_t kKeypad8Control = 53;
constexpr int32_t kKeypad2Control = 54;
constexpr int32_t kKeypad9Control = 55;
constexpr int32_t kKeypad7Control = 56;
constexpr int32_t kShowFPSControl = 63;
constexpr int32_t kSuspendedControl = 96;

constexpr int32_t kSpecialControlBit = 1 << 24;
constexpr int32_t kSuspendControls = kSpecialControlBit;
constexpr int32_t kResumeControls = kSpecialControlBit + 1;

void SetControl(int32_t n);
void ClearControl(int32_t n);
void ToggleControl(int32_t n);
int32_t GetControl(int32_t n);
