// The cleaned copy of a schedule equals adding every entry one by one, as
// the schedule's definition says, and stays fast for long schedules.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "sim/TimedThrust.h"

namespace {

// The definition: a new list, every entry added in index order, then cleaned.
Handle CopyByAdding(Handle list) {
    Handle copy = NewTTHandle();
    for (int32_t k = 0; k < GetTTCount(list); ++k) {
        TimedThrustInfoStruct e;
        GetTTData(list, &e, k);
        AddTTData(copy, &e);
    }
    CleanUpTTData(copy);
    return copy;
}

Handle RawList(const std::vector<TimedThrustInfoStruct>& entries) {
    Handle h = NewHandle(kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (entries.size() + 1));
    TTList(h)->count = int32_t(entries.size());
    for (size_t k = 0; k < entries.size(); ++k) TTList(h)->entry[k] = entries[k];
    return h;
}

}  // namespace

TEST(ThrustCopy, EqualsAddingOneByOne) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<TimedThrustInfoStruct> entries;
        const int n = int(rng() % 60);
        for (int k = 0; k < n; ++k) {
            const int kind = int(rng() % 10);
            const double dv = kind == 0 ? 0.0 : kind == 1 ? std::nan("") : (int(rng() % 2001) - 1000) * 0.1 + 1e-3 * k;
            entries.push_back({dv, int32_t(rng() % 40) - 5, uint32_t(rng())});
        }
        const Handle raw = RawList(entries);
        const Handle fast = MakeTTDataCopy(raw), slow = CopyByAdding(raw);
        ASSERT_EQ(GetTTCount(fast), GetTTCount(slow));
        EXPECT_GT(GetHandleSize(fast), int32_t(kTTListHeaderSize + 16 * GetTTCount(fast)));  // a spare entry
        for (int32_t k = 0; k < GetTTCount(fast); ++k) {
            TimedThrustInfoStruct a, b;
            GetTTData(fast, &a, k);
            GetTTData(slow, &b, k);
            EXPECT_EQ(a.pushIndex, b.pushIndex);
            EXPECT_EQ(a.deltaV, b.deltaV);  // summed in the same order, bit for bit
            EXPECT_EQ(a.reserved12, b.reserved12);
        }
        DisposeTTHandle(raw);
        DisposeTTHandle(fast);
        DisposeTTHandle(slow);
    }
}

// A million entries: adding one by one moves the list's tail a million times.
TEST(ThrustCopy, AMillionEntriesCopyInLinearithmicTime) {
    std::vector<TimedThrustInfoStruct> entries;
    for (int32_t k = 0; k < 1000000; ++k) entries.push_back({1.0, 1000000 - k, 0});
    const Handle raw = RawList(entries);
    const auto start = std::chrono::steady_clock::now();
    const Handle copy = MakeTTDataCopy(raw);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(GetTTCount(copy), 1000000);
    TimedThrustInfoStruct first;
    GetTTData(copy, &first, 0);
    EXPECT_EQ(first.pushIndex, 1);
    EXPECT_LT(seconds, 20.0);  // the quadratic copy took hours
    DisposeTTHandle(raw);
    DisposeTTHandle(copy);
}
