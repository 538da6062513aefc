#include "core/Frame.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Control.h"
#include "core/DefaultSettings.h"
#include "core/Dialogs.h"
#include "core/PushBudget.h"
#include "core/Units.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "io/FileTypes.h"
#include "io/MovieRecording.h"
#include "platform/DialogKeys.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"
#include "shell/Document.h"
#include "shell/FlightPrediction.h"
#include "shell/OpeningNote.h"
#include "sim/Bodies.h"
#include "sim/ContactMemory.h"
#include "sim/FiniteGuard.h"
#include "sim/Gravity.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "windows/ObjectWindow.h"
#include "windows/StatsWindow.h"

EventRecord theEvent{};
int32_t lastFPS = 0;
int32_t framesPassed = 0;
uint32_t lastTC = 0;
int32_t framesPerCall = 1;
Point olPos{0, 0};
int32_t wheelDeltaX = 0;
int32_t wheelDeltaY = 0;

std::string FrameRateText(int32_t tenths) {
    std::string digits = std::to_string(tenths);
    char last = digits.back();
    digits.pop_back();
    return digits + "." + last + " fps";
}

int32_t DecayWheelDelta(int32_t delta) { return (delta == -1 || delta == 0) ? 0 : (delta >> 1); }

void InitializeAll() {
    rt.pitchRate = rt.yawRate = 0;
    rt.scratchHandle = 0;
    rt.scratchPtr = nullptr;
    rt.scratchSize = 0;
    for (uint32_t& w : rt.controlFlags) w = 0;
    rt.framesDrawn = 0;
    SetDialogKeyFilter(MyDefaultDialogFiltProc);
    SetupWindows(0);
    AllocObjectWindowInfo();
    rt.spherePixList = NewSpherePixList();
    SetDefaultSettings(set);
    rt.cyanEyeColor = RGBColor{0, 65535, 65535};
    rt.redEyeColor = RGBColor{65535, 0, 0};
    SetRunTimeViewingVariables();
    rt.eyeDistanceVel = rt.panIVel = rt.panJVel = rt.panI = rt.panJ = 0;
    rt.eyeDistance = 4.0e7;
    rt.eyePos[0] = 4.0e7;
    rt.eyePos[1] = rt.eyePos[2] = 0;
    rt.lookAt[0] = rt.lookAt[1] = rt.lookAt[2] = 0;
    for (int n = 0; n < 256; ++n) {
        rt.sphereSqrtTable[n] = uint16_t(16.0 * std::sqrt(double(n)));
        rt.sphereInvSqrtTable[n] = n == 0 ? 4096 : uint16_t(4096.0 / std::sqrt(double(n)));
    }
    rt.cameraIJK = IJK{{0, kFixedOne, 0}, {0, 0, kFixedOne}, {kFixedOne, 0, 0}};
    std::string starFile;
    if (SearchForFileWithType(kStarDataFileType, starFile)) {
        rt.starListH = GetStarListFromFS(starFile);
    } else {
        rt.starListH = NewStarListHandle();
        FillWithStars(rt.starListH, 3000, nullptr);
    }
    MoveHHiStarListHandle(rt.starListH);
    StarListHandleLocking(rt.starListH, 1);
    InitializeSoundStuff();
}

void DisposeAll() {
    StopMovieRecording();  // a movie still recording is completed, not lost
    DisposeSoundStuff();
    StopFlightPrediction();
    DisposeScratchSpace();
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = 0;
    DisposeRTList(rt.trailList);
    DeallocateAllPushMemory();
    DisposeSpherePixList(rt.spherePixList);
    rt.spherePixList = 0;
    StarListHandleLocking(rt.starListH, 0);
    DisposeStarListHandle(rt.starListH);
    rt.starListH = 0;
    DisposeMyRenderGW();
    DisposeObjectWindowInfo();
}

namespace {
void KeyImpulses() {
    double K = rt.keyRepeatFactor, D = rt.eyeDistance;
    bool cmd = GetControl(kCommandKeyControl);
    double pan = 0.005 * D * K, turn = K * M_PI / 720;
    if (GetControl(kKeypad6Control)) (cmd ? rt.panIVel -= pan : rt.yawRate -= turn);
    if (GetControl(kKeypad4Control)) (cmd ? rt.panIVel += pan : rt.yawRate += turn);
    if (GetControl(kKeypad8Control)) (cmd ? rt.panJVel -= pan : rt.pitchRate += turn);
    if (GetControl(kKeypad2Control)) (cmd ? rt.panJVel += pan : rt.pitchRate -= turn);
    if (GetControl(kKeypadMinusControl)) rt.eyeDistanceVel -= pan;
    if (GetControl(kKeypadPlusControl)) rt.eyeDistanceVel += pan;
    if (GetControl(kKeypad9Control)) rt.panIVel -= pan;
    if (GetControl(kKeypad7Control)) rt.panIVel += pan;
}

void MouseAndWheel(Point mouse) {
    if (!GetControl(kMouseTrackControl) && wheelDeltaX == 0 && wheelDeltaY == 0) return;
    double D = rt.eyeDistance;
    int32_t dh = (olPos.h - mouse.h) + wheelDeltaX;
    if (GetControl(kCommandKeyControl)) {
        rt.panIVel += dh * 0.002 * D;
        rt.panJVel += ((mouse.v - olPos.v) - wheelDeltaY) * 0.002 * D;
    } else {
        int32_t dv = (olPos.v - mouse.v) + wheelDeltaY;
        if (GetControl(kOptionKeyControl)) rt.eyeDistanceVel += dv * 0.004 * D;
        else rt.pitchRate += dv * M_PI / 512;
        rt.yawRate += dh * M_PI / 512;
    }
    wheelDeltaX = DecayWheelDelta(wheelDeltaX);
    wheelDeltaY = DecayWheelDelta(wheelDeltaY);
}
}  // namespace

