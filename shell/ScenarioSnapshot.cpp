#include "shell/ScenarioSnapshot.h"

#include <cstring>

#include "core/Fnv1a.h"
#include "imagery/SpherePix.h"
#include "render/Camera.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "windows/ObjectWindow.h"

namespace {

uint64_t HashBytes(const uint8_t* bytes, size_t size) {
    uint64_t h = kFnv1aStart;
    MixFnv1a(h, bytes, size);
    return h;
}

bool SameBytes(const std::vector<uint8_t>& kept, const uint8_t* bytes, size_t size) {
    return kept.size() == size && (size == 0 || std::memcmp(kept.data(), bytes, size) == 0);
}

void ForgetExpired(BytesPool& pool) {
    for (auto it = pool.byHash.begin(); it != pool.byHash.end();)
        it = it->second.expired() ? pool.byHash.erase(it) : std::next(it);
}

SharedBytes HandleBytes(BytesPool& pool, Handle h) {
    if (!h || !IsValidHandle(h)) return nullptr;
    return InternBytes(pool, static_cast<const uint8_t*>(HandlePtr(h)), size_t(GetHandleSize(h)));
}

bool HandleHoldsBytes(Handle h, const SharedBytes& bytes) {
    const bool present = h && IsValidHandle(h);
    if (!present || !bytes) return !present && !bytes;
    return SameBytes(*bytes, static_cast<const uint8_t*>(HandlePtr(h)), size_t(GetHandleSize(h)));
}

Handle HandleWithBytes(const std::vector<uint8_t>& bytes) { return NewHandleWithBytes(bytes.data(), bytes.size()); }

// The record with the fields that name memory blocks cleared: those differ
// between copies of the same body.
BodyInfoStruct WithoutBlocks(const BodyInfoStruct& info) {
    BodyInfoStruct out = info;
    out.spherePixID = 0;
    out.ringPix = kNoHandle;
    return out;
}

SettingsStruct SettingsWithoutBlocks(const SettingsStruct& s) {
    SettingsStruct out = s;
    out.bodies = kNoHandle;
    out.timedThrust = kNoHandle;
    return out;
}

// The settings that say how the scenario is looked at, not what it is: camera, field of
// view, labels, drawing, trails and star field.
SettingsStruct WithoutView(const SettingsStruct& s) {
    SettingsStruct out = SettingsWithoutBlocks(s);
    out.viewAngle = out.autoRotation = out.savedEyeDistance = out.savedCameraTilt = out.savedCameraAzimuth = 0;
    out.starInclination = out.starAzimuth = 0;
    out.minPointSize = out.eyeRadius = out.trailLength = out.cameraSelection = out.cameraMode = 0;
    out.displayFlags = out.labelFlags = 0;
    return out;
}

bool SameEpoch(const EpochStruct& a, const EpochStruct& b) {
    return a.known == b.known && (!a.known || a.tdbSeconds == b.tdbSeconds);
}

Handle PictureOf(const BodyInfoStruct& info) {
    return info.spherePixID ? GetSphereListPICT(rt.spherePixList, info.spherePixID) : kNoHandle;
}

bool BodiesDiffer(const ScenarioSnapshot& s) {
    const BodyListStruct* list = BodyList();
    if ((list != nullptr) != s.hasBodyList) return true;
    if (!list) return false;
    if (size_t(list->count) != s.bodies.size()) return true;
    for (size_t i = 0; i < s.bodies.size(); ++i) {
        const BodyInfoStruct& now = list->body[i];
        const BodyInfoStruct bare = WithoutBlocks(now);
        if (std::memcmp(&bare, &s.bodies[i].info, sizeof bare) != 0) return true;
        if (!HandleHoldsBytes(PictureOf(now), s.bodies[i].picture)) return true;
        if (!HandleHoldsBytes(now.ringPix, s.bodies[i].ring)) return true;
    }
    return false;
}

bool ThrustDiffers(const ScenarioSnapshot& s) {
    const TimedThrustListStruct* list = TTList(set.timedThrust);
    if ((list != nullptr) != s.hasThrust) return true;
    if (!list) return false;
    if (size_t(list->count) != s.thrust.size()) return true;
    return !s.thrust.empty() &&
           std::memcmp(list->entry, s.thrust.data(), s.thrust.size() * sizeof(TimedThrustInfoStruct)) != 0;
}

// Surface-map entries of the present bodies whose pictures the snapshot
// wants again, matched by content, each entry used once. Returns the ids for
// the snapshot's bodies (0: build a new map) and marks the present bodies
// whose entries were taken.
std::vector<int32_t> ReusableSurfaceMaps(const ScenarioSnapshot& s, std::vector<bool>& taken) {
    std::vector<int32_t> ids(s.bodies.size(), 0);
    const BodyListStruct* list = BodyList();
    taken.assign(list ? size_t(list->count) : 0, false);
    for (size_t i = 0; i < s.bodies.size(); ++i) {
        if (!s.bodies[i].picture) continue;
        for (size_t j = 0; j < taken.size(); ++j) {
            const BodyInfoStruct& now = list->body[j];
            if (taken[j] || !now.spherePixID || !HandleHoldsBytes(PictureOf(now), s.bodies[i].picture)) continue;
            ids[i] = now.spherePixID;
            taken[j] = true;
            break;
        }
    }
    return ids;
}

// Frees the present body list; surface maps marked as taken stay in the picture list.
void ReleasePresentBodies(const std::vector<bool>& taken) {
    if (BodyListStruct* list = BodyList()) {
        for (int32_t j = 0; j < list->count; ++j) {
            BodyInfoStruct& b = list->body[j];
            if (b.spherePixID && !taken[size_t(j)]) DisposeSpherePixData(rt.spherePixList, b.spherePixID);
            if (b.ringPix) {
                HUnlock(b.ringPix);
                DisposeHandle(b.ringPix);
            }
            b.spherePixID = 0;
            b.ringPix = kNoHandle;
        }
    }
    DeallocBodyIC();
}

int32_t SurfaceMapFor(const BodySnapshot& body, int32_t reused) {
    if (reused || !body.picture) return reused;
    const Handle picture = HandleWithBytes(*body.picture);
    if (!picture) return 0;
    const int32_t id = AddPICTToSpherePixList(rt.spherePixList, picture);
    if (!id) DisposeHandle(picture);  // the list did not take it
    return id;
}

bool RestoreBodies(const ScenarioSnapshot& s) {
    DeallocBodyRT();  // the run-time bodies point into the maps and rings released below
    std::vector<bool> taken;
    const std::vector<int32_t> reused = ReusableSurfaceMaps(s, taken);
    ReleasePresentBodies(taken);
    if (!s.hasBodyList) return true;
    const size_t n = s.bodies.size();
    set.bodies = NewHandle(kBodyListHeaderSize + (n + 1) * sizeof(BodyInfoStruct));
    bool complete = set.bodies != kNoHandle;
    for (size_t i = 0; i < n; ++i) {
        const int32_t id = SurfaceMapFor(s.bodies[i], reused[i]);
        BodyListStruct* list = BodyList();
        if (!list) {
            if (id) DisposeSpherePixData(rt.spherePixList, id);
            continue;
        }
        BodyInfoStruct info = s.bodies[i].info;
        info.spherePixID = id;
        info.ringPix = s.bodies[i].ring ? HandleWithBytes(*s.bodies[i].ring) : kNoHandle;
        complete &= (id != 0) == (s.bodies[i].picture != nullptr) && (info.ringPix != 0) == (s.bodies[i].ring != nullptr);
        list->body[list->count++] = info;
    }
    return complete;
}

bool RestoreThrust(const ScenarioSnapshot& s) {
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = kNoHandle;
    if (!s.hasThrust) return true;
    set.timedThrust = NewHandle(kTTListHeaderSize + (s.thrust.size() + 1) * sizeof(TimedThrustInfoStruct));
    TimedThrustListStruct* list = TTList(set.timedThrust);
    if (!list) return false;
    list->count = int32_t(s.thrust.size());
    if (!s.thrust.empty())
        std::memcpy(list->entry, s.thrust.data(), s.thrust.size() * sizeof(TimedThrustInfoStruct));
    return true;
}

}  // namespace

