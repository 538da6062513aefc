// make-universes OUTPUT_DIR [IMAGE_DIR]: writes sun-earth-moon.universe and
// ringed-giant.universe. Surface pictures come from IMAGE_DIR (default the
// xplanet images), downscaled to 512x256 PNG to keep the files small.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "io/UniverseImage.h"

namespace {

struct BodySpec {
    const char* name;
    double pos, vel, mass, radius, tilt, spin, ringRatio;
    int parent;
    RGBColor color;
    const char* image;  // file in the image folder, or null
    bool ring;
};

SettingsStruct DefaultSettings() {
    SettingsStruct s{};
    s.viewAngle = 70.0;
    s.minPointSize = 2;
    s.eyeRadius = 15;
    s.autoRotation = -M_PI / 10000;
    s.timeStep = 10.0;
    s.pushesPerFrame = 16;
    s.gravConstant = 6.672e-11;
    s.powerLaw = -2.0;
    return s;
}

Handle PictureFromImage(const std::string& path) {
    QImage image(QString::fromStdString(path));
    if (image.isNull()) return kNoHandle;
    image = image.scaled(512, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Handle h = NewHandle(size_t(png.size()));
    if (h) std::memcpy(HandlePtr(h), png.constData(), size_t(png.size()));
    return h;
}

// Banded ring, inner edge first: texels of luminance, red, green, blue bytes.
Handle BandedRingProfile() {
    Handle h = NewHandle(kRingProfileBytes);
    auto* p = static_cast<uint8_t*>(HandlePtr(h));
    for (int i = 0; i < 1024; ++i) {
        const double x = i / 1023.0;
        double lum = 0.55 + 0.35 * std::sin(x * 40.0) * std::sin(x * 7.0);
        if (x < 0.08 || (x > 0.62 && x < 0.67)) lum = 0.0;  // inner gap and a division
        const uint8_t l = uint8_t(std::clamp(lum, 0.0, 1.0) * 255);
        p[4 * i + 0] = l;
        p[4 * i + 1] = uint8_t(210 * l / 255);
        p[4 * i + 2] = uint8_t(190 * l / 255);
        p[4 * i + 3] = uint8_t(150 * l / 255);
    }
    return h;
}

bool Write(const std::string& path, SettingsStruct settings, const std::vector<BodySpec>& specs,
           const std::string& imageDir, double eyeDistance, double tilt) {
    std::vector<uint8_t> block(kBodyListHeaderSize + sizeof(BodyInfoStruct) * (specs.size() + 1), 0);
    auto* list = reinterpret_cast<BodyListStruct*>(block.data());
    list->count = int32_t(specs.size());
    std::map<int32_t, Handle> pictures;
    std::vector<Handle> rings;
    for (size_t k = 0; k < specs.size(); ++k) {
        const BodySpec& s = specs[k];
        BodyInfoStruct& b = list->body[k];
        b.pos[0] = s.pos;
        b.vel[1] = s.vel;
        b.mass = s.mass;
        b.radius = s.radius;
        b.axisTilt = s.tilt;
        b.spinRate = s.spin;
        b.ringRatio = s.ringRatio;
        b.parent = s.parent;
        b.color = s.color;
        b.name[0] = uint8_t(std::strlen(s.name));
        std::memcpy(b.name + 1, s.name, b.name[0]);
        if (s.image) {
            const Handle pict = PictureFromImage(imageDir + "/" + s.image);
            if (pict) {
                b.spherePixID = int32_t(k + 1);
                pictures[b.spherePixID] = pict;
            } else {
                std::fprintf(stderr, "no picture %s/%s; %s stays plain\n", imageDir.c_str(), s.image, s.name);
            }
        }
        if (s.ring) {
            b.ringPix = BandedRingProfile();
            rings.push_back(b.ringPix);
        }
    }
    UniverseSaveInput in;
    in.settings = settings;
    in.bodies = list;
    in.bodiesBlockSize = block.size();
    in.picture = [&](int32_t id) { return pictures.count(id) ? pictures[id] : kNoHandle; };
    in.eyeDistance = eyeDistance;
    // Camera frame k at polar angle `tilt`, azimuth 0.
    in.cameraIJK.k[0] = int32_t(std::sin(tilt) * kFixedOne);
    in.cameraIJK.k[2] = int32_t(std::cos(tilt) * kFixedOne);
    ResourceFile rf;
    BuildUniverseResources(in, rf);
    for (auto& [id, h] : pictures) DisposeHandle(h);
    for (Handle h : rings) DisposeHandle(h);
    std::string error;
    if (!rf.WriteToFile(path, error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-universes OUTPUT_DIR [IMAGE_DIR]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string images = argc > 2 ? argv[2] : "/usr/share/xplanet/images";

    SettingsStruct s1 = DefaultSettings();
    s1.timeStep = 600.0;
    s1.trailLength = 200;
    s1.cameraSelection = 1;
    const std::vector<BodySpec> sunEarthMoon = {
        {"Sun", 0, 0, 1.989e30, 6.96e8, 0.127, 2.865e-6, 0, 0, {65535, 60000, 30000}, "sun.jpg", false},
        {"Earth", 1.496e11, 29780, 5.972e24, 6.371e6, 0.409, 7.292e-5, 0, 1, {20000, 30000, 65535}, "earth.jpg", false},
        {"Moon", 3.844e8, 1022, 7.342e22, 1.737e6, 0.027, 2.662e-6, 0, 2, {45000, 45000, 45000}, nullptr, false},
    };
    SettingsStruct s2 = DefaultSettings();
    s2.timeStep = 300.0;
    s2.trailLength = 200;
    s2.cameraSelection = 1;
    const std::vector<BodySpec> ringedGiant = {
        {"Sun", 0, 0, 1.989e30, 6.96e8, 0.127, 2.865e-6, 0, 0, {65535, 60000, 30000}, "sun.jpg", false},
        {"Giant", 1.43e12, 9680, 5.683e26, 5.823e7, 0.466, 1.638e-4, 2.3, 1, {55000, 48000, 34000}, nullptr, true},
        {"Titan", 1.222e9, 5570, 1.345e23, 2.575e6, 0.0, 4.56e-6, 0, 2, {60000, 45000, 20000}, nullptr, false},
    };
    bool ok = Write(out + "/sun-earth-moon.universe", s1, sunEarthMoon, images, 3.0e9, 1.0);
    ok = Write(out + "/ringed-giant.universe", s2, ringedGiant, images, 6.0e8, 1.2) && ok;
    return ok ? 0 : 1;
}
