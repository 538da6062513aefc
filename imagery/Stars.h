// The star field: star list, star data files and the star painter.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

Handle NewStarListHandle();
void DisposeStarListHandle(Handle list);
void FillWithStars(Handle list, int32_t count, const void* nativeRecords);  // records null: random stars
Handle GetStarListFromFS(const std::string& path);
void MoveHHiStarListHandle(Handle list);
void StarListHandleLocking(Handle list, int16_t lock);
void DrawStars(const Rect& clip, const IJK& rotation, Handle list, int32_t focalLength, int32_t cx, int32_t cy);
void EndianStarDataArray_BtoN(void* records, int32_t count);  // 32-byte big-endian file records, in place
