#include "render/Trails.h"

#include <cstring>

int32_t InitializeRTList(RTList& list, int32_t entrySize, int32_t entryCount) {
    Handle h = (entrySize > 0 && entryCount > 0) ? NewHandle(size_t(entrySize) * size_t(entryCount)) : 0;
    list.handle = h;
    if (!h) return 0;
    MoveHHi(h);
    HLock(h);
    list.entrySize = entrySize;
    list.entryCount = entryCount;
    list.headIndex = list.tailIndex = entryCount - 1;
    list.ptr = static_cast<uint8_t*>(HandlePtr(h));
    return 1;
}

void DisposeRTList(RTList& list) {
    if (list.handle) {
        HUnlock(list.handle);
        DisposeHandle(list.handle);
    }
    list = RTList{};
}

int32_t GetRTListAlloc(const RTList& list) { return list.handle ? list.entryCount : 0; }

int32_t GetRTListValidCount(const RTList& list) {
    if (!list.handle || list.entryCount <= 0) return 0;
    return (list.entryCount + list.tailIndex - list.headIndex) % list.entryCount;
}

void* GetRTList(const RTList& list, int32_t n) {
    if (!list.handle || n < 0 || list.entryCount <= n || n >= GetRTListValidCount(list)) return nullptr;
    int32_t slot = (n + list.headIndex) % list.entryCount;
    return list.ptr + size_t(slot) * size_t(list.entrySize);
}

void* GetTrailRTList(const RTList& list, int32_t n) { return GetRTList(list, n); }

int32_t TrailSlotSize(int32_t nBodies) {
    return int32_t(sizeof(int32_t) + sizeof(TrailPoint) * size_t(nBodies + 1));
}

int32_t TrailedBodyCount(const BodyRTListStruct* bodies) {
    int32_t n = bodies ? bodies->count : 0;
    while (n > 0 && IsDrawnAsPoint(bodies->body[n - 1])) --n;
    return n;
}

namespace {
// Walks the head back one slot, dropping the oldest entry when the ring is full.
void MakeRoom(RTList& list) {
    list.headIndex = (list.headIndex ? list.headIndex : list.entryCount) - 1;
    if (list.tailIndex == list.headIndex) list.tailIndex = (list.tailIndex ? list.tailIndex : list.entryCount) - 1;
}

// Snapshot records start after the count word; memcpy keeps unaligned access defined.
uint8_t* PointsOf(void* slot) { return static_cast<uint8_t*>(slot) + 4; }
}  // namespace

void PushRTListIntoTrail(RTList& list, const BodyRTListStruct* bodies) {
    if (!list.handle || !bodies) return;
    MakeRoom(list);
    void* slot = GetTrailRTList(list, 0);
    if (!slot) return;
    int32_t count = TrailedBodyCount(bodies);
    int32_t room = (list.entrySize - 4) / int32_t(sizeof(TrailPoint));
    if (count > room) count = room;  // never write past the slot
    std::memcpy(slot, &count, 4);
    uint8_t* out = static_cast<uint8_t*>(slot) + 4;
    for (int32_t b = 0; b < count; ++b) {
        const BodyRTStruct& r = bodies->body[b];
        TrailPoint p;
        std::memcpy(p.pos, r.pos, sizeof p.pos);
        p.radius = r.radius;
        p.kindFlags = r.bodyFlags;
        p.statusFlags = r.statusFlags;
        p.color = r.color;
        std::memcpy(out + b * sizeof(TrailPoint), &p, sizeof p);
    }
}

void PushTrailListRTIntoTrail(RTList& list, const void* snapshot) {
    if (!list.handle || !snapshot) return;
    MakeRoom(list);
    void* slot = GetTrailRTList(list, 0);
    if (!slot) return;
    int32_t count;
    std::memcpy(&count, snapshot, 4);
    int32_t room = (list.entrySize - 4) / int32_t(sizeof(TrailPoint));
    if (count > room) count = room;
    if (count < 0) count = 0;
    std::memcpy(slot, &count, 4);
    std::memmove(PointsOf(slot), static_cast<const uint8_t*>(snapshot) + 4, size_t(count) * sizeof(TrailPoint));
}

int32_t ResizeTrailRTList(RTList& list, int32_t nBodies, int32_t newLength) {
    if (list.handle && list.entryCount != 0) {
        RTList fresh{};
        if (InitializeRTList(fresh, TrailSlotSize(nBodies), newLength)) {
            int32_t kept = 0;
            while (kept < newLength && GetTrailRTList(list, kept)) ++kept;
            for (int32_t n = kept - 1; n >= 0; --n) PushTrailListRTIntoTrail(fresh, GetTrailRTList(list, n));
            DisposeRTList(list);
            list = fresh;
            return newLength;
        }
    }
    DisposeRTList(list);
    if (!InitializeRTList(list, TrailSlotSize(nBodies), newLength)) return newLength >> 1;
    return newLength;
}

void ScratchSpaceRequest(int32_t size) {
    if (rt.scratchSize >= size) return;
    DisposeScratchSpace();
    Handle h = NewHandle(size_t(size));
    if (!h) return;
    MoveHHi(h);
    HLock(h);
    rt.scratchHandle = h;
    rt.scratchPtr = static_cast<uint8_t*>(HandlePtr(h));
    rt.scratchSize = size;
}

void DisposeScratchSpace() {
    if (rt.scratchHandle) {
        HUnlock(rt.scratchHandle);
        DisposeHandle(rt.scratchHandle);
    }
    rt.scratchHandle = 0;
    rt.scratchPtr = nullptr;
    rt.scratchSize = 0;
}
