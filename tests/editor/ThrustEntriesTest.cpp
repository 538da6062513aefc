// Stepping through the craft's thrust schedule as the craft dialog does.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/Memory.h"
#include "sim/TimedThrust.h"
#include "windows/ThrustEntries.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ThrustEntriesTest : ::testing::Test {
    Handle list = kNoHandle;
    void SetUp() override { list = NewTTHandle(); }
    void TearDown() override {
        DisposeTTHandle(list);
        SetMemoryLimitForTesting(0);
    }
    void Add(double dv, int32_t push) {
        TimedThrustInfoStruct e{dv, push, 0};
        ASSERT_GE(AddTTData(list, &e), 0);
    }
    std::vector<std::pair<double, int32_t>> Listed() const {
        std::vector<std::pair<double, int32_t>> out;
        for (int32_t k = 0; k < GetTTCount(list); ++k) {
            TimedThrustInfoStruct e{};
            GetTTData(list, &e, k);
            out.emplace_back(e.deltaV, e.pushIndex);
        }
        return out;
    }
};

using Entries = std::vector<std::pair<double, int32_t>>;

}  // namespace

TEST_F(ThrustEntriesTest, ButtonsFollowTheEntryAndTheFields) {
    // Previous only from entry 1 on.
    EXPECT_FALSE(CanGoToPreviousThrustEntry(0));
    EXPECT_TRUE(CanGoToPreviousThrustEntry(1));
    // A new entry (k == count) must have a speed change and a positive push index.
    EXPECT_FALSE(CanGoToNextThrustEntry(list, 0, {0.0, 10}));
    EXPECT_FALSE(CanGoToNextThrustEntry(list, 0, {5.0, 0}));
    EXPECT_FALSE(CanGoToNextThrustEntry(list, 0, {5.0, kNaN}));
    EXPECT_TRUE(CanGoToNextThrustEntry(list, 0, {5.0, 1}));
    EXPECT_FALSE(CanDeleteThrustEntry(list, 0));
    Add(3.0, 10);
    // An existing entry may be left with any numbers, but not without them.
    EXPECT_TRUE(CanGoToNextThrustEntry(list, 0, {0.0, 0}));
    EXPECT_FALSE(CanGoToNextThrustEntry(list, 0, {kNaN, 10}));
    EXPECT_TRUE(CanDeleteThrustEntry(list, 0));
    EXPECT_FALSE(CanDeleteThrustEntry(list, 1));
}

TEST_F(ThrustEntriesTest, NextAppendsInOrderAndShowsTheFollowingEntry) {
    int32_t k = 0;
    ASSERT_TRUE(MoveThrustEntry(list, k, {5.0, 30}, +1));
    EXPECT_EQ(k, 1);
    ASSERT_TRUE(MoveThrustEntry(list, k, {2.0, 10}, +1));
    // Entry 10 went to index 0, so the next one shown is the old 30 at index 1.
    EXPECT_EQ(k, 1);
    EXPECT_EQ(ThrustEntryShown(list, k).pushIndex, 30);
    EXPECT_EQ(Listed(), (Entries{{2.0, 10}, {5.0, 30}}));
    // Past the end the fields show zeros.
    const ThrustEntryFields blank = ThrustEntryShown(list, 2);
    EXPECT_EQ(blank.deltaV, 0.0);
    EXPECT_EQ(blank.pushIndex, 0.0);
}

TEST_F(ThrustEntriesTest, AnEntryWithAnExistingPushIndexMerges) {
    Add(3.0, 10);
    Add(1.0, 20);
    int32_t k = 2;  // a new entry
    ASSERT_TRUE(MoveThrustEntry(list, k, {5.0, 10}, +1));
    EXPECT_EQ(Listed(), (Entries{{8.0, 10}, {1.0, 20}}));
    EXPECT_EQ(k, 1);
    // Editing entry 1 onto push 10 merges it into entry 0 too.
    ASSERT_TRUE(MoveThrustEntry(list, k, {1.0, 10}, -1));
    EXPECT_EQ(Listed(), (Entries{{9.0, 10}}));
    EXPECT_EQ(k, 0);  // j = 0, minus one, clamped
}

