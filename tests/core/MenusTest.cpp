// The menu bar's commands, marks and shortcuts, the sheets and dialogs they
// open, the key reference and the window layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "ScriptedDialog.h"
#include "core/Confirm.h"
#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "core/FramePacing.h"
#include "core/KeyReference.h"
#include "core/Limits.h"
#include "core/Menus.h"
#include "core/Units.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"
#include "render/StereoGlasses.h"
#include "sim/Bodies.h"

namespace {

struct Menus : ::testing::Test {
    struct Backend : ScriptedDialogBackend {
        std::vector<KeyReferenceRow> reference;
        void ShowKeyReference(const std::vector<KeyReferenceRow>& rows) override { reference = rows; }
    } backend;
    SettingsStruct saved = set;
    RunTimeStruct savedRT = rt;
    void SetUp() override {
        SetPlatformBackend(&backend);
        set.bodies = set.timedThrust = 0;
        rt.bodyRT = 0;
        rt.selectedBody = -1;
        for (auto& w : rt.controlFlags) w = 0;
        SetupMenus();
    }
    void TearDown() override {
        DisposeMenus();
        DeallocateAllPushMemory();
        set = saved, rt = savedRT;
        stereoGlasses = StereoGlasses::RedLeft, frameRateChoice = FrameRateChoice::Display;
        SetPlatformBackend(nullptr);
    }
    // Answers the next sheet with this text in its first field and OK.
    void Answer(const std::string& text, int16_t hit = kSheetOkayItem) {
        backend.Expect({{{{kSheetFirstFieldItem, text}}, hit}});
    }
    std::string Shown(size_t dialog, int16_t item = kSheetFirstFieldItem) {
        return backend.dialogs.at(dialog).textsAtHit.at(0).at(item);
    }
    static void AddBodies(int n) {
        for (int i = 0; i < n; ++i) {
            BodyInfoStruct b{};
            FillDefaultBodyInfo(b);
            b.name[0] = 1, b.name[1] = uint8_t('A' + i);
            AddABody(b);
        }
    }
    static MenuItemModel& Item(int16_t menu, int16_t item) { return *GetMenuItem(menu, item); }
};

double Stored(int32_t choice) {
    switch (choice) {
        case MenuChoice(kViewMenu, 1): return set.viewAngle;
        case MenuChoice(kViewMenu, 3): return set.minPointSize;
        case MenuChoice(kViewMenu, 7): return set.autoRotation * 180 / M_PI;
        case MenuChoice(kViewMenu, 12): return set.trailLength;
        case MenuChoice(kParametersMenu, 2): return set.powerLaw;
        case MenuChoice(kSimulationMenu, 4): return set.pushesPerFrame;
        default: return NAN;
    }
}

}  // namespace