SharedBytes InternBytes(BytesPool& pool, const uint8_t* bytes, size_t size) {
    const uint64_t hash = HashBytes(bytes, size);
    auto [first, last] = pool.byHash.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (SharedBytes kept = it->second.lock(); kept && SameBytes(*kept, bytes, size)) return kept;
    if (pool.byHash.size() >= 256) ForgetExpired(pool);
    auto made = std::make_shared<const std::vector<uint8_t>>(bytes, bytes + size);
    pool.byHash.emplace(hash, made);
    return made;
}

ScenarioSnapshot CaptureScenario(BytesPool& pool) {
    ScenarioSnapshot s;
    s.settings = SettingsWithoutBlocks(set);
    s.selectedBody = rt.selectedBody;
    s.epoch = epoch;
    if (const BodyListStruct* list = BodyList()) {
        s.hasBodyList = true;
        s.bodies.resize(size_t(list->count));
        for (int32_t i = 0; i < list->count; ++i) {
            const BodyInfoStruct& b = list->body[i];
            BodySnapshot& out = s.bodies[size_t(i)];
            out.info = WithoutBlocks(b);
            out.picture = HandleBytes(pool, PictureOf(b));
            out.ring = HandleBytes(pool, b.ringPix);
        }
    }
    if (const TimedThrustListStruct* list = TTList(set.timedThrust)) {
        s.hasThrust = true;
        s.thrust.assign(list->entry, list->entry + list->count);
    }
    return s;
}

