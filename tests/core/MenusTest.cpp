// The menu bar's marks and texts, the dispatch of choices and the parameter commands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ScriptedDialog.h"
#include "core/Confirm.h"
#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "core/Limits.h"
#include "core/Menus.h"
#include "core/Strings.h"
#include "render/StereoGlasses.h"
#include "sim/Bodies.h"

namespace {

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        SetPlatformBackend(&backend);
        saved = set;
        savedRT = rt;
        set.bodies = set.timedThrust = 0;
        rt.bodyRT = 0;
        rt.selectedBody = -1;
        for (auto& w : rt.controlFlags) w = 0;
        SetupMenus();
    }
    void TearDown() override {
        DisposeMenus();
        DeallocateAllPushMemory();
        set = saved;
        rt = savedRT;
        SetPlatformBackend(nullptr);
    }
    // Answers the next sheet with this text in its first field and OK.
    void Answer(const std::string& text) { backend.Expect({{{{kSheetFirstFieldItem, text}}, kSheetOkayItem}}); }
    std::string Shown(size_t dialog) { return backend.dialogs[dialog].textsAtHit[0].at(kSheetFirstFieldItem); }
    void AddBodies(int n) {
        for (int i = 0; i < n; ++i) {
            BodyInfoStruct b{};
            FillDefaultBodyInfo(b);
            b.name[0] = 1;
            b.name[1] = uint8_t('A' + i);
            AddABody(b);
        }
    }
    bool Enabled(int16_t menu, int16_t item) { return GetMenuItem(menu, item)->enabled; }
    bool Checked(int16_t menu, int16_t item) { return GetMenuItem(menu, item)->checked; }

    ScriptedDialogBackend backend;
    SettingsStruct saved;
    RunTimeStruct savedRT;
};

}  // namespace

TEST_F(Menus, ViewAngleOutsideItsRangeIsRefusedWithAMessageNamingTheRange) {
    set.viewAngle = 70.0;
    for (const char* entry : {"200", "0.1", "0", "-30", "1e9", "nan", "wide"}) {
        Answer(entry);
        HandleMenuEv(MenuChoice(kViewMenu, 1));
        EXPECT_DOUBLE_EQ(set.viewAngle, 70.0) << entry;
        ASSERT_FALSE(backend.cautions.empty()) << entry;
        EXPECT_NE(backend.cautions.back().find("0.5 to 175"), std::string::npos) << backend.cautions.back();
    }
    EXPECT_EQ(backend.cautions.size(), 7u);
    EXPECT_EQ(Shown(0), "70.0");  // one fraction digit
    // The ends of the range are accepted.
    Answer("175");
    HandleMenuEv(MenuChoice(kViewMenu, 1));
    EXPECT_DOUBLE_EQ(set.viewAngle, 175.0);
    Answer("0.5");
    HandleMenuEv(MenuChoice(kViewMenu, 1));
    EXPECT_DOUBLE_EQ(set.viewAngle, 0.5);
    // A cancelled sheet changes nothing and says nothing.
    backend.Expect({{{{kSheetFirstFieldItem, "33"}}, kSheetCancelItem}});
    HandleMenuEv(MenuChoice(kViewMenu, 1));
    EXPECT_DOUBLE_EQ(set.viewAngle, 0.5);
    EXPECT_EQ(backend.cautions.size(), 7u);
}

TEST_F(Menus, TimeStepMustBeAPositiveNumber) {
    set.timeStep = 10.0;
    for (const char* entry : {"abc", "-5", "0", "1e999", "nan"}) {
        backend.Expect({{{{kFlipValueItem, entry}}, kFlipOkItem}});
        HandleMenuEv(MenuChoice(kSimulationMenu, 3));
        EXPECT_DOUBLE_EQ(set.timeStep, 10.0) << entry;
        ASSERT_FALSE(backend.cautions.empty()) << entry;
        EXPECT_NE(backend.cautions.back().find("greater than 0"), std::string::npos);
    }
    EXPECT_EQ(backend.cautions.size(), 5u);
    backend.Expect({{{{kFlipValueItem, "0.001"}}, kFlipOkItem}});
    HandleMenuEv(MenuChoice(kSimulationMenu, 3));
    EXPECT_DOUBLE_EQ(set.timeStep, 0.001);
}

