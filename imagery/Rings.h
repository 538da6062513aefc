// Ring profiles and the ring painter.
#pragma once
#include <cstdint>

#include "core/Records.h"

Handle NewRingPixMapFromPICT(Handle picture);
uint32_t* RingPixPtrFromHandle(Handle ring);  // locked address of the 1024-texel profile
// half 0 = back half (before the sphere), 1 = front half.
void DrawRing(const Rect& clip, const uint16_t* sqrtTable, int32_t cx, int32_t cy, int32_t ri, int32_t r,
              const int32_t* m, uint8_t* base, int32_t rowBytes, const uint32_t* profile, int32_t half);
