#include "sim/Multistep.h"

#include "sim/PairPass.h"

namespace {
thread_local MultistepHistoryRun history;

constexpr int kEarlierPushesNeeded = 3;
}  // namespace

bool MultistepStartUpPush(BodyRTListStruct* list, const PushStep& step) {
    bool continues = history.recorded > 0 && step.pushCount == history.lastPush + 1 && step.dt == history.dt &&
                     list->count == history.bodyCount;
    if (!continues) history.recorded = 0;
    bool startUp = history.recorded < kEarlierPushesNeeded;
    history.lastPush = step.pushCount;
    history.dt = step.dt;
    history.bodyCount = list->count;
    if (history.recorded < kEarlierPushesNeeded) ++history.recorded;
    if (!startUp) return false;  // the multistep push stores its own history

    int s = HistorySlot(step.pushCount);
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        if (IsLiveBody(b)) StoreHistory(b, s);
    }
    RungeKuttaPush(list, step);
    return true;
}

void RestartMultistepHistory() { history.recorded = 0; }

MultistepHistoryRun& ThreadMultistepHistory() { return history; }

void PredictAdamsBashforth(const BodyRTStruct& b, int64_t pushCount, double dt, double vOut[3], double xOut[3]) {
    double h = dt / 24;
    int s1 = HistorySlot(pushCount - 1), s2 = HistorySlot(pushCount - 2), s3 = HistorySlot(pushCount - 3);
    for (int n = 0; n < 3; ++n) {
        vOut[n] = b.vel[n] + h * (55 * b.acc[n] - 59 * b.accHistory[s1][n] + 37 * b.accHistory[s2][n] -
                                  9 * b.accHistory[s3][n]);
        xOut[n] = b.pos[n] + h * (55 * b.vel[n] - 59 * b.velHistory[s1][n] + 37 * b.velHistory[s2][n] -
                                  9 * b.velHistory[s3][n]);
    }
}
