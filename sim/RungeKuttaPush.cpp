// Classical fourth-order Runge–Kutta. All live bodies go through each stage together:
// every stage's accelerations come from one pair evaluation with all bodies at that
// stage's positions, so the method keeps its order for the whole system.
#include "sim/Integrators.h"
#include "sim/PairPass.h"
#include "sim/PushContext.h"
#include "sim/Relativity.h"
#include "sim/StageBuffer.h"

namespace {
thread_local StageBuffer stagePos, u1, u2, u3, a1, a2, a3;

inline Vec3 Axpy(const double* a, double h, const double* b) {
    return Vec3{a[0] + h * b[0], a[1] + h * b[1], a[2] + h * b[2]};
}
}  // namespace

void RungeKuttaPush(BodyRTListStruct* list, const PushStep& step) {
    const int32_t count = list->count;
    const double dt = step.dt, h = dt / 2;
    Vec3 *P = stagePos.For(count), *U1 = u1.For(count), *U2 = u2.For(count), *U3 = u3.For(count);
    Vec3 *A1 = a1.For(count), *A2 = a2.For(count), *A3 = a3.For(count);
    BodyRTStruct* body = list->body;

    // Absorbed bodies stay where they are; the pair evaluation ignores them.
    for (int32_t i = count - 1; i >= 0; --i) {
        BodyRTStruct& b = body[i];
        P[i] = Vec3{b.pos[0], b.pos[1], b.pos[2]};
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        U1[i] = Axpy(b.vel, h, b.acc);
        P[i] = Axpy(b.pos, h, b.vel);
    }
    const bool relativity = RelativityActive(PushSettings());
    StageAccelerations(list, P, A1);
    if (relativity) AddRelativisticAcceleration(list, PushSettings().gravConstant, P, U1, A1);
    for (int32_t i = count - 1; i >= 0; --i) {
        const BodyRTStruct& b = body[i];
        if (!IsLiveBody(b)) continue;
        U2[i] = Axpy(b.vel, h, A1[i].data());
        P[i] = Axpy(b.pos, h, U1[i].data());
    }
    StageAccelerations(list, P, A2);
    if (relativity) AddRelativisticAcceleration(list, PushSettings().gravConstant, P, U2, A2);
    for (int32_t i = count - 1; i >= 0; --i) {
        const BodyRTStruct& b = body[i];
        if (!IsLiveBody(b)) continue;
        U3[i] = Axpy(b.vel, dt, A2[i].data());
        P[i] = Axpy(b.pos, dt, U2[i].data());
    }
    StageAccelerations(list, P, A3);
    if (relativity) AddRelativisticAcceleration(list, PushSettings().gravConstant, P, U3, A3);
    for (int32_t i = count - 1; i >= 0; --i) {
        BodyRTStruct& b = body[i];
        if (!IsLiveBody(b)) continue;
        for (int n = 0; n < 3; ++n) {
            double v = b.vel[n] + (dt / 6) * (b.acc[n] + 2 * A1[i][n] + 2 * A2[i][n] + A3[i][n]);
            double x = b.pos[n] + (dt / 6) * (b.vel[n] + 2 * U1[i][n] + 2 * U2[i][n] + U3[i][n]);
            b.vel[n] = v;
            b.pos[n] = x;
        }
    }
}
