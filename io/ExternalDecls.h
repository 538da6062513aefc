// Operations of the simulation, imagery and render modules used by universe
// loading, declared here until their own headers carry them.
#pragma once
#include <cstdint>

#include "core/Records.h"

int32_t AddABody(const BodyInfoStruct& info);
void DeallocateAllPushMemory();
void TransferICsToRT();
Handle MakeTTDataCopy(Handle list);
void DisposeTTHandle(Handle list);
int32_t AddPICTToSpherePixList(Handle list, Handle picture);
Handle GetSphereListPICT(Handle list, int32_t n);
void BuildBodyAxes(IJK& frame, double theta, double phi, double spin);
void DisposeScratchSpace();
