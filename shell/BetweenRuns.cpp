#include "shell/BetweenRuns.h"

#include "platform/Platform.h"
#include "shell/RecentFilesMenu.h"
#include "shell/ViewPreferences.h"
#include "shell/WindowPlaces.h"

void RecallBetweenRuns() {
    ViewPreferencesStruct prefs = PresentViewPreferences();
    LoadViewPreferences(prefs, RememberedSettings());
    ApplyViewPreferences(prefs);
    RecallRecentFiles();
    RestoreWindowPlaces(RememberedSettings());
}

void RememberAtQuit() { RememberWindowPlaces(RememberedSettings()); }
