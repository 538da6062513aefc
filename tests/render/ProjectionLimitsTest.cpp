// Points near the eye plane project beyond every integer range: what the plotters get is
// still a far-off point in the right direction, never a wrapped one on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "render/BodyDecor.h"
#include "render/Camera.h"
#include "render/Pen.h"

namespace {

TEST(ScreenCoord, TruncatesInRangeAndPinsBeyond) {
    EXPECT_EQ(ScreenCoord(12.9), 12);
    EXPECT_EQ(ScreenCoord(-12.9), -12);
    EXPECT_EQ(ScreenCoord(3e9), 1 << 30);
    EXPECT_EQ(ScreenCoord(-3e9), -(1 << 30));
    EXPECT_EQ(ScreenCoord(std::numeric_limits<double>::infinity()), 1 << 30);
    EXPECT_EQ(ScreenCoord(std::nan("")), -(1 << 30));
}

TEST(ScreenPoint, FarOffBodiesArePinnedNotWrappedOntoTheScreen) {
    const Point p = ScreenPoint(65536 + 100, -70000);
    EXPECT_EQ(p.h, 32767);
    EXPECT_EQ(p.v, -32767);
    const Point q = ScreenPoint(123, 45);
    EXPECT_EQ(q.h, 123);
    EXPECT_EQ(q.v, 45);
}

TEST(ApparentDiameter, SaturatesInsteadOfWrappingToADot) {
    const double f = -1.0 / 65536;  // 2 r px across
    EXPECT_EQ(ApparentDiameter(10, f), 20u);
    EXPECT_EQ(ApparentDiameter(2147483653.0, f), 0xFFFFFFFFu);  // 2^32 + 10 px would wrap to 10
    EXPECT_EQ(ApparentDiameter(1e30, f), 0xFFFFFFFFu);
}

TEST(ArrowLine, TipBeyondTheIntegerPlaneKeepsTheArrowsDirection) {
    std::vector<uint32_t> pixels(64 * 64, 0);
    PenOnSurface pen(PixelSurface{pixels.data(), 64 * 4, 64, 64});
    RGBForeColor(RGBColor{65535, 65535, 65535});
    DrawArrowLine(10, 10, 1e20, 1e20);  // straight down-right, off to the far corner
    for (int i = 10; i < 64; ++i) EXPECT_NE(pixels[size_t(i) * 64 + i], 0u) << i;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(pixels[size_t(i) * 64 + i], 0u) << i;
    std::fill(pixels.begin(), pixels.end(), 0u);
    DrawArrowLine(30, 20, -std::numeric_limits<double>::infinity(), 20.0);  // along the row, leftward
    for (int x = 0; x <= 30; ++x) EXPECT_NE(pixels[size_t(20) * 64 + x], 0u) << x;
    EXPECT_EQ(pixels[size_t(20) * 64 + 40], 0u);
    std::fill(pixels.begin(), pixels.end(), 0u);
    DrawArrowLine(30, 20, std::nan(""), 5.0);  // no tip: nothing
    for (uint32_t p : pixels) EXPECT_EQ(p, 0u);
}

}  // namespace
