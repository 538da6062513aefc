#include "io/UniverseImage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/Limits.h"
#include "core/TextBytes.h"
#include "io/ByteOrder.h"
#include "io/FileAccess.h"
#include "io/Pictures.h"
#include "io/ScenarioChecks.h"
#include "io/UniverseEndian.h"
#include "io/UniverseStrings.h"

namespace {

std::string FromCounted(const Str31 s) { return std::string(reinterpret_cast<const char*>(s + 1), std::min<int>(s[0], 31)); }

bool Refuse(std::string& error, const std::string& reason) {
    error = reason;
    return false;
}

void AddBlock(ResourceFile& rf, uint32_t type, int16_t id, const std::string& name, const void* p, size_t n) {
    rf.Add(type, id, name, static_cast<const uint8_t*>(p), n);
}

}  // namespace

std::string PictureResourceName(const Str31 bodyName) {
    const std::string suffix = UniverseString(4);
    std::string name = FromCounted(bodyName);
    if (name.size() + suffix.size() > 31) name.resize(31 - suffix.size());
    return name + suffix;
}

std::string PictureFileName(const std::string& resourceName) {
    std::string file = resourceName;
    for (char& c : file)
        if (c == '/' || c == '\0') c = '_';
    return IsPlainFileName(file) ? file : "_" + file;
}

std::string RingResourceName(const Str31 bodyName) { return UniverseString(5) + FromCounted(bodyName); }

bool BuildUniverseResources(const UniverseSaveInput& in, ResourceFile& rf) {
    SettingsStruct s = in.settings;
    s.bodies = 0;
    s.timedThrust = 0;
    bool ok = true;
    if (in.bodies && in.bodies->count > 0 &&
        in.bodiesBlockSize >= kBodyListHeaderSize + sizeof(BodyInfoStruct) * size_t(in.bodies->count)) {
        const int32_t count = in.bodies->count;
        // One spare entry of zeros after the bodies, as the in-memory list has.
        std::vector<uint8_t> list(kBodyListHeaderSize + sizeof(BodyInfoStruct) * (size_t(count) + 1), 0);
        std::memcpy(list.data(), in.bodies, kBodyListHeaderSize + sizeof(BodyInfoStruct) * size_t(count));
        auto* L = reinterpret_cast<BodyListStruct*>(list.data());
        for (int32_t k = 0; k < count; ++k) {
            BodyInfoStruct& b = L->body[k];
            const int16_t id = int16_t(kFirstBodyResID + k);
            if (b.spherePixID != 0) {
                const Handle pict = in.picture ? in.picture(b.spherePixID) : kNoHandle;
                if (!pict) {
                    b.spherePixID = 0;
                } else {
                    const std::string name = PictureResourceName(b.name);
                    b.spherePixID = id;
                    if (in.embedPictures) {
                        AddBlock(rf, kPictResType, id, name, HandlePtr(pict), size_t(GetHandleSize(pict)));
                    } else {
                        const std::string file = PictureFileName(name);
                        ok = WritePICTFile(pict, in.folder + "/" + file) && ok;
                        std::vector<uint8_t> str(1 + file.size());
                        str[0] = uint8_t(file.size());
                        std::memcpy(str.data() + 1, file.data(), file.size());
                        AddBlock(rf, kStringResType, id, name, str.data(), str.size());
                    }
                }
            }
            if (b.ringPix != kNoHandle) {
                const size_t n = size_t(GetHandleSize(b.ringPix));
                if (n == 0) {
                    b.ringPix = 0;
                } else {
                    AddBlock(rf, kRingResType, id, RingResourceName(b.name), HandlePtr(b.ringPix), n);
                    b.ringPix = uint32_t(id);
                }
            }
        }
        EndianBodyListStruct_NtoB(list.data(), list.size());
        AddBlock(rf, kBodiesResType, kFirstBodyResID, "Bodies", list.data(), list.size());
        s.bodies = uint32_t(kFirstBodyResID);
    }
    if (in.thrust && in.thrustBlockSize >= kTTListHeaderSize) {
        std::vector<uint8_t> tt(reinterpret_cast<const uint8_t*>(in.thrust),
                                reinterpret_cast<const uint8_t*>(in.thrust) + in.thrustBlockSize);
        EndianTTListStruct_NtoB(tt.data(), tt.size());
        AddBlock(rf, kThrustResType, kFirstBodyResID, UniverseString(6), tt.data(), tt.size());
        s.timedThrust = uint32_t(kFirstBodyResID);
    }
    s.savedEyeDistance = in.eyeDistance;
    s.savedCameraTilt = std::acos(std::clamp(in.cameraIJK.k[2] / 65536.0, -1.0, 1.0));
    s.savedCameraAzimuth = std::atan2(double(in.cameraIJK.k[1]), double(in.cameraIJK.k[0]));
    s.reserved0 = 0;
    if (in.epoch.known) {
        double t = in.epoch.tdbSeconds;
        SwapBE64(&t);
        AddBlock(rf, kEpochResType, 0, "Epoch", &t, sizeof t);
    }
    EndianSettingsStruct_NtoB(s);
    AddBlock(rf, kSettingsResType, 0, "Settings", &s, sizeof s);
    return ok;
}

