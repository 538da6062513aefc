// One star line of the Hipparcos/Tycho-derived text catalogue that Debian's
// kstars-data installs as /usr/share/kstars/stars.dat. Fixed columns:
// RA hhmmss.ss, Dec ±ddmmss.s, proper motions, parallax, V magnitude, B-V, spectral type.
#pragma once
#include <string>

struct CatalogueStar {
    double raHours = 0;
    double decDegrees = 0;
    double magnitude = 0;
    double bMinusV = 0;
    bool hasColour = false;
};

// False for comments and lines that do not hold a readable position and magnitude.
bool ParseKStarsLine(const std::string& line, CatalogueStar& star);
