// Undo and redo of scenario changes, driven through the real commands with
// scripted dialogs.
#include <vector>

#include "EditorFixture.h"
#include "core/Confirm.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/History.h"
#include "core/Menus.h"
#include "imagery/Rings.h"
#include "io/Universe.h"
#include "render/Trails.h"
#include "sim/PushStage.h"

namespace {

struct UndoTest : EditorTest {
    SettingsStruct savedSettings{};

    void SetUp() override {
        EditorTest::SetUp();
        savedSettings = set;
        set.gravConstant = 6.672e-11;
        set.powerLaw = -2.0;
        set.timeStep = 10.0;
        set.pushesPerFrame = 16;
        set.viewAngle = 70.0;
        set.trailLength = 0;
        set.displayFlags = 0;
        ClearUndoHistory();
        SetupMenus();
    }
    void TearDown() override {
        ClearUndoHistory();
        SetUndoBoundsForTesting(0, 0);
        DisposeMenus();
        DisposeScratchSpace();
        EditorTest::TearDown();
        set = savedSettings;
    }
    void Choose(int16_t menu, int16_t item) { HandleMenuEv(MenuChoice(menu, item)); }
    void AddBodies(std::initializer_list<const char*> names) {
        for (const char* n : names) ASSERT_EQ(AddABody(Named(n)), 1);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (int32_t i = 0; i < Count(); ++i) out.push_back(Name(Body(i)));
        return out;
    }
    // Runs the simulation a few frames so there is a motion to lose.
    void RunFrames(int n) {
        if (!rt.bodyRT) TransferICsToRT();
        for (int k = 0; k < n; ++k) DoPushStage();
    }
    // A picture of one colour in memory, as the sphere list keeps it.
    Handle PictureHandle(uint32_t rgb, int w = 8, int h = 4) {
        std::vector<uint8_t> bytes = {'T', 'P', 'I', 'C', uint8_t(w), uint8_t(h)};
        for (int k = 0; k < w * h; ++k)
            for (int b = 0; b < 4; ++b) bytes.push_back(uint8_t(rgb >> (8 * b)));
        const Handle p = NewHandle(bytes.size());
        std::memcpy(HandlePtr(p), bytes.data(), bytes.size());
        return p;
    }
    Handle RingHandle(uint8_t seed) {
        const Handle r = NewHandle(kRingProfileTexels * 4);
        auto* p = static_cast<uint8_t*>(HandlePtr(r));
        for (int k = 0; k < kRingProfileTexels * 4; ++k) p[k] = uint8_t(seed + k);
        return r;
    }
    static std::vector<uint8_t> BytesOf(Handle h) {
        const auto* p = static_cast<const uint8_t*>(HandlePtr(h));
        return std::vector<uint8_t>(p, p + GetHandleSize(h));
    }
};

}  // namespace

TEST_F(UndoTest, EditorOkIsTakenBackAndTheSimulationRestarts) {
    AddBodies({"Sun", "Earth"});
    const BodyInfoStruct before = Body(1);
    rt.selectedBody = 1;
    RunFrames(5);
    ASSERT_GT(rt.pushCount, 0);
    backend.Expect({{{{kEditNameItem, "Terra"}, {kEditRadiusItem, "6371"}}, kEditOkItem}});
    Choose(kObjectsMenu, 2);
    ASSERT_EQ(Name(Body(1)), "Terra");
    ASSERT_TRUE(CanUndo());
    EXPECT_EQ(UndoStepName(), "Edit Body");
    RunFrames(3);

    Choose(kEditMenu, 1);
    EXPECT_EQ(std::memcmp(&Body(1), &before, sizeof before), 0) << "the record comes back bit for bit";
    EXPECT_EQ(rt.bodyRT, kNoHandle) << "the run-time bodies are rebuilt from the restored conditions";
    DoPushStage();
    EXPECT_EQ(rt.pushCount, set.pushesPerFrame) << "the simulation starts again at push 0";
    EXPECT_FALSE(CanUndo());
    ASSERT_TRUE(CanRedo());
    EXPECT_EQ(RedoStepName(), "Edit Body");

    Choose(kEditMenu, 2);
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_DOUBLE_EQ(Body(1).radius, 6.371e6);
    EXPECT_TRUE(CanUndo());
    EXPECT_FALSE(CanRedo());
}

