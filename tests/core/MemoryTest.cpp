#include <gtest/gtest.h>

#include <cstring>

#include "core/Memory.h"

TEST(Memory, NewHandleIsZeroedAndSized) {
    Handle h = NewHandle(100);
    ASSERT_NE(h, kNoHandle);
    EXPECT_EQ(GetHandleSize(h), 100);
    auto* p = HandleAs<uint8_t>(h);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(p[i], 0);
    DisposeHandle(h);
    EXPECT_FALSE(IsValidHandle(h));
    EXPECT_EQ(HandlePtr(h), nullptr);
}

TEST(Memory, GrowKeepsContentsAndZeroesTail) {
    Handle h = NewHandle(4);
    std::memcpy(HandlePtr(h), "abcd", 4);
    ASSERT_TRUE(SetHandleSize(h, 8));
    auto* p = HandleAs<char>(h);
    EXPECT_EQ(std::memcmp(p, "abcd\0\0\0\0", 8), 0);
    DisposeHandle(h);
}

TEST(Memory, LockedBlockCannotBeResized) {
    Handle h = NewHandle(16);
    HLock(h);
    EXPECT_FALSE(SetHandleSize(h, 32));
    EXPECT_EQ(GetHandleSize(h), 16);
    HUnlock(h);
    EXPECT_TRUE(SetHandleSize(h, 32));
    DisposeHandle(h);
}

TEST(Memory, LimitRefusesAllocations) {
    const size_t before = LiveHandleBytes();
    SetMemoryLimitForTesting(before + 64);
    Handle ok = NewHandle(32);
    EXPECT_NE(ok, kNoHandle);
    EXPECT_EQ(NewHandle(64), kNoHandle);
    EXPECT_FALSE(SetHandleSize(ok, 128));
    SetMemoryLimitForTesting(0);
    DisposeHandle(ok);
    EXPECT_EQ(LiveHandleBytes(), before);
}

TEST(Memory, DuplicateCopiesBytes) {
    Handle h = NewHandle(3);
    std::memcpy(HandlePtr(h), "xyz", 3);
    Handle d = DuplicateHandle(h);
    ASSERT_NE(d, kNoHandle);
    EXPECT_NE(d, h);
    EXPECT_EQ(std::memcmp(HandlePtr(d), "xyz", 3), 0);
    DisposeHandle(h);
    DisposeHandle(d);
    EXPECT_EQ(DuplicateHandle(kNoHandle), kNoHandle);
}
