#include "imagery/Rings.h"

#include <cmath>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "imagery/Bisect.h"
#include "imagery/RowBands.h"
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

// Red, green and blue added, each pinned at 255, all three in one word: the low seven bits of
// each byte are added without carries between bytes, the top bits put in by exclusive or, and
// a byte whose sum carried out of its top bit is set to 255. The spare top byte ends up 0.
inline uint32_t AddPin(uint32_t pixel, uint32_t texel) {
    const uint32_t a = pixel & 0x00FFFFFFu, b = texel & 0x00FFFFFFu;
    const uint32_t sum = ((a & 0x007F7F7Fu) + (b & 0x007F7F7Fu)) ^ ((a ^ b) & 0x00808080u);
    const uint32_t carried = ((a & b) | ((a | b) & ~sum)) & 0x00808080u;
    return sum | ((carried >> 7) * 0xFFu);
}

// c x keep / 255 for two channels eight bits apart at once (keep <= 255), rounded.
inline uint32_t ScaleTwo(uint32_t twoChannels, uint32_t keep) {
    const uint32_t t = twoChannels * keep + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// What of the light behind a ring texel passes it: its opacity grows with its luminance at
// twice the rate, so dark gaps let everything through and the dense bright bands hide the
// globe behind them.
inline uint32_t RingKeeps(uint32_t l) { return l >= 128 ? 0 : 255 - 2 * l; }

// The ring's light over what lies behind it; over black this is plain addition.
inline uint32_t RingOver(uint32_t pixel, uint32_t texel) {
    const uint32_t keep = RingKeeps(texel >> 24);
    if (keep == 255) return AddPin(pixel, texel);
    const uint32_t behind = ScaleTwo(pixel & 0x00FF00FFu, keep) | (ScaleTwo((pixel >> 8) & 0x00FF00FFu, keep) << 8);
    return AddPin(behind, texel);
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

RingView MakeRingView(const int32_t* m, int32_t r, int32_t half) {
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

RingRadial MakeRingRadial(int32_t ri, int32_t r) {
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

// One eye's channel: the ring's luminance over what lies behind it, as RingOver does.
inline uint32_t OverByte(uint32_t pixel, int shift, uint32_t l) {
    const uint32_t c = (pixel >> shift) & 255, t = c * RingKeeps(l) + 128;
    const uint32_t sum = l + ((t + (t >> 8)) >> 8);
    return (pixel & ~(255u << shift)) | ((sum > 255 ? 255 : sum) << shift);
}

// Narrows the columns [from, to) to those where g, a monotone function of the column (rising
// or falling), lies within [lo, hi]: such columns form one run, found by bisection.
template <class G>
void KeepWithin(int32_t& from, int32_t& to, G g, int64_t lo, int64_t hi) {
    if (from >= to) return;
    const bool rising = g(to - 1) >= g(from);
    if (rising) {
        from = FirstWhere(from, to, [&](int32_t px) { return g(px) >= lo; });
        to = FirstWhere(from, to, [&](int32_t px) { return g(px) > hi; });
    } else {
        from = FirstWhere(from, to, [&](int32_t px) { return g(px) <= hi; });
        to = FirstWhere(from, to, [&](int32_t px) { return g(px) < lo; });
    }
}

}  // namespace

void DrawRing(const Rect& clip, const uint16_t* T, int32_t cx, int32_t cy, int32_t ri, int32_t r, const int32_t* m,
              uint8_t* base, int32_t rowBytes, const uint32_t* profile, int32_t half) {
    if (!m || !profile || !T || !base || r <= ri || r <= 0) return;
    const RingView v = MakeRingView(m, r, half);
    if (!v.visible) return;
    const RingRadial rad = MakeRingRadial(ri, r);
    const int64_t pixels = int64_t(clip.bottom - clip.top) * (clip.right - clip.left);
    PaintInRowBands(clip.top, clip.bottom, pixels, [&](int32_t top, int32_t bottom) {
        for (int32_t py = top; py < bottom; ++py) {
            const int64_t y = RingCoord(-(int64_t(py) - cy), v);
            const int64_t yn7 = v.n7 * y, yn6 = v.n6 * y;
            auto* row = reinterpret_cast<uint32_t*>(base + py * rowBytes);
            // Every texel of this half lies where the ring's own coordinates keep to the half-disc's
            // box: t on this side, b and a within 256. Each grows or shrinks steadily along the row,
            // so the box is one run of columns; only those are walked.
            int32_t left = clip.left, right = clip.right;
            auto t = [&](int32_t px) { return v.sigma * ((v.n6 * RingCoord(int64_t(px) - cx, v) + yn7) >> 16); };
            KeepWithin(left, right, t, half == 0 ? 1 : 0, INT64_MAX);
            KeepWithin(left, right, [&](int32_t px) { return (v.F * t(px)) >> 8; }, INT64_MIN, 256);
            KeepWithin(left, right, [&](int32_t px) { return (v.n7 * RingCoord(int64_t(px) - cx, v) - yn6) >> 16; },
                       -256, 256);
            for (int32_t px = left; px < right; ++px) {
                const int64_t i = RingTexelIndex(v, rad, RingCoord(int64_t(px) - cx, v), yn6, yn7, half, T);
                if (i >= 0) row[px] = RingOver(row[px], profile[i]);
            }
        }
    });
}

void DrawRing3D(const Rect& cyanClip, const Rect& redClip, const uint16_t* T, int32_t hC, int32_t hR, int32_t cy,
                int32_t ri, int32_t r, const int32_t* mC, const int32_t* mR, uint8_t* base, int32_t rowBytes,
                const uint32_t* profile, int32_t half) {
    if (!mC || !mR || !profile || !T || !base || r <= ri || r <= 0) return;
    const RingView cyan = MakeRingView(mC, r, half), red = MakeRingView(mR, r, half);
    const RingRadial rad = MakeRingRadial(ri, r);
    // Column windows in dx, empty for an edge-on eye.
    auto lo = [r](const Rect& clip, int32_t h) { return int32_t(std::max<int64_t>(-int64_t(r), int64_t(clip.left) - h)); };
    auto hi = [r](const Rect& clip, int32_t h) { return int32_t(std::min<int64_t>(r, int64_t(clip.right) - h)); };
    const int32_t cyanLo = cyan.visible ? lo(cyanClip, hC) : 0, cyanHi = cyan.visible ? hi(cyanClip, hC) : 0;
    const int32_t redLo = red.visible ? lo(redClip, hR) : 0, redHi = red.visible ? hi(redClip, hR) : 0;
    for (int32_t py = cyanClip.top; py < cyanClip.bottom; ++py) {
        auto* row = reinterpret_cast<uint32_t*>(base + py * rowBytes);
        if (py >= redClip.top && py < redClip.bottom) {
            const int64_t y = RingCoord(-(int64_t(py) - cy), red);
            const int64_t yn7 = red.n7 * y, yn6 = red.n6 * y;
            for (int32_t dx = redLo; dx < redHi; ++dx) {
                const int64_t i = RingTexelIndex(red, rad, RingCoord(dx, red), yn6, yn7, half, T);
                if (i < 0) continue;
                uint32_t& p = row[hR + dx];
                p = OverByte(p, 16, profile[i] >> 24) & 0x00FFFFFFu;
            }
        }
        const int64_t y = RingCoord(-(int64_t(py) - cy), cyan);
        const int64_t yn7 = cyan.n7 * y, yn6 = cyan.n6 * y;
        for (int32_t dx = cyanLo; dx < cyanHi; ++dx) {
            const int64_t i = RingTexelIndex(cyan, rad, RingCoord(dx, cyan), yn6, yn7, half, T);
            if (i < 0) continue;
            const uint32_t l = profile[i] >> 24;
            uint32_t& p = row[hC + dx];
            p = OverByte(OverByte(p, 8, l), 0, l);
        }
    }
}
