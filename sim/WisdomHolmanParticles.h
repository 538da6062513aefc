// The massless bodies' share of a Wisdom–Holman push, a vector of bodies at a time. Each lane
// does the scalar arithmetic of one body in the same order, so a body's result does not
// depend on its neighbours, the slicing or the instruction set.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Records.h"

// What the massless bodies need from the massive bodies' push.
struct WisdomHolmanParticleStep {
    BodyRTListStruct* list;
    const int32_t* particles;  // list indices
    int32_t nMassive;          // non-central bodies with mass, 3 per body in qStart and qEnd
    const double* m;
    const double* qStart;  // their heliocentric positions at the first kick
    const double* qEnd;    // and at the second
    const double* hillSq;  // (close-encounter radius)² about each, at the start
    double g, mu, dt, nearCentreSq;
    double centreStart[3], centreEnd[3], vcm[3], jump1[3], jump2[3];
};

struct WisdomHolmanParticleTally {
    int32_t close = 0, nearCentre = 0;
};

// Kick, jump, Kepler drift, jump, kick for particles [first, last) of the step.
WisdomHolmanParticleTally PushWisdomHolmanParticles(const WisdomHolmanParticleStep& step, size_t first, size_t last);

// Drifts n bodies (3 per body in pos and vel) as KeplerDrift does each, bit for bit; drifted[k]
// is what KeplerDrift returned for body k, whose state is left as it was when false.
void KeplerDriftEach(double mu, double dt, size_t n, double* pos, double* vel, uint8_t* drifted);
