#include "core/BetweenRuns.h"

#include "core/RecentFilesMenu.h"
#include "core/ViewPreferences.h"
#include "core/WindowPlaces.h"
#include "platform/Platform.h"

void RecallBetweenRuns() {
    ViewPreferencesStruct prefs = PresentViewPreferences();
    LoadViewPreferences(prefs, RememberedSettings());
    ApplyViewPreferences(prefs);
    RecallRecentFiles();
    RestoreWindowPlaces(RememberedSettings());
}

void RememberAtQuit() { RememberWindowPlaces(RememberedSettings()); }
