// The body a given body is "orbiting": among the bodies at least as heavy as it, the one
// whose pull on it is strongest, unless it lies inside the Hill sphere of a lighter one
// (the Moon orbits the Earth though the Sun pulls it harder). Orbital elements, relative
// speeds and flight read-outs are all taken about this body.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Index of the dominant attractor of list->body[index], or -1 when no live body at least
// as heavy as it pulls on it (the heaviest body, or a lone one). Pull is measured as
// m r^p for the run's power law p, so the choice follows the force law in use; bodies at
// the same place are skipped. A Hill sphere's radius is d (m / 3M)^(1/3), d the body's
// distance from its own attractor of mass M. The answers are kept while the bodies' positions,
// masses and absorption and the law stay as they were, so asking about many bodies of one
// state costs little more than asking about one.
int32_t DominantAttractor(const BodyRTListStruct* list, int32_t index, double powerLaw);
