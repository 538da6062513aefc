#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "render/DrawStage.h"
#include "render/RenderBuffer.h"
#include "render/BodyDecor.h"

namespace {

uint32_t At(int x, int y) { return reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x]; }

struct Scene {
    explicit Scene(int bodies) {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};  // looking along -x
        rt.eyePos[0] = 1000;
        rt.focalLength = 32;
        set.minPointSize = 4;
        SetupRenderGW(64, 64);
        rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct) * bodies);
        BodyRTList()->count = bodies;
        for (int b = 0; b < bodies; ++b) BodyRTList()->body[b].radius = 1;
    }
    ~Scene() {
        DisposeHandle(rt.bodyRT);
        rt.bodyRT = 0;
        DisposeMyRenderGW();
    }
    BodyRTStruct& Body(int b) { return BodyRTList()->body[b]; }
};

TEST(DrawStage, NearerBodyCoversFartherAndEqualDepthLowerIndexWins) {
    Scene s(3);
    s.Body(0).color = {65535, 0, 0};
    s.Body(1).color = {0, 65535, 0};
    s.Body(1).pos[0] = 500;  // nearer to the eye, same line of sight
    s.Body(2).color = {0, 0, 65535};
    DoDrawStage(32, 32);
    EXPECT_EQ(s.Body(0).screenPos.h, 32);
    EXPECT_EQ(s.Body(0).screenPos.v, 32);
    // Discs are shaded: a body shows as pixels of its own hue only.
    auto hue = [](uint32_t p, uint32_t mask) { return (p & mask) != 0 && (p & ~mask) == 0; };
    int green = 0, red = 0;
    for (int y = 28; y < 36; ++y)
        for (int x = 28; x < 36; ++x) {
            green += hue(At(x, y), 0x0000FF00u);
            red += hue(At(x, y), 0x00FF0000u);
        }
    EXPECT_GT(green, 0);
    EXPECT_EQ(red, 0);
    // Bodies 0 and 2 at the same depth: body 0 drawn last.
    s.Body(1).statusFlags = kNotDrawnStatus;
    EraseRenderBuffer();
    DoDrawStage(32, 32);
    int blue = 0;
    red = 0;
    for (int y = 28; y < 36; ++y)
        for (int x = 28; x < 36; ++x) {
            blue += hue(At(x, y), 0x000000FFu);
            red += hue(At(x, y), 0x00FF0000u);
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(blue, 0);
    EXPECT_EQ(rt.framesDrawn, 2);
}

TEST(DrawStage, BodiesBehindEyeOrRiddenAreSkipped) {
    Scene s(2);
    s.Body(0).pos[0] = 2000;  // behind the eye
    s.Body(0).screenPos = Point{7, 7};
    s.Body(0).color = {65535, 65535, 65535};
    s.Body(1).statusFlags = kCameraRideStatus;
    s.Body(1).color = {65535, 65535, 65535};
    DoDrawStage(32, 32);
    EXPECT_EQ(s.Body(0).screenPos.h, 7);
    EXPECT_EQ(s.Body(1).statusFlags & kCameraRideStatus, 0u);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(At(x, y), 0u);
}

TEST(DrawStage, ABodyOneWrapAwayIsNotGivenAScreenPositionOnTheScreen) {
    Scene s(1);
    s.Body(0).pos[0] = 0;
    s.Body(0).pos[1] = 2048000;  // 65536 px right of the centre
    DoDrawStage(32, 32);
    EXPECT_EQ(s.Body(0).screenPos.h, 32767);  // not 32, where a click in the middle would pick it
    EXPECT_EQ(s.Body(0).screenPos.v, 32);
}

TEST(DrawStage, ArrowScaleShrinksForLongArrows) {
    Scene s(1);
    s.Body(0).vel[1] = 1e6;  // far longer than the half-diagonal
    set.labelFlags = 2;
    rt.arrowCos = 0.2165;
    rt.arrowSin = 0.125;
    DoDrawStage(32, 32);
    EXPECT_GT(rt.velArrowMeasure, 0);
    EXPECT_EQ(rt.velArrowExponent, -2);  // trunc(-0.5 * log10(1.024e9 / 2048))
    EXPECT_EQ(rt.accArrowExponent, 0);  // zero acceleration, pushCount 0: unchanged
}

}  // namespace

namespace {

TEST(Stereo, OutlinesAddToWhiteWhereEyesCoincide) {
    Scene s(1);
    set.minPointSize = 3;  // dots this small are outlines, not discs
    rt.redEyeColor = {65535, 0, 0};
    rt.cyanEyeColor = {0, 65535, 65535};
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 0;  // both views on top of each other
    s.Body(0).color = {65535, 0, 0};
    DoDrawStage(32, 32);
    int white = 0;
    for (int y = 26; y < 38; ++y)
        for (int x = 26; x < 38; ++x) white += At(x, y) == 0x00FFFFFFu;
    EXPECT_GT(white, 4);
    // Cyan view wholly off the left edge: nothing at all is drawn.
    EraseRenderBuffer();
    set.eyeRadius = 14;
    DoDrawStage(10, 32);  // red square around x = 24 is on screen, cyan around x = -3 is not
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(At(x, y), 0u);
}

}  // namespace

