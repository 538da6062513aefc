// Stereo plotting: each eye's view must be the mono view of the body seen from that eye.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "RenderScene.h"
#include "core/Units.h"
#include "imagery/Rings.h"
#include "render/IJK.h"
#include "render/StereoGlasses.h"

namespace {

constexpr int kW = 160, kH = 120;
constexpr int32_t kEyeRadius = 8;
constexpr double kEyeOffset = 50;  // world units: eyeRadius x eyeDistance / focalLength

// A map whose grey level changes along both rows and columns, so a wrong turn shows.
void FillGreyRamps(uint32_t* ref) {
    for (int row = -128; row < 128; ++row)
        for (int c = -64; c < 448; ++c) {
            const uint32_t l = uint32_t(row * 7 + c * 3) & 255;
            ref[row * 512 + c] = MakeTexel(l, l, l, l);
        }
}

struct StereoScene : RenderScene {
    StereoScene() : RenderScene(1, kW, kH, 400) {
        stereoGlasses = StereoGlasses::RedRight;  // red is the right eye's view below
        set.eyeRadius = kEyeRadius;
        rt.eyeDistance = kEyeOffset * 400 / kEyeRadius;
        BodyRTStruct& b = Body(0);
        b.radius = 60;
        b.color = RGBColor{65535, 65535, 65535};
        BuildBodyAxes(b.axes, 0.4, 0.0, 0.3);  // pole tipped toward the eye: the ring is seen open
    }
    ~StereoScene() { stereoGlasses = StereoGlasses::RedLeft; }
    void Textured(bool ring) {
        Body(0).spherePix = NewMap();
        FillGreyRamps(Body(0).spherePix);
        if (!ring) return;
        uint32_t* profile = NewProfile();
        for (int i = 0; i < 1024; ++i) {
            const uint32_t l = 40 + (i * 150) / 1024;
            profile[i] = MakeTexel(l, l, l, l);
        }
        Body(0).ringPix = profile;
        Body(0).ringRadius = 100;
    }
    std::vector<uint32_t> Render(bool stereo, double bodyY) {
        Body(0).pos[1] = bodyY;
        set.displayFlags = stereo ? kStereoOnFlag : 0;
        Draw();
        std::vector<uint32_t> out;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) out.push_back(Pixel(x, y));
        return out;
    }
};

// The stereo image's channel (shift 16 red, 8 green) against the mono image of the body
// moved by the eye's offset, displaced on screen by the eye's shift.
int CountChannelMismatches(const std::vector<uint32_t>& stereo, const std::vector<uint32_t>& mono, int shift,
                           int screenShift, int* lit) {
    int bad = 0;
    *lit = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int xs = x + screenShift;
            if (xs < 0 || xs >= kW) continue;
            const uint32_t want = (mono[y * kW + x] >> shift) & 255, got = (stereo[y * kW + xs] >> shift) & 255;
            *lit += want != 0;
            bad += want != got;
        }
    return bad;
}

TEST(Stereo, EachEyeSeesTheRingedSphereAlongItsOwnLineOfSight) {
    StereoScene s;
    s.Textured(true);
    const std::vector<uint32_t> stereo = s.Render(true, 40);
    const std::vector<uint32_t> monoRed = s.Render(false, 40 - kEyeOffset);
    const std::vector<uint32_t> monoCyan = s.Render(false, 40 + kEyeOffset);
    int lit = 0;
    EXPECT_EQ(CountChannelMismatches(stereo, monoRed, 16, kEyeRadius, &lit), 0);
    EXPECT_GT(lit, 2000);  // sphere of 48 px (1810 pixels) plus the ring around it
    EXPECT_EQ(CountChannelMismatches(stereo, monoCyan, 8, -kEyeRadius, &lit), 0);
    EXPECT_EQ(CountChannelMismatches(stereo, monoCyan, 0, -kEyeRadius, &lit), 0);
}

