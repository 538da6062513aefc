// Pair interactions per second: the scalar reference loop, the vectorised pass on one
// thread and on the whole pool, each measured in the same run (best of the iterations,
// wall clock) and reported as ratios to the scalar loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "core/Memory.h"
#include "RandomCluster.h"
#include "core/Records.h"
#include "sim/Gravity.h"
#include "sim/PairKernel.h"
#include "sim/PairPass.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {


double Pairs(int32_t n) { return double(n) * double(n - 1) / 2; }

// The fastest of `repeats` passes: on a shared machine the slower ones measure other processes.
template <class Pass>
double SecondsPerPass(Pass pass, int repeats) {
    pass();  // warm the caches and the scratch
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        pass();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// The laws measured: the inverse square, an exponent a whole number of quarters (square
// roots and products), and one that needs a log and an exp per pair.
constexpr double kPowerLaws[] = {-2.0, -2.5, -2.3};

// Arguments: body count, law (an index into kPowerLaws).
void BM_PairPass(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    Handle h = MakeRandomClusterWithSolarPhysics(n);
    auto* list = HandleAs<BodyRTListStruct>(h);
    set.powerLaw = kPowerLaws[state.range(1)];
    const int repeats = std::max(2, int(3e6 / Pairs(n)));
    const int32_t poolThreads = DefaultPoolThreadCount();
    double scalar = 1e30, simd = 1e30, threaded = 1e30;
    for (auto _ : state) {
        scalar = std::min(scalar, SecondsPerPass([&] { ScalarGravityPairPass(list); }, repeats));
        SetPoolThreadCount(1);
        simd = std::min(simd, SecondsPerPass([&] { SimdGravityPairPass(list, true); }, repeats));
        SetPoolThreadCount(poolThreads);
        threaded = std::min(threaded, SecondsPerPass([&] { SimdGravityPairPass(list, true); }, repeats));
    }
    state.counters["scalar_pairs/s"] = Pairs(n) / scalar;
    state.counters["simd_pairs/s"] = Pairs(n) / simd;
    state.counters["threads_pairs/s"] = Pairs(n) / threaded;
    state.counters["simd/scalar"] = scalar / simd;
    state.counters["threads/scalar"] = scalar / threaded;
    state.counters["threads"] = poolThreads;
    state.counters["scratch_B/body"] = double(PairScratchBytesInUse()) / n;
    state.counters["record_B/body"] = double(sizeof(BodyRTStruct));
    state.SetLabel(std::string(PairKernelTarget()) + " p=" + std::to_string(set.powerLaw).substr(0, 4));
    DisposeHandle(h);
}
BENCHMARK(BM_PairPass)
    ->ArgsProduct({{100, 1000, 3000, 10000}, {0, 1, 2}})
    ->ArgNames({"n", "law"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Where slicing the rows over the pool starts to pay: one unsliced thread against the
// sliced pass on one thread and on the pool, at body counts around the threshold.
void BM_ThreadingThreshold(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    Handle h = MakeRandomClusterWithSolarPhysics(n);
    auto* list = HandleAs<BodyRTListStruct>(h);
    set.powerLaw = -2.0;
    const int repeats = std::max(3, int(2e6 / Pairs(n)));
    const int32_t poolThreads = DefaultPoolThreadCount();
    double unsliced = 1e30, slicedOne = 1e30, slicedPool = 1e30;
    for (auto _ : state) {
        SetPoolThreadCount(1);
        SetThreadedPairMinBodies(1 << 30);
        unsliced = std::min(unsliced, SecondsPerPass([&] { SimdGravityPairPass(list, true); }, repeats));
        SetThreadedPairMinBodies(1);
        slicedOne = std::min(slicedOne, SecondsPerPass([&] { SimdGravityPairPass(list, true); }, repeats));
        SetPoolThreadCount(poolThreads);
        slicedPool = std::min(slicedPool, SecondsPerPass([&] { SimdGravityPairPass(list, true); }, repeats));
    }
    SetThreadedPairMinBodies(0);
    state.counters["unsliced_us"] = unsliced * 1e6;
    state.counters["sliced_1thread/unsliced"] = unsliced / slicedOne;
    state.counters["sliced_pool/unsliced"] = unsliced / slicedPool;
    DisposeHandle(h);
}
BENCHMARK(BM_ThreadingThreshold)
    ->Arg(64)->Arg(128)->Arg(192)->Arg(256)->Arg(384)->Arg(512)->Arg(768)->Arg(1024)->Arg(2048)
    ->ArgName("n")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// One frame of the push stage's physics: 1000 bodies, 16 semi-implicit Euler pushes.
void BM_Frame16Pushes(benchmark::State& state) {
    Handle h = MakeRandomClusterWithSolarPhysics(1000);
    auto* list = HandleAs<BodyRTListStruct>(h);
    set.powerLaw = -2.0;
    set.pushMethod = kPushSemiImplicitEuler;
    auto frame = [&] {
        for (int p = 0; p < 16; ++p) ElementalPush(list);
    };
    double scalar = 1e30, simd = 1e30;
    for (auto _ : state) {
        SetUseScalarPairPass(true);
        scalar = std::min(scalar, SecondsPerPass(frame, 2));
        SetUseScalarPairPass(false);
        simd = std::min(simd, SecondsPerPass(frame, 2));
    }
    state.counters["scalar_ms/frame"] = scalar * 1e3;
    state.counters["threads_ms/frame"] = simd * 1e3;
    state.counters["threads/scalar"] = scalar / simd;
    DisposeHandle(h);
}
BENCHMARK(BM_Frame16Pushes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
