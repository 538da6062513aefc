// The fixed-point sphere rasterisers: no floating point in the pixel loops.
#include "imagery/SpherePix.h"
#include "imagery/SphereRaster.h"

#include <algorithm>

using namespace sphere_raster;

void DrawSphere(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base, int32_t rowBytes,
                const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
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

void DrawSphere3D(const uint32_t* tex, const uint16_t* T, const uint16_t* U, Rect& red, Rect& cyan, int32_t hR,
                  int32_t hC, int32_t cy, const int32_t* mR, const int32_t* mC, int32_t r, uint8_t* base,
                  int32_t rowBytes) {
    if (!tex || !T || !U || !mR || !mC || !base || r < 1) return;
    int32_t r1 = 0, r4 = 0, r7 = 0, c1 = 0, c4 = 0, c7 = 0;  // products with the row's y
    PaintStereoDisc(
        red, cyan, hR, hC, cy, r, base, rowBytes, T,
        [&](int32_t y) {
            r1 = y * mR[1], r4 = y * mR[4], r7 = y * mR[7];
            c1 = y * mC[1], c4 = y * mC[4], c7 = y * mC[7];
        },
        [&](int32_t x, int32_t z) { return TexelAt(tex, mR, x, z, r1, r4, r7, U) >> 24; },
        [&](int32_t x, int32_t z) { return TexelAt(tex, mC, x, z, c1, c4, c7, U) >> 24; });
}
