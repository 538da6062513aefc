// The shipped Solar System (JPL Horizons states at J2000) run forward with the application's own
// push stage, measured against published orbital facts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/Records.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
constexpr double kDay = 86400.0, kYear = 365.25 * kDay, kAu = 149597870700.0;  // IAU 2012
enum { kSun = 0, kEarth = 3, kMoon = 4, kJupiter = 6, kCallisto = 10 };  // order in solar-system.json

// Barycentre of bodies first..last relative to the Sun.
void Barycentre(int first, int last, double out[3]) {
    const BodyRTStruct* b = BodyRTList()->body;
    double m = 0, p[3] = {};
    for (int i = first; i <= last; ++i) {
        m += b[i].mass;
        for (int n = 0; n < 3; ++n) p[n] += b[i].mass * b[i].pos[n];
    }
    for (int n = 0; n < 3; ++n) out[n] = p[n] / m - b[kSun].pos[n];
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
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    std::string error;
    ASSERT_TRUE(LoadScenarioJSON(std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/solar-system.json", error)) << error;
    set.pushMethod = kPushSemiImplicitEuler;
    set.timeStep = 600.0;
    set.pushesPerFrame = 36;
    set.trailLength = 0;
    TransferICsToRT();
    ASSERT_NE(rt.bodyRT, kNoHandle);
    double emb[3], jupiter[3];
    std::vector<double> earth, moon, jupiterAngle;
    double nearest = INFINITY, farthest = 0;
    for (rt.simTime = 0; rt.simTime <= 12.0 * kYear; DoPushStage()) {
        const BodyRTStruct* b = BodyRTList()->body;
        Barycentre(kEarth, kMoon, emb);
        Barycentre(kJupiter, kCallisto, jupiter);  // Jupiter and its four large moons
        earth.push_back(std::atan2(emb[1], emb[0]));
        moon.push_back(std::atan2(b[kMoon].pos[1] - b[kEarth].pos[1], b[kMoon].pos[0] - b[kEarth].pos[0]));
        jupiterAngle.push_back(std::atan2(jupiter[1], jupiter[0]));
        if (rt.simTime > kYear) continue;
        const double d = std::hypot(b[kEarth].pos[0] - b[kSun].pos[0], b[kEarth].pos[1] - b[kSun].pos[1], b[kEarth].pos[2] - b[kSun].pos[2]);
        nearest = std::min(nearest, d), farthest = std::max(farthest, d);
    }
    // Means over many revolutions, so the planets' and the Sun's periodic pulls average out.
    EXPECT_NEAR(MeanPeriod(earth, 6 * 3600, 10) / kDay, 365.256, 0.01);   // sidereal year
    EXPECT_NEAR(MeanPeriod(moon, 6 * 3600, 150) / kDay, 27.32, 0.01);    // sidereal month
    EXPECT_NEAR(MeanPeriod(jupiterAngle, 6 * 3600, 1) / kYear, 11.86, 0.01);
    EXPECT_NEAR(nearest / kAu, 0.98329, 0.98329e-3);   // perihelion
    EXPECT_NEAR(farthest / kAu, 1.01671, 1.01671e-3);  // aphelion
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
}
}  // namespace
