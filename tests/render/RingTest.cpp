#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"

namespace {

struct Fixture {
    uint16_t T[256], U[256];
    std::vector<uint32_t> profile = std::vector<uint32_t>(1024);
    std::vector<uint32_t> buf = std::vector<uint32_t>(64 * 64, 0);
    Fixture() { FillSphereTables(T, U); }
    uint8_t* base() { return reinterpret_cast<uint8_t*>(buf.data()); }
};

// Ring plane tilted 60 degrees from the screen: normal (0, sin, cos).
const int32_t kTilted[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};

TEST(DrawRing, BackAndFrontHalvesSplitAndSaturate) {
    Fixture f;
    for (auto& t : f.profile) t = MakeTexel(200, 200, 100, 0);
    const Rect clip{0, 0, 64, 64};
    DrawRing(clip, f.T, 32, 32, 10, 30, kTilted, f.base(), 256, f.profile.data(), 0);
    std::vector<uint32_t> back = f.buf;
    int backCount = 0;
    for (uint32_t v : back) backCount += v != 0;
    EXPECT_GT(backCount, 50);
    DrawRing(clip, f.T, 32, 32, 10, 30, kTilted, f.base(), 256, f.profile.data(), 1);
    int both = 0, saturated = 0;
    for (size_t i = 0; i < f.buf.size(); ++i) {
        if (f.buf[i]) ++both;
        if (f.buf[i] == 0x00FFC800u) ++saturated;  // red 200+200 pinned, green 100+100
        EXPECT_EQ(f.buf[i] >> 24, 0u);
    }
    EXPECT_GT(both, backCount);
    EXPECT_LE(saturated, 64);  // only the t = 0 seam could be drawn twice; here none
}

TEST(DrawRing, BlackProfileFaceOnAndEdgeOnDrawNothing) {
    Fixture f;
    for (auto& v : f.buf) v = 0x00123456;
    const Rect clip{0, 0, 64, 64};
    DrawRing(clip, f.T, 32, 32, 10, 30, kTilted, f.base(), 256, f.profile.data(), 1);  // black: unchanged
    const int32_t faceOn[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    for (auto& t : f.profile) t = MakeTexel(255, 255, 255, 255);
    DrawRing(clip, f.T, 32, 32, 10, 30, faceOn, f.base(), 256, f.profile.data(), 1);
    const int32_t edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};
    DrawRing(clip, f.T, 32, 32, 10, 30, edgeOn, f.base(), 256, f.profile.data(), 0);
    for (uint32_t v : f.buf) EXPECT_EQ(v, 0x00123456u);
}

TEST(DrawRing, ZeroInnerRadiusFillsTheTiltedDisc) {
    Fixture f;
    for (auto& t : f.profile) t = MakeTexel(0, 0, 0, 9);
    const Rect clip{0, 0, 64, 64};
    DrawRing(clip, f.T, 32, 32, 0, 30, kTilted, f.base(), 256, f.profile.data(), 0);
    DrawRing(clip, f.T, 32, 32, 0, 30, kTilted, f.base(), 256, f.profile.data(), 1);
    int lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (f.buf[y * 64 + x]) {
                ++lit;
                EXPECT_EQ(f.buf[y * 64 + x], 9u);  // each pixel once: halves do not overlap
                EXPECT_LE(std::abs(x - 32), 31);
                EXPECT_LE(std::abs(y - 32), 16);
            }
    EXPECT_NEAR(lit, 1414, 150);  // ellipse of half-axes 30 and 15
    EXPECT_EQ(NewRingPixMapFromPICT(0), 0u);
    EXPECT_EQ(RingPixPtrFromHandle(0), nullptr);
}

}  // namespace
