// Collisions: the crash boundary, merges that keep mass, momentum and centre of mass,
// chains of touching bodies, and re-centring once bodies are absorbed.
#include <cmath>

#include "SimFixture.h"
#include "sim/Gravity.h"
#include "sim/PushStage.h"

namespace {
class Merge : public SimTest {
public:
    static void LiveSums(double& mass, double momentum[3], double centre[3]) {
        mass = 0;
        for (int n = 0; n < 3; ++n) momentum[n] = centre[n] = 0;
        for (int i = 0; i < BodyRTList()->count; ++i) {
            const BodyRTStruct& b = RT(i);
            if (b.statusFlags & kAbsorbedStatus) continue;
            mass += b.mass;
            for (int n = 0; n < 3; ++n) momentum[n] += b.mass * b.vel[n], centre[n] += b.mass * b.pos[n];
        }
        for (int n = 0; n < 3; ++n) centre[n] /= mass;
    }
    // Sets the run-time velocity directly: re-centring would zero the total momentum.
    static void SetVelocity(int i, double vx, double vy, double vz) {
        RT(i).vel[0] = vx, RT(i).vel[1] = vy, RT(i).vel[2] = vz;
    }
    // Masses 5, 1, 2 of radius 5 on the x axis, 0 and 1 overlapping, all moving; merging on.
    static void MovingTrio(double thirdX, double thirdY) {
        AddABody(Body(0, 0, 0, 0, 0, 0, 5, 5));
        AddABody(Body(8, 0, 0, 0, 0, 0, 1, 5));
        AddABody(Body(thirdX, thirdY, 0, 0, 0, 0, 2, 5));
        TransferICsToRT();
        SetVelocity(0, 1, 0.5, 0);
        SetVelocity(1, -3, 2, 0);
        SetVelocity(2, 0.5, -1, 2);
        set.gravConstant = 1e-3;
        set.timeStep = 0.01;
        set.onCrash = kCrashMerge;
    }
};

TEST_F(Merge, TouchingCountsAsCrashAndAHairApartDoesNot) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 1, 10));
    AddABody(Body(20, 0, 0, 0, 0, 0, 1, 10));
    TransferICsToRT();
    GravityPairPass(BodyRTList());
    ASSERT_EQ(RT(1).nearestDistSq, 400.0);
    EXPECT_TRUE(CheckForCrash(BodyRTList(), kCrashIgnore));
    RT(0).nearestDistSq = RT(1).nearestDistSq = std::nextafter(400.0, 1e9);
    EXPECT_FALSE(CheckForCrash(BodyRTList(), kCrashIgnore));
    RT(1).pos[0] += 1e-9;
    GravityPairPass(BodyRTList());
    EXPECT_FALSE(CheckForCrash(BodyRTList(), kCrashIgnore));
}

TEST_F(Merge, UnequalMovingMassesKeepMassMomentumAndCentre) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 3, 10));
    AddABody(Body(12, 0, 0, 0, 0, 0, 1, 6));
    TransferICsToRT();
    SetVelocity(0, 2, 1, 0);
    SetVelocity(1, -4, 3, 1);
    set.gravConstant = 1.0;
    set.timeStep = 0.5;
    set.onCrash = kCrashMerge;
    double m0, p0[3], c0[3];
    LiveSums(m0, p0, c0);
    DoPushStage();
    EXPECT_EQ(RT(1).statusFlags & 3u, 3u);  // the lighter body is absorbed
    EXPECT_EQ(RT(0).statusFlags, 0u);
    double m1, p1[3], c1[3];
    LiveSums(m1, p1, c1);
    EXPECT_DOUBLE_EQ(m1, 4.0);
    EXPECT_DOUBLE_EQ(RT(0).radius, std::cbrt(1000.0 + 216.0));
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(p1[n], p0[n], 1e-12) << n;  // (3·(2,1,0) + (-4,3,1)) = (2, 6, 1)
        EXPECT_NEAR(RT(0).vel[n], p0[n] / 4.0, 1e-12) << n;
        // Internal forces leave the centre of mass moving uniformly through the push.
        EXPECT_NEAR(c1[n], c0[n] + set.timeStep * p0[n] / m0, 1e-12) << n;
    }
    // The absorbed body stays where the push left it and no longer moves.
    double frozen[3] = {RT(1).pos[0], RT(1).pos[1], RT(1).pos[2]};
    DoPushStage();
    for (int n = 0; n < 3; ++n) EXPECT_EQ(RT(1).pos[n], frozen[n]);
}

TEST_F(Merge, ChainDoesNotMergeIntoAnAbsorbedPartner) {
    // 2 meets 1 first and absorbs it; 0's nearest neighbour is the absorbed 1.
    MovingTrio(16, 0);
    double m0, p0[3], c0[3];
    LiveSums(m0, p0, c0);
    DoPushStage();
    EXPECT_EQ(RT(1).statusFlags & 3u, 3u);
    EXPECT_EQ(RT(0).statusFlags, 0u);
    EXPECT_EQ(RT(2).statusFlags, 0u);
    EXPECT_DOUBLE_EQ(RT(0).mass, 5.0);
    EXPECT_DOUBLE_EQ(RT(2).mass, 3.0);
    double m1, p1[3], c1[3];
    LiveSums(m1, p1, c1);
    EXPECT_DOUBLE_EQ(m1, m0);
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(p1[n], p0[n], 1e-12) << n;
}

TEST_F(Merge, RecentringCountsOnlyLiveBodies) {
    MovingTrio(300, 40);
    DoPushStage();
    ASSERT_EQ(RT(1).statusFlags & 3u, 3u);
    double absorbedOffset[3];
    for (int n = 0; n < 3; ++n) absorbedOffset[n] = RT(1).pos[n] - RT(0).pos[n];
    RealignInertialReferenceFrame();
    double m, p[3], c[3];
    LiveSums(m, p, c);
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(c[n], 0.0, 1e-12) << n;
        EXPECT_NEAR(p[n], 0.0, 1e-12) << n;
        EXPECT_NEAR(RT(1).pos[n] - RT(0).pos[n], absorbedOffset[n], 1e-12) << n;  // moved along
    }
}

TEST_F(Merge, InitialConditionsFromAMergeKeepTheCombinedBody) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 3, 10));
    AddABody(Body(12, 0, 0, 0, 0, 0, 1, 6));
    set.onCrash = kCrashMerge;
    DoPushStage();
    SetICsToRT();
    ASSERT_EQ(BodyList()->count, 1);
    EXPECT_DOUBLE_EQ(BodyList()->body[0].mass, 4.0);
    EXPECT_DOUBLE_EQ(BodyList()->body[0].radius, std::cbrt(1216.0));
}
}  // namespace
