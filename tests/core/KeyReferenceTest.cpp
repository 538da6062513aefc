// The keyboard and mouse reference agrees with the menu bar and reaches the platform.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/KeyReference.h"
#include "core/Menus.h"

namespace {

struct RecordingBackend : PlatformBackend {
    std::vector<KeyReferenceRow> shown;
    int calls = 0;
    void ShowKeyReference(const std::vector<KeyReferenceRow>& rows) override {
        shown = rows;
        ++calls;
    }
};

struct KeyReference : ::testing::Test {
    void SetUp() override { SetupMenus(); }
    void TearDown() override { DisposeMenus(); }
};

void CollectShortcuts(int16_t menuId, std::vector<std::pair<std::string, std::string>>& out) {
    const MenuModel* menu = GetMenu(menuId);
    if (!menu) return;
    for (const MenuItemModel& item : menu->items) {
        if (!item.shortcut.empty() && item.enabled) out.emplace_back(item.shortcut, item.text);
        if (item.submenu) CollectShortcuts(item.submenu, out);
    }
}

}  // namespace

TEST_F(KeyReference, EveryMenuShortcutIsListedOnceWithItsItem) {
    std::vector<std::pair<std::string, std::string>> shortcuts;
    for (int16_t id = kAppleMenu; id <= kHelpMenu; ++id) CollectShortcuts(id, shortcuts);
    ASSERT_GT(shortcuts.size(), 20u);
    std::map<std::string, std::string> listed;
    for (const KeyReferenceRow& row : KeyAndMouseReference())
        if (row.section == "Menu shortcuts") {
            EXPECT_TRUE(listed.emplace(row.input, row.action).second) << row.input << " is taken twice";
        }
    EXPECT_EQ(listed.size(), shortcuts.size());
    for (const auto& [keys, text] : shortcuts) {
        ASSERT_TRUE(listed.count(keys)) << keys << " (" << text << ") is missing";
        std::string name = text;
        if (name.ends_with("\u2026")) name.resize(name.size() - 3);
        EXPECT_NE(listed[keys].find(name), std::string::npos) << listed[keys];
    }
    EXPECT_EQ(listed["Ctrl+Z"], "Edit \u203a Undo");
    EXPECT_EQ(listed["F1"], "Help \u203a Keyboard and Mouse");
    EXPECT_EQ(listed.count("Ctrl+V"), 0u) << "Paste is never enabled";
}

TEST_F(KeyReference, KeysDragsAndTheWheelAreAllDescribed) {
    std::set<std::string> inputs;
    std::set<std::string> sections;
    for (const KeyReferenceRow& row : KeyAndMouseReference()) {
        EXPECT_FALSE(row.input.empty());
        EXPECT_FALSE(row.action.empty()) << row.input;
        inputs.insert(row.input);
        sections.insert(row.section);
    }
    for (const char* input :
         {"Space", "F", "Drag", "Ctrl + drag", "Alt + drag up / down", "Wheel forward / back", "Ctrl + wheel",
          "Shift + wheel", "Quick click", "Double-click", "Keypad 4 / 6", "\u2212 / + (or =)", "Page Up / Page Down",
          "Right-button drag up / down", "Middle-button drag", "Double-click a body", "Right-click (or Alt + click)"})
        EXPECT_TRUE(inputs.count(input)) << input;
    EXPECT_EQ(sections.size(), 5u);
}

TEST_F(KeyReference, TheHelpMenuShowsItThroughThePlatform) {
    RecordingBackend backend;
    SetPlatformBackend(&backend);
    HandleMenuEv(MenuChoice(kHelpMenu, 1));
    HandleMenuEv(MenuChoice(kHelpMenu, 2));  // no such item
    SetPlatformBackend(nullptr);
    EXPECT_EQ(backend.calls, 1);
    EXPECT_EQ(backend.shown.size(), KeyAndMouseReference().size());
}
