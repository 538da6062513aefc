// The clipped pixel loops against the walks they replace: the same pixels wherever both
// draw, whatever the shape's size or how far it reaches off the surface.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "UnclippedPainters.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"
#include "render/Raster.h"

namespace {

struct Surface {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    Surface(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * h, 0) {}
    PixelSurface View() { return PixelSurface{pixels.data(), width * 4, width, height}; }
    // What the unclipped walks leave on this surface: pixels off it are dropped, each drawn
    // pixel gains one, so a pixel drawn twice shows as 2.
    auto Counter() {
        return [this](int32_t x, int32_t y) {
            if (x >= 0 && y >= 0 && x < width && y < height) ++pixels[size_t(y) * width + x];
        };
    }
};

// The pen in additive mode with colour 1: pixels drawn twice would read 2.
struct CountingPen {
    PenOnSurface pen;
    explicit CountingPen(Surface& s) : pen(s.View()) {
        PenMode(kAddPinMode);
        RGBForeColor(RGBColor{0, 0, 0x100});
    }
};

TEST(ClippedLine, SamePixelsAsTheFullWalkForLinesAcrossAndAround) {
    std::mt19937 rng(12345);
    const int32_t spans[] = {30, 200, 5000, 100000};
    for (int32_t span : spans) {
        std::uniform_int_distribution<int32_t> coord(-span, span);
        for (int n = 0; n < 400; ++n) {
            const int32_t x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
            Surface expected(64, 48), actual(64, 48);
            unclipped::LineTo(x0 + 32, y0 + 24, x1 + 32, y1 + 24, expected.Counter());
            {
                CountingPen pen(actual);
                MoveTo(x0 + 32, y0 + 24);
                LineTo(x1 + 32, y1 + 24);
            }
            ASSERT_EQ(actual.pixels, expected.pixels) << "(" << x0 << "," << y0 << ") to (" << x1 << "," << y1 << ")";
        }
    }
}

TEST(ClippedLine, StepsOnTheSurfaceFollowTheFormulaOfTheWalk) {
    // Every step the clipped walk hands out is a step of the full walk, in the same order.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> coord(-300, 300);
    for (int n = 0; n < 300; ++n) {
        const int32_t x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        std::vector<std::pair<int32_t, int32_t>> full;
        unclipped::LineTo(x0, y0, x1, y1, [&](int32_t x, int32_t y) { full.emplace_back(x, y); });
        const ClippedLine c = ClipLine(x0, y0, x1, y1, 40, 30);
        std::vector<std::pair<int32_t, int32_t>> inside, walked;
        for (auto& p : full)
            if (p.first >= 0 && p.second >= 0 && p.first < 40 && p.second < 30) inside.push_back(p);
        for (LineWalker w(c); !w.Done(); w.Next()) {
            ASSERT_EQ(full.at(size_t(w.k)), std::make_pair(w.X(), w.Y()));
            walked.emplace_back(w.X(), w.Y());
        }
        ASSERT_EQ(walked, inside);
    }
}

TEST(ClippedLine, EndpointsAtTheEdgeOfTheIntegerPlane) {
    const int32_t far = 1 << 30;
    Surface s(50, 40);
    {
        CountingPen pen(s);
        MoveTo(-far, 10);
        LineTo(far, 10);
        MoveTo(-far, -far);
        LineTo(far, far);  // the diagonal: pixel (i, i)
        MoveTo(20, far);
        LineTo(20, -far);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const uint32_t expect = uint32_t(y == 10) + uint32_t(x == y) + uint32_t(x == 20);
            ASSERT_EQ(s.pixels[size_t(y) * 50 + x], expect) << x << "," << y;
        }
    // Slopes of one in 2^30: exact integers far off, rounding half-way like the walk.
    const ClippedLine c = ClipLine(-far, 0, far, 2, 50, 40);
    LineWalker w(c);
    ASSERT_FALSE(w.Done());
    EXPECT_EQ(w.X(), 0);
    EXPECT_EQ(w.Y(), 1);  // the middle third of the line
}

TEST(ClippedOval, SameOutlineAsTestingEveryPixelOfTheRectangle) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int32_t> size(1, 900), offset(-1000, 100);
    for (int n = 0; n < 300; ++n) {
        const int32_t w = n < 30 ? 1 + n % 6 : size(rng), h = n < 30 ? 1 + n / 6 : size(rng);
        const int32_t left = n < 30 ? 3 : offset(rng) + (n % 3) * w / 3, top = n < 30 ? 2 : offset(rng) + (n % 5) * h / 5;
        const Rect r{int16_t(top), int16_t(left), int16_t(top + h), int16_t(left + w)};
        Surface expected(70, 50), actual(70, 50);
        unclipped::FrameOval(r, expected.Counter());
        {
            CountingPen pen(actual);
            FrameOval(r);
        }
        ASSERT_EQ(actual.pixels, expected.pixels) << "oval " << w << " x " << h << " at " << left << "," << top;
    }
}

