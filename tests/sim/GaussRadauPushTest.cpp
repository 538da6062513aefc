// Push method 5 inside the real push stage: one push is still one time step, thrust
// and merges reach the integrator, and a close fly-by is resolved by substeps.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "SimFixture.h"
#include "io/Universe.h"
#include "sim/GaussRadauPush.h"
#include "sim/Gravity.h"
#include "sim/PushStage.h"

namespace {
constexpr double kG = 6.672e-11;
constexpr double kMoonMass = 7.342e22, kMoonRadius = 1.7374e6;
constexpr double kEarthMass = 5.972e24, kMoonDistance = 3.844e8;

class GaussRadauPushTest : public SimTest {
public:
    void SetUp() override {
        SimTest::SetUp();
        DisposeGaussRadauPush();
        set.pushMethod = kPushGaussRadau;
    }
    void TearDown() override {
        DisposeGaussRadauPush();
        SimTest::TearDown();
    }
    void Run(int32_t pushes) {
        set.pushesPerFrame = pushes;
        DoPushStage();
    }
    static double Distance(int i, int j) {
        double s = 0;
        for (int n = 0; n < 3; ++n) s += std::pow(RT(i).pos[n] - RT(j).pos[n], 2);
        return std::sqrt(s);
    }
};

// Earth, Moon and a craft that comes in 4e7 m from the Moon at 1.5 km/s aimed so
// that its two-body pericentre is 1.5 lunar radii.
void AddFlyby() {
    const double moonSpeed = std::sqrt(kG * (kEarthMass + kMoonMass) / kMoonDistance);
    AddABody(SimTest::Body(0, 0, 0, 0, 0, 0, kEarthMass, 6.371e6, "Earth"));
    AddABody(SimTest::Body(kMoonDistance, 0, 0, 0, moonSpeed, 0, kMoonMass, kMoonRadius, "Moon"));
    const double mu = kG * kMoonMass, r0 = 4e7, v0 = 1500.0, rp = 1.5 * kMoonRadius;
    const double energy = 0.5 * v0 * v0 - mu / r0;
    const double h = rp * std::sqrt(2 * (energy + mu / rp));
    const double vt = h / r0, vr = -std::sqrt(v0 * v0 - vt * vt);
    // Craft on the Moon's far side (+x from it), moving inward along −x with a
    // tangential part along +y; the Moon's own velocity is added.
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    c.pos[0] = kMoonDistance + r0, c.pos[1] = 0, c.pos[2] = 0;
    c.vel[0] = vr, c.vel[1] = moonSpeed + vt, c.vel[2] = 0;
    c.mass = 1000.0;
    c.radius = 5.0;
    AddABody(c);
}
}  // namespace

TEST_F(GaussRadauPushTest, CloseFlybyMatchesHundredTimesShorterPushes) {
    const double flyby = 16 * 3600.0;
    std::vector<double> finalPos[2];
    double closest = HUGE_VAL;
    long substeps = 0;
    const double steps[2] = {60.0, 0.6};
    for (int run = 0; run < 2; ++run) {
        DeallocateAllPushMemory();
        AddFlyby();
        set.timeStep = steps[run];
        const int32_t pushes = int32_t(std::lround(flyby / steps[run]));
        for (int32_t p = 0; p < pushes; ++p) {
            Run(1);
            if (run == 0) {
                closest = std::min(closest, Distance(1, 2));
                substeps += rt.substepsLastPush;
            }
        }
        EXPECT_EQ(rt.pushCount, pushes);
        finalPos[run].assign(RT(2).pos, RT(2).pos + 3);
    }
    double diff = 0;
    for (int n = 0; n < 3; ++n) diff += std::pow(finalPos[0][n] - finalPos[1][n], 2);
    diff = std::sqrt(diff);
    const double scale = 4e7;  // the craft's distance from the Moon at either end
    std::printf("fly-by: closest %.3f lunar radii, %ld substeps in %d pushes, 60 s vs 0.6 s pushes differ by %.3g m\n",
                closest / kMoonRadius, substeps, int(flyby / 60), diff);
    EXPECT_NEAR(closest / kMoonRadius, 1.5, 0.05);
    EXPECT_LE(diff, 1e-9 * scale);
}

TEST_F(GaussRadauPushTest, RungeKuttaMissesTheSameFlybyBound) {
    // The fly-by bound above is not trivially met: the fixed-step method at the
    // same push length strays well beyond it.
    const double flyby = 16 * 3600.0;
    std::vector<double> finalPos[2];
    const int32_t methods[2] = {kPushRungeKutta, kPushGaussRadau};
    for (int run = 0; run < 2; ++run) {
        DeallocateAllPushMemory();
        AddFlyby();
        set.pushMethod = methods[run];
        set.timeStep = 60.0;
        for (int32_t p = 0; p < int32_t(flyby / 60.0); ++p) Run(1);
        finalPos[run].assign(RT(2).pos, RT(2).pos + 3);
    }
    double diff = 0;
    for (int n = 0; n < 3; ++n) diff += std::pow(finalPos[0][n] - finalPos[1][n], 2);
    EXPECT_GT(std::sqrt(diff), 10 * 1e-9 * 4e7);
}

