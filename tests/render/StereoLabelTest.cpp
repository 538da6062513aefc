// Stereo frames and body labels. Each eye's view must be the mono view of the body seen from
// that eye, and the eye behind the red filter must get the red view, or depth reads reversed:
// a point beyond the look-at distance has uncrossed disparity (its image for the left eye
// lies left of the right eye's) and appears behind the screen, a nearer point is crossed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "RenderScene.h"
#include "core/Units.h"
#include "imagery/Stars.h"
#include "render/Camera.h"
#include "render/IJK.h"
#include "render/LabelPlacement.h"
#include "render/PixelRatio.h"
#include "render/StereoGlasses.h"

namespace {

constexpr int kW = 160, kH = 120;
constexpr int32_t kEyeRadius = 8;
constexpr double kEyeOffset = 50;  // world units: eyeRadius x eyeDistance / focalLength

struct StereoScene : RenderScene {
    explicit StereoScene(StereoGlasses glasses, int width = kW) : RenderScene(1, width, kH, 400) {
        stereoGlasses = glasses;
        set.eyeRadius = kEyeRadius;
        rt.eyeDistance = kEyeOffset * 400 / kEyeRadius;
        Body(0).radius = 60, Body(0).color = RGBColor{65535, 65535, 65535};
        BuildBodyAxes(Body(0).axes, 0.4, 0.0, 0.3);  // pole tipped toward the eye: a ring is seen open
    }
    ~StereoScene() { stereoGlasses = StereoGlasses::RedLeft; }
    std::vector<uint32_t> Render(bool stereo, double bodyY) {
        Body(0).pos[1] = bodyY;
        set.displayFlags = stereo ? kStereoOnFlag : 0;
        Draw();
        return std::vector<uint32_t>(renderGW, renderGW + Width() * kH);
    }
    double MeanX(int shift) const {  // of the pixels lit in a channel (16 red, 8 green)
        double sum = 0, n = 0;
        for (int t = 0; t < Width() * kH; ++t)
            if (renderGW[t] >> shift & 255) sum += t % Width(), ++n;
        return n ? sum / n : -1e9;
    }
    // Pixels where a channel of a stereo image differs from the mono image of the body moved by
    // the eye's offset (rendered here), displaced on screen by the eye's shift; lit counts the mono's.
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
    s.Body(0).vel[2] = 600, s.Body(0).acc[1] = -500;  // the yellow acceleration arrow: red in one eye, green in the other
    set.labelFlags = 4;
    const std::vector<uint32_t> stereo = s.Render(true, 40);
    int lit = 0;
    EXPECT_EQ(s.Mismatches(stereo, 40 - kEyeOffset, 16, kEyeRadius, lit), 0);
    EXPECT_GT(lit, 2000);  // sphere of 48 px (1810 pixels), the ring around it, the arrow
    EXPECT_EQ(s.Mismatches(stereo, 40 + kEyeOffset, 8, -kEyeRadius, lit), 0);
    EXPECT_EQ(std::count(stereo.begin(), stereo.end(), 0x00FFFF00u), 0) << "eye colours replace yellow";
    // The smallest bodies' outlines add up to white where the eyes' views meet; a body one eye
    // cannot see is not drawn for the other either.
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
                rt.focalLength = 400 * ratio;
                rt.eyeDistance = 1000;  // zero parallax at the look-at distance
                s.Body(0).radius = 4, s.Body(0).pos[0] = rt.eyePos[0] - distance;
                set.displayFlags = kStereoOnFlag;
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
        StereoScene s(glasses, 320);  // stars at infinity: the shift that lays the cyan stars on the red ones
        set.displayFlags = kStereoOnFlag;
        Handle list = NewStarListHandle();
        FillWithStars(list, 3000, nullptr);
        DrawStars(renderGWRect, IJK{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}}, list, 400, 160, kH / 2);
        DisposeStarListHandle(list);
        int bestShift = 0, bestMatches = -1;
        for (int shift = -3 * kEyeRadius, matches = 0; shift <= 3 * kEyeRadius; ++shift, matches = 0) {
            for (int t = 0; t < 320 * kH; ++t)
                matches += t % 320 + shift >= 0 && t % 320 + shift < 320 && (renderGW[t] >> 16) && (renderGW[t + shift] >> 8 & 255);
            if (matches > bestMatches) bestMatches = matches, bestShift = shift;
        }
        EXPECT_GT(bestMatches, 100);
        EXPECT_EQ(bestShift, glasses == StereoGlasses::RedLeft ? 2 * kEyeRadius : -2 * kEyeRadius);
    }
}

