#include "sim/DominantAttractor.h"

#include <cmath>

#include "sim/PairPass.h"

int32_t DominantAttractor(const BodyRTListStruct* list, int32_t index, double powerLaw) {
    if (!list || index < 0 || index >= list->count) return -1;
    const BodyRTStruct& me = list->body[index];
    int32_t best = -1;
    double bestPull = 0;
    for (int32_t j = 0; j < list->count; ++j) {
        const BodyRTStruct& o = list->body[j];
        if (j == index || !IsLiveBody(o) || !(o.mass > 0) || o.mass < me.mass) continue;
        double r2 = 0;
        for (int n = 0; n < 3; ++n) {
            double d = o.pos[n] - me.pos[n];
            r2 += d * d;
        }
        if (!(r2 > 0)) continue;
        // The acceleration's magnitude is G m r^p; G is common to every candidate.
        double pull = powerLaw == -2.0 ? o.mass / r2 : o.mass * std::exp(0.5 * powerLaw * std::log(r2));
        if (pull > bestPull) {
            bestPull = pull;
            best = j;
        }
    }
    return best;
}
