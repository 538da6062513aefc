// --histogram: the osculating semi-major axes of the test particles about the heaviest body
// after the run, counted in bins, as a CSV table and a PNG bar chart with the main mean-motion
// resonances with Jupiter marked.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

struct BeltHistogram {
    double lowAu = 0, highAu = 0;  // the bins span [lowAu, highAu)
    std::vector<int32_t> counts;
    int32_t particles = 0;  // live test particles
    int32_t outside = 0;    // of them unbound or outside the range
};

// lowAu >= highAu: the range of the bound particles' axes.
BeltHistogram CountSemiMajorAxes(const BodyRTListStruct* list, int32_t bins, double lowAu, double highAu);
std::string HistogramCsv(const BeltHistogram& h);
// Draws the chart into pixels (width x height, 0x00RRGGBB) with the platform's text.
void DrawHistogram(const BeltHistogram& h, double years, uint32_t* pixels, int32_t width, int32_t height);
// Writes path (the CSV) and the chart beside it with the extension .png; false with the reason.
bool WriteHistogramFiles(const std::string& path, int32_t bins, double lowAu, double highAu, std::string& error);
