// Pair interactions per second: the scalar reference loop, the vectorised pass on one
// thread and on the whole pool, each measured in the same run (best of the iterations,
// wall clock) and reported as ratios to the scalar loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "RandomCluster.h"
#include "core/Memory.h"
#include "core/Records.h"
#include "sim/FiniteGuard.h"
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

// Where two threads start to pay: the pass on one thread (rows unsliced, run by the caller
// alone) against the sliced pass on a pool of two, alternated pass by pass so both meet the
// same load, the fastest of each kept. Argument 1 picks the push's first pass (potentials
// and nearest neighbours) or the integrators' cheaper stage evaluation.
void BM_ThreadingThreshold(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    const bool stage = state.range(1) != 0;
    Handle h = MakeRandomClusterWithSolarPhysics(n);
    auto* list = HandleAs<BodyRTListStruct>(h);
    std::vector<Vec3> pos(static_cast<size_t>(n)), acc(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) pos[size_t(i)] = Vec3{list->body[i].pos[0], list->body[i].pos[1], list->body[i].pos[2]};
    auto pass = [&] {
        if (stage) SimdStageAccelerations(list, pos.data(), acc.data());
        else SimdGravityPairPass(list, true);
    };
    SetPoolThreadCount(2);
    const int rounds = std::clamp(int(4e7 / Pairs(n)), 20, 4000);
    double one = 1e30, two = 1e30;
    for (auto _ : state) {
        for (int r = 0; r < rounds; ++r) {
            SetThreadedPairMinBodies(1 << 30);
            one = std::min(one, SecondsPerPass(pass, 1));
            SetThreadedPairMinBodies(1);
            two = std::min(two, SecondsPerPass(pass, 1));
        }
    }
    SetThreadedPairMinBodies(0);
    SetPoolThreadCount(0);
    state.counters["1thread_us"] = one * 1e6;
    state.counters["2threads_us"] = two * 1e6;
    state.counters["speedup"] = one / two;
    DisposeHandle(h);
}
BENCHMARK(BM_ThreadingThreshold)
    ->ArgsProduct({{32, 64, 96, 128, 192, 256, 384, 512, 768, 1024, 2048}, {0, 1}})
    ->ArgNames({"n", "stage"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

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

// What guarding each push against results that are no longer finite costs (the copy of the
// bodies kept before the push and the look for a value that is not finite), against the push.
void BM_FiniteGuardAgainstPush(benchmark::State& state) {
    Handle h = MakeRandomClusterWithSolarPhysics(int(state.range(0)));
    auto* list = HandleAs<BodyRTListStruct>(h);
    set.powerLaw = -2.0;
    set.pushMethod = kPushSemiImplicitEuler;
    const char* quantity = nullptr;
    double push = 1e30, guard = 1e30;
    for (auto _ : state) {
        push = std::min(push, SecondsPerPass([&] { ElementalPush(list); }, 5));
        guard = std::min(guard, SecondsPerPass([&] {
            KeepFiniteState(list);
            benchmark::DoNotOptimize(FirstNonFiniteBody(list, quantity));
        }, 5));
    }
    state.counters["push_us"] = push * 1e6;
    state.counters["guard_us"] = guard * 1e6;
    state.counters["guard/push"] = guard / push;
    DisposeHandle(h);
}
BENCHMARK(BM_FiniteGuardAgainstPush)->Arg(20)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
