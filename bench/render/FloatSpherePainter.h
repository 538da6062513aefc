// The painter one would write first: per-pixel sqrt, atan2 and acos into an
// equirectangular 512 x 256 map. The benchmarks' baseline for DrawSphere.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Paints a sphere of radius r at (cx, cy), turned by the 16.16 matrix m, into
// a width x height buffer of rowPixels pixels per row.
inline void PaintSphereFloat(uint32_t* buffer, int rowPixels, int width, int height, int cx, int cy, int r,
                             const int32_t* m, const std::vector<uint32_t>& equi) {
    for (int py = std::max(0, cy - r); py < std::min(height, cy + r); ++py)
        for (int px = std::max(0, cx - r); px < std::min(width, cx + r); ++px) {
            const double x = (px - cx) / double(r), y = -(py - cy) / double(r);
            const double q = 1 - x * x - y * y;
            if (q <= 0) continue;
            const double z = std::sqrt(q);
            const double X = (x * m[0] + y * m[1] + z * m[2]) / 65536.0;
            const double Y = (x * m[3] + y * m[4] + z * m[5]) / 65536.0;
            const double Z = (x * m[6] + y * m[7] + z * m[8]) / 65536.0;
            double lon = std::atan2(Y, X);
            if (lon < 0) lon += 2 * M_PI;
            const double lat = std::acos(std::fmax(-1.0, std::fmin(1.0, Z)));
            const int c = std::min(511, int(lon / (2 * M_PI) * 512)), row = std::min(255, int(lat / M_PI * 256));
            buffer[py * rowPixels + px] = equi[row * 512 + c];
        }
}
