// Finds and loads the movie codec module on first use: beside the executable, or in
// lib/gravitas (the installed layout, and the build tree's) up to two folders above it.
// GRAVITAS_MOVIE_MODULE names the file outright.
#pragma once
#include <string>

#include "io/MovieCodecModule.h"

// The module's table, or null with a message for the user. Loaded once per process.
const MovieCodecModule* MovieCodecModuleOrError(std::string& error);
