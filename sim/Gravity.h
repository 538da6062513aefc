// Mutual gravity and the five integrators: one push of every live body.
#pragma once
#include <cstdint>

#include "core/Records.h"

int32_t ElementalPush(BodyRTListStruct* list);
void CalcAcceleration(double out[3], const double point[3], const BodyRTListStruct* list, int32_t skip);

inline bool IsLiveBody(const BodyRTStruct& b) { return (b.statusFlags & kAbsorbedStatus) == 0; }

// The pair pass alone (reset + accelerations, potentials, nearest neighbours).
// useFastPath false forces the general exp/log formula even for powerLaw -2.
void GravityPairPass(BodyRTListStruct* list, bool useFastPath = true);
