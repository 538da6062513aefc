// A universe made by a command rather than opened from a file (imported vectors, the
// Solar System on a date): a new untitled document with a view that frames it.
#pragma once

// Call after the bodies and settings were replaced: starts a fresh undo history,
// builds the run-time state, points the camera at the whole system and names the
// document "Untitled", with changes to save.
void PresentNewUniverse();