TEST_F(ThrustEntriesTest, ReplacingAnEntryResorts) {
    Add(1.0, 10);
    Add(2.0, 20);
    int32_t k = 0;
    ASSERT_TRUE(MoveThrustEntry(list, k, {1.5, 30}, +1));
    EXPECT_EQ(Listed(), (Entries{{2.0, 20}, {1.5, 30}}));
    EXPECT_EQ(k, 2);  // j = 1 plus one: the blank new entry
}

TEST_F(ThrustEntriesTest, FieldsWithoutNumbersDropTheEntry) {
    Add(1.0, 10);
    Add(2.0, 20);
    Add(3.0, 30);
    int32_t k = 1;
    ASSERT_TRUE(MoveThrustEntry(list, k, {kNaN, 20}, +1));
    EXPECT_EQ(Listed(), (Entries{{1.0, 10}, {3.0, 30}}));
    EXPECT_EQ(k, 1);  // the later entry moved down into the place
    ASSERT_TRUE(MoveThrustEntry(list, k, {3.0, kNaN}, -1));
    EXPECT_EQ(Listed(), (Entries{{1.0, 10}}));
    EXPECT_EQ(k, 0);
    // At entry 0 going back stays at 0.
    ASSERT_TRUE(MoveThrustEntry(list, k, {kNaN, kNaN}, -1));
    EXPECT_EQ(GetTTCount(list), 0);
    EXPECT_EQ(k, 0);
}

TEST_F(ThrustEntriesTest, AnIncompleteNewEntryOnlyMoves) {
    Add(1.0, 10);
    int32_t k = 1;
    ASSERT_TRUE(MoveThrustEntry(list, k, {0.0, 40}, -1));
    EXPECT_EQ(k, 0);
    EXPECT_EQ(GetTTCount(list), 1);
    k = 1;
    ASSERT_TRUE(MoveThrustEntry(list, k, {4.0, 0}, +1));
    EXPECT_EQ(k, 1);  // clamped to count
    EXPECT_EQ(GetTTCount(list), 1);
}

TEST_F(ThrustEntriesTest, DeletingPicksTheEntryThatMovedIn) {
    Add(1.0, 10);
    Add(2.0, 20);
    int32_t k = 0;
    DeleteThrustEntry(list, k);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(Listed(), (Entries{{2.0, 20}}));
    k = 1;  // the blank new entry: nothing to delete, but k is kept in range
    DeleteThrustEntry(list, k);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(GetTTCount(list), 1);
    DeleteThrustEntry(list, k);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(GetTTCount(list), 0);
}

TEST_F(ThrustEntriesTest, PushIndexIsTruncatedAndPinned) {
    EXPECT_EQ(ThrustFieldsPushIndex({1.0, 12.9}), 12);
    EXPECT_EQ(ThrustFieldsPushIndex({1.0, -3.7}), -3);
    EXPECT_EQ(ThrustFieldsPushIndex({1.0, 1e30}), INT32_MAX);
    EXPECT_EQ(ThrustFieldsPushIndex({1.0, -1e30}), INT32_MIN);
    EXPECT_FALSE(ThrustFieldsMakeEntry({1.0, 0.5}));  // push 0 is not a positive push number
}

TEST_F(ThrustEntriesTest, StoreAppendsOrReplacesOnlyCompleteEntries) {
    Add(1.0, 10);
    StoreThrustEntry(list, 0, {7.0, 15});
    EXPECT_EQ(Listed(), (Entries{{7.0, 15}}));
    StoreThrustEntry(list, 1, {0.0, 25});
    EXPECT_EQ(GetTTCount(list), 1);
    StoreThrustEntry(list, 1, {2.0, 25});
    EXPECT_EQ(Listed(), (Entries{{7.0, 15}, {2.0, 25}}));
}

TEST_F(ThrustEntriesTest, NoRoomForANewEntryKeepsTheFields) {
    Add(1.0, 10);  // block now holds exactly count + 1 entries
    SetMemoryLimitForTesting(LiveHandleBytes());
    int32_t k = 1;
    EXPECT_FALSE(MoveThrustEntry(list, k, {2.0, 20}, +1));
    EXPECT_EQ(k, 1);
    EXPECT_EQ(GetTTCount(list), 1);
}
