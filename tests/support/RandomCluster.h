// A run-time body array of n equal bodies spread at random through a 2e9 m cube, with small
// random velocities; for benchmarks and for tests that need a large system of any shape.
#pragma once
#include <random>

#include "core/Memory.h"
#include "core/Records.h"

inline Handle MakeRandomCluster(int32_t n, uint32_t seed = 7) {
    Handle h = NewHandle(sizeof(BodyRTListStruct) + size_t(n + 1) * sizeof(BodyRTStruct));
    auto* list = HandleAs<BodyRTListStruct>(h);
    list->count = n;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1e9, 1e9);
    for (int32_t i = 0; i < n; ++i) {
        BodyRTStruct& b = list->body[i];
        for (int k = 0; k < 3; ++k) b.pos[k] = u(rng), b.vel[k] = u(rng) * 1e-6;
        b.mass = 1e22;
        b.radius = 1e6;
        b.axes = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    }
    return h;
}

// The same with the start-up physics: G = 6.672e-11, the inverse-square law, 10 s pushes.
inline Handle MakeRandomClusterWithSolarPhysics(int32_t n) {
    set.gravConstant = 6.672e-11;
    set.powerLaw = -2.0;
    set.timeStep = 10.0;
    return MakeRandomCluster(n);
}