TEST_F(Menus, OtherSettingsRefuseNonNumbersAndTheirOutOfRangeValues) {
    set.powerLaw = -2.0;
    set.autoRotation = 0.0;
    set.pushesPerFrame = 16;
    set.trailLength = 10;
    Answer("x");
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    Answer("1e400");  // overflows to infinity
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    EXPECT_DOUBLE_EQ(set.powerLaw, -2.0);
    Answer("720");
    HandleMenuEv(MenuChoice(kViewMenu, 7));
    EXPECT_DOUBLE_EQ(set.autoRotation, 0.0);
    Answer("many");
    HandleMenuEv(MenuChoice(kSimulationMenu, 4));
    EXPECT_EQ(set.pushesPerFrame, 16);
    Answer("1e12");
    HandleMenuEv(MenuChoice(kViewMenu, 12));
    EXPECT_EQ(set.trailLength, 10);
    ASSERT_EQ(backend.cautions.size(), 5u);
    EXPECT_NE(backend.cautions[2].find("-180 to 180"), std::string::npos);
    EXPECT_NE(backend.cautions[4].find("0 to 100000 "), std::string::npos);
}

TEST_F(Menus, WholeNumberSettingsAreTruncatedAndHeldAtTheirLeast) {
    Answer("0");
    HandleMenuEv(MenuChoice(kSimulationMenu, 4));
    EXPECT_EQ(set.pushesPerFrame, 1);
    Answer("2.9");
    HandleMenuEv(MenuChoice(kSimulationMenu, 4));
    EXPECT_EQ(set.pushesPerFrame, 2);
    Answer("-5");
    HandleMenuEv(MenuChoice(kViewMenu, 12));
    EXPECT_EQ(set.trailLength, 0);
    Answer("250.7");
    HandleMenuEv(MenuChoice(kViewMenu, 12));
    EXPECT_EQ(set.trailLength, 250);
    Answer("0.4");
    HandleMenuEv(MenuChoice(kViewMenu, 3));
    EXPECT_EQ(set.minPointSize, 1);
}

// Beyond the bounds every frame would stall or the trails would not fit in memory:
// such entries are refused with the range, and the bound itself is accepted.
TEST_F(Menus, WholeNumberSettingsBeyondTheirBoundAreRefused) {
    set.pushesPerFrame = 16;
    set.trailLength = 10;
    set.minPointSize = 2;
    Answer("1e12");
    HandleMenuEv(MenuChoice(kSimulationMenu, 4));
    EXPECT_EQ(set.pushesPerFrame, 16);
    Answer("4294967298");
    HandleMenuEv(MenuChoice(kViewMenu, 12));
    EXPECT_EQ(set.trailLength, 10);
    Answer("100000000");
    HandleMenuEv(MenuChoice(kViewMenu, 3));
    EXPECT_EQ(set.minPointSize, 2);
    ASSERT_EQ(backend.cautions.size(), 3u);
    EXPECT_NE(backend.cautions[0].find("1 to 1000000"), std::string::npos);
    Answer("1000000");
    HandleMenuEv(MenuChoice(kSimulationMenu, 4));
    EXPECT_EQ(set.pushesPerFrame, kMaxPushesPerFrame);
    Answer("100000");
    HandleMenuEv(MenuChoice(kViewMenu, 12));
    EXPECT_EQ(set.trailLength, kMaxTrailLength);
    Answer("1000");
    HandleMenuEv(MenuChoice(kViewMenu, 3));
    EXPECT_EQ(set.minPointSize, kMaxMinPointSize);
}

TEST_F(Menus, StereoItemTurnsOffAtOnceAndAsksForTheSeparationToTurnOn) {
    set.eyeRadius = 15;
    set.displayFlags = kStereoOnFlag;
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(set.displayFlags & kStereoOnFlag, 0u);
    EXPECT_EQ(backend.opened, 0u);  // no dialog
    Answer("41");
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(Shown(0), "30");  // twice the stored radius
    EXPECT_EQ(set.eyeRadius, 20);
    EXPECT_NE(set.displayFlags & kStereoOnFlag, 0u);
    // Cancel leaves stereo off.
    set.displayFlags = 0;
    backend.Expect({{{}, kSheetCancelItem}});
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(set.displayFlags & kStereoOnFlag, 0u);
}

