// Explicit Euler: drift with the old velocity, then kick with the start-of-push acceleration.
#include "sim/Integrators.h"
#include "sim/PairPass.h"

void EulerPush(BodyRTListStruct* list, const PushStep& step) {
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        for (int n = 0; n < 3; ++n) {
            b.pos[n] += step.dt * b.vel[n];
            b.vel[n] += step.dt * b.acc[n];
        }
    }
}
