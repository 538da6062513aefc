#include "imagery/SoftLimb.h"

#include <algorithm>
#include <cmath>

#include "imagery/SpherePix.h"

namespace {

// Room for the rims of two discs some 1800 pixels across on the buffer; kept for the program's
// life. What lies beyond keeps a hard rim.
constexpr int32_t kRimRoom = 12288;
RimPixel rims[2][kRimRoom];

uint32_t Blend(uint32_t front, uint32_t back, uint32_t cover) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t f = (front >> shift) & 255, b = (back >> shift) & 255;
        out |= ((f * cover + b * (256 - cover)) >> 8) << shift;
    }
    return out;
}

}  // namespace

int32_t NoteRim(RimPixel* rim, int32_t room, const Rect& area, int32_t cx, int32_t cy, int32_t r, uint8_t* base,
                int32_t rowBytes) {
    if (!base || r < 2) return 0;
    const int64_t top = std::max<int64_t>(area.top, int64_t(cy) - r - 1);
    const int64_t bottom = std::min<int64_t>(area.bottom, int64_t(cy) + r + 2);
    const int32_t step = 65536 / r;
    // The painter's own test of a pixel, so the rim is split where the painter splits it.
    auto painted = [&](int64_t dx, int64_t dy) {
        const int64_t x = (dx * step) >> 8, y = (-dy * step) >> 8;
        return 65536 - y * y - x * x > 0;
    };
    auto pixel = [&](int64_t x, int64_t y) { return reinterpret_cast<uint32_t*>(base + y * rowBytes) + x; };
    auto inside = [&](int64_t x, int64_t y) { return x >= area.left && x < area.right && y >= area.top && y < area.bottom; };
    int32_t count = 0;
    for (int64_t py = top; py < bottom; ++py) {
        const int64_t dy = py - cy;
        const double outer = double(r + 1) * (r + 1) - double(dy * dy), inner = double(r - 1) * (r - 1) - double(dy * dy);
        if (outer < 0) continue;
        const int64_t far = int64_t(std::sqrt(outer)), near = inner > 0 ? int64_t(std::ceil(std::sqrt(inner))) : 0;
        for (const int64_t side : {1, -1}) {
            for (int64_t d = side < 0 ? std::max<int64_t>(near, 1) : near; d <= far; ++d) {
                const int64_t px = cx + side * d;
                if (!inside(px, py) || count >= room) continue;
                uint32_t* inward = nullptr;
                if (!painted(side * d, dy)) {  // the neighbour one step nearer the centre along the larger offset
                    const bool across = d >= std::llabs(dy);
                    const int64_t nx = across ? px - side : px, ny = across ? py : py - (dy > 0 ? 1 : -1);
                    if (!inside(nx, ny) || !painted(nx - cx, ny - cy)) continue;
                    inward = pixel(nx, ny);
                }
                const double cover = std::clamp(r + 0.5 - std::sqrt(double(d * d + dy * dy)), 0.0, 1.0);
                rim[count++] = RimPixel{pixel(px, py), *pixel(px, py), inward, uint16_t(cover * 256)};
            }
        }
    }
    return count;
}

void BlendRim(const RimPixel* rim, int32_t count, uint32_t mask) {
    for (int32_t n = 0; n < count; ++n) {
        const RimPixel& q = rim[n];
        const uint32_t now = *q.at;
        *q.at = (Blend(q.inward ? *q.inward : now, q.before, q.cover) & mask) | (now & ~mask);
    }
}

void DrawSphereSoftLimb(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base,
                        int32_t rowBytes, const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
    const int32_t count = m && tex && T && U ? NoteRim(rims[0], kRimRoom, clip, cx, cy, r, base, rowBytes) : 0;
    DrawSphere(clip, cx, cy, r, m, base, rowBytes, tex, T, U);
    BlendRim(rims[0], count, 0x00FFFFFFu);
}

void DrawSphere3DSoftLimb(const uint32_t* tex, const uint16_t* T, const uint16_t* U, Rect& red, Rect& cyan,
                          int32_t hR, int32_t hC, int32_t cy, const int32_t* mR, const int32_t* mC, int32_t r,
                          uint8_t* base, int32_t rowBytes) {
    const bool painting = tex && T && U && mR && mC;
    const int32_t redCount = painting ? NoteRim(rims[0], kRimRoom, red, hR, cy, r, base, rowBytes) : 0;
    const int32_t cyanCount = painting ? NoteRim(rims[1], kRimRoom, cyan, hC, cy, r, base, rowBytes) : 0;
    DrawSphere3D(tex, T, U, red, cyan, hR, hC, cy, mR, mC, r, base, rowBytes);
    BlendRim(rims[0], redCount, 0x00FF0000u);
    BlendRim(rims[1], cyanCount, 0x0000FFFFu);
}
