#include <cmath>
#include <cstdlib>

#include "sim/ForceLaw.h"
#include "sim/PairKernel.h"

PairLaw MakePairLaw(const ForceLaw& fl) {
    PairLaw law{fl.g, fl.accExp, fl.logPotential ? fl.g * 0.5 : 1.0 / fl.potDiv, fl.inverseSquare, fl.logPotential};
    const double quarters = fl.accExp * 4;
    if (fl.fastPaths && !fl.inverseSquare && quarters == std::nearbyint(quarters) &&
        std::fabs(quarters) <= kMaxPairLawQuarters) {
        law.quarterPower = true;
        law.accQuarters = int32_t(quarters);
    }
    return law;
}
