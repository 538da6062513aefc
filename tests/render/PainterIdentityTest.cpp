// The vectorised sphere painter and the run-narrowed ring painter against the pixel-at-a-time
// painters they replaced: the same pixels, on every instruction set this machine runs.
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ScalarPainters.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "imagery/SphereRows.h"
#include "sim/ThreadPool.h"

namespace {

constexpr int32_t kWidth = 420, kHeight = 300, kRowBytes = kWidth * 4 + 12;  // padded rows

// A turn in 16.16 from a random unit quaternion; now and then a matrix of any entries, such
// as a frame that has drifted from orthonormal.
void RandomRotation(std::mt19937& rng, int32_t m[9]) {
    std::normal_distribution<double> n(0.0, 1.0);
    if (rng() % 5 == 0) {
        for (int k = 0; k < 9; ++k) m[k] = int32_t(rng() % 131073) - 65536;
        return;
    }
    double w = n(rng), x = n(rng), y = n(rng), z = n(rng);
    const double len = std::sqrt(w * w + x * x + y * y + z * z);
    w /= len, x /= len, y /= len, z /= len;
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
                         2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                         2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
    for (int k = 0; k < 9; ++k) m[k] = int32_t(std::lround(r[k] * 65536));
}

struct Canvas {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(size_t(kRowBytes) * kHeight);
    explicit Canvas(uint32_t seed) {
        // Noise under the painting, so a pixel written that should not be shows.
        uint32_t state = seed * 2654435761u + 1;
        for (size_t t = 0; t + 4 <= bytes.size(); t += 4) {
            state = state * 1664525u + 1013904223u;
            std::memcpy(&bytes[t], &state, 4);
        }
    }
    uint8_t* base() { return bytes.data(); }
};

Rect RandomClip(std::mt19937& rng) {
    const int16_t top = int16_t(rng() % 120), left = int16_t(rng() % 160);
    return Rect{top, left, int16_t(top + 1 + rng() % (kHeight - top)), int16_t(left + 1 + rng() % (kWidth - left))};
}

struct Maps {
    uint16_t T[256], U[256];
    std::vector<uint32_t> texels = std::vector<uint32_t>(kTexelMapBytes / 4);
    Maps() {
        FillSphereTables(T, U);
        std::mt19937 rng(17);
        for (uint32_t& t : texels) t = rng();  // every texel different: a wrong index shows
    }
    const uint32_t* reference() const { return texels.data() + kTexelMapReferenceOffset / 4; }
};

void ExpectSpheresAlike(const Maps& maps, uint32_t seed, int32_t cases) {
    std::mt19937 rng(seed);
    for (int32_t c = 0; c < cases; ++c) {
        int32_t m[9];
        RandomRotation(rng, m);
        const int32_t r = 1 + int32_t(rng() % (c % 4 == 0 ? 400 : 90));
        const int32_t cx = int32_t(rng() % (kWidth + 200)) - 100, cy = int32_t(rng() % (kHeight + 200)) - 100;
        Rect clipA = RandomClip(rng), clipB = clipA;
        Canvas a(seed + c), b(seed + c);
        DrawSphere(clipA, cx, cy, r, m, a.base(), kRowBytes, maps.reference(), maps.T, maps.U);
        scalar::DrawSphere(clipB, cx, cy, r, m, b.base(), kRowBytes, maps.reference(), maps.T, maps.U);
        ASSERT_EQ(clipA.top, clipB.top);
        ASSERT_EQ(clipA.left, clipB.left);
        ASSERT_EQ(clipA.bottom, clipB.bottom);
        ASSERT_EQ(clipA.right, clipB.right);
        ASSERT_EQ(a.bytes, b.bytes) << "case " << c << " radius " << r << " at " << cx << "," << cy;
    }
}

TEST(VectorSphere, PaintsTheScalarPixelsOnEveryInstructionSet) {
    const Maps maps;
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    ASSERT_FALSE(targets.empty());
    for (const int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(SphereRowsTarget());
        ExpectSpheresAlike(maps, 21, 60);
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(VectorSphere, TheRangeReducedTableRootIsTheRootOfTheArgumentCutToItsRange) {
    // What the vector painter computes instead of reading the start-up table: for every q it
    // can meet, the table's root of q equals trunc(sqrt(q with its low 2k bits cleared)), k the
    // range the table lookup reduces q by.
    const Maps maps;
    for (int32_t q = 0; q <= 65536; ++q) {
        const int32_t k = (q >= 0x100) + (q >= 0x400) + (q >= 0x1000) + (q >= 0x4000) + (q >= 0x10000);
        const int32_t kept = q & ~((1 << (2 * k)) - 1);
        ASSERT_EQ(sphere_raster::SqrtQ(q, maps.T), int32_t(std::sqrt(float(kept)))) << q;
    }
}

TEST(VectorSphere, TheInverseRootTableIsExactInSinglePrecision) {
    // The other entry the vector painter computes: 4096 / sqrt i in floats, truncated.
    const Maps maps;
    for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(maps.U[i], int32_t(4096.0f / std::sqrt(float(i < 1 ? 1 : i)))) << i;
}

TEST(VectorSphere, LargeSpheresShareTheirRowsOutAlikeForOneTwoAndThreeThreads) {
    const Maps maps;
    for (const int32_t threads : {1, 2, 3}) {
        SetPoolThreadCount(threads);
        SCOPED_TRACE(threads);
        ExpectSpheresAlike(maps, 25, 24);  // every fourth case large enough to be banded
    }
    SetPoolThreadCount(0);
}

TEST(VectorSphere, TablesOtherThanTheStartUpOnesAreReadNotComputed) {
    Maps maps;
    // Tables that differ from what the arithmetic gives: the painter must use them as given.
    for (int32_t i = 0; i < 256; ++i) {
        maps.T[i] = uint16_t(maps.T[i] ^ (i & 3));
        maps.U[i] = uint16_t(maps.U[i] - (i % 7));
    }
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    for (const int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(SphereRowsTarget());
        ExpectSpheresAlike(maps, 23, 30);
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(VectorSphere, ALargeSphereCentredOnTheBufferIsCovered) {
    // A known figure rather than a comparison: a disc of radius 100 covers pi r^2 pixels
    // within a few per cent, each with a texel of the map.
    const Maps maps;
    Canvas a(1);
    std::fill(a.bytes.begin(), a.bytes.end(), 0);
    const int32_t identity[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    Rect clip{0, 0, kHeight, kWidth};
    DrawSphere(clip, 200, 150, 100, identity, a.base(), kRowBytes, maps.reference(), maps.T, maps.U);
    int32_t covered = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) covered += reinterpret_cast<uint32_t*>(a.base() + y * kRowBytes)[x] != 0;
    EXPECT_NEAR(covered, M_PI * 100 * 100, 0.03 * M_PI * 100 * 100);
}

void ExpectRingsAlike(uint32_t seed, int32_t cases) {
    uint16_t T[256], U[256];
    FillSphereTables(T, U);
    std::vector<uint32_t> profile(kRingProfileTexels);
    std::mt19937 rng(seed);
    // Dim and bright profiles: sums that stay below 255 and sums pinned there.
    for (uint32_t& p : profile) p = seed % 2 ? rng() : rng() & 0xFF7F7F7Fu;
    for (int32_t c = 0; c < cases; ++c) {
        int32_t m[9];
        RandomRotation(rng, m);
        if (c % 10 == 1) m[8] = (rng() % 2 ? 1 : -1) * (65530 + int32_t(rng() % 7));  // nearly face-on
        if (c % 10 == 2) m[8] = int32_t(rng() % 41) - 20;                            // nearly edge-on
        if (c % 10 == 3) m[6] = m[7] = 0;                                              // exactly face-on
        const int32_t r = 2 + int32_t(rng() % (c % 3 == 0 ? 600 : 150));
        const int32_t ri = int32_t(rng() % uint32_t(r));
        const int32_t cx = int32_t(rng() % (kWidth + 200)) - 100, cy = int32_t(rng() % (kHeight + 200)) - 100;
        const Rect clip = RandomClip(rng);
        for (int32_t half = 0; half < 2; ++half) {
            Canvas a{uint32_t(c)}, b{uint32_t(c)};
            DrawRing(clip, T, cx, cy, ri, r, m, a.base(), kRowBytes, profile.data(), half);
            scalar::DrawRing(clip, T, cx, cy, ri, r, m, b.base(), kRowBytes, profile.data(), half);
            ASSERT_EQ(a.bytes, b.bytes) << "case " << c << " half " << half << " r " << r << " ri " << ri;
        }
    }
}

TEST(NarrowedRing, PaintsTheWholeClipScanPixelsAndPinsTheSums) {
    ExpectRingsAlike(28, 100);
    ExpectRingsAlike(29, 100);
}

TEST(NarrowedRing, LargeRingsShareTheirRowsOutAlikeForOneTwoAndThreeThreads) {
    for (const int32_t threads : {1, 2, 3}) {
        SetPoolThreadCount(threads);
        SCOPED_TRACE(threads);
        ExpectRingsAlike(31, 40);  // bright: pinned sums
    }
    SetPoolThreadCount(0);
}

}  // namespace
