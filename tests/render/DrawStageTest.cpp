// The draw stage: what is drawn over what (a stable radix sort on depth), what is skipped, the
// trail ring it reads, and the camera it draws through.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "RenderScene.h"
#include "render/Camera.h"
#include "render/DepthSort.h"

namespace {

TEST(DepthSort, EveryFamilyOfDepthsComesOutAsAStableSortOfTheDoubles) {
    std::mt19937_64 rng(3);
    const double inf = std::numeric_limits<double>::infinity(), tiny = std::numeric_limits<double>::denorm_min();
    const double levels[] = {-1000.0, -1000.0000000000001, -999.0, -1.5, -1e-9};  // orbits seen face-on share depths
    std::vector<std::vector<double>> families = {{1.0, -tiny, -inf, 0.0, -1024.0, inf, std::nextafter(-1024.0, 0.0), tiny, -1e300, 1e300},
                                                 std::vector<double>(3000, -7.0)};  // every digit shared: no pass at all
    for (int32_t count : {0, 1, 2, 3, 255, 256, 257, 10000, 20000, 5000}) {
        std::vector<double>& d = families.emplace_back(count);
        for (size_t t = 0; t < d.size(); ++t) {
            double near = -512.0;  // neighbours in the last mantissa bits
            for (uint32_t s = rng() % 40; count == 5000 && s > 0; --s) near = std::nextafter(near, 0.0);
            d[t] = count == 20000 ? levels[rng() % 5]
                 : count == 5000  ? (t % 2 ? near : -std::ldexp(1.0 + (rng() % 1000) / 1000.0, int(rng() % 600) - 300))
                                  : std::uniform_real_distribution<double>(-2000, -1e-3)(rng);
        }
    }
    for (int32_t byte = 0; byte < 7; ++byte)  // each byte carries the whole difference once
        for (double& d : families.emplace_back(3000)) {
            const uint64_t bits = (0xC08F400000000000ull & ~(uint64_t(0xFF) << (8 * byte))) | ((rng() & 0xFF) << (8 * byte));
            std::memcpy(&d, &bits, sizeof d);
        }
    for (const std::vector<double>& depths : families) {
        const int32_t n = int32_t(depths.size());
        std::vector<DepthSortItem> items(n + 1), spare(n + 1);
        std::vector<uint32_t> histograms(kDepthSortHistogramBytes / 4), expected(n);
        for (int32_t t = 0; t < n; ++t) items[t] = DepthSortItem{DepthSortKey(depths[t]), uint32_t(t), 0}, expected[t] = t;
        const DepthSortItem* sorted = SortByDepthKey(items.data(), spare.data(), n, histograms.data());
        std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) { return depths[a] < depths[b]; });
        for (int32_t t = 0; t < n; ++t) ASSERT_EQ(sorted[t].where, expected[t]) << "position " << t << " of " << n;
    }
}

TEST(DrawStage, NearerBodiesCoverFartherOnesAtEqualDepthsTheLowerIndexAndBehindTheEyeOrRiddenNone) {
    RenderScene s(3, 64, 64, 32);  // bodies on the line of sight through the centre, 4 px discs
    set.minPointSize = 4;
    auto hue = [&](uint32_t mask) {  // the middle's pixels of only this channel
        int n = 0;
        for (int t = 0; t < 64; ++t) n += (s.Pixel(28 + t % 8, 28 + t / 8) & mask) && !(s.Pixel(28 + t % 8, 28 + t / 8) & ~mask);
        return n;
    };
    s.Body(0).color = {65535, 0, 0}, s.Body(1).color = {0, 65535, 0}, s.Body(2).color = {0, 0, 65535};
    s.Body(1).pos[0] = 500;  // nearer to the eye
    s.Draw();
    EXPECT_TRUE(hue(0x00FF00) > 0 && hue(0xFF0000) == 0);
    s.Body(1).statusFlags = kNotDrawnStatus;
    s.Draw();
    EXPECT_TRUE(hue(0xFF0000) > 0 && hue(0x0000FF) == 0 && rt.framesDrawn == 2);
    s.Body(0).pos[0] = 2000, s.Body(0).screenPos = Point{7, 7};  // behind the eye
    s.Body(1).statusFlags = kCameraRideStatus;
    s.Body(2).pos[0] = 0, s.Body(2).pos[1] = 2048000;  // 65536 px right: the centre after a 16-bit wrap
    s.Draw();
    EXPECT_TRUE(s.Body(0).screenPos.h == 7 && !(s.Body(1).statusFlags & kCameraRideStatus) && s.Body(2).screenPos.h == 32767);
    for (int t = 0; t < 64 * 64; ++t) ASSERT_EQ(s.Pixel(t % 64, t / 64), 0u) << t;
    s.Body(0).pos[0] = 0, s.Body(0).vel[1] = 1e6, set.labelFlags = 2;  // an arrow far longer than the half-diagonal
    s.Draw();
    EXPECT_TRUE(rt.velArrowExponent == -2 && rt.accArrowExponent == 0);  // trunc(-0.5 x log10(1.024e9 / 2048)); no acceleration
}

