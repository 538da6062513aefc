#include "sim/PushStage.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Control.h"
#include "core/Limits.h"
#include "core/PushBudget.h"
#include "platform/Platform.h"
#include "render/IJK.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/ContactMemory.h"
#include "sim/FiniteGuard.h"
#include "sim/Gravity.h"
#include "sim/Multistep.h"
#include "sim/TimedThrust.h"

namespace {
bool soundChannelOpen = false;

double Length(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Adds s*dir to acc and s*dir*velScale to vel; skipped when dir has no length. A thrust
// breaks the smooth history the multistep methods extrapolate from, so they start afresh.
bool ApplyAlong(BodyRTStruct& c, const double dirIn[3], double magnitude, double accScale, double velScale) {
    double dir[3] = {dirIn[0], dirIn[1], dirIn[2]};
    double len = Length(dir);
    if (!(len > 0.0)) return false;  // no direction to thrust along
    double s = magnitude / len;
    for (int n = 0; n < 3; ++n) {
        c.acc[n] += s * dir[n] * accScale;
        c.vel[n] += s * dir[n] * velScale;
    }
    RestartMultistepHistory();
    return true;
}

}  // namespace

// The survivor s takes the absorbed body a whole: mass, momentum and centre of mass are
// kept, and the radius encloses the combined volume.
void MergeBodies(BodyRTStruct& s, BodyRTStruct& a, double dt) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    a.statusFlags |= kAbsorbedStatus | kNotDrawnStatus;
    if (IsTestParticle(a) && !IsTestParticle(s)) {
        // A test particle brings no mass and no momentum, and its size is nominal: the body
        // it hit moves on exactly as before.
        a.nearestDistSq = kInf;
        a.nearestIndex = -1;
        return;
    }
    double mt = s.mass + a.mass;
    if (mt != 0.0 && std::isfinite(mt)) {  // massless pair: nothing to weight by, motion stays
        for (int n = 0; n < 3; ++n) {
            double v = (s.mass * s.vel[n] + a.mass * a.vel[n]) / mt;
            double x = (s.mass * s.pos[n] + a.mass * a.pos[n]) / mt;
            s.acc[n] += (v - s.vel[n]) / dt;
            s.vel[n] = v;
            s.pos[n] = x;
        }
        s.mass = mt;
    }
    s.radius = std::cbrt(s.radius * s.radius * s.radius + a.radius * a.radius * a.radius);
    s.nearestDistSq = a.nearestDistSq = kInf;
    s.nearestIndex = a.nearestIndex = -1;
    RestartMultistepHistory();
}

bool ApplyTimedBurn(BodyRTStruct& c, double deltaV, double dt) {
    if (!(Length(c.vel) > 0.0)) return false;
    ApplyAlong(c, c.vel, deltaV, 1.0 / dt, 1.0);
    return true;
}

namespace {
// A push that left a body without finite values is undone and the run pauses: the
// state shown, saved and undone to stays the last finite one.
bool StoppedAsNotFinite(BodyRTListStruct* list) {
    const char* quantity = nullptr;
    const int32_t bad = FirstNonFiniteBody(list, quantity);
    if (bad < 0) return false;
    NoteNonFiniteStop(list->body[bad], quantity, rt.pushCount + 1, rt.simTime);
    RestoreFiniteState(list);
    RestartMultistepHistory();
    SetControl(kPausedControl);
    DropPushBatch();
    return true;
}

int32_t ThrustFactor(int32_t plusFlag, int32_t minusFlag) {
    int32_t k = GetControl(plusFlag) - GetControl(minusFlag);
    if (GetControl(kOptionKeyControl)) k *= 10;
    return k;
}

void ApplyCraftThrust(BodyRTStruct& c) {
    double dt = set.timeStep;
    int32_t tt = GetTTIndex(set.timedThrust, rt.pushCount);
    if (tt >= 0) {
        TimedThrustInfoStruct e;
        GetTTData(set.timedThrust, &e, tt);
        if (ApplyTimedBurn(c, e.deltaV, dt)) {
            rt.craftDeltaV += std::fabs(e.deltaV);
            rt.timedThrustPush = rt.pushCount + 1;
            PlayEventSound(kTimedThrustSound, true);
        }
    }
    if (!(c.mass > 0.0)) return;  // a massless craft has no defined response to its engine
    // The engine record is the live run's own: a prediction pushing a copy never fires the keys.
    uint32_t keys = 0;
    double speedChange = 0;
    int32_t k = ThrustFactor(kRightArrowControl, kLeftArrowControl);
    if (k != 0 && ApplyAlong(c, c.vel, set.craftThrust / c.mass * k, 1.0, dt)) {
        keys |= k > 0 ? kEngineForward : kEngineBackward;
        speedChange += std::fabs(set.craftThrust / c.mass * k * dt);
        PlayEventSound(kThrustSound, false);
    }
    k = ThrustFactor(kDownArrowControl, kUpArrowControl);
    if (k != 0 && ApplyAlong(c, c.acc, set.craftThrust / c.mass * k, 1.0, dt)) {
        keys |= k > 0 ? kEngineInward : kEngineOutward;
        speedChange += std::fabs(set.craftThrust / c.mass * k * dt);
        PlayEventSound(kThrustSound, false);
    }
    if (keys) {
        rt.craftDeltaV += speedChange;
        rt.engineFiredPush = rt.pushCount + 1;
        rt.engineKeys = keys;
    }
}
}  // namespace

