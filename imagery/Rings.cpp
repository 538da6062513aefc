#include "imagery/Rings.h"

#include <cmath>
#include <cstdlib>

#include "imagery/SpherePix.h"
#include "render/RenderBuffer.h"

Handle NewRingPixMapFromPICT(Handle picture) {
    if (!picture) return kNoHandle;
    const Handle h = NewHandleClear(4096);
    if (!h) return kNoHandle;
    uint8_t* base = nullptr;
    int32_t rowBytes = 0;
    OffscreenGW* gw = SetupNFillNewGW(picture, Rect{0, 0, 1, 1024}, &base, &rowBytes);
    if (!gw) {
        DisposeHandle(h);
        return kNoHandle;
    }
    MoveHHi(h);
    HLock(h);
    auto* tex = HandleAs<uint32_t>(h);
    for (int32_t i = 1023; i >= 0; --i) {
        const uint32_t p = ReadRGBFrom24BitPixMap(base, rowBytes, i, 0);
        const uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        tex[i] = MakeTexel(TexelLuminance(r, g, b), r, g, b);
    }
    DisposeGW(gw);
    return h;
}

uint32_t* RingPixPtrFromHandle(Handle ring) {
    if (!ring || !IsValidHandle(ring)) return nullptr;
    HUnlock(ring);
    MoveHHi(ring);
    HLock(ring);
    return HandleAs<uint32_t>(ring);
}

namespace {

inline int32_t RingSqrt(int32_t q, const uint16_t* T) {
    if (q >= 0x10000) { const int32_t i = q >> 10; return T[i > 255 ? 255 : i] << 1; }
    if (q >= 0x4000) return T[q >> 8];
    if (q >= 0x1000) return T[q >> 6] >> 1;
    if (q >= 0x400) return T[q >> 4] >> 2;
    if (q >= 0x100) return T[q >> 2] >> 3;
    return T[q] >> 4;
}

inline uint32_t AddPin(uint32_t pixel, uint32_t texel) {
    uint32_t out = 0;
    for (int sh = 0; sh <= 16; sh += 8) {
        uint32_t c = ((pixel >> sh) & 255) + ((texel >> sh) & 255);
        out |= (c > 255 ? 255 : c) << sh;
    }
    return out;  // the spare top byte ends up 0
}

}  // namespace

void DrawRing(const Rect& clip, const uint16_t* T, int32_t cx, int32_t cy, int32_t ri, int32_t r, const int32_t* m,
              uint8_t* base, int32_t rowBytes, const uint32_t* profile, int32_t half) {
    if (!m || !profile || !T || !base || r <= ri || r <= 0) return;
    if (m[8] >= -1 && m[8] <= 1) return;  // edge-on
    const int32_t F = int32_t((1u << 24) / uint32_t(std::abs(m[8])));
    const double l2 = double(m[6]) * m[6] + double(m[7]) * m[7];
    const int32_t step = l2 == 0 ? 65536 : int32_t(4294967296.0 / (std::sqrt(l2) * r));
    const int32_t sigma = half == 0 ? (m[8] >= 0 ? 1 : -1) : (m[8] <= 0 ? 1 : -1);
    const int32_t q0 = int32_t(int64_t(int64_t(ri) * 65536 / r) * ri / r);
    const int32_t A = int32_t(256.0 * r / (r - ri)), B = int32_t(-65536.0 * ri / (r - ri));
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        const int64_t ym7 = int64_t(m[7]) * y, ym6 = int64_t(m[6]) * y;
        auto* row = reinterpret_cast<uint32_t*>(base + py * rowBytes);
        for (int32_t px = clip.left; px < clip.right; ++px) {
            const int32_t x = ((px - cx) * step) >> 8;
            const int32_t t = sigma * int32_t((int64_t(m[6]) * x + ym7) >> 16);
            if (half == 0 ? t <= 0 : t < 0) continue;
            const int64_t a = (int64_t(m[7]) * x - ym6) >> 16;
            const int64_t b = (int64_t(F) * t) >> 8;
            if (b >= 257) continue;
            const int64_t rho2 = a * a + b * b;
            if (rho2 > 65536 || rho2 <= q0) continue;
            const int32_t idx = RingSqrt(int32_t(rho2), T) * A + B;
            if (idx <= 0) continue;
            const int32_t i = idx >> 6;
            row[px] = AddPin(row[px], profile[i > 1023 ? 1023 : i]);
        }
    }
}
