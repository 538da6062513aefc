#include "sim/Integrators.h"

IntegratorPush IntegratorFor(int32_t pushMethod) {
    switch (pushMethod) {
        case kPushEuler: return EulerPush;
        case kPushAdamsBashforth: return AdamsBashforthPush;
        case kPushAdamsMoulton: return AdamsMoultonPush;
        case kPushRungeKutta: return RungeKuttaPush;
        case kPushGaussRadau: return GaussRadauPush;
        case kPushWisdomHolman: return WisdomHolmanPush;
        default: return SemiImplicitEulerPush;
    }
}
