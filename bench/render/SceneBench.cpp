// Whole frames at 1280 x 800 and 2560 x 1600: star field plus draw stage, against the
// replaced routines and naive baselines in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ComparisonSortDrawStage.h"
#include "FloatSpherePainter.h"
#include "ScalarPainters.h"
#include "imagery/Random.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "render/BodyDecor.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"
#include "sim/ThreadPool.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int32_t kFocal = 914;       // about 70 degrees across
constexpr double kDistance = 1000.0;  // of the spheres from the eye

struct Frame {
    std::vector<std::vector<uint32_t>> maps, rings;
    Handle stars = kNoHandle;
    bool catalogue = false;
    int scale;  // 1: 1280 x 800, 2: 2560 x 1600 (a HiDPI screen), the same view angle

    explicit Frame(int bodies, int scale_ = 1) : scale(scale_) {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};  // looking along -x
        SetIdentityIJK(rt.starIJK);
        rt.eyePos[0] = kDistance;
        rt.eyeDistance = kDistance;
        rt.focalLength = kFocal * scale;
        FillSphereTables(rt.sphereSqrtTable, rt.sphereInvSqrtTable);
        set.minPointSize = 2;
        SetupRenderGW(kHeight * scale, kWidth * scale);
        rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct) * bodies);
        BodyRTList()->count = bodies;
        for (int b = 0; b < bodies; ++b) {
            BodyRTStruct& body = BodyRTList()->body[b];
            body.color = RGBColor{50000, 50000, 65535};
            BuildBodyAxes(body.axes, 0.45, 0.3 * b, 0.2 * b);
        }
    }
    ~Frame() {
        DisposeStarListHandle(stars);
        DisposeRTList(rt.trailList);
        DisposeScratchSpace();
        DisposeHandle(rt.bodyRT);
        rt.bodyRT = 0;
        DisposeMyRenderGW();
    }
    BodyRTStruct& Body(int b) { return BodyRTList()->body[b]; }

    void LoadCatalogueStars() {
        stars = GetStarListFromFS(GRAVITAS_STARS_FILE);
        catalogue = stars != kNoHandle;
        if (!stars) {
            SetRandomSeed(11);
            stars = NewStarListHandle();
            FillWithStars(stars, 9000, nullptr);
        }
    }

    // Ten spheres of 100 px radius in two rows of five; the middle one of the top row has a ring.
    void TenTexturedSpheres() {
        const double radius = 100.0 * kDistance / kFocal;
        for (int b = 0; b < 10; ++b) {
            BodyRTStruct& body = Body(b);
            const int col = b % 5, row = b / 5;
            body.pos[1] = (-480 + 240 * col) * kDistance / kFocal;
            body.pos[2] = (row == 0 ? 180 : -180) * kDistance / kFocal;
            body.radius = radius;
            maps.emplace_back(kTexelMapBytes / 4, 0u);
            body.spherePix = maps.back().data() + kTexelMapReferenceOffset / 4;
            PrepareSpherePixMapWTest(body.spherePix);
        }
        rings.emplace_back(1024, 0u);
        for (int i = 0; i < 1024; ++i) rings.back()[i] = MakeTexel(90, 120, 100, 70) * ((i / 100) % 2);
        Body(2).ringPix = rings.back().data();
        Body(2).ringRadius = 2.2 * radius;
    }

    // The frame as the replaced routines drew it: the buffer cleared row by row, and each
    // sphere and ring painted pixel by pixel with the arguments the body plotter passes.
    void DrawFrameWithScalarPainters() {
        const int32_t h = renderGWRect.bottom, w = renderGWRect.right;
        for (int32_t y = 0; y < h; ++y) std::memset(bAddrGWPM + y * rBytesGWPM, 0, size_t(w) * 4);
        IJK relative;
        RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
        DrawStars(renderGWRect, relative, stars, rt.focalLength, renderCX, renderCY);
        const IJK& c = rt.cameraIJK;
        for (int32_t b = BodyRTList()->count - 1; b >= 0; --b) {
            BodyRTStruct& body = Body(b);
            if (!body.spherePix) continue;
            const double rel[3] = {body.pos[0] - rt.eyePos[0], body.pos[1] - rt.eyePos[1], body.pos[2] - rt.eyePos[2]};
            const double depth = DotIJK(c.k, rel), f = rt.focalLength / depth;
            const int32_t sx = ScreenCoord(renderCX + 0.5 - DotIJK(c.i, rel) * f);
            const int32_t sy = ScreenCoord(renderCY + 0.5 + DotIJK(c.j, rel) * f);
            const uint32_t d = ApparentDiameter(body.radius, f);
            Rect square;
            if (!BodySquare(sx, sy, d, square) || !ClipToBuffer(square)) continue;
            IJK F;
            RelativeIJK(&F, &body.axes, &rt.cameraIJK);
            const double e[3] = {DotIJK(c.i, rel), DotIJK(c.j, rel), depth};
            LineOfSightCorrect(F, e);
            const int32_t rad = int32_t(d >> 1);
            Rect ring{};
            int32_t rr = 0;
            if (body.ringPix) {
                const int32_t dr = ScreenCoord(2 * body.ringRadius * (-65536.0) * f + 0.5);
                rr = dr >> 1;
                if (!BodySquare(sx, sy, uint32_t(std::max(dr, 0)), ring) || !ClipToBuffer(ring)) ring = Rect{};
                scalar::DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, &F.i[0], bAddrGWPM, rBytesGWPM, body.ringPix, 0);
            }
            scalar::DrawSphere(square, sx, sy, rad, &F.i[0], bAddrGWPM, rBytesGWPM, body.spherePix, rt.sphereSqrtTable,
                               rt.sphereInvSqrtTable);
            if (body.ringPix)
                scalar::DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, &F.i[0], bAddrGWPM, rBytesGWPM, body.ringPix, 1);
        }
    }

    void DrawFrame() {
        EraseRenderBuffer();
        IJK relative;
        RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
        DrawStars(renderGWRect, relative, stars, rt.focalLength, renderCX, renderCY);
        DoDrawStage(renderCX, renderCY);
    }
};

