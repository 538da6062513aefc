// The state over time as CSV: one row per body per frame, SI units, a header row,
// so a run can be plotted with pandas, R or gnuplot.
#pragma once
#include <string>

#include "core/Records.h"

std::string StateCsvHeader();  // "time,name,x,y,z,vx,vy,vz\n"
// Appends one row per body of the list at `time` seconds; numbers round-trip exactly.
void AppendStateCsvRows(std::string& out, const BodyRTListStruct* list, double time);
