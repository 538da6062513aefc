// The draw stage: what is drawn over what (a stable radix sort on depth), what is skipped,
// the trail ring it reads, and the camera it draws through.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>

#include "RenderScene.h"
#include "render/Camera.h"
#include "render/DepthSort.h"
#include "render/IJK.h"

namespace {

TEST(DepthSort, EveryFamilyOfDepthsComesOutAsAStableSortOfTheDoubles) {
    std::mt19937_64 rng(3);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<std::vector<double>> families;
    for (int32_t count : {0, 1, 2, 3, 255, 256, 257, 10000}) {
        families.emplace_back(count);
        for (double& d : families.back()) d = uniform(-2000, -1e-3);
    }
    const double inf = std::numeric_limits<double>::infinity(), tiny = std::numeric_limits<double>::denorm_min();
    families.push_back({1.0, -tiny, -inf, 0.0, -1024.0, inf, std::nextafter(-1024.0, 0.0), tiny, -1e300, 1e300, -1.0});
    families.emplace_back(20000);  // a handful of depths shared by many items: orbits seen face-on
    const double levels[] = {-1000.0, -1000.0000000000001, -999.0, -1.5, -1e-9};
    for (double& d : families.back()) d = levels[rng() % 5];
    families.emplace_back(3000, -7.0);  // every digit shared: no pass at all
    families.emplace_back(5000);        // across exponents, and neighbours in the last mantissa bits
    for (size_t t = 0; t < 5000; ++t) {
        double d = -512.0;
        for (uint32_t s = rng() % 40; s > 0; --s) d = std::nextafter(d, 0.0);
        families.back()[t] = t % 2 ? d : -std::ldexp(1.0 + (rng() % 1000) / 1000.0, int(rng() % 600) - 300);
    }
    for (int32_t byte = 0; byte < 7; ++byte) {  // each byte carries the whole difference once
        families.emplace_back(3000);
        for (double& d : families.back()) {
            const uint64_t bits = (0xC08F400000000000ull & ~(uint64_t(0xFF) << (8 * byte))) | ((rng() & 0xFF) << (8 * byte));
            std::memcpy(&d, &bits, sizeof d);
        }
    }
    for (const std::vector<double>& depths : families) {
        const int32_t n = int32_t(depths.size());
        std::vector<DepthSortItem> items(n + 1), spare(n + 1);
        std::vector<uint32_t> histograms(kDepthSortHistogramBytes / 4);
        for (int32_t t = 0; t < n; ++t) items[t] = DepthSortItem{DepthSortKey(depths[t]), uint32_t(t), 0};
        const DepthSortItem* sorted = SortByDepthKey(items.data(), spare.data(), n, histograms.data());
        std::vector<uint32_t> expected(n);
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) { return depths[a] < depths[b]; });
        for (int32_t t = 0; t < n; ++t) ASSERT_EQ(sorted[t].where, expected[t]) << "position " << t << " of " << n;
    }
}

// Bodies on the line of sight through the centre of a 64 x 64 buffer, 4 px discs.
struct StageScene : RenderScene {
    explicit StageScene(int bodies) : RenderScene(bodies, 64, 64, 32) { set.minPointSize = 4; }
    // Pixels in the middle with only the given channel lit.
    int Hue(uint32_t mask) const {
        int n = 0;
        for (int y = 28; y < 36; ++y)
            for (int x = 28; x < 36; ++x) n += (Pixel(x, y) & mask) != 0 && (Pixel(x, y) & ~mask) == 0;
        return n;
    }
};

TEST(DrawStage, NearerBodiesCoverFartherOnesAndAtEqualDepthsTheLowerIndexWins) {
    StageScene s(3);
    s.Body(0).color = {65535, 0, 0};
    s.Body(1).color = {0, 65535, 0};
    s.Body(1).pos[0] = 500;  // nearer to the eye
    s.Body(2).color = {0, 0, 65535};
    s.Draw();
    EXPECT_GT(s.Hue(0x00FF00), 0);
    EXPECT_EQ(s.Hue(0xFF0000), 0);
    s.Body(1).statusFlags = kNotDrawnStatus;
    s.Draw();
    EXPECT_GT(s.Hue(0xFF0000), 0);
    EXPECT_EQ(s.Hue(0x0000FF), 0);
    EXPECT_EQ(rt.framesDrawn, 2);
}

