// The radix-sorted draw stage against the comparison sort it replaced: the same order for
// every set of depths, ties included, and the same pixels for whole frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "ComparisonSortDrawStage.h"
#include "render/DepthSort.h"
#include "render/DrawStage.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"

namespace {

// Items arrive in falling item number; the comparison sort orders by depth and, among equal
// depths, puts the larger item number first. Returns the item numbers in the radix order and
// in the comparison order.
void BothOrders(const std::vector<double>& depths, std::vector<uint32_t>& radix, std::vector<uint32_t>& comparison) {
    const int32_t count = int32_t(depths.size());
    std::vector<DepthSortItem> items(count + 1), spare(count + 1);
    std::vector<uint32_t> histograms(kDepthSortHistogramBytes / 4);
    for (int32_t t = 0; t < count; ++t) {
        const uint32_t itemNumber = uint32_t(count - 1 - t);
        items[t] = DepthSortItem{DepthSortKey(depths[itemNumber]), itemNumber, 0};
    }
    const DepthSortItem* sorted = SortByDepthKey(items.data(), spare.data(), count, histograms.data());
    radix.clear();
    for (int32_t t = 0; t < count; ++t) radix.push_back(sorted[t].where);
    comparison.resize(count);
    for (int32_t t = 0; t < count; ++t) comparison[t] = uint32_t(count - 1 - t);
    std::sort(comparison.begin(), comparison.end(), [&](uint32_t a, uint32_t b) {
        if (depths[a] != depths[b]) return depths[a] < depths[b];
        return a > b;
    });
}

void ExpectSameOrder(const std::vector<double>& depths) {
    std::vector<uint32_t> radix, comparison;
    BothOrders(depths, radix, comparison);
    ASSERT_EQ(radix.size(), comparison.size());
    for (size_t t = 0; t < radix.size(); ++t)
        ASSERT_EQ(radix[t], comparison[t]) << "position " << t << " of " << radix.size();
}

TEST(DepthSort, KeysFollowTheOrderOfTheDoubles) {
    const double denormal = std::numeric_limits<double>::denorm_min();
    const std::vector<double> ascending = {-std::numeric_limits<double>::infinity(), -1e300, -1024.0,
                                           std::nextafter(-1024.0, 0.0), -1.0, -denormal, 0.0, denormal, 1.0,
                                           1e300, std::numeric_limits<double>::infinity()};
    for (size_t a = 0; a + 1 < ascending.size(); ++a)
        EXPECT_LT(DepthSortKey(ascending[a]), DepthSortKey(ascending[a + 1])) << ascending[a];
    EXPECT_EQ(DepthSortKey(-3.5), DepthSortKey(-3.5));
}

TEST(DepthSort, RandomDepthsComeOutInTheComparisonOrder) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> depth(-2000.0, -1e-3);
    for (int32_t count : {0, 1, 2, 3, 255, 256, 257, 10000}) {
        std::vector<double> depths(count);
        for (double& d : depths) d = depth(rng);
        ExpectSameOrder(depths);
    }
}

TEST(DepthSort, TiedDepthsKeepTheLargerItemNumberFirst) {
    std::mt19937 rng(5);
    // A handful of distinct depths shared by many items: orbits seen face-on.
    std::vector<double> depths(20000);
    const double levels[] = {-1000.0, -1000.0000000000001, -999.0, -1.5, -1e-9};
    for (double& d : depths) d = levels[rng() % 5];
    ExpectSameOrder(depths);
    std::fill(depths.begin(), depths.end(), -7.0);  // every digit shared: no pass at all
    ExpectSameOrder(depths);
}

TEST(DepthSort, DepthsAcrossExponentsAndInTheLastBitsAreOrdered) {
    std::mt19937 rng(9);
    std::vector<double> depths(5000);
    for (size_t t = 0; t < depths.size(); ++t) {
        if (t % 2) {
            // Neighbours of one value, differing only in the lowest mantissa bits.
            double d = -512.0;
            for (uint32_t s = rng() % 40; s > 0; --s) d = std::nextafter(d, 0.0);
            depths[t] = d;
        } else {
            depths[t] = -std::ldexp(1.0 + (rng() % 1000) / 1000.0, int(rng() % 600) - 300);
        }
    }
    ExpectSameOrder(depths);
}

TEST(DepthSort, DepthsDifferingInAnySingleByteAreOrdered) {
    // Each byte of the bit pattern carries the whole difference once, so every pass of a
    // byte-wise sort decides some order on its own.
    std::mt19937_64 rng(13);
    for (int32_t byte = 0; byte < 7; ++byte) {
        std::vector<double> depths(3000);
        const uint64_t base = 0xC08F400000000000ull;  // -1000.0
        for (double& d : depths) {
            const uint64_t bits = (base & ~(uint64_t(0xFF) << (8 * byte))) | ((rng() & 0xFF) << (8 * byte));
            std::memcpy(&d, &bits, sizeof d);
            if (!(d < 0)) d = -1.0;
        }
        SCOPED_TRACE(byte);
        ExpectSameOrder(depths);
    }
}

