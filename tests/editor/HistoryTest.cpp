// Undo and redo through the real commands, the universe as a document (title,
// Save, the "save changes?" question) and File › Open Recent.
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "shell/Confirm.h"
#include "shell/RecentFilesMenu.h"
#include "EditorFixture.h"
#include "imagery/Rings.h"
#include "sim/PushStage.h"

namespace {

struct HistoryTest : EditorTest {
    void RunFrames(int n) {  // so there is a motion to lose
        if (!rt.bodyRT) TransferICsToRT();
        for (int k = 0; k < n; ++k) DoPushStage();
    }
    static Handle WithBytes(const std::vector<uint8_t>& bytes) { return NewHandleWithBytes(bytes.data(), bytes.size()); }
    static std::vector<uint8_t> BytesOf(Handle h) {
        const auto* p = static_cast<const uint8_t*>(HandlePtr(h));
        return std::vector<uint8_t>(p, p + GetHandleSize(h));
    }
    // A saved universe with one body of the given name; the scenario is empty again afterwards.
    std::string Saved(const char* leaf, const char* body) {
        EXPECT_EQ(AddABody(Named(body)), 1);
        EXPECT_TRUE(SaveAllSettingsTo(File(leaf), true));
        DeallocateAllPushMemory();
        return File(leaf);
    }
    std::vector<std::string> RecentMenu() {
        std::vector<std::string> texts;
        for (const MenuItemModel& item : GetMenu(kRecentFilesMenu)->items) texts.push_back(item.text);
        return texts;
    }
    static std::string FirstBody() { return Count() ? Name(Body(0)) : ""; }
};

}  // namespace

TEST_F(HistoryTest, AnEditIsTakenBackBitForBitAndTheSimulationRestarts) {
    AddBodies({"Sun", "Earth"});
    const BodyInfoStruct before = Body(1);
    rt.selectedBody = 1;
    RunFrames(5);
    backend.Expect({{{{kEditNameItem, "Terra"}, {kEditRadiusItem, "6371"}}, kEditOkItem}});
    Choose(kObjectsMenu, 2);
    ASSERT_EQ(UndoStepName(), "Edit Body");
    RunFrames(3);
    Choose(kEditMenu, 1);
    EXPECT_EQ(std::memcmp(&Body(1), &before, sizeof before), 0);
    EXPECT_EQ(rt.bodyRT, kNoHandle) << "the run-time bodies are rebuilt from the restored conditions";
    DoPushStage();
    EXPECT_EQ(rt.pushCount, set.pushesPerFrame) << "the simulation starts again at push 0";
    EXPECT_FALSE(CanUndo());
    EXPECT_EQ(RedoStepName(), "Edit Body");
    Choose(kEditMenu, 2);
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_TRUE(CanUndo());
    EXPECT_FALSE(CanRedo());
}