bool ReadUniverseResources(const ResourceFile& rf, LoadedUniverse& out, std::string& error,
                           const std::function<std::vector<uint8_t>(const std::string&, bool&)>& readPictureFile) {
    out = LoadedUniverse{};
    const Resource* settingsRes = rf.Get(kSettingsResType, 0);
    if (!settingsRes) {
        settingsRes = rf.GetFirstOfType(kSettingsResType);
        out.usedFallback = settingsRes != nullptr;
    }
    if (!settingsRes) return Refuse(error, "it has no settings resource");
    if (settingsRes->data.size() < sizeof(SettingsStruct))
        return Refuse(error, "its settings resource is " + std::to_string(settingsRes->data.size()) +
                                 " bytes, shorter than " + std::to_string(sizeof(SettingsStruct)));
    const uint8_t* sb = settingsRes->data.data();

    const Resource* bodiesRes = rf.Get(kBodiesResType, kFirstBodyResID);
    if (!bodiesRes) {
        const int16_t idAt72 = int16_t(sb[72] | (sb[73] << 8));
        bodiesRes = rf.Get(kBodiesResType, idAt72);
        if (!bodiesRes) bodiesRes = rf.GetFirstOfType(kBodiesResType);
        out.usedFallback = out.usedFallback || bodiesRes != nullptr;
    }
    if (!bodiesRes) return Refuse(error, "it has no body list resource");
    if (bodiesRes->data.size() < kMinListResourceSize)
        return Refuse(error, "its body list resource is " + std::to_string(bodiesRes->data.size()) +
                                 " bytes, shorter than " + std::to_string(kMinListResourceSize));

    std::vector<uint8_t> list = bodiesRes->data;
    EndianBodyListStruct_BtoN(list.data(), list.size());
    int32_t count;
    std::memcpy(&count, list.data(), 4);
    const size_t available = (list.size() - kMinListResourceSize) / sizeof(BodyInfoStruct);
    if (count < 0) return Refuse(error, "its body count " + std::to_string(count) + " is negative");
    if (size_t(count) > available)
        return Refuse(error, "its body list counts " + std::to_string(count) + " bodies but holds only " +
                                 std::to_string(available));
    if (std::string p = BodyCountProblem(count, 0); !p.empty()) return Refuse(error, "it holds " + p);

    std::memcpy(&out.settings, sb, sizeof(SettingsStruct));
    EndianSettingsStruct_BtoN(out.settings);
    if (std::string p = SettingsValueProblem(out.settings); !p.empty()) return Refuse(error, "settings: " + p);

    out.bodies.reserve(size_t(count));
    int32_t massive = 0;
    for (int32_t k = 0; k < count; ++k) {
        LoadedBody body;
        std::memcpy(&body.info, list.data() + kBodyListHeaderSize + sizeof(BodyInfoStruct) * size_t(k),
                    sizeof(BodyInfoStruct));
        ClampNameLength(body.info);
        if (std::string p = BodyValueProblem(body.info, k); !p.empty()) return Refuse(error, p);
        massive += body.info.mass != 0.0 ? 1 : 0;
        if (std::string p = BodyCountProblem(count, massive); !p.empty()) return Refuse(error, "it holds " + p);
        // Resource IDs are 16-bit; anything else names no resource.
        if (body.info.spherePixID < INT16_MIN || body.info.spherePixID > INT16_MAX) body.info.spherePixID = 0;
        if (body.info.ringPix > uint32_t(INT16_MAX)) body.info.ringPix = 0;
        if (body.info.spherePixID != 0) {
            const int16_t id = int16_t(body.info.spherePixID);
            if (const Resource* p = rf.Get(kPictResType, id)) {
                body.picture = p->data;
            } else if (const Resource* str = rf.Get(kStringResType, id); str && !str->data.empty() && readPictureFile) {
                const size_t n = std::min<size_t>(str->data[0], str->data.size() - 1);
                const std::string fileName(reinterpret_cast<const char*>(&str->data[1]), n);
                // Picture files live beside the universe: a path elsewhere could
                // carry any readable file into the next save.
                if (!IsPlainFileName(fileName)) {
                    out.warnings.push_back("the picture file \"" + DisplayText(&str->data[1], n, 255) + "\" of body " +
                                           std::to_string(k + 1) + " is not in the universe's folder; it is not read");
                } else {
                    bool ok = false;
                    body.picture = readPictureFile(fileName, ok);
                    if (!ok) body.picture.clear();
                }
            }
            // An empty picture block is no picture.
            if (body.picture.empty()) body.info.spherePixID = 0;
        }
        if (body.info.ringPix != 0) {
            const Resource* r = rf.Get(kRingResType, int16_t(body.info.ringPix));
            if (r && r->data.size() >= kRingProfileBytes) body.ring.assign(r->data.begin(), r->data.begin() + kRingProfileBytes);
            else body.info.ringPix = 0;
        }
        out.bodies.push_back(std::move(body));
    }

    const Resource* ttRes = rf.Get(kThrustResType, kFirstBodyResID);
    if (!ttRes) ttRes = rf.Get(kThrustResType, int16_t(out.settings.timedThrust & 0xFFFF));
    if (ttRes && ttRes->data.size() >= kTTListHeaderSize) {
        std::vector<uint8_t> tt = ttRes->data;
        EndianTTListStruct_BtoN(tt.data(), tt.size());
        int32_t ttCount;
        std::memcpy(&ttCount, tt.data(), 4);
        // A schedule whose block cannot hold its count is dropped.
        if (ttCount >= 0 && size_t(ttCount) <= (tt.size() - kTTListHeaderSize) / sizeof(TimedThrustInfoStruct)) {
            for (int32_t k = 0; k < ttCount; ++k) {
                TimedThrustInfoStruct e;
                std::memcpy(&e, tt.data() + kTTListHeaderSize + sizeof e * size_t(k), sizeof e);
                if (std::string p = ThrustEntryProblem(e, k); !p.empty()) return Refuse(error, p);
            }
            // Keep one spare entry after the schedule, as every list block has.
            tt.resize(std::max(tt.size(), kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (size_t(ttCount) + 1)), 0);
            out.thrust = std::move(tt);
        }
    }
    if (const Resource* e = rf.Get(kEpochResType, 0); e && e->data.size() >= sizeof(double)) {
        double t;
        std::memcpy(&t, e->data.data(), sizeof t);
        SwapBE64(&t);
        // A date outside ±100,000 years is no date this program can mean.
        if (std::isfinite(t) && std::fabs(t) < 3.2e12) out.epoch = EpochStruct{true, t};
    }
    error.clear();
    return true;
}