// Whole frames: 200 bodies on tilted circles around the eye's line of sight with trails of
// 30, some trail points behind the eye, many off the buffer, and in the face-on case all at
// one depth.
struct TrailScene {
    TrailScene(int32_t bodies, double tilt, uint32_t seed) {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};  // looking along -x
        rt.eyePos[0] = 300;
        rt.eyeDistance = 300;
        rt.focalLength = 120;
        rt.redEyeColor = {65535, 0, 0};
        rt.cyanEyeColor = {0, 65535, 65535};
        set.minPointSize = 2;
        SetupRenderGW(100, 160);
        rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct) * bodies);
        BodyRTList()->count = bodies;
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::vector<double> radius(bodies), phase(bodies), speed(bodies);
        for (int32_t b = 0; b < bodies; ++b) {
            radius[b] = 20 + 400 * u(rng);  // the outer orbits reach behind the eye and off the buffer
            phase[b] = 6.3 * u(rng);
            speed[b] = 0.05 + 0.1 * u(rng);
            BodyRTStruct& body = BodyRTList()->body[b];
            body.color = RGBColor{uint16_t(rng()), uint16_t(rng()), uint16_t(rng())};
            body.radius = b % 10 == 0 ? 8 : 0.5;
        }
        set.trailLength = 30;
        ResizeTrailRTList(rt.trailList, bodies, set.trailLength);
        for (int32_t step = 40; step >= 0; --step)
            for (int32_t b = 0; b <= bodies; ++b) {
                if (b == bodies) {
                    PushRTListIntoTrail(rt.trailList, BodyRTList());
                    break;
                }
                BodyRTStruct& body = BodyRTList()->body[b];
                const double a = phase[b] + speed[b] * step;
                body.pos[0] = radius[b] * std::sin(a) * std::sin(tilt);
                body.pos[1] = radius[b] * std::cos(a);
                body.pos[2] = radius[b] * std::sin(a) * std::cos(tilt);
            }
    }
    ~TrailScene() {
        DisposeRTList(rt.trailList);
        DisposeScratchSpace();
        DisposeHandle(rt.bodyRT);
        rt.bodyRT = 0;
        DisposeMyRenderGW();
    }

    // The frame's pixels and the bodies' screen positions.
    std::vector<uint32_t> Draw(bool radix, std::vector<Point>& screen) {
        EraseRenderBuffer();
        for (int32_t b = 0; b < BodyRTList()->count; ++b) BodyRTList()->body[b].screenPos = Point{-1, -1};
        if (radix) DoDrawStage(renderCX, renderCY);
        else comparison_sort::DrawStage(renderCX, renderCY);
        screen.clear();
        for (int32_t b = 0; b < BodyRTList()->count; ++b) screen.push_back(BodyRTList()->body[b].screenPos);
        const auto* p = reinterpret_cast<const uint32_t*>(bAddrGWPM);
        return std::vector<uint32_t>(p, p + (renderGWRect.bottom * rBytesGWPM) / 4);
    }

    void ExpectBothSortsDrawTheSame() {
        std::vector<Point> radixScreen, comparisonScreen;
        const std::vector<uint32_t> radix = Draw(true, radixScreen);
        const std::vector<uint32_t> comparison = Draw(false, comparisonScreen);
        int32_t lit = 0;
        for (uint32_t p : comparison) lit += p != 0;
        EXPECT_GT(lit, 300);  // a frame worth comparing
        for (size_t t = 0; t < radix.size(); ++t) ASSERT_EQ(radix[t], comparison[t]) << "pixel " << t;
        for (size_t b = 0; b < radixScreen.size(); ++b) {
            EXPECT_EQ(radixScreen[b].h, comparisonScreen[b].h) << "body " << b;
            EXPECT_EQ(radixScreen[b].v, comparisonScreen[b].v) << "body " << b;
        }
    }
};

TEST(DepthSortFrame, TiltedOrbitsDrawTheSamePixelsAsTheComparisonSort) {
    TrailScene scene(200, 0.4, 1);
    scene.ExpectBothSortsDrawTheSame();
}

TEST(DepthSortFrame, FaceOnOrbitsAtOneDepthDrawTheSamePixels) {
    TrailScene scene(200, 0.0, 2);
    scene.ExpectBothSortsDrawTheSame();
}

TEST(DepthSortFrame, StereoFramesDrawTheSamePixels) {
    TrailScene scene(200, 0.4, 3);
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 6;
    scene.ExpectBothSortsDrawTheSame();
}

TEST(DepthSortFrame, ATrailSettingLongerThanTheRingDrawsTheSamePixels) {
    TrailScene scene(50, 0.7, 4);
    set.trailLength = 500;  // entries beyond the ring are skipped
    scene.ExpectBothSortsDrawTheSame();
}

}  // namespace
