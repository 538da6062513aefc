// Where the user left the main window and the side windows, remembered
// between runs and put back only where the present screens can show it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

class SettingsStore;

// A window's content area in global coordinates.
struct WindowPlaceStruct {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

// "left top width height"; false (place untouched) for anything else.
bool ParseWindowPlace(const std::string& text, WindowPlaceStruct& place);
std::string WindowPlaceText(const WindowPlaceStruct& place);

// Whether a present screen shows the window: one screen holds its whole size,
// its top edge (where the title bar hangs) lies on that screen, and enough of
// it to grab is visible there.
bool IsWindowPlaceOnScreens(const WindowPlaceStruct& place, const std::vector<Rect>& screens);

// At quit: the places of the three windows. Nothing is written for a window
// without a size, nor for the main window in the full-screen layout.
void RememberWindowPlaces(SettingsStore& store);
// At start-up, after the default layout: each window whose remembered place
// the present screens show goes back there; the others stay where they are.
// The statistics window keeps its size, the object window its width.
void RestoreWindowPlaces(SettingsStore& store);
