// Whole frames of the draw stage against stored images under tests/render/golden.
// GRAVITAS_UPDATE_GOLDEN=1 rewrites the stored images instead; a mismatch leaves the actual
// image in the build tree for inspection. Text goes through the Qt backend.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "RenderScene.h"
#include "platform/qt/QtBackend.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/StereoGlasses.h"

namespace {

// tolerance: largest allowed difference of any one channel (0 = exact).
void ExpectFrameMatchesGolden(const std::string& name, int tolerance) {
    const PixelSurface s = RenderSurface();
    QImage actual(s.width, s.height, QImage::Format_RGB32);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)  // the spare byte is not colour
            reinterpret_cast<uint32_t*>(actual.scanLine(y))[x] = 0xFF000000u | (renderGW[y * s.width + x] & 0x00FFFFFFu);
    const QString golden = QString::fromStdString(std::string(GRAVITAS_SOURCE_DIR) + "/tests/render/golden/" + name + ".png");
    if (const char* update = std::getenv("GRAVITAS_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        ASSERT_TRUE(actual.save(golden, "PNG")) << golden.toStdString();
        return;
    }
    QImage stored(golden);
    const bool sameSize = !stored.isNull() && stored.size() == actual.size();
    int worst = 0, differing = 0;
    for (int y = 0; sameSize && y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), g = stored.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(g)), std::abs(qGreen(a) - qGreen(g)), std::abs(qBlue(a) - qBlue(g))});
            worst = std::max(worst, d);
            differing += d > tolerance;
        }
    if (sameSize && differing == 0) return;
    QDir().mkpath(GRAVITAS_GOLDEN_ACTUAL_DIR);
    const QString path = QString(GRAVITAS_GOLDEN_ACTUAL_DIR) + "/" + QString::fromStdString(name) + ".png";
    actual.save(path, "PNG");
    ADD_FAILURE() << "golden image " << golden.toStdString() << (stored.isNull() ? " is missing" : sameSize ? " differs" : " has another size")
                  << ": " << differing << " pixels beyond tolerance " << tolerance << " (worst " << worst << "); actual image in "
                  << path.toStdString();
}

// Labels are drawn through the Qt backend, as on screen.
struct WithQtText {
    QtBackend backend;
    WithQtText() {
        static int argc = 1;
        static char name[] = "gravitas-golden";
        static char* argv[] = {name, nullptr};
        static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
        SetPlatformBackend(&backend);
    }
    ~WithQtText() { SetPlatformBackend(nullptr); }
};

void MakeTexturedSphere(RenderScene& s, int body, double radius, double poleTilt) {
    BodyRTStruct& b = s.Body(body);
    b.radius = radius;
    b.spherePix = s.NewMap();
    PrepareSpherePixMapWTest(b.spherePix);
    BuildBodyAxes(b.axes, poleTilt, 0.25, 0.6);
}

// Bright and dark bands with one black gap, slightly warm.
void AddRing(RenderScene& s, int body, double ratio) {
    BodyRTStruct& b = s.Body(body);
    b.ringPix = s.NewProfile();
    for (uint32_t i = 0; i < 1024; ++i) {
        const uint32_t l = i >= 600 && i < 680 ? 0 : (i / 96) % 2 ? 170 : 70;
        b.ringPix[i] = MakeTexel(TexelLuminance(l, l * 9 / 10, l * 7 / 10), l, l * 9 / 10, l * 7 / 10);
    }
    b.ringRadius = ratio * b.radius;
}

