// Pushes per second per integrator, and the inverse-square fast path against the general law.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <random>
#include <string>

#include "core/Records.h"
#include "sim/Gravity.h"

namespace {

Handle MakeCluster(int32_t n) {
    Handle h = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
    BodyRTListStruct* list = HandleAs<BodyRTListStruct>(h);
    list->count = n;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1e9, 1e9);
    for (int32_t i = 0; i < n; ++i) {
        BodyRTStruct& b = list->body[i];
        for (int k = 0; k < 3; ++k) b.pos[k] = u(rng), b.vel[k] = u(rng) * 1e-6;
        b.mass = 1e22;
        b.radius = 1e6;
        b.axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    }
    set.gravConstant = 6.672e-11;
    set.powerLaw = -2.0;
    set.timeStep = 10.0;
    return h;
}

void BM_Push(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    set.pushMethod = int32_t(state.range(1));
    Handle h = MakeCluster(n);
    rt.pushCount = 0;
    for (auto _ : state) {
        ElementalPush(HandleAs<BodyRTListStruct>(h));
        ++rt.pushCount;
    }
    state.counters["pushes/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pairs/s"] =
        benchmark::Counter(double(state.iterations()) * n * (n - 1) / 2, benchmark::Counter::kIsRate);
    DisposeHandle(h);
}
BENCHMARK(BM_Push)->ArgsProduct({{10, 100, 1000}, {0, 1, 2, 3, 4}})->ArgNames({"n", "method"});

double SecondsPerPairPass(BodyRTListStruct* list, bool fast, int repeats) {
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r) GravityPairPass(list, fast);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeats;
}

// The fast path (sqrt) against the general exp/log law, measured in the same run.
void BM_PairPassFastVsGeneral(benchmark::State& state) {
    Handle h = MakeCluster(1000);
    auto* list = HandleAs<BodyRTListStruct>(h);
    double fast = 0, general = 0;
    for (auto _ : state) {
        fast = SecondsPerPairPass(list, true, 3);
        general = SecondsPerPairPass(list, false, 3);
    }
    state.counters["fast_pairs/s"] = 1000.0 * 999 / 2 / fast;
    state.counters["general_pairs/s"] = 1000.0 * 999 / 2 / general;
    state.counters["speedup_fast/general"] = general / fast;
    DisposeHandle(h);
}
BENCHMARK(BM_PairPassFastVsGeneral)->Unit(benchmark::kMillisecond)->Iterations(5);

// Processor time, not wall time: the machine is shared and other work would count.
double SecondsPerPush(BodyRTListStruct* list, int32_t method, int repeats) {
    set.pushMethod = method;
    rt.pushCount = 0;
    for (int r = 0; r < 5; ++r) ElementalPush(list), ++rt.pushCount;  // past the multistep start-up
    const std::clock_t start = std::clock();
    for (int r = 0; r < repeats; ++r) ElementalPush(list), ++rt.pushCount;
    return double(std::clock() - start) / CLOCKS_PER_SEC / repeats;
}

// Cost of each method's push relative to semi-implicit Euler (one pair pass), same run:
// Runge-Kutta adds three whole-system stage evaluations, Adams-Moulton one.
void BM_PushCostRelativeToSemiImplicitEuler(benchmark::State& state) {
    Handle h = MakeCluster(int32_t(state.range(0)));
    auto* list = HandleAs<BodyRTListStruct>(h);
    // Fastest of several rounds per method: the machine is shared, the minimum is the cost.
    double cost[5] = {1e9, 1e9, 1e9, 1e9, 1e9};
    for (auto _ : state)
        for (int32_t m = 0; m < 5; ++m) cost[m] = std::min(cost[m], SecondsPerPush(list, m, 20));
    for (int32_t m = 1; m < 5; ++m) state.counters["method" + std::to_string(m) + "/semi-implicit"] = cost[m] / cost[0];
    DisposeHandle(h);
}
BENCHMARK(BM_PushCostRelativeToSemiImplicitEuler)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

BENCHMARK_MAIN();
