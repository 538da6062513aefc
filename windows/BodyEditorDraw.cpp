#include "windows/BodyEditorDraw.h"

#include <algorithm>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"
#include "windows/SideWindowPen.h"

namespace {

constexpr int16_t kPopUpFont = 5;        // the application font
constexpr int32_t kPopUpTextRoom = 29;   // left margin, gap, arrow and right margin around the text

// Draws into the item's own surface (origin at its top-left), leaving the pen as it was.
template <class Draw>
void DrawItem(ModalDialog& dialog, int16_t item, Draw draw) {
    PixelSurface surface = dialog.UserItemSurface(item);
    if (!surface.base || surface.width <= 0 || surface.height <= 0) return;
    PenOnSurface pen(surface);
    draw(surface, Rect{0, 0, int16_t(surface.height), int16_t(surface.width)});
    dialog.PresentUserItem(item);
}

Rect Inset(const Rect& r, int16_t d) {
    return Rect{int16_t(r.top + d), int16_t(r.left + d), int16_t(r.bottom - d), int16_t(r.right - d)};
}

}  // namespace

std::string FitPopUpText(std::string text, int32_t width, int16_t font) {
    return FitTextWithEllipsis(std::move(text), width - kPopUpTextRoom, font, 5);
}

void DrawParentPopUpItem(ModalDialog& dialog, int16_t item, const std::string& label) {
    DrawItem(dialog, item, [&](PixelSurface&, Rect r) {
        r.right = int16_t(r.right - 1);
        r.bottom = int16_t(r.bottom - 1);
        PenForeColor(kWhiteColor);
        PaintRect(Rect{r.top, r.left, int16_t(r.bottom + 1), int16_t(r.right + 1)});
        const std::string text = FitPopUpText(label, r.right - r.left, kPopUpFont);
        const int32_t frameRight = r.left + Platform().ThemeTextWidth(text, kPopUpFont) + kPopUpTextRoom;
        PenForeColor(kBlackColor);
        const Rect frame{r.top, r.left, r.bottom, int16_t(std::min<int32_t>(frameRight, r.right))};
        FrameRect(frame);
        PenDrawText(Rect{int16_t(r.top + 1), int16_t(r.left + 8), int16_t(r.bottom - 1), r.right}, text, kPopUpFont,
                    TextJustify::Left);
        // A small arrow by the frame's right edge says the item opens a menu.
        const int32_t ax = frame.right - 13, ay = (r.top + r.bottom) / 2 - 2;
        for (int32_t row = 0; row < 4; ++row) {
            MoveTo(ax + row, ay + row);
            LineTo(ax + 6 - row, ay + row);
        }
        // One-pixel drop shadow along the bottom and the right.
        MoveTo(r.left + 2, r.bottom);
        LineTo(r.right, r.bottom);
        LineTo(r.right, r.top + 2);
    });
}

void DrawColorSwatchItem(ModalDialog& dialog, int16_t item, const RGBColor& color) {
    DrawItem(dialog, item, [&](PixelSurface&, Rect r) {
        PaintRGBDitherRect(&color, &r);
        // Framed, so a colour close to the dialog's own still shows as a swatch.
        PenForeColor(kBlackColor);
        FrameRect(r);
    });
}

void DrawPicturePreviewItem(ModalDialog& dialog, int16_t item, Handle picture) {
    DrawItem(dialog, item, [&](PixelSurface& surface, Rect r) {
        PenForeColor(kBlackColor);
        FrameRect(r);
        FrameRect(Inset(r, 1));
        const Rect inside = Inset(r, 2);
        bool drawn = false;
        if (picture && IsValidHandle(picture)) {
            const bool wasLocked = IsHandleLocked(picture);
            HLock(picture);
            drawn = Platform().DrawPictureScaled(static_cast<const uint8_t*>(HandlePtr(picture)),
                                                 size_t(GetHandleSize(picture)), surface, inside);
            if (!wasLocked) HUnlock(picture);
        }
        if (!drawn) {
            PenForeColor(kWhiteColor);
            PaintRect(inside);
        }
    });
}

void DrawRingPreviewItem(ModalDialog& dialog, int16_t item, Handle ring) {
    DrawItem(dialog, item, [&](PixelSurface&, Rect r) {
        PenForeColor(kWhiteColor);
        PaintRect(r);
        PenForeColor(kBlackColor);
        FrameRect(r);
        if (ring) {
            const Rect inside = Inset(r, 1);
            CopyRingPixHandleToRect(ring, &inside);
        }
    });
}
