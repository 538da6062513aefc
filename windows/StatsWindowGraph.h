// The statistics window's bar graph of a body's energies per unit mass.
#pragma once
#include <cstdint>

#include "core/Records.h"

enum class ZeroLine : uint8_t { Top, Bottom, Middle };

struct EnergyGraph {
    double kinetic = 0, potential = 0, total = 0;
    ZeroLine zero = ZeroLine::Top;
    int32_t zeroY = 39;
    double pixelsPerUnit = 0;  // 0 when the energies give no scale
    // Bar spans (top < bottom; equal when empty), clamped to the graph.
    int32_t potentialTop = 39, potentialBottom = 39;
    int32_t totalTop = 39, totalBottom = 39;
};

constexpr int32_t kGraphTop = 39, kGraphBottom = 240, kGraphWidth = 28;

// The power of ten 10^-k with k = trunc(log10(q) + 1), for q > 0.
double EnergyScale(double q);
EnergyGraph LayOutEnergyGraph(double potential, double kinetic);
// Draws the framed graph with ticks, zero line and bars at left edge x0.
void DrawEnergyGraph(const EnergyGraph& graph, int32_t x0, const RGBColor& barColor);