TEST(Stereo, ArrowsAndOutlinesFollowEachEyeInItsColour) {
    StereoScene s;
    s.Body(0).radius = 10;
    s.Body(0).vel[2] = 60;   // up the screen
    s.Body(0).acc[1] = -50;  // to the left
    set.labelFlags = 2 | 4;
    // Mono red and yellow arrows both carry red: the red eye shows both.
    const std::vector<uint32_t> stereo = s.Render(true, 40);
    int lit = 0;
    EXPECT_EQ(CountChannelMismatches(stereo, s.Render(false, 40 - kEyeOffset), 16, kEyeRadius, &lit), 0);
    EXPECT_GT(lit, 30);
    // Only the yellow one carries green: compare the cyan eye with the acceleration arrow alone.
    set.labelFlags = 4;
    const std::vector<uint32_t> onlyAcc = s.Render(true, 40);
    EXPECT_EQ(CountChannelMismatches(onlyAcc, s.Render(false, 40 + kEyeOffset), 8, -kEyeRadius, &lit), 0);
    EXPECT_GT(lit, 30);
    for (uint32_t p : onlyAcc) EXPECT_NE(p & 0xFFFFFFu, 0xFFFF00u);  // eye colours replace yellow
}

TEST(DrawRing3D, EachEyeIsTheMonoRingInItsOwnChannels) {
    uint16_t T[256], U[256];
    FillSphereTables(T, U);
    std::vector<uint32_t> profile(1024);
    for (int i = 0; i < 1024; ++i) profile[i] = MakeTexel(30 + i / 8, 0, 0, 0);
    std::vector<uint32_t> grey(1024);
    for (int i = 0; i < 1024; ++i) grey[i] = MakeTexel(0, 30 + i / 8, 30 + i / 8, 30 + i / 8);
    const int32_t mRed[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};
    const int32_t mCyan[9] = {65536, 0, 0, 0, 46341, -46341, 0, 46341, 46341};
    const Rect full{0, 0, 64, 96};
    for (int half = 0; half < 2; ++half) {
        std::vector<uint32_t> stereo(64 * 96, 0x00E0E0E0u), red(64 * 96, 0x00E0E0E0u), cyan(64 * 96, 0x00E0E0E0u);
        DrawRing3D(full, full, T, 60, 36, 32, 10, 28, mCyan, mRed, reinterpret_cast<uint8_t*>(stereo.data()), 384,
                   profile.data(), half);
        DrawRing(full, T, 36, 32, 10, 28, mRed, reinterpret_cast<uint8_t*>(red.data()), 384, grey.data(), half);
        DrawRing(full, T, 60, 32, 10, 28, mCyan, reinterpret_cast<uint8_t*>(cyan.data()), 384, grey.data(), half);
        int touched = 0;
        for (size_t i = 0; i < stereo.size(); ++i) {
            // Each eye walks its centre - R .. centre + R - 1.
            const int x = int(i % 96);
            const bool inRed = x >= 36 - 28 && x < 36 + 28, inCyan = x >= 60 - 28 && x < 60 + 28;
            ASSERT_EQ((stereo[i] >> 16) & 255, inRed ? (red[i] >> 16) & 255 : 0xE0u) << i;  // pinned, not wrapped
            ASSERT_EQ(stereo[i] & 0xFFFF, inCyan ? cyan[i] & 0xFFFF : 0xE0E0u) << i;
            touched += stereo[i] != 0x00E0E0E0u;
        }
        EXPECT_GT(touched, 300);
    }
    // An edge-on eye draws nothing while the other still does; null and R <= Ri draw nothing.
    const int32_t edgeOn[9] = {65536, 0, 0, 0, 0, -65536, 0, 65536, 1};
    std::vector<uint32_t> buf(64 * 96, 0);
    DrawRing3D(full, full, T, 60, 36, 32, 10, 28, edgeOn, mRed, reinterpret_cast<uint8_t*>(buf.data()), 384,
               profile.data(), 1);
    int redOnly = 0;
    for (uint32_t p : buf) {
        EXPECT_EQ(p & 0xFFFF, 0u);
        redOnly += p != 0;
    }
    EXPECT_GT(redOnly, 100);
    std::fill(buf.begin(), buf.end(), 0);
    DrawRing3D(full, full, T, 60, 36, 32, 28, 28, mCyan, mRed, reinterpret_cast<uint8_t*>(buf.data()), 384,
               profile.data(), 1);
    DrawRing3D(full, full, T, 60, 36, 32, 10, 28, nullptr, mRed, reinterpret_cast<uint8_t*>(buf.data()), 384,
               profile.data(), 1);
    for (uint32_t p : buf) EXPECT_EQ(p, 0u);
}

}  // namespace
