#include "shell/RunSnapshot.h"

#include <cstring>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/Multistep.h"

namespace {

// The clock and the engine record, named alike in rt and in a snapshot.
template <class To, class From>
void CopyClockAndEngine(To& to, const From& from) {
    to.pushCount = from.pushCount;
    to.simTime = from.simTime;
    to.craftDeltaV = from.craftDeltaV;
    to.engineFiredPush = from.engineFiredPush;
    to.timedThrustPush = from.timedThrustPush;
    to.engineKeys = from.engineKeys;
}

void RestoreTrail(const RunSnapshot& run) {
    DisposeRTList(rt.trailList);
    if (run.trail.empty()) return;
    if (!InitializeRTList(rt.trailList, run.trailShape.entrySize, run.trailShape.entryCount)) return;
    std::memcpy(rt.trailList.ptr, run.trail.data(), run.trail.size());
    rt.trailList.headIndex = run.trailShape.headIndex;
    rt.trailList.tailIndex = run.trailShape.tailIndex;
}

}  // namespace

RunSnapshot CaptureRun() {
    RunSnapshot run;
    run.generation = RunTimeGeneration();
    const BodyRTListStruct* list = BodyRTList();
    if (!list) return run;
    run.present = true;
    run.bodies.assign(list->body, list->body + list->count);
    CopyClockAndEngine(run, rt);
    if (rt.trailList.handle && rt.trailList.ptr) {
        run.trailShape = rt.trailList;
        run.trailShape.handle = kNoHandle;
        run.trailShape.ptr = nullptr;
        const size_t bytes = size_t(rt.trailList.entrySize) * size_t(rt.trailList.entryCount);
        run.trail.assign(rt.trailList.ptr, rt.trailList.ptr + bytes);
    }
    return run;
}

void RestoreRun(const RunSnapshot& run) {
    DeallocBodyRT();
    NoteRunTimeReplaced();
    const BodyListStruct* list = BodyList();
    if (!run.present || !list || size_t(list->count) != run.bodies.size()) return;
    const size_t n = run.bodies.size();
    const Handle h = NewHandle(BodyRTListBytes(int32_t(n)));
    if (!h) return;  // the next frame starts from the initial conditions
    rt.bodyRT = h;
    BodyRTListStruct* a = BodyRTList();
    a->count = int32_t(n);
    for (size_t i = 0; i < n; ++i) {
        BodyRTStruct& r = a->body[i];
        r = run.bodies[i];
        const BodyInfoStruct& b = list->body[i];
        r.spherePix = GetPointerToSpherePix(rt.spherePixList, b.spherePixID);
        r.ringPix = b.ringRatio > 1.0 ? RingPixPtrFromHandle(b.ringPix) : nullptr;
    }
    DisposeScratchSpace();
    CopyClockAndEngine(rt, run);
    RestoreTrail(run);
    RestartMultistepHistory();  // its history slots belong to the pushes before the restore
}

size_t RunSnapshotBytes(const RunSnapshot& run) {
    return run.bodies.size() * sizeof(BodyRTStruct) + run.trail.size();
}
