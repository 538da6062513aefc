// The pixel painters of spheres, discs and rings: the vectorised sphere rows bit for bit the
// scalar texel lookup on every instruction set, rings where the ring plane's geometry puts
// them, and each stereo eye the mono painting from that eye in its own channels.
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "imagery/Rings.h"
#include "imagery/ShadedDisc.h"
#include "imagery/SphereRaster.h"
#include "imagery/SphereRows.h"
#include "imagery/SpherePix.h"
#include "sim/ThreadPool.h"

namespace {

using Paint = std::function<void(uint8_t* base, int32_t rowBytes)>;

struct Tables {
    uint16_t T[256], U[256];
    Tables() { FillSphereTables(T, U); }
};

// A turn in 16.16 from a random unit quaternion; now and then a matrix of any entries, such
// as a frame that has drifted from orthonormal.
void RandomRotation(std::mt19937& rng, int32_t m[9], bool anyEntries = true) {
    if (anyEntries && rng() % 5 == 0) {
        for (int k = 0; k < 9; ++k) m[k] = int32_t(rng() % 131073) - 65536;
        return;
    }
    std::normal_distribution<double> n(0.0, 1.0);
    double w = n(rng), x = n(rng), y = n(rng), z = n(rng);
    const double l = std::sqrt(w * w + x * x + y * y + z * z);
    w /= l, x /= l, y /= l, z /= l;
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
                         2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                         2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
    for (int k = 0; k < 9; ++k) m[k] = int32_t(std::lround(r[k] * 65536));
}

// The sphere one pixel at a time through the scalar texel lookup.
void ScalarSphere(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base, int32_t rowBytes,
                  const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
    using namespace sphere_raster;
    const int32_t step = 65536 / r;
    ShrinkTo(clip, cx, cy, r);
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        for (int32_t px = clip.left; px < clip.right; ++px) {
            const int32_t x = ((px - cx) * step) >> 8, q = 65536 - y * y - x * x;
            if (q > 0) *PixelAt(base, rowBytes, px, py) = TexelAt(tex, m, x, SqrtQ(q, T), y * m[1], y * m[4], y * m[7], U);
        }
    }
}

// A buffer of padded rows under noise, so a pixel written that should not be shows.
constexpr int32_t kW = 420, kH = 300, kRowBytes = kW * 4 + 12;
std::vector<uint8_t> Noise(uint32_t seed) {
    std::vector<uint8_t> bytes(size_t(kRowBytes) * kH);
    for (size_t t = 0; t + 4 <= bytes.size(); t += 4) {
        seed = seed * 1664525u + 1013904223u;
        std::memcpy(&bytes[t], &seed, 4);
    }
    return bytes;
}

struct SphereCase {
    bool startUpTables;
    int32_t threads;
};
class VectorSphere : public testing::TestWithParam<SphereCase> {};

TEST_P(VectorSphere, PaintsTheScalarPixelsOnEveryInstructionSet) {
    Tables t;
    if (!GetParam().startUpTables)  // tables the arithmetic does not give must be read as given
        for (int i = 0; i < 256; ++i) t.T[i] = uint16_t(t.T[i] ^ (i & 3)), t.U[i] = uint16_t(t.U[i] - i % 7);
    std::vector<uint32_t> map(kTexelMapBytes / 4);
    std::mt19937 rng(17);
    for (uint32_t& texel : map) texel = rng();  // every texel different: a wrong index shows
    const uint32_t* tex = map.data() + kTexelMapReferenceOffset / 4;
    SetPoolThreadCount(GetParam().threads);
    for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(SphereRowsTarget());
        for (int32_t c = 0; c < 40; ++c) {
            int32_t m[9];
            RandomRotation(rng, m);
            const int32_t r = 1 + int32_t(rng() % (c % 4 == 0 ? 400 : 90));  // every fourth banded over the pool
            const int32_t cx = int32_t(rng() % (kW + 200)) - 100, cy = int32_t(rng() % (kH + 200)) - 100;
            const int16_t top = int16_t(rng() % 120), left = int16_t(rng() % 160);
            Rect a{top, left, int16_t(top + 1 + rng() % (kH - top)), int16_t(left + 1 + rng() % (kW - left))}, b = a;
            std::vector<uint8_t> vec = Noise(c), scalar = vec;
            DrawSphere(a, cx, cy, r, m, vec.data(), kRowBytes, tex, t.T, t.U);
            ScalarSphere(b, cx, cy, r, m, scalar.data(), kRowBytes, tex, t.T, t.U);
            ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "the clip is shrunk alike";
            ASSERT_EQ(vec, scalar) << "case " << c << " radius " << r << " at " << cx << "," << cy;
        }
    }
    hwy::SetSupportedTargetsForTest(0);
    SetPoolThreadCount(0);
}
INSTANTIATE_TEST_SUITE_P(Tables, VectorSphere,
                         testing::Values(SphereCase{true, 0}, SphereCase{false, 0}, SphereCase{true, 3}));

