// The Objects menu commands built on the editor.
#include "EditorFixture.h"
#include "core/Menus.h"

namespace {

struct EditorCommandsTest : EditorTest {
    void AddBodies(std::initializer_list<const char*> names) {
        for (const char* n : names) ASSERT_EQ(AddABody(Named(n)), 1);
    }
    void AddCraft(const char* name) {
        BodyInfoStruct c;
        FillDefaultCraftInfo(c);
        CToPStr31(c.name, name);
        ASSERT_EQ(AddABody(c), 1);
    }
};

}  // namespace

TEST_F(EditorCommandsTest, NewBodyIsAddedAndSelectedOnOk) {
    AddBodies({"Sun"});
    backend.Expect({{{}, kEditCancelItem}});
    NewBodyMenuItem();
    EXPECT_EQ(Count(), 1);
    backend.Expect({{{{kEditNameItem, "Earth"}}, kEditOkItem}});
    NewBodyMenuItem();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Name(Body(1)), "Earth");
    EXPECT_EQ(rt.selectedBody, 1);
    // The dialog was told it edits body 2, with the Sun as a possible parent.
    EXPECT_EQ(backend.dialogs.back().textsAtHit[0].at(kEditNumberItem), "2. body in the list");
}

TEST_F(EditorCommandsTest, NewCraftStartsFromTheDefaultCraft) {
    backend.Expect({{{}, kEditOkItem}});
    NewCraftMenuItem();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Body(0).bodyFlags, kCraftFlag);
    EXPECT_EQ(Name(Body(0)), "Craft");
    EXPECT_DOUBLE_EQ(set.craftThrust, 100.0);
    EXPECT_EQ(GetCraftIndex(), 0);
}

TEST_F(EditorCommandsTest, DeleteInANewCraftClearsTheScheduleAndAddsNothing) {
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct e{1.0, 10, 0};
    AddTTData(set.timedThrust, &e);
    backend.Expect({{{}, kEditDeleteItem}});
    NewCraftMenuItem();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(set.timedThrust, kNoHandle);
}

TEST_F(EditorCommandsTest, EditBodyStoresOkAndIgnoresCancel) {
    AddBodies({"Sun", "Earth"});
    rt.selectedBody = 1;
    TransferICsToRT();
    ASSERT_NE(rt.bodyRT, kNoHandle);
    backend.Expect({{{{kEditNameItem, "Terra"}}, kEditCancelItem}});
    EditBodyMenuItem();
    EXPECT_EQ(Name(Body(1)), "Earth");
    EXPECT_NE(rt.bodyRT, kNoHandle);  // Cancel leaves the running simulation alone
    backend.Expect({{{{kEditNameItem, "Terra"}, {kEditRadiusItem, "6371"}}, kEditOkItem}});
    EditBodyMenuItem();
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_DOUBLE_EQ(Body(1).radius, 6371000.0);
    EXPECT_EQ(rt.bodyRT, kNoHandle);  // rebuilt from the new initial conditions by the next push
    EXPECT_EQ(rt.selectedBody, 1);
}

TEST_F(EditorCommandsTest, EditBodyNeedsASelection) {
    AddBodies({"Sun"});
    for (int32_t selection : {-1, 1, 7}) {
        rt.selectedBody = selection;
        EditBodyMenuItem();
    }
    EXPECT_EQ(backend.opened, 0u);
}

TEST_F(EditorCommandsTest, DeleteFromTheEditDialogRemovesTheBody) {
    AddBodies({"Sun", "Earth", "Mars"});
    rt.selectedBody = 1;
    backend.Expect({{{}, kEditDeleteItem}});
    EditBodyMenuItem();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Name(Body(1)), "Mars");
    EXPECT_EQ(rt.selectedBody, -1);
}

TEST_F(EditorCommandsTest, EditCraftOpensTheLowestCraft) {
    backend.Expect({});
    EditCraftMenuItem();  // no craft: nothing opens
    EXPECT_EQ(backend.opened, 0u);
    AddBodies({"Sun"});
    AddCraft("First");
    AddCraft("Second");
    backend.dialogs.clear();
    backend.Expect({{{{kCraftForceItem, "250"}}, kEditOkItem}});
    EditCraftMenuItem();
    EXPECT_EQ(backend.dialogs.back().textsAtHit[0].at(kEditNameItem), "First");
    EXPECT_EQ(backend.dialogs.back().layout.title, "Craft");
    EXPECT_DOUBLE_EQ(set.craftThrust, 250.0);
}

TEST_F(EditorCommandsTest, DeleteBodyClearsTheSelection) {
    DeleteBodyMenuItem();  // no list: nothing
    AddBodies({"Sun", "Earth"});
    rt.selectedBody = 0;
    DeleteBodyMenuItem();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Name(Body(0)), "Earth");
    EXPECT_EQ(rt.selectedBody, -1);
    DeleteBodyMenuItem();  // nothing selected: the list stays
    EXPECT_EQ(Count(), 1);
}

TEST_F(EditorCommandsTest, DeleteCraftRemovesTheLowestCraftAndKeepsTheSelectionOnItsBody) {
    DeleteCraftMenuItem();  // no list
    AddBodies({"Sun"});
    AddCraft("First");
    AddBodies({"Mars"});
    AddCraft("Second");
    rt.selectedBody = 2;  // Mars
    DeleteCraftMenuItem();
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(GetCraftIndex(), 2);
    EXPECT_EQ(Name(Body(rt.selectedBody)), "Mars");
    rt.selectedBody = 2;  // the remaining craft
    DeleteCraftMenuItem();
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(rt.selectedBody, -1);
    EXPECT_FALSE(IsThereACraft());
}

TEST_F(EditorCommandsTest, TheCraftMenuItemCreatesOrEditsTheCraft) {
    AddBodies({"Sun"});
    backend.Expect({{{{kEditNameItem, "Scout"}}, kEditOkItem}});
    HandleMenuEv((int32_t(kObjectsMenu) << 16) | 5);
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(GetCraftIndex(), 1);
    // With a craft present the same item edits it instead of adding another.
    backend.Expect({{{{kEditNameItem, "Pioneer"}}, kEditOkItem}});
    HandleMenuEv((int32_t(kObjectsMenu) << 16) | 5);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Name(Body(1)), "Pioneer");
    HandleMenuEv((int32_t(kObjectsMenu) << 16) | 6);
    EXPECT_FALSE(IsThereACraft());
}
