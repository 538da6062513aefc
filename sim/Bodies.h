// Initial conditions of the bodies and the run-time body array built from them.
#pragma once
#include <cstdint>

#include "core/Records.h"

void FillDefaultBodyInfo(BodyInfoStruct& info);
void FillDefaultCraftInfo(BodyInfoStruct& info);
int32_t AddABody(const BodyInfoStruct& info);
void DeleteABody(int32_t index);
int32_t GetCraftIndex();
bool IsThereACraft();
void TransferICsToRT();
void SetICsToRT();
void DeallocBodyRT();
void DeallocBodyIC();
void DeallocateAllPushMemory();