TEST_F(Menus, SettingsRefuseEntriesOutsideTheirRangeNamingItAndWholeNumbersAreTruncatedAndHeld) {
    set.viewAngle = 70, set.autoRotation = -M_PI / 10000;
    const int32_t view = MenuChoice(kViewMenu, 1), size = MenuChoice(kViewMenu, 3), spin = MenuChoice(kViewMenu, 7),
                  trail = MenuChoice(kViewMenu, 12), power = MenuChoice(kParametersMenu, 2),
                  pushes = MenuChoice(kSimulationMenu, 4);
    const std::tuple<int32_t, const char*, double, const char*> entries[] = {
        {view, "200", 0, "0.5 to 175"}, {view, "0.1", 0, "0.5 to 175"}, {view, "-30", 0, "0.5 to 175"},
        {view, "nan", 0, "0.5 to 175"}, {view, "wide", 0, "0.5 to 175"}, {view, "175", 175, nullptr},
        {view, "0.5", 0.5, nullptr},     {power, "x", 0, "-10 to 10"},     {power, "1e400", 0, "-10 to 10"},
        {spin, "720", 0, "-180 to 180"},  {spin, "1", 1, nullptr},         {pushes, "many", 0, "1 to 1000000"},
        {pushes, "1e12", 0, "1 to 1000000"}, {pushes, "0", 1, nullptr},    {pushes, "2.9", 2, nullptr},
        {pushes, "1000000", kMaxPushesPerFrame, nullptr}, {trail, "4294967298", 0, "0 to 100000 "},
        {trail, "-5", 0, nullptr},       {trail, "250.7", 250, nullptr},   {trail, "100000", kMaxTrailLength, nullptr},
        {size, "100000000", 0, "1 to 1000 "}, {size, "0.4", 1, nullptr},   {size, "1000", kMaxMinPointSize, nullptr}};
    for (const auto& [choice, entry, stored, range] : entries) {
        const double before = Stored(choice);
        const size_t cautions = backend.cautions.size();
        Answer(entry);
        HandleMenuEv(choice);
        if (range) {
            EXPECT_EQ(Stored(choice), before) << entry;
            ASSERT_EQ(backend.cautions.size(), cautions + 1) << entry;
            EXPECT_NE(backend.cautions.back().find(range), std::string::npos) << backend.cautions.back();
        } else {
            EXPECT_NEAR(Stored(choice), stored, 1e-12) << entry;
            EXPECT_EQ(backend.cautions.size(), cautions) << entry;
        }
    }
    EXPECT_EQ(Shown(0), "70.0");          // the field of view with one fraction digit
    EXPECT_EQ(Shown(10), "-0.01800000");  // the rotation in degrees
    Answer("33", kSheetCancelItem);      // a cancelled sheet changes nothing and says nothing
    HandleMenuEv(view);
    EXPECT_EQ(set.viewAngle, 0.5);
}

TEST_F(Menus, TheTimeStepGoesThroughTheUnitDialogAndMustBePositive) {
    set.timeStep = 10.0;
    for (const char* entry : {"abc", "-5", "0", "1e999", "nan"}) {
        backend.Expect({{{{kFlipValueItem, entry}}, kFlipOkItem}});
        HandleMenuEv(MenuChoice(kSimulationMenu, 3));
        EXPECT_EQ(set.timeStep, 10.0) << entry;
    }
    EXPECT_EQ(backend.cautions.size(), 5u);
    EXPECT_NE(backend.cautions[0].find("greater than 0"), std::string::npos);
    // Four presses of the unit button go round s, min, h, days and back; OK returns seconds.
    backend.Expect({{{{kFlipValueItem, "7200"}}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{}, kFlipUnitItem},
                    {{}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{{kFlipValueItem, "3"}}, kFlipUnitItem}, {{}, kFlipOkItem}});
    HandleMenuEv(MenuChoice(kSimulationMenu, 3));
    const DialogRecord& d = backend.dialogs.back();
    const char* const expected[][2] = {{"10.0000000000000000", "s"}, {"120.0000000000000000", "min"},
                                       {"2.0000000000000000", "h"}, {"0.0833333333333333", "days"},
                                       {"7200.0000000000000000", "s"}, {"120.0000000000000000", "min"}};
    for (int k = 1; k < 6; ++k) {
        EXPECT_NEAR(String2MyReal(d.textsAtHit[size_t(k)].at(kFlipValueItem)), String2MyReal(expected[k][0]), 1e-9) << k;
        EXPECT_EQ(d.textsAtHit[size_t(k)].at(kFlipUnitItem), expected[k][1]) << k;
    }
    EXPECT_NEAR(set.timeStep, 3 * 60.0, 1e-9);  // 3 typed while minutes were shown
}

TEST_F(Menus, TheStereoItemTurnsOffAtOnceAndAsksForTheSeparationToTurnOn) {
    set.eyeRadius = 15;
    set.displayFlags = kStereoOnFlag;
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(set.displayFlags & kStereoOnFlag, 0u);
    EXPECT_EQ(backend.opened, 0u);
    Answer("41");
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(Shown(0), "30");  // twice the stored radius
    EXPECT_EQ(set.eyeRadius, 20);
    EXPECT_NE(set.displayFlags & kStereoOnFlag, 0u);
    set.displayFlags = 0;
    Answer("", kSheetCancelItem);
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(set.displayFlags & kStereoOnFlag, 0u);
    // A new power law restarts from the initial conditions; star field angles are typed in degrees.
    AddBodies(2);
    TransferICsToRT();
    set.powerLaw = -2;
    Answer("-2.00000");
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    EXPECT_NE(rt.bodyRT, 0u);
    Answer("-1.5");
    HandleMenuEv(MenuChoice(kParametersMenu, 2));
    EXPECT_EQ(rt.bodyRT, 0u);
    backend.Expect({{{{kSheetFirstFieldItem, "90"}, {kSheetFirstFieldItem + 1, "45"}}, kSheetOkayItem}});
    HandleMenuEv(MenuChoice(kParametersMenu, 4));
    EXPECT_NEAR(set.starInclination * 4 + set.starAzimuth, 2.25 * M_PI, 1e-12);
}

