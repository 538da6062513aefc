// --movie and --png-sequence: runs the frames one by one, drawing each with the
// real draw stage, and hands every frame to the movie recorder or a PNG file.
#pragma once
#include <cstdint>
#include <string>

#include "tools/gravitas-sim/RenderCommand.h"

struct MovieOptions {
    std::string moviePath;  // --movie FILE
    std::string pngDir;     // --png-sequence DIR
    int32_t framesPerSecond = 30;
    bool Wanted() const { return !moviePath.empty() || !pngDir.empty(); }
};

// When argv[a] is --movie or --png-sequence, takes it (and its value, advancing a)
// and returns true; ok tells whether the value was good.
bool ParseMovieOption(int argc, char** argv, int& a, MovieOptions& options, bool& ok);
// 0 on success, else an exit code with error filled in. Progress goes to stderr.
int RunMovieCommand(const MovieOptions& movie, const RenderOptions& render, int32_t frames, std::string& error);