TEST_F(Menus, PowerLawChangeRestartsFromInitialConditions) {
    AddBodies(2);
    TransferICsToRT();
    ASSERT_NE(rt.bodyRT, 0u);
    set.powerLaw = -2.0;
    Answer("-2.00000");  // the same value: nothing happens
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    EXPECT_NE(rt.bodyRT, 0u);
    Answer("-1.5");
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    EXPECT_DOUBLE_EQ(set.powerLaw, -1.5);
    EXPECT_EQ(rt.bodyRT, 0u);
}

TEST_F(Menus, AnglesAreShownInDegreesAndStoredInRadians) {
    set.autoRotation = -M_PI / 10000;
    Answer("1");
    HandleMenuEv(MenuChoice(kViewMenu, 7));
    EXPECT_EQ(Shown(0), "-0.01800000");
    EXPECT_NEAR(set.autoRotation, M_PI / 180, 1e-15);
    backend.Expect({{{{kSheetFirstFieldItem, "90"}, {kSheetFirstFieldItem + 1, "45"}}, kSheetOkayItem}});
    HandleMenuEv(MenuChoice(kParametersMenu, 4));
    EXPECT_NEAR(set.starInclination, M_PI / 2, 1e-12);
    EXPECT_NEAR(set.starAzimuth, M_PI / 4, 1e-12);
}

TEST_F(Menus, LabelItems) {
    set.labelFlags = 5;
    ToggleLabelMenuItem(12);
    EXPECT_EQ(set.labelFlags, 255u);
    ToggleLabelMenuItem(10);
    EXPECT_EQ(set.labelFlags, 0u);
    ToggleLabelMenuItem(11);
    EXPECT_EQ(set.labelFlags, 6u);
    HandleMenuEv(MenuChoice(kLabelsMenu, 1));
    EXPECT_EQ(set.labelFlags, 7u);
    ToggleLabelMenuItem(9);
    EXPECT_EQ(set.labelFlags, 7u);
    MarkMenus(1);
    EXPECT_TRUE(Checked(kLabelsMenu, 1));
    EXPECT_TRUE(Checked(kLabelsMenu, 3));
    EXPECT_FALSE(Checked(kLabelsMenu, 4));
    MarkMenus(0);
    EXPECT_FALSE(Checked(kLabelsMenu, 1));
}

TEST_F(Menus, SubmenuItemsMapToTheirSettings) {
    SetCameraModeMenuItem(9);
    EXPECT_EQ(set.cameraMode, 16);
    EXPECT_EQ(GetCameraModeMenuItem(), 9);
    SetCameraModeMenuItem(12);
    EXPECT_EQ(set.cameraMode, 0);
    set.cameraMode = 5;
    EXPECT_EQ(GetCameraModeMenuItem(), 0);
    SetPushMethodMenuItem(2);
    EXPECT_EQ(set.pushMethod, 4);
    SetPushMethodMenuItem(6);
    EXPECT_EQ(set.pushMethod, kPushGaussRadau);
    EXPECT_EQ(GetPushMethodMenuItem(), 6);
    ASSERT_NE(GetMenuItem(kPushMethodMenu, 6), nullptr);
    EXPECT_EQ(GetMenuItem(kPushMethodMenu, 6)->text, "Gauss\u2013Radau (adaptive)");
    SetPushMethodMenuItem(7);
    EXPECT_EQ(set.pushMethod, 0);
    set.pushMethod = 9;
    EXPECT_EQ(GetPushMethodMenuItem(), 1);
    HandleMenuEv(MenuChoice(kOnCrashMenu, 3));
    EXPECT_EQ(set.onCrash, 2);
    EXPECT_EQ(GetOnCrashMenuItem(), 3);
}

