#include "sim/Bodies.h"

#include <cmath>
#include <cstring>

#include "core/Epoch.h"
#include "core/Limits.h"
#include "core/Strings.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/IJK.h"
#include "render/Trails.h"
#include "sim/ReferenceFrame.h"

namespace {
uint64_t runGeneration = 1;
void (*beforeRunReplaced)() = nullptr;

void RunAboutToBeReplaced() {
    if (beforeRunReplaced) beforeRunReplaced();
}

void FillCommon(BodyInfoStruct& info) {
    std::memset(&info, 0, sizeof info);
    info.pos[0] = 1000.0;
    info.vel[1] = 1000.0;
    info.mass = 1000.0;
    info.color = RGBColor{65535, 65535, 65535};
}
}  // namespace

void FillDefaultBodyInfo(BodyInfoStruct& info) {
    FillCommon(info);
    info.radius = 1000.0;
    info.ringRatio = 1.0;
}

void FillDefaultCraftInfo(BodyInfoStruct& info) {
    FillCommon(info);
    info.radius = 100.0;
    info.bodyFlags = kCraftFlag;
    GetIndString(info.name, 1035, 1);
    set.craftThrust = 100.0;
}

int32_t AddABody(const BodyInfoStruct& info) { return AddBodies(&info, 1); }

int32_t AddBodies(const BodyInfoStruct* infos, int32_t n) {
    DeallocBodyRT();
    const int32_t had = BodyList() ? BodyList()->count : 0;
    if (n < 1 || n > kMaxBodies - had) return 0;
    const size_t room = sizeof(BodyInfoStruct) * size_t(n);
    if (!set.bodies) {
        set.bodies = NewHandle(kBodyListHeaderSize + sizeof(BodyInfoStruct) + room);
        if (!set.bodies) return 0;
    } else {
        SetHandleSize(set.bodies, size_t(GetHandleSize(set.bodies)) + room);
    }
    BodyListStruct* l = BodyList();
    int32_t usable = (GetHandleSize(set.bodies) - 184) / int32_t(sizeof(BodyInfoStruct));
    if (usable < l->count + n) return 0;
    std::memcpy(&l->body[l->count], infos, room);
    l->count += n;
    return 1;
}

void DeleteABody(int32_t index) {
    BodyListStruct* l = BodyList();
    if (!l || index < 0 || index >= l->count) return;
    BodyInfoStruct& b = l->body[index];
    if (b.spherePixID != 0) DisposeSpherePixData(rt.spherePixList, b.spherePixID);
    if (b.ringPix) {
        HUnlock(b.ringPix);
        DisposeHandle(b.ringPix);
        b.ringPix = 0;
    }
    --l->count;
    std::memmove(&l->body[index], &l->body[index + 1], sizeof(BodyInfoStruct) * size_t(l->count - index));
    DeallocBodyRT();
}

int32_t GetCraftIndex() {
    BodyListStruct* l = BodyList();
    if (!l) return -1;
    for (int32_t i = 0; i < l->count; ++i)
        if (l->body[i].bodyFlags & kCraftFlag) return i;
    return -1;
}

bool IsThereACraft() { return GetCraftIndex() >= 0; }

uint64_t RunTimeGeneration() { return runGeneration; }
void NoteRunTimeReplaced() { ++runGeneration; }
void SetBeforeRunReplaced(void (*keep)()) { beforeRunReplaced = keep; }

void ClearEngineRecord() {
    rt.craftDeltaV = 0.0;
    rt.engineFiredPush = rt.timedThrustPush = -1;
    rt.engineKeys = 0;
}

void DeallocBodyRT() {
    if (rt.bodyRT) {
        RunAboutToBeReplaced();
        ++runGeneration;
        HUnlock(rt.bodyRT);
        DisposeHandle(rt.bodyRT);
    }
    rt.bodyRT = 0;
    DisposeRTList(rt.trailList);
}