TEST_F(Menus, SubmenuItemsSetTheirSettingsAndWhileTrackedOnlyTheChosenOneIsMarked) {
    for (int16_t item = 1; item <= 11; ++item) {
        HandleMenuEv(MenuChoice(kCameraModeMenu, item));
        EXPECT_EQ(set.cameraMode, CameraModeForMenuItem(item)) << Item(kCameraModeMenu, item).text;
    }
    const int32_t methods[] = {kPushSemiImplicitEuler, kPushRungeKutta, kPushAdamsBashforth,
                               kPushAdamsMoulton, kPushEuler, kPushGaussRadau};
    for (int16_t item = 1; item <= 6; ++item) {
        HandleMenuEv(MenuChoice(kPushMethodMenu, item));
        EXPECT_EQ(set.pushMethod, methods[item - 1]) << Item(kPushMethodMenu, item).text;
    }
    // Each submenu after two choices: its second choice, and no other, is marked.
    const std::tuple<int16_t, int16_t, int16_t> choices[] = {{kCameraModeMenu, 3, 9}, {kPushMethodMenu, 6, 2},
        {kOnCrashMenu, 3, 2}, {kStereoGlassesMenu, 2, 1}, {kFrameRateMenu, 2, 1}, {kFrameRateMenu, 1, 2},
        {kStereoGlassesMenu, 1, 2}};
    for (const auto& [menu, first, second] : choices) {
        for (int16_t item : {first, second}) {
            HandleMenuEv(MenuChoice(menu, item));
            MarkMenus(1);
            MarkMenus(0);
        }
        if (menu == kStereoGlassesMenu || menu == kFrameRateMenu) HandleMenuEv(MenuChoice(menu, 40));  // unchanged
        MarkMenus(1);
        for (size_t k = 0; k < GetMenu(menu)->items.size(); ++k)
            EXPECT_EQ(GetMenu(menu)->items[k].checked, int16_t(k + 1) == second) << menu << " item " << k + 1;
        MarkMenus(0);
    }
    EXPECT_EQ(set.onCrash, 1);
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedRight);
    EXPECT_EQ(frameRateChoice, FrameRateChoice::Unlimited);
    set.labelFlags = 5;
    for (int16_t item : {12, 10, 11, 1, 9}) HandleMenuEv(MenuChoice(kLabelsMenu, item));  // all, none, arrows, names
    EXPECT_EQ(set.labelFlags, 7u);
    MarkMenus(1);
    for (int16_t item = 1; item <= 9; ++item) EXPECT_EQ(Item(kLabelsMenu, item).checked, item <= 3) << item;
    MarkMenus(0);
    EXPECT_FALSE(Item(kLabelsMenu, 1).checked);
    rt.eyeDistance = -5, rt.eyeDistanceVel = 0, rt.panI = 0.3, rt.panIVel = 0, rt.panJ = -0.2, rt.panJVel = 0.1;
    HandleMenuEv(MenuChoice(kCameraModeMenu, 2));  // a new mode glides the view back to the centre
    EXPECT_DOUBLE_EQ(rt.eyeDistanceVel, 4.0e6 + 5.0);
    EXPECT_DOUBLE_EQ(rt.panIVel + rt.panJVel * 10, -0.3 + 3);
}

