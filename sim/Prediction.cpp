#include "sim/Prediction.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <thread>

#include "core/Fnv1a.h"
#include "sim/Bodies.h"
#include "sim/DominantAttractor.h"
#include "sim/FiniteGuard.h"
#include "sim/Gravity.h"
#include "sim/OrbitalElements.h"
#include "sim/PairThreads.h"
#include "sim/PushContext.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"

namespace {

double Distance(const double* a, const double* b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

// What the crash check of one push tells the prediction.
struct ContactNote {
    int32_t craft = -1;
    const BodyRTListStruct* list = nullptr;
    bool any = false, stop = false;
    int32_t other = -1;
};

void NoteContact(void* context, BodyRTStruct& a, BodyRTStruct& b, bool isNew) {
    auto& note = *static_cast<ContactNote*>(context);
    if (isNew) note.stop = true;
    if (note.any) return;
    note.any = true;
    const int32_t ia = int32_t(&a - note.list->body), ib = int32_t(&b - note.list->body);
    note.other = ia == note.craft ? ib : ia;
}

// Apsides about whichever body dominates the craft at each push: a turn of the distance
// from falling to rising is a periapsis, the other way an apoapsis. A change of attractor
// starts the watch afresh.
struct ApsisWatch {
    int32_t attractor = -1;
    double before = -1, last = -1;  // distances at the two samples before this one
    void Add(PredictionResultStruct& out, int32_t sample, int32_t attractor_, double d, double radius) {
        if (attractor_ != attractor) {
            attractor = attractor_;
            before = -1;
            last = d;
            return;
        }
        if (before >= 0) {
            if (last < before && last <= d)
                out.marks.push_back({PredictionMarkKind::kPeriapsis, sample - 1, attractor, last - radius});
            else if (last > before && last >= d)
                out.marks.push_back({PredictionMarkKind::kApoapsis, sample - 1, attractor, last - radius});
        }
        before = last;
        last = d;
    }
};

void Record(PredictionResultStruct& out, const BodyRTListStruct* list, int32_t sample) {
    const size_t k = size_t(sample);
    for (int n = 0; n < 3; ++n) {
        out.craftPos[3 * k + n] = list->body[out.craft].pos[n];
        out.referencePos[3 * k + n] = out.reference >= 0 ? list->body[out.reference].pos[n] : 0.0;
    }
    out.fingerprint[k] = SystemFingerprint(list);
    out.samples = sample + 1;
}

// Room for the whole horizon, so the push loop itself allocates nothing.
void Prepare(PredictionResultStruct& out, int32_t pushes) {
    const size_t n = size_t(pushes) + 1;
    out.craftPos.resize(3 * n);
    out.referencePos.resize(3 * n);
    out.fingerprint.resize(n);
    out.marks.clear();
    out.samples = 0;
    out.complete = out.stopped = false;
    out.closestDistance = -1;
    out.closestSample = -1;
}

thread_local std::vector<uint8_t> workBodies;
}  // namespace

uint64_t SystemFingerprint(const BodyRTListStruct* list) {
    uint64_t h = kFnv1aStart;
    if (!list) return h;
    MixFnv1a(h, &list->count, sizeof list->count);
    for (int32_t i = 0; i < list->count; ++i) {
        const BodyRTStruct& b = list->body[i];
        MixFnv1a(h, b.pos, sizeof b.pos);
        MixFnv1a(h, b.vel, sizeof b.vel);
        MixFnv1a(h, &b.mass, sizeof b.mass);
        MixFnv1a(h, &b.radius, sizeof b.radius);
        MixFnv1a(h, &b.statusFlags, sizeof b.statusFlags);
    }
    return h;
}

int32_t DefaultPredictionPushes(const BodyRTListStruct* list, int32_t craft, const SettingsStruct& settings) {
    const OrbitalElementsStruct el = BodyElements(list, craft, settings);
    if (!el.valid || el.escape || !(settings.timeStep > 0)) return kPredictionDefaultPushCap;
    const double pushes = std::ceil(el.period / settings.timeStep);
    return pushes >= 1 && pushes < kPredictionDefaultPushCap ? int32_t(pushes) : kPredictionDefaultPushCap;
}

bool TakePredictionRequest(PredictionRequestStruct& req, int32_t pushes, int32_t target) {
    const BodyRTListStruct* list = BodyRTList();
    const int32_t craft = GetCraftIndex();
    if (!list || craft < 0 || craft >= list->count) return false;
    req.settings = set;
    req.pushCount = rt.pushCount;
    req.simTime = rt.simTime;
    const auto* bytes = reinterpret_cast<const uint8_t*>(list);
    req.bodies.assign(bytes, bytes + BodyRTListBytes(list->count));
    req.burns.clear();
    for (int32_t k = 0, n = GetTTCount(set.timedThrust); k < n; ++k) {
        TimedThrustInfoStruct e;
        GetTTData(set.timedThrust, &e, k);
        req.burns.push_back(e);
    }
    req.multistep = ThreadMultistepHistory();
    if (set.pushMethod == kPushGaussRadau) req.gaussRadau = ThreadGaussRadauPushMemory();
    req.contacts = ThreadContactMemory();
    req.craft = craft;
    req.target = target >= 0 && target < list->count && target != craft ? target : -1;
    req.pushes = pushes > 0 ? std::min(pushes, kPredictionMaxPushes) : DefaultPredictionPushes(list, craft, set);
    return true;
}

void RunPrediction(const PredictionRequestStruct& req, PredictionResultStruct& out, const std::atomic<uint64_t>* cancel) {
    out.generation = req.generation;
    out.firstPush = req.pushCount;
    out.firstTime = req.simTime;
    out.timeStep = req.settings.timeStep;
    out.craft = req.craft;
    out.target = req.target;
    Prepare(out, req.pushes);
    workBodies.assign(req.bodies.begin(), req.bodies.end());
    auto* list = reinterpret_cast<BodyRTListStruct*>(workBodies.data());
    if (workBodies.size() < BodyRTListBytes(0) || req.craft < 0 || req.craft >= list->count) return;

    // This thread pushes its own copy through the live code, with the live memory's copy.
    int64_t pushCount = req.pushCount;
    int32_t substeps = 0;
    const PushContextStruct context{&req.settings, &pushCount, &substeps};
    SetThreadPushContext(&context);
    SetThreadRunsPairSlicesInline(true);
    ThreadMultistepHistory() = req.multistep;
    if (req.settings.pushMethod == kPushGaussRadau) ThreadGaussRadauPushMemory() = req.gaussRadau;
    SetThreadContactMemory(req.contacts);

    const double dt = req.settings.timeStep;
    const double law = req.settings.powerLaw;
    out.reference = DominantAttractor(list, req.craft, law);
    Record(out, list, 0);
    ApsisWatch apsides;
    auto track = [&](int32_t sample) {
        const BodyRTStruct& c = list->body[req.craft];
        const int32_t a = DominantAttractor(list, req.craft, law);
        if (a >= 0) apsides.Add(out, sample, a, Distance(c.pos, list->body[a].pos), list->body[a].radius);
        if (req.target >= 0 && IsLiveBody(list->body[req.target])) {
            const double d = Distance(c.pos, list->body[req.target].pos);
            if (out.closestSample < 0 || d < out.closestDistance) {
                out.closestDistance = d;
                out.closestSample = sample;
            }
        }
    };
    track(0);
    size_t burn = 0;
    ContactNote note;
    note.craft = req.craft;
    note.list = list;
    bool collided = false;
    for (int32_t k = 1; k <= req.pushes; ++k) {
        if (cancel && cancel->load(std::memory_order_relaxed) != req.generation) break;
        ElementalPush(list);
        while (burn < req.burns.size() && req.burns[burn].pushIndex < pushCount) ++burn;
        if (burn < req.burns.size() && req.burns[burn].pushIndex == pushCount &&
            ApplyTimedBurn(list->body[req.craft], req.burns[burn].deltaV, dt))
            out.marks.push_back({PredictionMarkKind::kBurn, k, -1, req.burns[burn].deltaV});
        const char* quantity = nullptr;
        if (FirstNonFiniteBody(list, quantity) >= 0) {  // the live run would stop here too
            out.stopped = true;
            break;
        }
        note.any = note.stop = false;
        ScanForCrashes(list, req.settings.onCrash, pushCount, dt, NoteContact, &note);
        pushCount += 1;
        Record(out, list, k);
        track(k);
        if (note.any && !collided) {
            collided = true;
            out.marks.push_back({PredictionMarkKind::kCollision, k, note.other, 0.0});
        }
        if (note.stop && req.settings.onCrash == kCrashStop) {
            out.stopped = true;
            break;
        }
    }
    if (out.closestSample >= 0)
        out.marks.push_back({PredictionMarkKind::kClosestApproach, out.closestSample, req.target, out.closestDistance});
    out.complete = out.stopped || out.samples == req.pushes + 1;
    SetThreadPushContext(nullptr);
}

void PredictNow(const PredictionRequestStruct& req, PredictionResultStruct& out) {
    std::thread worker([&] { RunPrediction(req, out); });
    worker.join();
}

int32_t NextMark(const PredictionResultStruct& r, PredictionMarkKind kind, int32_t from) {
    int32_t best = -1;
    for (size_t m = 0; m < r.marks.size(); ++m) {
        const PredictionMarkStruct& mk = r.marks[m];
        if (mk.kind == kind && mk.sample >= from && (best < 0 || mk.sample < r.marks[size_t(best)].sample))
            best = int32_t(m);
    }
    return best;
}
