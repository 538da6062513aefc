// File › New Solar System at Date…: the shipped J2000 Solar System carried to a date.
#pragma once
#include <string>

// Asks about unsaved changes and for the date, then integrates with a progress bar and
// Cancel; true when the new untitled universe is open.
bool SolarSystemAtDateMenuItem();
// The shipped J2000 universe, empty when it is not installed.
std::string SolarSystemUniversePath();