TEST_F(Menus, ItemsFollowTheStateWhileTrackedAndKeepTheirKeysOtherwise) {
    MarkMenus(1);
    ASSERT_NE(CameraSelectionMenuH, nullptr);  // the camera body menu exists only while tracked
    EXPECT_FALSE(CameraSelectionMenuH->items.at(0).enabled);  // no bodies
    for (int16_t item : {2, 3, 6}) EXPECT_FALSE(Item(kObjectsMenu, item).enabled) << item;
    EXPECT_EQ(Item(kObjectsMenu, 5).text, "New Craft\u2026");
    MarkMenus(0);
    EXPECT_EQ(GetMenu(kCameraSelectionMenu), nullptr);
    EXPECT_TRUE(Item(kObjectsMenu, 2).enabled && Item(kObjectsMenu, 3).enabled);  // command keys reach the command
    AddBodies(3);
    rt.selectedBody = 1;
    set.cameraSelection = 1;
    BodyInfoStruct craft{};
    FillDefaultCraftInfo(craft);
    AddABody(craft);
    SetControl(kPausedControl);
    set.displayFlags = kKeepCameraLevelFlag | kStarFieldOffFlag;
    set.trailLength = 10;
    MarkMenus(1);
    ASSERT_EQ(CameraSelectionMenuH->items.size(), 6u);
    EXPECT_EQ(CameraSelectionMenuH->items[3].text, "B");
    EXPECT_TRUE(CameraSelectionMenuH->items[3].checked);
    EXPECT_TRUE(Item(kObjectsMenu, 2).enabled && Item(kObjectsMenu, 6).enabled);
    EXPECT_EQ(Item(kObjectsMenu, 5).text, "Edit Craft\u2026");
    EXPECT_EQ(Item(kSimulationMenu, 1).text, "Run");
    const std::pair<int16_t, bool> view[] = {{2, false}, {6, true}, {10, true}, {11, false}, {12, true}};
    for (const auto& [item, checked] : view) EXPECT_EQ(Item(kViewMenu, item).checked, checked) << item;
    MarkMenus(0);
    EXPECT_FALSE(Item(kViewMenu, 6).checked);
    HandleMenuEv(MenuChoice(kSimulationMenu, 1));
    MarkMenus(1);
    EXPECT_EQ(Item(kSimulationMenu, 1).text, "Pause");
    MarkMenus(0);
    for (auto [item, selection] : {std::pair{3, 0}, {9, 0}, {2, 0}}) {  // the bodies from item 3; beyond: the first
        set.cameraSelection = 2;
        HandleMenuEv(MenuChoice(kCameraSelectionMenu, int16_t(item)));
        EXPECT_EQ(set.cameraSelection, item == 2 ? 2 : selection) << item;
    }
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, 1));  // the selected body
    EXPECT_EQ(set.cameraSelection, 1);
}

TEST_F(Menus, ChoicesReachTheirCommandsAndShortcutsTheirItems) {
    for (int16_t item : {10, 11, 6}) HandleMenuEv(MenuChoice(kViewMenu, item));
    EXPECT_EQ(IsMappingSpheresOn() + IsDrawingStarsOn() * 10 + IsKeepCameraLevelOn() * 100, 100);
    const SettingsStruct before = set;
    for (int32_t choice : {MenuChoice(kViewMenu, 9), MenuChoice(140, 1), 0}) HandleMenuEv(choice);  // nothing there
    EXPECT_EQ(std::memcmp(&before, &set, sizeof set), 0);
    AddBodies(2);
    backend.Expect({{{}, kConfirmActionItem}});  // Remove All Bodies asks first
    HandleMenuEv(MenuChoice(kEditMenu, 8));
    EXPECT_EQ(set.bodies, 0u);
    HandleMenuEv(MenuChoice(kAppleMenu, 1));
    EXPECT_NE(backend.aboutText.find("Total Run Time"), std::string::npos);
    HandleMenuEv(MenuChoice(kFileMenu, kQuitItem));
    EXPECT_EQ(staying, 0);
    staying = 1;
    const std::tuple<uint8_t, uint16_t, int32_t> keys[] = {
        {'q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)}, {'Q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)},
        {'2', kCmdKeyModifier, MenuChoice(kWindowMenu, 2)}, {8, kCmdKeyModifier, MenuChoice(kObjectsMenu, 3)},
        {'r', kCmdKeyModifier, MenuChoice(kSimulationMenu, 1)},
        {'r', kCmdKeyModifier | kShiftKeyModifier, MenuChoice(kSimulationMenu, 8)},
        {'q', 0, 0}, {'v', kCmdKeyModifier, 0} /* Paste is greyed */, {'w', kCmdKeyModifier, 0}};
    for (const auto& [ch, modifiers, choice] : keys) EXPECT_EQ(MenuKey(ch, modifiers), choice) << ch;
    // The key reference lists every enabled shortcut once, with the item it chooses.
    std::map<std::string, std::string> listed;
    for (const KeyReferenceRow& row : KeyAndMouseReference())
        EXPECT_TRUE(row.section != "Menu shortcuts" || listed.emplace(row.input, row.action).second) << row.input;
    size_t shortcuts = 0;
    for (const auto& [id, menu] : menuList)
        for (const MenuItemModel& item : menu.items)
            if (!item.shortcut.empty() && item.enabled && ++shortcuts) {
                EXPECT_NE(listed[item.shortcut].find(WithoutEllipsis(item.text)), std::string::npos) << item.shortcut;
            }
    EXPECT_EQ(listed.size(), shortcuts);
    EXPECT_EQ(listed["Ctrl+Shift+R"], "Simulation \u203a Reset to Initial Conditions");
    HandleMenuEv(MenuChoice(kHelpMenu, 1));
    EXPECT_EQ(backend.reference.size(), KeyAndMouseReference().size());
}

