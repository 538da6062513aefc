// Our own integer pen drawing into one target surface: points, lines,
// outlined ovals, rectangles and text, in copy or additive-pinned mode.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"
#include "platform/Platform.h"

// Classic colour numbers.
constexpr int32_t kWhiteColor = 30;
constexpr int32_t kBlackColor = 33;
constexpr int32_t kYellowColor = 69;
constexpr int32_t kRedColor = 205;

void PenSetTarget(const PixelSurface& surface);
const PixelSurface& PenTarget();
void PenForeColor(int32_t classicColor);
void RGBForeColor(const RGBColor& color);
// The buffer pixel (0x00RRGGBB) of a 16-bit-per-channel colour: each channel's high byte.
inline uint32_t PenPixel(const RGBColor& c) {
    return (uint32_t(c.red >> 8) << 16) | (uint32_t(c.green >> 8) << 8) | uint32_t(c.blue >> 8);
}
RGBColor PenRGBColor();
void PenMode(int16_t mode);  // kPatCopyMode or kAddPinMode
int16_t CurrentPenMode();
// Device pixels per window pixel of the target: lines are drawn that many whole pixels
// wide (1 up to 1.49) and text at that many times its size.
void PenScale(double scale);
double CurrentPenScale();
int32_t CurrentPenWidth();  // whole pixels a stroke is wide

void MoveTo(int32_t h, int32_t v);
void LineTo(int32_t h, int32_t v);
void Line(int32_t dh, int32_t dv);  // relative; zero length plots the pen pixel
Point PenPosition();
void FrameOval(const Rect& r);
void FrameRect(const Rect& r);
void PaintRect(const Rect& r);
void PlotPixel(int32_t h, int32_t v);  // in pen colour and mode, clipped

// Text in the pen colour into the box (additive in the add-pin mode).
int32_t PenDrawText(const Rect& box, const std::string& text, int16_t font, TextJustify justify);

// Points the pen at a surface in copy mode for one drawing and puts the
// previous target, colour and mode back when it goes out of scope.
struct PenOnSurface {
    explicit PenOnSurface(const PixelSurface& surface)
        : previous(PenTarget()), previousColor(PenRGBColor()), previousMode(CurrentPenMode()),
          previousScale(CurrentPenScale()) {
        PenSetTarget(surface);
        PenMode(kPatCopyMode);
        PenScale(1);
    }
    ~PenOnSurface() {
        PenSetTarget(previous);
        RGBForeColor(previousColor);
        PenMode(previousMode);
        PenScale(previousScale);
    }
    PenOnSurface(const PenOnSurface&) = delete;
    PenOnSurface& operator=(const PenOnSurface&) = delete;
    PixelSurface previous;
    RGBColor previousColor;
    int16_t previousMode;
    double previousScale;
};