TEST(DrawStage, TrailPointsAtOneDepthStackInCollectionOrderFarOnesBeneath) {
    RenderScene s(3, 32, 32, 32);
    const RGBColor colours[3] = {{65535, 0, 0}, {0, 65535, 0}, {0, 0, 65535}};
    for (int b = 0; b < 3; ++b) s.Body(b).color = colours[b], s.Body(b).radius = 0.1;
    std::vector<std::array<double, 3>> slices(40, {0, 0, 0});
    slices[5] = {-500, 0, 0};  // farther on the same spot: would win if depth were ignored
    for (const double moved : {0.0, 300.0}) {
        slices[0][1] = moved;
        // Entry k + 1 holds every body at slices[k]; entry 0, the present, is not drawn.
        set.trailLength = 41;
        ResizeTrailRTList(rt.trailList, 3, set.trailLength);
        for (size_t k = 41; k-- > 0;) {
            for (int b = 0; k && b < 3; ++b) std::copy_n(slices[k - 1].data(), 3, s.Body(b).pos);
            PushRTListIntoTrail(rt.trailList, BodyRTList());
        }
        for (int b = 0; b < 3; ++b) s.Body(b).statusFlags = kNotDrawnStatus;
        s.Draw();
        EXPECT_EQ(s.Pixel(16, 16), 0x00FF0000u) << "body 0 of the newest slice there is collected last: on top";
    }
    EXPECT_EQ(s.Pixel(26, 16), 0x00FF0000u);  // slice 1 moved 9.6 px right
}

TEST(DrawStage, TrailRoomBeyond32BitsTurnsTrailsOffInsteadOfWrapping) {
    RenderScene s(2, 32, 32, 32);
    s.Body(0).color = s.Body(1).color = RGBColor{65535, 65535, 65535}, s.Body(1).pos[1] = 300;
    s.Draw();  // leaves a scratch block for two items
    // A ring claiming 48,806,447 slots, one filled: room for (m + 1) x 2 items would wrap to 40 bytes.
    const int32_t slot = TrailSlotSize(2), count = 2;
    const Handle fake = NewHandleClear(size_t(slot) * 2);
    uint8_t* bytes = HandleAs<uint8_t>(fake);
    const TrailPoint tp{{0, -300, 0}, 0.1, 0, 0, RGBColor{65535, 0, 0}};
    std::memcpy(bytes + slot, &count, 4);
    for (int b = 0; b < 2; ++b) std::memcpy(bytes + slot + 4 + b * sizeof tp, &tp, sizeof tp);
    rt.trailList = RTList{48806446, slot, 0, 2, fake, bytes}, set.trailLength = INT32_MAX;
    s.Draw();
    EXPECT_TRUE(s.Pixel(16, 16) != 0 && s.Body(1).screenPos.h == 26 && s.Pixel(6, 16) == 0) << "bodies drawn, no trail";
    rt.trailList = RTList{}, DisposeHandle(fake);
}

TEST(Trails, TheRingKeepsTheNewestEntriesNewestFirstThroughEveryWrap) {
    for (int32_t length : {2, 3, 7}) {
        RTList list{};
        ASSERT_EQ(ResizeTrailRTList(list, 1, length), length);
        BodyRTListStruct bodies{1, {}};
        for (int32_t pushed = 1; pushed <= 4 * length; ++pushed) {
            bodies.body[0].pos[0] = pushed;
            PushRTListIntoTrail(list, &bodies);
            const int32_t valid = std::min(pushed, length - 1);  // one slot stays free
            ASSERT_TRUE(GetRTListValidCount(list) == valid && !GetTrailRTList(list, valid)) << length << " after " << pushed;
            for (int32_t n = 0; n < valid; ++n) {
                double x;
                std::memcpy(&x, static_cast<uint8_t*>(GetTrailRTList(list, n)) + 4, sizeof x);
                ASSERT_EQ(x, pushed - n) << length << " after " << pushed << ", entry " << n;
            }
        }
        DisposeRTList(list);
    }
}