TEST_F(Menus, CameraModeChangeGlidesTheViewBackToTheCentre) {
    rt.eyeDistance = -5.0;
    rt.eyeDistanceVel = 0.0;
    rt.panI = 0.3;
    rt.panIVel = 0.0;
    rt.panJ = -0.2;
    rt.panJVel = 0.1;
    HandleMenuEv(MenuChoice(kCameraModeMenu, 2));
    EXPECT_EQ(set.cameraMode, 1);
    EXPECT_DOUBLE_EQ(rt.eyeDistanceVel, 4.0e6 + 5.0);
    EXPECT_DOUBLE_EQ(rt.panIVel, -0.3);
    EXPECT_DOUBLE_EQ(rt.panJVel, 0.3);
}

TEST_F(Menus, CameraSelectionMenuExistsOnlyWhileTracked) {
    MarkMenus(1);
    ASSERT_NE(GetMenu(kCameraSelectionMenu), nullptr);
    EXPECT_EQ(CameraSelectionMenuH->title, "Camera selection");
    ASSERT_EQ(CameraSelectionMenuH->items.size(), 1u);  // no bodies: one disabled item
    EXPECT_FALSE(CameraSelectionMenuH->items[0].enabled);
    MarkMenus(0);
    EXPECT_EQ(GetMenu(kCameraSelectionMenu), nullptr);

    AddBodies(3);
    set.cameraSelection = 1;
    MarkMenus(1);
    ASSERT_EQ(CameraSelectionMenuH->items.size(), 5u);
    EXPECT_EQ(CameraSelectionMenuH->items[3].text, "B");
    EXPECT_TRUE(CameraSelectionMenuH->items[3].checked);
    MarkMenus(0);
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, 3));
    EXPECT_EQ(set.cameraSelection, 0);
    set.cameraSelection = 2;
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, 9));  // beyond the bodies
    EXPECT_EQ(set.cameraSelection, 0);
    rt.selectedBody = 2;
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, 1));
    EXPECT_EQ(set.cameraSelection, 2);
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, 2));
    EXPECT_EQ(set.cameraSelection, 2);
}

TEST_F(Menus, BodyItemsAreGreyedOnlyWhileTrackedWithoutASelection) {
    MarkMenus(1);
    EXPECT_FALSE(Enabled(kObjectsMenu, 2));
    EXPECT_FALSE(Enabled(kObjectsMenu, 3));
    EXPECT_FALSE(Enabled(kObjectsMenu, 6));  // no craft
    EXPECT_EQ(GetMenuItem(kObjectsMenu, 5)->text, GetIndString(1027, 1));
    MarkMenus(0);
    EXPECT_TRUE(Enabled(kObjectsMenu, 2));  // command keys always reach the command
    EXPECT_TRUE(Enabled(kObjectsMenu, 3));
    AddBodies(2);
    rt.selectedBody = 1;
    BodyInfoStruct craft{};
    FillDefaultCraftInfo(craft);
    AddABody(craft);
    MarkMenus(1);
    EXPECT_TRUE(Enabled(kObjectsMenu, 2));
    EXPECT_TRUE(Enabled(kObjectsMenu, 6));
    EXPECT_EQ(GetMenuItem(kObjectsMenu, 5)->text, GetIndString(1027, 2));
    MarkMenus(0);
}

TEST_F(Menus, RunItemTextAndViewChecksFollowTheState) {
    SetControl(kPausedControl);
    set.displayFlags = kKeepCameraLevelFlag | kStarFieldOffFlag;
    set.trailLength = 10;
    MarkMenus(1);
    EXPECT_EQ(GetMenuItem(kSimulationMenu, 1)->text, GetIndString(1028, 1));
    EXPECT_TRUE(Checked(kViewMenu, 6));
    EXPECT_TRUE(Checked(kViewMenu, 10));   // mapping on
    EXPECT_FALSE(Checked(kViewMenu, 11));  // stars off
    EXPECT_TRUE(Checked(kViewMenu, 12));
    EXPECT_FALSE(Checked(kViewMenu, 2));
    MarkMenus(0);
    EXPECT_FALSE(Checked(kViewMenu, 6));
    EXPECT_FALSE(Checked(kViewMenu, 10));
    HandleMenuEv(MenuChoice(kSimulationMenu, 1));
    EXPECT_FALSE(GetControl(kPausedControl));
    MarkMenus(1);
    EXPECT_EQ(GetMenuItem(kSimulationMenu, 1)->text, GetIndString(1028, 2));
    MarkMenus(0);
}

