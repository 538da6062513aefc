// Belts and rings of test particles: massless bodies on Keplerian orbits about one body,
// in its equatorial plane (the plane of its axes' i and j vectors).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

struct BeltRequest {
    int32_t count = 1000;
    int32_t primary = 0;        // 0-based index in the body list
    double minSemiMajorAxis = 0;  // metres
    double maxSemiMajorAxis = 0;
    double maxEccentricity = 0;
    double maxInclination = 0;  // radians from the primary's equator
    uint32_t seed = 1;
};

// Empty when the body list and the settings can take the belt, else the reason, naming the field.
std::string BeltProblem(const BeltRequest& r);

// The particles, relative to the primary (their parent), the same for the same request: semi-major
// axis, eccentricity and inclination uniform in their ranges, the angles uniform in a turn.
std::vector<BodyInfoStruct> MakeBelt(const BeltRequest& r);

// Checks and appends a belt to the body list in one step; false with the reason in `error`.
bool AddBelt(const BeltRequest& r, std::string& error);
