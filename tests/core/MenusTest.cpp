// The menu bar's commands, marks and shortcuts, the sheets and dialogs they open,
// the key reference and the window layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "ScriptedDialog.h"
#include "shell/Confirm.h"
#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "shell/FramePacing.h"
#include "shell/KeyReference.h"
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
        size_t referenceRows = 0;
        void ShowKeyReference(const std::vector<KeyReferenceRow>& rows) override { referenceRows = rows.size(); }
    } backend;
    SettingsStruct saved = set;
    RunTimeStruct savedRT = rt;
    void SetUp() override {
        SetPlatformBackend(&backend);
        set.bodies = set.timedThrust = 0, rt.bodyRT = 0, rt.selectedBody = -1;
        for (auto& w : rt.controlFlags) w = 0;
        SetupMenus();
    }
    void TearDown() override {
        DisposeMenus();
        DeallocateAllPushMemory();
        set = saved, rt = savedRT, stereoGlasses = StereoGlasses::RedLeft, frameRateChoice = FrameRateChoice::Display;
        SetPlatformBackend(nullptr);
    }
    void Answer(const std::string& text, int16_t hit = kSheetOkayItem) { backend.Expect({{{{kSheetFirstFieldItem, text}}, hit}}); }
    std::string Shown(size_t dialog) { return backend.dialogs.at(dialog).textsAtHit.at(0).at(kSheetFirstFieldItem); }
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

constexpr int32_t kView = MenuChoice(kViewMenu, 1), kSize = MenuChoice(kViewMenu, 3), kSpin = MenuChoice(kViewMenu, 7),
                  kTrail = MenuChoice(kViewMenu, 12), kPower = MenuChoice(kParametersMenu, 2),
                  kPushes = MenuChoice(kSimulationMenu, 4);
double Stored(int32_t choice) {
    switch (choice) {
        case kView: return set.viewAngle;
        case kSize: return set.minPointSize;
        case kSpin: return set.autoRotation * 180 / M_PI;
        case kTrail: return set.trailLength;
        case kPower: return set.powerLaw;
        default: return set.pushesPerFrame;
    }
}

}  // namespace

