// Pushes allocate nothing once the scratch space has grown to the body count: every operator
// new of this test binary is counted, on every thread (AllocationCounter.cpp).
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "RandomCluster.h"
#include "sim/Gravity.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {
long AllocationsDuringPushes(BodyRTListStruct* l, int pushes) {
    const long before = HeapAllocationCount();
    for (int p = 0; p < pushes; ++p, ++rt.pushCount) ElementalPush(l);
    return HeapAllocationCount() - before;
}

TEST(PairPassAllocation, PushesOfEveryMethodAllocateNothingOnceGrown) {
    set = SettingsStruct{};
    set.gravConstant = 6.672e-11;
    set.timeStep = 10.0;
    SetPoolThreadCount(2);
    for (double p : {-2.0, -1.5}) {
        set.powerLaw = p;
        for (int32_t method = 0; method <= kPushWisdomHolman; ++method) {
            set.pushMethod = method;
            for (int32_t n : {kThreadedPairMinBodies * 2, 40}) {  // the larger first: the scratch never regrows
                // Gauss–Radau's substeps make large systems slow (Wisdom–Holman hands other laws to it).
                if ((method == kPushGaussRadau || (method == kPushWisdomHolman && p != -2.0)) && n > 40) continue;
                Handle h = MakeRandomCluster(n);
                auto* l = HandleAs<BodyRTListStruct>(h);
                rt.pushCount = 0;  // the first pushes may grow scratch space: multistep methods start with Runge–Kutta
                AllocationsDuringPushes(l, 5);
                EXPECT_EQ(AllocationsDuringPushes(l, 6), 0) << "method " << method << " n " << n << " p " << p;
                DisposeHandle(h);
            }
        }
    }
    // The counter itself works: a push on a larger system grows the scratch.
    Handle h = MakeRandomCluster(kThreadedPairMinBodies * 8);
    EXPECT_GT(AllocationsDuringPushes(HandleAs<BodyRTListStruct>(h), 1), 0);
    DisposeHandle(h);
    SetPoolThreadCount(0);
}
}  // namespace
