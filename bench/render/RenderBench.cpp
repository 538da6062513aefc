#include <benchmark/benchmark.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "FloatSpherePainter.h"
#include "ScalarPainters.h"
#include "imagery/Random.h"
#include "imagery/SpherePix.h"
#include "imagery/SphereRows.h"
#include "imagery/Stars.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"
#include "sim/ThreadPool.h"

namespace {

constexpr int kRadius = 100;
const int32_t kTilt[9] = {65536, 0, 0, 0, 32768, -56756, 0, 56756, 32768};

struct SphereSetup {
    uint16_t T[256], U[256];
    std::vector<uint32_t> map = std::vector<uint32_t>(kTexelMapBytes / 4);
    std::vector<uint32_t> buf = std::vector<uint32_t>(256 * 256);
    SphereSetup() {
        FillSphereTables(T, U);
        PrepareSpherePixMapWTest(map.data() + kTexelMapReferenceOffset / 4);
    }
};

// range(0): index into Highway's compiled targets the machine supports (0 the best).
void BM_DrawSphereFixedPoint(benchmark::State& state) {
    SphereSetup s;
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    if (size_t(state.range(0)) >= targets.size()) {
        state.SkipWithError("target not on this machine");
        return;
    }
    hwy::SetSupportedTargetsForTest(targets[size_t(state.range(0))]);
    SetPoolThreadCount(1);  // the kernel on one core; the frames below measure the sharing
    state.SetLabel(SphereRowsTarget());
    for (auto _ : state) {
        Rect clip{0, 0, 256, 256};
        DrawSphere(clip, 128, 128, kRadius, kTilt, reinterpret_cast<uint8_t*>(s.buf.data()), 1024,
                   s.map.data() + kTexelMapReferenceOffset / 4, s.T, s.U);
        benchmark::DoNotOptimize(s.buf.data());
    }
    hwy::SetSupportedTargetsForTest(0);
    SetPoolThreadCount(0);
    state.counters["Mpixel/s"] = benchmark::Counter(double(state.iterations()) * M_PI * kRadius * kRadius / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSphereFixedPoint)->DenseRange(0, 3)->ArgName("target");

// The pixel-at-a-time painter the vectorised one replaced.
void BM_DrawSphereScalarBaseline(benchmark::State& state) {
    SphereSetup s;
    for (auto _ : state) {
        Rect clip{0, 0, 256, 256};
        scalar::DrawSphere(clip, 128, 128, kRadius, kTilt, reinterpret_cast<uint8_t*>(s.buf.data()), 1024,
                           s.map.data() + kTexelMapReferenceOffset / 4, s.T, s.U);
        benchmark::DoNotOptimize(s.buf.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(state.iterations()) * M_PI * kRadius * kRadius / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSphereScalarBaseline);

void BM_DrawSphereFloatReference(benchmark::State& state) {
    SphereSetup s;
    std::vector<uint32_t> equi(512 * 256, 0x00808080);
    for (auto _ : state) {
        PaintSphereFloat(s.buf.data(), 256, 256, 256, 128, 128, kRadius, kTilt, equi);
        benchmark::DoNotOptimize(s.buf.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(state.iterations()) * M_PI * kRadius * kRadius / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSphereFloatReference);

void BM_RandomStars1280x800(benchmark::State& state) {
    set = SettingsStruct{};
    SetupRenderGW(800, 1280);
    SetRandomSeed(7);
    Handle list = NewStarListHandle();
    FillWithStars(list, 3000, nullptr);
    const IJK cam{{65536, 0, 0}, {0, 46341, 46341}, {0, -46341, 46341}};
    for (auto _ : state) {
        EraseRenderBuffer();
        DrawStars(renderGWRect, cam, list, 914, 640, 400);
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    DisposeStarListHandle(list);
    DisposeMyRenderGW();
}
BENCHMARK(BM_RandomStars1280x800);

}  // namespace

// The per-frame clear of a HiDPI buffer, and with range(0) = 1 the row-by-row clear it replaced.
void BM_EraseRenderBuffer2560x1600(benchmark::State& state) {
    SetupRenderGW(1600, 2560);
    for (auto _ : state) {
        if (state.range(0)) {
            for (int32_t y = 0; y < 1600; ++y) std::memset(bAddrGWPM + y * rBytesGWPM, 0, 2560 * 4);
        } else {
            EraseRenderBuffer();
        }
        benchmark::DoNotOptimize(bAddrGWPM);
    }
    DisposeMyRenderGW();
    state.SetBytesProcessed(int64_t(state.iterations()) * 2560 * 1600 * 4);
}
BENCHMARK(BM_EraseRenderBuffer2560x1600)->Arg(0)->Arg(1)->ArgName("rowByRow");

BENCHMARK_MAIN();
