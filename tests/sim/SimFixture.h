// Resets the globals around each simulation test.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/Records.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

class SimTest : public ::testing::Test {
public:
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
        b.pos[0] = x; b.pos[1] = y; b.pos[2] = z;
        b.vel[0] = vx; b.vel[1] = vy; b.vel[2] = vz;
        b.mass = mass;
        b.radius = radius;
        b.name[0] = uint8_t(std::strlen(name));
        std::memcpy(b.name + 1, name, b.name[0]);
        return b;
    }
    static BodyRTStruct& RT(int i) { return BodyRTList()->body[i]; }
};
