// Stereo depth must read right through the user's glasses: the eye behind the
// red filter gets the red view. A point beyond the look-at distance then has
// uncrossed disparity (its image for the left eye lies left of the one for
// the right eye) and appears behind the screen; a nearer point is crossed.
#include <gtest/gtest.h>

#include "RenderScene.h"
#include "imagery/Stars.h"
#include "render/StereoGlasses.h"

namespace {

constexpr int kW = 320, kH = 120;
constexpr int32_t kFocal = 400;
constexpr int32_t kEyeRadius = 8;

struct GlassesScene : RenderScene {
    explicit GlassesScene(StereoGlasses glasses) : RenderScene(1, kW, kH, kFocal) {
        stereoGlasses = glasses;
        set.eyeRadius = kEyeRadius;
        set.displayFlags = kStereoOnFlag;
        Body(0).radius = 4;  // a disc a few pixels wide
        Body(0).color = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};  // white, so both eyes' channels light up
    }
    ~GlassesScene() { stereoGlasses = StereoGlasses::RedLeft; }

    // Mean x of the pixels lit in a channel (16 red, 8 green).
    double MeanX(int shift) const {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if ((Pixel(x, y) >> shift) & 255) {
                    sum += x;
                    ++n;
                }
        return n ? sum / n : -1e9;
    }
    // Screen x of the left eye's image minus the right eye's, for a body at
    // this distance from the eye straight ahead. Positive: crossed.
    double LeftMinusRight(double distance) {
        Body(0).pos[0] = rt.eyePos[0] - distance;
        Draw();
        const double red = MeanX(16), cyan = MeanX(8);
        EXPECT_GT(red, 0) << "the red view is on screen";
        EXPECT_GT(cyan, 0) << "the cyan view is on screen";
        return stereoGlasses == StereoGlasses::RedLeft ? red - cyan : cyan - red;
    }
};

}  // namespace

TEST(StereoGlasses, RedLeftIsTheDefault) {
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedLeft);
    EXPECT_EQ(RedEyeSide(), -1);
}

TEST(StereoGlasses, AFarPointHasUncrossedDisparityForEitherGlasses) {
    for (const StereoGlasses glasses : {StereoGlasses::RedLeft, StereoGlasses::RedRight}) {
        GlassesScene s(glasses);
        rt.eyeDistance = 1000;  // the look-at distance: zero parallax there
        const double far = s.LeftMinusRight(100000);
        EXPECT_LT(far, -2 * kEyeRadius + 1.5) << "far: each eye's image is shifted outwards by the eye radius";
        EXPECT_NEAR(s.LeftMinusRight(1000), 0.0, 1.0) << "at the look-at distance both views coincide";
        EXPECT_GT(s.LeftMinusRight(400), 4.0) << "a near point is crossed: it floats in front of the screen";
    }
}

TEST(StereoGlasses, TheStarFieldSeparatesLikeAnyFarPoint) {
    for (const StereoGlasses glasses : {StereoGlasses::RedLeft, StereoGlasses::RedRight}) {
        GlassesScene s(glasses);
        Handle list = NewStarListHandle();
        ASSERT_NE(list, 0u);
        FillWithStars(list, 3000, nullptr);
        EraseRenderBuffer();
        const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
        DrawStars(renderGWRect, lookDownZ, list, kFocal, kW / 2, kH / 2);
        // The shift that lays the cyan stars on the red ones: the two views' separation.
        int bestShift = 0, bestMatches = -1;
        for (int shift = -3 * kEyeRadius; shift <= 3 * kEyeRadius; ++shift) {
            int matches = 0;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (x + shift >= 0 && x + shift < kW && ((s.Pixel(x, y) >> 16) & 255) &&
                        ((s.Pixel(x + shift, y) >> 8) & 255))
                        ++matches;
            if (matches > bestMatches) bestMatches = matches, bestShift = shift;
        }
        ASSERT_GT(bestMatches, 100);
        // Stars at infinity: the left eye's image lies the full separation left of the right eye's.
        EXPECT_EQ(bestShift, glasses == StereoGlasses::RedLeft ? 2 * kEyeRadius : -2 * kEyeRadius);
        DisposeStarListHandle(list);
    }
}
