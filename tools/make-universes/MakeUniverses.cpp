// make-universes OUTPUT_DIR SCENARIO.json...: turns JSON scenarios into universe
// files, one per scenario, named after it. Surface pictures named by a scenario
// are embedded, downscaled to 512x256 PNG to keep the files small; a ringed body
// without a ring picture gets a banded profile. The optional "demoCamera" object
// of a scenario ({"eyeDistance": m, "tilt": rad, "azimuth": rad}) sets the view
// the universe opens with.
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/Frame.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "io/Universe.h"
#include "io/UniverseImage.h"
#include "platform/qt/QtBackend.h"
#include "render/IJK.h"
#include "sim/Bodies.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {

Handle BytesHandle(const QByteArray& bytes) {
    Handle h = NewHandle(size_t(bytes.size()));
    if (h) std::memcpy(HandlePtr(h), bytes.constData(), size_t(bytes.size()));
    return h;
}

Handle PictureFromImage(const std::string& path, bool downscale) {
    QImage image(QString::fromStdString(path));
    if (image.isNull()) return kNoHandle;
    if (downscale) image = image.scaled(512, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return BytesHandle(png);
}

// Banded ring, inner edge first, as native texels 0xLLRRGGBB. Ring light adds
// to what lies behind, so the bands stay well below white.
Handle BandedRingProfile() {
    Handle h = NewHandle(kRingProfileBytes);
    auto* p = static_cast<uint32_t*>(HandlePtr(h));
    for (int i = 0; i < 1024; ++i) {
        const double x = i / 1023.0;
        double lum = 0.30 + 0.16 * std::sin(x * 40.0) * std::sin(x * 7.0);
        if (x < 0.22 || (x > 0.66 && x < 0.71) || x > 0.97) lum = 0.0;  // inner gap, a division, the edge
        const uint32_t l = uint32_t(std::clamp(lum, 0.0, 1.0) * 255);
        const uint32_t r = 230 * l / 255, g = 205 * l / 255, b = 160 * l / 255;
        p[i] = (((115 * r + 90 * g + 51 * b) >> 8) << 24) | (r << 16) | (g << 8) | b;
    }
    return h;
}

// Gives the loaded scenario's bodies their pictures and rings.
void AttachPictures() {
    BodyListStruct* list = BodyList();
    if (!list) return;
    const ScenarioPictures& pictures = CurrentScenarioPictures();
    for (int32_t i = 0; i < list->count; ++i) {
        BodyInfoStruct& info = list->body[i];
        const std::string name(reinterpret_cast<const char*>(info.name + 1), info.name[0]);
        if (size_t(i) < pictures.surface.size() && !pictures.surface[size_t(i)].empty()) {
            const std::string& path = pictures.surface[size_t(i)];
            if (Handle pict = PictureFromImage(path, true)) {
                info.spherePixID = AddPICTToSpherePixList(rt.spherePixList, pict);
                if (!info.spherePixID) DisposeHandle(pict);
            } else {
                std::fprintf(stderr, "no picture %s; %s stays plain\n", path.c_str(), name.c_str());
            }
        }
        if (info.ringRatio > 1.0 && !info.ringPix) {
            Handle ringPicture = kNoHandle;
            if (size_t(i) < pictures.ring.size() && !pictures.ring[size_t(i)].empty())
                ringPicture = PictureFromImage(pictures.ring[size_t(i)], false);
            if (ringPicture) {
                info.ringPix = NewRingPixMapFromPICT(ringPicture);
                DisposeHandle(ringPicture);
            }
            if (!info.ringPix) info.ringPix = BandedRingProfile();
        }
    }
}

void ApplyDemoCamera(const std::string& path) {
    rt.eyeDistance = 4.0e7;
    double tilt = 1.0, azimuth = 0.0;
    std::ifstream in(path);
    const nlohmann::json j = nlohmann::json::parse(in, nullptr, false);
    if (j.is_object() && j.contains("demoCamera") && j["demoCamera"].is_object()) {
        const auto& c = j["demoCamera"];
        rt.eyeDistance = c.value("eyeDistance", rt.eyeDistance);
        tilt = c.value("tilt", tilt);
        azimuth = c.value("azimuth", azimuth);
    }
    BuildBodyAxes(rt.cameraIJK, tilt, azimuth, 0);
}

bool Convert(const std::string& scenario, const std::string& outDir) {
    std::string error;
    if (!LoadScenarioJSON(scenario, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    AttachPictures();
    ApplyDemoCamera(scenario);
    const std::string out = outDir + "/" + QFileInfo(QString::fromStdString(scenario)).completeBaseName().toStdString() +
                            ".universe";
    if (!SaveAllSettingsTo(out, true)) {
        std::fprintf(stderr, "%s: cannot write\n", out.c_str());
        return false;
    }
    std::printf("wrote %s\n", out.c_str());
    DeallocateAllPushMemory();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make-universes OUTPUT_DIR SCENARIO.json...\n");
        return 2;
    }
    QtBackend backend;
    SetPlatformBackend(&backend);
    rt.spherePixList = NewSpherePixList();
    bool ok = true;
    for (int i = 2; i < argc; ++i) ok = Convert(argv[i], argv[1]) && ok;
    DisposeSpherePixList(rt.spherePixList);
    rt.spherePixList = 0;
    SetPlatformBackend(nullptr);
    return ok ? 0 : 1;
}
