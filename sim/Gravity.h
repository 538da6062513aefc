// One push of every live body: the pair pass, the selected integrator and the spin.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "sim/PairPass.h"

int32_t ElementalPush(BodyRTListStruct* list);

// Acceleration at one point due to every live body except `skip`, at the stored positions.
void CalcAcceleration(double out[3], const double point[3], const BodyRTListStruct* list, int32_t skip);
