#include "io/UniverseEndian.h"

#include <bit>
#include <cstring>

#include "io/ByteOrder.h"

namespace {

void SwapSettings(SettingsStruct& s) {
    SwapBE32(&s.reserved0);
    SwapBE32(&s.reserved4);
    SwapBE64(&s.gravConstant);
    SwapBE64(&s.powerLaw);
    SwapBE64(&s.timeStep);
    SwapBE64(&s.viewAngle);
    SwapBE32(&s.pushMethod);
    SwapBE32(&s.pushesPerFrame);
    SwapBE32(&s.minPointSize);
    SwapBE32(&s.reserved52);
    SwapBE32(&s.displayFlags);
    SwapBE32(&s.labelFlags);
    SwapBE32(&s.eyeRadius);
    SwapBE32(&s.trailLength);
    // bodies stays little-endian in files.
    if constexpr (std::endian::native == std::endian::big) s.bodies = __builtin_bswap32(s.bodies);
    SwapBE32(&s.timedThrust);
    SwapBE64(&s.craftThrust);
    SwapBE64(&s.autoRotation);
    SwapBE64(&s.savedEyeDistance);
    SwapBE64(&s.savedCameraTilt);
    SwapBE64(&s.savedCameraAzimuth);
    SwapBE32(&s.onCrash);
    SwapBE32(&s.cameraSelection);
    SwapBE32(&s.cameraMode);
    SwapBE32(&s.physicsOptions);
    SwapBE64(&s.reserved136);
    SwapBE64(&s.reserved144);
    SwapBE64(&s.starInclination);
    SwapBE64(&s.starAzimuth);
    for (auto& r : s.reserved168) SwapBE32(&r);
}

void SwapBody(BodyInfoStruct& b) {
    for (auto& v : b.pos) SwapBE64(&v);
    for (auto& v : b.vel) SwapBE64(&v);
    SwapBE64(&b.mass);
    SwapBE64(&b.radius);
    SwapBE64(&b.axisTilt);
    SwapBE64(&b.axisAzimuth);
    SwapBE64(&b.spinPhase);
    SwapBE64(&b.spinRate);
    SwapBE64(&b.ringRatio);
    SwapBE32(&b.bodyFlags);
    SwapBE32(&b.spherePixID);
    SwapBE32(&b.ringPix);
    SwapBE32(&b.parent);
    for (auto& r : b.reserved120) SwapBE32(&r);
    SwapBE16(&b.color.red);
    SwapBE16(&b.color.green);
    SwapBE16(&b.color.blue);
}

// Converts the header and min(count, what fits) entries; count is read in
// native order (before a NtoB swap, after a BtoN swap).
template <size_t kEntry, class F>
size_t SwapList(void* block, size_t size, bool toBig, F swapEntry) {
    if (!block || size < 8) return 0;
    auto* p = static_cast<uint8_t*>(block);
    int32_t count;
    if (toBig) std::memcpy(&count, p, 4);
    SwapBE32(p);
    SwapBE32(p + 4);
    if (!toBig) std::memcpy(&count, p, 4);
    if (count <= 0) return 0;
    const size_t n = std::min<size_t>(size_t(count), (size - 8) / kEntry);
    for (size_t k = 0; k < n; ++k) swapEntry(p + 8 + kEntry * k);
    return n;
}

void SwapTTEntry(uint8_t* e) {
    SwapBE64(e);
    SwapBE32(e + 8);
    SwapBE32(e + 12);
}

void SwapBodyEntry(uint8_t* e) {
    BodyInfoStruct b;
    std::memcpy(&b, e, sizeof b);
    SwapBody(b);
    std::memcpy(e, &b, sizeof b);
}

}  // namespace

void EndianSettingsStruct_NtoB(SettingsStruct& s) { SwapSettings(s); }
void EndianSettingsStruct_BtoN(SettingsStruct& s) { SwapSettings(s); }
void EndianBodyInfoStruct_NtoB(BodyInfoStruct& b) { SwapBody(b); }
void EndianBodyInfoStruct_BtoN(BodyInfoStruct& b) { SwapBody(b); }
void EndianBodyListStruct_NtoB(void* block, size_t size) {
    SwapList<sizeof(BodyInfoStruct)>(block, size, true, SwapBodyEntry);
}
size_t EndianBodyListStruct_BtoN(void* block, size_t size) {
    return SwapList<sizeof(BodyInfoStruct)>(block, size, false, SwapBodyEntry);
}
void EndianTTListStruct_NtoB(void* block, size_t size) {
    SwapList<sizeof(TimedThrustInfoStruct)>(block, size, true, SwapTTEntry);
}
size_t EndianTTListStruct_BtoN(void* block, size_t size) {
    return SwapList<sizeof(TimedThrustInfoStruct)>(block, size, false, SwapTTEntry);
}
