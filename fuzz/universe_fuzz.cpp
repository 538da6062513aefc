// libFuzzer target: a universe read from any resource file is either refused
// or holds only usable values; what was read, saved again as the application
// saves, reads back to the same scenario.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/ScenarioChecks.h"
#include "io/UniverseImage.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

Handle HandleOf(const std::vector<uint8_t>& bytes) {
    const Handle h = NewHandle(bytes.size());
    if (h && !bytes.empty()) std::memcpy(HandlePtr(h), bytes.data(), bytes.size());
    return h;
}

// The settings as a save writes them back: IDs, the camera and the reserved word are the writer's own.
SettingsStruct Comparable(SettingsStruct s) {
    s.bodies = s.timedThrust = 0;
    s.reserved0 = 0;
    s.savedEyeDistance = s.savedCameraTilt = s.savedCameraAzimuth = 0;
    return s;
}

void CheckUsable(const LoadedUniverse& u) {
    Require(SettingsValueProblem(u.settings).empty());
    for (size_t k = 0; k < u.bodies.size(); ++k) {
        const LoadedBody& b = u.bodies[k];
        Require(b.info.name[0] <= 31);
        Require(BodyValueProblem(b.info, int32_t(k)).empty());
        Require(b.ring.empty() || b.ring.size() == kRingProfileBytes);
        Require(b.picture.empty() == (b.info.spherePixID == 0));
    }
    if (!u.thrust.empty()) {
        const auto* t = reinterpret_cast<const TimedThrustListStruct*>(u.thrust.data());
        Require(t->count >= 0 && kTTListHeaderSize + 16 * (size_t(t->count) + 1) <= u.thrust.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourceFile rf;
    std::string error;
    if (!rf.Parse(data, size, error)) return 0;
    LoadedUniverse u;
    if (!ReadUniverseResources(rf, u, error)) {
        Require(!error.empty());
        return 0;
    }
    CheckUsable(u);

    // Save it again: the body list with pictures and rings as the lists would hold them.
    const int32_t count = int32_t(u.bodies.size());
    std::vector<uint8_t> list(kBodyListHeaderSize + sizeof(BodyInfoStruct) * (size_t(count) + 1), 0);
    auto* L = reinterpret_cast<BodyListStruct*>(list.data());
    L->count = count;
    std::vector<Handle> pictures, rings;
    for (int32_t k = 0; k < count; ++k) {
        BodyInfoStruct info = u.bodies[k].info;
        pictures.push_back(u.bodies[k].picture.empty() ? kNoHandle : HandleOf(u.bodies[k].picture));
        rings.push_back(u.bodies[k].ring.empty() ? kNoHandle : HandleOf(u.bodies[k].ring));
        info.spherePixID = pictures.back() ? k + 1 : 0;
        info.ringPix = rings.back();
        L->body[k] = info;
    }
    UniverseSaveInput in;
    in.settings = u.settings;
    in.bodies = count > 0 ? L : nullptr;
    in.bodiesBlockSize = list.size();
    in.picture = [&](int32_t id) { return id >= 1 && id <= count ? pictures[size_t(id - 1)] : kNoHandle; };
    in.eyeDistance = u.settings.savedEyeDistance;
    in.cameraIJK = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    if (!u.thrust.empty()) {
        in.thrust = reinterpret_cast<const TimedThrustListStruct*>(u.thrust.data());
        in.thrustBlockSize = u.thrust.size();
    }
    ResourceFile saved;
    Require(BuildUniverseResources(in, saved));
    for (Handle h : pictures) DisposeHandle(h);
    for (Handle h : rings) DisposeHandle(h);
    std::vector<uint8_t> bytes;
    Require(saved.Serialize(bytes, error));

    ResourceFile reread;
    Require(reread.Parse(bytes.data(), bytes.size(), error));
    LoadedUniverse back;
    // A file without bodies is refused on opening, as the application refuses it.
    if (count == 0) {
        Require(!ReadUniverseResources(reread, back, error));
        return 0;
    }
    Require(ReadUniverseResources(reread, back, error));
    CheckUsable(back);
    const SettingsStruct a = Comparable(u.settings), b = Comparable(back.settings);
    Require(std::memcmp(&a, &b, sizeof a) == 0);
    Require(back.bodies.size() == u.bodies.size());
    for (size_t k = 0; k < u.bodies.size(); ++k) {
        BodyInfoStruct x = u.bodies[k].info, y = back.bodies[k].info;
        x.spherePixID = y.spherePixID = 0;
        x.ringPix = y.ringPix = 0;
        Require(std::memcmp(&x, &y, sizeof x) == 0);
        Require(back.bodies[k].picture == u.bodies[k].picture);
        Require(back.bodies[k].ring == u.bodies[k].ring);
    }
    Require(back.thrust.empty() == u.thrust.empty());
    return 0;
}
