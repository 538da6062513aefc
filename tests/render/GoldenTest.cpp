// Whole frames of the draw stage against stored images.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <cstring>
#include <memory>

#include "GoldenImage.h"
#include "RenderScene.h"
#include "platform/qt/QtBackend.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/StereoGlasses.h"

namespace {

void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "gravitas-golden";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}

// Bright and dark bands with one black gap, slightly warm.
void FillRingBands(uint32_t* profile) {
    for (int i = 0; i < 1024; ++i) {
        uint32_t l = (i / 96) % 2 ? 170 : 70;
        if (i >= 600 && i < 680) l = 0;
        const uint32_t r = l, g = l * 9 / 10, b = l * 7 / 10;
        profile[i] = MakeTexel(TexelLuminance(r, g, b), r, g, b);
    }
}

void MakeTexturedSphere(RenderScene& s, int body, double radius, double poleTilt) {
    BodyRTStruct& b = s.Body(body);
    b.radius = radius;
    b.spherePix = s.NewMap();
    PrepareSpherePixMapWTest(b.spherePix);
    BuildBodyAxes(b.axes, poleTilt, 0.25, 0.6);
}

void AddRing(RenderScene& s, int body, double ratio) {
    BodyRTStruct& b = s.Body(body);
    b.ringPix = s.NewProfile();
    FillRingBands(b.ringPix);
    b.ringRadius = ratio * b.radius;
}

// Three small bodies on tilted circles, with 48 snapshots of their past positions.
void MakeOrbitsWithTrails(RenderScene& s, int first) {
    const RGBColor colours[3] = {{65535, 20000, 20000}, {20000, 65535, 20000}, {30000, 30000, 65535}};
    const int n = BodyRTList()->count;
    set.trailLength = 48;
    ResizeTrailRTList(rt.trailList, n, set.trailLength);
    for (int step = 47; step >= 0; --step) {
        for (int k = 0; k < 3; ++k) {
            BodyRTStruct& b = s.Body(first + k);
            const double a = 0.07 * step + 2.1 * k, r = 150 + 90 * k;
            b.pos[0] = 0.5 * r * std::sin(a);
            b.pos[1] = r * std::cos(a);
            b.pos[2] = 0.35 * r * std::sin(a);
            b.radius = 6 + 2 * k;
            b.color = colours[k];
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
}

// A green moon up and left of the centre, moving and accelerated, for labels and arrows.
void MakeRhea(BodyRTStruct& b) {
    b.pos[1] = -120;
    b.pos[2] = 60;
    b.radius = 20;
    b.color = RGBColor{40000, 65535, 40000};
    b.name[0] = 4;
    std::memcpy(b.name + 1, "Rhea", 4);
    b.vel[1] = 120;
    b.vel[2] = -40;
    b.acc[2] = -90;
    b.mass = 2.3e21;
}

TEST(Golden, TexturedSphere) {
    RenderScene s(1, 120, 96, 1000);
    MakeTexturedSphere(s, 0, 40, 0.5);
    s.Draw();
    ExpectMatchesGolden(RenderSurface(), "sphere", 0);
}

TEST(Golden, RingedBodyBackAndFrontHalves) {
    RenderScene s(1, 160, 100, 1000);
    MakeTexturedSphere(s, 0, 20, 0.4);  // pole tipped toward the eye: the ring opens a little
    AddRing(s, 0, 2.3);
    s.Draw();
    ExpectMatchesGolden(RenderSurface(), "ringed", 0);
}

TEST(Golden, Trails) {
    RenderScene s(3, 128, 96, 250);
    MakeOrbitsWithTrails(s, 0);
    s.Draw();
    ExpectMatchesGolden(RenderSurface(), "trails", 0);
}

TEST(Golden, LabelsAndArrows) {
    EnsureGuiApplication();
    QtBackend backend;
    SetPlatformBackend(&backend);
    RenderScene s(1, 160, 120, 400);
    MakeRhea(s.Body(0));
    set.labelFlags = 1 | 2 | 4 | 8;
    s.Draw();
    SetPlatformBackend(nullptr);
    ExpectMatchesGolden(RenderSurface(), "labels", 24);  // glyph edges may shade differently
}

// The labels-and-arrows scene on a HiDPI screen (pixel ratio 2), with a trailing moon at the
// smallest body size: the same picture at twice the pixels, text and strokes twice the size.
TEST(Golden, LabelsArrowsAndTrailsAtPixelRatio2) {
    EnsureGuiApplication();
    QtBackend backend;
    SetPlatformBackend(&backend);
    RenderScene s(2, 320, 240, 800);
    renderPixelRatio = 2;
    PenScale(2);
    MakeRhea(s.Body(0));
    BodyRTStruct& moon = s.Body(1);
    moon.pos[1] = 40;
    moon.pos[2] = -50;
    moon.radius = 0.1;
    moon.color = RGBColor{65535, 50000, 30000};
    moon.name[0] = 5;
    std::memcpy(moon.name + 1, "Dione", 5);
    set.labelFlags = 1 | 2 | 4 | 8;
    s.Draw();
    renderPixelRatio = 1;
    PenScale(1);
    SetPlatformBackend(nullptr);
    ExpectMatchesGolden(RenderSurface(), "labels-hidpi", 24);  // glyph edges may shade differently
}

TEST(Golden, Stereo) {
    RenderScene s(4, 160, 120, 300);
    MakeOrbitsWithTrails(s, 1);
    MakeTexturedSphere(s, 0, 30, 0.45);
    AddRing(s, 0, 2.0);
    s.Body(0).pos[1] = -20;
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 6;
    rt.eyeDistance = 900;
    stereoGlasses = StereoGlasses::RedRight;  // the stored picture was drawn for red-right glasses
    s.Draw();
    stereoGlasses = StereoGlasses::RedLeft;
    ExpectMatchesGolden(RenderSurface(), "stereo", 0);
}

}  // namespace
