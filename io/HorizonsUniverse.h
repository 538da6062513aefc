// A universe made from imported Horizons vectors: the bodies as the tables give them,
// gravity from their GM, the epoch from the tables' first row.
#pragma once
#include <string>

#include "io/HorizonsVectors.h"

constexpr double kHorizonsGravConstant = 6.6743e-11;  // CODATA 2018, as the solar-system scenario

// Replaces the bodies, schedule and settings; false with a message when a body cannot be used.
// Notes names the bodies that came without GM or radius.
bool UseHorizonsImport(const HorizonsImport& import, std::string& error, std::string& notes);
// Reads the file and uses it; the error names the file.
bool ImportHorizonsFile(const std::string& path, std::string& error, std::string& notes);
