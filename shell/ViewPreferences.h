// How the user likes to look at a scenario, remembered between runs: labels,
// smallest body size, star field, trails, stereo, the stereo glasses and the frame rate.
// They start every run; a universe file opened later shows itself as it was saved.
#pragma once
#include <cstdint>

#include "render/StereoGlasses.h"
#include "shell/FramePacing.h"

class SettingsStore;

struct ViewPreferencesStruct {
    uint32_t labelFlags = 0;
    int32_t minPointSize = 2;
    bool starField = true;
    int32_t trailLength = 0;
    bool stereo = false;
    int32_t eyeRadius = 15;
    StereoGlasses glasses = StereoGlasses::RedLeft;
    FrameRateChoice frameRate = FrameRateChoice::Display;
};

ViewPreferencesStruct PresentViewPreferences();  // from the settings in use
void ApplyViewPreferences(const ViewPreferencesStruct& prefs);

void SaveViewPreferences(const ViewPreferencesStruct& prefs, SettingsStore& store);
// Only what a command changed: the rest of the view may be a file's, not the user's choice.
void SaveChangedViewPreferences(const ViewPreferencesStruct& before, const ViewPreferencesStruct& after,
                                SettingsStore& store);
// Each value is read on its own; one that is missing, unreadable or out of
// range leaves the given value as it is.
void LoadViewPreferences(ViewPreferencesStruct& prefs, SettingsStore& store);

// Whether the menu choice changes one of the preferences.
bool ChangesViewPreferences(int32_t choice);