TEST_F(UndoTest, ACancelledCommandLeavesNoStep) {
    AddBodies({"Sun"});
    rt.selectedBody = 0;
    backend.Expect({{{{kEditNameItem, "Sol"}}, kEditCancelItem}});
    Choose(kObjectsMenu, 2);
    backend.Expect({{{}, kEditCancelItem}});
    Choose(kObjectsMenu, 1);
    backend.Expect({{{}, kEditCancelItem}});
    Choose(kObjectsMenu, 5);  // New Craft, cancelled: its default engine force must not stick
    backend.Expect({{{{kSheetFirstFieldItem, "99"}}, kSheetCancelItem}});
    Choose(kSimulationMenu, 4);
    EXPECT_FALSE(CanUndo());
    // Undo with nothing to take back only beeps.
    const int beeps = backend.beeps;
    Choose(kEditMenu, 1);
    EXPECT_EQ(backend.beeps, beeps + 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Sun"});
}

TEST_F(UndoTest, DeleteComesBackWithItsPictureRingAndSelection) {
    AddBodies({"Sun", "Saturn", "Titan"});
    const Handle saturnPicture = PictureHandle(0x00C0A060);
    const Handle titanPicture = PictureHandle(0x00806040);
    const std::vector<uint8_t> saturnBytes = BytesOf(saturnPicture);
    Body(1).spherePixID = AddPICTToSpherePixList(rt.spherePixList, saturnPicture);
    Body(2).spherePixID = AddPICTToSpherePixList(rt.spherePixList, titanPicture);
    Body(1).ringPix = RingHandle(7);
    Body(1).ringRatio = 2.3;
    const std::vector<uint8_t> ringBytes = BytesOf(Body(1).ringPix);
    const uint32_t* titanMap = GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID);
    ASSERT_NE(titanMap, nullptr);
    rt.selectedBody = 1;
    RunFrames(2);

    Choose(kObjectsMenu, 3);
    ASSERT_EQ(Names(), (std::vector<std::string>{"Sun", "Titan"}));
    EXPECT_EQ(UndoStepName(), "Delete Body");
    Choose(kEditMenu, 1);

    ASSERT_EQ(Names(), (std::vector<std::string>{"Sun", "Saturn", "Titan"}));
    EXPECT_EQ(rt.selectedBody, 1);
    EXPECT_DOUBLE_EQ(Body(1).ringRatio, 2.3);
    ASSERT_NE(Body(1).ringPix, kNoHandle);
    EXPECT_EQ(BytesOf(Body(1).ringPix), ringBytes);
    ASSERT_NE(Body(1).spherePixID, 0);
    EXPECT_EQ(BytesOf(GetSphereListPICT(rt.spherePixList, Body(1).spherePixID)), saturnBytes);
    const uint32_t* saturnMap = GetPointerToSpherePix(rt.spherePixList, Body(1).spherePixID);
    ASSERT_NE(saturnMap, nullptr);
    EXPECT_NEAR(double(TexelChannel(saturnMap[0], 1)), 0xC0, 1.0) << "the surface map was built again from the picture";
    // Titan's picture did not change: its surface map was kept, not rebuilt.
    EXPECT_EQ(GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID), titanMap);
    EXPECT_NE(Body(1).spherePixID, Body(2).spherePixID);
    // The restored scenario runs (the run-time array takes the new maps and ring).
    RunFrames(1);
    ASSERT_NE(rt.bodyRT, kNoHandle);
    EXPECT_EQ(BodyRTList()->body[1].ringPix, RingPixPtrFromHandle(Body(1).ringPix));
    EXPECT_EQ(BodyRTList()->body[1].spherePix, saturnMap);

    Choose(kEditMenu, 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Titan"}));
    EXPECT_EQ(GetPointerToSpherePix(rt.spherePixList, Body(1).spherePixID), titanMap);
}

TEST_F(UndoTest, RemoveAllBodiesAsksFirstAndCanBeUndone) {
    AddBodies({"Sun", "Earth", "Moon"});
    backend.Expect({{{}, kConfirmCancelItem}});
    Choose(kEditMenu, 8);
    EXPECT_EQ(Count(), 3) << "cancel keeps the bodies";
    EXPECT_FALSE(CanUndo());
    EXPECT_NE(backend.dialogs.back().texts.at(kConfirmQuestionItem).find("all 3 bodies"), std::string::npos);

    backend.Expect({{{}, kConfirmActionItem}});
    Choose(kEditMenu, 8);
    EXPECT_EQ(set.bodies, kNoHandle);
    EXPECT_EQ(UndoStepName(), "Remove All Bodies");
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Earth", "Moon"}));
    // Nothing to remove: nothing asked, nothing recorded.
    DeallocateAllPushMemory();
    ClearUndoHistory();
    const size_t dialogs = backend.opened;
    Choose(kEditMenu, 8);
    EXPECT_EQ(backend.opened, dialogs);
    EXPECT_FALSE(CanUndo());
}

