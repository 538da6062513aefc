#include "core/MenuModel.h"

std::map<int16_t, MenuModel> menuList;
MenuModel* mnu[8] = {};
MenuModel* PushMethodMenu = nullptr;
MenuModel* LabelsMenu = nullptr;
MenuModel* CameraModeMenu = nullptr;
MenuModel* OnCrashMenu = nullptr;
MenuModel* CameraSelectionMenuH = nullptr;

MenuModel* GetMenu(int16_t id) {
    auto it = menuList.find(id);
    return it == menuList.end() ? nullptr : &it->second;
}

MenuItemModel* GetMenuItem(int16_t menu, int16_t item) {
    MenuModel* m = GetMenu(menu);
    if (!m || item < 1 || item > int16_t(m->items.size())) return nullptr;
    return &m->items[size_t(item - 1)];
}

std::string WithoutEllipsis(std::string text) {
    const std::string ellipsis = "\u2026";
    if (text.ends_with(ellipsis)) text.resize(text.size() - ellipsis.size());
    return text;
}
