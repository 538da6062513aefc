// Keeps the craft's predicted path fresh while the run goes on: a worker thread computes
// it on a snapshot; the frame only compares and swaps, never waits. A prediction is shown
// only while the live state is still the one it foresaw at this push.
#pragma once
#include <cstdint>

#include "sim/Prediction.h"

constexpr int32_t kAutomaticTarget = -2;  // the approach target is chosen from the bodies

struct PredictionOptionsStruct {
    bool on = false;
    int32_t pushes = 0;                 // horizon; 0 = one orbit about the attractor, capped
    int32_t target = kAutomaticTarget;  // body index, -1 for none
};
extern PredictionOptionsStruct predictionOptions;

// Once per frame, after the push stage.
void UpdateFlightPrediction();
// The prediction to draw, or null when none is fresh.
const PredictionResultStruct* FreshPrediction();
// The sample of the fresh prediction that is the present state.
int32_t PresentPredictionSample();
// The approach target the options give for the present bodies, or -1.
int32_t PredictionTarget();
// The fresh path and its marks into the render buffer: the path before the bodies, the marks after.
void DrawFlightPredictionPath(int32_t cx, int32_t cy);
void DrawFlightPredictionMarks(int32_t cx, int32_t cy);
// Ends the worker (shut-down); a later update starts it again.
void StopFlightPrediction();
// For tests and benchmarks: waits up to `seconds` for the worker to deliver a prediction
// for the present state, running UpdateFlightPrediction meanwhile.
bool WaitForFreshPrediction(double seconds);
