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

// Records this push's history for every live body. While fewer than three consecutive
// earlier pushes of this run with this time step are recorded (after a rebuild, a restart
// of the count, a switch from a one-step method, a new time step or a restart below), the
// push is made by Runge–Kutta so the extrapolation never uses stale or unwritten slots,
// and true is returned. Otherwise the caller makes the multistep push and false is returned.
bool MultistepStartUpPush(BodyRTListStruct* list, const PushStep& step);

// Which pushes the history slots hold: `recorded` consecutive pushes ending at `lastPush`.
struct MultistepHistoryRun {
    int64_t lastPush = -1;
    double dt = 0.0;
    int32_t bodyCount = 0;
    int recorded = 0;
};
// The calling thread's record (each thread that pushes keeps its own); a copy of the
// system carries a copy of it along to continue exactly as the original would.
MultistepHistoryRun& ThreadMultistepHistory();

// Forgets the history: velocities changed outside the integrator (thrust, merges), so
// the earlier pushes no longer lie on the path the bodies now follow.
void RestartMultistepHistory();

// Fourth-order Adams–Bashforth prediction of one body's velocity and position.
void PredictAdamsBashforth(const BodyRTStruct& b, int64_t pushCount, double dt, double vOut[3], double xOut[3]);
