// Device pixels per window pixel of the render buffer (the window's device pixel
// ratio: 1, 1.25, 1.5, 2 ...). The buffer is as many device pixels as the screen
// shows, so the view is sharp; whatever is drawn at a fixed size in pixels
// (smallest bodies, stars, lines, label text and offsets) is scaled by the ratio
// so the picture keeps its size on screen.
#pragma once
#include <cstdint>

#include "core/Records.h"

extern double renderPixelRatio;  // 1 until a window with another ratio is set up

// A usable ratio from what the window reports (0, NaN or absurd values give 1).
double UsablePixelRatio(double reported);
// A length of `logical` window pixels in device pixels, at least 1 when positive.
int32_t DevicePixels(int32_t logical);
// Whole device pixels per window pixel for pen strokes and star points: 1 up to 1.49.
int32_t StrokePixels();
// Height of one line of a body's label in device pixels.
inline int32_t LabelLinePixels() { return DevicePixels(16); }
// Bodies up to this size are drawn as outlines, larger ones as shaded discs or spheres.
inline uint32_t TinyBodyPixels() { return uint32_t(DevicePixels(3)); }
// Smallest body size in device pixels.
uint32_t MinPointPixels();
// A point in window pixels (a click) in render buffer pixels.
Point BufferPointFromWindow(Point where);
