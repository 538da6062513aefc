#include "shell/RecentFilesMenu.h"

#include "core/MenuModel.h"
#include "platform/Platform.h"
#include "shell/RecentFiles.h"

namespace {

MenuItemModel RecentItem(const std::string& text, bool enabled) {
    MenuItemModel item;
    item.text = text;
    item.enabled = enabled;
    return item;
}

}  // namespace

void BuildRecentFilesMenu() {
    MenuModel& menu = menuList[kRecentFilesMenu];
    menu.id = kRecentFilesMenu;
    menu.title = "Open Recent";
    menu.items.clear();
    for (const std::string& title : RecentFileTitles(recentFiles)) menu.items.push_back(RecentItem(title, true));
    if (recentFiles.paths.empty()) menu.items.push_back(RecentItem("No Recent Files", false));
    menu.items.push_back(RecentItem("-", true));
    menu.items.push_back(RecentItem("Clear Menu", !recentFiles.paths.empty()));
}

void NoteRecentDocument(const std::string& path) {
    AddRecentFile(recentFiles, path);
    RecentFilesChanged();
}

void RecallRecentFiles() {
    LoadRecentFiles(recentFiles, RememberedSettings());
    BuildRecentFilesMenu();
}

void RecentFilesChanged() {
    SaveRecentFiles(recentFiles, RememberedSettings());
    BuildRecentFilesMenu();
}
