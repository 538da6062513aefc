// 16-bit pseudo-random numbers (Park-Miller minimal standard), results -32767..32767.
#pragma once
#include <cstdint>

int16_t Random();
uint32_t RandomSeed();
void SetRandomSeed(uint32_t seed);
