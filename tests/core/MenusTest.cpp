// The menu bar's commands, marks and shortcuts, the dialogs they open and the window layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "ScriptedDialog.h"
#include "shell/Confirm.h"
#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "shell/FramePacing.h"
#include "core/Menus.h"
#include "core/Units.h"
#include "render/RenderBuffer.h"
#include "render/StereoGlasses.h"
#include "sim/Bodies.h"

namespace {

struct Menus : ::testing::Test {
    ScriptedDialogBackend backend;
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

TEST_F(Menus, SettingsRefuseEntriesOutsideTheirRangeNamingItAndWholeNumbersAreTruncatedAndHeld) {
    set.viewAngle = 70, set.autoRotation = -M_PI / 10000;
    const std::tuple<int32_t, const char*, double, const char*> entries[] = {{kView, "200", 0, "0.5 to 175"},
        {kView, "nan", 0, "0.5 to 175"}, {kView, "wide", 0, "0.5 to 175"}, {kView, "175", 175, nullptr},
        {kView, "0.5", 0.5, nullptr}, {kPower, "1e400", 0, "-10 to 10"}, {kSpin, "720", 0, "-180 to 180"},
        {kSpin, "1", 1, nullptr}, {kPushes, "1e12", 0, "1 to 1000000"}, {kPushes, "0", 1, nullptr},
        {kPushes, "2.9", 2, nullptr}, {kTrail, "4294967298", 0, "0 to 100000 "}, {kTrail, "-5", 0, nullptr},
        {kTrail, "250.7", 250, nullptr}, {kSize, "100000000", 0, "1 to 1000 "}, {kSize, "0.4", 1, nullptr}};
    for (const auto& [choice, entry, stored, range] : entries) {
        const double before = Stored(choice);
        const size_t cautions = backend.cautions.size();
        Answer(entry);
        HandleMenuEv(choice);
        EXPECT_NEAR(Stored(choice), range ? before : stored, 1e-12) << entry;
        ASSERT_EQ(backend.cautions.size(), cautions + (range != nullptr)) << entry;
        EXPECT_TRUE(!range || backend.cautions.back().find(range) != std::string::npos) << backend.cautions.back();
    }
    EXPECT_EQ(Shown(0) + " " + Shown(6), "70.0 -0.01800000");  // one fraction digit; the rotation in degrees
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

TEST_F(Menus, SubmenuItemsSetTheirSettingsAndWhileTrackedOnlyTheChosenOneIsMarked) {
    const int32_t modes[] = {0, 1, 3, 2, 8, 9, 10, 11, 16, 17, 20};
    for (int16_t item = 1; item <= 11; ++item) {
        HandleMenuEv(MenuChoice(kCameraModeMenu, item));
        EXPECT_EQ(set.cameraMode, modes[item - 1]) << Item(kCameraModeMenu, item).text;
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
}

TEST_F(Menus, ChoicesReachTheirCommandsAndShortcutsTheirItems) {
    const SettingsStruct before = set;
    for (int32_t choice : {MenuChoice(kViewMenu, 9), MenuChoice(140, 1), 0}) HandleMenuEv(choice);  // nothing there
    EXPECT_EQ(std::memcmp(&before, &set, sizeof set), 0);
    BodyInfoStruct b{};
    FillDefaultBodyInfo(b);
    AddABody(b), AddABody(b);
    backend.Expect({{{}, kConfirmActionItem}});  // Remove All Bodies asks first
    HandleMenuEv(MenuChoice(kEditMenu, 8));
    EXPECT_EQ(set.bodies, 0u);
    HandleMenuEv(MenuChoice(kFileMenu, kQuitItem));
    EXPECT_EQ(staying, 0);
    staying = 1;
    const std::tuple<uint8_t, uint16_t, int32_t> keys[] = {{'q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)},
        {'Q', kCmdKeyModifier, MenuChoice(kFileMenu, kQuitItem)}, {'2', kCmdKeyModifier, MenuChoice(kWindowMenu, 2)},
        {8, kCmdKeyModifier, MenuChoice(kObjectsMenu, 3)}, {'r', kCmdKeyModifier, MenuChoice(kSimulationMenu, 1)},
        {'r', kCmdKeyModifier | kShiftKeyModifier, MenuChoice(kSimulationMenu, 8)}, {'q', 0, 0},
        {'v', kCmdKeyModifier, 0} /* Paste is greyed */, {'w', kCmdKeyModifier, 0}};
    for (const auto& [ch, modifiers, choice] : keys) EXPECT_EQ(MenuKey(ch, modifiers), choice) << ch;
}

TEST(WindowLayout, TheSideWindowsNeverCoverTheMainWindowAndEachLayoutFillsItsScreens) {
    for (const auto& [w, h] : {std::pair{640, 480}, {1280, 800}, {3840, 2160}}) {
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
