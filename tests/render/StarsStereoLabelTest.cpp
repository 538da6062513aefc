// The star field, stereo frames and body labels. Each star is drawn where its direction projects,
// as bright on any buffer, none lost to the sky cells a view skips and none wrapped onto the screen.
// Each stereo eye sees the mono view from that eye; the eye behind the red filter gets the red view.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "RenderScene.h"
#include "ScratchDir.h"
#include "imagery/Stars.h"
#include "render/Camera.h"
#include "render/IJK.h"
#include "render/LabelPlacement.h"
#include "render/PixelRatio.h"
#include "render/StereoGlasses.h"

namespace {

// A star data file of big-endian records (right ascension in hours, declination in degrees,
// 16-bit red, green, blue: here red, and white for red 0xFFFF), read back as a star list.
Handle StarFile(const std::string& path, const std::vector<std::array<double, 3>>& stars) {
    std::vector<uint8_t> bytes(stars.empty() ? 31 : 32 * stars.size(), 0);  // none: 31 bytes, no whole record
    for (size_t s = 0; s < stars.size(); ++s) {
        for (int k = 0; k < 16; ++k) bytes[32 * s + k] = uint8_t(std::bit_cast<uint64_t>(stars[s][k / 8]) >> (56 - k % 8 * 8));
        for (int k = 24; k < 30; ++k) bytes[32 * s + k] = k < 26 ? uint8_t(int(stars[s][2]) >> (k == 24 ? 8 : 0)) : stars[s][2] == 0xFFFF ? 0xFF : 0;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return GetStarListFromFS(path);
}

TEST(Stars, AStarIsDrawnRedWhereItLiesAsBrightOnAHiDpiBufferAndNeverWrapped) {
    ScratchDir scratch;
    EXPECT_TRUE(!StarFile(scratch.prefix() + "short.stars", {}) && !GetStarListFromFS(scratch.prefix() + "missing.stars"));
    const IJK down{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}}, up{{65536, 0, 0}, {0, -65536, 0}, {0, 0, -65536}};
    const struct { double ra, dec; IJK camera; int32_t focalLength, ratio; } cases[] = {{6.3, -88.7, down, 50, 1}, {6.3, -88.7, down, 50, 2}, {6.3, -88.7, up, 50, 1},  // by the south pole
                 // A 157-degree view: a star 0.0087 degrees behind the edge of the visible half of the
                 // sky projects 65556 px right of the centre, 20 px right after a 16-bit wrap.
                 {0.00001, -(10.0 / 65556.5) * 180 / M_PI, down, 10, 1}};
    double light[3] = {}, x[3] = {}, y[3] = {};
    for (const auto& c : cases) {
        Handle list = StarFile(scratch.prefix() + "one.stars", {{c.ra, c.dec, 0x4000}});
        const int32_t size = 100 * c.ratio;
        set = SettingsStruct{}, renderPixelRatio = c.ratio, SetupRenderGW(size, size);
        DrawStars(renderGWRect, c.camera, list, c.focalLength * c.ratio, size / 2, size / 2);
        double red = 0, sumX = 0, sumY = 0, lit = 0;
        for (int t = 0; t < size * size; ++t) {
            ASSERT_EQ(renderGW[t] & 0xFF00FFFFu, 0u) << "red only";
            const double r = renderGW[t] >> 16;
            red += r, sumX += r * (t % size + 0.5), sumY += r * (t / size + 0.5), lit += r > 0;
        }
        if (&c - cases < 2) light[c.ratio] = red, x[c.ratio] = sumX / red, y[c.ratio] = sumY / red;
        EXPECT_TRUE((lit > 0) == (&c - cases < 2) && lit <= (c.ratio == 2 ? 9 : 4)) << lit;  // a ratio^2 square over (ratio + 1)^2 pixels
        DisposeMyRenderGW(), DisposeStarListHandle(list);
    }
    renderPixelRatio = 1;
    EXPECT_NEAR(light[2] / light[1], 4.0, 0.1) << "four device pixels to a window pixel, each as bright";
    EXPECT_TRUE(std::fabs(x[2] - 2 * x[1]) < 0.6 && std::fabs(y[2] - 2 * y[1]) < 0.6) << "at the same place on the screen";
}

TEST(Stars, AtAnyViewAngleEveryStarInTheViewIsDrawnGreyAsItsColour) {
    ScratchDir scratch;
    set = SettingsStruct{}, SetupRenderGW(200, 320);
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), angle(0.0, 2 * M_PI);
    std::vector<std::array<double, 3>> records, sky;
    for (int s = 0; s < 40000; ++s) {  // spread evenly over the sphere, white
        const double z = unit(rng), ra = 12.0 * (unit(rng) + 1.0), ring = std::sqrt(1 - z * z);
        records.push_back({ra, std::asin(z) * 180 / M_PI, 0xFFFF});
        sky.push_back({ring * std::cos(ra * M_PI / 12), ring * std::sin(ra * M_PI / 12), z});
    }
    Handle list = StarFile(scratch.prefix() + "even.stars", records);
    for (const double viewAngle : {10.0, 25.0, 70.0}) {
        const int32_t focal = int32_t(160 / std::tan(viewAngle * M_PI / 360));
        int inView = 0, drawn = 0;
        for (int d = 0; d < 24; ++d) {
            IJK cam;
            BuildBodyAxes(cam, std::acos(unit(rng)), angle(rng), angle(rng));
            EraseRenderBuffer();
            DrawStars(renderGWRect, cam, list, focal, 160, 100);
            for (int t = 0; t < 320 * 200; ++t) ASSERT_EQ(renderGW[t], (renderGW[t] & 255) * 0x010101u) << "grey, each channel pinned";
            for (const auto& P : sky) {  // each star projected directly
                const double depth = cam.k[0] * P[0] + cam.k[1] * P[1] + cam.k[2] * P[2];
                const double X = (cam.i[0] * P[0] + cam.i[1] * P[1] + cam.i[2] * P[2]) * (-focal / depth);
                const double Y = (cam.j[0] * P[0] + cam.j[1] * P[1] + cam.j[2] * P[2]) * (-focal / depth);
                const double fx = 160 + std::floor(X), fy = 100 - std::floor(Y);
                if (!(depth < 0 && fx >= 0 && fy >= 1 && fx < 319 && fy < 200)) continue;
                const int t = int(fy) * 320 + int(fx);
                ++inView;
                drawn += (renderGW[t] | renderGW[t + 1] | renderGW[t - 320] | renderGW[t - 319]) != 0;
            }
        }
        EXPECT_TRUE(inView > (viewAngle < 20 ? 150 : 1000) && drawn >= 0.99 * inView) << viewAngle << ": " << drawn << " of " << inView;
    }
    DisposeStarListHandle(list), DisposeMyRenderGW();
}

