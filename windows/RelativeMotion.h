// A body's motion as the user thinks of it: about the body it orbits (its dominant
// attractor), not about the centre of mass of the whole system.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

struct RelativeMotion {
    int32_t attractor = -1;  // -1: about the centre of mass (the heaviest body, a lone one)
    double speed = 0.0;      // m/s
    double distance = 0.0;   // m
};
RelativeMotion MotionAboutAttractor(const BodyRTListStruct* list, int32_t index);
// "rel. Sun", or "rel. barycentre" (the centre of mass), appended to `out` (no allocation once it has room).
void AppendRelativeTo(std::string& out, const BodyRTListStruct* list, int32_t attractor);
