#include "sim/Gravity.h"

#include <cmath>

#include "render/IJK.h"
#include "sim/ForceLaw.h"
#include "sim/Integrators.h"
#include "sim/PushContext.h"
#include "sim/Relativity.h"

void CalcAcceleration(double out[3], const double point[3], const BodyRTListStruct* list, int32_t skip) {
    double a0 = 0, a1 = 0, a2 = 0;
    if (list) {
        ForceLaw law(true);
        for (int32_t j = list->count - 1; j >= 0; --j) {
            const BodyRTStruct& b = list->body[j];
            if (j == skip || !IsLiveBody(b)) continue;
            double d0 = b.pos[0] - point[0], d1 = b.pos[1] - point[1], d2 = b.pos[2] - point[2];
            double r2 = d0 * d0 + d1 * d1 + d2 * d2;
            if (r2 == 0.0) continue;  // undefined direction: the point sits on the body
            double f = law.AccFactor(r2) * b.mass;
            a0 += f * d0;
            a1 += f * d1;
            a2 += f * d2;
        }
    }
    out[0] = a0;
    out[1] = a1;
    out[2] = a2;
}

int32_t ElementalPush(BodyRTListStruct* list) {
    if (!list) return 0;
    GravityPairPass(list);
    const SettingsStruct& s = PushSettings();
    if (RelativityActive(s)) AddRelativisticAccelerationInPlace(list, s.gravConstant);
    double dt = s.timeStep;
    IntegratorFor(s.pushMethod)(list, PushStep{dt, *PushContext().pushCount});
    for (int32_t i = list->count - 1; i >= 0; --i) {
        double turn = dt * list->body[i].spinRate;
        // A NaN turn would wreck the frame; a turn of 0 leaves the axes as they are (most
        // particles of a belt do not spin), without the sine and cosine.
        if (turn != 0.0 && std::isfinite(turn)) RotateIJKAboutK(list->body[i].axes, turn);
    }
    return 0;
}
