#include "core/Menus.h"

#include <cmath>
#include <iterator>

#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/EventLoop.h"
#include "core/ParameterCommands.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "imagery/Stars.h"
#include "io/DemoUniverses.h"
#include "io/MovieRecording.h"
#include "io/Odometer.h"
#include "io/PictureExport.h"
#include "io/Pictures.h"
#include "io/Universe.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/FitAll.h"
#include "render/RenderBuffer.h"
#include "render/StereoGlasses.h"
#include "shell/AddBelt.h"
#include "shell/Confirm.h"
#include "shell/Document.h"
#include "shell/FramePacing.h"
#include "shell/History.h"
#include "shell/ImportHorizons.h"
#include "shell/KeyReference.h"
#include "shell/RecentFilesMenu.h"
#include "shell/SolarSystemAtDate.h"
#include "shell/ViewPreferences.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "sim/ReferenceFrame.h"
#include "windows/BodyEditorCommands.h"
#include "windows/FlightMenuCommands.h"
#include "windows/PlanBurnDialog.h"
#include "windows/ObjectWindow.h"

namespace {

MenuItemModel Item(const char* text, const char* shortcut = "", int16_t submenu = 0) {
    MenuItemModel m;
    m.text = text;
    m.shortcut = shortcut;
    m.submenu = submenu;
    return m;
}
MenuItemModel Separator() { return Item("-"); }
MenuItemModel Inactive(const char* text, const char* shortcut = "") {
    MenuItemModel m = Item(text, shortcut);
    m.enabled = false;
    return m;
}

MenuModel& AddMenu(int16_t id, const char* title, std::vector<MenuItemModel> items) {
    MenuModel& m = menuList[id];
    m.id = id;
    m.title = title;
    m.items = std::move(items);
    return m;
}

// The demo universes found beside the application, in the order of the submenu.
std::vector<DemoUniverse> demoUniverses;

void InstallDemoMenu() {
    demoUniverses = ListDemoUniverses();
    std::vector<MenuItemModel> items;
    for (const DemoUniverse& d : demoUniverses) items.push_back(Item(d.title.c_str()));
    if (items.empty()) items.push_back(Inactive("No demo universes found"));
    AddMenu(kDemoMenu, "Open Demo", std::move(items));
}

// The menu bar as the application ships it. Item positions are what the
// commands are numbered by; only texts and shortcuts are free.
void InstallMenuBar() {
    AddMenu(kAppleMenu, "Gravitas", {Item("About Gravitas\u2026")});
    AddMenu(kFileMenu, "File",
            {Item("Open Universe\u2026", "Ctrl+O"), Item("Open Recent", "", kRecentFilesMenu), Item("Open Demo", "", kDemoMenu),
             Item("Save Universe", "Ctrl+S"),
             Item("Save Universe As\u2026"), Separator(), Item("Save Picture As\u2026", "Ctrl+Shift+P"),
             Item("Record Movie\u2026", "Ctrl+Shift+M"), Separator(), Item("Open Star Data\u2026", "Ctrl+Shift+O"),
             Item("Import Horizons Vectors\u2026"), Item("New Solar System at Date\u2026"), Separator(),
             Item("Quit", "Ctrl+Q")});
    InstallDemoMenu();
    AddMenu(kEditMenu, "Edit",
            {Item("Undo", "Ctrl+Z"), Item("Redo", "Ctrl+Shift+Z"), Separator(), Item("Copy Picture", "Ctrl+C"),
             Inactive("Paste", "Ctrl+V"), Inactive("Clear"), Separator(), Item("Remove All Bodies")});
    AddMenu(kParametersMenu, "Parameters",
            {Item("Gravitational Constant\u2026", "Ctrl+G"), Item("Power Law\u2026"), Separator(),
             Item("Star Field Orientation\u2026"), Separator(), Item("General Relativity (Heaviest Body)")});
    AddMenu(kObjectsMenu, "Objects",
            {Item("New Body\u2026", "Ctrl+N"), Item("Edit Body\u2026", "Ctrl+E"), Item("Delete Body", "Ctrl+Backspace"),
             Separator(), Item("New Craft\u2026"), Item("Delete Craft"), Separator(), Item("Add Belt\u2026")});
    AddMenu(kSimulationMenu, "Simulation",
            {Item("Run", "Ctrl+R"), Separator(), Item("Time Step\u2026", "Ctrl+T"), Item("Pushes per Frame\u2026"),
             Item("Integration Method", "", kPushMethodMenu), Item("On Collision", "", kOnCrashMenu), Separator(),
             Item("Reset to Initial Conditions", "Ctrl+Shift+R"), Item("Centre of Mass to Origin"),
             Item("Make Present State Initial"), Separator(), Item("Plan Burn\u2026", "Ctrl+B")});
    AddMenu(kViewMenu, "View",
            {Item("Field of View\u2026"), Item("Red\u2013Cyan Stereo\u2026", "Ctrl+3"), Item("Smallest Body Size\u2026"),
             Item("Camera Mode", "", kCameraModeMenu), Item("Camera Body", "", kCameraSelectionMenu),
             Item("Keep Camera Level", "Ctrl+K"), Item("Automatic Rotation\u2026"), Item("Labels", "", kLabelsMenu),
             Separator(), Item("Map Surfaces on Spheres", "Ctrl+M"), Item("Star Field", "Ctrl+Shift+S"),
             Item("Trails\u2026", "Ctrl+L"), Item("Stereo Glasses", "", kStereoGlassesMenu),
             Item("Frame Rate", "", kFrameRateMenu), Separator(), Item("Fit All", "Ctrl+0"), Separator(),
             Item("Predicted Path", "Ctrl+P"), Item("Predicted Path Horizon\u2026"),
             Item("Approach Target", "", kApproachTargetMenu)});
    AddMenu(kApproachTargetMenu, "Approach Target", {Item("Automatic")});
    AddMenu(kWindowMenu, "Window",
            {Item("Standard Layout", "Ctrl+1"), Item("Main Screen", "Ctrl+2"), Item("Main Screen, No Margins"),
             Item("All Screens"), Item("Full Screen", "Ctrl+F"), Separator(), Item("Main Window"),
             Item("Object List", "Ctrl+J"), Item("Statistics", "Ctrl+I")});
    AddMenu(kHelpMenu, "Help", {Item("Keyboard and Mouse", "F1")});
    AddMenu(kPushMethodMenu, "Integration Method",
            {Item("Semi-Implicit Euler"), Item("Runge\u2013Kutta (4th order)"), Item("Adams\u2013Bashforth (4th order)"),
             Item("Adams\u2013Moulton (4th order)"), Item("Euler"), Item("Gauss\u2013Radau (adaptive)"),
             Item("Wisdom\u2013Holman (symplectic)")});
    AddMenu(kLabelsMenu, "Labels",
            {Item("Names"), Item("Velocity Arrows"), Item("Acceleration Arrows"), Item("Speed"), Item("Acceleration"),
             Item("Kinetic Energy"), Item("Potential Energy"), Item("Total Energy"), Separator(), Item("No Labels"),
             Item("Both Arrows"), Item("All Labels")});
    AddMenu(kCameraModeMenu, "Camera Mode",
            {Item("Orbit the Origin"), Item("Orbit the Body"), Item("Orbit, Looking Toward the Nearest Body"),
             Item("Orbit, Looking Along the Acceleration"), Item("Ride, Looking Along the Velocity"),
             Item("Ride, Looking Ahead of the Velocity"), Item("Ride, Looking Toward the Nearest Body"),
             Item("Ride, Looking Along the Acceleration"), Item("Chase from Behind"),
             Item("Chase, Looking Between Body and Nearest"), Item("Lead from Ahead")});
    AddMenu(kStereoGlassesMenu, "Stereo Glasses", {Item("Red Left"), Item("Red Right")});
    AddMenu(kFrameRateMenu, "Frame Rate", {Item("Display"), Item("Unlimited")});
    AddMenu(kOnCrashMenu, "On Collision", {Item("Pass Through"), Item("Stop the Simulation"), Item("Merge the Bodies")});
}

bool BodySelectionOkay() { return IsBodySelectionOkay() != 0; }

void SetEnabled(int16_t menu, int16_t item, bool on) {
    if (MenuItemModel* m = GetMenuItem(menu, item)) m->enabled = on;
}
void SetChecked(MenuModel* menu, int16_t item, bool on) {
    if (menu && item >= 1 && item <= int16_t(menu->items.size())) menu->items[size_t(item - 1)].checked = on;
}
void SetText(int16_t menu, int16_t item, const std::string& text) {
    if (MenuItemModel* m = GetMenuItem(menu, item)) m->text = text;
}
void ClearChecks(MenuModel* menu) {
    if (menu)
        for (MenuItemModel& m : menu->items) m.checked = false;
}

constexpr int32_t kCameraModeOfItem[11] = {0, 1, 3, 2, 8, 9, 10, 11, 16, 17, 20};
constexpr int32_t kPushMethodOfItem[] = {0, 4, 2, 3, 1, kPushGaussRadau, kPushWisdomHolman};
constexpr int16_t kPushMethodItems = int16_t(std::size(kPushMethodOfItem));

int32_t BodyCount() {
    const BodyListStruct* list = BodyList();
    return list ? list->count : 0;
}

void ShowAboutBox() { Platform().AboutBox(GetTotalTimeString()); }

// An undo step is named after the command: the item's text, or a submenu's title.
std::string ChangeName(int16_t menu, int16_t item) {
    std::string name;
    if (const MenuModel* m = GetMenu(menu); m && menu >= kPushMethodMenu) name = m->title;
    else if (const MenuItemModel* i = GetMenuItem(menu, item)) name = i->text;
    return WithoutEllipsis(name);
}

std::string WithStepName(const char* verb, const std::string& step) { return step.empty() ? verb : verb + (" " + step); }

// Remove All Bodies takes everything at once: ask first (it stays undoable).
bool ConfirmRemoveAllBodies() {
    const int32_t count = BodyCount();
    if (count == 0) return true;
    const std::string what = count == 1 ? "the body" : "all " + std::to_string(count) + " bodies";
    return AskToConfirm("Remove " + what + "? Edit \u203a Undo brings them back.", "Remove");
}

}  // namespace

