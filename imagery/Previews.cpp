// Colour swatches and ring-profile strips for the object window and the body editor.
// Both draw into the pen's current target, clipped to it (our stand-in for the port's
// visible region); on a 32-bit target the dithering copy is a plain copy.
#include <algorithm>
#include <cstring>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"

namespace {

struct Span {
    int32_t top, left, bottom, right;
};

Span ClipToTarget(const PixelSurface& s, const Rect& r) {
    return Span{std::max<int32_t>(r.top, 0), std::max<int32_t>(r.left, 0), std::min<int32_t>(r.bottom, s.height),
                std::min<int32_t>(r.right, s.width)};
}

inline uint32_t* Row(const PixelSurface& s, int32_t y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(s.base) + size_t(y) * size_t(s.rowBytes));
}

}  // namespace

void PaintRGBDitherRect(const RGBColor* color, const Rect* rect) {
    const PixelSurface& s = PenTarget();
    if (!color || !rect || !s.base) return;
    const uint32_t pixel = (uint32_t(color->red >> 8) << 16) | (uint32_t(color->green >> 8) << 8) | (color->blue >> 8);
    const Span c = ClipToTarget(s, *rect);
    for (int32_t y = c.top; y < c.bottom; ++y) std::fill(Row(s, y) + c.left, Row(s, y) + std::max(c.left, c.right), pixel);
}

void CopyRingPixHandleToRect(Handle ring, const Rect* rect) {
    const PixelSurface& s = PenTarget();
    if (!ring || !rect || !s.base || !IsValidHandle(ring)) return;
    // A block shorter than a whole profile would be read past its end.
    if (GetHandleSize(ring) < int32_t(kRingProfileTexels * sizeof(uint32_t))) return;
    if (!IsHandleLocked(ring)) MoveHHi(ring);
    HLock(ring);
    const auto* texels = HandleAs<const uint32_t>(ring);
    const int32_t width = rect->right - rect->left;
    if (width <= 0 || rect->bottom <= rect->top) return;
    const Span c = ClipToTarget(s, *rect);
    for (int32_t y = c.top; y < c.bottom; ++y) {
        uint32_t* row = Row(s, y);
        // Nearest-texel stretch of the 1024 x 1 strip; the luminance byte is not a colour.
        for (int32_t x = c.left; x < c.right; ++x)
            row[x] = texels[int64_t(x - rect->left) * kRingProfileTexels / width] & 0x00FFFFFFu;
    }
}
