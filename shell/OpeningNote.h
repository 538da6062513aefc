// A line in the main window right after a universe opens: whether it runs, and how to see
// every body. It goes after a few seconds, when the run is paused or resumed, or when another
// note takes the window.
#pragma once
#include <string>

void ShowOpeningNote();
// Once per frame; another note (a collision) shown this frame replaces it.
void UpdateOpeningNote(bool anotherNoteShown);
// The text for a run that is paused or not.
std::string OpeningNoteText(bool paused);
