#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/TimedThrust.h"

namespace {
std::vector<int32_t> Pushes(Handle h) {
    std::vector<int32_t> out;
    for (int32_t k = 0; k < GetTTCount(h); ++k) out.push_back(TTList(h)->entry[k].pushIndex);
    return out;
}
TimedThrustInfoStruct E(double dv, int32_t push) { return TimedThrustInfoStruct{dv, push, 0}; }

TEST(TimedThrust, AddSortsAndMergesEqualPushIndices) {
    Handle h = NewTTHandle();
    for (int32_t p : {30, 10, 20}) { auto e = E(1, p); AddTTData(h, &e); }
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(GetHandleSize(h), int32_t(8 + 16 * (3 + 1)));
    auto e5 = E(5, 10);
    EXPECT_EQ(AddTTData(h, &e5), 0);
    EXPECT_EQ(GetTTCount(h), 3);
    EXPECT_DOUBLE_EQ(TTList(h)->entry[0].deltaV, 6);
    EXPECT_EQ(GetTTIndex(h, 25), -1);
    EXPECT_EQ(GetTTIndex(h, 20), 1);
    DisposeTTHandle(h);
}

TEST(TimedThrust, CancellingEntriesAreCleanedUp) {
    Handle h = NewTTHandle();
    auto a = E(3, 10), b = E(-3, 10), c = E(NAN, 4), d = E(2, 12);
    AddTTData(h, &a); AddTTData(h, &b); AddTTData(h, &c); AddTTData(h, &d);
    EXPECT_EQ(GetTTCount(h), 3);
    CleanUpTTData(h);
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{12}));
    DisposeTTHandle(h);
}

TEST(TimedThrust, SetReplacesAndResorts) {
    Handle h = NewTTHandle();
    auto a = E(1, 10), b = E(1, 20), c = E(1, 30);
    AddTTData(h, &a); AddTTData(h, &b);
    EXPECT_EQ(SetTTData(h, &c, 0), 1);
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{20, 30}));
    EXPECT_EQ(SetTTData(h, &c, -1), -1);
    EXPECT_EQ(SetTTData(0, &c, 0), -1);
    EXPECT_EQ(AddTTData(h, nullptr), -1);
    DisposeTTHandle(h);
}

TEST(TimedThrust, CopyDropsNegativePushesAndBadIndicesAreIgnored) {
    Handle h = NewTTHandle();
    auto a = E(1, -5), b = E(2, 7);
    AddTTData(h, &a); AddTTData(h, &b);
    Handle c = MakeTTDataCopy(h);
    EXPECT_EQ(Pushes(c), (std::vector<int32_t>{7}));
    EXPECT_EQ(MakeTTDataCopy(0), 0u);
    TimedThrustInfoStruct out{};
    GetTTData(c, &out, 5);  // out of range: untouched
    EXPECT_EQ(out.pushIndex, 0);
    DisposeTTHandle(c);
    DisposeTTHandle(h);
    EXPECT_EQ(GetTTCount(0), 0);
}
}  // namespace