TEST_F(GaussRadauPushTest, OnePushAdvancesExactlyOneTimeStepOnACircularOrbit) {
    // A light body on a circular orbit: after k pushes it stands where the analytic
    // orbit puts it at k·timeStep, whatever substeps each push took.
    const double m = 6e24, r = 7e6, v = std::sqrt(kG * m / r);
    AddABody(Body(0, 0, 0, 0, 0, 0, m, 6.4e6));
    AddABody(Body(r, 0, 0, 0, v, 0, 1.0, 1.0));
    set.timeStep = 1234.5;  // longer than a sixth of the period: several substeps per push
    Run(20);
    EXPECT_EQ(rt.pushCount, 20);
    EXPECT_DOUBLE_EQ(rt.simTime, 20 * 1234.5);
    EXPECT_GT(rt.substepsLastPush, 1);
    const double angle = v / r * rt.simTime;
    EXPECT_NEAR(RT(1).pos[0] - RT(0).pos[0], r * std::cos(angle), 1e-9 * r);
    EXPECT_NEAR(RT(1).pos[1] - RT(0).pos[1], r * std::sin(angle), 1e-9 * r);
    // The start-of-push state is kept as for the other methods.
    EXPECT_NE(RT(1).lastPos[0], RT(1).pos[0]);
}

TEST_F(GaussRadauPushTest, TimedThrustReachesTheIntegrator) {
    // A speed change from the thrust schedule must carry into the following pushes
    // exactly as if a run had been started from the changed state.
    const double m = 6e24, r = 7e6, v = std::sqrt(kG * m / r);
    BodyInfoStruct craft;
    FillDefaultCraftInfo(craft);
    craft.pos[0] = r, craft.pos[1] = craft.pos[2] = 0;
    craft.vel[0] = 0, craft.vel[1] = v, craft.vel[2] = 0;
    craft.mass = 1000.0;
    AddABody(Body(0, 0, 0, 0, 0, 0, m, 6.4e6));
    AddABody(craft);
    set.timeStep = 100.0;
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct entry{250.0, 9, 0};
    AddTTData(set.timedThrust, &entry);
    Run(10);  // the entry fires after the tenth push
    ASSERT_GT(std::hypot(RT(1).vel[0] - RT(0).vel[0], RT(1).vel[1] - RT(0).vel[1]), v + 200.0);
    BodyInfoStruct planetNow = Body(RT(0).pos[0], RT(0).pos[1], RT(0).pos[2], RT(0).vel[0], RT(0).vel[1],
                                    RT(0).vel[2], m, 6.4e6);
    BodyInfoStruct craftNow = craft;
    for (int n = 0; n < 3; ++n) craftNow.pos[n] = RT(1).pos[n], craftNow.vel[n] = RT(1).vel[n];
    Run(30);
    const double carried[2] = {RT(1).pos[0] - RT(0).pos[0], RT(1).pos[1] - RT(0).pos[1]};

    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = 0;
    DisposeGaussRadauPush();
    AddABody(planetNow);
    AddABody(craftNow);
    Run(30);
    EXPECT_NEAR(carried[0], RT(1).pos[0] - RT(0).pos[0], 1e-8 * r);
    EXPECT_NEAR(carried[1], RT(1).pos[1] - RT(0).pos[1], 1e-8 * r);
}

TEST_F(GaussRadauPushTest, MergedBodyStopsAndTheSurvivorKeepsItsNewVelocity) {
    set.onCrash = kCrashMerge;
    set.timeStep = 1.0;
    AddABody(Body(0, 0, 0, 0, 0, 0, 1e16, 1000.0));
    // Passing 1500 m from the first body's centre: inside the sum of the radii, yet
    // clear of the point-mass singularity that a head-on path would cross mid-push.
    AddABody(Body(5000, 1500, 0, -500, 0, 0, 1e15, 1000.0));
    AddABody(Body(5e6, 0, 0, 0, 50, 0, 1e14, 1000.0));
    double speedBefore = 0.0;
    for (int frame = 0; frame < 20 && (!BodyRTList() || IsLiveBody(RT(1))); ++frame) {
        if (BodyRTList()) speedBefore = RT(0).vel[0];
        Run(1);
    }
    ASSERT_FALSE(IsLiveBody(RT(1)));
    const std::vector<double> absorbedAt(RT(1).pos, RT(1).pos + 3);
    const double mergedSpeed = RT(0).vel[0];
    // In the centre-of-mass frame the survivor moved at about +45 m/s and the merge
    // with the intruder's momentum nearly stops it.
    ASSERT_GT(speedBefore, 40.0);
    ASSERT_LT(std::fabs(mergedSpeed), 5.0);
    Run(50);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(RT(1).pos[n], absorbedAt[n]);
    EXPECT_NEAR(RT(0).vel[0], mergedSpeed, 1e-3);
}