void SetupMenus() {
    menuList.clear();
    InstallMenuBar();
    BuildRecentFilesMenu();
    for (int i = 0; i < 8; ++i) mnu[i] = &menuList[int16_t(kAppleMenu + i)];
    PushMethodMenu = &menuList[kPushMethodMenu];
    LabelsMenu = &menuList[kLabelsMenu];
    CameraModeMenu = &menuList[kCameraModeMenu];
    OnCrashMenu = &menuList[kOnCrashMenu];
    CameraSelectionMenuH = nullptr;
}

void DisposeMenus() {
    for (int16_t id : {kPushMethodMenu, kLabelsMenu, kCameraModeMenu, kOnCrashMenu, kDemoMenu, kStereoGlassesMenu,
                       kFrameRateMenu, kCameraSelectionMenu, kRecentFilesMenu, kApproachTargetMenu})
        menuList.erase(id);
    PushMethodMenu = LabelsMenu = CameraModeMenu = OnCrashMenu = CameraSelectionMenuH = nullptr;
}

void MarkMenus(uint16_t entering) {
    const bool in = entering != 0;
    const bool selectionOkay = BodySelectionOkay();
    SetEnabled(kObjectsMenu, 2, !(in && !selectionOkay));
    SetEnabled(kObjectsMenu, 3, !(in && !selectionOkay));
    const bool craft = IsThereACraft();
    SetText(kObjectsMenu, 5, GetIndString(1027, craft ? 2 : 1));
    SetEnabled(kObjectsMenu, 6, !(in && !craft));
    SetText(kSimulationMenu, 1, GetIndString(1028, GetControl(kPausedControl) ? 1 : 2));
    SetText(kFileMenu, kRecordMovieItem, IsRecordingMovie() ? "Stop Recording" : "Record Movie\u2026");
    // Like the object items, Undo and Redo stay enabled outside tracking so their keys always arrive.
    SetEnabled(kEditMenu, 1, !(in && !CanUndo()));
    SetEnabled(kEditMenu, 2, !(in && !CanRedo()));
    SetText(kEditMenu, 1, WithStepName("Undo", UndoStepName()));
    SetText(kEditMenu, 2, WithStepName("Redo", RedoStepName()));

    SetChecked(GetMenu(kParametersMenu), 6, in && RelativityOn(set));
    MenuModel* view = GetMenu(kViewMenu);
    SetChecked(view, 2, in && IsRC3DOn());
    SetChecked(view, 6, in && IsKeepCameraLevelOn());
    SetChecked(view, 10, in && IsMappingSpheresOn());
    SetChecked(view, 11, in && IsDrawingStarsOn());
    SetChecked(view, 12, in && IsTrailLengthOn());
    SetChecked(view, kPredictedPathItem, in && IsPredictedPathOn());
    if (in) FillApproachTargetMenu(menuList[kApproachTargetMenu]);
    MarkLabelMenu(LabelsMenu, entering);

    ClearChecks(OnCrashMenu);
    ClearChecks(PushMethodMenu);
    ClearChecks(CameraModeMenu);
    MenuModel* glasses = GetMenu(kStereoGlassesMenu);
    ClearChecks(glasses);
    MenuModel* frameRate = GetMenu(kFrameRateMenu);
    ClearChecks(frameRate);
    if (in) {
        SetChecked(glasses, stereoGlasses == StereoGlasses::RedRight ? 2 : 1, true);
        SetChecked(frameRate, frameRateChoice == FrameRateChoice::Unlimited ? 2 : 1, true);
        SetChecked(OnCrashMenu, GetOnCrashMenuItem(), true);
        SetChecked(PushMethodMenu, GetPushMethodMenuItem(), true);
        SetChecked(CameraModeMenu, GetCameraModeMenuItem(), true);
        MenuModel& sel = menuList[kCameraSelectionMenu];
        sel = MenuModel{kCameraSelectionMenu, "Camera selection", {}};
        CameraSelectionMenuH = &sel;
        FillCameraSelectionMenu(CameraSelectionMenuH);
    } else if (CameraSelectionMenuH) {
        menuList.erase(kCameraSelectionMenu);
        CameraSelectionMenuH = nullptr;
    }
}

