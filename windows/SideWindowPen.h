// Pen helpers shared by the statistics and object windows and the dialogs' drawn items: text
// placed on a baseline at a point size and fitted to a width, black erasing, rounded rectangles.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"
#include "platform/Platform.h"

// Theme fonts: the views font at its two sizes and the push-button font.
constexpr int16_t kViewsFont = 3;         // 12-pixel text
constexpr int16_t kSmallViewsFont = 109;  // 9-pixel text (the mini font)
constexpr int16_t kPushButtonFont = 0;    // the system font
int16_t ViewsFontOfSize(int32_t size);  // 9 and smaller: the small face

constexpr RGBColor kMidGrey{32768, 32768, 32768};
constexpr RGBColor kSeparatorGrey{0x8888, 0x8888, 0x8888};
constexpr RGBColor kWhiteRGB{65535, 65535, 65535};
constexpr RGBColor kBlackRGB{0, 0, 0};

// The box a line of text of that size occupies around its baseline, from x
// to the right (Left), ending at x (Right) or centred on x (Center).
Rect TextBoxAtBaseline(int32_t x, int32_t baseline, int32_t size, TextJustify justify);
// Draws in the pen colour; text is UTF-8.
void DrawTextAtBaseline(int32_t x, int32_t baseline, const std::string& text, int32_t size,
                        TextJustify justify = TextJustify::Left);

// The text shortened, two code points at a time and ending in an ellipsis, until it measures
// less than `room` pixels in the font or is down to `fewest` code points.
std::string FitTextWithEllipsis(std::string text, int32_t room, int16_t font, size_t fewest);

// Paints the rectangle black and leaves the pen white.
void EraseRect(const Rect& r);

// Rounded corners of the given diameter, in the pen colour.
void FrameRoundRect(const Rect& r, int32_t diameter);
void PaintRoundRect(const Rect& r, int32_t diameter);

inline Rect MakeRect(int32_t top, int32_t left, int32_t bottom, int32_t right) {
    return Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}
