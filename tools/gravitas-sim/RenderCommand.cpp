// The tool's platform (Qt offscreen) and --render: one frame of the real draw stage into a PNG.
#include "tools/gravitas-sim/RenderCommand.h"

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>

#include "core/Frame.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "core/TextBytes.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "io/FileAccess.h"
#include "io/PictureExport.h"
#include "platform/Platform.h"
#include "platform/qt/QtBackend.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"
#include "tools/gravitas-sim/CapturingBackend.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {

class FixedSizeWindow : public MainWindowServices {
public:
    FixedSizeWindow(int32_t w, int32_t h) : width_(w), height_(h) {}
    void MainWindowContentSize(int32_t& w, int32_t& h) override { w = width_, h = height_; }

private:
    int32_t width_, height_;
};

// A picture file named by a scenario, as a block; none (and why) when it cannot be read.
Handle ReadPictureHandle(const std::string& path, std::string& why) {
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, kMaxPictureFileBytes, bytes, why)) return kNoHandle;
    return NewHandleWithBytes(bytes.data(), bytes.size());
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

bool StartToolPlatform(int32_t width, int32_t height, std::string& error) {
    if (width > 8192 || height > 8192) {
        error = "render size is limited to 8192 x 8192 pixels";
        return false;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt's own notes (such as a missing runtime folder) are not the tool's output: stderr carries one line per problem.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "gravitas-sim";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
    static QtBackend backend;
    static FixedSizeWindow window(width, height);
    SetPlatformBackend(&backend);
    SetMainWindowServices(&window);
    // The application's own start-up: default settings, sphere picture list, star field, render buffer.
    InitializeAll();
    return true;
}

void StopToolPlatform() {
    DisposeAll();
    SetMainWindowServices(nullptr);
    SetPlatformBackend(nullptr);
}

std::vector<std::string> AttachScenarioPictures() {
    std::vector<std::string> problems;
    const ScenarioPictures& pictures = CurrentScenarioPictures();
    for (int32_t i = 0; BodyList() && i < BodyList()->count; ++i) {
        BodyInfoStruct& info = BodyList()->body[i];
        // Named as the scenario's checks name a body: counted from 1, with its name.
        const std::string body = "body " + std::to_string(i + 1) + " \"" + PToCStr(info.name) + "\": ";
        std::string why;
        if (size_t(i) < pictures.surface.size() && !pictures.surface[i].empty() && info.spherePixID == 0) {
            const std::string& path = pictures.surface[i];
            if (Handle pict = ReadPictureHandle(path, why)) {
                CapturedAlerts alerts;  // the mapping's alert becomes this body's line
                info.spherePixID = AddPICTToSpherePixList(rt.spherePixList, pict);
                if (!info.spherePixID) DisposeHandle(pict);
                if (!alerts.capture.stops.empty()) {
                    if (info.spherePixID) DisposeSpherePixData(rt.spherePixList, info.spherePixID);
                    info.spherePixID = 0;
                    why = alerts.capture.stops.front();
                }
            }
            if (!info.spherePixID) problems.push_back(body + "surface picture " + OnOneLine(path) + ": " + why);
        }
        if (size_t(i) < pictures.ring.size() && !pictures.ring[i].empty() && !info.ringPix) {
            const std::string& path = pictures.ring[i];
            if (Handle pict = ReadPictureHandle(path, why)) {
                // A ring profile that cannot be decoded would be drawn black: told, not drawn.
                DecodedImage probe;
                if (Platform().DecodePicture(static_cast<const uint8_t*>(HandlePtr(pict)), size_t(GetHandleSize(pict)), probe))
                    info.ringPix = NewRingPixMapFromPICT(pict);
                DisposeHandle(pict);
                if (!info.ringPix) why = "it is not a picture that can be read";
            }
            if (!info.ringPix) problems.push_back(body + "ring picture " + OnOneLine(path) + ": " + why);
        }
    }
    // A run-time state built before the pictures were attached is rebuilt with them.
    if (rt.bodyRT) TransferICsToRT();
    return problems;
}

int PrepareRender(const RenderOptions& options, std::string& error) {
    if (options.cameraMode >= 0) set.cameraMode = options.cameraMode;
    if (options.cameraBody >= 0) set.cameraSelection = options.cameraBody;
    if (options.labelFlags >= 0) set.labelFlags = uint32_t(options.labelFlags);
    if (options.stereo) set.displayFlags |= kStereoOnFlag;
    if (options.noStars) set.displayFlags |= kStarFieldOffFlag;
    if (set.eyeRadius == 0) set.eyeRadius = 15;
    SetRunTimeViewingVariables();

    // Look at the system from above the ecliptic, then let the camera settle.
    BuildBodyAxes(rt.cameraIJK, 0.35 * M_PI, 0.5 * M_PI, 0.0);
    rt.eyeDistance = FramingDistance();
    for (int step = 0; step < 60; ++step) DoCameraWork();

    if (!bAddrGWPM) {
        error = "no memory for a render buffer of that size";
        return 2;
    }
    return 0;
}

void DrawRenderFrame() {
    EraseRenderBuffer();
    if (!(set.displayFlags & kStarFieldOffFlag)) {
        IJK relative;
        RelativeIJK(&relative, &rt.cameraIJK, &rt.starIJK);
        DrawStars(renderGWRect, relative, rt.starListH, rt.focalLength, renderCX, renderCY);
    }
    DoDrawStage(renderCX, renderCY);
}

int RunRenderCommand(const RenderOptions& options, std::string& error) {
    if (const int status = PrepareRender(options, error)) return status;
    DrawRenderFrame();
    // Saved as Save Picture saves: a failure leaves no part of a picture and an earlier file whole.
    return WriteRenderBufferPNG(options.outPath, error) ? 0 : 2;
}
