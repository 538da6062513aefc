#include "shell/KeyReference.h"

#include "core/MenuModel.h"

namespace {

const char* const kViewKeys = "Main window: keys";
const char* const kViewMouse = "Main window: mouse";
const char* const kObjectList = "Object list";
const char* const kFiles = "Files";
const char* const kMenuKeys = "Menu shortcuts";

// What the event handlers and the frame task do with keys, drags and the wheel.
const KeyReferenceRow kFixedRows[] = {
    {kViewKeys, "Space", "Run or pause the simulation"},
    {kViewKeys, "F", "Show or hide the frame rate"},
    {kViewKeys, "Right / Left arrow", "Fire the craft's engine along / against its velocity"},
    {kViewKeys, "Down / Up arrow", "Fire the craft's engine along / against its acceleration"},
    {kViewKeys, "Alt + arrow", "Fire the engine with ten times the force"},
    {kViewKeys, "Keypad 4 / 6", "Turn the view left / right"},
    {kViewKeys, "Keypad 8 / 2", "Tilt the view up / down"},
    {kViewKeys, "Keypad 7 / 9", "Pan the view left / right"},
    {kViewKeys, "Ctrl + keypad 2, 4, 6, 8", "Pan the view instead of turning it"},
    {kViewKeys, "Keypad \u2212 / +", "Move the eye closer / farther"},
    {kViewKeys, "\u2212 / + (or =)", "Move the eye closer / farther, as keypad \u2212 / +"},
    {kViewKeys, "Page Up / Page Down", "Move the eye closer / farther"},
    {kViewKeys, "Tapping a zoom key", "Moves the eye as one notch of the wheel does"},
    {kViewKeys, "Holding a key", "The longer it is held, the faster it acts"},
    {kViewMouse, "Drag", "Turn the view"},
    {kViewMouse, "Shift + move (or Caps Lock on)", "Turn the view without holding a button"},
    {kViewMouse, "Right-button drag up / down", "Move the eye farther / closer"},
    {kViewMouse, "Alt + drag up / down", "The same, where the window manager leaves Alt free"},
    {kViewMouse, "Middle-button drag", "Pan the view"},
    {kViewMouse, "Ctrl + drag", "Pan the view"},
    {kViewMouse, "Quick click", "Select the nearest body"},
    {kViewMouse, "Double-click a body", "Make the camera follow it (orbiting it if the camera orbited the origin)"},
    {kViewMouse, "Wheel forward / back", "Move the eye closer / farther (Alt + wheel alike)"},
    {kViewMouse, "Horizontal wheel", "Turn the view left / right"},
    {kViewMouse, "Shift + wheel", "Turn the view (vertical wheel tilts, horizontal wheel turns)"},
    {kViewMouse, "Ctrl + wheel", "Pan the view"},
    {kViewMouse, "Zooming in", "Stops just above the surface of the body the camera follows"},
    {kObjectList, "Click", "Select the body"},
    {kObjectList, "Right-click (or Alt + click)", "Make the camera follow the body"},
    {kObjectList, "Double-click", "Edit the body"},
    {kObjectList, "Click below the list", "Add a new body"},
    {kFiles, "Drop a .universe or .stars file", "Open it (on the main window)"},
    {kFiles, "Double-click one in the file manager", "Open it in Gravitas (once installed)"},
};

void AddMenuShortcuts(const MenuModel& menu, const std::string& path, std::vector<KeyReferenceRow>& rows) {
    for (const MenuItemModel& item : menu.items) {
        if (item.text == "-") continue;
        const std::string where = path + " \u203a " + WithoutEllipsis(item.text);
        // An item that is never enabled (Paste) has a shortcut that does nothing: not worth listing.
        if (!item.shortcut.empty() && item.enabled) rows.push_back({kMenuKeys, item.shortcut, where});
        if (item.submenu)
            if (const MenuModel* sub = GetMenu(item.submenu)) AddMenuShortcuts(*sub, where, rows);
    }
}

}  // namespace

std::vector<KeyReferenceRow> KeyAndMouseReference() {
    std::vector<KeyReferenceRow> rows(std::begin(kFixedRows), std::end(kFixedRows));
    for (int16_t id = kAppleMenu; id <= kHelpMenu; ++id)
        if (const MenuModel* menu = GetMenu(id)) AddMenuShortcuts(*menu, menu->title, rows);
    return rows;
}

void ShowKeyReferenceMenuItem() { Platform().ShowKeyReference(KeyAndMouseReference()); }
