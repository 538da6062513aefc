// Pushes allocate nothing once the scratch space has grown to the body count: every
// operator new of this test binary is counted, on every thread, while pushes run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "RandomCluster.h"
#include "core/Memory.h"
#include "core/Records.h"
#include "sim/Gravity.h"
#include "sim/Integrators.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

// malloc and free on both sides; GCC cannot see that the replaced new is malloc-based.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

namespace {


long AllocationsDuringPushes(BodyRTListStruct* l, int pushes) {
    allocations = 0;
    counting = true;
    for (int p = 0; p < pushes; ++p) {
        ElementalPush(l);
        ++rt.pushCount;
    }
    counting = false;
    return allocations.load();
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