namespace {
// Whether a shortcut text such as "Ctrl+Shift+O" or "Ctrl+Backspace" names this key.
bool ShortcutNames(const std::string& shortcut, uint8_t ch, uint16_t modifiers) {
    bool ctrl = false, shift = false;
    std::string key;
    size_t from = 0;
    for (;;) {
        const size_t plus = shortcut.find('+', from + 1);  // "Ctrl++" would end in a plus key
        const std::string token = shortcut.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
        if (token == "Ctrl") ctrl = true;
        else if (token == "Shift") shift = true;
        else key = token;
        if (plus == std::string::npos) break;
        from = plus + 1;
    }
    if (!ctrl || shift != ((modifiers & kShiftKeyModifier) != 0)) return false;
    if (key == "Backspace") return ch == 8 || ch == 127;
    if (key.size() != 1) return false;
    const auto upper = [](uint8_t c) { return uint8_t(c >= 'a' && c <= 'z' ? c - 32 : c); };
    return upper(uint8_t(key[0])) == upper(ch);
}
}  // namespace

int32_t MenuKey(uint8_t ch, uint16_t modifiers) {
    if (!(modifiers & kCmdKeyModifier) || ch == 0) return 0;
    for (const auto& [id, menu] : menuList)
        for (size_t k = 0; k < menu.items.size(); ++k) {
            const MenuItemModel& item = menu.items[k];
            if (item.enabled && !item.shortcut.empty() && ShortcutNames(item.shortcut, ch, modifiers))
                return MenuChoice(id, int16_t(k + 1));
        }
    return 0;
}

