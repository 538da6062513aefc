#include "sim/PushStage.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Control.h"
#include "core/Limits.h"
#include "platform/Platform.h"
#include "render/IJK.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/Gravity.h"
#include "sim/TimedThrust.h"

namespace {
bool soundChannelOpen = false;

double Length(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Adds s*dir to acc and s*dir*velScale to vel; skipped when dir has no length.
void ApplyAlong(BodyRTStruct& c, const double dirIn[3], double magnitude, double accScale, double velScale) {
    double dir[3] = {dirIn[0], dirIn[1], dirIn[2]};
    double len = Length(dir);
    if (!(len > 0.0)) return;  // no direction to thrust along
    double s = magnitude / len;
    for (int n = 0; n < 3; ++n) {
        c.acc[n] += s * dir[n] * accScale;
        c.vel[n] += s * dir[n] * velScale;
    }
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
        if (Length(c.vel) > 0.0) {
            ApplyAlong(c, c.vel, e.deltaV, 1.0 / dt, 1.0);
            PlayEventSound(kTimedThrustSound, true);
        }
    }
    if (!(c.mass > 0.0)) return;  // a massless craft has no defined response to its engine
    int32_t k = ThrustFactor(kRightArrowControl, kLeftArrowControl);
    if (k != 0 && Length(c.vel) > 0.0) {
        ApplyAlong(c, c.vel, set.craftThrust / c.mass * k, 1.0, dt);
        PlayEventSound(kThrustSound, false);
    }
    k = ThrustFactor(kDownArrowControl, kUpArrowControl);
    if (k != 0 && Length(c.acc) > 0.0) {
        ApplyAlong(c, c.acc, set.craftThrust / c.mass * k, 1.0, dt);
        PlayEventSound(kThrustSound, false);
    }
}
}  // namespace

void DoPushStage() {
    if (!rt.bodyRT) TransferICsToRT();
    if (!rt.bodyRT) return;
    if (set.trailLength != 0 && set.trailLength > GetRTListAlloc(rt.trailList)) {
        set.trailLength = ResizeTrailRTList(rt.trailList, BodyRTList()->count, set.trailLength);
        if (!rt.bodyRT) return;
    }
    const int32_t n = std::clamp(set.pushesPerFrame, int32_t(1), kMaxPushesPerFrame);
    int32_t craft = GetCraftIndex();
    HLock(rt.bodyRT);
    BodyRTListStruct* list = BodyRTList();
    if (craft >= list->count) craft = -1;
    for (int32_t p = 0; p < n; ++p) {
        ElementalPush(list);
        if (craft >= 0) ApplyCraftThrust(list->body[craft]);
        bool last = false;
        if (CheckForCrash(list, set.onCrash)) {
            PlayEventSound(kCrashSound, true);
            last = set.onCrash == kCrashStop || set.onCrash == kCrashMerge;
        }
        rt.pushCount += 1;
        rt.simTime += set.timeStep;
        if (last) break;
    }
    for (int32_t i = list->count - 1; i >= 0; --i) OrthonormalizeIJK(list->body[i].axes);
    if (set.trailLength >= 1) PushRTListIntoTrail(rt.trailList, list);
    HUnlock(rt.bodyRT);
}

bool CheckForCrash(BodyRTListStruct* list, int32_t crashSetting) {
    if (!list || list->count < 2) return false;
    bool found = false;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& bi = list->body[i];
        if (!IsLiveBody(bi)) continue;
        int32_t j = bi.nearestIndex;
        if (j < 0 || j >= list->count) continue;
        BodyRTStruct& bj = list->body[j];
        double rr = bi.radius + bj.radius;
        if (!(bi.nearestDistSq <= rr * rr)) continue;
        found = true;
        if (crashSetting == kCrashStop) {
            SetControl(kPausedControl);
        } else if (crashSetting == kCrashMerge) {
            BodyRTStruct& s = bi.mass > bj.mass ? bi : bj;
            BodyRTStruct& a = bi.mass > bj.mass ? bj : bi;
            a.statusFlags |= kAbsorbedStatus | kNotDrawnStatus;
            double mt = s.mass + a.mass;
            for (int n = 0; n < 3 && mt != 0.0; ++n) {  // massless pair: velocities stay as they are
                double v = (s.mass * s.vel[n] + a.mass * a.vel[n]) / mt;
                s.acc[n] += (v - s.vel[n]) / set.timeStep;
                s.vel[n] = v;
            }
            s.nearestDistSq = a.nearestDistSq = kInf;
            s.nearestIndex = a.nearestIndex = -1;
        }
    }
    return found;
}

void RealignInertialReferenceFrame() {
    if (!rt.bodyRT) return;
    HLock(rt.bodyRT);
    BodyRTListStruct* l = BodyRTList();
    double M = 0, P[3] = {0, 0, 0}, Q[3] = {0, 0, 0};
    for (int32_t i = l->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = l->body[i];
        M += b.mass;
        for (int n = 0; n < 3; ++n) {
            P[n] += b.mass * b.pos[n];
            Q[n] += b.mass * b.vel[n];
        }
    }
    if (M != 0.0 && std::isfinite(M)) {  // no centre of mass to move to otherwise
        for (int32_t i = l->count - 1; i >= 0; --i)
            for (int n = 0; n < 3; ++n) {
                l->body[i].pos[n] -= P[n] / M;
                l->body[i].vel[n] -= Q[n] / M;
            }
    }
    HUnlock(rt.bodyRT);
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
