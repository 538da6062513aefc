// The menus as data: numbers, items with their texts, shortcuts and marks. The menu
// bar (Menus.h) fills them; the platform shows them, and the key reference and the
// recent-files submenu read or build them without depending on the commands.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Menu numbers.
constexpr int16_t kAppleMenu = 128, kFileMenu = 129, kEditMenu = 130, kParametersMenu = 131,
                  kObjectsMenu = 132, kSimulationMenu = 133, kViewMenu = 134, kWindowMenu = 135,
                  kHelpMenu = 136;  // after the eight menus of the bar
constexpr int16_t kPushMethodMenu = 192, kLabelsMenu = 193, kCameraModeMenu = 194, kOnCrashMenu = 195,
                  kDemoMenu = 196, kStereoGlassesMenu = 197, kFrameRateMenu = 199, kCameraSelectionMenu = 200,
                  kRecentFilesMenu = 201;
// File menu items that the window and tests refer to.
constexpr int16_t kOpenItem = 1, kOpenRecentItem = 2, kOpenDemoItem = 3, kSaveItem = 4, kSaveAsItem = 5,
                  kSavePictureItem = 7, kRecordMovieItem = 8, kOpenStarDataItem = 10, kImportHorizonsItem = 11,
                  kSolarSystemAtDateItem = 12, kQuitItem = 14;
// View › Fit All, and Camera Mode › Orbit the Body.
constexpr int16_t kFitAllItem = 16, kOrbitBodyItem = 2;

struct MenuItemModel {
    std::string text;      // "-" is a separator
    std::string shortcut;  // portable key-sequence text such as "Ctrl+R"; empty for none
    bool enabled = true;
    bool checked = false;
    int16_t submenu = 0;   // number of the submenu this item opens, 0 for none
};

struct MenuModel {
    int16_t id = 0;
    std::string title;
    std::vector<MenuItemModel> items;  // item k is items[k - 1]
};

// All menus that exist now, by number (menu 200 only while the bar is tracked).
extern std::map<int16_t, MenuModel> menuList;
// The eight menus of the bar, menu 128 first; null before SetupMenus.
extern MenuModel* mnu[8];
extern MenuModel* PushMethodMenu;
extern MenuModel* LabelsMenu;
extern MenuModel* CameraModeMenu;
extern MenuModel* OnCrashMenu;
extern MenuModel* CameraSelectionMenuH;

constexpr int32_t MenuChoice(int16_t menu, int16_t item) { return (int32_t(menu) << 16) | uint16_t(item); }

MenuModel* GetMenu(int16_t id);
MenuItemModel* GetMenuItem(int16_t menu, int16_t item);
// An item's text without the trailing "\u2026" of a command that asks first.
std::string WithoutEllipsis(std::string text);
