#include "render/Pen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/Raster.h"

namespace {

PixelSurface target;
uint32_t penPixel = 0x00FFFFFFu;
RGBColor penRGB{65535, 65535, 65535};
int16_t penMode = kPatCopyMode;
int32_t penH = 0, penV = 0;
double penScale = 1;
int32_t penWidth = 1;  // whole pixels a stroke is wide

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

// Pixels [x0, x1) of row v and [y0, y1) of column h, cut to the surface first.
void HorizontalRun(int32_t v, int32_t x0, int32_t x1) {
    if (v < 0 || v >= target.height) return;
    x0 = std::max<int32_t>(x0, 0);
    x1 = std::min<int32_t>(x1, target.width);
    for (int32_t x = x0; x < x1; ++x) Put(x, v);
}

void VerticalRun(int32_t h, int32_t y0, int32_t y1) {
    if (h < 0 || h >= target.width) return;
    y0 = std::max<int32_t>(y0, 0);
    y1 = std::min<int32_t>(y1, target.height);
    for (int32_t y = y0; y < y1; ++y) Put(h, y);
}

}  // namespace

void PenSetTarget(const PixelSurface& surface) { target = surface; }
const PixelSurface& PenTarget() { return target; }

void RGBForeColor(const RGBColor& c) {
    penRGB = c;
    penPixel = PenPixel(c);
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

void PenScale(double scale) {
    penScale = scale >= 0.5 && scale <= 8 ? scale : 1.0;
    penWidth = std::max(1, int32_t(std::lround(penScale)));
}
double CurrentPenScale() { return penScale; }
int32_t CurrentPenWidth() { return penWidth; }

void PlotPixel(int32_t h, int32_t v) { Put(h, v); }

void MoveTo(int32_t h, int32_t v) {
    penH = h;
    penV = v;
}
Point PenPosition() { return Point{int16_t(penV), int16_t(penH)}; }

void LineTo(int32_t h, int32_t v) {
    // Only the part of the line on the surface is walked: a far-off endpoint costs nothing.
    if (target.base && penWidth == 1) {
        for (LineWalker p(ClipLine(penH, penV, h, v, target.width, target.height)); !p.Done(); p.Next())
            Put(p.X(), p.Y());
    } else if (target.base) {
        // A wide pen: a square of penWidth pixels at every point, centred on the thin line.
        // Lines ending just off the surface still reach into it by their width.
        const int32_t back = (penWidth - 1) / 2, pad = penWidth;
        PixelSurface grown = target;
        grown.width += 2 * pad;
        grown.height += 2 * pad;
        for (LineWalker p(ClipLine(penH + pad, penV + pad, h + pad, v + pad, grown.width, grown.height)); !p.Done();
             p.Next())
            for (int32_t dy = 0; dy < penWidth; ++dy)
                for (int32_t dx = 0; dx < penWidth; ++dx) Put(p.X() - pad - back + dx, p.Y() - pad - back + dy);
    }
    penH = h;
    penV = v;
}

void Line(int32_t dh, int32_t dv) { LineTo(penH + dh, penV + dv); }

void FrameRect(const Rect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    HorizontalRun(r.top, r.left, r.right);
    if (r.bottom - 1 != r.top) HorizontalRun(r.bottom - 1, r.left, r.right);
    VerticalRun(r.left, r.top + 1, r.bottom - 1);
    if (r.right - 1 != r.left) VerticalRun(r.right - 1, r.top + 1, r.bottom - 1);
}

void PaintRect(const Rect& r) {
    const int32_t top = std::max<int32_t>(r.top, 0), bottom = std::min<int32_t>(r.bottom, target.height);
    const int32_t left = std::max<int32_t>(r.left, 0), right = std::min<int32_t>(r.right, target.width);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) Put(x, y);
}

namespace {
// An oval outline penWidth pixels thick: per row, the outer oval's span less the span of
// the oval inset by the width.
void FrameWideOval(const Rect& r, int32_t width) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    const int32_t iw = w - 2 * width, ih = h - 2 * width;
    const int32_t firstRow = std::max<int32_t>(0, -r.top), endRow = std::min<int32_t>(h, target.height - r.top);
    for (int32_t y = firstRow; y < endRow; ++y) {
        int32_t lo, hi, ilo, ihi;
        if (!OvalRowSpan(w, h, y, lo, hi)) continue;
        const int32_t v = r.top + y;
        if (iw <= 0 || ih <= 0 || !OvalRowSpan(iw, ih, y - width, ilo, ihi)) {
            HorizontalRun(v, r.left + lo, r.left + hi + 1);
            continue;
        }
        HorizontalRun(v, r.left + lo, r.left + width + ilo);
        HorizontalRun(v, r.left + width + ihi + 1, r.left + hi + 1);
    }
}
}  // namespace

void FrameOval(const Rect& r) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (penWidth > 1) {
        if (target.base) FrameWideOval(r, penWidth);
        return;
    }
    if (w <= 2 || h <= 2) { FrameRect(r); return; }
    if (!target.base) return;
    // The outline of the inscribed oval: inside pixels with a 4-neighbour outside, each
    // plotted once (additive mode must not double up). Only rows on the surface are worked
    // out; per row the outline is at most two runs, found from the spans of its neighbours.
    const int32_t firstRow = std::max<int32_t>(0, -r.top), endRow = std::min<int32_t>(h, target.height - r.top);
    for (int32_t y = firstRow; y < endRow; ++y) {
        int32_t lo, hi, upLo, upHi, downLo, downHi;
        if (!OvalRowSpan(w, h, y, lo, hi)) continue;
        const int32_t v = r.top + y;
        if (!OvalRowSpan(w, h, y - 1, upLo, upHi) || !OvalRowSpan(w, h, y + 1, downLo, downHi)) {
            HorizontalRun(v, r.left + lo, r.left + hi + 1);
            continue;
        }
        const int32_t innerLo = std::max({lo + 1, upLo, downLo}), innerHi = std::min({hi - 1, upHi, downHi});
        if (innerLo > innerHi) {
            HorizontalRun(v, r.left + lo, r.left + hi + 1);
        } else {
            HorizontalRun(v, r.left + lo, r.left + innerLo);
            HorizontalRun(v, r.left + innerHi + 1, r.left + hi + 1);
        }
    }
}

int32_t PenDrawText(const Rect& box, const std::string& text, int16_t font, TextJustify justify) {
    if (!target.base) return 0;
    if (penScale != 1)
        return Platform().DrawScaledThemeText(target, box, text, font, justify, penRGB, penMode == kAddPinMode,
                                              penScale);
    return Platform().DrawThemeText(target, box, text, font, justify, penRGB, penMode == kAddPinMode);
}
