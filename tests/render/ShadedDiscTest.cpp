// Untextured bodies: filled discs over the textured sphere's pixels, shaded toward the limb.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "RenderScene.h"
#include "imagery/ShadedDisc.h"

namespace {

struct Tables {
    uint16_t T[256], U[256];
    Tables() { FillSphereTables(T, U); }
};

constexpr uint32_t kSentinel = 0x00010203u;

uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 255; }

TEST(ShadedDisc, CoversExactlyTheTexturedSpheresPixels) {
    Tables t;
    std::vector<uint32_t> map(kTexelMapBytes / 4, 0x80808080u);  // no black texel anywhere
    const int32_t m[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};
    for (int32_t r : {1, 2, 3, 7, 30, 45}) {
        std::vector<uint32_t> sphere(100 * 80, kSentinel), disc = sphere;
        Rect a{0, 0, 80, 100}, b = a;
        DrawSphere(a, 40, 35, r, m, reinterpret_cast<uint8_t*>(sphere.data()), 400,
                   map.data() + kTexelMapReferenceOffset / 4, t.T, t.U);
        DrawShadedDisc(b, 40, 35, r, 0x00FFFFFFu, reinterpret_cast<uint8_t*>(disc.data()), 400, t.T);
        int covered = 0;
        for (size_t i = 0; i < disc.size(); ++i) {
            ASSERT_EQ(sphere[i] != kSentinel, disc[i] != kSentinel) << "r " << r << " pixel " << i;
            covered += disc[i] != kSentinel;
        }
        if (r == 30) {  // wholly on the surface
            EXPECT_NEAR(covered, M_PI * r * r, 0.05 * M_PI * r * r);
        }
        EXPECT_EQ(b.top, a.top);  // the clip is shrunk as the sphere painter shrinks it
        EXPECT_EQ(b.right, a.right);
    }
}

TEST(ShadedDisc, BrightnessFollowsTheSlopeTowardTheEyeInTheBodysHue) {
    Tables t;
    std::vector<uint32_t> buf(120 * 120, 0);
    Rect clip{0, 0, 120, 120};
    const int32_t r = 50;
    DrawShadedDisc(clip, 60, 60, r, 0x00C86432u, reinterpret_cast<uint8_t*>(buf.data()), 480, t.T);  // 200, 100, 50
    for (int dx = 0; dx < r; dx += 7) {
        const uint32_t p = buf[60 * 120 + 60 + dx];
        const double rho = double(dx) / r, facing = std::sqrt(1 - rho * rho);
        const double shade = (kDiscLimbShade + (256 - kDiscLimbShade) * facing) / 256;
        EXPECT_NEAR(Channel(p, 16), 200 * shade, 4) << dx;
        EXPECT_NEAR(Channel(p, 8), 100 * shade, 3) << dx;
        EXPECT_NEAR(Channel(p, 0), 50 * shade, 2) << dx;
    }
    // Brightest in the middle, darkest at the rim, never brighter further out.
    uint32_t previous = 255;
    for (int dx = 0; dx < r; ++dx) {
        const uint32_t red = Channel(buf[60 * 120 + 60 + dx], 16);
        EXPECT_LE(red, previous) << dx;
        previous = red;
    }
    EXPECT_GE(Channel(buf[60 * 120 + 60], 16), 198u);
    EXPECT_LE(previous, 200u * (kDiscLimbShade + 60) / 256);
}

TEST(ShadedDisc, StereoEyesWriteTheirOwnChannels) {
    Tables t;
    std::vector<uint32_t> buf(100 * 60, 0);
    Rect red{0, 0, 60, 100}, cyan = red;
    DrawShadedDisc3D(red, cyan, 60, 40, 30, 12, 200, reinterpret_cast<uint8_t*>(buf.data()), 400, t.T);
    auto at = [&](int x, int y) { return buf[size_t(y) * 100 + x]; };
    EXPECT_EQ(Channel(at(65, 30), 16), Channel(at(35, 30), 8));  // mirror points, same shade
    EXPECT_EQ(at(70, 30) & 0x0000FFFFu, 0u);                     // only the red eye reaches here
    EXPECT_GT(Channel(at(70, 30), 16), 0u);
    EXPECT_EQ(at(30, 30) & 0x00FF0000u, 0u);  // only the cyan eye
    EXPECT_EQ(Channel(at(30, 30), 8), Channel(at(30, 30), 0));
    const uint32_t both = at(50, 30);  // both eyes: grey
    EXPECT_GT(Channel(both, 16), 0u);
    EXPECT_EQ(Channel(both, 16), Channel(both, 8));
    // The red eye's window wholly off the surface: the cyan disc alone is drawn.
    std::vector<uint32_t> off(100 * 60, 0);
    Rect redOff{0, 0, 60, 100}, cyanOn = redOff;
    DrawShadedDisc3D(redOff, cyanOn, 5000, 40, 30, 12, 200, reinterpret_cast<uint8_t*>(off.data()), 400, t.T);
    int lit = 0;
    for (uint32_t p : off) {
        EXPECT_EQ(p & 0x00FF0000u, 0u);
        lit += p != 0;
    }
    EXPECT_NEAR(lit, M_PI * 144, 40);
}

TEST(ShadedDisc, UntexturedBodyInTheDrawStageIsFilledNotAnOutline) {
    RenderScene s(1, 120, 100, 1000);
    BodyRTStruct& b = s.Body(0);
    b.radius = 30;  // 60 px across
    b.color = RGBColor{0xFFFF, 0xC000, 0x4000};
    s.Draw();
    EXPECT_EQ(s.Pixel(60, 50), 0x00FFC040u);  // the middle faces the eye: the body's own colour
    int lit = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) lit += s.Pixel(x, y) != 0;
    EXPECT_NEAR(lit, M_PI * 30 * 30, 150);
    // Stereo, eyes together: grey of the colour's luminance in the middle.
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 0;
    rt.eyeDistance = 1000;
    s.Draw();
    const uint32_t l = TexelLuminance(0xFF, 0xC0, 0x40);
    EXPECT_NEAR(double(Channel(s.Pixel(60, 50), 16)), double(l), 1.0);
    EXPECT_EQ(Channel(s.Pixel(60, 50), 16), Channel(s.Pixel(60, 50), 0));
}

}  // namespace
