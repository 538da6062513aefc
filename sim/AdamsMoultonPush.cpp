// Adams–Bashforth prediction followed by one fourth-order Adams–Moulton correction.
#include "sim/Gravity.h"
#include "sim/Integrators.h"
#include "sim/Multistep.h"
#include "sim/PairPass.h"

void AdamsMoultonPush(BodyRTListStruct* list, const PushStep& step) {
    if (MultistepStartUpPush(list, step)) return;
    double h = step.dt / 24;
    int s = HistorySlot(step.pushCount);
    int s1 = HistorySlot(step.pushCount - 1), s2 = HistorySlot(step.pushCount - 2);
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        double vs[3], xs[3], as[3];
        PredictAdamsBashforth(b, step.pushCount, step.dt, vs, xs);
        CalcAcceleration(as, xs, list, i);
        double vc[3], xc[3];
        for (int n = 0; n < 3; ++n) {
            vc[n] = b.vel[n] + h * (9 * as[n] + 19 * b.acc[n] - 5 * b.accHistory[s1][n] + b.accHistory[s2][n]);
            xc[n] = b.pos[n] + h * (9 * vs[n] + 19 * b.vel[n] - 5 * b.velHistory[s1][n] + b.velHistory[s2][n]);
        }
        StoreHistory(b, s);
        for (int n = 0; n < 3; ++n) {
            b.vel[n] = vc[n];
            b.pos[n] = xc[n];
        }
    }
}
