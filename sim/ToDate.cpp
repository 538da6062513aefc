#include "sim/ToDate.h"

#include <algorithm>
#include <cmath>

#include "core/Epoch.h"
#include "core/Records.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/Gravity.h"

namespace {
// Pushes of about 100 days: Gauss–Radau picks its own substeps inside each and carries
// its step size from one to the next, so the length only sets how often progress is told.
constexpr double kPushDays = 100.0;

struct KeptSettings {
    SettingsStruct saved = set;
    ~KeptSettings() {
        set.timeStep = saved.timeStep;
        set.pushMethod = saved.pushMethod;
        set.physicsOptions = saved.physicsOptions;
    }
};
}  // namespace

ToDateResult CarryInitialConditionsTo(double target, ToDateProgress progress, void* context) {
    if (!epoch.known) return ToDateResult::kNoEpoch;
    if (!set.bodies || !std::isfinite(target)) return ToDateResult::kFailed;
    const double span = target - epoch.tdbSeconds;
    const int64_t pushes = std::max<int64_t>(1, int64_t(std::ceil(std::fabs(span) / (kPushDays * kSecondsPerDay))));
    KeptSettings kept;
    set.pushMethod = kPushGaussRadau;
    // Mercury's perihelion turns 43″ a century more than Newton says: over decades that is
    // a thousand kilometres, so the date is reached with the Sun's relativistic term on.
    set.physicsOptions = kRelativityOn;
    set.timeStep = span / double(pushes);
    TransferICsToRT();
    BodyRTListStruct* list = BodyRTList();
    if (!list) return ToDateResult::kFailed;
    if (span != 0.0) {
        for (int64_t k = 0; k < pushes; ++k) {
            ElementalPush(list);
            rt.pushCount += 1;
            rt.simTime += set.timeStep;
            const char* quantity = nullptr;
            if (FirstNonFiniteBody(list, quantity) >= 0) {
                TransferICsToRT();
                return ToDateResult::kFailed;
            }
            if (progress && !progress(context, double(k + 1) / double(pushes))) {
                TransferICsToRT();  // back to the start, untouched
                return ToDateResult::kCancelled;
            }
        }
    }
    SetICsToRT();
    epoch.tdbSeconds = target;  // the sum of the pushes may miss it by rounding
    TransferICsToRT();
    return ToDateResult::kDone;
}