TEST_F(HistoryTest, CancelledCommandsLeaveNoStepAndUndoWithoutOneBeeps) {
    AddBodies({"Sun"});
    rt.selectedBody = 0;
    const int beeps = backend.beeps;
    for (int16_t item : {2, 1, 5}) {  // Edit Body, New Body, New Craft (whose offered engine must not stick)
        backend.Expect({{{{kEditNameItem, "Sol"}}, kEditCancelItem}});
        Choose(kObjectsMenu, item);
    }
    backend.Expect({{{{kSheetFirstFieldItem, "99"}}, kSheetCancelItem}});
    Choose(kSimulationMenu, 4);
    EXPECT_FALSE(CanUndo());
    Choose(kEditMenu, 1);
    EXPECT_EQ(backend.beeps, beeps + 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Sun"});
}

TEST_F(HistoryTest, DeleteComesBackWithItsPictureRingAndSelection) {
    AddBodies({"Sun", "Saturn", "Titan"});
    const std::vector<uint8_t> saturnBytes = TestPicture(0x00C0A060), ringBytes(kRingProfileTexels * 4, 7);
    Body(1).spherePixID = AddPICTToSpherePixList(rt.spherePixList, WithBytes(saturnBytes));
    Body(2).spherePixID = AddPICTToSpherePixList(rt.spherePixList, WithBytes(TestPicture(0x00806040)));
    Body(1).ringPix = WithBytes(ringBytes);
    Body(1).ringRatio = 2.3;
    const uint32_t* titanMap = GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID);
    rt.selectedBody = 1;
    RunFrames(2);
    Choose(kObjectsMenu, 3);
    ASSERT_EQ(Names(), (std::vector<std::string>{"Sun", "Titan"}));
    EXPECT_EQ(UndoStepName(), "Delete Body");
    Choose(kEditMenu, 1);
    ASSERT_EQ(Names(), (std::vector<std::string>{"Sun", "Saturn", "Titan"}));
    EXPECT_EQ(rt.selectedBody, 1);
    ASSERT_NE(Body(1).ringPix, kNoHandle);
    EXPECT_EQ(BytesOf(Body(1).ringPix), ringBytes);
    EXPECT_EQ(BytesOf(GetSphereListPICT(rt.spherePixList, Body(1).spherePixID)), saturnBytes);
    const uint32_t* saturnMap = GetPointerToSpherePix(rt.spherePixList, Body(1).spherePixID);
    ASSERT_NE(saturnMap, nullptr);
    EXPECT_NEAR(double(TexelChannel(saturnMap[0], 1)), 0xC0, 1.0) << "the surface map was built again";
    EXPECT_EQ(GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID), titanMap) << "unchanged: kept";
    RunFrames(1);  // the restored scenario runs on the new maps and ring
    EXPECT_EQ(BodyRTList()->body[1].ringPix, RingPixPtrFromHandle(Body(1).ringPix));
    EXPECT_EQ(BodyRTList()->body[1].spherePix, saturnMap);
    Choose(kEditMenu, 2);
    EXPECT_EQ(GetPointerToSpherePix(rt.spherePixList, Body(1).spherePixID), titanMap);
}

TEST_F(HistoryTest, RemoveAllBodiesAsksFirstAndOnlyAButtonAnswers) {
    AddBodies({"Sun", "Earth", "Moon"});
    backend.Expect({{{}, kConfirmCancelItem}});
    Choose(kEditMenu, 8);
    EXPECT_EQ(Count(), 3);
    EXPECT_NE(Shown().texts.at(kConfirmQuestionItem).find("all 3 bodies"), std::string::npos);
    backend.Expect({{{}, kConfirmQuestionItem}, {{}, kConfirmActionItem}});  // a click on the text is no answer
    Choose(kEditMenu, 8);
    EXPECT_EQ(set.bodies, kNoHandle);
    EXPECT_EQ(UndoStepName(), "Remove All Bodies");
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Earth", "Moon"}));
}