void HandleMenuEv(int32_t choice) {
    const int16_t menu = int16_t(choice >> 16);
    const int16_t item = int16_t(choice & 0xFFFF);
    if (menu == kEditMenu && (item == 1 || item == 2)) {
        item == 1 ? UndoLastChange() : RedoLastChange();
        MainWindow().InvalidateWindow(kObjectWindowId);
        return;
    }
    // Whatever the command changes in the scenario becomes one undo step.
    UndoableChange change(ChangeName(menu, item));
    const DialogsNamedAfter titles(ChangeName(menu, item));
    const ViewPreferencesStruct viewBefore = PresentViewPreferences();
    switch (menu) {
        case kAppleMenu:
            if (item == 1) ShowAboutBox();
            break;
        case kFileMenu:
            if (item == kOpenItem) OpenDocumentMenuItem();
            else if (item == kSaveItem) SaveDocumentMenuItem();
            else if (item == kSaveAsItem) SaveDocumentAsMenuItem();
            else if (item == kSavePictureItem) SavePictureAsMenuItem();
            else if (item == kRecordMovieItem) RecordMovieMenuItem();
            else if (item == kOpenStarDataItem) UserGetFileStarData();
            else if (item == kImportHorizonsItem) ImportHorizonsMenuItem();
            else if (item == kSolarSystemAtDateItem) SolarSystemAtDateMenuItem();
            else if (item == kQuitItem) staying = 0;
            break;
        case kRecentFilesMenu: OpenRecentMenuItem(item); break;
        case kDemoMenu:
            // Asks about unsaved changes and names the window after the demo, as any open does.
            if (item >= 1 && size_t(item) <= demoUniverses.size()) OpenDocumentFile(demoUniverses[size_t(item - 1)].path);
            break;
        case kEditMenu:
            if (item == 4) CopyPictureToScrap();
            else if (item == 8 && ConfirmRemoveAllBodies()) {
                DeallocateAllPushMemory();
                MainWindow().InvalidateWindow(kObjectWindowId);
            }
            break;
        case kParametersMenu:
            if (item == 1) EditGravitationalConstantMenuItem();
            else if (item == 2) EditPowerLawMenuItem();
            else if (item == 4) EditStarInclinationMenuItem();
            else if (item == 6) set.physicsOptions = RelativityOn(set) ? 0 : kRelativityOn;
            break;
        case kObjectsMenu:
            if (item == 1) NewBodyMenuItem();
            else if (item == 2) EditBodyMenuItem();
            else if (item == 3) DeleteBodyMenuItem();
            else if (item == 5) IsThereACraft() ? EditCraftMenuItem() : NewCraftMenuItem();
            else if (item == 6) DeleteCraftMenuItem();
            else if (item == 8) AddBeltMenuItem();
            break;
        case kSimulationMenu:
            if (item == 1) ToggleControl(kPausedControl);
            else if (item == 3) EditTimeStepMenuItem();
            else if (item == 4) EditPushesPerFrameMenuItem();
            else if (item == 8) TransferICsToRT();
            else if (item == 9) RealignInertialReferenceFrame();
            else if (item == 10) SetICsToRT();
            else if (item == kPlanBurnItem) PlanBurnMenuItem();
            break;
        case kViewMenu:
            switch (item) {
                case 1: EditViewAngleMenuItem(); break;
                case 2: EditEyeRadiusMenuItem(); break;
                case 3: EditMinimumPointSizeMenuItem(); break;
                case 6: ToggleKeepCameraLevelFlag(); break;
                case 7: EditAutoRotationMenuItem(); break;
                case 10: ToggleMapSpheresFlag(); break;
                case 11: ToggleDrawStarsFlag(); break;
                case 12: EditTrailLengthMenuItem(); break;
                case kFitAllItem: FitAllMenuItem(); break;
                case kPredictedPathItem: TogglePredictedPathMenuItem(); break;
                case kPredictionHorizonItem: EditPredictionHorizonMenuItem(); break;
                default: break;
            }
            break;
        case kWindowMenu:
            if (item >= 1 && item <= 5) {
                SetupWindows(item);
                SetRunTimeViewingVariables();
            } else if (item == 7) MainWindow().BringWindowToFront(kMainWindowId);
            else if (item == 8) MainWindow().BringWindowToFront(kObjectWindowId);
            else if (item == 9) MainWindow().BringWindowToFront(kStatsWindowId);
            break;
        case kHelpMenu:
            if (item == 1) ShowKeyReferenceMenuItem();
            break;
        case kPushMethodMenu: SetPushMethodMenuItem(item); break;
        case kLabelsMenu: ToggleLabelMenuItem(item); break;
        case kCameraModeMenu: SetCameraModeMenuItem(item); break;
        case kOnCrashMenu: SetOnCrashMenuItem(item); break;
        case kStereoGlassesMenu:
            if (item == 1 || item == 2) stereoGlasses = item == 2 ? StereoGlasses::RedRight : StereoGlasses::RedLeft;
            break;
        case kFrameRateMenu:
            if (item == 1 || item == 2) frameRateChoice = item == 2 ? FrameRateChoice::Unlimited : FrameRateChoice::Display;
            break;
        case kCameraSelectionMenu: SetCameraSelectionMenuItem(item); break;
        case kApproachTargetMenu: SetApproachTargetMenuItem(item); break;
        default: break;
    }
    if (ChangesViewPreferences(choice))
        SaveChangedViewPreferences(viewBefore, PresentViewPreferences(), RememberedSettings());
}

