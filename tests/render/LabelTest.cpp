// Body labels: which lines, where, in which colour, and the number format.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "RenderScene.h"
#include "core/Units.h"

namespace {

struct DrawnText {
    std::string text;
    Rect box;
    RGBColor color;
    bool additive;
};

struct RecordingText : PlatformBackend {
    std::vector<DrawnText> drawn;
    int32_t DrawThemeText(PixelSurface&, const Rect& box, const std::string& text, int16_t font, TextJustify justify,
                          RGBColor color, bool additive) override {
        EXPECT_EQ(font, 3);
        EXPECT_EQ(justify, TextJustify::Left);
        drawn.push_back(DrawnText{text, box, color, additive});
        return 0;
    }
};

struct LabelScene : RenderScene {
    RecordingText text;
    LabelScene() : RenderScene(1, 200, 100, 400) {
        SetPlatformBackend(&text);
        BodyRTStruct& b = Body(0);
        b.radius = 25;  // 20 px across at the centre
        b.color = RGBColor{0x1111, 0x2222, 0x3333};
        b.name[0] = 5;
        std::memcpy(b.name + 1, "Titan", 5);
        b.vel[1] = 3000;
        b.vel[2] = 4000;
        b.mass = 2;
        b.potential = -1.0e7;
    }
    ~LabelScene() { SetPlatformBackend(nullptr); }
};

std::string Tail(const std::string& s, size_t n) { return s.size() >= n ? s.substr(s.size() - n) : s; }

TEST(Labels, LinesStackBelowTheNameWithScientificNumbers) {
    LabelScene s;
    set.labelFlags = 1 | 8 | 32 | 128;  // name, |v|, kinetic and total energy
    s.Draw();
    ASSERT_EQ(s.text.drawn.size(), 4u);
    const std::string speed = MyRealToSciNotString(5000.0);
    const std::string kinetic = MyRealToSciNotString(0.5 * 2 * 5000.0 * 5000.0);
    const std::string total = MyRealToSciNotString(0.5 * 2 * 5000.0 * 5000.0 - 2.0e7);
    EXPECT_EQ(s.text.drawn[0].text, "Titan");
    EXPECT_EQ(Tail(s.text.drawn[1].text, speed.size()), speed);
    EXPECT_EQ(Tail(s.text.drawn[2].text, kinetic.size()), kinetic);
    EXPECT_EQ(Tail(s.text.drawn[3].text, total.size()), total);
    EXPECT_GT(s.text.drawn[1].text.size(), speed.size());  // a prefix names the value
    // Square of 20 px around (100, 50): lines start at its right edge, baselines 16 apart.
    for (size_t n = 0; n < 4; ++n) {
        const DrawnText& d = s.text.drawn[n];
        const int baseline = 40 + 16 * int(n + 1);
        EXPECT_EQ(d.box.left, 110);
        EXPECT_EQ(d.box.right, 310);
        EXPECT_EQ(d.box.top, baseline - 14);
        EXPECT_EQ(d.box.bottom, baseline + 2);
        EXPECT_EQ(d.color.green, 0x2222);
        EXPECT_FALSE(d.additive);
    }
}

TEST(Labels, StereoDrawsAllLinesInRedThenInCyanAdditively) {
    LabelScene s;
    set.labelFlags = 1 | 16;
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 6;
    // Looking past the body, so it is crossed: with red on the left eye (the default glasses)
    // the red view is 6 px right of the centre, the cyan view 6 px left.
    rt.eyeDistance = 2000;
    s.Draw();
    ASSERT_EQ(s.text.drawn.size(), 4u);
    const int32_t lefts[4] = {116, 116, 104, 104};
    for (size_t n = 0; n < 4; ++n) {
        const DrawnText& d = s.text.drawn[n];
        EXPECT_EQ(d.box.left, lefts[n]) << n;
        EXPECT_TRUE(d.additive);
        EXPECT_EQ(d.color.red, n < 2 ? 65535 : 0);
        EXPECT_EQ(d.color.blue, n < 2 ? 0 : 65535);
        EXPECT_EQ(d.box.top, 40 + 16 * int(n % 2 + 1) - 14);
    }
    EXPECT_EQ(s.text.drawn[2].text, s.text.drawn[0].text);
    const std::string zero = MyRealToSciNotString(0.0);
    EXPECT_EQ(Tail(s.text.drawn[3].text, zero.size()), zero);
}

TEST(Labels, NothingWhenTheBodyIsClippedAway) {
    LabelScene s;
    set.labelFlags = 1 | 8;
    s.Body(0).pos[1] = 400;  // 160 px right of the centre: off the 200 px buffer
    s.Draw();
    EXPECT_TRUE(s.text.drawn.empty());
}

}  // namespace
