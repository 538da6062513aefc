// The fixed-point sphere rasterisers: no floating point in the pixel loops.
#include "imagery/SpherePix.h"
#include "imagery/SphereRaster.h"

#include <algorithm>
#include <initializer_list>

namespace {

using namespace sphere_raster;

inline int32_t InvSqrt(int32_t s, const uint16_t* U) {
    if (s >= 0x10000) { const int32_t i = s >> 10; return U[i > 255 ? 255 : i] >> 1; }
    if (s >= 0x4000) return U[s >> 8];
    if (s >= 0x1000) return U[s >> 6] << 1;
    if (s >= 0x400) return U[s >> 4] << 2;
    if (s >= 0x100) return U[s >> 2] << 3;
    return U[s] << 4;
}

// Texel seen at view point (x, y, z), rows and columns kept inside the map.
inline uint32_t TexelAt(const uint32_t* tex, const int32_t* m, int32_t x, int32_t z, int32_t ym1, int32_t ym4,
                        int32_t ym7, const uint16_t* U) {
    const int32_t X = (x * m[0] + ym1 + z * m[2]) >> 16;
    const int32_t Y = (x * m[3] + ym4 + z * m[5]) >> 16;
    int32_t Z = (x * m[6] + ym7 + z * m[8]) >> 17;
    if (Z > 127) Z = 127;
    if (Z < -128) Z = -128;
    const int32_t k = InvSqrt(X * X + Y * Y, U);
    int32_t c;
    if (X > -Y) c = X > Y ? 256 + ((k * Y) >> 10) : (k * X) >> 10;
    else c = X > Y ? 128 + ((k * X) >> 10) : 384 + ((k * Y) >> 10);
    if (c < -64) c = -64;
    if (c > 447) c = 447;
    return tex[Z * 512 + c];
}

}  // namespace

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
    const int32_t step = 65536 / r;
    ShrinkTo(red, hR, cy, r);
    ShrinkTo(cyan, hC, cy, r);
    const DxWindow redCols = EyeWindow(red, hR, r), cyanCols = EyeWindow(cyan, hC, r);
    for (int32_t py = cyan.top; py < cyan.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        const int32_t r1 = y * mR[1], r4 = y * mR[4], r7 = y * mR[7];
        const int32_t c1 = y * mC[1], c4 = y * mC[4], c7 = y * mC[7];
        const bool redRow = py >= red.top && py < red.bottom;
        // Each dx is worked out once for both eyes, but only where at least one eye's clip
        // holds its column: the walk costs what is drawn, not the disc's width.
        auto walk = [&](int32_t from, int32_t to) {
            for (int32_t dx = from; dx < to; ++dx) {
                const int32_t x = (dx * step) >> 8;
                const int32_t q = 65536 - y * y - x * x;
                if (q <= 0) continue;
                const int32_t z = SqrtQ(q, T);
                if (redRow && dx >= redCols.lo && dx < redCols.hi) {
                    uint32_t* p = PixelAt(base, rowBytes, hR + dx, py);
                    const uint32_t l = TexelAt(tex, mR, x, z, r1, r4, r7, U) >> 24;
                    *p = (*p & 0x0000FFFFu) | (l << 16);
                }
                if (dx >= cyanCols.lo && dx < cyanCols.hi) {
                    uint32_t* p = PixelAt(base, rowBytes, hC + dx, py);
                    const uint32_t l = TexelAt(tex, mC, x, z, c1, c4, c7, U) >> 24;
                    *p = (*p & 0xFFFF0000u) | (l << 8) | l;
                }
            }
        };
        WalkEyeColumns(redRow ? redCols : DxWindow{0, 0}, cyanCols, walk);
    }
}
