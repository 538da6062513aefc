// Camera step, viewing set-up and the projection.
#pragma once
#include <cstdint>

#include "core/Records.h"

void DoCameraWork();
void SetRunTimeViewingVariables();

// Camera mode codes (menu items 1..11).
int32_t CameraModeForMenuItem(int32_t item);

// Projection through the current camera, as every plotter uses it.
struct Projected {
    double rel[3];
    double depth;  // rel . k (65536 x true depth); in front only when < 0
    double f;      // focalLength / depth
    int32_t sx, sy;
};
bool ProjectPoint(const double p[3], int32_t cx, int32_t cy, Projected& out);  // false when not in front
uint32_t ApparentDiameter(double radius, double f);
