#include <gtest/gtest.h>

#include <vector>

#include "imagery/SpherePix.h"

namespace {

struct Map {
    std::vector<uint32_t> block = std::vector<uint32_t>(kTexelMapBytes / 4, 0);
    uint32_t* ref() { return block.data() + kTexelMapReferenceOffset / 4; }
};

TEST(SpherePix, ListReusesFreeSlotsAndTrimsTail) {
    Handle list = NewSpherePixList();
    ASSERT_NE(list, 0u);
    EXPECT_EQ(AddPICTToSpherePixList(list, 0), 0);
    // Undecodable pictures still give a usable entry holding the test pattern.
    Handle p1 = NewHandle(4), p2 = NewHandle(4), p3 = NewHandle(4);
    EXPECT_EQ(AddPICTToSpherePixList(list, p1), 1);
    EXPECT_EQ(AddPICTToSpherePixList(list, p2), 2);
    EXPECT_EQ(AddPICTToSpherePixList(list, p3), 3);
    ASSERT_NE(GetPointerToSpherePix(list, 2), nullptr);
    DisposeSpherePixData(list, 2);
    EXPECT_EQ(GetPointerToSpherePix(list, 2), nullptr);
    Handle p4 = NewHandle(4);
    EXPECT_EQ(AddPICTToSpherePixList(list, p4), 2);
    DisposeSpherePixData(list, 2);
    DisposeSpherePixData(list, 3);  // trims the free entry 2 as well
    EXPECT_EQ(GetSphereListPICT(list, 2), 0u);
    EXPECT_EQ(GetSphereListPICT(list, 1), p1);
    DisposeSpherePixData(list, 7);  // out of range: ignored
    DisposeSpherePixList(list);
}

TEST(SpherePix, TestPatternBandsAndPinnedSampling) {
    Map m;
    PrepareSpherePixMapWTest(m.ref());
    EXPECT_EQ(m.ref()[16 * 512] >> 8, 0x7F7F7Fu);         // band row: l, r, g = 0x7F
    EXPECT_EQ(m.ref()[112 * 512] >> 8, 0x7F7F00u);        // rows >= 101 lose green
    EXPECT_EQ(m.ref()[0] >> 8, 0u);
    const uint32_t px = 0x00204080;
    const Rect one{0, 0, 1, 1};
    EXPECT_EQ(InterpolateRGBFrom24BitPixMap(reinterpret_cast<const uint8_t*>(&px), 4, &one, 0.7, 0.3) & 0xFFFFFF, px);
    EXPECT_EQ(InterpolateRGBFrom24BitPixMap(nullptr, 4, &one, 0, 0), 0u);
}

TEST(DrawSphere, CoversDiscOnlyInsideClipAndKeepsIndicesInMap) {
    uint16_t T[256], U[256];
    FillSphereTables(T, U);
    EXPECT_EQ(T[255], 255);
    EXPECT_EQ(U[0], 4096);
    Map m;
    for (auto& t : m.block) t = 0xDEADBEEF;  // outside the addressed rows a wrong index shows up
    for (int rho = -128; rho < 128; ++rho)
        for (int c = -64; c < 448; ++c) m.ref()[rho * 512 + c] = 0x00FFFFFF;
    const int32_t identity[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    const int32_t poleOn[9] = {65536, 0, 0, 0, 0, 65536, 0, 65536, 0};  // Z reaches 128 at the centre
    for (const int32_t* rot : {identity, poleOn}) {
        std::vector<uint32_t> buf(40 * 40, 0);
        Rect clip{0, 0, 40, 40};
        DrawSphere(clip, 20, 20, 10, rot, reinterpret_cast<uint8_t*>(buf.data()), 160, m.ref(), T, U);
        EXPECT_EQ(clip.top, 10);
        EXPECT_EQ(clip.right, 30);
        int covered = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const uint32_t v = buf[y * 40 + x];
                if (!v) continue;
                ++covered;
                EXPECT_EQ(v, 0x00FFFFFFu) << x << "," << y;
                EXPECT_LE((x - 20) * (x - 20) + (y - 20) * (y - 20), 11 * 11);
            }
        EXPECT_NEAR(covered, 314, 25);
    }
    std::vector<uint32_t> buf(40 * 40, 0);
    Rect away{0, 35, 5, 40};  // does not meet the bounding square
    DrawSphere(away, 10, 30, 5, identity, reinterpret_cast<uint8_t*>(buf.data()), 160, m.ref(), T, U);
    for (uint32_t v : buf) EXPECT_EQ(v, 0u);
    // A sphere far off the buffer, where its 16-bit edges would wrap around into it.
    for (int32_t cy : {-40005, 70000}) {
        Rect far{0, 0, 40, 40};
        DrawSphere(far, 20, cy, 5, identity, reinterpret_cast<uint8_t*>(buf.data()), 160, m.ref(), T, U);
        EXPECT_GE(far.top, far.bottom) << cy;
        EXPECT_LE(far.bottom, 40) << cy;
    }
    for (uint32_t v : buf) EXPECT_EQ(v, 0u);
}

TEST(DrawSphere3D, WritesLuminanceIntoEyeChannels) {
    uint16_t T[256], U[256];
    FillSphereTables(T, U);
    Map m;
    for (auto& t : m.block) t = MakeTexel(0x80, 1, 2, 3);
    const int32_t identity[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    std::vector<uint32_t> buf(60 * 30, 0);
    Rect red{0, 0, 30, 60}, cyan{0, 0, 30, 60};
    DrawSphere3D(m.ref(), T, U, red, cyan, 15, 45, 15, identity, identity, 8,
                 reinterpret_cast<uint8_t*>(buf.data()), 240);
    EXPECT_EQ(buf[15 * 60 + 15], 0x00800000u);
    EXPECT_EQ(buf[15 * 60 + 45], 0x00008080u);
}

}  // namespace
