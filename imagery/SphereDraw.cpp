// The fixed-point sphere rasterisers: no floating point in the pixel loops.
#include "imagery/SpherePix.h"
#include "imagery/SphereRaster.h"
#include "imagery/SphereRows.h"

#include <algorithm>

using namespace sphere_raster;

void DrawSphere(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base, int32_t rowBytes,
                const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
    if (!m || !tex || !T || !U || !base || r < 1) return;
    ShrinkTo(clip, cx, cy, r);
    PaintSphereRows(clip, cx, cy, r, m, base, rowBytes, tex, T, U);
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
