#include "render/Pen.h"

#include <algorithm>
#include <cstdlib>

namespace {

PixelSurface target;
uint32_t penPixel = 0x00FFFFFFu;
RGBColor penRGB{65535, 65535, 65535};
int16_t penMode = kPatCopyMode;
int32_t penH = 0, penV = 0;

inline void Put(int32_t h, int32_t v) {
    if (!target.base || h < 0 || v < 0 || h >= target.width || v >= target.height) return;
    auto* p = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(target.base) + v * target.rowBytes) + h;
    if (penMode == kAddPinMode) {
        const uint32_t a = *p;
        uint32_t r = std::min<uint32_t>(255, ((a >> 16) & 255) + ((penPixel >> 16) & 255));
        uint32_t g = std::min<uint32_t>(255, ((a >> 8) & 255) + ((penPixel >> 8) & 255));
        uint32_t b = std::min<uint32_t>(255, (a & 255) + (penPixel & 255));
        *p = (r << 16) | (g << 8) | b;
    } else {
        *p = penPixel;
    }
}

}  // namespace

void PenSetTarget(const PixelSurface& surface) { target = surface; }
const PixelSurface& PenTarget() { return target; }

void RGBForeColor(const RGBColor& c) {
    penRGB = c;
    penPixel = (uint32_t(c.red >> 8) << 16) | (uint32_t(c.green >> 8) << 8) | uint32_t(c.blue >> 8);
}
RGBColor PenRGBColor() { return penRGB; }

void PenForeColor(int32_t classicColor) {
    switch (classicColor) {
        case kBlackColor: RGBForeColor({0, 0, 0}); break;
        case kYellowColor: RGBForeColor({65535, 65535, 0}); break;
        case kRedColor: RGBForeColor({65535, 0, 0}); break;
        default: RGBForeColor({65535, 65535, 65535}); break;
    }
}

void PenMode(int16_t mode) { penMode = mode == kAddPinMode ? kAddPinMode : kPatCopyMode; }
int16_t CurrentPenMode() { return penMode; }

void PlotPixel(int32_t h, int32_t v) { Put(h, v); }

void MoveTo(int32_t h, int32_t v) {
    penH = h;
    penV = v;
}
Point PenPosition() { return Point{int16_t(penV), int16_t(penH)}; }

void LineTo(int32_t h, int32_t v) {
    // Bresenham; far-off endpoints are walked only while they can still reach the surface.
    int32_t x = penH, y = penV;
    const int32_t dx = std::abs(h - x), dy = -std::abs(v - y);
    const int32_t sx = x < h ? 1 : -1, sy = y < v ? 1 : -1;
    int64_t err = int64_t(dx) + dy;
    const int64_t limit = int64_t(target.width) + target.height + 4;
    int64_t outside = 0;
    for (;;) {
        if (x >= 0 && y >= 0 && x < target.width && y < target.height) {
            Put(x, y);
            outside = 0;
        } else if (++outside > limit + std::max<int64_t>(dx, -int64_t(dy))) {
            break;
        }
        if (x == h && y == v) break;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    penH = h;
    penV = v;
}

void Line(int32_t dh, int32_t dv) { LineTo(penH + dh, penV + dv); }

void FrameRect(const Rect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    for (int32_t x = r.left; x < r.right; ++x) { Put(x, r.top); if (r.bottom - 1 != r.top) Put(x, r.bottom - 1); }
    for (int32_t y = r.top + 1; y < r.bottom - 1; ++y) { Put(r.left, y); if (r.right - 1 != r.left) Put(r.right - 1, y); }
}

void PaintRect(const Rect& r) {
    const int32_t top = std::max<int32_t>(r.top, 0), bottom = std::min<int32_t>(r.bottom, target.height);
    const int32_t left = std::max<int32_t>(r.left, 0), right = std::min<int32_t>(r.right, target.width);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) Put(x, y);
}

void FrameOval(const Rect& r) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (w <= 2 || h <= 2) { FrameRect(r); return; }
    // Midpoint ellipse inscribed in the rectangle, each pixel once (additive mode must not double up).
    const int64_t a2 = int64_t(w) * w, b2 = int64_t(h) * h;  // in doubled coordinates: (2x - w + 1)^2 / w^2 ...
    auto inside = [&](int32_t x, int32_t y) {
        const int64_t px = 2 * int64_t(x) - (w - 1), py = 2 * int64_t(y) - (h - 1);
        return px * px * b2 + py * py * a2 <= a2 * b2;
    };
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || !inside(x - 1, y) ||
                              !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge) Put(r.left + x, r.top + y);
        }
    }
}

int32_t PenDrawText(const Rect& box, const std::string& text, int16_t font, TextJustify justify) {
    if (!target.base) return 0;
    return Platform().DrawThemeText(target, box, text, font, justify, penRGB, penMode == kAddPinMode);
}
