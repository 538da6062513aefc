// The vectorised pair pass, split over the thread pool above a body count where that pays.
// Same meaning as the scalar pass in PairPass.cpp; agrees with it to rounding, and its
// results depend on the live body count only, never on the number of threads.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Records.h"
#include "sim/PairPass.h"
#include "sim/ThreadPool.h"

// Live bodies from which the pair rows are split into kPairSlices slices for the pool.
// Set from BM_ThreadingThreshold in bench/sim/PairBench.cpp (one thread against two, pass
// by pass, the fastest of each) on a shared two-core machine: below 512 bodies the gain was
// small or absent in most runs; from 512 on two threads won by up to 1.3x whenever the
// second core was free.
constexpr int32_t kThreadedPairMinBodies = 512;
// Fixed number of row slices: shares evenly among 1, 2, 3 and 6 threads, and each slice
// costs a set of partial sums to clear and add up.
constexpr int32_t kPairSlices = 6;

void SimdGravityPairPass(BodyRTListStruct* list, bool useFastPath);
void SimdStageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc);

// For a thread that must leave the pool to the live run: its slices run one after the
// other on it (same slices, same sums, so the same results).
void SetThreadRunsPairSlicesInline(bool inlineSlices);
// Runs the slices of a push: on the pool, or one after the other on a thread set as above.
void RunPushSlices(int32_t slices, PoolTask task, void* context);

// The live count from which rows are sliced over the pool; 0 or less restores the default.
// Results depend on it (slices change the order of summation), never on the thread count.
void SetThreadedPairMinBodies(int32_t bodies);
int32_t ThreadedPairMinBodies();

// True when GravityPairPass and StageAccelerations run the scalar reference loops instead:
// GRAVITAS_PAIR_PASS=scalar, or the setter, for measuring the whole program against them.
bool UseScalarPairPass();
void SetUseScalarPairPass(bool scalar);

// Bytes the pair pass keeps between pushes (its structure-of-arrays copy and partial sums),
// and the part of them the last pass used.
size_t PairScratchBytes();
size_t PairScratchBytesInUse();
