// Initial conditions of the bodies and the run-time body array built from them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Records.h"

void FillDefaultBodyInfo(BodyInfoStruct& info);
void FillDefaultCraftInfo(BodyInfoStruct& info);
// Append to the body list (one growth for all n); 0 when it is full or out of memory.
int32_t AddABody(const BodyInfoStruct& info);
int32_t AddBodies(const BodyInfoStruct* infos, int32_t n);
void DeleteABody(int32_t index);
int32_t GetCraftIndex();
bool IsThereACraft();
void TransferICsToRT();
void SetICsToRT();
// Initial conditions that start a body from its run-time state `r`, as SetICsToRT makes
// them (absolute, no parent); name, ring and picture of `info` stay.
void PresentStateAsInitial(const BodyRTStruct& r, BodyInfoStruct& info);
// Changes whenever the run-time state is discarded, rebuilt or restarted, so that a
// command can tell whether it threw the run away.
uint64_t RunTimeGeneration();
void NoteRunTimeReplaced();
// Called just before the run-time state is discarded, rebuilt or restarted (undo copies
// the run then, only for a command that really throws it away); null for none.
void SetBeforeRunReplaced(void (*keep)());
// The craft's engine record of a run that starts now.
void ClearEngineRecord();
void DeallocBodyRT();
// Bytes of a run-time list of `count` bodies: the count, then count + 1 records.
inline size_t BodyRTListBytes(int32_t count) {
    return offsetof(BodyRTListStruct, body) + size_t(count + 1) * sizeof(BodyRTStruct);
}
void DeallocBodyIC();
void DeallocateAllPushMemory();