// ---- submenu accessors

void SetCameraModeMenuItem(int16_t item) {
    set.cameraMode = (item >= 1 && item <= 11) ? kCameraModeOfItem[item - 1] : 0;
    if (!(rt.eyeDistance > 0.0) && !std::isnan(rt.eyeDistance)) rt.eyeDistanceVel += 4.0e6 - rt.eyeDistance;
    // Glide the view back to the centre.
    rt.panIVel -= rt.panI;
    rt.panJVel -= rt.panJ;
}

int16_t GetCameraModeMenuItem() {
    for (int16_t i = 0; i < 11; ++i)
        if (kCameraModeOfItem[i] == set.cameraMode) return int16_t(i + 1);
    return 0;
}

void SetCameraSelectionMenuItem(int16_t item) {
    if (item == 1) set.cameraSelection = rt.selectedBody;
    else if (item >= 3) {
        const int32_t k = item - 3;
        set.cameraSelection = (set.bodies && k < BodyCount()) ? k : 0;
    }
    // Orbiting the origin would not show the body chosen: follow it instead.
    if (item == 1 || item >= 3)
        if (!CameraModeUsesBody(set.cameraMode)) SetCameraModeMenuItem(kOrbitBodyItem);
    UpdateObjectWindowVars();
}

void FitAllMenuItem() {
    // A riding or chasing eye cannot stand back: orbit the same body instead.
    if (CameraModeUsesBody(set.cameraMode) && set.cameraMode > 3) SetCameraModeMenuItem(kOrbitBodyItem);
    double target[3];
    CameraLookTarget(target);
    const double distance = EyeDistanceShowingAll(target);
    if (!(distance > 0)) return;
    rt.eyeDistanceVel = distance - rt.eyeDistance;
    rt.panIVel = -rt.panI;
    rt.panJVel = -rt.panJ;
}

