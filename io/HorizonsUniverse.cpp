#include "io/HorizonsUniverse.h"

#include <vector>

#include "core/DefaultSettings.h"
#include "core/Epoch.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "io/FileAccess.h"
#include "io/ScenarioChecks.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

namespace {
// A body the header gives no size is drawn as a point; a kilometre keeps collisions rare.
constexpr double kUnknownRadius = 1000.0;
}  // namespace

bool UseHorizonsImport(const HorizonsImport& import, std::string& error, std::string& notes) {
    if (import.bodies.size() > size_t(kMaxMassiveBodies)) {
        error = "more than " + std::to_string(kMaxMassiveBodies) + " bodies";
        return false;
    }
    std::vector<BodyInfoStruct> infos;
    std::string noGM, noRadius;
    for (size_t k = 0; k < import.bodies.size(); ++k) {
        const HorizonsBody& h = import.bodies[k];
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        CToPStr31(b.name, h.name);
        for (int n = 0; n < 3; ++n) b.pos[n] = h.pos[n], b.vel[n] = h.vel[n];
        b.mass = h.gm / kHorizonsGravConstant;
        b.radius = h.radius > 0.0 ? h.radius : kUnknownRadius;
        b.spinRate = 0.0;
        if (!h.hasGM) noGM += (noGM.empty() ? "" : ", ") + h.name;
        if (!(h.radius > 0.0)) noRadius += (noRadius.empty() ? "" : ", ") + h.name;
        if (std::string p = BodyValueProblem(b, int32_t(k)); !p.empty()) {
            error = p;
            return false;
        }
        infos.push_back(b);
    }
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set = SettingsStruct{};
    SetDefaultSettings(set);
    set.gravConstant = kHorizonsGravConstant;
    set.pushMethod = kPushGaussRadau;
    set.timeStep = 3600.0;
    set.pushesPerFrame = 24;  // a day per frame
    set.labelFlags = 1;       // names
    for (const BodyInfoStruct& b : infos)
        if (!AddABody(b)) {
            error = "out of memory";
            return false;
        }
    epoch.known = true;
    epoch.tdbSeconds = (import.jdTdb - kJ2000JulianDate) * kSecondsPerDay;
    notes.clear();
    if (!noGM.empty()) notes += "No GM given (massless): " + noGM + ".";
    if (!noRadius.empty()) notes += std::string(notes.empty() ? "" : " ") + "No radius given (1 km): " + noRadius + ".";
    return true;
}

bool ImportHorizonsFile(const std::string& path, std::string& error, std::string& notes) {
    std::vector<uint8_t> bytes;
    HorizonsImport import;
    if (!ReadRegularFile(path, kMaxScenarioFileBytes, bytes, error) ||
        !ReadHorizonsVectors(std::string(bytes.begin(), bytes.end()), import, error) ||
        !UseHorizonsImport(import, error, notes)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
