// Body labels: which lines, where, in which colour, and the number format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "RenderScene.h"
#include "core/Units.h"
#include "render/Camera.h"
#include "render/LabelPlacement.h"

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
    int32_t ThemeTextWidth(const std::string& text, int16_t) override { return 6 * int32_t(text.size()); }
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
    rt.eyeDistance = 2000;  // looking past the body: red view 6 px left of the centre, cyan 6 px right
    s.Draw();
    ASSERT_EQ(s.text.drawn.size(), 4u);
    const int32_t lefts[4] = {104, 104, 116, 116};
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

// Boxes of the drawn text lines, one per label (lines of one label stack into one box).
std::vector<Rect> LabelBoxes(const std::vector<DrawnText>& drawn, size_t linesPerLabel) {
    std::vector<Rect> boxes;
    for (size_t n = 0; n + linesPerLabel <= drawn.size(); n += linesPerLabel) {
        Rect b = drawn[n].box;
        size_t widest = 0;
        for (size_t k = 0; k < linesPerLabel; ++k) widest = std::max(widest, drawn[n + k].text.size());
        b.bottom = drawn[n + linesPerLabel - 1].box.bottom;
        b.right = int16_t(b.left + 6 * widest);
        boxes.push_back(b);
    }
    return boxes;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct CrowdScene : RenderScene {
    RecordingText text;
    explicit CrowdScene(int bodies) : RenderScene(bodies, 300, 200, 400) {
        SetPlatformBackend(&text);
        for (int b = 0; b < bodies; ++b) {
            BodyRTStruct& body = Body(b);
            body.radius = 5;
            body.color = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
            body.name[0] = 6;
            std::memcpy(body.name + 1, "Body ", 5);
            body.name[6] = uint8_t('A' + b);
        }
    }
    ~CrowdScene() { SetPlatformBackend(nullptr); }
};

TEST(Labels, CloseBodiesLabelsDoNotOverprintAndTheNearestKeepsItsPlace) {
    CrowdScene s(4);
    // Four bodies a few pixels apart on screen, body 3 the nearest to the eye.
    for (int b = 0; b < 4; ++b) {
        s.Body(b).pos[0] = -30.0 * (3 - b);  // farther for lower indices
        s.Body(b).pos[1] = 3.0 * b;
        s.Body(b).pos[2] = -2.0 * b;
    }
    set.labelFlags = 1 | 8;  // two lines each
    s.Draw();
    ASSERT_GE(s.text.drawn.size(), 4u);  // at least two labels of two lines found room
    ASSERT_EQ(s.text.drawn.size() % 2, 0u);
    const std::vector<Rect> boxes = LabelBoxes(s.text.drawn, 2);
    for (size_t a = 0; a < boxes.size(); ++a)
        for (size_t b = a + 1; b < boxes.size(); ++b) EXPECT_FALSE(Overlap(boxes[a], boxes[b])) << a << " and " << b;
    // The nearest body's label is set first, at its usual place: right of its square, from its top.
    EXPECT_EQ(s.text.drawn[0].text, "Body D");
    const Point at = s.Body(3).screenPos;
    const int32_t d = int32_t(ApparentDiameter(5, 400 / (-(1000.0 - s.Body(3).pos[0]) * 65536)));
    EXPECT_EQ(s.text.drawn[0].box.left, at.h - d / 2 + d);
    EXPECT_EQ(s.text.drawn[0].box.top, at.v - d / 2 + 16 - 14);
}

TEST(Labels, FarApartBodiesKeepTheirUsualPlaces) {
    CrowdScene s(2);
    s.Body(0).pos[1] = -100;
    s.Body(1).pos[1] = 100;
    set.labelFlags = 1;
    s.Draw();
    ASSERT_EQ(s.text.drawn.size(), 2u);
    for (const DrawnText& t : s.text.drawn) {
        const int b = t.text == "Body A" ? 0 : 1;
        EXPECT_EQ(t.box.left, s.Body(b).screenPos.h + 2);  // a 4 px square: right edge at centre + 2
    }
}

TEST(LabelPlace, TriesRightThenBelowThenLeftAndGivesUp) {
    const Rect square{100, 100, 110, 110}, box{102, 110, 118, 160};
    int32_t dx = -1, dy = -1;
    ASSERT_TRUE(ChooseLabelPlace(box, square, nullptr, 0, dx, dy));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    const Rect takenRight{100, 112, 112, 200};
    ASSERT_TRUE(ChooseLabelPlace(box, square, &takenRight, 1, dx, dy));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 10);  // below the square's height
    const Rect takenRightAll{95, 112, 140, 200};
    ASSERT_TRUE(ChooseLabelPlace(box, square, &takenRightAll, 1, dx, dy));
    EXPECT_EQ(dx, -62);  // box right edge 2 px left of the square
    EXPECT_EQ(dy, 0);
    const Rect everywhere{0, 0, 300, 300};
    EXPECT_FALSE(ChooseLabelPlace(box, square, &everywhere, 1, dx, dy));
}

}  // namespace