void DoPushStage() {
    if (!rt.bodyRT) TransferICsToRT();
    if (!rt.bodyRT) return;
    if (set.trailLength != 0 && set.trailLength > GetRTListAlloc(rt.trailList)) {
        set.trailLength = ResizeTrailRTList(rt.trailList, TrailedBodyCount(BodyRTList()), set.trailLength);
        if (!rt.bodyRT) return;
    }
    // The frame's batch may be spread over several frames to keep each within its time budget.
    const int32_t n = BeginPushes(std::clamp(set.pushesPerFrame, int32_t(1), kMaxPushesPerFrame));
    int32_t craft = GetCraftIndex();
    HLock(rt.bodyRT);
    BodyRTListStruct* list = BodyRTList();
    if (craft >= list->count) craft = -1;
    int32_t run = 0;
    while (run < n && !PushTimeUp(run)) {
        KeepFiniteState(list);
        ElementalPush(list);
        if (craft >= 0) ApplyCraftThrust(list->body[craft]);
        if (StoppedAsNotFinite(list)) break;
        bool last = false;
        if (CheckForCrash(list, set.onCrash)) {
            PlayEventSound(kCrashSound, true);
            // A pair still touching from before does not stop the run again.
            last = set.onCrash == kCrashMerge || (set.onCrash == kCrashStop && GetControl(kPausedControl));
        }
        rt.pushCount += 1;
        rt.simTime += set.timeStep;
        ++run;
        if (last) {
            DropPushBatch();
            break;
        }
    }
    EndPushes(run);
    for (int32_t i = list->count - 1; i >= 0; --i) OrthonormalizeIJK(list->body[i].axes);
    if (set.trailLength >= 1 && PushBatchDone()) PushRTListIntoTrail(rt.trailList, list);
    HUnlock(rt.bodyRT);
}

namespace {
void StopOnNewContact(void*, BodyRTStruct& a, BodyRTStruct& b, bool isNew) {
    if (!isNew) return;
    SetControl(kPausedControl);
    NoteCollisionStop(a, b, rt.simTime + set.timeStep);
}
}  // namespace

bool CheckForCrash(BodyRTListStruct* list, int32_t crashSetting) {
    return ScanForCrashes(list, crashSetting, rt.pushCount, set.timeStep, StopOnNewContact, nullptr);
}

bool ScanForCrashes(BodyRTListStruct* list, int32_t crashSetting, int64_t pushCount, double dt, CrashContactFn onContact,
                    void* context) {
    if (!list || list->count < 2) return false;
    BeginContactCheck(pushCount);
    bool found = false;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& bi = list->body[i];
        if (!IsLiveBody(bi)) continue;
        int32_t j = bi.nearestIndex;
        if (j < 0 || j >= list->count) continue;
        BodyRTStruct& bj = list->body[j];
        if (!IsLiveBody(bj)) continue;  // absorbed earlier in this pass: nothing left to hit
        double rr = bi.radius + bj.radius;
        if (!(bi.nearestDistSq <= rr * rr)) continue;
        found = true;
        if (crashSetting == kCrashStop) {
            onContact(context, bi, bj, IsNewContact(i, j));
        } else {
            onContact(context, bi, bj, false);
            if (crashSetting == kCrashMerge) MergeBodies(bi.mass > bj.mass ? bi : bj, bi.mass > bj.mass ? bj : bi, dt);
        }
    }
    return found;
}

void InitializeSoundStuff() { soundChannelOpen = Platform().OpenSoundChannel(); }

void DisposeSoundStuff() {
    if (!soundChannelOpen) return;
    Platform().StopSoundChannel();
    Platform().CloseSoundChannel();
    soundChannelOpen = false;
}

void PlayEventSound(int16_t soundID, bool interrupt) {
    if (!soundChannelOpen) InitializeSoundStuff();
    if (Platform().SoundChannelBusy()) {
        if (!interrupt) return;
        Platform().StopSoundChannel();
    }
    Platform().PlaySoundResource(soundID);
}
