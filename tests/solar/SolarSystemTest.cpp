// The shipped Solar System (JPL Horizons states at J2000) run forward with the application's own
// push stage, measured against published orbital facts.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
constexpr double kDay = 86400.0, kYear = 365.25 * kDay, kAu = 149597870700.0;  // IAU 2012
enum { kSun = 0, kEarth = 3, kMoon = 4, kJupiter = 6 };  // order in solar-system.json

// Angle of body i about body j in the x-y plane. (The Moon moves the Earth 4700 km, Jupiter's
// moons move it 400 km: far too little to shift a period averaged over many revolutions.)
double Angle(int i, int j) {
    const BodyRTStruct* b = BodyRTList()->body;
    return std::atan2(b[i].pos[1] - b[j].pos[1], b[i].pos[0] - b[j].pos[0]);
}

// Mean time per revolution of an angle sampled every `dt`, from the start to its return to the
// starting angle after `turns` revolutions (unwrapped, linearly interpolated).
double MeanPeriod(const std::vector<double>& angle, double dt, int turns) {
    std::vector<double> u{angle[0]};
    for (size_t i = 1; i < angle.size(); ++i) u.push_back(u.back() + std::remainder(angle[i] - angle[i - 1], 2 * M_PI));
    const double target = u[0] + (u.back() > u[0] ? 1 : -1) * 2 * M_PI * turns;
    for (size_t i = 1; i < u.size(); ++i)
        if ((u[i - 1] - target) * (u[i] - target) <= 0 && u[i] != u[i - 1])
            return dt * (double(i - 1) + (target - u[i - 1]) / (u[i] - u[i - 1])) / turns;
    return NAN;
}

// 12 years in 10-minute steps of semi-implicit Euler, sampled every 6 hours.
TEST(SolarSystem, RunsToThePublishedYearMonthJupiterPeriodAndEarthDistances) {
    std::string error;
    ASSERT_TRUE(LoadScenarioJSON(std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/solar-system.json", error)) << error;
    set.pushMethod = kPushSemiImplicitEuler;
    set.timeStep = 600.0;
    set.pushesPerFrame = 36;
    set.trailLength = 0;
    TransferICsToRT();
    ASSERT_NE(rt.bodyRT, kNoHandle);
    std::vector<double> earth, moon, jupiter;
    double nearest = INFINITY, farthest = 0;
    for (rt.simTime = 0; rt.simTime <= 12.0 * kYear; DoPushStage()) {
        earth.push_back(Angle(kEarth, kSun));
        moon.push_back(Angle(kMoon, kEarth));
        jupiter.push_back(Angle(kJupiter, kSun));
        if (rt.simTime > kYear) continue;
        const BodyRTStruct* b = BodyRTList()->body;
        const double d = std::hypot(b[kEarth].pos[0] - b[kSun].pos[0], b[kEarth].pos[1] - b[kSun].pos[1], b[kEarth].pos[2] - b[kSun].pos[2]);
        nearest = std::min(nearest, d), farthest = std::max(farthest, d);
    }
    // Means over many revolutions, so the planets' and the Sun's periodic pulls average out.
    EXPECT_NEAR(MeanPeriod(earth, 6 * 3600, 10) / kDay, 365.256, 0.01);   // sidereal year
    EXPECT_NEAR(MeanPeriod(moon, 6 * 3600, 150) / kDay, 27.32, 0.01);    // sidereal month
    EXPECT_NEAR(MeanPeriod(jupiter, 6 * 3600, 1) / kYear, 11.86, 0.01);
    EXPECT_NEAR(nearest / kAu, 0.98329, 0.98329e-3);   // perihelion
    EXPECT_NEAR(farthest / kAu, 1.01671, 1.01671e-3);  // aphelion
    DeallocateAllPushMemory();
}
}  // namespace