#include "RenderScene.h"

namespace {

// Trail points of three bodies, each slice put in one place: entry s holds the positions given.
void PushSlices(RenderScene& s, const std::vector<std::array<double, 3>>& perSlice) {
    set.trailLength = int32_t(perSlice.size()) + 1;
    ResizeTrailRTList(rt.trailList, BodyRTList()->count, set.trailLength);
    for (size_t k = perSlice.size(); k-- > 0;) {  // oldest first, so entry k + 1 holds perSlice[k]
        for (int b = 0; b < BodyRTList()->count; ++b) {
            s.Body(b).pos[0] = perSlice[k][0];
            s.Body(b).pos[1] = perSlice[k][1];  // every body on one spot
            s.Body(b).pos[2] = perSlice[k][2];
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
    PushRTListIntoTrail(rt.trailList, BodyRTList());  // entry 0, the present, is never drawn
    for (int b = 0; b < BodyRTList()->count; ++b) s.Body(b).statusFlags = kNotDrawnStatus;
}

TEST(DrawStage, TrailPointsAtOneDepthStackInInsertionOrderFarOnesBeneath) {
    RenderScene s(3, 32, 32, 32);
    const RGBColor colours[3] = {{65535, 0, 0}, {0, 65535, 0}, {0, 0, 65535}};
    for (int b = 0; b < 3; ++b) s.Body(b).color = colours[b];
    // Many slices on one spot at one depth, one nearer slice elsewhere, one farther on the same spot.
    std::vector<std::array<double, 3>> slices(40, {0, 0, 0});
    slices[5] = {-500, 0, 0};  // farther, would win if the order ignored depth
    s.Body(0).radius = s.Body(1).radius = s.Body(2).radius = 0.1;
    PushSlices(s, slices);
    s.Draw();
    // Items are inserted from the last slice and body down: slice 1, body 0 comes last and stays on top.
    EXPECT_EQ(s.Pixel(16, 16), 0x00FF0000u);
    // Without its entry 1 the spot shows the next-latest equal-depth item: slice 2, body 0 again.
    std::vector<std::array<double, 3>> shifted(slices);
    shifted[0] = {0, 300, 0};
    PushSlices(s, shifted);
    s.Draw();
    EXPECT_EQ(s.Pixel(16, 16), 0x00FF0000u);
    EXPECT_EQ(s.Pixel(26, 16), 0x00FF0000u);  // slice 1 moved 9.6 px right
}

}  // namespace

namespace {

TEST(DrawStage, TrailRoomBeyond32BitsTurnsTrailsOffInsteadOfWrapping) {
    RenderScene s(2, 32, 32, 32);
    s.Body(0).color = s.Body(1).color = RGBColor{65535, 65535, 65535};
    s.Body(1).pos[1] = 300;
    s.Draw();  // leaves a scratch block for two items
    // A ring claiming 48,806,447 slots, two of them filled: room for (m + 1) x 2 items of
    // 44 bytes would wrap to 40 bytes.
    const int32_t slot = TrailSlotSize(2);
    const Handle fake = NewHandleClear(size_t(slot) * 2);
    auto* bytes = HandleAs<uint8_t>(fake);
    TrailPoint tp{};
    tp.pos[1] = -300;  // 9.6 px left of the centre
    tp.radius = 0.1;
    tp.color = RGBColor{65535, 0, 0};
    const int32_t count = 2;
    std::memcpy(bytes + slot, &count, 4);
    std::memcpy(bytes + slot + 4, &tp, sizeof tp);
    std::memcpy(bytes + slot + 4 + sizeof tp, &tp, sizeof tp);
    rt.trailList = RTList{48806446, slot, 0, 2, fake, bytes};
    set.trailLength = INT32_MAX;
    s.Draw();
    EXPECT_NE(s.Pixel(16, 16), 0u);  // both bodies drawn through the sorted path
    EXPECT_EQ(s.Body(1).screenPos.h, 26);
    EXPECT_EQ(s.Pixel(6, 16), 0u);  // no trail this frame
    rt.trailList = RTList{};
    DisposeHandle(fake);
}

}  // namespace

TEST(BodySquare, OffBufferIsDroppedAndFarEdgesDoNotWrap) {
    ASSERT_EQ(SetupRenderGW(100, 200), 0);
    Rect square;
    EXPECT_TRUE(BodySquare(100, 50, 10, square));
    EXPECT_EQ(square.top, 45);
    EXPECT_EQ(square.right, 105);
    EXPECT_FALSE(BodySquare(100, 70000, 10, square));   // far below: would wrap to row 4464 in 16 bits
    EXPECT_FALSE(BodySquare(-40000, 50, 10, square));  // far to the left
    EXPECT_FALSE(BodySquare(300, 50, 10, square));
    // A huge body around the buffer still covers it, with pinned edges.
    ASSERT_TRUE(BodySquare(100, 50, 200000, square));
    EXPECT_EQ(square.top, -32000);
    EXPECT_EQ(square.bottom, 32000);
    EXPECT_TRUE(ClipToBuffer(square));
    EXPECT_EQ(square.bottom, 100);
    DisposeMyRenderGW();
}