TEST_F(Menus, SheetsKeepEmptiedFieldsCutLongTextsAndTheGDialogDimsOkWhileNotANumber) {
    backend.Expect({{{{kSheetFirstFieldItem, ""}, {kSheetFirstFieldItem + 1, "7.5"}}, kSheetOkayItem}});
    double values[2] = {3.25, 1.0};
    ASSERT_EQ(DoSimpleDialogSheet(values, {"a", "b"}, nullptr, 1, 2, 2), 1);
    EXPECT_EQ(values[0] * 10 + values[1], 32.5 + 7.5);
    EXPECT_EQ(Shown(0), "3.25");
    backend.Expect({{{{kSheetFirstFieldItem, std::string(300, 'x')}}, kSheetOkayItem}});
    std::vector<std::string> strings{"old"};
    ASSERT_EQ(ModalSimpleStringSheetDialog(1, strings, {"p"}, nullptr, 1), 1);
    EXPECT_EQ(strings[0].size(), 255u);
    const DialogLayout five = SimpleSheetLayout(5, {"a", "b", "c", "d", "e"}, nullptr, 1);
    EXPECT_EQ(std::count_if(five.items.begin(), five.items.end(),
                            [](const DialogItem& i) { return i.kind == DialogItemKind::EditText; }), 4);
    set.gravConstant = 6.672e-11;
    backend.Expect({{{{kGravMantissaItem, "abc"}}, 0}, {{}, kGravOkItem},
                    {{{kGravMantissaItem, "6.674"}, {kGravExponentItem, "-11"}}, 0}, {{}, kGravOkItem}});
    HandleMenuEv(MenuChoice(kParametersMenu, 1));
    EXPECT_NEAR(set.gravConstant, 6.674e-11, 1e-20);
    const DialogRecord& g = backend.dialogs.back();
    EXPECT_EQ(g.textsAtHit[0].at(kGravExponentItem), "-11");  // 6.672e-11 as mantissa and exponent
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(g.enabledAtHit[k].at(kGravOkItem), k == 0 || k == 3) << k;
    SetPlatformBackend(nullptr);  // no platform dialog at all counts as Cancel
    EXPECT_EQ(DoSimpleDialogSheet(values, {"p"}, nullptr, 1, 1, 0), 0);
    // Return and Enter choose OK, Escape and Ctrl+period Cancel; other keys pass.
    const std::tuple<uint16_t, uint8_t, uint16_t, int16_t> keys[] = {{kKeyDownEvent, 13, 0, 1}, {kAutoKeyEvent, 3, 0, 1},
        {kKeyDownEvent, 27, 0, 2}, {kKeyDownEvent, '.', kCmdKeyModifier, 2}, {kKeyDownEvent, 'q', kCmdKeyModifier, 0},
        {kKeyDownEvent, 13, kCmdKeyModifier, 0}, {kKeyDownEvent, 'a', 0, 0}, {kKeyUpEvent, 13, 0, 0}};
    for (const auto& [what, ch, modifiers, chosen] : keys) {
        int16_t item = 0;
        EXPECT_EQ(MyDefaultDialogFiltProc(EventRecord{what, ch, 0, Point{}, modifiers}, item), chosen != 0) << ch;
        EXPECT_EQ(item, chosen) << ch;
    }
    const uint32_t bars[][3] = {{5, 10, 250}, {20, 10, 500}, {0, 0, 0}, {4000000000u, 4000000000u, 500},
                                {2000000000u, 4000000000u, 250}};
    for (const auto& b : bars) EXPECT_EQ(StatusBarPosition(b[0], b[1]), b[2]) << b[0] << "/" << b[1];
}

