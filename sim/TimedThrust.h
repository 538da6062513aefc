// The craft's sorted schedule of speed changes.
#pragma once
#include <cstdint>

#include "core/Records.h"

Handle NewTTHandle();
void DisposeTTHandle(Handle list);
void TTHandleLocking(Handle list, int16_t lock);
int32_t GetTTCount(Handle list);
// pushIndex is the 64-bit push counter: beyond the 32-bit entries nothing matches.
int32_t GetTTIndex(Handle list, int64_t pushIndex);
void GetTTData(Handle list, TimedThrustInfoStruct* out, int32_t index);
void RemoveTTData(Handle list, int32_t index);
int32_t MergeInTTData(Handle list, const TimedThrustInfoStruct* entry);
int32_t AddTTData(Handle list, const TimedThrustInfoStruct* entry);
int32_t SetTTData(Handle list, const TimedThrustInfoStruct* entry, int32_t index);
void CleanUpTTData(Handle list);
Handle MakeTTDataCopy(Handle list);
