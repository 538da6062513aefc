// Osculating two-body elements of one body about another: the conic the body would follow
// if only that body pulled on it, from their relative position and velocity now.
#pragma once
#include <cstdint>

#include "core/Records.h"

struct OrbitalElementsStruct {
    bool valid = false;        // false: no attractor, coincident bodies or no inverse-square law
    int32_t attractor = -1;    // index of the body the elements are about
    double mu = 0;             // G (m + M), m³/s²
    double semiMajorAxis = 0;  // m; negative for a hyperbola, infinite for a parabola
    double eccentricity = 0;
    double inclination = 0;    // radians, of the orbit's pole from +z (the ecliptic's)
    double periapsis = 0;      // periapsis distance from the attractor's centre, m
    double apoapsis = 0;       // m; infinite when the orbit is not closed
    double period = 0;         // s; infinite when the orbit is not closed
    double timeToPeriapsis = 0;  // s until the next periapsis; NaN when none lies ahead
    double excessSpeed = 0;    // m/s at infinity for an escape orbit, else 0
    bool escape = false;       // the body is not bound (e >= 1)
};

// Elements of a relative state r, v with gravitational parameter mu.
OrbitalElementsStruct ElementsFromState(const double r[3], const double v[3], double mu);

// Elements of list->body[index] about its dominant attractor, for the settings' law and G.
// Valid only under the inverse-square law, where the conic is the two-body motion.
OrbitalElementsStruct BodyElements(const BodyRTListStruct* list, int32_t index, const SettingsStruct& settings);
