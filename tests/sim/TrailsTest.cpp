#include <gtest/gtest.h>

#include <cstring>

#include "render/Trails.h"

namespace {
// A slot of 4 + one int payload, so entries can be identified.
void PushTagged(RTList& l, int32_t tag) {
    uint8_t snap[4 + sizeof(TrailPoint)] = {};
    int32_t one = 1;
    std::memcpy(snap, &one, 4);
    TrailPoint p{};
    p.radius = tag;
    std::memcpy(snap + 4, &p, sizeof p);
    PushTrailListRTIntoTrail(l, snap);
}
double TagOf(const RTList& l, int32_t n) {
    TrailPoint p;
    std::memcpy(&p, static_cast<uint8_t*>(GetTrailRTList(l, n)) + 4, sizeof p);
    return p.radius;
}

TEST(Trails, RingKeepsOneSlotFreeAndDropsOldest) {
    RTList l{};
    ASSERT_EQ(InitializeRTList(l, TrailSlotSize(1), 5), 1);
    EXPECT_EQ(GetRTListAlloc(l), 5);
    EXPECT_EQ(GetRTListValidCount(l), 0);
    EXPECT_EQ(GetTrailRTList(l, 0), nullptr);
    for (int t = 1; t <= 4; ++t) PushTagged(l, t);
    EXPECT_EQ(GetRTListValidCount(l), 4);
    EXPECT_EQ(GetTrailRTList(l, 4), nullptr);
    PushTagged(l, 5);
    EXPECT_EQ(GetRTListValidCount(l), 4);
    EXPECT_EQ(TagOf(l, 0), 5);
    EXPECT_EQ(TagOf(l, 3), 2);
    DisposeRTList(l);
    EXPECT_EQ(GetRTListAlloc(l), 0);
    PushTagged(l, 1);  // null list: nothing happens
    EXPECT_EQ(GetTrailRTList(l, 0), nullptr);
}

TEST(Trails, ResizeKeepsNewestHistoryInOrder) {
    RTList l{};
    ASSERT_EQ(InitializeRTList(l, TrailSlotSize(1), 12), 1);
    for (int t = 1; t <= 9; ++t) PushTagged(l, t);
    EXPECT_EQ(ResizeTrailRTList(l, 1, 5), 5);
    EXPECT_EQ(GetRTListAlloc(l), 5);
    EXPECT_EQ(GetRTListValidCount(l), 4);
    EXPECT_EQ(TagOf(l, 0), 9);
    EXPECT_EQ(TagOf(l, 3), 6);
    DisposeRTList(l);

    EXPECT_EQ(ResizeTrailRTList(l, 3, 6), 6);  // from nothing: an empty ring
    EXPECT_EQ(GetRTListAlloc(l), 6);
    EXPECT_EQ(GetRTListValidCount(l), 0);
    DisposeRTList(l);

    SetMemoryLimitForTesting(LiveHandleBytes() + 16);
    EXPECT_EQ(ResizeTrailRTList(l, 3, 7), 3);
    SetMemoryLimitForTesting(0);
    EXPECT_EQ(GetRTListAlloc(l), 0);
}

TEST(Trails, ScratchSpaceNeverShrinks) {
    rt = RunTimeStruct{};
    ScratchSpaceRequest(200);
    ASSERT_NE(rt.scratchPtr, nullptr);
    uint8_t* p = rt.scratchPtr;
    ScratchSpaceRequest(100);
    EXPECT_EQ(rt.scratchPtr, p);
    EXPECT_EQ(rt.scratchSize, 200);
    DisposeScratchSpace();
    EXPECT_EQ(rt.scratchPtr, nullptr);
    EXPECT_EQ(rt.scratchSize, 0);
    EXPECT_EQ(rt.scratchHandle, 0u);
}
}  // namespace