TEST(VectorSphere, ComputedRootsAreTheStartUpTablesEntries) {
    // What the vector painter computes instead of reading the tables: the range-reduced root
    // of every q it meets is trunc(sqrt(q with its low 2k bits cleared)), and 4096 / sqrt i in
    // floats is the inverse-root entry.
    Tables t;
    for (int32_t q = 0; q <= 65536; ++q) {
        const int32_t k = (q >= 0x100) + (q >= 0x400) + (q >= 0x1000) + (q >= 0x4000) + (q >= 0x10000);
        ASSERT_EQ(sphere_raster::SqrtQ(q, t.T), int32_t(std::sqrt(float(q & ~((1 << (2 * k)) - 1))))) << q;
    }
    for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(t.U[i], int32_t(4096.0f / std::sqrt(float(i < 1 ? 1 : i)))) << i;
}

TEST(Sphere, CoversTheDiscInsideItsClipWithTexelsOfTheMapOnly) {
    Tables t;
    std::vector<uint32_t> map(kTexelMapBytes / 4, 0xDEADBEEF);  // outside the addressed rows a wrong index shows
    uint32_t* ref = map.data() + kTexelMapReferenceOffset / 4;
    for (int rho = -128; rho < 128; ++rho)
        for (int c = -64; c < 448; ++c) ref[rho * 512 + c] = 0x00FFFFFF;
    const int32_t identity[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536}, poleOn[9] = {65536, 0, 0, 0, 0, 65536, 0, 65536, 0};
    for (const int32_t* rot : {identity, poleOn}) {  // pole on: Z reaches 128 at the centre
        std::vector<uint32_t> buf(40 * 40, 0), disc(40 * 40, 0);
        Rect clip{0, 0, 40, 40}, discClip = clip;
        DrawSphere(clip, 20, 20, 10, rot, reinterpret_cast<uint8_t*>(buf.data()), 160, ref, t.T, t.U);
        DrawShadedDisc(discClip, 20, 20, 10, 0x00FFFFFF, reinterpret_cast<uint8_t*>(disc.data()), 160, t.T);
        EXPECT_EQ(clip.top, 10);
        EXPECT_EQ(clip.right, 30);
        int covered = 0;
        for (int i = 0; i < 40 * 40; ++i) {
            ASSERT_TRUE(buf[i] == 0 || buf[i] == 0x00FFFFFFu) << i;
            ASSERT_EQ(buf[i] != 0, disc[i] != 0) << "the untextured disc covers the same pixels";
            covered += buf[i] != 0;
            EXPECT_TRUE(!buf[i] || (i % 40 - 20) * (i % 40 - 20) + (i / 40 - 20) * (i / 40 - 20) <= 121) << i;
        }
        EXPECT_NEAR(covered, M_PI * 100, 25);
    }
    // Far off the buffer, where 16-bit edges would wrap around into it, and beside the clip.
    std::vector<uint32_t> buf(40 * 40, 0);
    for (int32_t cy : {-40005, 70000, 30}) {
        Rect far = cy == 30 ? Rect{0, 35, 5, 40} : Rect{0, 0, 40, 40};
        DrawSphere(far, cy == 30 ? 10 : 20, cy, 5, identity, reinterpret_cast<uint8_t*>(buf.data()), 160, ref, t.T, t.U);
        EXPECT_GE(far.top, far.bottom) << cy;
    }
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0u), 40 * 40);
}

