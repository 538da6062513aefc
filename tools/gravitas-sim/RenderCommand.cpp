// --render: one frame of the real draw stage (stars included) into a PNG.
#include "tools/gravitas-sim/RenderCommand.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <memory>

#include "core/Frame.h"
#include "core/Records.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "platform/Platform.h"
#include "platform/qt/QtBackend.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {

class FixedSizeWindow : public MainWindowServices {
public:
    FixedSizeWindow(int32_t w, int32_t h) : width_(w), height_(h) {}
    void MainWindowContentSize(int32_t& w, int32_t& h) override { w = width_, h = height_; }

private:
    int32_t width_, height_;
};

Handle ReadFileHandle(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return kNoHandle;
    const QByteArray bytes = file.readAll();
    Handle h = NewHandle(size_t(bytes.size()));
    if (h) std::memcpy(HandlePtr(h), bytes.constData(), size_t(bytes.size()));
    return h;
}

// Attaches the scenario's picture files to the bodies without restarting the simulation.
void AttachScenarioPictures() {
    BodyListStruct* list = BodyList();
    BodyRTListStruct* bodies = BodyRTList();
    if (!list || !bodies) return;
    const ScenarioPictures& pictures = CurrentScenarioPictures();
    for (int32_t i = 0; i < list->count && i < bodies->count; ++i) {
        BodyInfoStruct& info = list->body[i];
        BodyRTStruct& body = bodies->body[i];
        if (size_t(i) < pictures.surface.size() && !pictures.surface[i].empty() && info.spherePixID == 0) {
            if (Handle pict = ReadFileHandle(pictures.surface[i])) {
                info.spherePixID = AddPICTToSpherePixList(rt.spherePixList, pict);
                if (!info.spherePixID) DisposeHandle(pict);
            }
        }
        body.spherePix = GetPointerToSpherePix(rt.spherePixList, info.spherePixID);
        if (size_t(i) < pictures.ring.size() && !pictures.ring[i].empty() && !info.ringPix) {
            if (Handle pict = ReadFileHandle(pictures.ring[i])) {
                info.ringPix = NewRingPixMapFromPICT(pict);
                DisposeHandle(pict);
            }
        }
        if (info.ringPix && info.ringRatio > 1.0) {
            body.ringPix = RingPixPtrFromHandle(info.ringPix);
            body.ringRadius = info.ringRatio * info.radius;
        }
    }
}

// A viewing distance that shows the whole system, or the followed body closely.
double FramingDistance() {
    BodyRTListStruct* bodies = BodyRTList();
    if (!bodies || bodies->count == 0) return 4.0e7;
    const int32_t sel = set.cameraSelection;
    if (set.cameraMode != 0 && sel >= 0 && sel < bodies->count) return 12.0 * bodies->body[sel].radius;
    double extent = 0;
    for (int32_t i = 0; i < bodies->count; ++i) {
        const double* p = bodies->body[i].pos;
        extent = std::max(extent, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]) + bodies->body[i].radius);
    }
    return extent > 0 ? 2.5 * extent : 4.0e7;
}

}  // namespace

int RunRenderCommand(const RenderOptions& options, std::string& error) {
    if (options.width > 8192 || options.height > 8192) {
        error = "render size is limited to 8192 x 8192 pixels";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "gravitas-sim";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
    static QtBackend backend;
    FixedSizeWindow window(options.width, options.height);
    SetPlatformBackend(&backend);
    SetMainWindowServices(&window);

    // Start-up resets the settings to their defaults; the scenario's settings win.
    const SettingsStruct scenario = set;
    const Handle bodyRT = rt.bodyRT;
    const int64_t pushCount = rt.pushCount;
    const double simTime = rt.simTime;
    const RTList trails = rt.trailList;
    InitializeAll();
    set = scenario;
    rt.bodyRT = bodyRT, rt.pushCount = pushCount, rt.simTime = simTime, rt.trailList = trails;
    if (options.cameraMode >= 0) set.cameraMode = options.cameraMode;
    if (options.cameraBody >= 0) set.cameraSelection = options.cameraBody;
    if (options.labelFlags >= 0) set.labelFlags = uint32_t(options.labelFlags);
    if (options.stereo) set.displayFlags |= kStereoOnFlag;
    if (options.noStars) set.displayFlags |= kStarFieldOffFlag;
    if (set.eyeRadius == 0) set.eyeRadius = 15;
    SetRunTimeViewingVariables();
    AttachScenarioPictures();

    // Look at the system from above the ecliptic, then let the camera settle.
    BuildBodyAxes(rt.cameraIJK, 0.35 * M_PI, 0.5 * M_PI, 0.0);
    rt.eyeDistance = FramingDistance();
    for (int step = 0; step < 60; ++step) DoCameraWork();

    if (!bAddrGWPM) {
        error = "no memory for a render buffer of that size";
        return 2;
    }
    EraseRenderBuffer();
    if (!(set.displayFlags & kStarFieldOffFlag)) {
        IJK relative;
        RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
        DrawStars(renderGWRect, relative, rt.starListH, rt.focalLength, renderCX, renderCY);
    }
    DoDrawStage(renderCX, renderCY);

    const PixelSurface surface = RenderSurface();
    QImage image(reinterpret_cast<const uchar*>(surface.base), surface.width, surface.height, surface.rowBytes,
                 QImage::Format_RGB32);
    if (!image.save(QString::fromStdString(options.outPath), "PNG")) {
        error = "cannot write " + options.outPath;
        return 2;
    }
    SetMainWindowServices(nullptr);
    SetPlatformBackend(nullptr);
    return 0;
}
