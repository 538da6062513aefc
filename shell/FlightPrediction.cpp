#include "shell/FlightPrediction.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "core/Control.h"
#include "core/Fnv1a.h"
#include "render/PredictedPath.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"
#include "shell/History.h"
#include "sim/Bodies.h"
#include "sim/DominantAttractor.h"
#include "sim/TimedThrust.h"

PredictionOptionsStruct predictionOptions;

namespace {

// What the future depends on besides the bodies: the physics, the schedule and the options.
uint64_t RequestSignature(int32_t target) {
    uint64_t h = kFnv1aStart;
    auto mix = [&h](const void* p, size_t n) { MixFnv1a(h, p, n); };
    mix(&set.gravConstant, sizeof set.gravConstant);
    mix(&set.powerLaw, sizeof set.powerLaw);
    mix(&set.timeStep, sizeof set.timeStep);
    mix(&set.pushMethod, sizeof set.pushMethod);
    mix(&set.onCrash, sizeof set.onCrash);
    mix(&set.physicsOptions, sizeof set.physicsOptions);
    const int32_t craft = GetCraftIndex();
    mix(&craft, sizeof craft);
    mix(&target, sizeof target);
    mix(&predictionOptions.pushes, sizeof predictionOptions.pushes);
    for (int32_t k = 0, n = GetTTCount(set.timedThrust); k < n; ++k) {
        TimedThrustInfoStruct e;
        GetTTData(set.timedThrust, &e, k);
        mix(&e.deltaV, sizeof e.deltaV);
        mix(&e.pushIndex, sizeof e.pushIndex);
    }
    return h;
}

struct Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;
    bool stopping = false;
    bool hasPending = false, hasReady = false;
    PredictionRequestStruct staging, pending, active;
    PredictionResultStruct working, ready;
    std::atomic<uint64_t> latest{0};

    void Loop() {
#ifdef __linux__
        // The frame comes first: on a busy machine the worker yields most of a core to it
        // (a Linux nice value holds for the one thread).
        setpriority(PRIO_PROCESS, id_t(gettid()), 10);
#endif
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [&] { return stopping || hasPending; });
                if (stopping) return;
                std::swap(pending, active);
                hasPending = false;
            }
            RunPrediction(active, working, &latest);
            std::lock_guard<std::mutex> lock(mutex);
            if (working.complete && working.generation == latest.load()) {
                std::swap(working, ready);
                hasReady = true;
            }
        }
    }
};
Worker worker;

// The main thread's side.
PredictionResultStruct incoming, shown;
bool shownValid = false;
bool inFlight = false;
uint64_t inFlightSignature = 0, shownSignature = 0;
int64_t inFlightPush = 0;
uint64_t inFlightRevision = 0;
int32_t presentSample = -1;

void EnsureWorker() {
    if (worker.thread.joinable()) return;
    worker.stopping = false;
    worker.thread = std::thread([] { worker.Loop(); });
}

// The sample of r that is the present live state, or -1 when the run has left its path.
int32_t SampleOfPresent(const PredictionResultStruct& r, uint64_t fingerprint) {
    const int64_t k = rt.pushCount - r.firstPush;
    if (k < 0 || k >= r.samples || r.craft != GetCraftIndex()) return -1;
    return r.fingerprint[size_t(k)] == fingerprint ? int32_t(k) : -1;
}

void Request(int32_t target, uint64_t signature) {
    if (!TakePredictionRequest(worker.staging, predictionOptions.pushes, target)) return;
    EnsureWorker();
    const uint64_t generation = worker.latest.load() + 1;
    worker.staging.generation = generation;
    {
        std::lock_guard<std::mutex> lock(worker.mutex);
        std::swap(worker.staging, worker.pending);
        worker.hasPending = true;
        worker.latest.store(generation);  // cancels the one running
    }
    worker.wake.notify_one();
    inFlight = true;
    inFlightSignature = signature;
    inFlightPush = rt.pushCount;
    inFlightRevision = ScenarioRevision();
}

void Cancel() {
    if (!inFlight) return;
    worker.latest.fetch_add(1);
    inFlight = false;
}

