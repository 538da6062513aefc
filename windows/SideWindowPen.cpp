#include "windows/SideWindowPen.h"

#include <algorithm>
#include <cmath>

#include "core/Utf8.h"
#include "render/Pen.h"

int16_t ViewsFontOfSize(int32_t size) { return size <= 9 ? kSmallViewsFont : kViewsFont; }

Rect TextBoxAtBaseline(int32_t x, int32_t baseline, int32_t size, TextJustify justify) {
    // The platform centres text vertically in the box: the ascent above the
    // baseline and a quarter of the size below it put the baseline where asked.
    constexpr int32_t kRoom = 400;  // wide enough for any line of these windows
    const int32_t top = baseline - size, bottom = baseline + (size + 3) / 4 + 1;
    switch (justify) {
        case TextJustify::Left: return MakeRect(top, x, bottom, x + kRoom);
        case TextJustify::Right: return MakeRect(top, x - kRoom, bottom, x);
        case TextJustify::Center: break;
    }
    return MakeRect(top, x - kRoom / 2, bottom, x + kRoom / 2);
}

void DrawTextAtBaseline(int32_t x, int32_t baseline, const std::string& text, int32_t size, TextJustify justify) {
    PenDrawText(TextBoxAtBaseline(x, baseline, size, justify), text, ViewsFontOfSize(size), justify);
}

void EraseRect(const Rect& r) {
    PenForeColor(kBlackColor);
    PaintRect(r);
    PenForeColor(kWhiteColor);
}

namespace {

// Horizontal inset of row y of a rounded rectangle: how far the corner arc
// pulls the edge in on that row (0 away from the corners).
int32_t CornerInset(const Rect& r, int32_t y, int32_t diameter) {
    const int32_t height = r.bottom - r.top, width = r.right - r.left;
    const int32_t d = std::min({diameter, height, width});
    if (d <= 1) return 0;
    const double radius = d / 2.0;
    const int32_t fromEdge = std::min(y - r.top, r.bottom - 1 - y);
    if (fromEdge >= d / 2) return 0;
    const double dy = radius - (fromEdge + 0.5);
    const double dx = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    return int32_t(radius - dx + 0.5);
}

}  // namespace

void PaintRoundRect(const Rect& r, int32_t diameter) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const int32_t in = CornerInset(r, y, diameter);
        PaintRect(MakeRect(y, r.left + in, y + 1, r.right - in));
    }
}

void FrameRoundRect(const Rect& r, int32_t diameter) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    int32_t previous = CornerInset(r, r.top, diameter);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const int32_t in = CornerInset(r, y, diameter);
        const int32_t next = y + 1 < r.bottom ? CornerInset(r, y + 1, diameter) : in;
        if (y == r.top || y == r.bottom - 1) {
            PaintRect(MakeRect(y, r.left + in, y + 1, r.right - in));
        } else {
            // The run along each side spans the insets of the rows around it, so the arc stays closed.
            const int32_t reach = std::max({in, previous, next});
            PaintRect(MakeRect(y, r.left + in, y + 1, r.left + std::max(reach, in + 1)));
            PaintRect(MakeRect(y, r.right - std::max(reach, in + 1), y + 1, r.right - in));
        }
        previous = in;
    }
}

std::string FitTextWithEllipsis(std::string text, int32_t room, int16_t font, size_t fewest) {
    while (CodePoints(text) > fewest && Platform().ThemeTextWidth(text, font) >= room) {
        DropLastCodePoint(text);
        DropLastCodePoint(text);
        text += kEllipsis;
    }
    return text;
}