TEST_F(Menus, SettingsRefuseEntriesOutsideTheirRangeNamingItAndWholeNumbersAreTruncatedAndHeld) {
    set.viewAngle = 70, set.autoRotation = -M_PI / 10000;
    const std::tuple<int32_t, const char*, double, const char*> entries[] = {{kView, "200", 0, "0.5 to 175"},
        {kView, "0.1", 0, "0.5 to 175"}, {kView, "nan", 0, "0.5 to 175"}, {kView, "wide", 0, "0.5 to 175"},
        {kView, "175", 175, nullptr}, {kView, "0.5", 0.5, nullptr}, {kPower, "x", 0, "-10 to 10"},
        {kPower, "1e400", 0, "-10 to 10"}, {kSpin, "720", 0, "-180 to 180"}, {kSpin, "1", 1, nullptr},
        {kPushes, "1e12", 0, "1 to 1000000"}, {kPushes, "0", 1, nullptr}, {kPushes, "2.9", 2, nullptr},
        {kPushes, "1000000", kMaxPushesPerFrame, nullptr}, {kTrail, "4294967298", 0, "0 to 100000 "},
        {kTrail, "-5", 0, nullptr}, {kTrail, "250.7", 250, nullptr}, {kTrail, "100000", kMaxTrailLength, nullptr},
        {kSize, "100000000", 0, "1 to 1000 "}, {kSize, "0.4", 1, nullptr}, {kSize, "1000", kMaxMinPointSize, nullptr}};
    for (const auto& [choice, entry, stored, range] : entries) {
        const double before = Stored(choice);
        const size_t cautions = backend.cautions.size();
        Answer(entry);
        HandleMenuEv(choice);
        EXPECT_NEAR(Stored(choice), range ? before : stored, 1e-12) << entry;
        ASSERT_EQ(backend.cautions.size(), cautions + (range != nullptr)) << entry;
        EXPECT_TRUE(!range || backend.cautions.back().find(range) != std::string::npos) << backend.cautions.back();
    }
    EXPECT_EQ(Shown(0) + " " + Shown(8), "70.0 -0.01800000");  // one fraction digit; the rotation in degrees
    Answer("33", kSheetCancelItem);  // a cancelled sheet changes nothing and says nothing
    HandleMenuEv(kView);
    EXPECT_EQ(set.viewAngle, 0.5);
    // The time step goes through the unit dialog: five presses go round s, min, h, days and back to
    // minutes, converting the value shown; OK returns seconds; it must be a positive number.
    set.timeStep = 10.0;
    backend.Expect({{{{kFlipValueItem, "7200"}}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{}, kFlipUnitItem},
                    {{}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{{kFlipValueItem, "3"}}, kFlipOkItem}});
    HandleMenuEv(MenuChoice(kSimulationMenu, 3));
    const DialogRecord& d = backend.dialogs.back();
    const std::pair<double, const char*> shown[] = {{10, "s"}, {120, "min"}, {2, "h"}, {1 / 12.0, "days"}, {7200, "s"}, {120, "min"}};
    for (size_t k = 1; k < 6; ++k) {
        EXPECT_NEAR(String2MyReal(d.textsAtHit[k].at(kFlipValueItem)), shown[k].first, 1e-9) << k;
        EXPECT_EQ(d.textsAtHit[k].at(kFlipUnitItem), shown[k].second) << k;
    }
    EXPECT_NEAR(set.timeStep, 180.0, 1e-9);
    for (const char* entry : {"abc", "0", "1e999"}) {
        backend.Expect({{{{kFlipValueItem, entry}}, kFlipOkItem}});
        HandleMenuEv(MenuChoice(kSimulationMenu, 3));
        EXPECT_NEAR(set.timeStep, 180.0, 1e-9) << entry;
        EXPECT_NE(backend.cautions.back().find("greater than 0"), std::string::npos);
    }
}

TEST_F(Menus, StereoPowerLawAndStarFieldCommands) {
    set.eyeRadius = 15, set.displayFlags = kStereoOnFlag;
    HandleMenuEv(MenuChoice(kViewMenu, 2));  // on: turns off at once, asking nothing
    EXPECT_EQ(set.displayFlags + backend.opened, 0u);
    Answer("41");
    HandleMenuEv(MenuChoice(kViewMenu, 2));  // off: asks for the separation, twice the stored radius
    EXPECT_EQ(Shown(0), "30");
    EXPECT_EQ(set.eyeRadius * 10 + set.displayFlags, 200 + kStereoOnFlag);
    set.displayFlags = 0;
    Answer("", kSheetCancelItem);
    HandleMenuEv(MenuChoice(kViewMenu, 2));
    EXPECT_EQ(set.displayFlags, 0u);
    AddBodies(2);
    TransferICsToRT();
    set.powerLaw = -2;
    Answer("-2.00000");  // the same power law: the run goes on
    HandleMenuEv(kPower);
    EXPECT_NE(rt.bodyRT, 0u);
    Answer("-1.5");  // another: it starts again from the initial conditions
    HandleMenuEv(kPower);
    EXPECT_EQ(rt.bodyRT, 0u);
    backend.Expect({{{{kSheetFirstFieldItem, "90"}, {kSheetFirstFieldItem + 1, "45"}}, kSheetOkayItem}});
    HandleMenuEv(MenuChoice(kParametersMenu, 4));  // star field angles typed in degrees
    EXPECT_NEAR(set.starInclination * 4 + set.starAzimuth, 2.25 * M_PI, 1e-12);
}

