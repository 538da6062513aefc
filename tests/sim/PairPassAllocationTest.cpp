// Pushes allocate nothing once the scratch space has grown to the body count: every
// operator new of this test binary is counted, on every thread, while pushes run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

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

Handle MakeSystem(int32_t n) {
    Handle h = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
    auto* l = HandleAs<BodyRTListStruct>(h);
    l->count = n;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1e9, 1e9);
    for (int32_t i = 0; i < n; ++i) {
        for (int k = 0; k < 3; ++k) l->body[i].pos[k] = u(rng), l->body[i].vel[k] = u(rng) * 1e-6;
        l->body[i].mass = 1e22;
        l->body[i].axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    }
    return h;
}

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
                Handle h = MakeSystem(n);
                auto* l = HandleAs<BodyRTListStruct>(h);
                rt.pushCount = 0;
                ElementalPush(l);  // the first push of a run may grow the scratch
                ++rt.pushCount;
                EXPECT_EQ(AllocationsDuringPushes(l, 6), 0) << "method " << method << " n " << n << " p " << p;
                DisposeHandle(h);
            }
        }
    }
    // The counter itself works: a push on a larger system grows the scratch.
    Handle h = MakeSystem(kThreadedPairMinBodies * 8);
    EXPECT_GT(AllocationsDuringPushes(HandleAs<BodyRTListStruct>(h), 1), 0);
    DisposeHandle(h);
    SetPoolThreadCount(0);
}

}  // namespace
