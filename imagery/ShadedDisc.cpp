#include "imagery/ShadedDisc.h"

#include "imagery/SphereRaster.h"

namespace {

using namespace sphere_raster;

// Brightness out of 256 for depth z (0 at the limb, 256 facing the eye).
inline uint32_t Shade(int32_t z) { return uint32_t(kDiscLimbShade + (((256 - kDiscLimbShade) * z) >> 8)); }

inline uint32_t Scaled(uint32_t channel, uint32_t shade) { return (channel * shade) >> 8; }

}  // namespace

void DrawShadedDisc(Rect& clip, int32_t cx, int32_t cy, int32_t r, uint32_t colour, uint8_t* base, int32_t rowBytes,
                    const uint16_t* T) {
    if (!T || !base || r < 1) return;
    const int32_t step = 65536 / r;
    ShrinkTo(clip, cx, cy, r);
    const uint32_t red = (colour >> 16) & 255, green = (colour >> 8) & 255, blue = colour & 255;
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        uint32_t* row = PixelAt(base, rowBytes, 0, py);
        for (int32_t px = clip.left; px < clip.right; ++px) {
            const int32_t x = ((px - cx) * step) >> 8;
            const int32_t q = 65536 - y * y - x * x;
            if (q <= 0) continue;
            const uint32_t s = Shade(SqrtQ(q, T));
            row[px] = (Scaled(red, s) << 16) | (Scaled(green, s) << 8) | Scaled(blue, s);
        }
    }
}

void DrawShadedDisc3D(Rect& red, Rect& cyan, int32_t hR, int32_t hC, int32_t cy, int32_t r, uint32_t luminance,
                      uint8_t* base, int32_t rowBytes, const uint16_t* T) {
    if (!T || !base || r < 1) return;
    auto shaded = [&](int32_t, int32_t z) { return Scaled(luminance, Shade(z)); };
    PaintStereoDisc(red, cyan, hR, hC, cy, r, base, rowBytes, T, [](int32_t) {}, shaded, shaded);
}