TEST_F(Menus, DispatchOfFileEditViewAndUnknownChoices) {
    HandleMenuEv(MenuChoice(kViewMenu, 10));
    EXPECT_EQ(IsMappingSpheresOn(), 0);
    HandleMenuEv(MenuChoice(kViewMenu, 11));
    EXPECT_EQ(IsDrawingStarsOn(), 0);
    HandleMenuEv(MenuChoice(kViewMenu, 6));
    EXPECT_EQ(IsKeepCameraLevelOn(), 1);
    const SettingsStruct before = set;
    HandleMenuEv(MenuChoice(kViewMenu, 9));  // a separator
    HandleMenuEv(MenuChoice(140, 1));        // no such menu
    HandleMenuEv(0);
    EXPECT_EQ(std::memcmp(&before, &set, sizeof set), 0);
    AddBodies(2);
    backend.Expect({{{}, kConfirmActionItem}});  // Remove All Bodies asks first
    HandleMenuEv(MenuChoice(kEditMenu, 8));
    EXPECT_EQ(set.bodies, 0u);
    HandleMenuEv(MenuChoice(kAppleMenu, 1));
    EXPECT_NE(backend.aboutText.find("Total Run Time"), std::string::npos);
    staying = 1;
    HandleMenuEv(MenuChoice(kFileMenu, kQuitItem));
    EXPECT_EQ(staying, 0);
    staying = 1;
}

TEST_F(Menus, TimeStepGoesThroughTheUnitDialog) {
    set.timeStep = 10.0;
    backend.Expect({{{{kFlipValueItem, "2"}}, kFlipUnitItem}, {{}, kFlipOkItem}});  // 2 s → shown in minutes
    HandleMenuEv(MenuChoice(kSimulationMenu, 3));
    EXPECT_NEAR(set.timeStep, 2.0, 1e-12);
    backend.Expect({{{{kFlipValueItem, "x"}}, kFlipOkItem}});
    HandleMenuEv(MenuChoice(kSimulationMenu, 3));
    EXPECT_NEAR(set.timeStep, 2.0, 1e-12);  // refused
}

TEST_F(Menus, MenuKeyFindsTheEnabledItemOfAShortcut) {
    EXPECT_EQ(MenuKey('q', kCmdKeyModifier), MenuChoice(kFileMenu, kQuitItem));
    EXPECT_EQ(MenuKey('Q', kCmdKeyModifier), MenuChoice(kFileMenu, kQuitItem));
    EXPECT_EQ(MenuKey('2', kCmdKeyModifier), MenuChoice(kWindowMenu, 2));
    EXPECT_EQ(MenuKey(8, kCmdKeyModifier), MenuChoice(kObjectsMenu, 3));
    // Shift is part of the shortcut: Ctrl+Shift+R resets, Ctrl+R runs.
    EXPECT_EQ(MenuKey('r', kCmdKeyModifier), MenuChoice(kSimulationMenu, 1));
    EXPECT_EQ(MenuKey('r', kCmdKeyModifier | kShiftKeyModifier), MenuChoice(kSimulationMenu, 8));
    EXPECT_EQ(MenuKey('q', 0), 0);                   // no command key: no shortcut
    EXPECT_EQ(MenuKey('v', kCmdKeyModifier), 0);     // Paste is greyed
    EXPECT_EQ(MenuKey('w', kCmdKeyModifier), 0);     // nothing has it
}

TEST_F(Menus, StereoGlassesAreChosenInTheViewMenuAndMarkedWhileTracked) {
    ASSERT_EQ(GetMenuItem(kViewMenu, 13)->submenu, kStereoGlassesMenu);
    HandleMenuEv(MenuChoice(kStereoGlassesMenu, 2));
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedRight);
    MarkMenus(1);
    EXPECT_FALSE(Checked(kStereoGlassesMenu, 1));
    EXPECT_TRUE(Checked(kStereoGlassesMenu, 2));
    MarkMenus(0);
    EXPECT_FALSE(Checked(kStereoGlassesMenu, 2));
    HandleMenuEv(MenuChoice(kStereoGlassesMenu, 7));  // no such item: unchanged
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedRight);
    HandleMenuEv(MenuChoice(kStereoGlassesMenu, 1));
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedLeft);
}