constexpr int kW = 160, kH = 120;
constexpr int32_t kEyeRadius = 8;
constexpr double kEyeOffset = 50;  // world units: eyeRadius x eyeDistance / focalLength

struct StereoScene : RenderScene {
    explicit StereoScene(StereoGlasses glasses, int width = kW) : RenderScene(1, width, kH, 400) {
        stereoGlasses = glasses, set.eyeRadius = kEyeRadius, rt.eyeDistance = kEyeOffset * 400 / kEyeRadius;
        Body(0).radius = 60, Body(0).color = RGBColor{65535, 65535, 65535};
        BuildBodyAxes(Body(0).axes, 0.4, 0.0, 0.3);  // pole tipped toward the eye: a ring is seen open
    }
    ~StereoScene() { stereoGlasses = StereoGlasses::RedLeft; }
    std::vector<uint32_t> Render(bool stereo, double bodyY) {
        Body(0).pos[1] = bodyY, set.displayFlags = stereo ? kStereoOnFlag : 0;
        Draw();
        return std::vector<uint32_t>(renderGW, renderGW + Width() * kH);
    }
    double MeanX(int shift) const {  // of the pixels lit in a channel (16 red, 8 green)
        double sum = 0, n = 0;
        for (int t = 0; t < Width() * kH; ++t)
            if (renderGW[t] >> shift & 255) sum += t % Width(), ++n;
        return n ? sum / n : -1e9;
    }
    // Pixels where a channel of a stereo image differs from the mono image of the body moved by the
    // eye's offset, displaced on screen by the eye's shift; lit counts the mono's.
    int Mismatches(const std::vector<uint32_t>& stereo, double bodyY, int shift, int screenShift, int& lit) {
        const std::vector<uint32_t> mono = Render(false, bodyY);
        int bad = lit = 0;
        for (int t = 0; t < kW * kH; ++t) {
            const int x = t % kW + screenShift;
            lit += (mono[t] >> shift & 255) != 0;
            bad += x >= 0 && x < kW && (mono[t] >> shift & 255) != (stereo[t + screenShift] >> shift & 255);
        }
        return bad;
    }
};

