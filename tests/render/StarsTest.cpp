// The star field from star data files: each star where its direction projects, as bright on
// any buffer, none lost to the sky cells a view skips and none wrapped onto the screen.
#include <gtest/gtest.h>

#include <array>
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

const IJK kLookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};

uint32_t& At(int x, int y) { return reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x]; }

// A star data file of big-endian records (right ascension in hours, declination in degrees,
// 16-bit red, green, blue), read back as a star list.
Handle StarFile(const std::string& path, const std::vector<std::array<double, 3>>& stars) {
    std::vector<uint8_t> bytes(32 * stars.size(), 0);
    for (size_t s = 0; s < stars.size(); ++s) {
        for (int f = 0; f < 2; ++f) {
            uint64_t bits;
            std::memcpy(&bits, &stars[s][f], 8);
            for (int k = 0; k < 8; ++k) bytes[32 * s + 8 * f + k] = uint8_t(bits >> (56 - 8 * k));
        }
        const uint16_t red = uint16_t(stars[s][2]);
        bytes[32 * s + 24] = uint8_t(red >> 8), bytes[32 * s + 25] = uint8_t(red);
        for (int k = 26; k < 30; ++k) bytes[32 * s + k] = red == 0xFFFF ? 0xFF : 0;  // 0xFFFF: white
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return GetStarListFromFS(path);
}

TEST(Stars, FilesAreReadBigEndianAndAStarIsDrawnOnlyWhereItLies) {
    ScratchDir scratch;
    const std::string dir = scratch.prefix();
    std::FILE* f = std::fopen((dir + "short.stars").c_str(), "wb");
    std::fwrite("0123456789012345678901234567890", 1, 31, f);  // no whole record
    std::fclose(f);
    EXPECT_EQ(GetStarListFromFS(dir + "short.stars"), 0u);
    EXPECT_EQ(GetStarListFromFS(dir + "missing.stars"), 0u);
    ASSERT_EQ(SetupRenderGW(100, 100), 0);
    set = SettingsStruct{};
    const struct {
        double ra, dec;
        IJK camera;
        int32_t focalLength;
        bool seen;
    } cases[] = {
        {6.0, -89.0, kLookDownZ, 50, true},                                           // by the south pole, ahead
        {6.0, -89.0, IJK{{65536, 0, 0}, {0, -65536, 0}, {0, 0, -65536}}, 50, false},  // behind a camera looking up
        // A 157-degree view: a star 0.0087 degrees behind the edge of the visible half of the sky
        // projects 65556 px right of the centre, 20 px right after a 16-bit wrap.
        {0.00001, -(10.0 / 65556.5) * 180 / M_PI, kLookDownZ, 10, false},
    };
    for (const auto& c : cases) {
        Handle list = StarFile(dir + "one.stars", {{c.ra, c.dec, 0x4000}});
        ASSERT_NE(list, 0u);
        EraseRenderBuffer();
        DrawStars(renderGWRect, c.camera, list, c.focalLength, 50, 50);
        uint32_t brightest = 0;
        for (int t = 0; t < 100 * 100; ++t) brightest = std::max(brightest, At(t % 100, t / 100));
        EXPECT_EQ(brightest > 0x00200000u, c.seen) << c.ra << " " << c.dec;
        EXPECT_TRUE(c.seen || brightest == 0);
        EXPECT_EQ(brightest & 0xFF00FFFFu, 0u) << "red only";
        DisposeStarListHandle(list);
    }
    DisposeMyRenderGW();
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
            for (int t = 0; t < 320 * 200; ++t) {
                const uint32_t p = At(t % 320, t / 320);
                ASSERT_EQ(p, (p & 255) * 0x010101u) << "a white star is grey, its channels pinned";
            }
            for (const auto& P : sky) {  // each star projected directly
                const double depth = cam.k[0] * P[0] + cam.k[1] * P[1] + cam.k[2] * P[2];
                if (!(depth < 0)) continue;
                const double X = (cam.i[0] * P[0] + cam.i[1] * P[1] + cam.i[2] * P[2]) * (-focal / depth);
                const double Y = (cam.j[0] * P[0] + cam.j[1] * P[1] + cam.j[2] * P[2]) * (-focal / depth);
                const double fx = 160 + std::floor(X), fy = 100 - std::floor(Y);
                if (!(fx >= 0 && fy >= 1 && fx < 319 && fy < 200)) continue;
                const int x = int(fx), y = int(fy);
                ++inView;
                drawn += (At(x, y) | At(x + 1, y) | At(x, y - 1) | At(x + 1, y - 1)) != 0;
            }
        }
        EXPECT_GT(inView, viewAngle < 20 ? 150 : 1000) << viewAngle;
        EXPECT_GE(drawn, 0.99 * inView) << "view angle " << viewAngle;
    }
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

TEST(Stars, OnAHiDpiBufferAStarCoversAsMuchOfTheScreenAndIsAsBright) {
    ScratchDir scratch;
    Handle list = StarFile(scratch.prefix() + "one.stars", {{6.3, -88.7, 0x4000}});
    ASSERT_NE(list, 0u);
    double red[3] = {}, x[3] = {}, y[3] = {};
    int lit[3] = {};
    for (int ratio : {1, 2}) {
        set = SettingsStruct{};
        renderPixelRatio = ratio;
        ASSERT_EQ(SetupRenderGW(100 * ratio, 100 * ratio), 0);
        DrawStars(renderGWRect, kLookDownZ, list, 50 * ratio, 50 * ratio, 50 * ratio);
        for (int t = 0; t < 10000 * ratio * ratio; ++t) {
            const double r = (At(t % (100 * ratio), t / (100 * ratio)) >> 16) & 255;
            red[ratio] += r, x[ratio] += r * (t % (100 * ratio) + 0.5), y[ratio] += r * (t / (100 * ratio) + 0.5);
            lit[ratio] += r > 0;
        }
        DisposeMyRenderGW();
    }
    renderPixelRatio = 1;
    DisposeStarListHandle(list);
    ASSERT_GT(red[1], 0);
    EXPECT_NEAR(red[2] / red[1], 4.0, 0.1) << "four device pixels to a window pixel, each as bright";
    EXPECT_GT(lit[2], lit[1]);
    EXPECT_LE(lit[2], 9);  // a 2 x 2 square over at most 3 x 3 pixels
    EXPECT_NEAR(x[2] / red[2], 2 * x[1] / red[1], 0.6) << "at the same place on the screen";
    EXPECT_NEAR(y[2] / red[2], 2 * y[1] / red[1], 0.6);
}

}  // namespace
