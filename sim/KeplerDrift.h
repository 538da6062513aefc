// Exact two-body motion about a fixed centre of gravitational parameter mu, by universal
// variables (Danby 1988, ch. 6): one formulation for circles, ellipses of any eccentricity,
// parabolas and hyperbolas, forward and backward in time.
#pragma once

// Advances pos and vel (relative to the centre) by dt. Returns false, leaving them as they
// were, when the motion is undefined (a body on the centre) or did not come out finite.
bool KeplerDrift(double mu, double dt, double pos[3], double vel[3]);

// Stumpff functions c0..c3 of x (Danby 1988, 6.9), which the drift's G-functions are made of.
struct Stumpff {
    double c0, c1, c2, c3;
};
Stumpff StumpffFunctions(double x);
