#include "sim/GaussRadauPush.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/GaussRadau.h"
#include "sim/Integrators.h"
#include "sim/PairPass.h"
#include "sim/PushContext.h"
#include "sim/Relativity.h"

namespace {
using LiveBodies = GaussRadauPushMemory;
thread_local LiveBodies live;

// Accelerations of the packed bodies at trial positions, from the same pair
// evaluation as every other method.
void PackedAccelerations(void* context, int32_t count, const double* pos, double* acc) {
    auto& lb = *static_cast<LiveBodies*>(context);
    for (int32_t k = 0; k < count; ++k) {
        Vec3& p = lb.stagePos[size_t(lb.index[size_t(k)])];
        p = Vec3{pos[3 * k], pos[3 * k + 1], pos[3 * k + 2]};
    }
    StageAccelerations(lb.list, lb.stagePos.data(), lb.stageAcc.data());
    if (lb.gr.velocityDependent) {
        for (int32_t k = 0; k < count; ++k) {
            const double* v = &lb.gr.trialVel[3 * size_t(k)];
            lb.stageVel[size_t(lb.index[size_t(k)])] = Vec3{v[0], v[1], v[2]};
        }
        AddRelativisticAcceleration(lb.list, lb.relativitySource, PushSettings().gravConstant, lb.stagePos.data(),
                                    lb.stageVel.data(), lb.stageAcc.data());
    }
    for (int32_t k = 0; k < count; ++k) {
        const Vec3& a = lb.stageAcc[size_t(lb.index[size_t(k)])];
        acc[3 * k] = a[0], acc[3 * k + 1] = a[1], acc[3 * k + 2] = a[2];
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
    if (!live.primed || live.stagePos.size() != size_t(list->count) || !SameLiveSet(list)) return 2;
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

// How finely the rounding of the positions lets b6 be resolved, relative to the
// largest acceleration. A body at distance r from its nearest neighbour, both within
// `reach` of the origin, has its separation known to half an ulp of `reach`; the
// force law turns that into a relative acceleration error of about (|p − 1| + 1)
// times the same fraction (magnitude and direction).
double RoundingFloor(const BodyRTListStruct* list) {
    const double lawGain = std::fabs(PushSettings().powerLaw - 1.0) + 1.0;
    double worst = 0.0, maxAcc = 0.0;
    for (int32_t k : live.index) {
        const BodyRTStruct& b = list->body[k];
        const double acc = std::sqrt(b.acc[0] * b.acc[0] + b.acc[1] * b.acc[1] + b.acc[2] * b.acc[2]);
        maxAcc = std::max(maxAcc, acc);
        const int32_t j = b.nearestIndex;
        if (j < 0 || j >= list->count || !(b.nearestDistSq > 0.0) || !std::isfinite(b.nearestDistSq)) continue;
        double reach = 0.0;
        for (int n = 0; n < 3; ++n)
            reach = std::max({reach, std::fabs(b.pos[n]), std::fabs(list->body[j].pos[n])});
        const double halfUlp = 0.5 * (std::nextafter(reach, HUGE_VAL) - reach);
        worst = std::max(worst, acc * lawGain * halfUlp / std::sqrt(b.nearestDistSq));
    }
    const double floor = maxAcc > 0.0 ? GaussRadauB6NoiseGain() * worst / maxAcc : 0.0;
    return std::isfinite(floor) ? floor : 0.0;
}

// Starts afresh, also forgetting the step size, so that a run depends only on its
// scenario and not on what ran before it.
void Restart(const BodyRTListStruct* list) {
    live.index.clear();
    for (int32_t i = list->count - 1; i >= 0; --i)
        if (IsLiveBody(list->body[i])) live.index.push_back(i);
    RestartGaussRadau(live.gr, int32_t(live.index.size()));
    live.stagePos.assign(size_t(list->count), Vec3{});
    live.stageAcc.assign(size_t(list->count), Vec3{});
    live.stageVel.assign(size_t(list->count), Vec3{});
}
}  // namespace

void GaussRadauPush(BodyRTListStruct* list, const PushStep& step) {
    const int change = MotionChangedSinceLastPush(list);
    if (change == 2) Restart(list);
    else if (change == 1) ForgetGaussRadauHistory(live.gr);

    GaussRadauStateStruct& gr = live.gr;
    for (size_t k = 0; k < live.index.size(); ++k) {
        BodyRTStruct& b = list->body[live.index[k]];
        SaveLastState(b);
        for (int n = 0; n < 3; ++n) {
            gr.pos[3 * k + n] = b.pos[n];
            gr.vel[3 * k + n] = b.vel[n];
            gr.startAcc[3 * k + n] = b.acc[n];
        }
    }
    // Absorbed bodies stay where they are; they neither move nor attract.
    for (int32_t i = 0; i < list->count; ++i)
        live.stagePos[size_t(i)] = Vec3{list->body[i].pos[0], list->body[i].pos[1], list->body[i].pos[2]};
    live.list = list;
    gr.velocityDependent = RelativityActive(PushSettings());
    live.relativitySource = RelativitySource(list);
    gr.roundingFloor = RoundingFloor(list);
    // The pair pass already holds the start-of-push accelerations.
    *PushContext().substepsLastPush = AdvanceGaussRadau(gr, step.dt, PackedAccelerations, &live, gr.startAcc.data());
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

GaussRadauPushMemory& ThreadGaussRadauPushMemory() { return live; }
