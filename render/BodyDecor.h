// What the mono and stereo body plotters share: clipping, the line-of-sight turn of
// a body's frame, the text labels and the velocity and acceleration arrows.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "render/Pen.h"

bool ClipToBuffer(Rect& r);  // false when nothing of r is left inside the render buffer
// The square of a body of diameter d centred at (sx, sy), kept within 16-bit
// coordinates; false when it lies entirely off the render buffer.
bool BodySquare(int32_t sx, int32_t sy, uint32_t d, Rect& square);

// Turns F so a body off the screen centre is shaded as seen along e = (i.rel, j.rel, depth).
void LineOfSightCorrect(IJK& F, const double e[3]);

// The text lines of the set label bits, name first (at most kMaxLabelLines); returns the count.
constexpr int32_t kMaxLabelLines = 6;
constexpr uint32_t kTextLabelBits = 0xF9u;  // name and the five values; bits 1 and 2 are arrows
int32_t ComposeBodyLabelLines(const BodyRTStruct& b, uint32_t labelFlags, Str255* lines);
// Draws the lines in the pen colour and mode, baselines from top + 16 down, 16 apart, each in a
// box from right to right + 200.
void DrawLabelLines(const Str255* lines, int32_t count, int32_t right, int32_t top);

// The arrow of vel (velocity) or acc: updates the frame's arrow measure and gives the tip
// relative to the eye. False when the tip lies behind the eye (nothing to draw).
bool ArrowTip(const BodyRTStruct& b, const double rel[3], double f, bool velocity, double tip[3]);

// Line from (sx, sy) to the projected tip (tx, ty), truncated toward zero, with the two barbs
// at the tip, in the pen colour and mode. A tip beyond the integer plane (near the eye plane)
// is pulled in along the arrow's own direction.
void DrawArrowLine(int32_t sx, int32_t sy, double tx, double ty);

// The body's colour as a buffer pixel 0x00RRGGBB (high byte of each channel).
inline uint32_t BodyPixel(const BodyRTStruct& b) { return PenPixel(b.color); }

inline double DotIJK(const int32_t* v, const double* d) {
    return double(v[0]) * d[0] + double(v[1]) * d[1] + double(v[2]) * d[2];
}
