#include <cmath>

#include "SimFixture.h"
#include "sim/PushStage.h"

namespace {
class Bodies : public SimTest {};

TEST_F(Bodies, AddGrowsListWithOneSpareEntry) {
    BodyInfoStruct b = Body(1, 2, 3, 0, 0, 0, 5, 1);
    for (int n = 0; n < 3; ++n) ASSERT_EQ(AddABody(b), 1);
    EXPECT_EQ(BodyList()->count, 3);
    EXPECT_EQ(GetHandleSize(set.bodies), int32_t(8 + 176 * 4));
    DeleteABody(7);
    DeleteABody(-1);
    EXPECT_EQ(BodyList()->count, 3);
    SetMemoryLimitForTesting(LiveHandleBytes());
    EXPECT_EQ(AddABody(b), 0);
    SetMemoryLimitForTesting(0);
    EXPECT_EQ(BodyList()->count, 3);
}

TEST_F(Bodies, CraftIndexIsTheFirstCraft) {
    EXPECT_EQ(GetCraftIndex(), -1);
    BodyInfoStruct b = Body(0, 0, 0, 0, 0, 0, 1, 1), c;
    FillDefaultCraftInfo(c);
    EXPECT_EQ(set.craftThrust, 100.0);
    EXPECT_GT(c.name[0], 0);
    for (int i = 0; i < 6; ++i) AddABody((i == 2 || i == 5) ? c : b);
    EXPECT_EQ(GetCraftIndex(), 2);
    EXPECT_TRUE(IsThereACraft());
    DeleteABody(2);
    EXPECT_EQ(GetCraftIndex(), 4);
}

TEST_F(Bodies, ChildOfSpunParentIsPlacedInTheParentFrame) {
    BodyInfoStruct p = Body(0, 0, 0, 0, 0, 0, 1e30, 1);
    p.spinPhase = M_PI / 2;
    BodyInfoStruct m = Body(1000, 0, 0, 0, 10, 0, 0.0, 1);
    m.parent = 1;
    BodyInfoStruct bad = Body(5, 6, 7, 0, 0, 0, 0.0, 1);
    bad.parent = 3;  // names itself: absolute
    AddABody(p); AddABody(m); AddABody(bad);
    TransferICsToRT();
    ASSERT_NE(rt.bodyRT, 0u);
    EXPECT_NEAR(RT(1).pos[0], 0.0, 0.1);
    EXPECT_NEAR(RT(1).pos[1], 1000.0, 0.1);
    EXPECT_NEAR(RT(1).vel[0], -10.0, 1e-3);
    EXPECT_NEAR(RT(2).pos[0], 5.0, 1e-9);
    EXPECT_NEAR(RT(2).pos[2], 7.0, 1e-9);
    EXPECT_EQ(rt.pushCount, 0);
}

TEST_F(Bodies, SetICsAfterMergeDeletesTheAbsorbedBody) {
    AddABody(Body(0, 0, 0, 0, 0, 0, 100, 10, "big"));
    AddABody(Body(15, 0, 0, 0, 0, 0, 1, 10, "small"));
    AddABody(Body(1e6, 0, 0, 0, 0, 0, 1, 1, "far"));
    BodyList()->body[2].parent = 1;
    set.onCrash = kCrashMerge;
    DoPushStage();
    ASSERT_TRUE(RT(1).statusFlags & kAbsorbedStatus);
    SetICsToRT();
    ASSERT_EQ(BodyList()->count, 2);
    EXPECT_EQ(BodyList()->body[1].name[1], 'f');
    for (int i = 0; i < 2; ++i) EXPECT_EQ(BodyList()->body[i].parent, 0);
    EXPECT_EQ(rt.bodyRT, 0u);  // deletion discards the run-time array
}

TEST_F(Bodies, SetICsKeepsSpinPhaseAndAxis) {
    BodyInfoStruct b = Body(0, 0, 0, 0, 0, 0, 1, 1);
    b.axisTilt = 0.5; b.axisAzimuth = 1.0; b.spinPhase = 0.8;
    AddABody(b);
    TransferICsToRT();
    SetICsToRT();
    ASSERT_NE(rt.bodyRT, 0u);  // nothing deleted: run continues
    EXPECT_NEAR(BodyList()->body[0].axisTilt, 0.5, 1e-3);
    EXPECT_NEAR(BodyList()->body[0].axisAzimuth, 1.0, 1e-3);
    EXPECT_NEAR(BodyList()->body[0].spinPhase, 0.8, 1e-3);
}
}  // namespace