TEST(Camera, TheChaseCameraLooksAlongTheVelocityAndTheViewProjectsRightAndUp) {
    for (const double vy : {1.0, -1.0}) {
        RenderScene s(1, 8, 8, 8);
        s.Body(0).vel[1] = vy, s.Body(0).nearestIndex = -1;
        set.cameraMode = 16;
        for (int n = 0; n < 200; ++n) DoCameraWork();
        EXPECT_NEAR(rt.cameraIJK.k[1] / 65536.0, -vy, 0.01) << "the eye looks along -k";
        EXPECT_NEAR(rt.cameraIJK.k[2] / 65536.0, 0, 0.01);
    }
    struct : MainWindowServices {
        void MainWindowContentSize(int32_t& w, int32_t& h) override { w = 640, h = 480; }
    } window;
    RenderScene s(0, 640, 480, 0);
    SetMainWindowServices(&window);
    uint32_t* first = renderGW;
    for (const auto& [angle, focal] : {std::pair{70, 457}, {90, 320}}) {  // 320 / tan(angle / 2)
        set.viewAngle = angle;
        SetRunTimeViewingVariables();
        EXPECT_TRUE(rt.focalLength == focal && renderGW == first) << angle;
    }
    SetMainWindowServices(nullptr);
    Projected p;
    const double ahead[3] = {0, 100, -50}, behind[3] = {2000, 0, 0}, nan[3] = {NAN, 0, 0};
    ASSERT_TRUE(ProjectPoint(ahead, 320, 240, p));
    EXPECT_TRUE(p.sx == 352 && p.sy == 256) << p.sx << "," << p.sy;  // +y right, -z down: 320.5 + 32, 240.5 + 16
    EXPECT_FALSE(ProjectPoint(behind, 320, 240, p) || ProjectPoint(nan, 320, 240, p));
}

}  // namespace

namespace {
int LitPixels(const RenderScene& s) {
    int lit = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) lit += s.Pixel(x, y) != 0;
    return lit;
}
}  // namespace

// A test particle (body 1, between two bodies; body 3 another, not drawn) is one pixel in its colour, without a velocity arrow
// or a trail point; the bodies around it keep theirs.
TEST(DrawStage, ParticlesArePointsWithoutArrowsOrTrails) {
    RenderScene s(4, 32, 32, 32);
    const double trail[3][3] = {{0, -300, -300}, {0, -300, 0}, {0, -300, 300}}, now[3][3] = {{0, 0, 0}, {0, 300, 0}, {0, 0, 300}};
    for (int b = 0; b < 3; ++b) s.Body(b).color = RGBColor{65535, 65535, 65535}, s.Body(b).radius = 0.1, s.Body(b).mass = 1;
    s.Body(1).mass = 0, s.Body(1).statusFlags = kParticleStatus, s.Body(1).color = RGBColor{0, 65535, 0};
    s.Body(3).statusFlags = kParticleStatus | kNotDrawnStatus;
    EXPECT_EQ(TrailedBodyCount(BodyRTList()), 3) << "the particles after the last body take no trail room";
    set.trailLength = 3;  // the ring keeps one entry fewer than its slots: the present and one
    ResizeTrailRTList(rt.trailList, TrailedBodyCount(BodyRTList()), set.trailLength);
    for (const auto* at : {trail, now}) {
        for (int b = 0; b < 3; ++b) std::copy_n(at[b], 3, s.Body(b).pos), s.Body(b).lastVel[2] = s.Body(b).vel[2] = -400;
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
    set.labelFlags = 2;  // velocity arrows
    s.Draw();
    const int withParticle = LitPixels(s);
    EXPECT_EQ(s.Pixel(26, 16), 0x0000FF00u);
    EXPECT_TRUE(s.Pixel(6, 26) != 0 && s.Pixel(6, 6) != 0 && s.Pixel(6, 16) == 0) << "trail points of bodies 0 and 2 only";
    s.Body(1).statusFlags |= kNotDrawnStatus;
    s.Draw();
    EXPECT_EQ(withParticle, LitPixels(s) + 1);
}
