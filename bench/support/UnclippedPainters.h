// The pixel loops as they were before clipping: each walks its whole shape on the plane
// and drops the pixels off the surface one by one. Kept as the benchmarks' baseline for the
// clipped painters.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/Records.h"
#include "imagery/SphereRaster.h"

namespace unclipped {

// Bresenham from (x, y) to (h, v); put(x, y) receives every pixel, on the surface or not.
template <class Put>
void LineTo(int32_t x, int32_t y, int32_t h, int32_t v, Put put) {
    const int32_t dx = std::abs(h - x), dy = -std::abs(v - y);
    const int32_t sx = x < h ? 1 : -1, sy = y < v ? 1 : -1;
    int64_t err = int64_t(dx) + dy;
    for (;;) {
        put(x, y);
        if (x == h && y == v) break;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

template <class Put>
void FrameRect(const Rect& r, Put put) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    for (int32_t x = r.left; x < r.right; ++x) { put(x, r.top); if (r.bottom - 1 != r.top) put(x, r.bottom - 1); }
    for (int32_t y = r.top + 1; y < r.bottom - 1; ++y) { put(r.left, y); if (r.right - 1 != r.left) put(r.right - 1, y); }
}

// Tests every pixel of the rectangle for being an inside pixel with an outside 4-neighbour.
template <class Put>
void FrameOval(const Rect& r, Put put) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (w <= 2 || h <= 2) { FrameRect(r, put); return; }
    const int64_t a2 = int64_t(w) * w, b2 = int64_t(h) * h;
    auto inside = [&](int32_t x, int32_t y) {
        const int64_t px = 2 * int64_t(x) - (w - 1), py = 2 * int64_t(y) - (h - 1);
        return px * px * b2 + py * py * a2 <= a2 * b2;
    };
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || !inside(x - 1, y) ||
                              !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge) put(r.left + x, r.top + y);
        }
    }
}

// The stereo sphere walking dx = -r .. r - 1 on every row, whatever the clip rectangles hold.
inline void DrawSphere3D(const uint32_t* tex, const uint16_t* T, const uint16_t* U, Rect& red, Rect& cyan,
                         int32_t hR, int32_t hC, int32_t cy, const int32_t* mR, const int32_t* mC, int32_t r,
                         uint8_t* base, int32_t rowBytes) {
    using namespace sphere_raster;
    if (!tex || !T || !U || !mR || !mC || !base || r < 1) return;
    const int32_t step = 65536 / r;
    ShrinkTo(red, hR, cy, r);
    ShrinkTo(cyan, hC, cy, r);
    for (int32_t py = cyan.top; py < cyan.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        const int32_t r1 = y * mR[1], r4 = y * mR[4], r7 = y * mR[7];
        const int32_t c1 = y * mC[1], c4 = y * mC[4], c7 = y * mC[7];
        const bool redRow = py >= red.top && py < red.bottom;
        for (int32_t dx = -r; dx < r; ++dx) {
            const int32_t x = (dx * step) >> 8;
            const int32_t q = 65536 - y * y - x * x;
            if (q <= 0) continue;
            const int32_t z = SqrtQ(q, T);
            if (redRow && hR + dx >= red.left && hR + dx < red.right) {
                auto* p = reinterpret_cast<uint32_t*>(base + py * rowBytes + (hR + dx) * 4);
                const uint32_t l = TexelAt(tex, mR, x, z, r1, r4, r7, U) >> 24;
                *p = (*p & 0x0000FFFFu) | (l << 16);
            }
            if (hC + dx >= cyan.left && hC + dx < cyan.right) {
                auto* p = reinterpret_cast<uint32_t*>(base + py * rowBytes + (hC + dx) * 4);
                const uint32_t l = TexelAt(tex, mC, x, z, c1, c4, c7, U) >> 24;
                *p = (*p & 0xFFFF0000u) | (l << 8) | l;
            }
        }
    }
}

}  // namespace unclipped