TEST(ShadedDisc, BrightnessFollowsTheSlopeTowardTheEyeInTheBodysHue) {
    Tables t;
    std::vector<uint32_t> buf(120 * 120, 0);
    Rect clip{0, 0, 120, 120};
    DrawShadedDisc(clip, 60, 60, 50, 0x00C86432u, reinterpret_cast<uint8_t*>(buf.data()), 480, t.T);  // 200, 100, 50
    uint32_t previous = 255;
    for (int dx = 0; dx < 50; ++dx) {
        const uint32_t p = buf[60 * 120 + 60 + dx];
        const double rho = dx / 50.0, shade = (kDiscLimbShade + (256 - kDiscLimbShade) * std::sqrt(1 - rho * rho)) / 256;
        EXPECT_NEAR((p >> 16) & 255, 200 * shade, 4) << dx;
        EXPECT_NEAR((p >> 8) & 255, 100 * shade, 3) << dx;
        EXPECT_NEAR(p & 255, 50 * shade, 2) << dx;
        EXPECT_LE((p >> 16) & 255, previous) << "never brighter further out";
        previous = (p >> 16) & 255;
    }
}

// Ring of outer radius r around (cx, cy): each texel records one visit in red (over a red
// background of 0x40, so light is added, not painted over) and its profile index in green
// and blue.
struct RingCase {
    int32_t m[9];
    int32_t ri, r;
};

void ExpectRingOnItsPlane(const RingCase& c, int32_t cx, int32_t cy, int32_t size, const Rect& clip) {
    Tables t;
    std::vector<uint32_t> profile(kRingProfileTexels);
    for (int32_t i = 0; i < kRingProfileTexels; ++i) profile[i] = MakeTexel(0, 1, i >> 8, i & 255);
    std::vector<uint32_t> back(size_t(size) * size, 0x00400000u);
    DrawRing(clip, t.T, cx, cy, c.ri, c.r, c.m, reinterpret_cast<uint8_t*>(back.data()), size * 4, profile.data(), 0);
    std::vector<uint32_t> both = back;
    DrawRing(clip, t.T, cx, cy, c.ri, c.r, c.m, reinterpret_cast<uint8_t*>(both.data()), size * 4, profile.data(), 1);
    const double n6 = c.m[6] / 65536.0, n7 = c.m[7] / 65536.0, n8 = c.m[8] / 65536.0;
    const double margin = 1.5 + 2.0 * c.r / (256 * std::fabs(n8));  // the painter's fixed-point steps
    int lit = 0;
    for (int32_t py = 0; py < size; ++py)
        for (int32_t px = 0; px < size; ++px) {
            // The ring plane's point under the pixel (y up): its radius and its side of the body.
            const double X = px - cx, Y = cy - py, Z = -(X * n6 + Y * n7) / n8, rho = std::sqrt(X * X + Y * Y + Z * Z);
            const uint32_t v = both[size_t(py) * size + px], visits = ((v >> 16) & 255) - 0x40;
            const bool inClip = py >= clip.top && py < clip.bottom && px >= clip.left && px < clip.right;
            const bool inBack = back[size_t(py) * size + px] != 0x00400000u;
            const bool off = !inClip || rho < c.ri - margin || rho > c.r + margin;
            const bool on = inClip && rho > c.ri + margin && rho < c.r - margin;
            const double index = 1024 * (rho - c.ri) / (c.r - c.ri), slack = 1024 * (margin + 1) / (c.r - c.ri);
            ASSERT_TRUE(visits <= 1 && (!on || visits == 1) && (!off || visits == 0))  // the halves share no pixel
                << px << "," << py << " rho " << rho << ": " << visits << " visits";
            ASSERT_TRUE(!on || std::fabs(double(v & 0xFFFF) - index) <= slack)
                << px << "," << py << ": profile index " << (v & 0xFFFF) << " for rho " << rho;
            ASSERT_TRUE(inBack ? Z < margin : !visits || Z > -margin) << px << "," << py << (inBack ? " back" : " front") << " half, Z " << Z;
            lit += visits;
        }
    EXPECT_GT(lit, 0);
}

