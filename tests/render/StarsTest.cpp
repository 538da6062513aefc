#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>
#include <cstring>
#include <string>

#include "imagery/Random.h"
#include "imagery/SkyCells.h"
#include "imagery/Stars.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

namespace {

int LitPixels() {
    int lit = 0;
    for (int y = 0; y < renderGWRect.bottom; ++y)
        for (int x = 0; x < renderGWRect.right; ++x) lit += reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x] != 0;
    return lit;
}

void PutBigEndianDouble(uint8_t* at, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    for (int k = 0; k < 8; ++k) at[k] = uint8_t(bits >> (56 - 8 * k));
}

void WriteBytes(const std::string& path, const uint8_t* bytes, size_t count) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes, 1, count, f);
    std::fclose(f);
}

// A star list read from a file holding one star record.
Handle ListOfOneStar(const std::string& path, double rightAscension, double declination, uint16_t red,
                     uint16_t greenBlue) {
    uint8_t rec[32] = {};
    PutBigEndianDouble(rec, rightAscension);
    PutBigEndianDouble(rec + 8, declination);
    rec[24] = uint8_t(red >> 8);
    rec[26] = rec[28] = uint8_t(greenBlue >> 8);
    WriteBytes(path, rec, 32);
    return GetStarListFromFS(path);
}

TEST(Random, StaysInRangeAndRepeatsFromSeed) {
    SetRandomSeed(42);
    int16_t first[8];
    for (auto& v : first) v = Random();
    SetRandomSeed(42);
    for (int16_t v : first) EXPECT_EQ(Random(), v);
    for (int n = 0; n < 20000; ++n) {
        const int16_t v = Random();
        ASSERT_GE(v, -32767);
    }
}

TEST(Stars, RandomSkyIsDrawnOnlyWhereTheCameraLooks) {
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(120, 160), 0);
    Handle list = NewStarListHandle();
    ASSERT_NE(list, 0u);
    FillWithStars(list, 3000, nullptr);
    const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};  // looking along -z
    DrawStars(renderGWRect, lookDownZ, list, 80, 80, 60);
    const int southSky = LitPixels();
    // Field of view about 90 by 74 degrees: roughly a tenth of 3000 stars, each up to 4 pixels.
    EXPECT_GT(southSky, 200);
    EXPECT_LT(southSky, 2400);
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

TEST(Stars, FileRecordsBigEndianAndShortFilesRejected) {
    ScratchDir scratch;
    const std::string dir = scratch.prefix();
    const std::string shortPath = dir + "short.stars";
    const uint8_t zeros[31] = {};
    WriteBytes(shortPath, zeros, sizeof zeros);
    EXPECT_EQ(GetStarListFromFS(shortPath), 0u);
    EXPECT_EQ(GetStarListFromFS(dir + "missing.stars"), 0u);

    // One star straight ahead of a camera looking along -z: at the south pole's neighbourhood.
    Handle list = ListOfOneStar(dir + "one.stars", 6.0, -89.0, 0x4000, 0);
    ASSERT_NE(list, 0u);
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(100, 100), 0);
    const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
    DrawStars(renderGWRect, lookDownZ, list, 50, 50, 50);
    uint32_t brightest = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) brightest = std::max(brightest, reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x]);
    EXPECT_GT(brightest, 0x00200000u);
    EXPECT_EQ(brightest & 0x0000FFFFu, 0u);  // only red
    const IJK lookUpZ{{65536, 0, 0}, {0, -65536, 0}, {0, 0, -65536}};
    EraseRenderBuffer();
    DrawStars(renderGWRect, lookUpZ, list, 50, 50, 50);
    EXPECT_EQ(LitPixels(), 0);
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

}  // namespace

