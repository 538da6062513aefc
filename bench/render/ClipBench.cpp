// The worst cases of close views, each clipped painter against the walk it replaced
// (kept in UnclippedPainters.h), measured in the same run on a 1280 x 800 surface.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "UnclippedPainters.h"
#include "imagery/SpherePix.h"
#include "render/Pen.h"

namespace {

constexpr int32_t kWidth = 1280, kHeight = 800;

struct Surface {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(kWidth) * kHeight, 0);
    PixelSurface View() { return PixelSurface{pixels.data(), kWidth * 4, kWidth, kHeight}; }
    auto Put() {
        return [this](int32_t x, int32_t y) {
            if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels[size_t(y) * kWidth + x] = 0x00FFFFFFu;
        };
    }
};

// Seconds per call of draw, averaged over enough calls to last about 0.2 s.
template <class Draw>
double SecondsPerCall(Draw draw) {
    using Clock = std::chrono::steady_clock;
    int calls = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int n = 0; n < calls; ++n) draw();
        const double spent = std::chrono::duration<double>(Clock::now() - start).count();
        if (spent > 0.2 || calls >= (1 << 24)) return spent / calls;
        calls *= 4;
    }
}

void Report(benchmark::State& state, double unclippedSeconds, double clippedSeconds) {
    state.counters["unclipped_ms"] = unclippedSeconds * 1e3;
    state.counters["clipped_ms"] = clippedSeconds * 1e3;
    state.counters["speedup_unclipped/clipped"] = unclippedSeconds / clippedSeconds;
}

// A body 16000 px across whose outline crosses the view.
void BM_FrameOval16000(benchmark::State& state) {
    const Rect oval{int16_t(400 - 8000), int16_t(1000 - 16000), int16_t(400 + 8000), 1000};
    Surface s;
    PenOnSurface pen(s.View());
    double before = 0, after = 0;
    for (auto _ : state) {
        before = SecondsPerCall([&] { unclipped::FrameOval(oval, s.Put()); });
        after = SecondsPerCall([&] { FrameOval(oval); });
    }
    Report(state, before, after);
}
BENCHMARK(BM_FrameOval16000)->Unit(benchmark::kMillisecond)->Iterations(1);

// An arrow from a body on screen to a tip just off the eye plane, projected 2^29 px away.
void BM_ArrowToTipNearEyePlane(benchmark::State& state) {
    constexpr int32_t tipX = 1 << 29, tipY = 1 << 27;
    Surface s;
    PenOnSurface pen(s.View());
    double before = 0, after = 0;
    for (auto _ : state) {
        before = SecondsPerCall([&] { unclipped::LineTo(640, 400, tipX, tipY, s.Put()); });
        after = SecondsPerCall([&] {
            MoveTo(640, 400);
            LineTo(tipX, tipY);
        });
    }
    Report(state, before, after);
}
BENCHMARK(BM_ArrowToTipNearEyePlane)->Unit(benchmark::kMillisecond)->Iterations(1);

// A stereo sphere 200000 px across, its top filling the view, the eyes 20 px apart.
void BM_StereoSphere200000(benchmark::State& state) {
    constexpr int32_t radius = 100000, cy = 400 + radius / 2;
    uint16_t T[256], U[256];
    FillSphereTables(T, U);
    std::vector<uint32_t> map(kTexelMapBytes / 4);
    const uint32_t* texels = map.data() + kTexelMapReferenceOffset / 4;
    PrepareSpherePixMapWTest(map.data() + kTexelMapReferenceOffset / 4);
    const int32_t m[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};
    Surface s;
    auto* base = reinterpret_cast<uint8_t*>(s.pixels.data());
    double before = 0, after = 0;
    for (auto _ : state) {
        before = SecondsPerCall([&] {
            Rect red{0, 0, kHeight, kWidth}, cyan = red;
            unclipped::DrawSphere3D(texels, T, U, red, cyan, 650, 630, cy, m, m, radius, base, kWidth * 4);
        });
        after = SecondsPerCall([&] {
            Rect red{0, 0, kHeight, kWidth}, cyan = red;
            DrawSphere3D(texels, T, U, red, cyan, 650, 630, cy, m, m, radius, base, kWidth * 4);
        });
    }
    Report(state, before, after);
}
BENCHMARK(BM_StereoSphere200000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
