#include "sim/ReferenceFrame.h"

#include <cmath>

#include "sim/PairPass.h"

void RealignInertialReferenceFrame() {
    if (!rt.bodyRT) return;
    HLock(rt.bodyRT);
    BodyRTListStruct* l = BodyRTList();
    double M = 0, P[3] = {0, 0, 0}, Q[3] = {0, 0, 0};
    // Absorbed bodies live on in their survivors' mass and momentum; counting them again
    // would shift the frame. Every body moves, so absorbed ones keep their place relative
    // to the rest.
    for (int32_t i = l->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = l->body[i];
        if (!IsLiveBody(b)) continue;
        M += b.mass;
        for (int n = 0; n < 3; ++n) {
            P[n] += b.mass * b.pos[n];
            Q[n] += b.mass * b.vel[n];
        }
    }
    if (M != 0.0 && std::isfinite(M)) {  // no centre of mass to move to otherwise
        for (int32_t i = l->count - 1; i >= 0; --i)
            for (int n = 0; n < 3; ++n) {
                l->body[i].pos[n] -= P[n] / M;
                l->body[i].vel[n] -= Q[n] / M;
            }
    }
    HUnlock(rt.bodyRT);
}
