// The painters as they were before vectorising: one pixel at a time. Kept as the benchmarks'
// baseline for the vectorised ones.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "imagery/Rings.h"
#include "imagery/SphereRaster.h"

namespace scalar {

// The ring painter walking its whole clip, every pixel tested.
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

// Per-rotation constants of the ring painter. (n6, n7) is the screen direction of the ring's
// normal, M6 and M7 of the rotation; step scales pixels so that n6 x + n7 y comes out in units
// of R/256. Near face-on that direction is a few units long and the step up to 2^32 / R, so the
// products are taken in 64 bits; exactly face-on any direction serves and (1, 0) is taken,
// the limit of a ring tipped ever so slightly about the screen's vertical.
struct RingView {
    int64_t n6, n7;
    int64_t F, step;
    int32_t sigma;
    bool visible;  // false when the ring plane is edge-on
};

inline RingView MakeRingView(const int32_t* m, int32_t r, int32_t half) {
    RingView v{m[6], m[7], 0, 65536, 1, !(m[8] >= -1 && m[8] <= 1)};
    if (!v.visible) return v;
    if (v.n6 == 0 && v.n7 == 0) v.n6 = 1;
    v.F = int64_t((1u << 24) / uint32_t(std::abs(m[8])));
    const double l2 = double(v.n6) * v.n6 + double(v.n7) * v.n7;
    v.step = int64_t(4294967296.0 / (std::sqrt(l2) * r));
    v.sigma = half == 0 ? (m[8] >= 0 ? 1 : -1) : (m[8] <= 0 ? 1 : -1);
    return v;
}

// Shared radial mapping: squared inner limit and profile index scale. A and B reach past
// 32 bits for a thin ring many thousand pixels across.
struct RingRadial {
    int64_t q0, A, B;
};

inline RingRadial MakeRingRadial(int32_t ri, int32_t r) {
    return RingRadial{int64_t(int64_t(ri) * 65536 / r) * ri / r, int64_t(256.0 * r / (double(r) - ri)),
                      int64_t(-65536.0 * ri / (double(r) - ri))};
}

// Profile texel under view point (x, y), or -1 when the point is not on this half of the ring.
inline int64_t RingTexelIndex(const RingView& v, const RingRadial& rad, int64_t x, int64_t yn6, int64_t yn7,
                              int32_t half, const uint16_t* T) {
    const int64_t t = v.sigma * ((v.n6 * x + yn7) >> 16);
    if (half == 0 ? t <= 0 : t < 0) return -1;
    const int64_t b = (v.F * t) >> 8;
    if (b >= 257) return -1;
    const int64_t a = (v.n7 * x - yn6) >> 16;
    if (a > 256 || a < -256) return -1;
    const int64_t rho2 = a * a + b * b;
    if (rho2 > 65536 || rho2 <= rad.q0) return -1;
    const int64_t idx = RingSqrt(int32_t(rho2), T) * rad.A + rad.B;
    if (idx <= 0) return -1;
    const int64_t i = idx >> 6;  // the outer edge would index one past the end
    return i > kRingProfileTexels - 1 ? kRingProfileTexels - 1 : i;
}

// Ring coordinate of pixel offset d from the centre (y grows upward).
inline int64_t RingCoord(int64_t d, const RingView& v) { return (d * v.step) >> 8; }

inline void DrawRing(const Rect& clip, const uint16_t* T, int32_t cx, int32_t cy, int32_t ri, int32_t r, const int32_t* m,
              uint8_t* base, int32_t rowBytes, const uint32_t* profile, int32_t half) {
    if (!m || !profile || !T || !base || r <= ri || r <= 0) return;
    const RingView v = MakeRingView(m, r, half);
    if (!v.visible) return;
    const RingRadial rad = MakeRingRadial(ri, r);
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int64_t y = RingCoord(-(int64_t(py) - cy), v);
        const int64_t yn7 = v.n7 * y, yn6 = v.n6 * y;
        auto* row = reinterpret_cast<uint32_t*>(base + py * rowBytes);
        for (int32_t px = clip.left; px < clip.right; ++px) {
            const int64_t i = RingTexelIndex(v, rad, RingCoord(int64_t(px) - cx, v), yn6, yn7, half, T);
            if (i >= 0) row[px] = AddPin(row[px], profile[i]);
        }
    }
}


inline void DrawSphere(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base,
                       int32_t rowBytes, const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
    using namespace sphere_raster;
    if (!m || !tex || !T || !U || !base || r < 1) return;
    const int32_t step = 65536 / r;
    ShrinkTo(clip, cx, cy, r);
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        const int32_t ym1 = y * m[1], ym4 = y * m[4], ym7 = y * m[7];
        uint32_t* row = PixelAt(base, rowBytes, 0, py);
        for (int32_t px = clip.left; px < clip.right; ++px) {
            const int32_t x = ((px - cx) * step) >> 8;
            const int32_t q = 65536 - y * y - x * x;
            if (q <= 0) continue;
            row[px] = TexelAt(tex, m, x, SqrtQ(q, T), ym1, ym4, ym7, U);
        }
    }
}

}  // namespace scalar
