// Drawing of the object window's list, header and new-body button.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/Strings.h"
#include "core/Units.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"
#include "windows/ObjectWindow.h"
#include "windows/RelativeMotion.h"
#include "windows/SideWindowPen.h"

namespace {

constexpr int32_t kNameRoom = 65;

// The camera mark: a small camera body with its lens and viewfinder, 12 by 9.
constexpr int32_t kMarkWidth = 12, kMarkHeight = 9;
const char* const kCameraMark[kMarkHeight] = {
    "..XXX.......",
    "XXXXXXXXXXXX",
    "X..........X",
    "X...XXXX...X",
    "X..X....X..X",
    "X..X....X..X",
    "X...XXXX...X",
    "X..........X",
    "XXXXXXXXXXXX",
};

void DrawCameraMark(int32_t left, int32_t top) {
    // Black inside so the mark reads over the row's separator and triangle.
    EraseRect(MakeRect(top, left, top + kMarkHeight, left + kMarkWidth));
    RGBForeColor(kWhiteRGB);
    for (int32_t y = 0; y < kMarkHeight; ++y)
        for (int32_t x = 0; x < kMarkWidth; ++x)
            if (kCameraMark[y][x] == 'X') PlotPixel(left + x, top + y);
}

// Filled triangle pointing left, its right side on x = w from r + 16 to r + 30.
void DrawSelectionTriangle(int32_t w, int32_t r) {
    const RGBColor hi = Platform().HighlightColor();
    const bool visible = hi.red > 4095 || hi.green > 4095 || hi.blue > 4095;
    RGBForeColor(visible ? hi : kWhiteRGB);
    for (int32_t y = r + 16; y <= r + 30; ++y) {
        const int32_t reach = 7 - std::abs(y - (r + 23));
        MoveTo(w - reach, y);
        LineTo(w, y);
    }
}

// The speed column: during a run the present speed about the body it orbits, named
// ("2.98e+4 rel. Sun"); before one, the initial speed in the frame it is given in.
std::string SpeedText(const BodyInfoStruct& b, int32_t i, const BodyRTListStruct* run, int32_t room) {
    std::string text;
    if (run && i < run->count) {
        const RelativeMotion m = MotionAboutAttractor(run, i);
        text = MyRealToSciNotString(m.speed) + " ";
        AppendRelativeTo(text, run, m.attractor);
    } else {
        const double speed = std::sqrt(b.vel[0] * b.vel[0] + b.vel[1] * b.vel[1] + b.vel[2] * b.vel[2]);
        const BodyListStruct* list = BodyList();
        text = MyRealToSciNotString(speed) + " ";
        if (b.parent > 0 && list && b.parent - 1 < i) text += "rel. " + PToCStr(list->body[b.parent - 1].name);
        else text += "initial";
    }
    return FitTextWithEllipsis(text, room, kViewsFont, 8);
}

void DrawRow(const BodyInfoStruct& b, ObjectRow row, int32_t r, int32_t w, const BodyRTListStruct* run) {
    const int32_t i = row.first;
    auto inRow = [&](int32_t index) { return index >= row.first && index < row.first + row.count; };
    RGBForeColor(kSeparatorGrey);
    MoveTo(0, r + 30);
    LineTo(w, r + 30);
    if (inRow(rt.selectedBody)) DrawSelectionTriangle(w, r);
    if (inRow(set.cameraSelection)) DrawCameraMark(w - 17, r + 18);

    RGBForeColor(kWhiteRGB);
    if (row.count > 1 || b.mass == 0.0) {  // a belt: its count across the name and colour columns
        DrawTextAtBaseline(0, r + 28, BeltRowText(row.count), 12);
        return;
    }
    const std::string name = FitObjectName(PToCStr(b.name));
    DrawTextAtBaseline(0, r + 28, std::to_string(i + 1) + ". " + name, 12);

    const Rect swatch = MakeRect(r + 17, 82, r + 29, 138);
    PaintRGBDitherRect(&b.color, &swatch);
    if (b.spherePixID != 0) {
        const Handle picture = GetSphereListPICT(rt.spherePixList, b.spherePixID);
        if (picture && IsValidHandle(picture)) {
            const bool wasLocked = IsHandleLocked(picture);
            HLock(picture);
            PixelSurface target = PenTarget();
            Platform().DrawPictureScaled(static_cast<const uint8_t*>(HandlePtr(picture)),
                                         size_t(GetHandleSize(picture)), target, swatch);
            if (!wasLocked) HUnlock(picture);
        }
    }

    RGBForeColor(kWhiteRGB);
    DrawTextAtBaseline(152, r + 28, MyRealToSciNotString(b.mass), 12);
    DrawTextAtBaseline(222, r + 28, SpeedText(b, i, run, w - 20 - 222), 12);  // clear of the marks
}

void DrawNewBodyButton(int32_t rowsShown, int32_t w) {
    const std::string label = GetIndString(kObjectWindowTexts, 10);
    const int32_t bottom = kObjectRowHeight * rowsShown + 40, top = bottom - 20;
    const int32_t tw = Platform().ThemeTextWidth(label, kPushButtonFont);
    const int32_t left = ((w - tw) >> 1) - 4, right = ((w - tw) >> 1) + tw + 4;
    const Rect button = MakeRect(top, left, bottom, right);
    RGBForeColor(kSeparatorGrey);
    FrameRoundRect(MakeRect(top + 1, left + 1, bottom + 1, right + 1), 10);
    RGBForeColor(kBlackRGB);
    PaintRoundRect(button, 10);
    RGBForeColor(kWhiteRGB);
    FrameRoundRect(button, 10);
    PenDrawText(MakeRect(bottom - 18, 0, bottom - 3, w & ~1), label, kPushButtonFont, TextJustify::Center);
}

}  // namespace

std::string FitObjectName(std::string name) { return FitTextWithEllipsis(std::move(name), kNameRoom, kSmallViewsFont, 2); }

void RedrawObjectWindow() {
    const PixelSurface s = MainWindow().WindowSurface(kObjectWindowId);
    if (!s.base || s.width <= 0 || s.height <= 0) return;
    PenOnSurface pen(s);

    const int32_t w = s.width - 16;
    EraseRect(MakeRect(0, 0, s.height, s.width - 15));
    RGBForeColor(kWhiteRGB);
    MoveTo(0, 15);
    LineTo(w, 15);
    const int32_t headingX[4] = {2, 82, 152, 222};
    for (int16_t item = 1; item <= 4; ++item)
        DrawTextAtBaseline(headingX[item - 1], 13, GetIndString(kObjectWindowTexts, item), 12);
    DrawTextAtBaseline(s.width - 20, 13, GetIndString(kObjectWindowTexts, 5), 9, TextJustify::Right);

    const int32_t first = ObjectWindowScrollValue();
    int32_t rows = 0;
    if (set.bodies && IsValidHandle(set.bodies)) {
        const bool wasLocked = IsHandleLocked(set.bodies);
        HLock(set.bodies);
        const BodyListStruct* list = BodyList();
        const BodyRTListStruct* run = BodyRTList();
        for (int32_t i = 0; i < list->count; ++rows) {
            const ObjectRow row = ObjectRowFrom(list, i);
            i += row.count;
            const int32_t r = kObjectRowHeight * (rows - first);
            if (rows < first || r + 16 > s.height) continue;  // above the window, or below it
            DrawRow(list->body[row.first], row, r, w, run);
        }
        if (!wasLocked) HUnlock(set.bodies);
    }
    DrawNewBodyButton(rows - first, w);

    MainWindow().PresentWindow(kObjectWindowId);
}
