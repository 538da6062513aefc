#include "core/RecentFilesMenu.h"

#include <filesystem>
#include <system_error>

#include "core/Document.h"
#include "core/Menus.h"
#include "core/RecentFiles.h"
#include "platform/Platform.h"

namespace {

MenuItemModel RecentItem(const std::string& text, bool enabled) {
    MenuItemModel item;
    item.text = text;
    item.enabled = enabled;
    return item;
}

void ListChanged() {
    SaveRecentFiles(recentFiles, RememberedSettings());
    BuildRecentFilesMenu();
}

bool IsThere(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void TellFileIsGone(const std::string& path) {
    const std::filesystem::path p(path);
    Platform().CautionAlert("The file \u201c" + p.filename().string() + "\u201d is no longer in " +
                            p.parent_path().string() + ". It has been removed from Open Recent.");
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

void OpenRecentMenuItem(int16_t item) {
    const size_t count = recentFiles.paths.size();
    const MenuModel* menu = GetMenu(kRecentFilesMenu);
    if (menu && item == int16_t(menu->items.size())) {
        recentFiles.paths.clear();
        ListChanged();
        return;
    }
    if (item < 1 || size_t(item) > count) return;
    const std::string path = recentFiles.paths[size_t(item - 1)];
    if (!IsThere(path)) {
        RemoveRecentFile(recentFiles, path);
        ListChanged();
        TellFileIsGone(path);
        return;
    }
    OpenDocumentFile(path);
}

void NoteRecentDocument(const std::string& path) {
    AddRecentFile(recentFiles, path);
    ListChanged();
}

void RecallRecentFiles() {
    LoadRecentFiles(recentFiles, RememberedSettings());
    BuildRecentFilesMenu();
}
