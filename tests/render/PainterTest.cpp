// The sphere, disc and ring painters: the vectorised sphere rows bit for bit the scalar texel lookup
// on every instruction set, rings where the ring plane puts them, each stereo eye the mono sphere.
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "imagery/Rings.h"
#include "imagery/ShadedDisc.h"
#include "imagery/SphereRaster.h"
#include "imagery/SphereRows.h"
#include "imagery/SpherePix.h"
#include "sim/ThreadPool.h"

namespace {

struct Tables {
    uint16_t T[256], U[256];
    Tables() { FillSphereTables(T, U); }  // the start-up tables
} const kTables;

struct Buffer {
    int32_t w;
    std::vector<uint32_t> px;
    Buffer(int32_t width, int32_t height, uint32_t fill) : w(width), px(size_t(width) * height, fill) {}
    uint8_t* base() { return reinterpret_cast<uint8_t*>(px.data()); }
    int32_t rowBytes() const { return 4 * w; }
    size_t Count(uint32_t v) const { return size_t(std::count(px.begin(), px.end(), v)); }
};

// A turn in 16.16 from a random unit quaternion; now and then, if allowed, a matrix of any
// entries, such as a frame that has drifted from orthonormal.
void RandomRotation(std::mt19937& rng, int32_t m[9], bool anyEntries) {
    std::normal_distribution<double> n(0.0, 1.0);
    double q[4] = {n(rng), n(rng), n(rng), n(rng)}, l = std::hypot(q[0], q[1], std::hypot(q[2], q[3]));
    const double w = q[0] / l, x = q[1] / l, y = q[2] / l, z = q[3] / l;
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y), 2 * (x * y + w * z), 1 - 2 * (x * x + z * z),
                         2 * (y * z - w * x), 2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)};
    const bool any = anyEntries && rng() % 5 == 0;
    for (int k = 0; k < 9; ++k) m[k] = any ? int32_t(rng() % 131073) - 65536 : int32_t(std::lround(r[k] * 65536));
}

class VectorSphere : public testing::TestWithParam<std::pair<bool, int32_t>> {};  // start-up tables?, pool threads

TEST_P(VectorSphere, PaintsTheScalarTexelLookupsPixelsOnEveryInstructionSet) {
    Tables t = kTables;
    if (!GetParam().first)  // tables the arithmetic does not give must be read as given
        for (int i = 0; i < 256; ++i) t.T[i] = uint16_t(t.T[i] ^ (i & 3)), t.U[i] = uint16_t(t.U[i] - i % 7);
    std::vector<uint32_t> map(kTexelMapBytes / 4);
    std::mt19937 rng(17);
    for (uint32_t& texel : map) texel = rng();  // every texel different: a wrong index shows
    const uint32_t* tex = map.data() + kTexelMapReferenceOffset / 4;
    SetPoolThreadCount(GetParam().second);
    for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(SphereRowsTarget());
        for (int32_t c = 0; c < 40; ++c) {
            int32_t m[9];
            RandomRotation(rng, m, true);
            const int32_t r = 1 + int32_t(rng() % (c % 4 == 0 ? 400 : 90));  // every fourth banded over the pool
            const int32_t cx = int32_t(rng() % 620) - 100, cy = int32_t(rng() % 500) - 100;
            const int16_t top = int16_t(rng() % 120), left = int16_t(rng() % 160);
            Rect a{top, left, int16_t(top + 1 + rng() % (300 - top)), int16_t(left + 1 + rng() % (420 - left))}, b = a;
            Buffer vec(423, 300, 0);  // padded rows under noise: a stray write shows
            std::generate(vec.px.begin(), vec.px.end(), rng);
            Buffer scalar = vec;
            DrawSphere(a, cx, cy, r, m, vec.base(), vec.rowBytes(), tex, t.T, t.U);
            using namespace sphere_raster;
            ShrinkTo(b, cx, cy, r);
            const int32_t step = 65536 / r;
            for (int32_t py = b.top; py < b.bottom; ++py)
                for (int32_t px = b.left, y = (-(py - cy) * step) >> 8; px < b.right; ++px) {
                    const int32_t x = ((px - cx) * step) >> 8, q = 65536 - y * y - x * x;
                    if (q > 0) scalar.px[py * 423 + px] = TexelAt(tex, m, x, SqrtQ(q, t.T), y * m[1], y * m[4], y * m[7], t.U);
                }
            ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "the clip is shrunk to the disc's square";
            ASSERT_EQ(vec.px, scalar.px) << "case " << c << " radius " << r << " at " << cx << "," << cy;
        }
    }
    hwy::SetSupportedTargetsForTest(0), SetPoolThreadCount(0);
}
INSTANTIATE_TEST_SUITE_P(Tables, VectorSphere, testing::Values(std::pair{true, 0}, std::pair{false, 0}, std::pair{true, 3}));

