// Releases the adaptive Gauss–Radau push's memory and history; the next push with
// that method starts afresh. (The push itself, GaussRadauPush, is declared with the
// other integrators.)
#pragma once
#include <cstdint>
#include <vector>

#include "core/Records.h"
#include "sim/GaussRadau.h"
#include "sim/PairPass.h"

void DisposeGaussRadauPush();

// What the push keeps between pushes. The integrator works on the live bodies only,
// packed in descending index order; the pair evaluation sees the whole list.
struct GaussRadauPushMemory {
    GaussRadauStateStruct gr;
    std::vector<int32_t> index;    // list index of each packed body
    std::vector<Vec3> stagePos;    // every body of the list, at trial positions
    std::vector<Vec3> stageAcc;
    std::vector<Vec3> stageVel;    // for the velocity-dependent relativistic term
    const BodyRTListStruct* list = nullptr;
    int32_t relativitySource = -1;  // the list's, found once a push
    bool primed = false;  // gr.pos and gr.vel hold what the last push left in the list
};
// The calling thread's memory (each thread that pushes keeps its own); a copy of the
// system carries a copy of it along to continue exactly as the original would.
GaussRadauPushMemory& ThreadGaussRadauPushMemory();