TEST(Ring, FaceOnAndTippedRingsAreTheirAnnulusEachPixelOnce) {
    const RingCase cases[] = {
        {{65536, 0, 0, 0, 65536, 0, 0, 0, 65536}, 10, 30},
        {{65536, 0, 0, 0, -65536, 0, 0, 0, -65536}, 10, 30},  // from below
        {{65536, 0, 0, 0, 65536, -1, 0, 1, 65536}, 10, 30},   // tipped by 1/65536: row products past 32 bits
        {{65536, 0, 0, 0, 65536, -2, 1, 2, 65535}, 0, 30},
        {{65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, 10, 30},  // 60 degrees
        {{65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, 0, 30},
    };
    for (const RingCase& c : cases) ExpectRingOnItsPlane(c, 32, 32, 64, Rect{0, 0, 64, 64});
    ExpectRingOnItsPlane(cases[4], 32, 32, 64, Rect{5, 8, 60, 50});
}

TEST(Ring, RandomlyTurnedRingsLieOnTheirPlaneBandedOrNot) {
    std::mt19937 rng(28);
    for (int32_t n = 0; n < 24; ++n) {
        RingCase c{};
        do RandomRotation(rng, c.m, false);
        while (std::abs(c.m[8]) < 20000);
        c.r = n % 4 == 0 ? 140 : 10 + int32_t(rng() % 50);
        c.ri = int32_t(rng() % uint32_t(c.r - 2));
        SetPoolThreadCount(n % 2 ? 3 : 0);  // rings over 32768 pixels are shared out in bands of rows
        SCOPED_TRACE(n);
        ExpectRingOnItsPlane(c, 150, 150, 300, Rect{0, 0, 300, 300});
    }
    SetPoolThreadCount(0);
    // A black profile adds nothing; an edge-on ring is not drawn.
    Tables t;
    std::vector<uint32_t> buf(64 * 64, 0x00123456), black(1024, 0), white(1024, 0xFFFFFFFF);
    const int32_t tilted[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};
    DrawRing(Rect{0, 0, 64, 64}, t.T, 32, 32, 10, 30, tilted, reinterpret_cast<uint8_t*>(buf.data()), 256, black.data(), 1);
    DrawRing(Rect{0, 0, 64, 64}, t.T, 32, 32, 10, 30, edgeOn, reinterpret_cast<uint8_t*>(buf.data()), 256, white.data(), 0);
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0x00123456u), 64 * 64);
}

// Stereo painters: the red channel must be the mono painting from the red eye's centre, green
// and blue both that from the cyan eye's; what neither eye's clip holds keeps its colour.
void ExpectEyesAreMono(int32_t w, int32_t h, const std::function<void(uint8_t*)>& stereo,
                       const std::function<void(uint8_t*)>& monoRed, const std::function<void(uint8_t*)>& monoCyan,
                       uint32_t (*channel)(uint32_t)) {
    const uint32_t background = 0x00102030u, unset = 0xFF000000u;
    std::vector<uint32_t> s(size_t(w) * h, background), red(s.size(), unset), cyan(s.size(), unset);
    stereo(reinterpret_cast<uint8_t*>(s.data()));
    monoRed(reinterpret_cast<uint8_t*>(red.data()));
    monoCyan(reinterpret_cast<uint8_t*>(cyan.data()));
    int touched = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const uint32_t r = red[i] == unset ? 0x10 : channel(red[i]), c = cyan[i] == unset ? 0x20 : channel(cyan[i]);
        ASSERT_EQ((s[i] >> 16) & 255, r) << "red at " << i % w << "," << i / w;
        ASSERT_EQ((s[i] >> 8) & 255, c) << "green at " << i % w << "," << i / w;
        ASSERT_EQ(s[i] & 255, cyan[i] == unset ? 0x30 : c) << "blue at " << i % w << "," << i / w;
        touched += s[i] != background;
    }
    EXPECT_GT(touched, 0);
}

uint32_t Luminance(uint32_t texel) { return texel >> 24; }
uint32_t Blue(uint32_t pixel) { return pixel & 255; }

