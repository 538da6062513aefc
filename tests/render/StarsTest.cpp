// The star field from star data files: each star where its direction projects, as bright on
// any buffer, none lost to the sky cells a view skips and none wrapped onto the screen.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ScratchDir.h"
#include "imagery/Stars.h"
#include "render/IJK.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

namespace {

// A star data file of big-endian records (right ascension in hours, declination in degrees,
// 16-bit red, green, blue: here red, and white for red 0xFFFF), read back as a star list.
Handle StarFile(const std::string& path, const std::vector<std::array<double, 3>>& stars) {
    std::vector<uint8_t> bytes(stars.empty() ? 31 : 32 * stars.size(), 0);  // none: 31 bytes, no whole record
    for (size_t s = 0; s < stars.size(); ++s) {
        for (int k = 0; k < 16; ++k) bytes[32 * s + k] = uint8_t(std::bit_cast<uint64_t>(stars[s][k / 8]) >> (56 - k % 8 * 8));
        for (int k = 24; k < 30; ++k) bytes[32 * s + k] = k < 26 ? uint8_t(int(stars[s][2]) >> (k == 24 ? 8 : 0)) : stars[s][2] == 0xFFFF ? 0xFF : 0;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return GetStarListFromFS(path);
}

TEST(Stars, AStarIsDrawnRedWhereItLiesAsBrightOnAHiDpiBufferAndNeverWrapped) {
    ScratchDir scratch;
    EXPECT_EQ(StarFile(scratch.prefix() + "short.stars", {}), 0u);
    EXPECT_EQ(GetStarListFromFS(scratch.prefix() + "missing.stars"), 0u);
    const IJK down{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}}, up{{65536, 0, 0}, {0, -65536, 0}, {0, 0, -65536}};
    const struct {
        double ra, dec;
        IJK camera;
        int32_t focalLength, ratio;
    } cases[] = {{6.3, -88.7, down, 50, 1}, {6.3, -88.7, down, 50, 2}, {6.3, -88.7, up, 50, 1},  // by the south pole
                 // A 157-degree view: a star 0.0087 degrees behind the edge of the visible half of the
                 // sky projects 65556 px right of the centre, 20 px right after a 16-bit wrap.
                 {0.00001, -(10.0 / 65556.5) * 180 / M_PI, down, 10, 1}};
    double light[3] = {}, x[3] = {}, y[3] = {};
    for (const auto& c : cases) {
        Handle list = StarFile(scratch.prefix() + "one.stars", {{c.ra, c.dec, 0x4000}});
        set = SettingsStruct{};
        renderPixelRatio = c.ratio;
        const int32_t size = 100 * c.ratio;
        ASSERT_EQ(SetupRenderGW(size, size), 0);
        DrawStars(renderGWRect, c.camera, list, c.focalLength * c.ratio, size / 2, size / 2);
        double red = 0, sumX = 0, sumY = 0, lit = 0;
        for (int t = 0; t < size * size; ++t) {
            ASSERT_EQ(renderGW[t] & 0xFF00FFFFu, 0u) << "red only";
            const double r = renderGW[t] >> 16;
            red += r, sumX += r * (t % size + 0.5), sumY += r * (t / size + 0.5), lit += r > 0;
        }
        if (&c - cases < 2) light[c.ratio] = red, x[c.ratio] = sumX / red, y[c.ratio] = sumY / red;
        EXPECT_EQ(lit > 0, &c - cases < 2);
        EXPECT_LE(lit, c.ratio == 2 ? 9 : 4);  // a ratio x ratio square over at most (ratio + 1)^2 pixels
        DisposeMyRenderGW();
        DisposeStarListHandle(list);
    }
    renderPixelRatio = 1;
    EXPECT_NEAR(light[2] / light[1], 4.0, 0.1) << "four device pixels to a window pixel, each as bright";
    EXPECT_NEAR(x[2], 2 * x[1], 0.6) << "at the same place on the screen";
    EXPECT_NEAR(y[2], 2 * y[1], 0.6);
}

TEST(Stars, AtAnyViewAngleEveryStarInTheViewIsDrawnGreyAsItsColour) {
    ScratchDir scratch;
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(200, 320), 0);
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), angle(0.0, 2 * M_PI);
    std::vector<std::array<double, 3>> records, sky;
    for (int s = 0; s < 40000; ++s) {  // spread evenly over the sphere, white
        const double z = unit(rng), ra = 12.0 * (unit(rng) + 1.0), ring = std::sqrt(1 - z * z);
        records.push_back({ra, std::asin(z) * 180 / M_PI, 0xFFFF});
        sky.push_back({ring * std::cos(ra * M_PI / 12), ring * std::sin(ra * M_PI / 12), z});
    }
    Handle list = StarFile(scratch.prefix() + "even.stars", records);
    ASSERT_NE(list, 0u);
    for (const double viewAngle : {10.0, 25.0, 70.0}) {
        const int32_t focal = int32_t(160 / std::tan(viewAngle * M_PI / 360));
        int inView = 0, drawn = 0;
        for (int d = 0; d < 24; ++d) {
            IJK cam;
            BuildBodyAxes(cam, std::acos(unit(rng)), angle(rng), angle(rng));
            EraseRenderBuffer();
            DrawStars(renderGWRect, cam, list, focal, 160, 100);
            for (int t = 0; t < 320 * 200; ++t) ASSERT_EQ(renderGW[t], (renderGW[t] & 255) * 0x010101u) << "grey, each channel pinned";
            for (const auto& P : sky) {  // each star projected directly
                const double depth = cam.k[0] * P[0] + cam.k[1] * P[1] + cam.k[2] * P[2];
                const double X = (cam.i[0] * P[0] + cam.i[1] * P[1] + cam.i[2] * P[2]) * (-focal / depth);
                const double Y = (cam.j[0] * P[0] + cam.j[1] * P[1] + cam.j[2] * P[2]) * (-focal / depth);
                const double fx = 160 + std::floor(X), fy = 100 - std::floor(Y);
                if (!(depth < 0 && fx >= 0 && fy >= 1 && fx < 319 && fy < 200)) continue;
                const int t = int(fy) * 320 + int(fx);
                ++inView;
                drawn += (renderGW[t] | renderGW[t + 1] | renderGW[t - 320] | renderGW[t - 319]) != 0;
            }
        }
        EXPECT_GT(inView, viewAngle < 20 ? 150 : 1000) << viewAngle;
        EXPECT_GE(drawn, 0.99 * inView) << "view angle " << viewAngle;
    }
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

}  // namespace
