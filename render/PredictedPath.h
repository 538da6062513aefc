// The craft's predicted path, drawn ahead of it as a dimmer line in its colour, with the
// marks of its apsides, planned burns, closest approach and collision.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "sim/Prediction.h"

// The path from sample `from` on, placed about the reference body where it is now (the
// path keeps its shape around the body it orbits however that body moves). Before the
// bodies, so that they cover what passes behind them. Mono or red-cyan, as the display is set.
void DrawPredictedPath(const PredictionResultStruct& r, int32_t from, const BodyRTListStruct& list, int32_t cx,
                       int32_t cy);
// The marks at or after sample `from`, with their labels; after the bodies.
void DrawPredictionMarks(const PredictionResultStruct& r, int32_t from, const BodyRTListStruct& list, int32_t cx,
                         int32_t cy);
// The label of one mark (for the window and the headless tool); false for an unknown kind.
bool PredictionMarkLabel(const PredictionResultStruct& r, const PredictionMarkStruct& m, const BodyRTListStruct& list,
                         char* out, int32_t size);
