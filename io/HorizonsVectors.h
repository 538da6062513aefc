// JPL Horizons VECTORS tables as its web and e-mail interfaces write them: a header
// naming the target, its physical data and the output units, then the rows between
// $$SOE and $$EOE, either labelled (X = … VZ=) or comma-separated. A file may hold
// several such outputs one after another, one body each.
#pragma once
#include <string>
#include <vector>

struct HorizonsBody {
    std::string name;
    double pos[3] = {};  // m, relative to the table's centre
    double vel[3] = {};  // m/s
    double gm = 0.0;     // m^3/s^2; 0 when the header gives none
    bool hasGM = false;
    double radius = 0.0;  // m; 0 when the header gives none
    double jdTdb = 0.0;   // epoch of the first row
};

struct HorizonsImport {
    std::vector<HorizonsBody> bodies;
    std::string centre;  // as the first header names it, empty when not named
    double jdTdb = 0.0;  // the common epoch of every table's first row
};

// False with "line N: …" (or a whole-file reason) when a row is damaged, a table is
// not closed, the units are not stated, or the tables do not share one epoch and centre.
bool ReadHorizonsVectors(const std::string& text, HorizonsImport& out, std::string& error);
