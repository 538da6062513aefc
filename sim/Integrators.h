// The integrators: each advances every live body over one push, after the start-of-push
// pair pass has filled `acc`, `potential` and the nearest neighbours. One file per method;
// a new method is one more file and one more line in IntegratorFor.
#pragma once
#include <cstdint>

#include "core/Records.h"

struct PushStep {
    double dt;          // timeStep
    int64_t pushCount;  // pushes done since the run-time state was built
};

using IntegratorPush = void (*)(BodyRTListStruct* list, const PushStep& step);

void SemiImplicitEulerPush(BodyRTListStruct* list, const PushStep& step);
void EulerPush(BodyRTListStruct* list, const PushStep& step);
void AdamsBashforthPush(BodyRTListStruct* list, const PushStep& step);
void AdamsMoultonPush(BodyRTListStruct* list, const PushStep& step);
void RungeKuttaPush(BodyRTListStruct* list, const PushStep& step);
// Adaptive: takes as many substeps as its error control asks and leaves their count
// in rt.substepsLastPush.
void GaussRadauPush(BodyRTListStruct* list, const PushStep& step);
// Symplectic map about the most massive body; other force laws and relativity push with
// Gauss–Radau instead (WisdomHolmanPush.h tells which and how sound the last push was).
void WisdomHolmanPush(BodyRTListStruct* list, const PushStep& step);

// The integrator for a `pushMethod` value; semi-implicit Euler for unknown values.
IntegratorPush IntegratorFor(int32_t pushMethod);

// lastPos = pos and lastVel = vel, done by every method before it moves a body.
inline void SaveLastState(BodyRTStruct& b) {
    for (int n = 0; n < 3; ++n) {
        b.lastVel[n] = b.vel[n];
        b.lastPos[n] = b.pos[n];
    }
}
