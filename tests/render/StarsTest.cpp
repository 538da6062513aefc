#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "imagery/Random.h"
#include "imagery/Stars.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"

namespace {

int LitPixels() {
    int lit = 0;
    for (int y = 0; y < renderGWRect.bottom; ++y)
        for (int x = 0; x < renderGWRect.right; ++x) lit += reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x] != 0;
    return lit;
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
    std::FILE* f = std::fopen(shortPath.c_str(), "wb");
    const uint8_t zeros[31] = {};
    std::fwrite(zeros, 1, sizeof zeros, f);
    std::fclose(f);
    EXPECT_EQ(GetStarListFromFS(shortPath), 0u);
    EXPECT_EQ(GetStarListFromFS(dir + "missing.stars"), 0u);

    // One star straight ahead of a camera looking along -z: at the south pole's neighbourhood.
    uint8_t rec[32] = {};
    const double ra = 6.0, dec = -89.0;
    uint64_t bits;
    std::memcpy(&bits, &ra, 8);
    for (int k = 0; k < 8; ++k) rec[k] = uint8_t(bits >> (56 - 8 * k));
    std::memcpy(&bits, &dec, 8);
    for (int k = 0; k < 8; ++k) rec[8 + k] = uint8_t(bits >> (56 - 8 * k));
    rec[24] = 0x40;  // red 0x4000
    const std::string path = dir + "one.stars";
    f = std::fopen(path.c_str(), "wb");
    std::fwrite(rec, 1, 32, f);
    std::fclose(f);
    Handle list = GetStarListFromFS(path);
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
