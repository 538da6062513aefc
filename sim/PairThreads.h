// The vectorised pair pass, split over the thread pool above a body count where that pays.
// Same meaning as the scalar pass in PairPass.cpp; agrees with it to rounding, and its
// results depend on the live body count only, never on the number of threads.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Records.h"
#include "sim/PairPass.h"

// Live bodies from which the pair rows are split into kPairSlices slices for the pool.
constexpr int32_t kThreadedPairMinBodies = 192;
// Fixed number of row slices (12 shares evenly among 1, 2, 3, 4 and 6 threads).
constexpr int32_t kPairSlices = 12;

void SimdGravityPairPass(BodyRTListStruct* list, bool useFastPath);
void SimdStageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc);

// Bytes the pair pass keeps between pushes (its structure-of-arrays copy and partial sums).
size_t PairScratchBytes();