TEST_F(UndoTest, NewBodyAndANewChangeAfterUndoDropsTheRedo) {
    AddBodies({"Sun"});
    backend.Expect({{{{kEditNameItem, "Mercury"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    backend.Expect({{{{kEditNameItem, "Venus"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    ASSERT_EQ(Count(), 3);
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Mercury"}));
    EXPECT_EQ(rt.selectedBody, 1) << "the selection returns to where it was before Venus";
    ASSERT_TRUE(CanRedo());
    backend.Expect({{{{kSheetFirstFieldItem, "4"}}, kSheetOkayItem}});
    Choose(kSimulationMenu, 4);
    EXPECT_FALSE(CanRedo()) << "a new change replaces what could be done again";
    EXPECT_EQ(UndoStepCount(), 2u);
}

TEST_F(UndoTest, SettingsAloneComeBackWithoutARestartButTheForceLawRestarts) {
    AddBodies({"Sun", "Earth"});
    RunFrames(3);
    const int32_t pushes = rt.pushCount;
    backend.Expect({{{{kSheetFirstFieldItem, "64"}}, kSheetOkayItem}});
    Choose(kSimulationMenu, 4);
    ASSERT_EQ(set.pushesPerFrame, 64);
    EXPECT_EQ(UndoStepName(), "Pushes per Frame");
    Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushesPerFrame, 16);
    ASSERT_NE(rt.bodyRT, kNoHandle) << "a setting of the run alone does not restart it";
    EXPECT_EQ(rt.pushCount, pushes);

    backend.Expect({{{{kSheetFirstFieldItem, "-3"}}, kSheetOkayItem}});
    Choose(kParametersMenu, 2);
    ASSERT_DOUBLE_EQ(set.powerLaw, -3.0);
    RunFrames(1);
    Choose(kEditMenu, 1);
    EXPECT_DOUBLE_EQ(set.powerLaw, -2.0);
    EXPECT_EQ(rt.bodyRT, kNoHandle) << "the motion under the other force law is discarded";

    // Menu toggles and submenu choices are steps too, named after the item or submenu.
    Choose(kViewMenu, 11);
    EXPECT_EQ(UndoStepName(), "Star Field");
    Choose(kPushMethodMenu, 2);
    EXPECT_EQ(UndoStepName(), "Integration Method");
    Choose(kEditMenu, 1);
    Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushMethod, 0);
    EXPECT_EQ(set.displayFlags & kStarFieldOffFlag, 0u);
    EXPECT_EQ(RedoStepCount(), 2u);
}

TEST_F(UndoTest, MakingThePresentStateInitialCanBeTakenBack) {
    AddBodies({"Sun", "Earth"});
    Body(0).mass = 2.0e30;
    Body(0).pos[0] = Body(0).vel[1] = 0.0;
    Body(1).pos[0] = 1.5e11;
    Body(1).vel[1] = 29780.0;
    const BodyInfoStruct earth = Body(1);
    set.timeStep = 3600.0;
    RunFrames(10);
    Choose(kSimulationMenu, 10);
    ASSERT_NE(Body(1).pos[1], earth.pos[1]);
    EXPECT_EQ(UndoStepName(), "Make Present State Initial");
    Choose(kEditMenu, 1);
    EXPECT_EQ(std::memcmp(&Body(1), &earth, sizeof earth), 0);
    EXPECT_EQ(rt.bodyRT, kNoHandle);
}

TEST_F(UndoTest, TheCraftsScheduleIsPartOfTheStep) {
    BodyInfoStruct craft;
    FillDefaultCraftInfo(craft);
    ASSERT_EQ(AddABody(craft), 1);
    set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct e{3.0, 10, 0};
    AddTTData(set.timedThrust, &e);
    backend.Expect({{{}, kCraftNextEntryItem}, {{{kCraftDeltaVItem, "0.5"}, {kCraftPushIndexItem, "40"}}, kEditOkItem}});
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(GetTTCount(set.timedThrust), 2);
    EXPECT_EQ(UndoStepName(), "Edit Craft");
    Choose(kEditMenu, 1);
    ASSERT_EQ(GetTTCount(set.timedThrust), 1);
    TimedThrustInfoStruct got{};
    GetTTData(set.timedThrust, &got, 0);
    EXPECT_EQ(got.pushIndex, 10);
    EXPECT_DOUBLE_EQ(got.deltaV, 3.0);
    // Deleting the craft in its editor drops the schedule; undo brings both back.
    backend.Expect({{{}, kEditDeleteItem}});
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(set.timedThrust, kNoHandle);
    Choose(kEditMenu, 1);
    EXPECT_EQ(GetCraftIndex(), 0);
    EXPECT_EQ(GetTTCount(set.timedThrust), 1);
}

TEST_F(UndoTest, TheMenuNamesTheStepAndGreysOnlyWhileTracked) {
    MarkMenus(1);
    EXPECT_FALSE(GetMenuItem(kEditMenu, 1)->enabled);
    EXPECT_FALSE(GetMenuItem(kEditMenu, 2)->enabled);
    EXPECT_EQ(GetMenuItem(kEditMenu, 1)->text, "Undo");
    MarkMenus(0);
    EXPECT_TRUE(GetMenuItem(kEditMenu, 1)->enabled) << "Ctrl+Z must still reach the command";
    AddBodies({"Sun"});
    rt.selectedBody = 0;
    Choose(kObjectsMenu, 3);
    MarkMenus(1);
    EXPECT_TRUE(GetMenuItem(kEditMenu, 1)->enabled);
    EXPECT_EQ(GetMenuItem(kEditMenu, 1)->text, "Undo Delete Body");
    EXPECT_EQ(GetMenuItem(kEditMenu, 1)->shortcut, "Ctrl+Z");
    EXPECT_EQ(GetMenuItem(kEditMenu, 2)->shortcut, "Ctrl+Shift+Z");
    MarkMenus(0);
}

TEST_F(UndoTest, OpeningAUniverseStartsANewHistory) {
    AddBodies({"Sun", "Earth"});
    const std::string path = (scratch / "two.universe").string();
    ASSERT_TRUE(SaveAllSettingsTo(path, true));
    rt.selectedBody = 1;
    Choose(kObjectsMenu, 3);
    ASSERT_TRUE(CanUndo());
    backend.chosenFiles = {path};
    backend.Expect({{{}, kSaveChangesDiscardItem}});  // the unsaved delete is let go
    Choose(kFileMenu, kOpenItem);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Earth"}));
    EXPECT_FALSE(CanUndo()) << "neither the earlier steps nor the opening itself";
    EXPECT_FALSE(CanRedo());
}

TEST_F(UndoTest, TheHistoryKeepsItsStepBound) {
    SetUndoBoundsForTesting(5, 0);
    AddBodies({"Sun"});
    for (int k = 1; k <= 8; ++k) {
        backend.Expect({{{{kSheetFirstFieldItem, std::to_string(k)}}, kSheetOkayItem}});
        Choose(kSimulationMenu, 4);
    }
    EXPECT_EQ(UndoStepCount(), 5u);
    while (CanUndo()) Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushesPerFrame, 3) << "the oldest steps went first";
}

TEST_F(UndoTest, PicturesAreSharedBetweenStepsAndTheByteBoundHolds) {
    AddBodies({"Jupiter"});
    rt.selectedBody = 0;
    const Handle picture = PictureHandle(0x00D0A080, 128, 128);  // 64 KiB
    Body(0).spherePixID = AddPICTToSpherePixList(rt.spherePixList, picture);
    for (int k = 1; k <= 20; ++k) {
        backend.Expect({{{{kEditRadiusItem, std::to_string(70000 + k)}}, kEditOkItem}});
        Choose(kObjectsMenu, 2);
    }
    ASSERT_EQ(UndoStepCount(), 20u);
    EXPECT_LT(UndoHistoryBytes(), size_t(2 * 65536)) << "one unchanged picture is kept once";

    // Each step now holds a different picture; the byte bound drops the oldest.
    SetUndoBoundsForTesting(0, 300 * 1024);
    for (int k = 1; k <= 8; ++k) {
        BeginUndoableChange("Picture");
        DisposeSpherePixData(rt.spherePixList, Body(0).spherePixID);
        Body(0).spherePixID = AddPICTToSpherePixList(rt.spherePixList, PictureHandle(0x00010101u * uint32_t(k), 128, 128));
        EndUndoableChange();
    }
    EXPECT_LE(UndoHistoryBytes(), size_t(300 * 1024));
    EXPECT_GE(UndoStepCount(), 3u);
    Choose(kEditMenu, 1);
    const uint32_t* map = GetPointerToSpherePix(rt.spherePixList, Body(0).spherePixID);
    ASSERT_NE(map, nullptr);
    EXPECT_NEAR(double(TexelChannel(map[0], 1)), 0x07, 1.0) << "the picture before the last change";
}

TEST_F(UndoTest, StepsNestAndTheOutermostDecides) {
    AddBodies({"Sun"});
    BeginUndoableChange("");
    BeginUndoableChange("Rename");
    CToPStr31(Body(0).name, "Sol");
    EndUndoableChange();
    EXPECT_FALSE(CanUndo()) << "the inner bracket does not record by itself";
    EndUndoableChange();
    EXPECT_EQ(UndoStepName(), "Rename");
    EndUndoableChange();  // unbalanced: ignored
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Sun"});
}