TEST(DrawStage, BodiesBehindTheEyeOrRiddenAreSkippedAndFarOnesArePinnedOffScreen) {
    StageScene s(3);
    s.Body(0).pos[0] = 2000;  // behind the eye
    s.Body(0).screenPos = Point{7, 7};
    s.Body(1).statusFlags = kCameraRideStatus;
    s.Body(0).color = s.Body(1).color = {65535, 65535, 65535};
    s.Body(2).pos[0] = 0;
    s.Body(2).pos[1] = 2048000;  // 65536 px right: on the centre after a 16-bit wrap
    s.Draw();
    EXPECT_EQ(s.Body(0).screenPos.h, 7);
    EXPECT_EQ(s.Body(1).statusFlags & kCameraRideStatus, 0u);  // ridden this frame only
    EXPECT_EQ(s.Body(2).screenPos.h, 32767);
    for (int t = 0; t < 64 * 64; ++t) ASSERT_EQ(s.Pixel(t % 64, t / 64), 0u) << t;
}

TEST(DrawStage, TheArrowScaleShrinksForLongArrows) {
    StageScene s(1);
    s.Body(0).vel[1] = 1e6;  // far longer than the half-diagonal
    set.labelFlags = 2;
    s.Draw();
    EXPECT_EQ(rt.velArrowExponent, -2);  // trunc(-0.5 * log10(1.024e9 / 2048))
    EXPECT_EQ(rt.accArrowExponent, 0);   // no acceleration: unchanged
}

// Trail slices: entry k + 1 holds every body at perSlice[k]; the present is not drawn.
void PushSlices(RenderScene& s, const std::vector<std::array<double, 3>>& perSlice) {
    set.trailLength = int32_t(perSlice.size()) + 1;
    ResizeTrailRTList(rt.trailList, BodyRTList()->count, set.trailLength);
    for (size_t k = perSlice.size() + 1; k-- > 0;) {
        for (int b = 0; b < BodyRTList()->count; ++b)
            for (int a = 0; a < 3; ++a) s.Body(b).pos[a] = k ? perSlice[k - 1][a] : 0;
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
    for (int b = 0; b < BodyRTList()->count; ++b) s.Body(b).statusFlags = kNotDrawnStatus;
}

TEST(DrawStage, TrailPointsAtOneDepthStackInCollectionOrderFarOnesBeneath) {
    RenderScene s(3, 32, 32, 32);
    const RGBColor colours[3] = {{65535, 0, 0}, {0, 65535, 0}, {0, 0, 65535}};
    for (int b = 0; b < 3; ++b) s.Body(b).color = colours[b], s.Body(b).radius = 0.1;
    std::vector<std::array<double, 3>> slices(40, {0, 0, 0});
    slices[5] = {-500, 0, 0};  // farther on the same spot: would win if depth were ignored
    PushSlices(s, slices);
    s.Draw();
    EXPECT_EQ(s.Pixel(16, 16), 0x00FF0000u);  // slice 1, body 0 is collected last and stays on top
    slices[0] = {0, 300, 0};
    PushSlices(s, slices);
    s.Draw();
    EXPECT_EQ(s.Pixel(16, 16), 0x00FF0000u);  // slice 2, body 0 now
    EXPECT_EQ(s.Pixel(26, 16), 0x00FF0000u);  // slice 1 moved 9.6 px right
}

TEST(DrawStage, TrailRoomBeyond32BitsTurnsTrailsOffInsteadOfWrapping) {
    RenderScene s(2, 32, 32, 32);
    s.Body(0).color = s.Body(1).color = RGBColor{65535, 65535, 65535};
    s.Body(1).pos[1] = 300;
    s.Draw();  // leaves a scratch block for two items
    // A ring claiming 48,806,447 slots, one filled: room for (m + 1) x 2 items would wrap to 40 bytes.
    const int32_t slot = TrailSlotSize(2), count = 2;
    const Handle fake = NewHandleClear(size_t(slot) * 2);
    auto* bytes = HandleAs<uint8_t>(fake);
    TrailPoint tp{};
    tp.pos[1] = -300;
    tp.radius = 0.1;
    tp.color = RGBColor{65535, 0, 0};
    std::memcpy(bytes + slot, &count, 4);
    std::memcpy(bytes + slot + 4, &tp, sizeof tp);
    std::memcpy(bytes + slot + 4 + sizeof tp, &tp, sizeof tp);
    rt.trailList = RTList{48806446, slot, 0, 2, fake, bytes};
    set.trailLength = INT32_MAX;
    s.Draw();
    EXPECT_NE(s.Pixel(16, 16), 0u);
    EXPECT_EQ(s.Body(1).screenPos.h, 26);
    EXPECT_EQ(s.Pixel(6, 16), 0u);  // no trail this frame
    rt.trailList = RTList{};
    DisposeHandle(fake);
}

TEST(Trails, TheRingKeepsTheNewestEntriesNewestFirstThroughEveryWrap) {
    for (int32_t length : {2, 3, 7}) {
        RTList list{};
        ASSERT_EQ(ResizeTrailRTList(list, 1, length), length);
        BodyRTListStruct bodies{};
        bodies.count = 1;
        for (int32_t pushed = 1; pushed <= 4 * length; ++pushed) {
            bodies.body[0].pos[0] = pushed;
            PushRTListIntoTrail(list, &bodies);
            const int32_t valid = std::min(pushed, length - 1);  // one slot stays free
            ASSERT_EQ(GetRTListValidCount(list), valid) << length << " after " << pushed;
            for (int32_t n = 0; n < valid; ++n) {
                TrailPoint p;
                std::memcpy(&p, static_cast<uint8_t*>(GetTrailRTList(list, n)) + 4, sizeof p);
                ASSERT_EQ(p.pos[0], pushed - n) << length << " after " << pushed << ", entry " << n;
            }
            ASSERT_EQ(GetTrailRTList(list, valid), nullptr);
        }
        DisposeRTList(list);
    }
}

void ResetCamera() {
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    rt.eyeDistance = 4e7;
    rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};  // looking along -x, right = +y, up = +z
}

