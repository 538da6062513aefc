// Ring profiles and the ring painter.
#pragma once
#include <cstdint>

#include "core/Records.h"

constexpr int32_t kRingProfileTexels = 1024;  // texel 0 at the inner radius

Handle NewRingPixMapFromPICT(Handle picture);
uint32_t* RingPixPtrFromHandle(Handle ring);  // locked address of the 1024-texel profile
// half 0 = back half (before the sphere), 1 = front half.
void DrawRing(const Rect& clip, const uint16_t* sqrtTable, int32_t cx, int32_t cy, int32_t ri, int32_t r,
              const int32_t* m, uint8_t* base, int32_t rowBytes, const uint32_t* profile, int32_t half);
// Stereo painter: the red eye adds luminance to red, the cyan eye to green and blue.
void DrawRing3D(const Rect& cyanClip, const Rect& redClip, const uint16_t* sqrtTable, int32_t hCyan, int32_t hRed,
                int32_t cy, int32_t ri, int32_t r, const int32_t* mCyan, const int32_t* mRed, uint8_t* base,
                int32_t rowBytes, const uint32_t* profile, int32_t half);
// The profile stretched over the rectangle of the pen's target (editor preview); null does nothing.
void CopyRingPixHandleToRect(Handle ring, const Rect* rect);
