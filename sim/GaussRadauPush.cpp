#include "sim/GaussRadauPush.h"

#include <vector>

#include "sim/GaussRadau.h"
#include "sim/Gravity.h"

namespace {
// The integrator works on the live bodies only, packed in descending index order.
struct LiveBodies {
    GaussRadauStateStruct gr;
    std::vector<int32_t> index;  // list index of each packed body
    BodyRTListStruct* list = nullptr;
    bool primed = false;  // gr.pos and gr.vel hold what the last push left in the list
};
LiveBodies live;

// Accelerations of the packed bodies at trial positions: the trial positions are put
// into the list (which this push owns until it writes the final ones) and each body's
// acceleration is summed over the others.
void PackedAccelerations(void* context, int32_t count, const double* pos, double* acc) {
    auto& lb = *static_cast<LiveBodies*>(context);
    BodyRTListStruct* list = lb.list;
    for (int32_t k = 0; k < count; ++k)
        for (int n = 0; n < 3; ++n) list->body[lb.index[size_t(k)]].pos[n] = pos[3 * k + n];
    for (int32_t k = 0; k < count; ++k) {
        const int32_t i = lb.index[size_t(k)];
        CalcAcceleration(acc + 3 * k, list->body[i].pos, list, i);
    }
}

bool SameLiveSet(const BodyRTListStruct* list) {
    size_t k = 0;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (!IsLiveBody(list->body[i])) continue;
        if (k >= live.index.size() || live.index[k] != i) return false;
        ++k;
    }
    return k == live.index.size();
}

// Compares the list with what the last push wrote: 0 unchanged, 1 only velocities
// changed (thrust, merge), 2 anything else (new body list, positions moved).
int MotionChangedSinceLastPush(const BodyRTListStruct* list) {
    if (!live.primed || !SameLiveSet(list)) return 2;
    int change = 0;
    for (size_t k = 0; k < live.index.size(); ++k) {
        const BodyRTStruct& b = list->body[live.index[k]];
        for (int n = 0; n < 3; ++n) {
            if (b.pos[n] != live.gr.pos[3 * k + n]) return 2;
            if (b.vel[n] != live.gr.vel[3 * k + n]) change = 1;
        }
    }
    return change;
}

// Starts afresh, also forgetting the step size, so that a run depends only on its
// scenario and not on what ran before it.
void Restart(const BodyRTListStruct* list) {
    live.index.clear();
    for (int32_t i = list->count - 1; i >= 0; --i)
        if (IsLiveBody(list->body[i])) live.index.push_back(i);
    RestartGaussRadau(live.gr, int32_t(live.index.size()));
}
}  // namespace

void GaussRadauPush(BodyRTListStruct* list, double dt) {
    const int change = MotionChangedSinceLastPush(list);
    if (change == 2) Restart(list);
    else if (change == 1) ForgetGaussRadauHistory(live.gr);

    GaussRadauStateStruct& gr = live.gr;
    for (size_t k = 0; k < live.index.size(); ++k) {
        BodyRTStruct& b = list->body[live.index[k]];
        for (int n = 0; n < 3; ++n) {
            b.lastPos[n] = b.pos[n];
            b.lastVel[n] = b.vel[n];
            gr.pos[3 * k + n] = b.pos[n];
            gr.vel[3 * k + n] = b.vel[n];
            gr.startAcc[3 * k + n] = b.acc[n];
        }
    }
    live.list = list;
    // The pair pass already holds the start-of-push accelerations.
    rt.substepsLastPush = AdvanceGaussRadau(gr, dt, PackedAccelerations, &live, gr.startAcc.data());
    for (size_t k = 0; k < live.index.size(); ++k) {
        BodyRTStruct& b = list->body[live.index[k]];
        for (int n = 0; n < 3; ++n) {
            b.pos[n] = gr.pos[3 * k + n];
            b.vel[n] = gr.vel[3 * k + n];
        }
    }
    live.list = nullptr;
    live.primed = true;
}

void DisposeGaussRadauPush() { live = LiveBodies{}; }