TEST(Stereo, EachEyeSeesTheRingedSphereAndItsArrowsAlongItsOwnLineOfSight) {
    StereoScene s(StereoGlasses::RedRight);  // red is the right eye's view
    uint32_t* map = s.Body(0).spherePix = s.NewMap();
    for (int row = -128; row < 128; ++row)  // grey changing along rows and columns, so a wrong turn shows
        for (int c = -64; c < 448; ++c) map[row * 512 + c] = uint32_t(row * 7 + c * 3) % 256 * 0x01010101u;
    uint32_t* profile = s.Body(0).ringPix = s.NewProfile();
    for (int i = 0; i < 1024; ++i) profile[i] = uint32_t(40 + i * 150 / 1024) * 0x01010101u;
    s.Body(0).ringRadius = 100;
    s.Body(0).vel[2] = 600, s.Body(0).acc[1] = -500, set.labelFlags = 4;  // the yellow acceleration arrow: red, and green
    const std::vector<uint32_t> stereo = s.Render(true, 40);
    int lit = 0;
    EXPECT_EQ(s.Mismatches(stereo, 40 - kEyeOffset, 16, kEyeRadius, lit), 0);
    EXPECT_GT(lit, 2000);  // sphere of 48 px (1810 pixels), the ring around it, the arrow
    EXPECT_EQ(s.Mismatches(stereo, 40 + kEyeOffset, 8, -kEyeRadius, lit), 0);
    EXPECT_EQ(std::count(stereo.begin(), stereo.end(), 0x00FFFF00u), 0) << "eye colours replace yellow";
    // The smallest bodies' outlines add up to white where the eyes meet; one eye off, neither drawn.
    s.Body(0).radius = 0.01, s.Body(0).spherePix = nullptr, s.Body(0).ringPix = nullptr;
    set.minPointSize = 3, set.labelFlags = 0, set.eyeRadius = 0;
    const std::vector<uint32_t> dot = s.Render(true, 0);
    EXPECT_GT(std::count(dot.begin(), dot.end(), 0x00FFFFFFu), 4);
    set.eyeRadius = 14;
    const std::vector<uint32_t> half = s.Render(true, -185);  // the red view off the left edge, the cyan view on
    EXPECT_EQ(std::count(half.begin(), half.end(), 0u), kW * kH);
}

TEST(StereoGlasses, FarPointsAreUncrossedAndNearOnesCrossedForEitherGlassesAndPixelRatio) {
    for (const StereoGlasses glasses : {StereoGlasses::RedLeft, StereoGlasses::RedRight}) {
        for (const int ratio : {1, 2}) {
            auto leftMinusRight = [&](double distance) {  // left eye's image minus the right's, in window pixels
                renderPixelRatio = ratio;
                StereoScene s(glasses, 320 * ratio);
                rt.focalLength = 400 * ratio, rt.eyeDistance = 1000;  // zero parallax at the look-at distance
                s.Body(0).radius = 4, s.Body(0).pos[0] = rt.eyePos[0] - distance, set.displayFlags = kStereoOnFlag;
                s.Draw();
                renderPixelRatio = 1;
                const double red = s.MeanX(16), cyan = s.MeanX(8);
                EXPECT_TRUE(red > 0 && cyan > 0) << "both views on screen";
                return (glasses == StereoGlasses::RedLeft ? red - cyan : cyan - red) / ratio;
            };
            SCOPED_TRACE(testing::Message() << (glasses == StereoGlasses::RedLeft ? "red left" : "red right") << ", ratio " << ratio);
            EXPECT_LT(leftMinusRight(100000), -2 * kEyeRadius + 1.5) << "far: each eye shifted outwards by its radius";
            EXPECT_NEAR(leftMinusRight(1000), 0.0, 1.0);
            EXPECT_GT(leftMinusRight(400), 4.0) << "a near point floats in front of the screen";
        }
    }
}

