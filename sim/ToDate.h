// Carrying a universe's initial conditions to another date: the bodies are integrated
// with Gauss–Radau from the epoch to the target and the result becomes the new start.
#pragma once
#include <cstdint>

// Called now and then with the fraction done; false asks to stop.
using ToDateProgress = bool (*)(void* context, double fraction);

enum class ToDateResult { kDone, kCancelled, kNoEpoch, kFailed };

// The universe must carry an epoch. On kDone the initial conditions (and the epoch) are
// those of the target; otherwise they are left as they were. The settings are kept.
ToDateResult CarryInitialConditionsTo(double targetTdbSeconds, ToDateProgress progress = nullptr,
                                      void* context = nullptr);