ScenarioDifference CompareWithScenario(const ScenarioSnapshot& s) {
    ScenarioDifference d;
    const SettingsStruct now = SettingsWithoutBlocks(set);
    d.settings = std::memcmp(&now, &s.settings, sizeof now) != 0;
    const SettingsStruct nowContent = WithoutView(set), thenContent = WithoutView(s.settings);
    d.viewOnly = std::memcmp(&nowContent, &thenContent, sizeof nowContent) == 0;
    d.epoch = !SameEpoch(epoch, s.epoch);
    d.bodies = BodiesDiffer(s);
    d.thrust = ThrustDiffers(s);
    return d;
}

bool RestoreScenario(const ScenarioSnapshot& s) {
    const ScenarioDifference d = CompareWithScenario(s);
    bool complete = true;
    if (d.bodies) {
        complete &= RestoreBodies(s);
        const BodyListStruct* list = BodyList();
        rt.selectedBody = list && s.selectedBody < list->count ? s.selectedBody : -1;
    }
    if (d.thrust) complete &= RestoreThrust(s);
    const bool forceLawChanged = std::memcmp(&set.powerLaw, &s.settings.powerLaw, sizeof set.powerLaw) != 0;
    if (d.settings) {
        const bool viewChanged = set.viewAngle != s.settings.viewAngle ||
                                 set.starInclination != s.settings.starInclination ||
                                 set.starAzimuth != s.settings.starAzimuth;
        SettingsStruct restored = s.settings;
        restored.bodies = set.bodies;
        restored.timedThrust = set.timedThrust;
        set = restored;
        if (viewChanged) SetRunTimeViewingVariables();  // projection and star-field frame follow them
    }
    if (d.epoch) epoch = s.epoch;
    if (d.bodies || d.thrust || forceLawChanged) DeallocBodyRT();
    UpdateObjectWindowVars();
    return complete;
}

size_t SnapshotRecordBytes(const ScenarioSnapshot& s) {
    return sizeof s + s.bodies.size() * sizeof(BodySnapshot) + s.thrust.size() * sizeof(TimedThrustInfoStruct);
}