// range(0): 1 for 1280 x 800, 2 for 2560 x 1600 (HiDPI); range(1): threads in the pool.
// Wall-clock time: the painters share large discs and the clear among the pool's threads.
void BM_CatalogueStarsTenSpheres(benchmark::State& state) {
    SetPoolThreadCount(int32_t(state.range(1)));
    Frame f(10, int(state.range(0)));
    f.LoadCatalogueStars();
    f.TenTexturedSpheres();
    for (auto _ : state) {
        f.DrawFrame();
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    SetPoolThreadCount(0);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["catalogue"] = f.catalogue ? 1 : 0;  // 0: 9000 random stars stood in
}
BENCHMARK(BM_CatalogueStarsTenSpheres)
    ->ArgsProduct({{1, 2}, {1, 2}})
    ->ArgNames({"scale", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The star field alone at 2560 x 1600 (the catalogue's stars seen along the frames' view):
// its share of the frame, which profiling put below one per cent.
void BM_CatalogueStarsOnly2560x1600(benchmark::State& state) {
    Frame f(1, 2);
    f.LoadCatalogueStars();
    IJK relative;
    RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
    for (auto _ : state) {
        DrawStars(renderGWRect, relative, f.stars, rt.focalLength, renderCX, renderCY);
        benchmark::DoNotOptimize(bAddrGWPM);
    }
}
BENCHMARK(BM_CatalogueStarsOnly2560x1600)->Unit(benchmark::kMicrosecond);

// The same frames through the painters they replaced (one thread): the ratio is the gain.
void BM_CatalogueStarsTenSpheresScalarBaseline(benchmark::State& state) {
    Frame f(10, int(state.range(0)));
    f.LoadCatalogueStars();
    f.TenTexturedSpheres();
    for (auto _ : state) {
        f.DrawFrameWithScalarPainters();
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CatalogueStarsTenSpheresScalarBaseline)->Arg(1)->Arg(2)->ArgName("scale")->UseRealTime()->Unit(benchmark::kMillisecond);

// Same frame with the spheres painted by the floating-point painter (no ring).
void BM_CatalogueStarsTenSpheresFloatBaseline(benchmark::State& state) {
    Frame f(10);
    f.LoadCatalogueStars();
    f.TenTexturedSpheres();
    const std::vector<uint32_t> equi(512 * 256, 0x00808080);
    for (auto _ : state) {
        EraseRenderBuffer();
        IJK relative;
        RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
        DrawStars(renderGWRect, relative, f.stars, rt.focalLength, renderCX, renderCY);
        for (int b = 0; b < 10; ++b) {
            IJK F;
            RelativeIJK(&F, &f.Body(b).axes, &rt.cameraIJK);
            PaintSphereFloat(reinterpret_cast<uint32_t*>(bAddrGWPM), rBytesGWPM / 4, kWidth, kHeight,
                             160 + 240 * (b % 5), b < 5 ? 220 : 580, 100, &F.i[0], equi);
        }
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CatalogueStarsTenSpheresFloatBaseline)->Unit(benchmark::kMillisecond);

// 1000 small bodies on tilted circles, each with 100 trail points (100,000 sorted items).
// faceOn: every orbit in the plane facing the eye, so all items share one depth.
void ThousandBodiesWithTrails(Frame& f, bool faceOn) {
    const int n = BodyRTList()->count;
    set.trailLength = 100;
    ResizeTrailRTList(rt.trailList, n, set.trailLength);
    for (int step = 99; step >= 0; --step) {
        for (int b = 0; b < n; ++b) {
            BodyRTStruct& body = f.Body(b);
            const double r = 80 + 0.5 * b, a = 0.01 * step * (1 + (b % 7)) + b;
            const double tilt = faceOn ? 0.0 : 0.3 + 0.001 * b;
            body.pos[0] = r * std::sin(a) * std::sin(tilt);
            body.pos[1] = r * std::cos(a);
            body.pos[2] = r * std::sin(a) * std::cos(tilt);
            body.radius = 0.5;
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
}

void BM_ThousandBodiesTrails100(benchmark::State& state) {
    Frame f(1000);
    ThousandBodiesWithTrails(f, state.range(0) != 0);
    for (auto _ : state) {
        EraseRenderBuffer();
        DoDrawStage(renderCX, renderCY);
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandBodiesTrails100)->Arg(0)->Arg(1)->ArgName("faceOn")->Unit(benchmark::kMillisecond);

// The same frames through the draw stage as it was: every item a node, std::sort, every trail
// point through the pen. The ratio to BM_ThousandBodiesTrails100 is the radix sort's gain.
void BM_ThousandBodiesTrails100ComparisonSort(benchmark::State& state) {
    Frame f(1000);
    ThousandBodiesWithTrails(f, state.range(0) != 0);
    for (auto _ : state) {
        EraseRenderBuffer();
        comparison_sort::DrawStage(renderCX, renderCY);
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandBodiesTrails100ComparisonSort)->Arg(0)->Arg(1)->ArgName("faceOn")->Unit(benchmark::kMillisecond);

// Naive baseline for the same items: a fresh vector every frame, std::sort by depth, one pixel each.
void BM_ThousandBodiesTrails100SortBaseline(benchmark::State& state) {
    Frame f(1000);
    ThousandBodiesWithTrails(f, false);
    struct Item {
        double depth;
        int32_t sx, sy;
    };
    for (auto _ : state) {
        EraseRenderBuffer();
        std::vector<Item> items;
        const IJK& c = rt.cameraIJK;
        for (int s = 1; s < 100; ++s) {
            auto* entry = static_cast<uint8_t*>(GetTrailRTList(rt.trailList, s));
            for (int b = 0; entry && b < 1000; ++b) {
                TrailPoint tp;
                std::memcpy(&tp, entry + 4 + size_t(b) * sizeof tp, sizeof tp);
                const double rel[3] = {tp.pos[0] - rt.eyePos[0], tp.pos[1] - rt.eyePos[1], tp.pos[2] - rt.eyePos[2]};
                const double d = c.k[0] * rel[0] + c.k[1] * rel[1] + c.k[2] * rel[2];
                if (!(d < 0)) continue;
                const double fz = rt.focalLength / d;
                items.push_back(Item{d, int32_t(renderCX + 0.5 - (c.i[0] * rel[0] + c.i[1] * rel[1] + c.i[2] * rel[2]) * fz),
                                     int32_t(renderCY + 0.5 + (c.j[0] * rel[0] + c.j[1] * rel[1] + c.j[2] * rel[2]) * fz)});
            }
        }
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.depth < b.depth; });
        for (const Item& it : items)
            if (it.sx >= 0 && it.sy >= 0 && it.sx < kWidth && it.sy < kHeight)
                reinterpret_cast<uint32_t*>(bAddrGWPM + it.sy * rBytesGWPM)[it.sx] = 0x00FFFFFF;
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandBodiesTrails100SortBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
