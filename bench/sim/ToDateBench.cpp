// The J2000 Solar System (moons included) carried to another date with Gauss–Radau, as File ›
// New Solar System at Date and --to-date do it. Its cost is given in pair evaluations of the
// same bodies, measured in the same run, so the figure says how much the integrator spends
// around each evaluation and how many it needs, whatever the machine's load; the CPU seconds
// projected to 200 years are set against the 20 s that such a run may take.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "core/Epoch.h"
#include "sim/Bodies.h"
#include "sim/PairPass.h"
#include "sim/ToDate.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
constexpr double kYear = 365.25 * 86400.0;

// CPU time of this thread: the machine is shared, wall time would measure the others.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

bool LoadSolarSystem() {
    std::string error;
    return LoadScenarioJSON(GRAVITAS_SOURCE_DIR "/data/scenarios/solar-system.json", error) && epoch.known;
}

// The fastest of a few batches of stage evaluations at the starting positions.
double SecondsPerEvaluation() {
    TransferICsToRT();
    const BodyRTListStruct* list = BodyRTList();
    std::vector<Vec3> pos(size_t(list->count)), acc(size_t(list->count));
    for (int32_t i = 0; i < list->count; ++i) pos[size_t(i)] = Vec3{list->body[i].pos[0], list->body[i].pos[1], list->body[i].pos[2]};
    constexpr int kBatch = 20000;
    double best = 1e30;
    for (int r = 0; r < 5; ++r) {
        const double start = ThreadSeconds();
        for (int k = 0; k < kBatch; ++k) StageAccelerations(list, pos.data(), acc.data());
        best = std::min(best, (ThreadSeconds() - start) / kBatch);
    }
    benchmark::DoNotOptimize(acc.data());
    return best;
}

// Argument: years carried forward.
void BM_SolarSystemToDate(benchmark::State& state) {
    const double years = double(state.range(0));
    double seconds = 1e30, evaluation = 1e30;
    for (auto _ : state) {
        if (!LoadSolarSystem()) return state.SkipWithError("solar-system.json did not load");
        evaluation = std::min(evaluation, SecondsPerEvaluation());
        const double start = ThreadSeconds();
        if (CarryInitialConditionsTo(years * kYear) != ToDateResult::kDone) return state.SkipWithError("run failed");
        seconds = std::min(seconds, ThreadSeconds() - start);
    }
    DeallocateAllPushMemory();
    const double per200Years = seconds * 200.0 / years;
    state.counters["cpu_s_per_200_years"] = per200Years;
    state.counters["budget_20s/cpu_s"] = 20.0 / per200Years;
    state.counters["evaluations_worth_per_year"] = seconds / years / evaluation;
    state.counters["ns_per_evaluation"] = 1e9 * evaluation;
}
BENCHMARK(BM_SolarSystemToDate)->Arg(10)->ArgName("years")->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

BENCHMARK_MAIN();
