#include "core/Control.h"

#include "core/Records.h"

namespace {
// Flag numbers outside 0..127 name nothing; they read as clear and change nothing.
bool Valid(int32_t n) { return n >= 0 && n < 128; }
uint32_t Bit(int32_t n) { return 1u << (n & 31); }
uint32_t& Word(int32_t n) { return rt.controlFlags[n >> 5]; }
}  // namespace

void SetControl(int32_t n) {
    if (n & kSpecialControlBit) {
        if (n == kSuspendControls) {
            rt.controlFlags[1] = 0;
            Word(kSuspendedControl) |= Bit(kSuspendedControl);
        } else if (n == kResumeControls) {
            Word(kSuspendedControl) &= ~Bit(kSuspendedControl);
        }
        return;
    }
    if (!Valid(n) || GetControl(kSuspendedControl)) return;
    Word(n) |= Bit(n);
}

void ClearControl(int32_t n) {
    if (Valid(n)) Word(n) &= ~Bit(n);
}

void ToggleControl(int32_t n) {
    if (Valid(n)) Word(n) ^= Bit(n);
}

int32_t GetControl(int32_t n) { return Valid(n) && (Word(n) & Bit(n)) ? 1 : 0; }
