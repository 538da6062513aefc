// Placeholder until the inspection windows land.
#include "windows/StatsWindow.h"

void RedrawStatsWindow() {}