int16_t GetCameraSelectionMenuItem() { return int16_t(set.cameraSelection + 3); }

void SetOnCrashMenuItem(int16_t item) { set.onCrash = item - 1; }
int16_t GetOnCrashMenuItem() { return int16_t(set.onCrash + 1); }

void SetPushMethodMenuItem(int16_t item) {
    set.pushMethod = (item >= 1 && item <= kPushMethodItems) ? kPushMethodOfItem[item - 1] : 0;
}

int16_t GetPushMethodMenuItem() {
    for (int16_t i = 0; i < kPushMethodItems; ++i)
        if (kPushMethodOfItem[i] == set.pushMethod) return int16_t(i + 1);
    return 1;
}

void ToggleLabelMenuItem(int16_t item) {
    if (item >= 1 && item <= 8) set.labelFlags ^= 1u << (item - 1);
    else if (item == 10) set.labelFlags = 0;
    else if (item == 11) set.labelFlags |= 2u | 4u;
    else if (item == 12) set.labelFlags = 255;
}

void MarkLabelMenu(MenuModel* menu, uint16_t entering) {
    if (!menu) return;
    for (int16_t i = 1; i <= 8; ++i) SetChecked(menu, i, entering && (set.labelFlags & (1u << (i - 1))));
    SetChecked(menu, 9, false);
}

void FillCameraSelectionMenu(MenuModel* menu) {
    if (!menu) return;
    if (const BodyListStruct* list = BodyList()) {
        menu->items.push_back(Item(GetIndString(1029, 12).c_str()));
        menu->items.push_back(Item(GetIndString(1029, 13).c_str()));
        for (int32_t i = 0; i < list->count; ++i) menu->items.push_back(Item(PToCStr(list->body[i].name).c_str()));
        SetChecked(menu, GetCameraSelectionMenuItem(), true);
    } else {
        menu->items.push_back(Item(GetIndString(1029, 11).c_str()));
        menu->items[0].enabled = false;
    }
}