TEST_F(Menus, SubmenuItemsSetTheirSettingsAndWhileTrackedOnlyTheChosenOneIsMarked) {
    for (int16_t item = 1; item <= 11; ++item) {
        HandleMenuEv(MenuChoice(kCameraModeMenu, item));
        EXPECT_EQ(set.cameraMode, CameraModeForMenuItem(item)) << Item(kCameraModeMenu, item).text;
    }
    const int32_t methods[] = {kPushSemiImplicitEuler, kPushRungeKutta, kPushAdamsBashforth, kPushAdamsMoulton,
                               kPushEuler, kPushGaussRadau};
    for (int16_t item = 1; item <= 6; ++item) {
        HandleMenuEv(MenuChoice(kPushMethodMenu, item));
        EXPECT_EQ(set.pushMethod, methods[item - 1]) << Item(kPushMethodMenu, item).text;
    }
    // After two choices (and one of no item for the menus that ignore it) the second alone is marked.
    const std::tuple<int16_t, int16_t, int16_t> choices[] = {{kCameraModeMenu, 3, 9}, {kPushMethodMenu, 6, 2},
        {kOnCrashMenu, 3, 2}, {kStereoGlassesMenu, 2, 1}, {kFrameRateMenu, 2, 1}, {kFrameRateMenu, 1, 2},
        {kStereoGlassesMenu, 1, 2}};
    for (const auto& [menu, first, second] : choices) {
        for (int16_t item : {first, second}) HandleMenuEv(MenuChoice(menu, item)), MarkMenus(1), MarkMenus(0);
        if (menu == kStereoGlassesMenu || menu == kFrameRateMenu) HandleMenuEv(MenuChoice(menu, 40));
        MarkMenus(1);
        for (size_t k = 0; k < GetMenu(menu)->items.size(); ++k)
            EXPECT_EQ(GetMenu(menu)->items[k].checked, int16_t(k + 1) == second) << menu << " item " << k + 1;
        MarkMenus(0);
    }
    EXPECT_EQ(set.onCrash * 100 + int(stereoGlasses) * 10 + int(frameRateChoice), 111);
    set.labelFlags = 5;
    for (int16_t item : {12, 10, 11, 1, 9}) HandleMenuEv(MenuChoice(kLabelsMenu, item));  // all, none, arrows, names
    MarkMenus(1);
    for (int16_t item = 1; item <= 9; ++item) EXPECT_EQ(Item(kLabelsMenu, item).checked, item <= 3) << item;
    MarkMenus(0);
    EXPECT_EQ(set.labelFlags * 10 + Item(kLabelsMenu, 1).checked, 70u);
    rt.eyeDistance = -5, rt.eyeDistanceVel = 0, rt.panI = 0.3, rt.panIVel = 0, rt.panJ = -0.2, rt.panJVel = 0.1;
    HandleMenuEv(MenuChoice(kCameraModeMenu, 2));  // a new mode glides the view back to the centre
    EXPECT_DOUBLE_EQ(rt.eyeDistanceVel, 4.0e6 + 5.0);
    EXPECT_DOUBLE_EQ(rt.panIVel + rt.panJVel * 10, -0.3 + 3);
}

