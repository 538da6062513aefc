#include "render/PixelRatio.h"

#include <algorithm>
#include <cmath>


double renderPixelRatio = 1.0;

double UsablePixelRatio(double reported) {
    if (!(reported >= 0.5 && reported <= 8)) return 1.0;
    return reported;
}

int32_t DevicePixels(int32_t logical) {
    const int32_t scaled = int32_t(std::lround(logical * renderPixelRatio));
    return logical > 0 ? std::max(scaled, int32_t(1)) : scaled;
}

int32_t StrokePixels() { return std::max(int32_t(1), int32_t(std::lround(renderPixelRatio))); }

uint32_t MinPointPixels() { return uint32_t(std::max(DevicePixels(set.minPointSize), int32_t(0))); }

Point BufferPointFromWindow(Point where) {
    auto scale = [](int16_t v) {
        return int16_t(std::clamp<long>(std::lround(v * renderPixelRatio), INT16_MIN, INT16_MAX));
    };
    return Point{scale(where.v), scale(where.h)};
}
