// Flight prediction: a 10,000-push prediction of 20 bodies on its worker thread, and whole
// frames of the frame task at 1280 x 800 with the predicted path on against off in the same
// run. With the path on, the horizon changes every frame, so the worker restarts a 10,000-push
// prediction each frame and never rests: the frame's cost is its own comparison, snapshot and
// drawing plus whatever the busy worker takes from it.
#include <benchmark/benchmark.h>

#include "PlanetDisc.h"
#include "core/Frame.h"
#include "platform/Platform.h"
#include "shell/FlightPrediction.h"
#include "sim/Bodies.h"
#include "sim/Prediction.h"

namespace {

struct BigScreen : MainWindowServices {
    void MainWindowContentSize(int32_t& w, int32_t& h) override { w = 1280, h = 800; }
};

// The disc's innermost planet becomes the craft, so the system stays 20 bodies.
void StartDiscWithCraft() {
    AddStarWithPlanetDisc(20);
    HandleAs<BodyListStruct>(set.bodies)->body[1].bodyFlags = kCraftFlag;
    set.timeStep = 3600;
    TransferICsToRT();
}

void PredictionOnWorker(benchmark::State& state) {
    InitializeAll();
    StartDiscWithCraft();
    set.pushMethod = int32_t(state.range(0));
    PredictionRequestStruct req;
    if (!TakePredictionRequest(req, 10000, 0)) state.SkipWithError("no craft");
    PredictionResultStruct r;
    for (auto _ : state) PredictNow(req, r);
    if (r.samples != 10001) state.SkipWithError("the prediction stopped short");
    state.counters["pushes/s"] = benchmark::Counter(10000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
    DisposeAll();
}

void FramesWithPredictedPath(benchmark::State& state) {
    BigScreen screen;
    SetMainWindowServices(&screen);
    InitializeAll();
    StartDiscWithCraft();
    set.trailLength = 100;
    set.labelFlags = 1;
    rt.eyeDistance = 1e11;
    predictionOptions = PredictionOptionsStruct{state.range(0) != 0, 10000, kAutomaticTarget};
    for (int i = 0; i < 60; ++i) DoWork();
    int32_t frame = 0;
    for (auto _ : state) {
        if (state.range(0) == 1) predictionOptions.pushes = 10000 - (++frame & 1);  // a restart each frame
        DoWork();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    predictionOptions = PredictionOptionsStruct{};
    StopFlightPrediction();
    DisposeAll();
    SetMainWindowServices(nullptr);
}

}  // namespace

BENCHMARK(PredictionOnWorker)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
// Baseline first: the path off; then on with a restart every frame (the worker always busy),
// and on as it runs by itself (a new prediction at half way).
BENCHMARK(FramesWithPredictedPath)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

BENCHMARK_MAIN();
