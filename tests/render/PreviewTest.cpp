// Colour swatches and ring strips drawn into the pen's target.
#include <gtest/gtest.h>

#include <vector>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"

namespace {

struct Target {
    std::vector<uint32_t> pixels;
    int width, height;
    // Rows padded by 3 pixels, so code stepping by 4 x width goes wrong.
    Target(int w, int h) : pixels(size_t(w + 3) * h, 0x00010203u), width(w), height(h) {
        PenSetTarget(PixelSurface{pixels.data(), (w + 3) * 4, w, h});
    }
    ~Target() { PenSetTarget(PixelSurface{}); }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * (width + 3) + x]; }
};

TEST(PaintRGBDitherRect, FillsTheClippedRectWithTheHighBytes) {
    Target t(20, 10);
    RGBForeColor(RGBColor{0x1234, 0x5678, 0x9ABC});
    const RGBColor c{0xFF01, 0x80FF, 0x0100};
    const Rect r{-3, 15, 4, 40};  // past the top and right edges
    PaintRGBDitherRect(&c, &r);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) EXPECT_EQ(t.At(x, y), (y < 4 && x >= 15) ? 0x00FF8001u : 0x00010203u) << x << "," << y;
    for (int y = 0; y < 10; ++y) EXPECT_EQ(t.pixels[size_t(y) * 23 + 21], 0x00010203u);  // padding untouched
    EXPECT_EQ(PenRGBColor().green, 0x5678);  // the pen colour is left as it was
    PaintRGBDitherRect(nullptr, &r);
    PaintRGBDitherRect(&c, nullptr);
    PenSetTarget(PixelSurface{});
    PaintRGBDitherRect(&c, &r);  // no target: nothing, no crash
}

TEST(CopyRingPixHandleToRect, StretchesTheProfileAndDropsLuminance) {
    Target t(40, 6);
    Handle ring = NewHandleClear(4096);
    auto* texels = HandleAs<uint32_t>(ring);
    for (uint32_t i = 0; i < 1024; ++i) texels[i] = MakeTexel(0xEE, i >> 2, 255 - (i >> 2), i & 255);
    const Rect r{1, 4, 4, 36};  // 32 wide: every 32nd texel
    CopyRingPixHandleToRect(ring, &r);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 40; ++x) {
            uint32_t want = 0x00010203u;
            if (y >= 1 && y < 4 && x >= 4 && x < 36) want = texels[(x - 4) * 32] & 0x00FFFFFFu;
            ASSERT_EQ(t.At(x, y), want) << x << "," << y;
        }
    EXPECT_TRUE(IsHandleLocked(ring));
    // Inner edge at the left, outer edge at the right.
    EXPECT_EQ(t.At(4, 1), 0x0000FF00u);
    EXPECT_EQ(t.At(35, 1), texels[992] & 0x00FFFFFFu);
    DisposeHandle(ring);
}

TEST(CopyRingPixHandleToRect, RefusesShortBlocksAndNulls) {
    Target t(8, 8);
    Handle shortRing = NewHandleClear(100);  // reading 1024 texels would run past its end
    const Rect r{0, 0, 8, 8};
    CopyRingPixHandleToRect(shortRing, &r);
    CopyRingPixHandleToRect(0, &r);
    Handle ring = NewHandleClear(4096);
    CopyRingPixHandleToRect(ring, nullptr);
    const Rect empty{2, 5, 6, 5};
    CopyRingPixHandleToRect(ring, &empty);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(t.At(x, y), 0x00010203u);
    DisposeHandle(shortRing);
    DisposeHandle(ring);
}

}  // namespace
