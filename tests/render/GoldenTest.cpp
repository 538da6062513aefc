// Whole frames of the draw stage against stored images under tests/render/golden, text through
// the Qt backend. GRAVITAS_UPDATE_GOLDEN=1 rewrites them; a mismatch leaves the frame in the build.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "RenderScene.h"
#include "io/Universe.h"
#include "sim/Bodies.h"
#include "platform/qt/QtBackend.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/PredictedPath.h"
#include "render/StereoGlasses.h"

namespace {

// The render buffer against the stored frame; tolerance: largest allowed difference of any one channel.
void ExpectFrame(const std::string& name, int tolerance = 0) {
    const int w = renderGWRect.right, h = renderGWRect.bottom;
    QImage actual(reinterpret_cast<const uchar*>(renderGW), w, h, QImage::Format_RGB32);  // the spare top byte is not colour
    const QString golden = QString(GRAVITAS_SOURCE_DIR "/tests/render/golden/") + name.c_str() + ".png";
    if (const char* update = std::getenv("GRAVITAS_UPDATE_GOLDEN"); update && std::string(update) == "1")
        return (void)actual.save(golden, "PNG");
    const QImage stored(golden);
    const bool sameSize = stored.size() == actual.size();
    int worst = 0, differing = 0;
    for (int t = 0; sameSize && t < w * h; ++t) {
        const QRgb a = actual.pixel(t % w, t / w), g = stored.pixel(t % w, t / w);
        const int d = std::max({std::abs(qRed(a) - qRed(g)), std::abs(qGreen(a) - qGreen(g)), std::abs(qBlue(a) - qBlue(g))});
        worst = std::max(worst, d), differing += d > tolerance;
    }
    if (sameSize && differing == 0) return;
    QDir().mkpath(GRAVITAS_GOLDEN_ACTUAL_DIR);
    actual.save(QString(GRAVITAS_GOLDEN_ACTUAL_DIR "/") + name.c_str() + ".png", "PNG");
    ADD_FAILURE() << golden.toStdString() << (sameSize ? " differs: " : " is missing or of another size: ") << differing
                  << " pixels beyond " << tolerance << " (worst " << worst << "); the frame is in " GRAVITAS_GOLDEN_ACTUAL_DIR;
}

void StartGui() {  // one application for every test that measures text or decodes pictures
    static int argc = 1;
    static char name[] = "gravitas-golden", *argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}

struct GoldenScene : RenderScene {
    using RenderScene::RenderScene;
    ~GoldenScene() { SetPlatformBackend(nullptr); }
    void DrawAndExpect(const std::string& name, int tolerance = 0) {
        Draw();
        ExpectFrame(name, tolerance);
    }
    void TexturedSphere(int body, double radius, double poleTilt) {
        PrepareSpherePixMapWTest(Body(body).spherePix = NewMap());
        BuildBodyAxes(Body(body).axes, poleTilt, 0.25, 0.6), Body(body).radius = radius;
    }
    void Ring(int body, double ratio) {  // bright and dark bands with one black gap, slightly warm
        uint32_t* p = Body(body).ringPix = NewProfile();
        for (uint32_t i = 0; i < 1024; ++i) {
            const uint32_t l = i >= 600 && i < 680 ? 0 : (i / 96) % 2 ? 170 : 70;
            p[i] = MakeTexel(TexelLuminance(l, l * 9 / 10, l * 7 / 10), l, l * 9 / 10, l * 7 / 10);
        }
        Body(body).ringRadius = ratio * Body(body).radius;
    }
    void OrbitsWithTrails(int first) {  // three small bodies on tilted circles, 48 snapshots of their past
        const RGBColor colours[3] = {{65535, 20000, 20000}, {20000, 65535, 20000}, {30000, 30000, 65535}};
        set.trailLength = 48;
        ResizeTrailRTList(rt.trailList, BodyRTList()->count, set.trailLength);
        for (int step = 47; step >= 0; --step) {
            for (int k = 0; k < 3; ++k) {
                BodyRTStruct& b = Body(first + k);
                const double a = 0.07 * step + 2.1 * k, r = 150 + 90 * k;
                b.pos[0] = 0.5 * r * std::sin(a), b.pos[1] = r * std::cos(a), b.pos[2] = 0.35 * r * std::sin(a), b.radius = 6 + 2 * k, b.color = colours[k];
            }
            PushRTListIntoTrail(rt.trailList, BodyRTList());
        }
    }
    // A green moon up and left of the centre, moving and accelerated, with its name, speed and arrows.
    void LabelledRhea() {
        StartGui();
        SetPlatformBackend(&qt);
        BodyRTStruct& b = Body(0);
        b.pos[1] = -120, b.pos[2] = 60, b.radius = 20, b.color = RGBColor{40000, 65535, 40000};
        b.vel[1] = 120, b.vel[2] = -40, b.acc[2] = -90, b.mass = 2.3e21;
        std::memcpy(b.name, "\4Rhea", 5);
        set.labelFlags = 1 | 2 | 4 | 8;
    }
    QtBackend qt;
};

// A body of the Solar System demo, as the demo file holds its pictures and ring, seen from
// `elevation` above its equator with its pole up the screen, `across` pixels wide, named.
struct DemoBody {
    QtBackend qt;
    DemoBody(const char* name, double elevation, double across, int width, int height) {
        StartGui(), SetPlatformBackend(&qt);
        rt = RunTimeStruct{}, set = SettingsStruct{}, rt.spherePixList = NewSpherePixList();
        FillSphereTables(rt.sphereSqrtTable, rt.sphereInvSqrtTable);
        EXPECT_TRUE(LoadAllSettingsFrom(GRAVITAS_SOURCE_DIR "/data/universes/solar-system.universe"));
        set.labelFlags = 1, set.trailLength = 0, set.displayFlags = 0, rt.focalLength = 400;
        SetupRenderGW(height, width);
        const BodyRTListStruct* list = BodyRTList();
        int32_t k = 0;
        while (k + 1 < list->count && std::memcmp(list->body[k].name + 1, name, std::strlen(name))) ++k;
        const BodyRTStruct& b = list->body[k];
        double out[3], up[3], side[3];
        for (int n = 0; n < 3; ++n)
            out[n] = std::cos(elevation) * b.axes.i[n] / 65536.0 + std::sin(elevation) * b.axes.k[n] / 65536.0,
            up[n] = -std::sin(elevation) * b.axes.i[n] / 65536.0 + std::cos(elevation) * b.axes.k[n] / 65536.0;
        Cross(side, up, out), LoadIJKWithVects(&rt.cameraIJK, side, up, out);
        rt.eyeDistance = rt.focalLength * 2 * (b.ringPix ? b.ringRadius : b.radius) / across;
        for (int n = 0; n < 3; ++n) rt.eyePos[n] = b.pos[n] + out[n] * rt.eyeDistance;
        EraseRenderBuffer(), DoDrawStage(renderCX, renderCY);
    }
    ~DemoBody() {
        DisposeScratchSpace(), DeallocateAllPushMemory(), DisposeMyRenderGW();
        DisposeSpherePixList(rt.spherePixList), rt.spherePixList = kNoHandle, SetPlatformBackend(nullptr);
    }
};

TEST(Golden, TexturedSphere) {
    GoldenScene s(1, 120, 96, 1000);
    s.TexturedSphere(0, 40, 0.5);
    s.DrawAndExpect("sphere");
}

TEST(Golden, RingedBodyBackAndFrontHalves) {
    GoldenScene s(1, 160, 100, 1000);
    s.TexturedSphere(0, 20, 0.4);  // pole tipped toward the eye: the ring opens a little
    s.Ring(0, 2.3);
    s.DrawAndExpect("ringed");
}

TEST(Golden, Trails) {
    GoldenScene s(3, 128, 96, 250);
    s.OrbitsWithTrails(0);
    s.DrawAndExpect("trails");
}

TEST(Golden, LabelsAndArrows) {
    GoldenScene s(1, 160, 120, 400);
    s.LabelledRhea();
    s.DrawAndExpect("labels", 24);  // glyph edges may shade differently
}

// The same on a HiDPI screen (pixel ratio 2), with a trailing moon at the smallest body size:
// the same picture at twice the pixels, text and strokes twice the size.
TEST(Golden, LabelsArrowsAndTrailsAtPixelRatio2) {
    GoldenScene s(2, 320, 240, 800);
    renderPixelRatio = 2, PenScale(2);
    s.LabelledRhea();
    BodyRTStruct& moon = s.Body(1);
    moon.pos[1] = 40, moon.pos[2] = -50, moon.radius = 0.1, moon.color = RGBColor{65535, 50000, 30000};
    std::memcpy(moon.name, "\5Dione", 6);
    s.DrawAndExpect("labels-hidpi", 24);
    renderPixelRatio = 1, PenScale(1);
}

TEST(Golden, Stereo) {
    GoldenScene s(4, 160, 120, 300);
    s.OrbitsWithTrails(1);
    s.TexturedSphere(0, 30, 0.45);
    s.Ring(0, 2.0);
    s.Body(0).pos[1] = -20;  // off the centre: each eye sees it along its own line of sight
    set.displayFlags = kStereoOnFlag, set.eyeRadius = 6, rt.eyeDistance = 900;
    stereoGlasses = StereoGlasses::RedRight;  // the stored picture was drawn for red-right glasses
    s.DrawAndExpect("stereo");
    stereoGlasses = StereoGlasses::RedLeft;
}

// A craft's predicted ellipse about a planet, nearly edge-on: dimmer than the craft and drawn
// before the bodies, which cover it where it crosses them, with the apsides, a burn and the
// closest approach marked and labelled.
TEST(Golden, PredictedPathAndMarks) {
    GoldenScene s(2, 240, 150, 500);
    StartGui(), SetPlatformBackend(&s.qt);
    BodyRTStruct &planet = s.Body(0), &craft = s.Body(1);
    planet.radius = 20, planet.mass = 1e24, planet.color = RGBColor{20000, 30000, 65535};
    craft.color = RGBColor{65535, 65535, 65535};
    std::memcpy(planet.name, "\5Terra", 6), std::memcpy(craft.name, "\5Probe", 6);
    PredictionResultStruct r;
    r.craft = 1, r.reference = 0, r.target = 0, r.timeStep = 60, r.complete = true;
    constexpr int kTurn = 240;
    for (int k = 0; k <= kTurn; ++k) {
        const double e = 2 * M_PI * k / kTurn;  // eccentric anomaly
        r.craftPos.insert(r.craftPos.end(), {-80.0 * std::sin(e), 100 * (std::cos(e) - 0.5), 15 * std::sin(e)});
        r.referencePos.insert(r.referencePos.end(), {0.0, 0.0, 0.0});
    }
    r.samples = kTurn + 1;
    for (int n = 0; n < 3; ++n) craft.pos[n] = r.craftPos[size_t(n)];
    r.marks = {{PredictionMarkKind::kPeriapsis, 0, 0, 30e3}, {PredictionMarkKind::kBurn, kTurn / 4, -1, 12.5},
               {PredictionMarkKind::kApoapsis, kTurn / 2, 0, 130e3}, {PredictionMarkKind::kClosestApproach, 3 * kTurn / 4, 0, 55e3}};
    for (const bool stereo : {false, true}) {  // in stereo each eye sees the path and the marks where it sees them
        set.displayFlags = stereo ? kStereoOnFlag : 0, set.eyeRadius = 6, stereoGlasses = StereoGlasses::RedRight;
        EraseRenderBuffer();
        PenSetTarget(RenderSurface());
        DrawPredictedPath(r, 0, *BodyRTList(), renderCX, renderCY);
        rt.velArrowExponent = rt.accArrowExponent = 0;
        DoDrawStage(renderCX, renderCY);
        DrawPredictionMarks(r, 0, *BodyRTList(), renderCX, renderCY);
        ExpectFrame(stereo ? "predicted-path-stereo" : "predicted-path", 24);  // glyph edges may shade differently
    }
    stereoGlasses = StereoGlasses::RedLeft;
}

// The demo's Saturn 30 degrees above its ring: the near half of the ring crosses the globe,
// the globe hides the far half; its name touches the globe's edge.
TEST(Golden, DemoSaturnAt30Degrees) {
    DemoBody saturn("Saturn", M_PI / 6, 180, 200, 120);
    ExpectFrame("demo-saturn", 24);  // glyph edges may shade differently
}

// The demo's Earth large and small, its north pole a little toward the eye: the polar cap
// near the top limb, the south polar ice just over the bottom one.
TEST(Golden, DemoEarthPoleAndLimb) {
    for (const int across : {150, 24}) {
        DemoBody earth("Earth", 0.15, across, across + 10, across + 10);
        ExpectFrame("demo-earth-" + std::to_string(across), 24);
    }
}

}  // namespace
