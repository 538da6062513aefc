// The settings every scenario starts from, shared by start-up and by scenarios
// read from text so that a field a scenario leaves out means the same everywhere.
#pragma once
#include "core/Records.h"

// Sets the physics, view and display defaults; other fields (and the handles) are left alone.
void SetDefaultSettings(SettingsStruct& s);