namespace {

// A sky of n stars spread evenly at random, written as a star data file and read back.
Handle EvenSkyFromFile(const std::string& path, int n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::vector<uint8_t> bytes(size_t(n) * 32, 0);
    for (int s = 0; s < n; ++s) {
        const double z = unit(rng), ra = 12.0 * (unit(rng) + 1.0);
        uint8_t* rec = bytes.data() + size_t(s) * 32;
        PutBigEndianDouble(rec, ra);
        PutBigEndianDouble(rec + 8, std::asin(z) * 180 / M_PI);
        rec[24] = rec[26] = rec[28] = 0xFF;  // white: every splat lights at least one pixel
    }
    WriteBytes(path, bytes.data(), bytes.size());
    return GetStarListFromFS(path);
}

// Fraction of the stars in the view (projected directly, each one) whose splat shows a pixel.
double DrawnFractionOfStarsInView(Handle list, const std::vector<std::array<double, 3>>& sky, double viewAngle,
                                  int directions, uint32_t seed, int* inViewTotal) {
    const int w = 320, hgt = 200;
    const int32_t focal = int32_t(w * 0.5 / std::tan(viewAngle * M_PI / 360));
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> angle(0.0, 2 * M_PI), cosine(-1.0, 1.0);
    int inView = 0, drawn = 0;
    for (int d = 0; d < directions; ++d) {
        IJK cam;
        BuildBodyAxes(cam, std::acos(cosine(rng)), angle(rng), angle(rng));
        EraseRenderBuffer();
        DrawStars(renderGWRect, cam, list, focal, w / 2, hgt / 2);
        for (const auto& P : sky) {
            const double depth = cam.k[0] * P[0] + cam.k[1] * P[1] + cam.k[2] * P[2];
            if (!(depth < 0)) continue;
            const double X = (cam.i[0] * P[0] + cam.i[1] * P[1] + cam.i[2] * P[2]) * (-focal / depth);
            const double Y = (cam.j[0] * P[0] + cam.j[1] * P[1] + cam.j[2] * P[2]) * (-focal / depth);
            // Range first: a star near the eye plane projects far beyond any int.
            const double fx = w / 2 + std::floor(X), fy = hgt / 2 - std::floor(Y);
            if (!(fx >= 0 && fy >= 1 && fx < w - 1 && fy < hgt)) continue;
            const int x = int(fx), y = int(fy);
            ++inView;
            const uint32_t* row = reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM);
            const uint32_t* above = reinterpret_cast<uint32_t*>(bAddrGWPM + (y - 1) * rBytesGWPM);
            drawn += (row[x] | row[x + 1] | above[x] | above[x + 1]) != 0;
        }
    }
    *inViewTotal = inView;
    return inView ? double(drawn) / inView : 0.0;
}

TEST(Stars, AtAnyViewAngleTheStarsInTheViewAreDrawn) {
    ScratchDir scratch;
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(200, 320), 0);
    const int n = 40000;
    Handle list = EvenSkyFromFile(scratch.prefix() + "even.stars", n, 2024);
    ASSERT_NE(list, 0u);
    // The same directions as stored, for the direct projection.
    std::vector<std::array<double, 3>> sky;
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int s = 0; s < n; ++s) {
        const double z = unit(rng), phi = M_PI * (unit(rng) + 1.0);
        const double theta = (90 - std::asin(z) * 180 / M_PI) * M_PI / 180, ring = std::sin(theta);
        sky.push_back({ring * std::cos(phi), ring * std::sin(phi), std::cos(theta)});
    }
    for (const double viewAngle : {10.0, 25.0, 70.0}) {
        int inView = 0;
        const double fraction = DrawnFractionOfStarsInView(list, sky, viewAngle, 24, 77, &inView);
        EXPECT_GT(inView, viewAngle < 20 ? 150 : 1000) << viewAngle;
        EXPECT_GE(fraction, 0.99) << "view angle " << viewAngle << ": " << inView << " stars in view";
    }
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

TEST(Stars, CatalogueSkyAtNarrowAndWideViews) {
    const std::string path = std::string(GRAVITAS_BUILD_DIR) + "/app/stars.stars";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) GTEST_SKIP() << "no converted star catalogue at " << path;
    std::vector<uint8_t> bytes;
    uint8_t buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + got);
    std::fclose(f);
    std::vector<std::array<double, 3>> sky;
    const size_t count = bytes.size() / 32;
    EndianStarDataArray_BtoN(bytes.data(), int32_t(count));
    for (size_t s = 0; s < count; ++s) {
        double ra, dec;
        uint16_t rgb[3];
        std::memcpy(&ra, bytes.data() + 32 * s, 8);
        std::memcpy(&dec, bytes.data() + 32 * s + 8, 8);
        std::memcpy(rgb, bytes.data() + 32 * s + 24, 6);
        // Stars too faint to light a pixel even with their whole weight are not counted.
        if (std::max({rgb[0], rgb[1], rgb[2]}) < 1024) continue;
        const double theta = (90 - dec) * M_PI / 180, phi = ra * M_PI / 12;
        if (!(phi > 0 && phi < 2 * M_PI && theta > 0 && theta < M_PI)) continue;
        sky.push_back({std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)});
    }
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(200, 320), 0);
    Handle list = GetStarListFromFS(path);
    ASSERT_NE(list, 0u);
    for (const double viewAngle : {10.0, 25.0, 70.0}) {
        int inView = 0;
        const double fraction = DrawnFractionOfStarsInView(list, sky, viewAngle, 48, 5, &inView);
        EXPECT_GT(inView, 20) << viewAngle;
        EXPECT_GE(fraction, 0.99) << "view angle " << viewAngle << ": " << inView << " stars in view";
    }
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}

}  // namespace

