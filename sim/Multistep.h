// History slots and the Adams–Bashforth predictor shared by the two multistep methods.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "sim/Integrators.h"

// Slot of the history written by the push with this count (the low two bits).
inline int HistorySlot(int64_t pushCount) { return int(pushCount & 3); }

inline void StoreHistory(BodyRTStruct& b, int slot) {
    for (int n = 0; n < 3; ++n) {
        b.velHistory[slot][n] = b.vel[n];
        b.accHistory[slot][n] = b.acc[n];
    }
}

// True while the multistep methods lack the three earlier pushes they extrapolate from.
// Such pushes fill the history and advance the bodies by a start-up method instead.
bool MultistepStartUpPush(BodyRTListStruct* list, const PushStep& step);

// Fourth-order Adams–Bashforth prediction of one body's velocity and position.
void PredictAdamsBashforth(const BodyRTStruct& b, int64_t pushCount, double dt, double vOut[3], double xOut[3]);
