// The body a given body is "orbiting": the one whose pull on it is strongest, among the
// bodies at least as heavy as it. Orbital elements, relative speeds and flight read-outs
// are all taken about this body.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Index of the dominant attractor of list->body[index], or -1 when no live body at least
// as heavy as it pulls on it (the heaviest body, or a lone one). Pull is measured as
// m / r^(-p) for the run's power law p, so the choice follows the force law in use; bodies
// at the same place are skipped.
int32_t DominantAttractor(const BodyRTListStruct* list, int32_t index, double powerLaw);