namespace {
// Windows as content rectangles on one screen, or on two side by side.
struct Screens : MainWindowServices {
    Rect screen{}, all{};
    std::map<int16_t, Rect> windows;
    Rect MainScreenRect() override { return screen; }
    Rect AllScreensRect() override { return all; }
    Rect WindowContentRect(int16_t id) override { return windows[id]; }
    void MoveWindowTo(int16_t id, int16_t left, int16_t top) override {
        Rect& r = windows[id];
        r = Rect{top, left, int16_t(top + r.bottom - r.top), int16_t(left + r.right - r.left)};
    }
    void SizeWindowContent(int16_t id, int16_t width, int16_t height) override {
        windows[id].right = int16_t(windows[id].left + width), windows[id].bottom = int16_t(windows[id].top + height);
    }
};
bool Apart(const Rect& a, const Rect& b, int gap) {
    return a.right + gap <= b.left || b.right + gap <= a.left || a.bottom + gap <= b.top || b.bottom + gap <= a.top;
}
}  // namespace

TEST(WindowLayout, TheSideWindowsNeverCoverTheMainWindowAndEachLayoutFillsItsScreens) {
    for (const auto& [w, h] : {std::pair{640, 480}, {1024, 768}, {1280, 800}, {1920, 1080}, {3840, 2160}}) {
        Screens s;
        s.screen = s.all = Rect{0, 0, int16_t(h), int16_t(w)};
        s.windows = {{kMainWindowId, {0, 0, 480, 640}}, {kObjectWindowId, {0, 0, 196, 380}}, {kStatsWindowId, {0, 0, 250, 240}}};
        SetMainWindowServices(&s);
        SetupWindows(0);
        const Rect main = s.windows[kMainWindowId], object = s.windows[kObjectWindowId], stats = s.windows[kStatsWindowId];
        EXPECT_TRUE(Apart(main, object, 8) && Apart(main, stats, 8) && Apart(object, stats, 8)) << w << "x" << h;
        for (const Rect& r : {main, object, stats}) EXPECT_TRUE(r.left >= 0 && r.right <= w && r.bottom <= h) << w;
        EXPECT_GE(main.right - main.left, 200) << w;
        s.all = Rect{-40, 0, int16_t(h), int16_t(2 * w)};  // a second screen at the right, taller
        // Main screen (below the menu bar and a title, inset), without margins, all screens, full screen.
        const std::pair<int16_t, Rect> layouts[] = {{2, {41, 4, int16_t(h - 4), int16_t(w - 4)}},
            {3, {20, 0, int16_t(h), int16_t(w)}}, {4, {-16, 4, int16_t(h - 4), int16_t(2 * w - 4)}},
            {5, {-40, 0, int16_t(h), int16_t(2 * w)}}};
        for (const auto& [layout, want] : layouts) {
            SetupWindows(layout);
            const Rect r = s.windows[kMainWindowId];
            EXPECT_EQ(std::tie(r.top, r.left, r.bottom, r.right), std::tie(want.top, want.left, want.bottom, want.right))
                << "layout " << layout << " on " << w;
            EXPECT_EQ(disappearingMenuBar, layout == 5);
        }
        SetupWindows(0);
        SetMainWindowServices(nullptr);
    }
}