TEST_F(GaussRadauPushTest, PositionsMovedFromOutsideAreKept) {
    const double m = 6e24, r = 7e6, v = std::sqrt(kG * m / r);
    auto start = [&] {
        DeallocateAllPushMemory();
        DisposeGaussRadauPush();
        AddABody(Body(0, 0, 0, 0, 0, 0, m, 6.4e6));
        AddABody(Body(r, 0, 0, 0, v, 0, 1e22, 1.0));
        set.timeStep = 300.0;
    };
    start();
    Run(10);
    const std::vector<double> plain(RT(1).pos, RT(1).pos + 3);
    start();
    Run(5);
    for (int i = 0; i < 2; ++i) RT(i).pos[2] += 1e7;  // the whole system shifted between pushes
    Run(5);
    EXPECT_NEAR(RT(1).pos[0], plain[0], 1e-9 * r);
    EXPECT_NEAR(RT(1).pos[1], plain[1], 1e-9 * r);
    EXPECT_NEAR(RT(1).pos[2], plain[2] + 1e7, 1e-9 * r);
}

TEST_F(GaussRadauPushTest, UniverseFileKeepsTheMethodAndRunsIt) {
    // Stored as 5 in the settings resource; before this method existed a file holding
    // 5 fell back to semi-implicit Euler.
    const double m = 6e24, r = 7e6, v = std::sqrt(kG * m / r);
    AddABody(Body(0, 0, 0, 0, 0, 0, m, 6.4e6, "Planet"));
    AddABody(Body(r, 0, 0, 0, v, 0, 1.0, 1.0, "Moon"));
    set.timeStep = 3000.0;
    set.viewAngle = 70;  // files with a view angle of 0 are refused
    const std::string path = ::testing::TempDir() + "gauss-radau.universe";
    ASSERT_TRUE(SaveAllSettingsTo(path, false));
    DeallocateAllPushMemory();
    set.pushMethod = kPushSemiImplicitEuler;
    ASSERT_TRUE(LoadAllSettingsFrom(path));
    EXPECT_EQ(set.pushMethod, kPushGaussRadau);
    rt.substepsLastPush = 0;
    Run(1);
    EXPECT_GT(rt.substepsLastPush, 1);  // a 3000 s push on a 1.6 h orbit needs several
    const double angle = v / r * 3000.0;
    EXPECT_NEAR(RT(1).pos[0] - RT(0).pos[0], r * std::cos(angle), 1e-9 * r);
    std::remove(path.c_str());
}

TEST_F(GaussRadauPushTest, FarFromTheOriginTheStepDoesNotCollapse) {
    // A craft in low orbit around a planet that itself circles a star at 1 AU: its
    // position is known only to about 1e-5 m there, which puts a floor under the
    // error estimate. The step must settle above that floor, not shrink to nothing,
    // and the orbit must still agree with ten times shorter pushes.
    const double sun = 1.989e30, earth = 5.972e24, au = 1.496e11, r = 6.771e6;
    const double vEarth = std::sqrt(kG * sun / au), vCraft = std::sqrt(kG * earth / r);
    std::vector<double> rel[2];
    long substeps = 0;
    const double steps[2] = {60.0, 6.0};
    for (int run = 0; run < 2; ++run) {
        DeallocateAllPushMemory();
        DisposeGaussRadauPush();
        AddABody(Body(0, 0, 0, 0, 0, 0, sun, 6.96e8));
        AddABody(Body(au, 0, 0, 0, vEarth, 0, earth, 6.371e6));
        AddABody(Body(au + r, 0, 0, 0, vEarth + vCraft, 0, 1000.0, 10.0));
        set.timeStep = steps[run];
        const int32_t pushes = int32_t(std::lround(6 * 3600.0 / steps[run]));
        for (int32_t p = 0; p < pushes; ++p) {
            Run(1);
            if (run == 0) substeps += rt.substepsLastPush;
        }
        for (int n = 0; n < 3; ++n) rel[run].push_back(RT(2).pos[n] - RT(1).pos[n]);
    }
    double diff = 0;
    for (int n = 0; n < 3; ++n) diff += std::pow(rel[0][n] - rel[1][n], 2);
    std::printf("craft at 1 AU: %ld substeps in 360 pushes, 60 s vs 6 s pushes differ by %.3g m\n", substeps,
                std::sqrt(diff));
    EXPECT_LE(substeps, 2 * 360);
    EXPECT_LE(std::sqrt(diff), 1e-10 * r);
}
