// Cost per simulated time of the adaptive Gauss–Radau push against fourth-order
// Runge–Kutta, each at the push length that gives the same error on an eccentric
// orbit (Kepler's equation is the reference). Both are measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>

#include "core/Memory.h"
#include "core/Records.h"
#include "sim/GaussRadauPush.h"
#include "sim/Gravity.h"

namespace {
constexpr double kG = 6.672e-11, kPlanetMass = 6e24, kA = 2e7, kE = 0.5;
const double kMu = kG * (kPlanetMass + 1.0);
const double kPeriod = 2 * std::numbers::pi * std::sqrt(kA * kA * kA / kMu);

// A planet and a 1 kg satellite starting at pericentre, centre of mass at rest.
Handle MakeOrbit() {
    Handle h = NewHandle(sizeof(BodyRTListStruct) + 3 * sizeof(BodyRTStruct));
    BodyRTListStruct* list = HandleAs<BodyRTListStruct>(h);
    list->count = 2;
    const double rp = kA * (1 - kE), vp = std::sqrt(kMu * (1 + kE) / rp);
    BodyRTStruct& planet = list->body[0];
    BodyRTStruct& sat = list->body[1];
    planet.mass = kPlanetMass;
    sat.mass = 1.0;
    sat.pos[0] = rp;
    sat.vel[1] = vp;
    planet.vel[1] = -vp / kPlanetMass;
    for (BodyRTStruct* b : {&planet, &sat}) b->axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    return h;
}

double KeplerError(const BodyRTListStruct* list, double t) {
    const double n = std::sqrt(kMu / (kA * kA * kA));
    const double m = std::fmod(n * t, 2 * std::numbers::pi);
    double ecc = m;
    for (int i = 0; i < 60; ++i) ecc -= (ecc - kE * std::sin(ecc) - m) / (1 - kE * std::cos(ecc));
    const double x = kA * (std::cos(ecc) - kE), y = kA * std::sqrt(1 - kE * kE) * std::sin(ecc);
    const double dx = list->body[1].pos[0] - list->body[0].pos[0] - x;
    const double dy = list->body[1].pos[1] - list->body[0].pos[1] - y;
    return std::hypot(dx, dy) / kA;
}

// CPU time of this thread: the machine is shared, wall time would measure the others.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct Outcome {
    double error, seconds;
    long substeps;
};

// Runs `orbits` orbits with the given method and pushes per orbit.
Outcome FlyOnce(int32_t method, long pushesPerOrbit, int orbits) {
    DisposeGaussRadauPush();
    set.gravConstant = kG;
    set.powerLaw = -2.0;
    set.pushMethod = method;
    set.timeStep = kPeriod / double(pushesPerOrbit);
    Handle h = MakeOrbit();
    BodyRTListStruct* list = HandleAs<BodyRTListStruct>(h);
    long substeps = 0;
    const double start = ThreadSeconds();
    for (long p = 0; p < pushesPerOrbit * orbits; ++p) {
        rt.pushCount = int32_t(p);
        ElementalPush(list);
        substeps += method == kPushGaussRadau ? rt.substepsLastPush : 1;
    }
    const double seconds = ThreadSeconds() - start;
    Outcome o{KeplerError(list, set.timeStep * double(pushesPerOrbit * orbits)), seconds, substeps};
    DisposeHandle(h);
    return o;
}

// Arguments: pushes per orbit given to Gauss–Radau, and the error both must reach,
// as −log10 of the position error relative to the semi-major axis after the run.
// The fastest of three identical runs.
Outcome Fly(int32_t method, long pushesPerOrbit, int orbits, int repeats = 3) {
    Outcome best = FlyOnce(method, pushesPerOrbit, orbits);
    for (int r = 1; r < repeats; ++r) {
        Outcome o = FlyOnce(method, pushesPerOrbit, orbits);
        best.seconds = std::min(best.seconds, o.seconds);
    }
    return best;
}

void BM_GaussRadauVsRungeKuttaAtEqualError(benchmark::State& state) {
    const int orbits = 2;
    const long radauPushes = state.range(0);
    const double target = std::pow(10.0, -double(state.range(1)));
    Outcome radau{}, rk{};
    long rkPushes = 0;
    for (auto _ : state) {
        radau = Fly(kPushGaussRadau, radauPushes, orbits);
        // The coarsest Runge–Kutta push (in powers of two) that reaches the target.
        for (rkPushes = 256; rkPushes <= (1L << 22); rkPushes *= 2) {
            rk = FlyOnce(kPushRungeKutta, rkPushes, orbits);
            if (rk.error <= target) break;
        }
        rk = Fly(kPushRungeKutta, rkPushes, orbits);
    }
    if (radau.error > target || rk.error > target) state.SkipWithError("a method missed the target error");
    state.counters["radau_error"] = radau.error;
    state.counters["rk4_error"] = rk.error;
    state.counters["radau_substeps_per_orbit"] = double(radau.substeps) / orbits;
    state.counters["rk4_pushes_per_orbit"] = double(rkPushes);
    state.counters["radau_us_per_orbit"] = 1e6 * radau.seconds / orbits;
    state.counters["rk4_us_per_orbit"] = 1e6 * rk.seconds / orbits;
    state.counters["speedup_radau/rk4"] = rk.seconds / radau.seconds;
}
// 10 pushes per orbit: substeps do the work; 1000 per orbit: the push length rules.
BENCHMARK(BM_GaussRadauVsRungeKuttaAtEqualError)
    ->ArgsProduct({{10, 1000}, {6, 9, 12}})
    ->ArgNames({"radau_pushes_per_orbit", "error_exp"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
}  // namespace