TEST_F(Menus, ItemsFollowTheStateWhileTrackedAndKeepTheirKeysOtherwise) {
    MarkMenus(1);
    ASSERT_NE(CameraSelectionMenuH, nullptr);  // the camera body menu exists only while tracked
    EXPECT_FALSE(CameraSelectionMenuH->items.at(0).enabled);  // no bodies
    EXPECT_FALSE(Item(kObjectsMenu, 2).enabled || Item(kObjectsMenu, 3).enabled || Item(kObjectsMenu, 6).enabled);
    EXPECT_EQ(Item(kObjectsMenu, 5).text, "New Craft\u2026");
    MarkMenus(0);
    EXPECT_EQ(GetMenu(kCameraSelectionMenu), nullptr);
    EXPECT_TRUE(Item(kObjectsMenu, 2).enabled && Item(kObjectsMenu, 3).enabled);  // command keys reach the command
    AddBodies(3);
    BodyInfoStruct craft{};
    FillDefaultCraftInfo(craft);
    AddABody(craft);
    rt.selectedBody = set.cameraSelection = 1;
    SetControl(kPausedControl);
    set.displayFlags = kKeepCameraLevelFlag | kStarFieldOffFlag, set.trailLength = 10;
    MarkMenus(1);
    ASSERT_EQ(CameraSelectionMenuH->items.size(), 6u);
    EXPECT_EQ(CameraSelectionMenuH->items[3].text, "B");
    EXPECT_TRUE(CameraSelectionMenuH->items[3].checked);
    EXPECT_TRUE(Item(kObjectsMenu, 2).enabled && Item(kObjectsMenu, 6).enabled);
    EXPECT_EQ(Item(kObjectsMenu, 5).text + Item(kSimulationMenu, 1).text, "Edit Craft\u2026Run");
    for (const auto& [item, checked] : {std::pair{2, false}, {6, true}, {10, true}, {11, false}, {12, true}})
        EXPECT_EQ(Item(kViewMenu, int16_t(item)).checked, checked) << item;
    MarkMenus(0);
    EXPECT_FALSE(Item(kViewMenu, 6).checked);
    HandleMenuEv(MenuChoice(kSimulationMenu, 1));
    MarkMenus(1);
    EXPECT_EQ(Item(kSimulationMenu, 1).text, "Pause");
    MarkMenus(0);
    // Camera body items: the selected body, a separator, then the bodies; beyond them the first.
    for (const auto& [item, selection] : {std::pair{3, 0}, {9, 0}, {2, 0}, {1, 1}}) {
        set.cameraSelection = item == 2 ? 0 : 2;
        HandleMenuEv(MenuChoice(kCameraSelectionMenu, int16_t(item)));
        EXPECT_EQ(set.cameraSelection, selection) << item;
    }
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
    const std::tuple<uint8_t, uint16_t, int32_t> keys[] = {{'q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)},
        {'Q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)}, {'2', kCmdKeyModifier, MenuChoice(kWindowMenu, 2)},
        {8, kCmdKeyModifier, MenuChoice(kObjectsMenu, 3)}, {'r', kCmdKeyModifier, MenuChoice(kSimulationMenu, 1)},
        {'r', kCmdKeyModifier | kShiftKeyModifier, MenuChoice(kSimulationMenu, 8)}, {'q', 0, 0},
        {'v', kCmdKeyModifier, 0} /* Paste is greyed */, {'w', kCmdKeyModifier, 0}};
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
    EXPECT_EQ(backend.referenceRows, KeyAndMouseReference().size());
}

TEST_F(Menus, SheetsKeepEmptiedFieldsCutLongTextsAndTheGDialogDimsOkWhileNotANumber) {
    backend.Expect({{{{kSheetFirstFieldItem, ""}, {kSheetFirstFieldItem + 1, "7.5"}}, kSheetOkayItem}});
    double values[2] = {3.25, 1.0};
    ASSERT_EQ(DoSimpleDialogSheet(values, {"a", "b"}, nullptr, 1, 2, 2), 1);
    EXPECT_EQ(Shown(0) + " " + std::to_string(values[0] + values[1]), "3.25 10.750000");
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
    EXPECT_EQ(g.textsAtHit[0].at(kGravExponentItem), "-11");  // as mantissa and exponent
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
// Windows as content rectangles on a main screen, and on all screens together.
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
bool Apart(const Rect& a, const Rect& b) {  // with room for the window frames between them
    return a.right + 8 <= b.left || b.right + 8 <= a.left || a.bottom + 8 <= b.top || b.bottom + 8 <= a.top;
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
        EXPECT_TRUE(Apart(main, object) && Apart(main, stats) && Apart(object, stats)) << w << "x" << h;
        for (const Rect& r : {main, object, stats}) EXPECT_TRUE(r.left >= 0 && r.right <= w && r.bottom <= h) << w;
        EXPECT_GE(main.right - main.left, 200) << w;
        s.all = Rect{-40, 0, int16_t(h), int16_t(2 * w)};  // a second screen at the right, taller
        // Main screen below the menu bar and a title, inset; without margins; all screens; full screen.
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