namespace {

int MarkedCells(const IJK& cam, double viewAngle) {
    const Rect clip{0, 0, 200, 320};
    uint16_t marks[16] = {};
    MarkVisibleSkyCells(marks, cam, 160 / std::tan(viewAngle * M_PI / 360), clip, 160, 100, 2);
    int n = 0;
    for (uint16_t m : marks) n += __builtin_popcount(m);
    return n;
}

TEST(SkyCells, ANarrowViewWalksAFewCellsAndTheWholeSkyHas172) {
    int total = 0;
    for (int b = 0; b < 16; ++b) {
        int32_t count = 0;
        GetLatSectionInfo(b - 8, &count, nullptr);
        total += count;
    }
    EXPECT_EQ(total, 172);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> angle(0.0, 2 * M_PI), cosine(-1.0, 1.0);
    for (int d = 0; d < 50; ++d) {
        IJK cam;
        BuildBodyAxes(cam, std::acos(cosine(rng)), angle(rng), angle(rng));
        const int narrow = MarkedCells(cam, 10), wide = MarkedCells(cam, 70);
        EXPECT_GE(narrow, 1);
        EXPECT_LE(narrow, 14);  // a 10 x 6 degree view meets a few cells of 22.5 x 11.25 degrees
        EXPECT_LE(wide, 60);    // under half the sky
        EXPECT_LE(narrow, wide);
    }
}

TEST(Stars, AStarFarOffToTheSideDoesNotWrapOntoTheScreen) {
    // A 157-degree view (focal length 10 on 100 px): a star 0.0087 degrees behind the edge of
    // the sky's visible half projects 65556 px right of the centre, 20 px after a 16-bit wrap.
    ScratchDir scratch;
    const double epsilon = 10.0 / 65556.5;
    // Right ascension almost along +x, just south of the equator.
    Handle list = ListOfOneStar(scratch.prefix() + "edge.stars", 0.00001, -epsilon * 180 / M_PI, 0xFFFF, 0xFFFF);
    ASSERT_NE(list, 0u);
    set = SettingsStruct{};
    ASSERT_EQ(SetupRenderGW(100, 100), 0);
    const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
    DrawStars(renderGWRect, lookDownZ, list, 10, 50, 50);
    EXPECT_EQ(LitPixels(), 0);
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}


// The light of a star, and where it falls, in a buffer of `ratio` device pixels per window pixel.
struct StarLight {
    double red = 0, x = 0, y = 0;  // summed red, and its centroid
    int lit = 0;
};

StarLight DrawOneStarAt(Handle list, int ratio) {
    set = SettingsStruct{};
    renderPixelRatio = ratio;
    EXPECT_EQ(SetupRenderGW(100 * ratio, 100 * ratio), 0);
    const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
    DrawStars(renderGWRect, lookDownZ, list, 50 * ratio, 50 * ratio, 50 * ratio);
    StarLight light;
    for (int y = 0; y < renderGWRect.bottom; ++y)
        for (int x = 0; x < renderGWRect.right; ++x) {
            const double red = (reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x] >> 16) & 255;
            light.red += red;
            light.x += red * (x + 0.5);
            light.y += red * (y + 0.5);
            light.lit += red > 0;
        }
    light.x /= light.red;
    light.y /= light.red;
    DisposeMyRenderGW();
    renderPixelRatio = 1;
    return light;
}

TEST(Stars, OnAHiDpiBufferAStarCoversAsMuchOfTheScreenAndIsAsBright) {
    ScratchDir scratch;
    Handle list = ListOfOneStar(scratch.prefix() + "one.stars", 6.3, -88.7, 0x4000, 0);
    ASSERT_NE(list, 0u);
    const StarLight one = DrawOneStarAt(list, 1), two = DrawOneStarAt(list, 2);
    DisposeStarListHandle(list);
    ASSERT_GT(one.red, 0);
    // Four device pixels to a window pixel: four times the light, each pixel as bright.
    EXPECT_NEAR(two.red / one.red, 4.0, 0.1);
    EXPECT_GT(two.lit, one.lit);
    EXPECT_LE(two.lit, 9);  // a 2 x 2 square over at most 3 x 3 pixels
    // At the same place on the screen.
    EXPECT_NEAR(two.x, 2 * one.x, 0.6);
    EXPECT_NEAR(two.y, 2 * one.y, 0.6);
}

}  // namespace
