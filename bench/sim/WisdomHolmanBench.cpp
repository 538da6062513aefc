// The Wisdom–Holman push against semi-implicit Euler in the same run: the Sun and the giant
// planets, and the Sun, Jupiter and Saturn with a belt of massless asteroids (particle-steps/s).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include "core/Memory.h"
#include "core/Records.h"
#include "sim/Gravity.h"
#include "sim/Integrators.h"
#include "sim/ThreadPool.h"

namespace {
// G = 1, lengths in au, the Sun's mass 1: bodies on circular orbits in the plane, the giants
// at their mean distances, then `particles` massless bodies between 2.0 and 3.5 au.
Handle MakeBelt(int32_t particles, bool allGiants) {
    const double giant[4][2] = {{5.203, 9.548e-4}, {9.537, 2.858e-4}, {19.19, 4.366e-5}, {30.07, 5.151e-5}};
    const int32_t planets = allGiants ? 4 : 2, n = 1 + planets + particles;
    Handle h = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
    auto* list = HandleAs<BodyRTListStruct>(h);
    list->count = n;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int32_t i = 0; i < n; ++i) {
        BodyRTStruct& b = list->body[i];
        b.axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
        b.radius = 1e-6;
        if (i == 0) {
            b.mass = 1.0;
            continue;
        }
        const double a = i <= planets ? giant[i - 1][0] : 2.0 + 1.5 * u(rng), phase = 6.283185307 * u(rng);
        const double v = std::sqrt(1.0 / a) * (i <= planets ? 1.0 : 1.0 + 0.05 * (u(rng) - 0.5));
        b.mass = i <= planets ? giant[i - 1][1] : 0.0;
        b.pos[0] = a * std::cos(phase), b.pos[1] = a * std::sin(phase);
        b.vel[0] = -v * std::sin(phase), b.vel[1] = v * std::cos(phase) * 0.999, b.vel[2] = v * 0.04 * (u(rng) - 0.5);
    }
    set.gravConstant = 1.0, set.powerLaw = -2.0, set.physicsOptions = 0;
    set.timeStep = 6.283185307 * std::pow(2.0, 1.5) / 20.0;  // 1/20 of the period at 2 au
    return h;
}

// Wall time (the particle slices run on the pool's threads), or processor time of the whole
// process (all threads; on a loaded machine wall time counts the others' work too).
double SecondsPer(int32_t method, BodyRTListStruct* list, bool integratorOnly, int repeats, bool processor = false) {
    set.pushMethod = method;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (int r = 0; r < repeats; ++r, ++rt.pushCount)
        if (integratorOnly) IntegratorFor(method)(list, PushStep{set.timeStep, rt.pushCount});
        else ElementalPush(list);
    if (processor) return double(std::clock() - cpuStart) / CLOCKS_PER_SEC / repeats;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeats;
}

// Whole pushes (pair pass, integrator, spin) of the Sun and the four giants.
void BM_WisdomHolmanGiants(benchmark::State& state) {
    Handle h = MakeBelt(0, true);
    auto* list = HandleAs<BodyRTListStruct>(h);
    rt.pushCount = 1;
    double wh = 1e9, euler = 1e9;
    for (auto _ : state) {
        wh = std::min(wh, SecondsPer(kPushWisdomHolman, list, false, 20000));
        euler = std::min(euler, SecondsPer(kPushSemiImplicitEuler, list, false, 20000));
    }
    state.counters["wh_pushes/s"] = 1.0 / wh;
    state.counters["euler_pushes/s"] = 1.0 / euler;
    state.counters["wh/euler_cost"] = wh / euler;
    DisposeHandle(h);
}
BENCHMARK(BM_WisdomHolmanGiants)->Unit(benchmark::kMillisecond)->Iterations(5);

// The integrators alone on Sun, Jupiter, Saturn and 10,000 asteroids, after one pair pass:
// the pair pass's share (massive–particle pairs only on the particle path) comes on top.
// Argument: threads.
void BM_WisdomHolmanBelt(benchmark::State& state) {
    SetPoolThreadCount(int32_t(state.range(0)));
    constexpr int32_t kParticles = 10000;
    Handle h = MakeBelt(kParticles, false);
    auto* list = HandleAs<BodyRTListStruct>(h);
    GravityPairPass(list);
    rt.pushCount = 1;
    double wh = 1e9, euler = 1e9, whProcessor = 1e9;
    for (auto _ : state) {
        wh = std::min(wh, SecondsPer(kPushWisdomHolman, list, true, 50));
        whProcessor = std::min(whProcessor, SecondsPer(kPushWisdomHolman, list, true, 50, true));
        euler = std::min(euler, SecondsPer(kPushSemiImplicitEuler, list, true, 50));
    }
    state.counters["wh_particle_steps/s"] = kParticles / wh;
    state.counters["wh_particle_steps/processor_s"] = kParticles / whProcessor;
    state.counters["euler_particle_steps/s"] = kParticles / euler;
    state.counters["wh/euler_cost"] = wh / euler;
    SetPoolThreadCount(0);
    DisposeHandle(h);
}
BENCHMARK(BM_WisdomHolmanBelt)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->Iterations(5);
}  // namespace
