// The statistics window's warning when the Wisdom–Holman map cannot be trusted: another
// integrator stands in for it, or close encounters spoil it.
#pragma once
#include <string>

// Fills the two lines and returns true when there is something to say (method 6 only).
bool WisdomHolmanNote(std::string& first, std::string& second);
