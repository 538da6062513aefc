// The statistics window.
#pragma once

void RedrawStatsWindow();
