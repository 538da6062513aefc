// Saving and opening universe files (the whole scenario).
#pragma once
#include <string>

// Both report failures to the user (beep or alert); true when the file was written or loaded.
bool SaveAllSettingsTo(const std::string& path, bool embedPictures);
bool LoadAllSettingsFrom(const std::string& path);
