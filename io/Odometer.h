// Total running time of the program over all its runs.
#pragma once
#include <cstdint>
#include <string>

extern uint32_t startTime;

std::string GetOdometerPath();  // empty when unavailable
uint32_t ReadOdometer();
uint32_t WriteOdometer(uint32_t seconds);
void UpdateRunTime();
uint32_t GetTotalTime();
std::string GetTotalTimeString();
std::string TotalTimeText(uint32_t total);  // the display text for a total
