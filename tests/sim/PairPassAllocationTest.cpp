// Pushes allocate nothing once the scratch space has grown to the body count: every
// operator new of this test binary is counted, on every thread (AllocationCounter.cpp).
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "RandomCluster.h"
#include "core/Memory.h"
#include "core/Records.h"
#include "sim/Gravity.h"
#include "sim/Integrators.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {

long AllocationsDuringPushes(BodyRTListStruct* l, int pushes) {
    const long before = HeapAllocationCount();
    for (int p = 0; p < pushes; ++p) {
        ElementalPush(l);
        ++rt.pushCount;
    }
    return HeapAllocationCount() - before;
}

TEST(PairPassAllocation, PushesAllocateNothingOnceGrown) {
    set = SettingsStruct{};
    set.gravConstant = 6.672e-11;
    set.timeStep = 10.0;
    SetPoolThreadCount(2);
    for (double p : {-2.0, -1.5}) {
        set.powerLaw = p;
        for (int32_t method = 0; method <= 4; ++method) {
            set.pushMethod = method;
            for (int32_t n : {kThreadedPairMinBodies * 2, 40}) {  // the larger first: the scratch never regrows
                Handle h = MakeRandomCluster(n);
                auto* l = HandleAs<BodyRTListStruct>(h);
                // The first pushes of a run may grow scratch space: the multistep methods
                // start with Runge–Kutta pushes and use their own buffers from the fifth on.
                rt.pushCount = 0;
                for (int warm = 0; warm < 5; ++warm, ++rt.pushCount) ElementalPush(l);
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
