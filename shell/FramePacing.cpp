#include "shell/FramePacing.h"

#include <algorithm>
#include <cmath>

#include "core/Control.h"
#include "core/EventLoop.h"
#include "core/PushBudget.h"
#include "core/Records.h"
#include "io/MovieRecording.h"

FrameRateChoice frameRateChoice = FrameRateChoice::Display;
FramePacingStruct framePacing;

double UsableRefreshHz(double reported) {
    // Some drivers report 0 or a nonsense figure; no real display is outside this range.
    if (!(reported >= 20 && reported <= 1000)) return kFallbackRefreshHz;
    return reported;
}

double FrameIntervalSeconds(FrameRateChoice choice, double refreshHz, bool inBackground) {
    if (choice == FrameRateChoice::Unlimited) return 0;
    if (inBackground) return 1.0 / kBackgroundFramesPerSecond;
    return 1.0 / UsableRefreshHz(refreshHz);
}

void StartPacedFrame(FramePacingStruct& pacing, FrameRateChoice choice, double nowSeconds) {
    const double previous = pacing.lastFrameSeconds;
    pacing.lastFrameSeconds = nowSeconds;
    if (choice == FrameRateChoice::Unlimited) {
        pushBudget.pacedFrames = -1;
        return;
    }
    // The first frame, or a clock that went backwards, earns one frame's pushes.
    double elapsed = previous < 0 || !(nowSeconds >= previous) ? 1.0 / UsableRefreshHz(pacing.refreshHz)
                                                               : nowSeconds - previous;
    elapsed = std::min(elapsed, kLongestPacedGapSeconds);
    pushBudget.pacedFrames = elapsed * UsableRefreshHz(pacing.refreshHz);
    pushBudget.mostOwedFrames = kLongestPacedGapSeconds * UsableRefreshHz(pacing.refreshHz);
}

double SecondsUntilNextFrame(FramePacingStruct& pacing, FrameRateChoice choice, double nowSeconds) {
    const double interval = FrameIntervalSeconds(choice, pacing.refreshHz, pacing.inBackground || pacing.atRest);
    if (interval <= 0) {
        pacing.nextDueSeconds = -1;
        return 0;
    }
    if (pacing.nextDueSeconds < 0 || nowSeconds - pacing.nextDueSeconds > interval ||
        pacing.nextDueSeconds - nowSeconds > interval)
        pacing.nextDueSeconds = nowSeconds;  // late, just started, or the interval shrank: start afresh
    pacing.nextDueSeconds += interval;
    return std::max(0.0, pacing.nextDueSeconds - nowSeconds);
}

namespace {
void ReadView(double (&view)[kViewNumbers]) {
    int k = 0;
    for (double v : rt.eyePos) view[k++] = v;
    for (double v : rt.lookAt) view[k++] = v;
    for (const int32_t* axis : {rt.cameraIJK.i, rt.cameraIJK.j, rt.cameraIJK.k})
        for (int n = 0; n < 3; ++n) view[k++] = axis[n];
    view[k++] = rt.eyeDistance;
    view[k++] = rt.panI;
    view[k++] = rt.panJ;
    view[k++] = rt.focalLength;
}

// Whatever would turn or move the camera on the next frame.
bool CameraDriven() {
    // Rates and velocities halve every frame; below these they move nothing visible.
    const double tinyTurn = 1e-9, tinyMove = 1e-9 * std::fabs(rt.eyeDistance);
    if (std::fabs(rt.pitchRate) > tinyTurn || std::fabs(rt.yawRate) > tinyTurn) return true;
    if (std::fabs(rt.eyeDistanceVel) > tinyMove || std::fabs(rt.panIVel) > tinyMove ||
        std::fabs(rt.panJVel) > tinyMove)
        return true;
    if (set.autoRotation != 0 || wheelDeltaX != 0 || wheelDeltaY != 0) return true;
    for (int32_t flag = kMouseTrackControl; flag <= kKeypad7Control; ++flag)
        if (GetControl(flag)) return true;
    return false;
}
}  // namespace

bool NoteWhetherAtRest(FramePacingStruct& pacing) {
    double view[kViewNumbers];
    ReadView(view);
    bool same = true;
    for (int k = 0; k < kViewNumbers; ++k) same = same && view[k] == pacing.lastView[k];
    for (int k = 0; k < kViewNumbers; ++k) pacing.lastView[k] = view[k];
    pacing.atRest = same && GetControl(kPausedControl) && !GetControl(kShowFPSControl) && !IsRecordingMovie() &&
                    !CameraDriven();
    return pacing.atRest;
}