bool EngineFiring() {
    return GetControl(kRightArrowControl) || GetControl(kLeftArrowControl) || GetControl(kUpArrowControl) ||
           GetControl(kDownArrowControl);
}
}  // namespace

int32_t PredictionTarget() {
    const BodyRTListStruct* list = BodyRTList();
    const int32_t craft = GetCraftIndex();
    if (!list || craft < 0 || craft >= list->count) return -1;
    if (predictionOptions.target != kAutomaticTarget)
        return predictionOptions.target >= 0 && predictionOptions.target < list->count && predictionOptions.target != craft
                   ? predictionOptions.target
                   : -1;
    // Automatic: the heaviest body lighter than the craft's attractor, the next place one flies to.
    const int32_t home = DominantAttractor(list, craft, set.powerLaw);
    int32_t best = -1;
    for (int32_t i = 0; i < list->count; ++i) {
        const BodyRTStruct& b = list->body[i];
        if (i == craft || i == home || !IsLiveBody(b)) continue;
        if (home >= 0 && !(b.mass < list->body[home].mass)) continue;
        if (best < 0 || b.mass > list->body[best].mass) best = i;
    }
    return best;
}

void UpdateFlightPrediction() {
    presentSample = -1;
    const BodyRTListStruct* list = BodyRTList();
    if (!predictionOptions.on || !list || GetCraftIndex() < 0) {
        Cancel();
        shownValid = false;
        return;
    }
    const int32_t target = PredictionTarget();
    const uint64_t signature = RequestSignature(target);
    const uint64_t fingerprint = SystemFingerprint(list);
    // A state changed by hand (thrust keys, an edit, an undo, a reset) makes the running job stale.
    if (inFlight && (signature != inFlightSignature || rt.pushCount < inFlightPush || EngineFiring() ||
                     ScenarioRevision() != inFlightRevision))
        Cancel();
    {
        std::lock_guard<std::mutex> lock(worker.mutex);
        if (worker.hasReady) {
            std::swap(worker.ready, incoming);
            worker.hasReady = false;
            if (inFlight && incoming.generation == worker.latest.load()) inFlight = false;
            else incoming.samples = 0;
        }
    }
    if (incoming.samples > 0 && signature == inFlightSignature && SampleOfPresent(incoming, fingerprint) >= 0) {
        std::swap(incoming, shown);
        shownValid = true;
        shownSignature = signature;
    }
    incoming.samples = 0;
    if (shownValid && (signature != shownSignature || (presentSample = SampleOfPresent(shown, fingerprint)) < 0)) {
        shownValid = false;
        presentSample = -1;
    }
    // Ahead of the present, the path shortens as the run flies along it: renew it at half way.
    const bool runningOut = shownValid && !shown.stopped && 2 * (shown.samples - 1 - presentSample) < shown.samples - 1;
    if (!inFlight && !EngineFiring() && (!shownValid || runningOut)) Request(target, signature);
}

const PredictionResultStruct* FreshPrediction() { return shownValid ? &shown : nullptr; }

int32_t PresentPredictionSample() { return shownValid ? presentSample : -1; }

void DrawFlightPredictionPath(int32_t cx, int32_t cy) {
    const BodyRTListStruct* list = BodyRTList();
    if (!shownValid || !list || !renderGW) return;
    PenSetTarget(RenderSurface());
    DrawPredictedPath(shown, presentSample, *list, cx, cy);
}

void DrawFlightPredictionMarks(int32_t cx, int32_t cy) {
    const BodyRTListStruct* list = BodyRTList();
    if (!shownValid || !list || !renderGW) return;
    PenSetTarget(RenderSurface());
    DrawPredictionMarks(shown, presentSample, *list, cx, cy);
}

void StopFlightPrediction() {
    Cancel();
    shownValid = false;
    if (!worker.thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(worker.mutex);
        worker.stopping = true;
    }
    worker.wake.notify_all();
    worker.thread.join();
    worker.hasPending = worker.hasReady = false;
}

bool WaitForFreshPrediction(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        UpdateFlightPrediction();
        if (FreshPrediction()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
