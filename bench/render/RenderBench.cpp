#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "imagery/Random.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"

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

void BM_DrawSphereFixedPoint(benchmark::State& state) {
    SphereSetup s;
    for (auto _ : state) {
        Rect clip{0, 0, 256, 256};
        DrawSphere(clip, 128, 128, kRadius, kTilt, reinterpret_cast<uint8_t*>(s.buf.data()), 1024,
                   s.map.data() + kTexelMapReferenceOffset / 4, s.T, s.U);
        benchmark::DoNotOptimize(s.buf.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(state.iterations()) * M_PI * kRadius * kRadius / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSphereFixedPoint);

// Straightforward painter: per-pixel sqrt, atan2 and acos into an equirectangular map.
void BM_DrawSphereFloatReference(benchmark::State& state) {
    SphereSetup s;
    std::vector<uint32_t> equi(512 * 256, 0x00808080);
    for (auto _ : state) {
        for (int py = 128 - kRadius; py < 128 + kRadius; ++py)
            for (int px = 128 - kRadius; px < 128 + kRadius; ++px) {
                const double x = (px - 128) / double(kRadius), y = -(py - 128) / double(kRadius);
                const double q = 1 - x * x - y * y;
                if (q <= 0) continue;
                const double z = std::sqrt(q);
                const double X = (x * kTilt[0] + y * kTilt[1] + z * kTilt[2]) / 65536.0;
                const double Y = (x * kTilt[3] + y * kTilt[4] + z * kTilt[5]) / 65536.0;
                const double Z = (x * kTilt[6] + y * kTilt[7] + z * kTilt[8]) / 65536.0;
                double lon = std::atan2(Y, X);
                if (lon < 0) lon += 2 * M_PI;
                const double lat = std::acos(std::fmax(-1.0, std::fmin(1.0, Z)));
                const int c = std::min(511, int(lon / (2 * M_PI) * 512)), r = std::min(255, int(lat / M_PI * 256));
                s.buf[py * 256 + px] = equi[r * 512 + c];
            }
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

BENCHMARK_MAIN();
