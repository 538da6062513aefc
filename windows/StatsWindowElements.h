// The statistics window's orbit section: the selected body's osculating elements about
// its dominant attractor.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"
#include "sim/OrbitalElements.h"

constexpr int32_t kElementLines = 8;
// The section's lines for body `index` (empty when it orbits nothing); returns the count.
int32_t ComposeElementLines(const BodyRTListStruct* list, int32_t index, const SettingsStruct& settings,
                            std::string (&lines)[kElementLines]);
// Draws them from `baseline` on, 15 pixels apart, at the window's text column.
void DrawOrbitalElementsLines(int32_t baseline);
