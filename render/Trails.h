// The trail history ring and the draw stage's scratch block.
#pragma once
#include <cstdint>

#include "core/Records.h"

int32_t InitializeRTList(RTList& list, int32_t entrySize, int32_t entryCount);
void DisposeRTList(RTList& list);
int32_t GetRTListAlloc(const RTList& list);
int32_t GetRTListValidCount(const RTList& list);
void* GetRTList(const RTList& list, int32_t n);
void* GetTrailRTList(const RTList& list, int32_t n);
int32_t TrailSlotSize(int32_t nBodies);
// Bodies a trail snapshot keeps: all up to the last one not drawn as a point. Test particles
// have no trails, so the particles of a belt (added after the bodies) take no trail memory.
int32_t TrailedBodyCount(const BodyRTListStruct* bodies);
void PushRTListIntoTrail(RTList& list, const BodyRTListStruct* bodies);
void PushTrailListRTIntoTrail(RTList& list, const void* snapshot);
int32_t ResizeTrailRTList(RTList& list, int32_t nBodies, int32_t newLength);
void ScratchSpaceRequest(int32_t size);
void DisposeScratchSpace();
