// The statistics window: time, push count and the selected body's energies.
#pragma once

// Draws the whole content into the window's surface, then presents it.
void RedrawStatsWindow();
