// What the sphere-shaped painters share: the disc's depth and the texel seen there from the
// square-root tables, the clip shrunk to the disc's square and the columns each stereo eye
// may write.
#pragma once
#include <algorithm>
#include <cstdint>

#include "core/Records.h"

namespace sphere_raster {

// z = sqrt(q) in 8.8 for q = 65536 - x^2 - y^2, by range reduction into the 256-entry table.
inline int32_t SqrtQ(int32_t q, const uint16_t* T) {
    if (q < 0x100) return T[q] >> 4;
    if (q < 0x400) return T[q >> 2] >> 3;
    if (q < 0x1000) return T[q >> 4] >> 2;
    if (q < 0x4000) return T[q >> 6] >> 1;
    if (q < 0x10000) return T[q >> 8];
    const int32_t i = q >> 10;
    return T[i > 255 ? 255 : i] << 1;
}

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

// Shrinks the clip to the sphere's square. The sums are taken in 64 bits: a sphere far off
// the buffer, or one larger than the plane, must not wrap around into it.
inline void ShrinkTo(Rect& clip, int32_t cx, int32_t cy, int32_t r) {
    const int64_t top = std::max<int64_t>(clip.top, int64_t(cy) - r), bottom = std::min<int64_t>(clip.bottom, int64_t(cy) + r);
    const int64_t left = std::max<int64_t>(clip.left, int64_t(cx) - r), right = std::min<int64_t>(clip.right, int64_t(cx) + r);
    if (top >= bottom || left >= right) {
        clip.bottom = clip.top;  // nothing left to paint
        clip.right = clip.left;
        return;
    }
    clip = Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

// Offsets dx from an eye's centre h whose column lies in its clip, within the disc's -r .. r - 1.
struct DxWindow {
    int32_t lo, hi;  // [lo, hi), empty when lo >= hi
};
inline DxWindow EyeWindow(const Rect& clip, int32_t h, int32_t r) {
    return DxWindow{int32_t(std::max<int64_t>(-int64_t(r), int64_t(clip.left) - h)),
                    int32_t(std::min<int64_t>(r, int64_t(clip.right) - h))};
}

// Hands walk(from, to) the offsets where at least one eye writes: the two windows as one run
// when they overlap or touch, else each on its own, so no column between them is walked.
template <class Walk>
void WalkEyeColumns(DxWindow red, DxWindow cyan, Walk walk) {
    if (red.lo >= red.hi) {
        walk(cyan.lo, cyan.hi);
    } else if (cyan.lo >= cyan.hi) {
        walk(red.lo, red.hi);
    } else if (std::max(red.lo, cyan.lo) <= std::min(red.hi, cyan.hi)) {
        walk(std::min(red.lo, cyan.lo), std::max(red.hi, cyan.hi));
    } else {
        const DxWindow& first = red.lo < cyan.lo ? red : cyan;
        const DxWindow& second = red.lo < cyan.lo ? cyan : red;
        walk(first.lo, first.hi);
        walk(second.lo, second.hi);
    }
}

inline uint32_t* PixelAt(uint8_t* base, int32_t rowBytes, int32_t x, int32_t y);

// The red-cyan walk of a disc of radius r shared by both eyes: rows of the cyan clip, each dx
// worked out once for both eyes but only where an eye's clip holds its column, so the walk
// costs what is drawn, not the disc's width. onRow(y) runs before each row; redLuminance(x, z)
// and cyanLuminance(x, z) give the value the red eye puts into red and the cyan eye into
// green and blue. Both clips are shrunk in place to the disc's square.
template <class OnRow, class RedLuminance, class CyanLuminance>
void PaintStereoDisc(Rect& red, Rect& cyan, int32_t hR, int32_t hC, int32_t cy, int32_t r, uint8_t* base,
                     int32_t rowBytes, const uint16_t* T, OnRow onRow, RedLuminance redLuminance,
                     CyanLuminance cyanLuminance) {
    const int32_t step = 65536 / r;
    ShrinkTo(red, hR, cy, r);
    ShrinkTo(cyan, hC, cy, r);
    const DxWindow redCols = EyeWindow(red, hR, r), cyanCols = EyeWindow(cyan, hC, r);
    for (int32_t py = cyan.top; py < cyan.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        onRow(y);
        const bool redRow = py >= red.top && py < red.bottom;
        WalkEyeColumns(redRow ? redCols : DxWindow{0, 0}, cyanCols, [&](int32_t from, int32_t to) {
            for (int32_t dx = from; dx < to; ++dx) {
                const int32_t x = (dx * step) >> 8;
                const int32_t q = 65536 - y * y - x * x;
                if (q <= 0) continue;
                const int32_t z = SqrtQ(q, T);
                if (redRow && dx >= redCols.lo && dx < redCols.hi) {
                    uint32_t* p = PixelAt(base, rowBytes, hR + dx, py);
                    *p = (*p & 0x0000FFFFu) | (redLuminance(x, z) << 16);
                }
                if (dx >= cyanCols.lo && dx < cyanCols.hi) {
                    uint32_t* p = PixelAt(base, rowBytes, hC + dx, py);
                    const uint32_t l = cyanLuminance(x, z);
                    *p = (*p & 0xFFFF0000u) | (l << 8) | l;
                }
            }
        });
    }
}

inline uint32_t* PixelAt(uint8_t* base, int32_t rowBytes, int32_t x, int32_t y) {
    return reinterpret_cast<uint32_t*>(base + y * rowBytes + x * 4);
}

}  // namespace sphere_raster