TEST(Camera, TheEyeSettlesOnKAtTheEyeDistanceAndBacksOutOfZero) {
    ResetCamera();
    rt.lookAt[0] = 1e9;
    for (int n = 0; n < 80; ++n) DoCameraWork();
    EXPECT_NEAR(rt.eyePos[0], 4e7, 1.0);
    EXPECT_NEAR(rt.eyePos[1], 0, 1.0);
    rt.eyeDistance = 0;
    rt.eyeDistanceVel = 0;
    DoCameraWork();
    EXPECT_DOUBLE_EQ(rt.eyeDistance, 2e6);
}

TEST(Camera, TheChaseCameraTurnsToLookAlongTheBodysVelocity) {
    for (const double vy : {1.0, -1.0}) {
        ResetCamera();
        rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct));
        BodyRTList()->count = 1;
        BodyRTList()->body[0].vel[1] = vy;
        BodyRTList()->body[0].nearestIndex = -1;
        set.cameraMode = 16;
        for (int n = 0; n < 200; ++n) DoCameraWork();
        EXPECT_NEAR(rt.cameraIJK.k[1] / 65536.0, -vy, 0.01) << "the eye looks along -k";
        EXPECT_NEAR(rt.cameraIJK.k[2] / 65536.0, 0, 0.01);
        DisposeHandle(rt.bodyRT);
        rt.bodyRT = 0;
    }
}

TEST(Camera, ViewingSetUpKeepsTheBufferAndProjectsRightAndUp) {
    struct Window : MainWindowServices {
        void MainWindowContentSize(int32_t& w, int32_t& h) override { w = 640, h = 480; }
    } window;
    ResetCamera();
    SetMainWindowServices(&window);
    set.viewAngle = 70;
    SetRunTimeViewingVariables();
    EXPECT_EQ(rt.focalLength, 457);  // 320 / tan 35 degrees
    uint32_t* first = renderGW;
    set.viewAngle = 90;
    SetRunTimeViewingVariables();
    EXPECT_EQ(renderGW, first);
    EXPECT_EQ(rt.focalLength, 320);
    SetMainWindowServices(nullptr);
    rt.eyePos[0] = 1000;
    Projected p;
    const double ahead[3] = {0, 100, -50}, behind[3] = {2000, 0, 0}, nan[3] = {NAN, 0, 0};
    ASSERT_TRUE(ProjectPoint(ahead, 320, 240, p));
    EXPECT_EQ(p.sx, 352);  // +y is right: 320.5 + 0.1 x 320
    EXPECT_EQ(p.sy, 256);  // -z is down: 240.5 + 0.05 x 320
    EXPECT_FALSE(ProjectPoint(behind, 320, 240, p));
    EXPECT_FALSE(ProjectPoint(nan, 320, 240, p));
    DisposeMyRenderGW();
}

}  // namespace
