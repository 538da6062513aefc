// Classical fourth-order Runge–Kutta.
#include "sim/Gravity.h"
#include "sim/Integrators.h"
#include "sim/PairPass.h"

namespace {
inline void Axpy(double* out, const double* a, double h, const double* b) {
    for (int n = 0; n < 3; ++n) out[n] = a[n] + h * b[n];
}
}  // namespace

void RungeKuttaPush(BodyRTListStruct* list, const PushStep& step) {
    double dt = step.dt, h = dt / 2;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        SaveLastState(b);
        double P0[3], U0[3], A0[3], P1[3], U1[3], A1[3], P2[3], U2[3], A2[3], P3[3], U3[3], A3[3];
        for (int n = 0; n < 3; ++n) { P0[n] = b.pos[n]; U0[n] = b.vel[n]; A0[n] = b.acc[n]; }
        Axpy(U1, U0, h, A0); Axpy(P1, P0, h, U0); CalcAcceleration(A1, P1, list, i);
        Axpy(U2, U0, h, A1); Axpy(P2, P0, h, U1); CalcAcceleration(A2, P2, list, i);
        Axpy(P3, P0, dt, U2); Axpy(U3, U0, dt, A2); CalcAcceleration(A3, P3, list, i);
        for (int n = 0; n < 3; ++n) {
            b.vel[n] = U0[n] + (dt / 6) * (A0[n] + 2 * A1[n] + 2 * A2[n] + A3[n]);
            b.pos[n] = P0[n] + (dt / 6) * (U0[n] + 2 * U1[n] + 2 * U2[n] + U3[n]);
        }
    }
}