TEST(ClippedOval, HugeOvalThroughTheSurfaceIsItsArcOnly) {
    // 32000 px across, the arc passing through a 60 x 40 surface: pixels on the true ellipse.
    Surface s(60, 40);
    const int32_t d = 32000;
    const Rect r{int16_t(20 - d / 2), int16_t(50 - d), int16_t(20 + d / 2), 50};  // right edge x = 49, centre row 20
    {
        CountingPen pen(s);
        FrameOval(r);
    }
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint32_t v = s.pixels[size_t(y) * 60 + x];
            ASSERT_LE(v, 1u);
            if (!v) continue;
            ++lit;
            const double px = (2.0 * (x - r.left) - (d - 1)) / d, py = (2.0 * (y - r.top) - (d - 1)) / d;
            EXPECT_NEAR(px * px + py * py, 1.0, 4.0 / d) << x << "," << y;
        }
    EXPECT_GE(lit, 40);  // at least one pixel per row
    EXPECT_LE(lit, 60);
}

TEST(ClippedRect, OnlyTheEdgesOnTheSurface) {
    Surface s(30, 20), expected(30, 20);
    const Rect r{-5, 10, 15, 32000};
    unclipped::FrameRect(r, expected.Counter());
    {
        CountingPen pen(s);
        FrameRect(r);
    }
    EXPECT_EQ(s.pixels, expected.pixels);
}

struct StereoSphere {
    uint16_t T[256], U[256];
    std::vector<uint32_t> map = std::vector<uint32_t>(kTexelMapBytes / 4);
    StereoSphere() {
        FillSphereTables(T, U);
        PrepareSpherePixMapWTest(map.data() + kTexelMapReferenceOffset / 4);
    }
    const uint32_t* Texels() const { return map.data() + kTexelMapReferenceOffset / 4; }
};

TEST(ClippedStereoSphere, SamePixelsAsWalkingTheWholeDiameterOnEveryRow) {
    StereoSphere sp;
    const int32_t mRed[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};
    const int32_t mCyan[9] = {56756, 0, 32768, 0, 65536, 0, -32768, 0, 56756};
    struct Case {
        int32_t hRed, hCyan, cy, r;
    } cases[] = {
        {40, 30, 30, 20},        // both whole on the surface
        {-10, 70, 25, 30},       // each eye cut at a different side
        {-3000, 3100, 30, 3050}, // huge, the eyes far apart, their windows apart on the surface
        {5, -60, 10, 70},        // cyan mostly off to the left
        {90, 85, 500, 480},      // only the top of both discs shows
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> expected(80 * 60, 0x00102030u), actual = expected;
        const Rect surface{0, 0, 60, 80};
        Rect redA = surface, cyanA = surface, redB = surface, cyanB = surface;
        unclipped::DrawSphere3D(sp.Texels(), sp.T, sp.U, redA, cyanA, c.hRed, c.hCyan, c.cy, mRed, mCyan, c.r,
                                reinterpret_cast<uint8_t*>(expected.data()), 320);
        DrawSphere3D(sp.Texels(), sp.T, sp.U, redB, cyanB, c.hRed, c.hCyan, c.cy, mRed, mCyan, c.r,
                     reinterpret_cast<uint8_t*>(actual.data()), 320);
        EXPECT_EQ(actual, expected) << c.hRed << " " << c.hCyan << " r " << c.r;
        int touched = 0;
        for (uint32_t v : actual) touched += v != 0x00102030u;
        EXPECT_GT(touched, 0);
    }
}

}  // namespace