TEST_F(HistoryTest, ANewChangeDropsTheRedoAndTheOldestStepsGoPastTheBound) {
    SetUndoBoundsForTesting(5, 0);
    AddBodies({"Sun"});
    backend.Expect({{{{kEditNameItem, "Mercury"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    backend.Expect({{{{kEditNameItem, "Venus"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Mercury"}));
    EXPECT_EQ(rt.selectedBody, 1) << "the selection returns to where it was before Venus";
    ChangePushesPerFrame(1);
    EXPECT_FALSE(CanRedo()) << "a new change replaces what could be done again";
    for (int k = 2; k <= 8; ++k) ChangePushesPerFrame(k);
    EXPECT_EQ(UndoStepCount(), 5u);
    while (CanUndo()) Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushesPerFrame, 3);
}

TEST_F(HistoryTest, SettingsAloneComeBackWithoutARestartButTheForceLawRestarts) {
    AddBodies({"Sun", "Earth"});
    Body(0).mass = 2.0e30;
    Body(0).pos[0] = Body(0).vel[1] = 0.0;
    Body(1).pos[0] = 1.5e11;
    Body(1).vel[1] = 29780.0;
    RunFrames(3);
    const int32_t pushes = rt.pushCount;
    ChangePushesPerFrame(64);
    EXPECT_EQ(UndoStepName(), "Pushes per Frame");
    Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushesPerFrame, 16);
    EXPECT_EQ(rt.pushCount, pushes) << "a setting of the run alone does not restart it";
    backend.Expect({{{{kSheetFirstFieldItem, "-3"}}, kSheetOkayItem}});
    Choose(kParametersMenu, 2);
    RunFrames(1);
    Choose(kEditMenu, 1);
    EXPECT_DOUBLE_EQ(set.powerLaw, -2.0);
    EXPECT_EQ(rt.bodyRT, kNoHandle) << "the motion under the other force law is discarded";
    // Making the present state initial is a step as well.
    const BodyInfoStruct earth = Body(1);
    RunFrames(10);
    Choose(kSimulationMenu, 10);
    ASSERT_NE(Body(1).pos[1], earth.pos[1]);
    EXPECT_EQ(UndoStepName(), "Make Present State Initial");
    Choose(kEditMenu, 1);
    EXPECT_EQ(std::memcmp(&Body(1), &earth, sizeof earth), 0);
}

TEST_F(HistoryTest, TheCraftsScheduleIsPartOfTheStepEntryByEntry) {
    ASSERT_EQ(AddABody(Craft()), 1);
    Schedule({{3.0, 10}});
    backend.Expect({{{{kCraftDeltaVItem, "0.5"}}, kEditOkItem}});  // the same entry, another speed change
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(Listed(set.timedThrust), (Entries{{500.0, 10}}));
    EXPECT_EQ(UndoStepName(), "Edit Craft");
    Choose(kEditMenu, 1);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{3.0, 10}}));
    backend.Expect({{{}, kEditDeleteItem}});  // deleting the craft drops the schedule; undo brings both back
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(set.timedThrust, kNoHandle);
    Choose(kEditMenu, 1);
    EXPECT_EQ(GetCraftIndex(), 0);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{3.0, 10}}));
}

TEST_F(HistoryTest, TheMenuNamesTheStepAndStepsNestWithTheOutermostDeciding) {
    AddBodies({"Sun"});
    BeginUndoableChange("");
    BeginUndoableChange("Rename");
    CToPStr31(Body(0).name, "Sol");
    EndUndoableChange();
    EXPECT_FALSE(CanUndo()) << "the inner bracket does not record by itself";
    EndUndoableChange();
    EndUndoableChange();  // unbalanced: ignored
    MarkMenus(1);
    EXPECT_EQ(GetMenuItem(kEditMenu, 1)->text, "Undo Rename");
    MarkMenus(0);
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Sun"});
}

TEST_F(HistoryTest, TheTitleMarksChangesUntilUndoneOrSaved) {
    EXPECT_EQ(Title(), TitleIs("Untitled", false));
    ChangePushesPerFrame(32);
    EXPECT_EQ(Title(), TitleIs("Untitled", true));
    Choose(kEditMenu, 1);
    EXPECT_EQ(Title(), TitleIs("Untitled", false)) << "undone back to the state as it was";
    Choose(kEditMenu, 2);
    EXPECT_EQ(Title(), TitleIs("Untitled", true));
    const size_t told = window.titles.size();
    RefreshDocumentTitle();
    EXPECT_EQ(window.titles.size(), told) << "the window is told only of a change, not on every frame";
    backend.savePaths = {File("Jupiter system.universe")};
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(Title(), TitleIs("Jupiter system", false));
    Choose(kEditMenu, 1);
    EXPECT_EQ(Title(), TitleIs("Jupiter system", true)) << "undoing past the save is a change too";
}

TEST_F(HistoryTest, SaveAsksForAFileOnceThenWritesInPlace) {
    AddBodies({"Sun"});
    backend.savePaths = {File("one.universe"), File("two.universe")};
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(backend.suggested, std::vector<std::string>{"Untitled.universe"});
    AddBodies({"Earth"});
    ChangePushesPerFrame(9);
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(backend.suggested.size(), 1u) << "Save did not ask again";
    EXPECT_FALSE(IsDocumentModified());
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(backend.suggested.back(), "one.universe");
    EXPECT_EQ(DocumentName(), "two");
    DeallocateAllPushMemory();
    ASSERT_TRUE(OpenDocumentFile(File("one.universe")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sun", "Earth"}));
    EXPECT_EQ(set.pushesPerFrame, 9);
    EXPECT_FALSE(IsDocumentModified());
    EXPECT_FALSE(CanUndo()) << "opening starts a new history";
}

TEST_F(HistoryTest, OpeningAsksAboutUnsavedChangesAndSavingMustSucceedToGoOn) {
    const std::string sun = Saved("sun.universe", "Sun");
    backend.chosenFiles = {sun};
    ChangePushesPerFrame(5);
    Answer(kSaveChangesCancelItem);
    Choose(kFileMenu, kOpenItem);
    EXPECT_EQ(backend.nextFile, 0u) << "cancel: no file is even asked for";
    EXPECT_NE(Shown().texts.at(kSaveChangesQuestionItem).find("Untitled"), std::string::npos);
    Answer(kSaveChangesSaveItem);  // and the save dialog cancelled: the changes stay
    EXPECT_FALSE(OpenDocumentFile(sun));
    EXPECT_TRUE(IsDocumentModified());
    backend.savePaths = {File("no-such-folder/x.universe")};
    Answer(kSaveChangesSaveItem);
    EXPECT_FALSE(OpenDocumentFile(sun)) << "a file that cannot be written is no reason to lose the changes";
    EXPECT_FALSE(backend.alerts.empty());
    backend.savePaths.push_back(File("kept.universe"));
    Answer(kSaveChangesSaveItem);
    EXPECT_TRUE(OpenDocumentFile(sun));
    EXPECT_TRUE(std::filesystem::exists(File("kept.universe")));
    EXPECT_EQ(DocumentName(), "sun");
    ChangePushesPerFrame(6);
    backend.Expect({{{}, kSaveChangesQuestionItem}, {{}, kSaveChangesDiscardItem}});
    EXPECT_TRUE(OpenDocumentFile(sun));
    const size_t dialogs = backend.opened;
    EXPECT_TRUE(OpenDocumentFile(sun));
    EXPECT_EQ(backend.opened, dialogs) << "unchanged: nothing is asked";
}

TEST_F(HistoryTest, TheRecentListHoldsTenFilesOnceEachMostRecentFirst) {
    RecentFilesStruct list;
    for (int k = 0; k < 12; ++k) AddRecentFile(list, File(("u" + std::to_string(k) + ".universe").c_str()));
    ASSERT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(list.paths.front(), File("u11.universe"));
    EXPECT_EQ(list.paths.back(), File("u2.universe")) << "the two oldest fell off";
    // The same file again, through "..", "." and a symbolic link: it moves up, once.
    std::filesystem::create_directory(scratch / "sub");
    std::ofstream(File("u5.universe")) << "x";
    AddRecentFile(list, (scratch / "sub" / ".." / "." / "u5.universe").string());
    ASSERT_EQ(::symlink(File("u5.universe").c_str(), File("link.universe").c_str()), 0);
    AddRecentFile(list, File("link.universe"));
    EXPECT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(std::count(list.paths.begin(), list.paths.end(), File("u5.universe")), 1);
    EXPECT_EQ(list.paths[0], File("u5.universe"));
    EXPECT_EQ(list.paths[1], File("u11.universe"));
    AddRecentFile(list, "");
    EXPECT_EQ(list.paths.size(), kMaxRecentFiles) << "an empty name is no file";
    RecentFilesStruct alike;
    for (const char* p : {"/a/solar.universe", "/b/solar.universe", "/a/moons.universe"}) AddRecentFile(alike, p);
    EXPECT_EQ(RecentFileTitles(alike),
              (std::vector<std::string>{"moons.universe", "solar.universe \u2014 /b", "solar.universe \u2014 /a"}));
}

TEST_F(HistoryTest, OpenRecentFollowsWhatWasOpenedAndSavedAcrossARestart) {
    const std::string sun = Saved("sun.universe", "Sun"), moon = Saved("moon.universe", "Moon");
    EXPECT_EQ(RecentMenu(), (std::vector<std::string>{"No Recent Files", "-", "Clear Menu"}));
    ASSERT_TRUE(OpenDocumentFile(sun));
    ASSERT_TRUE(OpenDocumentFile(moon));
    ChangePushesPerFrame(3);
    Answer(kSaveChangesCancelItem);  // sun.universe is item 2; with changes unsaved the question comes first
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(FirstBody(), "Moon");
    EXPECT_NE(Shown().texts.at(kSaveChangesQuestionItem).find("moon"), std::string::npos);
    Answer(kSaveChangesDiscardItem);
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(FirstBody(), "Sun");
    EXPECT_FALSE(IsDocumentModified());
    backend.savePaths = {File("copy.universe")};
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(RecentMenu(), (std::vector<std::string>{"copy.universe", "sun.universe", "moon.universe", "-", "Clear Menu"}));
    recentFiles = {};  // a restart: the list in memory is gone, the settings are not
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (std::vector<std::string>{File("copy.universe"), sun, moon}));
    Choose(kRecentFilesMenu, 5);  // Clear Menu
    EXPECT_EQ(RecentMenu().front(), "No Recent Files");
    EXPECT_FALSE(GetMenu(kRecentFilesMenu)->items.back().enabled) << "nothing to clear";
    RecallRecentFiles();
    EXPECT_TRUE(recentFiles.paths.empty()) << "cleared in the settings too";
    EXPECT_TRUE(backend.cautions.empty());
}

TEST_F(HistoryTest, ARecentFileThatIsGoneIsDroppedWithAMessageNamingIt) {
    const std::string sun = Saved("sun.universe", "Sun"), gone = Saved("gone.universe", "Ghost");
    ASSERT_TRUE(OpenDocumentFile(gone));
    ASSERT_TRUE(OpenDocumentFile(sun));
    ChangePushesPerFrame(4);  // modified, so a wrongly asked question would show
    std::filesystem::remove(gone);
    const size_t dialogs = backend.opened;
    Choose(kRecentFilesMenu, 2);
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("gone.universe"), std::string::npos) << backend.cautions[0];
    EXPECT_NE(backend.cautions[0].find(scratch.path().string()), std::string::npos) << "names where it was";
    EXPECT_EQ(backend.opened, dialogs) << "nothing to save for a file that cannot be opened";
    EXPECT_EQ(set.pushesPerFrame, 4);
    RecentFilesStruct after;
    LoadRecentFiles(after, settings);
    EXPECT_EQ(after.paths, std::vector<std::string>{sun}) << "gone from the settings too";
}

TEST_F(HistoryTest, HostileStoredRecentEntriesAreSkipped) {
    const std::pair<const char*, std::string> stored[] = {
        {"file1", "relative/path.universe"}, {"file2", ""}, {"file3", "/kept/one.universe"},
        {"file4", "/kept/one.universe"},     {"file5", std::string("/with\0nul", 9)}, {"file6", "/two\nlines"},
        {"file7", "/" + std::string(10000, 'x')}, {"file8", "/kept/two.universe"}, {"file11", "/beyond/ten.universe"}};
    for (const auto& [key, value] : stored) settings.WriteSetting(std::string("recent/") + key, value);
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (std::vector<std::string>{"/kept/one.universe", "/kept/two.universe"}));
    EXPECT_EQ(RecentMenu(), (std::vector<std::string>{"one.universe", "two.universe", "-", "Clear Menu"}));
}
