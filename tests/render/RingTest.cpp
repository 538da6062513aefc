#include <gtest/gtest.h>

#include <cmath>
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
    // Back and front half of a ring of outer radius 30 at (32, 32), every texel blue 9.
    void DrawBothHalvesInBlue9(int32_t innerRadius, const int32_t* m) {
        for (auto& t : profile) t = MakeTexel(0, 0, 0, 9);
        const Rect clip{0, 0, 64, 64};
        DrawRing(clip, T, 32, 32, innerRadius, 30, m, base(), 256, profile.data(), 0);
        DrawRing(clip, T, 32, 32, innerRadius, 30, m, base(), 256, profile.data(), 1);
    }
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

TEST(DrawRing, BlackProfileAndEdgeOnDrawNothing) {
    Fixture f;
    for (auto& v : f.buf) v = 0x00123456;
    const Rect clip{0, 0, 64, 64};
    DrawRing(clip, f.T, 32, 32, 10, 30, kTilted, f.base(), 256, f.profile.data(), 1);  // black: unchanged
    for (auto& t : f.profile) t = MakeTexel(255, 255, 255, 255);
    const int32_t edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};
    DrawRing(clip, f.T, 32, 32, 10, 30, edgeOn, f.base(), 256, f.profile.data(), 0);
    for (uint32_t v : f.buf) EXPECT_EQ(v, 0x00123456u);
}

// Both halves of a ring facing the eye, or tipped from it by 1/65536 rad or less (where the row
// products once passed 32 bits), cover the annulus between the radii, each pixel once.
void ExpectWholeAnnulus(const int32_t* m) {
    Fixture f;
    f.DrawBothHalvesInBlue9(10, m);
    int lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r = std::hypot(x - 32, y - 32);
            const uint32_t v = f.buf[y * 64 + x];
            if (r < 9.0 || r > 31.0) {
                EXPECT_EQ(v, 0u) << x << "," << y;
            }
            if (r > 11.0 && r < 29.0) {
                EXPECT_EQ(v, 9u) << x << "," << y;
            }
            if (v) {
                EXPECT_EQ(v, 9u);  // never twice
            }
            lit += v != 0;
        }
    EXPECT_NEAR(lit, M_PI * (30 * 30 - 10 * 10), 150);
}

TEST(DrawRing, FaceOnRingIsTheWholeAnnulus) {
    const int32_t faceOn[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    ExpectWholeAnnulus(faceOn);
    const int32_t faceOnFromBelow[9] = {65536, 0, 0, 0, -65536, 0, 0, 0, -65536};
    ExpectWholeAnnulus(faceOnFromBelow);
    const int32_t tippedOneUnit[9] = {65536, 0, 0, 0, 65536, -1, 0, 1, 65536};
    ExpectWholeAnnulus(tippedOneUnit);
    const int32_t tippedTwoUnits[9] = {65536, 0, 0, 0, 65536, -2, 1, 2, 65535};
    ExpectWholeAnnulus(tippedTwoUnits);
}

TEST(DrawRing, ZeroInnerRadiusFillsTheTiltedDisc) {
    Fixture f;
    f.DrawBothHalvesInBlue9(0, kTilted);
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
