// What the application takes over from its last run and leaves for the next:
// view preferences, the recent files, the places of the windows.
#pragma once

// At start-up, once the windows and the default settings exist.
void RecallBetweenRuns();
// When the application quits (the recent list and the preferences are kept as they change).
void RememberAtQuit();
