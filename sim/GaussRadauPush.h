// Push method 5: every live body advanced over one push by the adaptive Gauss–Radau
// integrator, which keeps its coefficients from push to push.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Advances every live body by `dt` (after the start-of-push pair pass filled `acc`)
// and leaves the substeps it took in rt.substepsLastPush.
void GaussRadauPush(BodyRTListStruct* list, double dt);

// Releases the integrator's memory (it is rebuilt by the next push that needs it).
void DisposeGaussRadauPush();
