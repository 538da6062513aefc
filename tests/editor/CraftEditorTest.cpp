// The craft dialog: engine force and the timed-thrust schedule it edits.
#include <vector>

#include "EditorFixture.h"
#include "core/Units.h"

namespace {

using Entries = std::vector<std::pair<double, int32_t>>;

struct CraftEditorTest : EditorTest {
    BodyInfoStruct craft{};
    void SetUp() override {
        EditorTest::SetUp();
        FillDefaultCraftInfo(craft);
    }
    int32_t Run(std::vector<DialogStep> steps) {
        backend.Expect(std::move(steps));
        return EditBodyDialog(&craft, 0);
    }
    DialogRecord& Shown() { return backend.dialogs.back(); }
    void Schedule(const Entries& entries) {
        set.timedThrust = NewTTHandle();
        for (const auto& [dv, push] : entries) {
            TimedThrustInfoStruct e{dv, push, 0};
            AddTTData(set.timedThrust, &e);
        }
    }
    static Entries InSet() {
        Entries out;
        for (int32_t k = 0; k < GetTTCount(set.timedThrust); ++k) {
            TimedThrustInfoStruct e{};
            GetTTData(set.timedThrust, &e, k);
            out.emplace_back(e.deltaV, e.pushIndex);
        }
        return out;
    }
    std::string Caption(size_t step) { return Shown().textsAtHit.at(step).at(kCraftEntryCaptionItem); }
};

std::string Fixed(double v) { return MyRealFixed2String(v, 12); }

}  // namespace

TEST_F(CraftEditorTest, OpensWithForceAndTheFirstEntry) {
    Schedule({{3.0, 10}, {4.0, 20}});
    ASSERT_EQ(Run({{{}, kEditCancelItem}}), 0);
    const auto& t = Shown().textsAtHit.at(0);
    EXPECT_EQ(Shown().layout.title, "Craft");
    EXPECT_EQ(t.at(kEditNameItem), "Craft");
    EXPECT_EQ(t.at(kEditRadiusItem), Fixed(100.0));  // a craft's radius is shown in metres
    EXPECT_EQ(t.at(kEditRadiusUnitItem), "m");
    EXPECT_EQ(t.at(kCraftForceItem), Fixed(100.0));
    EXPECT_EQ(t.at(kCraftDeltaVItem), Fixed(0.003));  // 3 m/s in km/s
    EXPECT_EQ(t.at(kCraftPushIndexItem), "10");
    EXPECT_EQ(t.at(kCraftEntryCaptionItem), "Entry 1 of the thrust schedule");
    EXPECT_FALSE(Shown().enabledAtHit[0].at(kCraftPrevEntryItem));
    EXPECT_TRUE(Shown().enabledAtHit[0].at(kCraftNextEntryItem));
    EXPECT_TRUE(Shown().enabledAtHit[0].at(kCraftDeleteEntryItem));
    // Cancel: the schedule in set is untouched and the private copy is gone (leak check).
    EXPECT_EQ(InSet(), (Entries{{3.0, 10}, {4.0, 20}}));
}

TEST_F(CraftEditorTest, AnEmptyScheduleShowsZerosAndAnIncompleteEntryStays) {
    ASSERT_EQ(Run({{{{kCraftDeltaVItem, "0"}, {kCraftPushIndexItem, "5"}}, 0},
                   {{}, kCraftNextEntryItem},  // disabled: no speed change
                   {{{kCraftDeltaVItem, "0.5"}}, kCraftNextEntryItem},
                   {{}, kEditOkItem}}),
              1);
    const auto& en = Shown().enabledAtHit;
    EXPECT_EQ(Shown().textsAtHit[0].at(kCraftDeltaVItem), Fixed(0));
    EXPECT_EQ(Shown().textsAtHit[0].at(kCraftPushIndexItem), "0");
    EXPECT_FALSE(en[0].at(kCraftDeleteEntryItem));
    EXPECT_FALSE(en[1].at(kCraftNextEntryItem));
    EXPECT_EQ(Caption(2), "Entry 1 of the thrust schedule");  // the refused hit did not move
    // The entry went in (0.5 km/s at push 5); the dialog moved on to a blank new entry.
    EXPECT_EQ(Caption(3), "Entry 2 of the thrust schedule");
    EXPECT_EQ(Shown().textsAtHit[3].at(kCraftDeltaVItem), Fixed(0));
    EXPECT_TRUE(en[3].at(kCraftPrevEntryItem));
    EXPECT_EQ(InSet(), (Entries{{500.0, 5}}));
}

TEST_F(CraftEditorTest, AnEntryOnAnExistingPushMerges) {
    Schedule({{3.0, 10}});
    ASSERT_EQ(Run({{{}, kCraftNextEntryItem},
                   {{{kCraftDeltaVItem, "0.005"}, {kCraftPushIndexItem, "10"}}, kEditOkItem}}),
              1);
    EXPECT_EQ(InSet(), (Entries{{8.0, 10}}));
}