void TransferICsToRT() {
    DeallocBodyRT();
    DisposeScratchSpace();
    rt.pushCount = 0;
    rt.simTime = 0.0;
    ClearEngineRecord();
    ++runGeneration;
    if (!set.bodies) return;
    HLock(set.bodies);
    BodyListStruct* l = BodyList();
    Handle h = NewHandle(BodyRTListBytes(l->count));
    if (!h) {
        HUnlock(set.bodies);
        return;
    }
    rt.bodyRT = h;
    HLock(h);
    BodyRTListStruct* a = BodyRTList();
    a->count = l->count;
    for (int32_t i = 0; i < l->count; ++i) {
        const BodyInfoStruct& b = l->body[i];
        BodyRTStruct& r = a->body[i];
        std::memcpy(r.pos, b.pos, sizeof r.pos);
        std::memcpy(r.vel, b.vel, sizeof r.vel);
        SetIdentityIJK(r.axes);
        BuildBodyAxes(r.axes, b.axisTilt, b.axisAzimuth, b.spinPhase);
        if (b.parent > 0 && b.parent - 1 < i) {
            const BodyRTStruct& p = a->body[b.parent - 1];
            LocalIJKVectToGlobal(r.pos, r.pos, &p.axes);
            LocalIJKVectToGlobal(r.vel, r.vel, &p.axes);
            for (int n = 0; n < 3; ++n) {
                r.pos[n] += p.pos[n];
                r.vel[n] += p.vel[n];
            }
            IJK nested;
            NestedIJK(&nested, &r.axes, &p.axes);
            r.axes = nested;
            OrthonormalizeIJK(r.axes);
        }
        std::memcpy(r.lastPos, r.pos, sizeof r.pos);
        std::memcpy(r.lastVel, r.vel, sizeof r.vel);
        r.mass = b.mass;
        r.radius = b.radius;
        r.spinRate = b.spinRate;
        r.bodyFlags = b.bodyFlags;
        r.color = b.color;
        std::memcpy(r.name, b.name, sizeof r.name);
        r.statusFlags = b.mass == 0.0 ? kParticleStatus : 0;
        r.spherePix = GetPointerToSpherePix(rt.spherePixList, b.spherePixID);
        if (b.ringRatio > 1.0) {
            r.ringPix = RingPixPtrFromHandle(b.ringPix);
            r.ringRadius = b.ringRatio * b.radius;
        } else {
            r.ringPix = nullptr;
        }
    }
    HUnlock(h);
    RealignInertialReferenceFrame();
    HUnlock(set.bodies);
}

void SetICsToRT() {
    RunAboutToBeReplaced();
    DisposeScratchSpace();
    // The present state becomes the start, so its moment becomes the epoch.
    if (epoch.known && BodyList() && BodyRTList()) epoch.tdbSeconds += rt.simTime;
    rt.pushCount = 0;
    rt.simTime = 0.0;
    ClearEngineRecord();
    ++runGeneration;
    BodyListStruct* l = BodyList();
    BodyRTListStruct* a = BodyRTList();
    if (!l || !a) return;
    int32_t n = l->count < a->count ? l->count : a->count;
    for (int32_t i = 0; i < n; ++i) PresentStateAsInitial(a->body[i], l->body[i]);
    for (int32_t i = l->count - 1; i >= 0; --i)
        if (BodyList()->body[i].bodyFlags == kDestroyedBodyFlags) DeleteABody(i);
}

void PresentStateAsInitial(const BodyRTStruct& r, BodyInfoStruct& b) {
    std::memcpy(b.pos, r.pos, sizeof b.pos);
    std::memcpy(b.vel, r.vel, sizeof b.vel);
    double kz = r.axes.k[2] / 65536.0;
    if (kz > 1.0) kz = 1.0;
    if (kz < -1.0) kz = -1.0;
    b.axisTilt = std::acos(kz);
    b.axisAzimuth = std::atan2(double(r.axes.k[1]), double(r.axes.k[0]));
    IJK f;
    BuildBodyAxes(f, b.axisTilt, b.axisAzimuth, 0.0);
    double ij = double(r.axes.i[0]) * f.j[0] + double(r.axes.i[1]) * f.j[1] + double(r.axes.i[2]) * f.j[2];
    double ii = double(r.axes.i[0]) * f.i[0] + double(r.axes.i[1]) * f.i[1] + double(r.axes.i[2]) * f.i[2];
    b.spinPhase = std::atan2(ij, ii);
    b.parent = 0;
    b.mass = r.mass;
    b.radius = r.radius;
    b.spinRate = r.spinRate;
    b.bodyFlags = r.bodyFlags;
    b.color = r.color;
    if (r.statusFlags & kAbsorbedStatus) b.bodyFlags = kDestroyedBodyFlags;
}

void DeallocBodyIC() {
    BodyListStruct* l = BodyList();
    if (l)
        for (int32_t i = l->count - 1; i >= 0; --i) DeleteABody(i);
    if (set.bodies) {
        HUnlock(set.bodies);
        DisposeHandle(set.bodies);
    }
    set.bodies = 0;
}

void DeallocateAllPushMemory() {
    DeallocBodyIC();
    DeallocBodyRT();
}
