// What the sphere-shaped painters share: the disc's depth from the square-root table, the
// clip shrunk to the disc's square and the columns each stereo eye may write.
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

inline uint32_t* PixelAt(uint8_t* base, int32_t rowBytes, int32_t x, int32_t y) {
    return reinterpret_cast<uint32_t*>(base + y * rowBytes + x * 4);
}

}  // namespace sphere_raster
