// Camera step, viewing set-up and the projection.
#pragma once
#include <cstdint>

#include "core/Records.h"

void DoCameraWork();
void SetRunTimeViewingVariables();

// Camera mode codes (menu items 1..11).
int32_t CameraModeForMenuItem(int32_t item);
// Whether a mode code places the camera by the bound body (every mode but orbiting the origin).
bool CameraModeUsesBody(int32_t mode);

// Where the eye is placed beside a followed body (orbiting it or chasing it), it
// keeps at least this far from the body's centre, so zooming in stops above the surface.
constexpr double kEyeClearanceOfRadius = 0.1;
inline double NearestEyeDistance(double bodyRadius) {
    return bodyRadius > 0 ? bodyRadius * (1.0 + kEyeClearanceOfRadius) : 0.0;
}

// Projection through the current camera, as every plotter uses it.
struct Projected {
    double rel[3];
    double depth;  // rel . k (65536 x true depth); in front only when < 0
    double f;      // focalLength / depth
    int32_t sx, sy;
};
bool ProjectPoint(const double p[3], int32_t cx, int32_t cy, Projected& out);  // false when not in front
// Diameter in pixels, saturated at 0xFFFFFFFF rather than wrapping to a small dot when a body
// beside the eye plane projects larger than 32 bits.
uint32_t ApparentDiameter(double radius, double f);
// A body's drawn diameter in buffer pixels: its apparent size, at least the smallest body size.
uint32_t DrawnDiameter(double radius, double f);

// A projected coordinate truncated toward zero as the plotters use it, pinned to +-2^30 so
// that a point near the eye plane stays a defined, far-off integer (NaN goes to -2^30).
constexpr double kScreenCoordLimit = 1073741824.0;
// A body's screen position kept as 16-bit values: pinned, so a body far off the screen is not
// wrapped onto it (where a click would find it).
inline Point ScreenPoint(int32_t h, int32_t v) {
    auto pin = [](int32_t c) { return int16_t(c < -32767 ? -32767 : c > 32767 ? 32767 : c); };
    return Point{pin(v), pin(h)};
}

inline int32_t ScreenCoord(double v) {
    if (!(v > -kScreenCoordLimit)) return -int32_t(kScreenCoordLimit);
    if (v > kScreenCoordLimit) return int32_t(kScreenCoordLimit);
    return int32_t(v);
}
