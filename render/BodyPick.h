// Which body a point of the 3-D view lies on, as the last frame drew it.
#pragma once
#include <cstdint>

// The index of the body whose drawn disc (at least the smallest point size)
// holds the pixel (h, v) of the render buffer, the one nearest the eye when
// discs overlap; failing that, the body whose disc edge lies within slopPixels,
// the closest edge first. -1 when none does. A body the camera rides is not
// drawn and is never found.
int32_t BodyUnderPoint(int32_t h, int32_t v, int32_t slopPixels);
