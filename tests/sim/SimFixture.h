// Resets the globals around each simulation test; builds systems and measures what they conserve.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/Records.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/Gravity.h"
#include "sim/TimedThrust.h"

inline double Distance(const double* a, const double* b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

struct SimTest : ::testing::Test {
    void SetUp() override { Reset(); }
    void TearDown() override {
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        DisposeScratchSpace();
        Reset();
    }
    static void Reset() {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        set.gravConstant = 6.672e-11;
        set.powerLaw = -2.0;
        set.timeStep = 10.0;
        set.pushesPerFrame = 1;
    }
    static BodyInfoStruct Body(double x, double y, double z, double vx, double vy, double vz, double mass,
                               double radius, const char* name = "") {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        b.pos[0] = x, b.pos[1] = y, b.pos[2] = z, b.vel[0] = vx, b.vel[1] = vy, b.vel[2] = vz;
        b.mass = mass;
        b.radius = radius;
        b.name[0] = uint8_t(std::strlen(name));
        std::memcpy(b.name + 1, name, b.name[0]);
        return b;
    }
    static BodyRTStruct& RT(int i) { return BodyRTList()->body[i]; }
    static int32_t Count() { return BodyRTList()->count; }
    // A fresh run of point masses {x, y, z, vx, vy, vz, m} (G = 1, inverse square).
    static void Start(const std::vector<std::vector<double>>& bodies, int32_t method, double dt) {
        DeallocateAllPushMemory();
        set.gravConstant = 1.0;
        set.pushMethod = method;
        set.timeStep = dt;
        for (const auto& b : bodies) AddABody(Body(b[0], b[1], b[2], b[3], b[4], b[5], b[6], 1e-9));
        TransferICsToRT();
    }
    static void Run(int64_t pushes) {
        for (int64_t p = 0; p < pushes; ++p, ++rt.pushCount) ElementalPush(BodyRTList());
    }
    static double Energy() {
        double e = 0;
        for (int i = 0; i < Count(); ++i) {
            e += 0.5 * RT(i).mass * (RT(i).vel[0] * RT(i).vel[0] + RT(i).vel[1] * RT(i).vel[1] + RT(i).vel[2] * RT(i).vel[2]);
            for (int j = 0; j < i; ++j) e -= set.gravConstant * RT(i).mass * RT(j).mass / Distance(RT(i).pos, RT(j).pos);
        }
        return e;
    }
};
