// Fourth-order Adams–Bashforth: extrapolates velocity and acceleration from this push and
// the three before it.
#include "sim/Integrators.h"
#include "sim/Multistep.h"
#include "sim/PairPass.h"

void AdamsBashforthPush(BodyRTListStruct* list, const PushStep& step) {
    if (MultistepStartUpPush(list, step)) return;
    int s = HistorySlot(step.pushCount);
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        double v[3], x[3];
        PredictAdamsBashforth(b, step.pushCount, step.dt, v, x);
        StoreHistory(b, s);
        for (int n = 0; n < 3; ++n) {
            b.vel[n] = v[n];
            b.pos[n] = x[n];
        }
    }
}