TEST(Sphere, TheDiscAndTheSphereCoverTheCircleInTheirClipWithTexelsOfTheMapOnly) {
    std::vector<uint32_t> map(kTexelMapBytes / 4, 0xDEADBEEF);  // outside the addressed rows a wrong index shows
    uint32_t* ref = map.data() + kTexelMapReferenceOffset / 4;
    for (int rho = -128; rho < 128; ++rho) std::fill(ref + rho * 512 - 64, ref + rho * 512 + 448, 0x00FFFFFFu);
    const int32_t identity[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536}, poleOn[9] = {65536, 0, 0, 0, 0, 65536, 0, 65536, 0};
    for (const int32_t* m : {identity, poleOn}) {  // pole on: Z reaches 128 at the centre
        Buffer sphere(40, 40, 0), disc(40, 40, 0);
        Rect clip{0, 0, 40, 40}, discClip = clip;
        DrawSphere(clip, 20, 20, 10, m, sphere.base(), 160, ref, kTables.T, kTables.U);
        DrawShadedDisc(discClip, 20, 20, 10, 0x00FFFFFF, disc.base(), 160, kTables.T);
        EXPECT_TRUE(std::memcmp(&clip, &discClip, sizeof clip) == 0 && clip.top == 10 && clip.right == 30) << "shrunk to the square";
        for (int i = 0; i < 40 * 40; ++i) {
            const int d2 = (i % 40 - 20) * (i % 40 - 20) + (i / 40 - 20) * (i / 40 - 20);
            ASSERT_TRUE(sphere.px[i] == 0 || sphere.px[i] == 0x00FFFFFFu) << i;
            ASSERT_EQ(sphere.px[i] != 0, disc.px[i] != 0) << "the untextured disc covers the same pixels, " << i;
            ASSERT_TRUE(d2 < 81 ? sphere.px[i] != 0 : d2 > 121 ? sphere.px[i] == 0 : true) << i;
        }
    }
    // Far off the buffer, where 16-bit edges would wrap around into it, and beside the clip.
    Buffer buf(40, 40, 0);
    using Away = std::tuple<int32_t, int32_t, Rect>;
    for (const auto& [cx, cy, clip] : {Away{20, -40005, {0, 0, 40, 40}}, Away{20, 70000, {0, 0, 40, 40}}, Away{10, 30, {0, 35, 5, 40}}}) {
        Rect c = clip;
        DrawSphere(c, cx, cy, 5, identity, buf.base(), 160, ref, kTables.T, kTables.U);
        EXPECT_GE(c.top, c.bottom) << cy;
    }
    EXPECT_EQ(buf.Count(0), 40u * 40);
    // Pictures become surface maps sampled bilinearly channel by channel, pinned to their edges.
    const uint32_t picture[4] = {0x00204080, 0x00A0C0E0, 0x00000000, 0x00FFFFFF};
    const Rect bounds{0, 0, 2, 2};
    EXPECT_EQ(InterpolateRGBFrom24BitPixMap(reinterpret_cast<const uint8_t*>(picture), 8, &bounds, 0.5, 0), TexelLuminance(0x60, 0x80, 0xB0) << 24 | 0x6080B0);
    EXPECT_EQ(InterpolateRGBFrom24BitPixMap(reinterpret_cast<const uint8_t*>(picture), 8, &bounds, 5, 7) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(ShadedDisc, BrightnessFollowsTheSlopeTowardTheEyeInTheBodysHue) {
    Buffer buf(120, 120, 0);
    Rect clip{0, 0, 120, 120};
    DrawShadedDisc(clip, 60, 60, 50, 0x00C86432u, buf.base(), 480, kTables.T);  // 200, 100, 50
    for (int dx = 0; dx < 50; ++dx) {
        const uint32_t p = buf.px[60 * 120 + 60 + dx];
        const double rho = dx / 50.0, shade = (kDiscLimbShade + (256 - kDiscLimbShade) * std::sqrt(1 - rho * rho)) / 256;
        for (const int shift : {16, 8, 0}) EXPECT_NEAR((p >> shift) & 255, (0xC86432 >> shift & 255) * shade, 4) << dx;
        EXPECT_TRUE(dx == 0 || p <= buf.px[60 * 120 + 59 + dx]) << "never brighter further out, " << dx;
    }
}

// Both halves of a ring of radii ri..r around (cx, cy): where the ring plane's point under a pixel
// lies between the radii the pixel is visited once (each texel adds 1 to red over a red of 0x40)
// with the profile index of that radius (in green and blue), elsewhere not at all; the back half
// lies behind the body's centre, the front half before it.
void ExpectRingOnItsPlane(const int32_t* m, int32_t ri, int32_t r, int32_t cx, int32_t cy, int32_t size, const Rect& clip) {
    std::vector<uint32_t> profile(kRingProfileTexels);
    for (int32_t i = 0; i < kRingProfileTexels; ++i) profile[i] = MakeTexel(0, 1, i >> 8, i & 255);
    Buffer back(size, size, 0x00400000u);
    DrawRing(clip, kTables.T, cx, cy, ri, r, m, back.base(), back.rowBytes(), profile.data(), 0);
    Buffer both = back;
    DrawRing(clip, kTables.T, cx, cy, ri, r, m, both.base(), both.rowBytes(), profile.data(), 1);
    const double n6 = m[6] / 65536.0, n7 = m[7] / 65536.0, n8 = m[8] / 65536.0;
    const double margin = 1.5 + 2.0 * r / (256 * std::fabs(n8));  // the painter's fixed-point steps
    int lit = 0;
    for (int32_t py = 0; py < size; ++py)
        for (int32_t px = 0; px < size; ++px) {
            const double X = px - cx, Y = cy - py, Z = -(X * n6 + Y * n7) / n8, rho = std::sqrt(X * X + Y * Y + Z * Z);
            const uint32_t v = both.px[size_t(py) * size + px], visits = ((v >> 16) & 255) - 0x40;
            const bool inClip = py >= clip.top && py < clip.bottom && px >= clip.left && px < clip.right;
            const bool inBack = back.px[size_t(py) * size + px] != 0x00400000u;
            const bool on = inClip && rho > ri + margin && rho < r - margin, off = !inClip || rho < ri - margin || rho > r + margin;
            const double index = 1024 * (rho - ri) / (r - ri), slack = 1024 * (margin + 1) / (r - ri);
            ASSERT_TRUE(visits <= 1 && (!on || visits == 1) && (!off || visits == 0))
                << px << "," << py << " rho " << rho << ": " << visits << " visits";
            ASSERT_TRUE(!on || std::fabs(double(v & 0xFFFF) - index) <= slack)
                << px << "," << py << ": profile index " << (v & 0xFFFF) << " for rho " << rho;
            ASSERT_TRUE(inBack ? Z < margin : !visits || Z > -margin) << px << "," << py << (inBack ? " back" : " front") << ", Z " << Z;
            lit += visits;
        }
    EXPECT_GT(lit, 0);
}

TEST(Ring, FaceOnTippedAndRandomlyTurnedRingsLieOnTheirPlane) {
    // Face on, from below, tipped by 1/65536 and 2/65536 (row products past 32 bits), 60 degrees.
    const int32_t turns[5][9] = {{65536, 0, 0, 0, 65536, 0, 0, 0, 65536}, {65536, 0, 0, 0, -65536, 0, 0, 0, -65536},
                                 {65536, 0, 0, 0, 65536, -1, 0, 1, 65536}, {65536, 0, 0, 0, 65536, -2, 1, 2, 65535},
                                 {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}};
    const int32_t(&tilted)[9] = turns[4];
    for (const auto& m : turns)
        for (int32_t ri : {0, 10}) ExpectRingOnItsPlane(m, ri, 30, 32, 32, 64, Rect{0, 0, 64, 64});
    ExpectRingOnItsPlane(tilted, 10, 30, 32, 32, 64, Rect{5, 8, 60, 50});
    std::mt19937 rng(28);
    for (int32_t n = 0; n < 24; ++n) {
        int32_t m[9];
        do RandomRotation(rng, m, false);
        while (std::abs(m[8]) < 20000);
        const int32_t r = n % 4 == 0 ? 140 : 10 + int32_t(rng() % 50);
        SetPoolThreadCount(n % 2 ? 3 : 0);  // rings over 32768 pixels are shared out in bands of rows
        ExpectRingOnItsPlane(m, int32_t(rng() % uint32_t(r - 2)), r, 150, 150, 300, Rect{0, 0, 300, 300});
    }
    SetPoolThreadCount(0);
    // A black profile adds nothing; an edge-on ring is not drawn.
    Buffer buf(64, 64, 0x00123456);
    std::vector<uint32_t> black(1024, 0), white(1024, 0xFFFFFFFF);
    const int32_t edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};  // the ring's plane through the eye
    DrawRing(Rect{0, 0, 64, 64}, kTables.T, 32, 32, 10, 30, tilted, buf.base(), 256, black.data(), 1);
    DrawRing(Rect{0, 0, 64, 64}, kTables.T, 32, 32, 10, 30, edgeOn, buf.base(), 256, white.data(), 0);
    EXPECT_EQ(buf.Count(0x00123456u), 64u * 64);
}

TEST(Stereo, EachEyesSphereIsTheMonoOneInItsChannelsWhereverItIsCut) {
    std::vector<uint32_t> map(kTexelMapBytes / 4);
    std::mt19937 rng(5);
    for (uint32_t& texel : map) texel = rng() & 0xFEFFFFFFu;  // luminance apart from the colour bytes
    const uint32_t* tex = map.data() + kTexelMapReferenceOffset / 4;
    const int32_t mRed[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768}, mCyan[9] = {56756, 0, 32768, 0, 65536, 0, -32768, 0, 56756};
    const Rect full{0, 0, 60, 80};
    const struct { int32_t hRed, hCyan, cy, r; Rect redClip, cyanClip; } cases[] = {
        {40, 30, 30, 20, full, full}, {-10, 70, 25, 30, full, full},  // each eye cut at another side
        {-3000, 3100, 30, 3050, full, full},                          // huge, the eyes' windows apart
        {90, 85, 500, 480, full, full},                               // only the top of both discs shows
        {40, 30, 30, 20, {0, 0, 60, 45}, {0, 20, 60, 80}},            // clips of their own
        {5000, 40, 30, 12, full, full},                               // the red eye off the surface
    };
    // The stereo sphere's red channel must be the luminance of the mono sphere from the red eye's
    // centre, green and blue that from the cyan eye's; what neither eye's clip holds keeps its colour.
    for (const auto& c : cases) {
        constexpr uint32_t kBackground = 0x00102030u, kUnset = 0xFF000000u;
        Buffer s(80, 60, kBackground), red(80, 60, kUnset), cyan(80, 60, kUnset);
        Rect redClip = c.redClip, cyanClip = c.cyanClip, monoRed = c.redClip, monoCyan = c.cyanClip;
        DrawSphere3D(tex, kTables.T, kTables.U, redClip, cyanClip, c.hRed, c.hCyan, c.cy, mRed, mCyan, c.r, s.base(), 320);
        DrawSphere(monoRed, c.hRed, c.cy, c.r, mRed, red.base(), 320, tex, kTables.T, kTables.U);
        DrawSphere(monoCyan, c.hCyan, c.cy, c.r, mCyan, cyan.base(), 320, tex, kTables.T, kTables.U);
        for (size_t i = 0; i < s.px.size(); ++i) {
            const uint32_t r = red.px[i] == kUnset ? 0x10 : red.px[i] >> 24, g = cyan.px[i] == kUnset ? 0x2030 : (cyan.px[i] >> 24) * 0x101;
            ASSERT_EQ(s.px[i], r << 16 | g) << "at " << i % 80 << "," << i / 80 << ", eyes " << c.hRed << " " << c.hCyan << ", r " << c.r;
        }
        EXPECT_LT(s.Count(kBackground), s.px.size());
    }
}

}  // namespace