TEST(Stereo, EachEyesSphereAndDiscIsTheMonoOneInItsChannels) {
    Tables t;
    std::vector<uint32_t> map(kTexelMapBytes / 4);
    std::mt19937 rng(5);
    for (uint32_t& texel : map) texel = rng() & 0xFEFFFFFFu;  // luminance apart from the colour bytes
    const uint32_t* tex = map.data() + kTexelMapReferenceOffset / 4;
    const int32_t mRed[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, mCyan[9] = {56756, 0, 32768, 0, 65536, 0, -32768, 0, 56756};
    struct Case {
        int32_t hRed, hCyan, cy, r;
        Rect redClip, cyanClip;
    } cases[] = {
        {40, 30, 30, 20, {0, 0, 60, 80}, {0, 0, 60, 80}},
        {-10, 70, 25, 30, {0, 0, 60, 80}, {0, 0, 60, 80}},         // each eye cut at another side
        {-3000, 3100, 30, 3050, {0, 0, 60, 80}, {0, 0, 60, 80}},   // huge, the eyes' windows apart on the surface
        {90, 85, 500, 480, {0, 0, 60, 80}, {0, 0, 60, 80}},        // only the top of both discs shows
        {40, 30, 30, 20, {0, 0, 60, 45}, {0, 20, 60, 80}},         // clips of their own
        {5000, 40, 30, 12, {0, 0, 60, 80}, {0, 0, 60, 80}},        // the red eye off the surface
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hRed << " " << c.hCyan << " r " << c.r);
        auto sphere = [&](int32_t h, const int32_t* m, Rect clip) {
            return [=, &t](uint8_t* b) { Rect k = clip; DrawSphere(k, h, c.cy, c.r, m, b, 320, tex, t.T, t.U); };
        };
        ExpectEyesAreMono(80, 60, [&](uint8_t* b) {
            Rect red = c.redClip, cyan = c.cyanClip;
            DrawSphere3D(tex, t.T, t.U, red, cyan, c.hRed, c.hCyan, c.cy, mRed, mCyan, c.r, b, 320);
        }, sphere(c.hRed, mRed, c.redClip), sphere(c.hCyan, mCyan, c.cyanClip), Luminance);
        auto disc = [&](int32_t h, Rect clip) {
            return [=, &t](uint8_t* b) { Rect k = clip; DrawShadedDisc(k, h, c.cy, c.r, 0x00C8C8C8u, b, 320, t.T); };
        };
        ExpectEyesAreMono(80, 60, [&](uint8_t* b) {
            Rect red = c.redClip, cyan = c.cyanClip;
            DrawShadedDisc3D(red, cyan, c.hRed, c.hCyan, c.cy, c.r, 200, b, 320, t.T);
        }, disc(c.hRed, c.redClip), disc(c.hCyan, c.cyanClip), Blue);
    }
}

TEST(Stereo, EachEyesRingIsTheMonoRingInItsChannelsPinnedNotWrapped) {
    Tables t;
    std::vector<uint32_t> profile(1024), grey(1024);
    for (int i = 0; i < 1024; ++i) profile[i] = MakeTexel(30 + i / 8, 0, 0, 0), grey[i] = MakeTexel(0, 30 + i / 8, 30 + i / 8, 30 + i / 8);
    const int32_t mRed[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, mCyan[9] = {65536, 0, 0, 0, 46341, -46341, 0, 46341, 46341};
    const int32_t edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};
    const Rect full{0, 0, 64, 96};
    for (const int32_t* cyanM : {mCyan, edgeOn})
        for (int half = 0; half < 2; ++half) {
            std::vector<uint32_t> stereo(64 * 96, 0x00E0E0E0u), red = stereo, cyan = stereo;
            DrawRing3D(full, full, t.T, 60, 36, 32, 10, 28, cyanM, mRed, reinterpret_cast<uint8_t*>(stereo.data()), 384, profile.data(), half);
            DrawRing(full, t.T, 36, 32, 10, 28, mRed, reinterpret_cast<uint8_t*>(red.data()), 384, grey.data(), half);
            DrawRing(full, t.T, 60, 32, 10, 28, cyanM, reinterpret_cast<uint8_t*>(cyan.data()), 384, grey.data(), half);
            int touched = 0;
            for (size_t i = 0; i < stereo.size(); ++i) {
                const int x = int(i % 96);  // each eye walks its centre - R .. centre + R - 1
                ASSERT_EQ((stereo[i] >> 16) & 255, x >= 8 && x < 64 ? (red[i] >> 16) & 255 : 0xE0u) << i;
                ASSERT_EQ(stereo[i] & 0xFFFF, x >= 32 && x < 88 ? cyan[i] & 0xFFFF : 0xE0E0u) << i;
                touched += stereo[i] != 0x00E0E0E0u;
            }
            EXPECT_GT(touched, 300);
        }
}

}  // namespace