TEST_F(CraftEditorTest, StepsBackAndForthThroughTheEntries) {
    Schedule({{1.0, 10}, {2.0, 20}});
    ASSERT_EQ(Run({{{}, kCraftNextEntryItem}, {{}, kCraftNextEntryItem}, {{}, kCraftPrevEntryItem},
                   {{{kCraftPushIndexItem, "5"}}, kCraftPrevEntryItem}, {{}, kEditOkItem}}),
              1);
    EXPECT_EQ(Caption(1), "Entry 2 of the thrust schedule");
    EXPECT_EQ(Caption(2), "Entry 3 of the thrust schedule");
    EXPECT_EQ(Caption(3), "Entry 2 of the thrust schedule");
    EXPECT_EQ(Shown().textsAtHit[3].at(kCraftPushIndexItem), "20");
    // Entry 20 moved to push 5, went first, and the dialog showed the entry before it: 0, clamped.
    EXPECT_EQ(Caption(4), "Entry 1 of the thrust schedule");
    EXPECT_EQ(Shown().textsAtHit[4].at(kCraftPushIndexItem), "5");
    EXPECT_EQ(InSet(), (Entries{{2.0, 5}, {1.0, 10}}));
}

TEST_F(CraftEditorTest, DeletingEntries) {
    Schedule({{1.0, 10}, {2.0, 20}});
    ASSERT_EQ(Run({{{}, kCraftNextEntryItem}, {{}, kCraftDeleteEntryItem}, {{}, kEditOkItem}}), 1);
    // After deleting the last entry the one before it is shown.
    EXPECT_EQ(Caption(2), "Entry 1 of the thrust schedule");
    EXPECT_EQ(Shown().textsAtHit[2].at(kCraftPushIndexItem), "10");
    EXPECT_EQ(InSet(), (Entries{{1.0, 10}}));
    ASSERT_EQ(Run({{{}, kCraftDeleteEntryItem}, {{}, kCraftDeleteEntryItem}, {{}, kEditOkItem}}), 1);
    EXPECT_FALSE(Shown().enabledAtHit[1].at(kCraftDeleteEntryItem));
    EXPECT_EQ(GetTTCount(set.timedThrust), 0);
}

TEST_F(CraftEditorTest, OkStoresForceAndTheEntryBeingEdited) {
    ASSERT_EQ(Run({{{}, kCraftForceUnitItem},
                   {{{kCraftDeltaVItem, "2"}, {kCraftPushIndexItem, "7.9"}}, kEditOkItem}}),
              1);
    EXPECT_EQ(Shown().textsAtHit[1].at(kCraftForceUnitItem), "lbf");
    EXPECT_EQ(Shown().textsAtHit[1].at(kCraftForceItem), Fixed(100.0 / 4.44822));
    EXPECT_NEAR(set.craftThrust, 100.0, 1e-9);
    EXPECT_EQ(InSet(), (Entries{{2000.0, 7}}));
    EXPECT_EQ(craft.bodyFlags, kCraftFlag);
    EXPECT_EQ(craft.ringRatio, 0.0);
}

TEST_F(CraftEditorTest, SpeedChangeUnitsKeepTheValue) {
    Schedule({{3.0, 10}});
    ASSERT_EQ(Run({{{}, kCraftDeltaVTimeUnitItem}, {{}, kCraftDeltaVDistUnitItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(Shown().textsAtHit[1].at(kCraftDeltaVItem), Fixed(0.18));  // km/min
    EXPECT_EQ(Shown().textsAtHit[2].at(kCraftDeltaVItem), Fixed(180.0 / 1609.344));  // mi/min
    ASSERT_EQ(InSet().size(), 1u);
    EXPECT_NEAR(InSet()[0].first, 3.0, 1e-10);  // 12 fraction digits of mi/min
}

TEST_F(CraftEditorTest, OkWaitsForNumbersInTheThrustFields) {
    ASSERT_EQ(Run({{{{kCraftPushIndexItem, "soon"}}, kEditOkItem},
                   {{{kCraftPushIndexItem, "3"}, {kCraftDeltaVItem, "1"}, {kCraftForceItem, ""}}, kEditOkItem},
                   {{{kCraftForceItem, "50"}}, kEditOkItem}}),
              1);
    EXPECT_FALSE(Shown().enabledAtHit[1].at(kEditOkItem));
    EXPECT_FALSE(Shown().enabledAtHit[1].at(kCraftNextEntryItem));  // push index without a number
    EXPECT_TRUE(Shown().enabledAtHit[2].at(kCraftNextEntryItem));   // the force does not matter to it
    EXPECT_FALSE(Shown().enabledAtHit[2].at(kEditOkItem));
    EXPECT_DOUBLE_EQ(set.craftThrust, 50.0);
    EXPECT_EQ(InSet(), (Entries{{1000.0, 3}}));
}

TEST_F(CraftEditorTest, DeleteClearsTheScheduleInSet) {
    Schedule({{1.0, 10}});
    EXPECT_EQ(Run({{{}, kEditDeleteItem}}), -1);
    EXPECT_EQ(set.timedThrust, kNoHandle);
}

TEST_F(CraftEditorTest, NoMemoryForTheScheduleCopyCountsAsCancel) {
    Schedule({{1.0, 10}, {2.0, 20}});
    SetMemoryLimitForTesting(LiveHandleBytes());
    EXPECT_EQ(EditBodyDialog(&craft, 0), 0);
    EXPECT_EQ(backend.opened, 0u);
    SetMemoryLimitForTesting(0);
    EXPECT_EQ(InSet(), (Entries{{1.0, 10}, {2.0, 20}}));
}