struct LabelScene : RenderScene, PlatformBackend {
    struct Text {
        std::string text;
        Rect box;
        RGBColor color;
        bool additive;
    };
    std::vector<Text> drawn;
    LabelScene(int bodies, int width, int height) : RenderScene(bodies, width, height, 400) { SetPlatformBackend(this); }
    ~LabelScene() { SetPlatformBackend(nullptr); }
    int32_t DrawThemeText(PixelSurface&, const Rect& box, const std::string& text, int16_t font, TextJustify justify,
                          RGBColor color, bool additive) override {
        EXPECT_TRUE(font == 3 && justify == TextJustify::Left);
        drawn.push_back(Text{text, box, color, additive});
        return 0;
    }
    int32_t ThemeTextWidth(const std::string& text, int16_t) override { return 6 * int32_t(text.size()); }
    void Name(int b, const std::string& name) { std::memcpy(Body(b).name, (char(name.size()) + name).data(), name.size() + 1); }
    bool Ends(int n, const std::string& end) const {  // a value after the prefix naming it
        const std::string& t = drawn[n].text;
        return t.size() >= end.size() && t.compare(t.size() - end.size(), end.size(), end) == 0;
    }
};

TEST(Labels, LinesStackBelowTheNameInScientificNotationMonoAndInBothEyes) {
    LabelScene s(1, 200, 100);
    BodyRTStruct& b = s.Body(0);
    b.radius = 25;  // 20 px across at the centre
    b.color = RGBColor{0x1111, 0x2222, 0x3333};
    s.Name(0, "Titan");
    b.vel[1] = 3000, b.vel[2] = 4000, b.mass = 2, b.potential = -1.0e7;
    set.labelFlags = 1 | 8 | 32 | 128;  // name, |v|, kinetic and total energy
    s.Draw();
    ASSERT_EQ(s.drawn.size(), 4u);
    const std::string values[4] = {"Titan", MyRealToSciNotString(5000.0), MyRealToSciNotString(2.5e7), MyRealToSciNotString(5e6)};
    for (int n = 0; n < 4; ++n) {  // right of the square around (100, 50), baselines 16 apart
        const Rect& r = s.drawn[n].box;
        EXPECT_TRUE(s.Ends(n, values[n]) && (n == 0 || s.drawn[n].text.size() > values[n].size())) << s.drawn[n].text;
        EXPECT_TRUE(r.left == 110 && r.right == 310 && r.top == 42 + 16 * n && r.bottom == 58 + 16 * n) << n;
        EXPECT_TRUE(s.drawn[n].color.green == 0x2222 && !s.drawn[n].additive);
    }
    // Stereo, looking past the body so it is crossed: with red on the left eye the red view is
    // 6 px right of the centre, the cyan view 6 px left; all lines in red, then in cyan, added.
    s.drawn.clear();
    set.labelFlags = 1 | 16, set.displayFlags = kStereoOnFlag, set.eyeRadius = 6;
    rt.eyeDistance = 2000;
    s.Draw();
    ASSERT_EQ(s.drawn.size(), 4u);
    for (int n = 0; n < 4; ++n) {
        const LabelScene::Text& d = s.drawn[n];
        EXPECT_TRUE(d.box.left == (n < 2 ? 116 : 104) && d.box.top == 42 + 16 * (n % 2) && d.additive) << n;
        EXPECT_TRUE(d.color.red == (n < 2 ? 65535 : 0) && d.color.blue == (n < 2 ? 0 : 65535) && s.Ends(n, n % 2 ? MyRealToSciNotString(0.0) : "Titan")) << n;
    }
}

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