// Three small bodies on tilted circles, with 48 snapshots of their past positions.
void MakeOrbitsWithTrails(RenderScene& s, int first) {
    const RGBColor colours[3] = {{65535, 20000, 20000}, {20000, 65535, 20000}, {30000, 30000, 65535}};
    set.trailLength = 48;
    ResizeTrailRTList(rt.trailList, BodyRTList()->count, set.trailLength);
    for (int step = 47; step >= 0; --step) {
        for (int k = 0; k < 3; ++k) {
            BodyRTStruct& b = s.Body(first + k);
            const double a = 0.07 * step + 2.1 * k, r = 150 + 90 * k;
            b.pos[0] = 0.5 * r * std::sin(a), b.pos[1] = r * std::cos(a), b.pos[2] = 0.35 * r * std::sin(a);
            b.radius = 6 + 2 * k;
            b.color = colours[k];
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
}

// A green moon up and left of the centre, moving and accelerated, for labels and arrows.
void MakeRhea(BodyRTStruct& b) {
    b.pos[1] = -120, b.pos[2] = 60;
    b.radius = 20;
    b.color = RGBColor{40000, 65535, 40000};
    b.name[0] = 4;
    std::memcpy(b.name + 1, "Rhea", 4);
    b.vel[1] = 120, b.vel[2] = -40, b.acc[2] = -90;
    b.mass = 2.3e21;
}

TEST(Golden, TexturedSphere) {
    RenderScene s(1, 120, 96, 1000);
    MakeTexturedSphere(s, 0, 40, 0.5);
    s.Draw();
    ExpectFrameMatchesGolden("sphere", 0);
}

TEST(Golden, RingedBodyBackAndFrontHalves) {
    RenderScene s(1, 160, 100, 1000);
    MakeTexturedSphere(s, 0, 20, 0.4);  // pole tipped toward the eye: the ring opens a little
    AddRing(s, 0, 2.3);
    s.Draw();
    ExpectFrameMatchesGolden("ringed", 0);
}

TEST(Golden, Trails) {
    RenderScene s(3, 128, 96, 250);
    MakeOrbitsWithTrails(s, 0);
    s.Draw();
    ExpectFrameMatchesGolden("trails", 0);
}

TEST(Golden, LabelsAndArrows) {
    WithQtText qt;
    RenderScene s(1, 160, 120, 400);
    MakeRhea(s.Body(0));
    set.labelFlags = 1 | 2 | 4 | 8;
    s.Draw();
    ExpectFrameMatchesGolden("labels", 24);  // glyph edges may shade differently
}

// The labels-and-arrows scene on a HiDPI screen (pixel ratio 2), with a trailing moon at the
// smallest body size: the same picture at twice the pixels, text and strokes twice the size.
TEST(Golden, LabelsArrowsAndTrailsAtPixelRatio2) {
    WithQtText qt;
    RenderScene s(2, 320, 240, 800);
    renderPixelRatio = 2;
    PenScale(2);
    MakeRhea(s.Body(0));
    BodyRTStruct& moon = s.Body(1);
    moon.pos[1] = 40, moon.pos[2] = -50;
    moon.radius = 0.1;
    moon.color = RGBColor{65535, 50000, 30000};
    moon.name[0] = 5;
    std::memcpy(moon.name + 1, "Dione", 5);
    set.labelFlags = 1 | 2 | 4 | 8;
    s.Draw();
    renderPixelRatio = 1;
    PenScale(1);
    ExpectFrameMatchesGolden("labels-hidpi", 24);
}

TEST(Golden, Stereo) {
    RenderScene s(4, 160, 120, 300);
    MakeOrbitsWithTrails(s, 1);
    MakeTexturedSphere(s, 0, 30, 0.45);
    AddRing(s, 0, 2.0);
    s.Body(0).pos[1] = -20;  // off the centre: each eye sees it along its own line of sight
    set.displayFlags = kStereoOnFlag;
    set.eyeRadius = 6;
    rt.eyeDistance = 900;
    stereoGlasses = StereoGlasses::RedRight;  // the stored picture was drawn for red-right glasses
    s.Draw();
    stereoGlasses = StereoGlasses::RedLeft;
    ExpectFrameMatchesGolden("stereo", 0);
}

}  // namespace
