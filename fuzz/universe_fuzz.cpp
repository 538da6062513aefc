// libFuzzer target: reading a universe from any resource file must either
// refuse it or yield bodies whose counts and blocks are consistent.
#include <cstdint>
#include <cstdlib>

#include "io/UniverseImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourceFile rf;
    std::string error;
    if (!rf.Parse(data, size, error)) return 0;
    LoadedUniverse u;
    if (!ReadUniverseResources(rf, u, error)) return 0;
    for (const auto& b : u.bodies) {
        if (!b.ring.empty() && b.ring.size() != kRingProfileBytes) std::abort();
        if (b.picture.empty() != (b.info.spherePixID == 0)) std::abort();
    }
    if (!u.thrust.empty()) {
        const auto* t = reinterpret_cast<const TimedThrustListStruct*>(u.thrust.data());
        if (t->count < 0 || kTTListHeaderSize + 16 * size_t(t->count) > u.thrust.size()) std::abort();
    }
    return 0;
}
