// Adams–Bashforth prediction followed by one fourth-order Adams–Moulton correction. The
// corrector's acceleration is one pair evaluation with every body at its predicted position.
#include "sim/Integrators.h"
#include "sim/Multistep.h"
#include "sim/PairPass.h"
#include "sim/PushContext.h"
#include "sim/Relativity.h"
#include "sim/StageBuffer.h"

namespace {
thread_local StageBuffer predictedPos, predictedVel, predictedAcc;
}  // namespace

void AdamsMoultonPush(BodyRTListStruct* list, const PushStep& step) {
    if (MultistepStartUpPush(list, step)) return;
    const int32_t count = list->count;
    const double h = step.dt / 24;
    const int s = HistorySlot(step.pushCount);
    const int s1 = HistorySlot(step.pushCount - 1), s2 = HistorySlot(step.pushCount - 2);
    Vec3 *X = predictedPos.For(count), *V = predictedVel.For(count), *A = predictedAcc.For(count);
    BodyRTStruct* body = list->body;

    for (int32_t i = count - 1; i >= 0; --i) {
        const BodyRTStruct& b = body[i];
        X[i] = Vec3{b.pos[0], b.pos[1], b.pos[2]};
        if (IsLiveBody(b)) PredictAdamsBashforth(b, step.pushCount, step.dt, V[i].data(), X[i].data());
    }
    StageAccelerations(list, X, A);
    if (RelativityActive(PushSettings())) AddRelativisticAcceleration(list, PushSettings().gravConstant, X, V, A);
    for (int32_t i = count - 1; i >= 0; --i) {
        BodyRTStruct& b = body[i];
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        double vc[3], xc[3];
        for (int n = 0; n < 3; ++n) {
            vc[n] = b.vel[n] + h * (9 * A[i][n] + 19 * b.acc[n] - 5 * b.accHistory[s1][n] + b.accHistory[s2][n]);
            xc[n] = b.pos[n] + h * (9 * V[i][n] + 19 * b.vel[n] - 5 * b.velHistory[s1][n] + b.velHistory[s2][n]);
        }
        StoreHistory(b, s);
        for (int n = 0; n < 3; ++n) {
            b.vel[n] = vc[n];
            b.pos[n] = xc[n];
        }
    }
}
