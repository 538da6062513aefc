// Simulation › Plan Burn…: a speed change along the craft's velocity at a chosen moment,
// added to the timed-thrust schedule (so it is saved, listed and edited with the others).
#pragma once
#include <cstdint>

#include "sim/Prediction.h"

enum class BurnMoment : uint8_t { kAfterTime, kNextPeriapsis, kNextApoapsis };

// The schedule's push index for a burn at that moment: `seconds` from now (at least one
// push ahead), or the next apsis of the fresh prediction (from the present sample on),
// or, without one, of the craft's osculating orbit. -1 when there is no such moment.
int64_t PlannedBurnPushIndex(BurnMoment moment, double seconds, const PredictionResultStruct* fresh,
                             int32_t presentSample);
// Adds the burn to set.timedThrust (made when missing); false when it cannot be scheduled.
bool AddPlannedBurn(int64_t pushIndex, double deltaV);

// The menu command: asks, then adds. The menu's undo bracket makes it one step.
void PlanBurnMenuItem();
