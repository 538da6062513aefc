// The star field: star list, star data files and the star painter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

Handle NewStarListHandle();
void DisposeStarListHandle(Handle list);
void FillWithStars(Handle list, int32_t count, const void* nativeRecords);  // records null: random stars
// A star list from a star data file: a regular file of at most kMaxStarFileBytes.
// None when it cannot be read or holds no whole record; why then says what went wrong.
Handle GetStarListFromFS(const std::string& path, std::string* why = nullptr);
// The same from the file's bytes (converted in place).
Handle StarListFromFileBytes(std::vector<uint8_t>& bytes);
void MoveHHiStarListHandle(Handle list);
void StarListHandleLocking(Handle list, int16_t lock);
void DrawStars(const Rect& clip, const IJK& rotation, Handle list, int32_t focalLength, int32_t cx, int32_t cy);
void EndianStarDataArray_BtoN(void* records, int32_t count);  // 32-byte big-endian file records, in place
