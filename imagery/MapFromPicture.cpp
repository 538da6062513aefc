#include "imagery/MapFromPicture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imagery/SpherePix.h"

namespace {

// Mean of three channels over the rows [ya, yb) of the picture, per column; rows count with
// the part of them inside the interval.
void BandMeans(const uint8_t* base, int32_t rowBytes, int32_t W, int32_t H, double ya, double yb, std::vector<double>& out) {
    std::fill(out.begin(), out.end(), 0.0);
    for (int32_t y = std::max(0, int32_t(std::floor(ya))); y < H && y < yb; ++y) {
        const double part = std::min<double>(y + 1, yb) - std::max<double>(y, ya);
        if (!(part > 0)) continue;
        const uint8_t* row = base + size_t(y) * size_t(rowBytes);
        for (int32_t x = 0; x < W; ++x) {
            uint32_t p;
            std::memcpy(&p, row + size_t(x) * 4, 4);
            for (int c = 0; c < 3; ++c) out[size_t(x) * 3 + c] += part * ((p >> (16 - 8 * c)) & 255);
        }
    }
    const double span = yb - ya;
    for (double& v : out) v /= span;
}

}  // namespace

void FillTexelMapFromPicture(uint32_t* ref, const uint8_t* base, int32_t rowBytes, int32_t W, int32_t H,
                             const std::function<void(int32_t)>& onRow) {
    std::vector<double> band(size_t(W) * 3), sums(size_t(W + 1) * 3);
    for (int32_t n = 0; n < 256; ++n) {
        const int32_t rho = n - 128;
        // The rasteriser takes row rho for heights rho/128 up to (rho + 1)/128.
        const double north = std::acos(std::min(1.0, (rho + 1) / 128.0)), south = std::acos(rho / 128.0);
        double ya = H * north / M_PI, yb = H * south / M_PI;
        if (yb - ya < 1) {  // less than a picture row: one row's worth around its middle
            const double mid = std::clamp(0.5 * (ya + yb), 0.5, H - 0.5);
            ya = mid - 0.5, yb = mid + 0.5;
        }
        BandMeans(base, rowBytes, W, H, ya, yb, band);
        for (int c = 0; c < 3; ++c) sums[size_t(c)] = 0;
        for (int32_t x = 0; x < W; ++x)
            for (int c = 0; c < 3; ++c) sums[size_t(x + 1) * 3 + c] = sums[size_t(x) * 3 + c] + band[size_t(x) * 3 + c];
        // Integral of a channel from column 0 to X, the picture repeating around the globe.
        auto integral = [&](double X, int c) {
            const double turns = std::floor(X / W), local = X - turns * W;
            const int32_t x = std::min(int32_t(local), W - 1);
            return turns * sums[size_t(W) * 3 + c] + sums[size_t(x) * 3 + c] + (local - x) * band[size_t(x) * 3 + c];
        };
        const double colatitude = std::acos((rho + 0.5) / 128.0);
        const double bandHalf = 0.5 * (south - north);
        const double acrossBand = bandHalf / std::max(std::sin(colatitude), 1e-9);  // radians of longitude
        for (int32_t k = 63; k >= -64; --k) {
            const double u = k / 64.0, w = std::sqrt(1 - u * u);
            const double acrossColumn = 0.5 / (64 * std::max(w, 1.0 / 64));
            const double half = std::min(M_PI, std::max(acrossColumn, acrossBand)) * W / (2 * M_PI);
            const double reach = std::max(half, 0.5);
            for (int32_t s = 0; s < 4; ++s) {
                double lon = SectorLongitude(s, k) / (2 * M_PI);
                if (lon < 0) lon += 1;
                const double X = lon * W;
                uint32_t ch[3];
                for (int c = 0; c < 3; ++c) {
                    const double mean = (integral(X + reach, c) - integral(X - reach, c)) / (2 * reach);
                    ch[c] = uint32_t(std::clamp(mean + 0.5, 0.0, 255.0));
                }
                ref[rho * 512 + s * 128 + k] = MakeTexel(TexelLuminance(ch[0], ch[1], ch[2]), ch[0], ch[1], ch[2]);
            }
        }
        onRow(n);
    }
}
