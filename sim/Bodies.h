// Initial conditions of the bodies and the run-time body array built from them.
#pragma once
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
void DeallocBodyRT();
void DeallocBodyIC();
void DeallocateAllPushMemory();
