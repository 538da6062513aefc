#include "core/Frame.h"

#include <cmath>

#include "core/Control.h"
#include "core/DefaultSettings.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "io/FileTypes.h"
#include "io/MovieRecording.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
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

int32_t DoTask(int32_t n) {
    if (olPos.v == 0 && olPos.h == 0) olPos = theEvent.where;
    int32_t done = 0;
    while (done < n) {
        ++rt.framesDrawn;
        ++done;
        EraseRenderBuffer();
        if (!GetControl(kPausedControl)) DoPushStage();
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
        DoDrawStage(renderCX, renderCY);
        DumpRectToWindow(renderGWRect);
        RecordMovieFrame();
        RedrawStatsWindow();
    }
    OrthonormalizeIJK(rt.cameraIJK);
    return done;
}

void DoWork() {
    framesPassed += DoTask(framesPerCall);
    if (!GetControl(kShowFPSControl)) return;
    uint32_t now = TickCount();
    if (lastTC == 0) {
        lastTC = now;
        framesPassed = 0;
        return;
    }
    bool complete = now > lastTC + 60;
    if (complete) lastFPS = int32_t(framesPassed * 600 / int32_t(now - lastTC));
    MainWindow().DrawTextInMainWindow(Rect{26, 2, 42, 200}, FrameRateText(lastFPS), RGBColor{65535, 65535, 65535});
    if (complete) {
        framesPassed = 0;
        lastTC = now;
    }
}
