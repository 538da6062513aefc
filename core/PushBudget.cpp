#include "core/PushBudget.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

PushBudgetStruct pushBudget;

namespace {
using Clock = std::chrono::steady_clock;
Clock::time_point stageStart;
int32_t nextCheck = 1;  // reading the clock on every push would cost more than a small push
constexpr int32_t kLongestCheckStride = 1024;
constexpr double kRateWindowSeconds = 1.0;
constexpr double kLongestGapSeconds = 0.5;
Clock::time_point rateStart, lastEnd;
bool rateStarted = false;

double SecondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }
}  // namespace

int32_t BeginPushes(int32_t pushesPerFrame) {
    const int64_t batch = std::max<int64_t>(pushesPerFrame, 1);
    if (pushBudget.pacedFrames >= 0) {
        // Pushes follow the clock, not the frames: batch x refresh periods elapsed.
        pushBudget.pushCredit += double(batch) * pushBudget.pacedFrames;
        pushBudget.pacedFrames = 0;  // a second push stage in the same frame earns nothing
        const double whole = std::floor(pushBudget.pushCredit);
        pushBudget.pushCredit -= whole;
        const double most = double(batch) * std::max(pushBudget.mostOwedFrames, 1.0);
        pushBudget.owed = int64_t(std::min(double(pushBudget.owed) + whole, most));
    } else if (pushBudget.owed <= 0 || pushBudget.owed > batch) {
        pushBudget.owed = batch;
    }
    stageStart = Clock::now();
    nextCheck = 1;
    return int32_t(std::min<int64_t>(pushBudget.owed, std::numeric_limits<int32_t>::max()));
}

bool PushTimeUp(int32_t done) {
    if (done < nextCheck) return false;
    // Checks at 1, 2, 4, ... pushes, then every kLongestCheckStride: a frame
    // overshoots its budget by at most the pushes since the last check.
    nextCheck = done < kLongestCheckStride ? done * 2 : done + kLongestCheckStride;
    return SecondsSince(stageStart) >= pushBudget.frameSeconds;
}

void EndPushes(int32_t run) {
    pushBudget.owed = std::max<int64_t>(pushBudget.owed - run, 0);
    // Pushes per second of wall time while running; a pause starts a new measurement.
    const Clock::time_point now = Clock::now();
    if (!rateStarted || std::chrono::duration<double>(now - lastEnd).count() > kLongestGapSeconds) {
        rateStart = now;
        rateStarted = true;
        pushBudget.countedPushes = 0;
    }
    lastEnd = now;
    pushBudget.countedPushes += run;
    pushBudget.countedSeconds = std::chrono::duration<double>(now - rateStart).count();
    if (pushBudget.countedSeconds >= kRateWindowSeconds) {
        pushBudget.pushesPerSecond = double(pushBudget.countedPushes) / pushBudget.countedSeconds;
        pushBudget.countedPushes = 0;
        rateStart = now;
    }
}

bool PushBatchDone() { return pushBudget.owed <= 0; }

void DropPushBatch() { pushBudget.owed = 0; }

double PushesPerSecond() { return pushBudget.pushesPerSecond; }
