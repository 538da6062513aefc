// The statistics window's lines about motion that the user steers by: the selected
// body's speed about the body it orbits, and the craft's engine.
#pragma once
#include <cstdint>

// Draws from `baseline` down at x = `left`, 16 pixels a line; returns the baseline of
// the line after the last one drawn.
int32_t DrawMotionLines(int32_t baseline, int32_t left);