namespace {
// While paused the push stage does not run, yet the view must show the state a
// Reset, Open, add or delete has just made: build it from the initial
// conditions and evaluate its accelerations and potentials without moving it.
void ShowFreshStateWhilePaused() {
    if (!rt.bodyRT && set.bodies) TransferICsToRT();
    if (!rt.bodyRT || rt.pushCount != 0) return;
    // The draw stage walks the trail list's slots for the bodies too: it must exist, as after a push.
    if (set.trailLength != 0 && set.trailLength > GetRTListAlloc(rt.trailList))
        set.trailLength = ResizeTrailRTList(rt.trailList, TrailedBodyCount(BodyRTList()), set.trailLength);
    if (!rt.bodyRT) return;
    HLock(rt.bodyRT);
    GravityPairPass(BodyRTList());
    HUnlock(rt.bodyRT);
}

// A collision, or a state no longer finite, that stopped the run is told in the main
// window until the run goes on.
std::string collisionNote;

void UpdateCollisionNote() {
    CollisionStopNote note;
    NonFiniteStopNote broken;
    if (TakeNonFiniteStopNote(broken)) {
        collisionNote = NonFiniteStopText(broken);
        MainWindow().ShowNoteInMainWindow(collisionNote);
    } else if (TakeCollisionStopNote(note)) {
        collisionNote = CollisionStopText(note);
        MainWindow().ShowNoteInMainWindow(collisionNote);
    } else if (!collisionNote.empty() && !GetControl(kPausedControl)) {
        collisionNote.clear();
        MainWindow().ShowNoteInMainWindow(collisionNote);
    }
    UpdateOpeningNote(!collisionNote.empty());
}
}  // namespace

int32_t DoTask(int32_t n) {
    if (olPos.v == 0 && olPos.h == 0) olPos = theEvent.where;
    int32_t done = 0;
    while (done < n) {
        ++rt.framesDrawn;
        ++done;
        EraseRenderBuffer();
        if (!GetControl(kPausedControl)) DoPushStage();
        else ShowFreshStateWhilePaused();
        UpdateCollisionNote();
        UpdateFlightPrediction();
        RotateIJKAboutZ(rt.cameraIJK, set.autoRotation);
        Point mouse = theEvent.where;
        KeyImpulses();
        MouseAndWheel(mouse);
        olPos = mouse;
        DoCameraWork();
        if (!(set.displayFlags & kStarFieldOffFlag)) {
            IJK rel;
            RelativeIJK(&rel, &rt.cameraIJK, &rt.starIJK);
            DrawStars(renderGWRect, rel, rt.starListH, rt.focalLength, renderCX, renderCY);
        }
        DrawFlightPredictionPath(renderCX, renderCY);
        DoDrawStage(renderCX, renderCY);
        DrawFlightPredictionMarks(renderCX, renderCY);
        DumpRectToWindow(renderGWRect);
        RecordMovieFrame();
        RedrawStatsWindow();
        RefreshObjectWindowDuringRun();
    }
    OrthonormalizeIJK(rt.cameraIJK);
    return done;
}

int32_t FramesPerTenSeconds(int32_t frames, uint32_t ticks) {
    if (ticks == 0) return 0;
    // 64-bit: frames * 600 leaves 32 bits after some 3.6 million frames.
    const int64_t tenths = int64_t(frames) * 600 / int64_t(ticks);
    return int32_t(std::min<int64_t>(tenths, std::numeric_limits<int32_t>::max()));
}

void DoWork() {
    const int32_t ran = DoTask(framesPerCall);
    RefreshDocumentTitle();
    // Counted only while shown: switched off, the count would grow for ever.
    if (!GetControl(kShowFPSControl)) {
        lastTC = 0;
        return;
    }
    framesPassed = framesPassed > std::numeric_limits<int32_t>::max() - ran ? framesPassed : framesPassed + ran;
    uint32_t now = TickCount();
    if (lastTC == 0) {
        lastTC = now;
        framesPassed = 0;
        return;
    }
    // Unsigned difference: right also when the tick counter wraps.
    bool complete = now - lastTC > 60;
    if (complete) lastFPS = FramesPerTenSeconds(framesPassed, now - lastTC);
    MainWindow().DrawTextInMainWindow(Rect{26, 2, 42, 200}, FrameRateText(lastFPS), RGBColor{65535, 65535, 65535});
    if (complete) {
        framesPassed = 0;
        lastTC = now;
    }
}
