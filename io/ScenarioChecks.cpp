#include "io/ScenarioChecks.h"

#include <cmath>

#include "core/Limits.h"
#include "core/Strings.h"
#include "core/Units.h"

namespace {

std::string NotFinite(const char* field) { return std::string(field) + " is not a finite number"; }

// The first of the named doubles that is not finite, or empty.
struct NamedValue {
    const char* field;
    double value;
};
template <size_t N>
std::string FirstNotFinite(const NamedValue (&values)[N]) {
    for (const NamedValue& v : values)
        if (!std::isfinite(v.value)) return NotFinite(v.field);
    return {};
}

std::string OutOfRange(const char* field, long long value, long long least, long long most) {
    return std::string(field) + " is " + std::to_string(value) + ", outside " + std::to_string(least) + ".." +
           std::to_string(most);
}

}  // namespace

std::string SettingsValueProblem(const SettingsStruct& s) {
    const NamedValue reals[] = {{"gravConstant", s.gravConstant},
                                {"powerLaw", s.powerLaw},
                                {"timeStep", s.timeStep},
                                {"viewAngle", s.viewAngle},
                                {"craftThrust", s.craftThrust},
                                {"autoRotation", s.autoRotation},
                                {"savedEyeDistance", s.savedEyeDistance},
                                {"savedCameraTilt", s.savedCameraTilt},
                                {"savedCameraAzimuth", s.savedCameraAzimuth},
                                {"starInclination", s.starInclination},
                                {"starAzimuth", s.starAzimuth}};
    if (std::string p = FirstNotFinite(reals); !p.empty()) return p;
    if (s.timeStep == 0) return "timeStep is 0: every method needs a step";
    if (std::fabs(s.timeStep) > kMaxTimeStepSeconds)
        return "timeStep is " + MyRealToSciNotString(s.timeStep) + " s, outside -1e12..1e12 s";
    if (!(s.viewAngle > 0 && s.viewAngle < 180)) return "viewAngle must lie between 0 and 180 degrees";
    // Pushes below 1 run as 1; above the bound every frame would take far too long.
    if (s.pushesPerFrame > kMaxPushesPerFrame)
        return OutOfRange("pushesPerFrame", s.pushesPerFrame, 1, kMaxPushesPerFrame);
    if (s.minPointSize < 0 || s.minPointSize > kMaxMinPointSize)
        return OutOfRange("minPointSize", s.minPointSize, 0, kMaxMinPointSize);
    if (s.eyeRadius < -kMaxEyeRadius || s.eyeRadius > kMaxEyeRadius)
        return OutOfRange("eyeRadius", s.eyeRadius, -kMaxEyeRadius, kMaxEyeRadius);
    if (s.trailLength < 0 || s.trailLength > kMaxTrailLength)
        return OutOfRange("trailLength", s.trailLength, 0, kMaxTrailLength);
    return {};
}

// A parent that is not an earlier body is not refused: the body's values are then absolute.
std::string BodyValueProblem(const BodyInfoStruct& b, int32_t index) {
    const std::string where = "body " + std::to_string(index + 1) + " \"" + PToCStr(b.name) + "\": ";
    const NamedValue reals[] = {{"pos.x", b.pos[0]},       {"pos.y", b.pos[1]},         {"pos.z", b.pos[2]},
                                {"vel.x", b.vel[0]},       {"vel.y", b.vel[1]},         {"vel.z", b.vel[2]},
                                {"mass", b.mass},          {"radius", b.radius},        {"axisTilt", b.axisTilt},
                                {"axisAzimuth", b.axisAzimuth}, {"spinPhase", b.spinPhase}, {"spinRate", b.spinRate},
                                {"ringRatio", b.ringRatio}};
    if (std::string p = FirstNotFinite(reals); !p.empty()) return where + p;
    if (b.mass < 0) return where + "mass is negative";
    if (b.radius < 0) return where + "radius is negative";
    if (b.ringRatio < 0) return where + "ringRatio is negative";
    return {};
}

std::string ThrustEntryProblem(const TimedThrustInfoStruct& e, int32_t index) {
    if (!std::isfinite(e.deltaV)) return "timed thrust entry " + std::to_string(index + 1) + ": " + NotFinite("deltaV");
    return {};
}

void ClampNameLength(BodyInfoStruct& b) {
    if (b.name[0] > 31) b.name[0] = 31;
}

std::string BodyCountProblem(int64_t bodies, int64_t massive) {
    if (bodies > kMaxBodies)
        return std::to_string(bodies) + " bodies, above the limit of " + std::to_string(kMaxBodies);
    if (massive > kMaxMassiveBodies)
        return std::to_string(massive) + " bodies with mass, above the limit of " + std::to_string(kMaxMassiveBodies) +
               " (massless test particles aside)";
    return {};
}