struct LabelScene : RenderScene, PlatformBackend {
    struct Text {
        std::string text;
        Rect box;
    };
    std::vector<Text> drawn;
    LabelScene(int bodies, int width, int height) : RenderScene(bodies, width, height, 400) { SetPlatformBackend(this); }
    ~LabelScene() { SetPlatformBackend(nullptr); }
    int32_t DrawThemeText(PixelSurface&, const Rect& box, const std::string& text, int16_t font, TextJustify justify, RGBColor,
                          bool) override {
        EXPECT_TRUE(font == 3 && justify == TextJustify::Left);
        drawn.push_back(Text{text, box});
        return 0;
    }
    int32_t ThemeTextWidth(const std::string& text, int16_t) override { return 6 * int32_t(text.size()); }
    void Name(int b, const std::string& name) { std::memcpy(Body(b).name, (char(name.size()) + name).data(), name.size() + 1); }
};

TEST(Labels, CloseBodiesLabelsDoNotOverprintAndTheNearestKeepsItsPlace) {
    LabelScene s(4, 300, 200);
    for (int b = 0; b < 4; ++b) {  // a few pixels apart on screen, body 3 the nearest
        s.Body(b).radius = 5, s.Body(b).color = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
        s.Body(b).pos[0] = -30.0 * (3 - b), s.Body(b).pos[1] = 3.0 * b, s.Body(b).pos[2] = -2.0 * b;
        s.Name(b, std::string("Body ") + char('A' + b));
    }
    set.labelFlags = 1 | 8;
    s.Draw();
    ASSERT_TRUE(s.drawn.size() >= 4 && s.drawn.size() % 2 == 0);  // at least two labels of two lines found room
    auto right = [&](size_t n) { return s.drawn[n].box.left + 6 * int(std::max(s.drawn[n].text.size(), s.drawn[n + 1].text.size())); };
    for (size_t a = 0; a < s.drawn.size(); a += 2)
        for (size_t b = a + 2; b < s.drawn.size(); b += 2)
            EXPECT_TRUE(right(a) <= s.drawn[b].box.left || right(b) <= s.drawn[a].box.left ||
                        s.drawn[a + 1].box.bottom <= s.drawn[b].box.top || s.drawn[b + 1].box.bottom <= s.drawn[a].box.top)
                << a / 2 << " and " << b / 2 << " overlap";
    const int32_t d = int32_t(ApparentDiameter(5, 400 / (-(1000.0 - s.Body(3).pos[0]) * 65536)));
    EXPECT_EQ(s.drawn[0].text, "Body D");
    EXPECT_TRUE(s.drawn[0].box.left == s.Body(3).screenPos.h - d / 2 + d && s.drawn[0].box.top == s.Body(3).screenPos.v - d / 2 + 2);
    // Where a label may go: right of the square from its top, right below, left (the box's
    // right edge 2 px from the square), left below, or nowhere.
    const Rect square{100, 100, 110, 110}, box{102, 110, 118, 160}, taken[3] = {{100, 112, 112, 200}, {95, 112, 140, 200}, {0, 0, 300, 300}};
    const int32_t places[4][2] = {{0, 0}, {0, 10}, {-62, 0}, {0, 0}};
    for (int n = 0; n < 4; ++n) {
        int32_t dx = 0, dy = 0;
        EXPECT_EQ(ChooseLabelPlace(box, square, n ? taken + n - 1 : nullptr, n ? 1 : 0, dx, dy), n < 3);
        EXPECT_TRUE(dx == places[n][0] && dy == places[n][1]) << n << ": " << dx << "," << dy;
    }
}

}  // namespace
