// Mutual gravity of all live bodies: the symmetric pair loop every integrator evaluates through.
#pragma once
#include <array>
#include <cstdint>

#include "core/Records.h"

using Vec3 = std::array<double, 3>;

inline bool IsLiveBody(const BodyRTStruct& b) { return (b.statusFlags & kAbsorbedStatus) == 0; }

// The live body of greatest mass, the first among equals; -1 for none.
inline int32_t HeaviestLiveBody(const BodyRTListStruct* list) {
    int32_t best = -1;
    for (int32_t i = 0; list && i < list->count; ++i)
        if (IsLiveBody(list->body[i]) && (best < 0 || list->body[i].mass > list->body[best].mass)) best = i;
    return best;
}

// The pass skips the pairs of two test particles (IsTestParticle); nearest neighbours are
// bodies with mass only, as particles never collide with each other.

// Both run the vectorised pass of PairThreads.h (where they are defined) unless the scalar
// loops below, its reference, are asked for.

// Start-of-push pass at the stored positions: writes every body's `acc`, `potential`,
// `nearestDistSq` and `nearestIndex` (absorbed bodies get zero, +infinity and -1).
// useFastPath false forces the general exp/log law even for powerLaw -2.
void GravityPairPass(BodyRTListStruct* list, bool useFastPath = true);

// Stage evaluation: acc[i] = acceleration of body i with every live body j at pos[j]
// (pos and acc hold list->count entries). Same pair order and arithmetic as
// GravityPairPass, so at the stored positions it reproduces `acc` bit for bit.
// Absorbed bodies get zero.
void StageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc);

// The straightforward scalar loops, one pair at a time in the order the force law is defined in.
void ScalarGravityPairPass(BodyRTListStruct* list, bool useFastPath = true);
void ScalarStageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc);
