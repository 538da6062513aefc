// The craft's predicted flight: a copy of the whole system pushed ahead with the run's own
// method, time step, force law, collision setting and timed-thrust schedule, through the
// same push code, so that untouched the prediction is what then happens.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/Records.h"
#include "sim/ContactMemory.h"
#include "sim/GaussRadauPush.h"
#include "sim/Multistep.h"

constexpr int32_t kPredictionDefaultPushCap = 10000;  // the default horizon's cap
constexpr int32_t kPredictionMaxPushes = 1000000;     // the longest horizon one may ask for

enum class PredictionMarkKind : uint8_t { kPeriapsis, kApoapsis, kBurn, kClosestApproach, kCollision };

struct PredictionMarkStruct {
    PredictionMarkKind kind;
    int32_t sample;     // index into the path
    int32_t body;       // attractor (apsides), target (closest approach), other body (collision); -1 for burns
    double value;       // altitude above the attractor's surface, distance to the target's centre, or Δv
};

// Everything a prediction starts from, copied from the live run.
struct PredictionRequestStruct {
    SettingsStruct settings{};
    int64_t pushCount = 0;
    double simTime = 0;
    std::vector<uint8_t> bodies;  // a BodyRTListStruct: count, then count + 1 records
    std::vector<TimedThrustInfoStruct> burns;
    MultistepHistoryRun multistep;
    GaussRadauPushMemory gaussRadau;
    ContactMemorySnapshot contacts;
    int32_t craft = -1;
    int32_t target = -1;   // body whose closest approach is marked; -1 for none
    int32_t pushes = 0;    // horizon; 0 = one orbital period about the attractor, capped
    uint64_t generation = 0;  // which request this is, for the worker's cancellation
};

struct PredictionResultStruct {
    uint64_t generation = 0;
    int64_t firstPush = 0;   // push count of sample 0 (the state the prediction started from)
    double firstTime = 0;
    double timeStep = 0;
    int32_t craft = -1, reference = -1, target = -1;  // reference: the attractor at the start
    int32_t samples = 0;     // path entries in use; sample k follows k pushes
    bool complete = false;   // reached its horizon or a stop (not cancelled)
    bool stopped = false;    // ended early at a collision that stops the run, or a non-finite state
    std::vector<double> craftPos;      // 3 per sample, absolute
    std::vector<double> referencePos;  // 3 per sample: the reference body, absolute
    std::vector<uint64_t> fingerprint; // of the whole system, per sample
    std::vector<PredictionMarkStruct> marks;
    double closestDistance = -1;  // to the target's centre; -1 when there is no target
    int32_t closestSample = -1;
};

// A fingerprint of the state that the future depends on: positions, velocities, masses,
// radii and status of every body.
uint64_t SystemFingerprint(const BodyRTListStruct* list);

// Copies the live run (set, rt, the schedule and this thread's integrator memory) into req.
// False when there is no run-time state or no craft.
bool TakePredictionRequest(PredictionRequestStruct& req, int32_t pushes, int32_t target);

// The horizon a request with pushes = 0 gets: one orbital period of the craft about its
// dominant attractor in pushes, capped; the cap when the orbit is not closed.
int32_t DefaultPredictionPushes(const BodyRTListStruct* list, int32_t craft, const SettingsStruct& settings);

// Runs the prediction on the calling thread, which must be one that does not push the live
// run (its push memory becomes the prediction's). Stops early, incomplete, when *cancel
// (if given) no longer equals req.generation.
void RunPrediction(const PredictionRequestStruct& req, PredictionResultStruct& out,
                   const std::atomic<uint64_t>* cancel = nullptr);
// RunPrediction on a thread of its own, waited for: for the headless tool and tests.
void PredictNow(const PredictionRequestStruct& req, PredictionResultStruct& out);

// The index of the first mark of this kind at or after sample `from`, or -1.
int32_t NextMark(const PredictionResultStruct& r, PredictionMarkKind kind, int32_t from);
