// A copy of the run under way: the bodies' run-time records, the clock, the push count,
// the craft's engine record and the trails. An undo step that threw the run away keeps
// one, so that taking the step back brings back the run and not only its start.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Records.h"

struct RunSnapshot {
    bool present = false;  // a run-time array existed
    std::vector<BodyRTStruct> bodies;
    int64_t pushCount = 0;
    double simTime = 0.0;
    double craftDeltaV = 0.0;
    int64_t engineFiredPush = -1, timedThrustPush = -1;
    uint32_t engineKeys = 0;
    RTList trailShape{};  // sizes and ring indices; its handle and pointer are not used
    std::vector<uint8_t> trail;
    uint64_t generation = 0;  // RunTimeGeneration() when it was taken
};

RunSnapshot CaptureRun();
// Puts the run back over the present initial conditions, which must be the ones it
// ran from (same bodies): its borrowed pictures and rings are taken from them again.
// Without a run, or when the bodies differ, the next frame starts from the initial
// conditions. The integrators start afresh from the restored state.
void RestoreRun(const RunSnapshot& run);
// A run worth keeping: one that got past its start.
inline bool RunUnderWay(const RunSnapshot& run) { return run.present && run.pushCount > 0; }
size_t RunSnapshotBytes(const RunSnapshot& run);
