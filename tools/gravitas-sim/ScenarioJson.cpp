#include "tools/gravitas-sim/ScenarioJson.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <vector>

#include "core/DefaultSettings.h"
#include "core/Epoch.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "core/TextBytes.h"
#include "io/FileAccess.h"
#include "io/ScenarioChecks.h"
#include "sim/Belt.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/CheckedJson.h"

using nlohmann::json;

namespace {
const char* const kMethods[] = {"semi-implicit-euler", "euler", "adams-bashforth", "adams-moulton", "runge-kutta",
                                "gauss-radau",         "wisdom-holman"};
constexpr int32_t kMethodCount = int32_t(std::size(kMethods));
const char* const kCrash[] = {"ignore", "stop", "merge"};
// A scenario is an object of sections, bodies and their vectors: four levels; 64 is ample.
constexpr int kMaxScenarioDepth = 64;

struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double Num(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key)) throw BadInput(where + ": missing \"" + key + "\"");
    const json& v = j.at(key);
    if (!v.is_number()) throw BadInput(where + ": \"" + key + "\" must be a number");
    double d = v.get<double>();
    if (!std::isfinite(d)) throw BadInput(where + ": \"" + key + "\" is not finite");
    return d;
}
double NumOr(const json& j, const char* key, double dflt, const std::string& where) {
    return j.contains(key) ? Num(j, key, where) : dflt;
}
// Whole numbers are range-checked before conversion: a wrapped value would run something else.
int64_t WholeOr(const json& j, const char* key, int64_t dflt, int64_t least, int64_t most, const std::string& where) {
    if (!j.contains(key)) return dflt;
    const json& v = j.at(key);
    const std::string range = std::to_string(least) + ".." + std::to_string(most);
    // The parser keeps a whole number too large for 64 bits as a real: still out of range, not a fraction.
    if (v.is_number_float() && std::nearbyint(v.get<double>()) == v.get<double>() &&
        (v.get<double>() >= 0x1p63 || v.get<double>() < -0x1p63))
        throw BadInput(where + ": \"" + key + "\" must lie in " + range);
    if (!v.is_number_integer()) throw BadInput(where + ": \"" + key + "\" must be an integer");
    const bool tooBig = v.is_number_unsigned() ? v.get<uint64_t>() > uint64_t(most) : v.get<int64_t>() > most;
    if (tooBig || (!v.is_number_unsigned() && v.get<int64_t>() < least))
        throw BadInput(where + ": \"" + key + "\" must lie in " + range);
    return v.is_number_unsigned() ? int64_t(v.get<uint64_t>()) : v.get<int64_t>();
}
bool BoolOr(const json& j, const char* key, bool dflt, const std::string& where) {
    if (!j.contains(key)) return dflt;
    if (!j.at(key).is_boolean()) throw BadInput(where + ": \"" + key + "\" must be true or false");
    return j.at(key).get<bool>();
}
int32_t IntOr(const json& j, const char* key, int32_t dflt, const std::string& where) {
    return int32_t(WholeOr(j, key, dflt, INT32_MIN, INT32_MAX, where));
}
uint32_t FlagsOr(const json& j, const char* key, uint32_t dflt, const std::string& where) {
    return uint32_t(WholeOr(j, key, dflt, 0, UINT32_MAX, where));
}
void Vec(const json& j, const char* key, double out[3], const std::string& where, bool required) {
    if (!j.contains(key)) {
        if (required) throw BadInput(where + ": missing \"" + key + "\"");
        return;
    }
    const json& v = j.at(key);
    if (!v.is_array() || v.size() != 3) throw BadInput(where + ": \"" + key + "\" must be [x, y, z]");
    for (int n = 0; n < 3; ++n) {
        if (!v[n].is_number() || !std::isfinite(v[n].get<double>()))
            throw BadInput(where + ": \"" + key + "\" must hold finite numbers");
        out[n] = v[n].get<double>();
    }
}
int32_t Named(const json& j, const char* key, const char* const* names, int count, int32_t dflt,
              const std::string& where) {
    if (!j.contains(key)) return dflt;
    if (!j.at(key).is_string()) throw BadInput(where + ": \"" + key + "\" must be a name");
    std::string s = j.at(key).get<std::string>();
    for (int k = 0; k < count; ++k)
        if (s == names[k]) return k;
    throw BadInput(where + ": unknown " + key + " " + QuotedForMessage(s));
}
std::string Resolve(const std::string& baseDir, const std::string& p) {
    std::filesystem::path path(p);
    return path.is_absolute() ? p : (std::filesystem::path(baseDir) / path).lexically_normal().string();
}

BodyInfoStruct ReadBody(const json& jb, int index, const std::string& baseDir) {
    // Bodies are counted from 1 and named, as the checks of their values name them.
    std::string where = "body " + std::to_string(index + 1);
    if (!jb.is_object()) throw BadInput(where + ": must be an object");
    BodyInfoStruct b;
    if (BoolOr(jb, "craft", false, where)) {
        double thrust = set.craftThrust;
        FillDefaultCraftInfo(b);
        set.craftThrust = thrust;
    } else {
        FillDefaultBodyInfo(b);
    }
    if (jb.contains("name")) {
        if (!jb["name"].is_string()) throw BadInput(where + ": \"name\" must be a string");
        CToPStr31(b.name, jb["name"].get<std::string>());
        where += " \"" + PToCStr(b.name) + "\"";
    }
    Vec(jb, "pos", b.pos, where, true);
    Vec(jb, "vel", b.vel, where, true);
    b.mass = Num(jb, "mass", where);
    b.radius = Num(jb, "radius", where);
    b.axisTilt = NumOr(jb, "axisTilt", 0, where);
    b.axisAzimuth = NumOr(jb, "axisAzimuth", 0, where);
    b.spinPhase = NumOr(jb, "spinPhase", 0, where);
    b.spinRate = NumOr(jb, "spinRate", 0, where);
    b.ringRatio = NumOr(jb, "ringRatio", b.ringRatio, where);
    b.parent = IntOr(jb, "parent", 0, where);
    if (jb.contains("color")) {
        const json& c = jb["color"];
        if (!c.is_array() || c.size() != 3) throw BadInput(where + ": \"color\" must be [r, g, b]");
        uint16_t rgb[3];
        for (int n = 0; n < 3; ++n) {
            if (!c[n].is_number_integer() || c[n].get<int64_t>() < 0 || c[n].get<int64_t>() > 65535)
                throw BadInput(where + ": colour components are 0..65535");
            rgb[n] = uint16_t(c[n].get<int64_t>());
        }
        b.color = RGBColor{rgb[0], rgb[1], rgb[2]};
    }
    for (const char* key : {"surfacePicture", "ringPicture"})
        if (jb.contains(key) && !jb[key].is_string()) throw BadInput(where + ": \"" + key + "\" must be a file name");
    ScenarioPictures& pics = CurrentScenarioPictures();
    pics.surface.push_back(jb.contains("surfacePicture") ? Resolve(baseDir, jb["surfacePicture"].get<std::string>()) : "");
    pics.ring.push_back(jb.contains("ringPicture") ? Resolve(baseDir, jb["ringPicture"].get<std::string>()) : "");
    if (std::string p = BodyValueProblem(b, index); !p.empty()) throw BadInput(p);
    return b;
}

// Belts of test particles about a body (counted from 1, as parents are), made by the same
// code as the window's Add Belt, so a seed gives the same belt in both.
void ReadBelts(const json& belts) {
    if (!belts.is_array()) throw BadInput("\"belts\" must be an array");
    int index = 0;
    for (const json& jb : belts) {
        const std::string where = "belt " + std::to_string(++index);
        if (!jb.is_object()) throw BadInput(where + ": must be an object");
        BeltRequest r;
        r.count = IntOr(jb, "count", 0, where);
        r.primary = IntOr(jb, "primary", 0, where) - 1;
        if (!jb.contains("semiMajorAxis") || !jb["semiMajorAxis"].is_array() || jb["semiMajorAxis"].size() != 2 ||
            !jb["semiMajorAxis"][0].is_number() || !jb["semiMajorAxis"][1].is_number())
            throw BadInput(where + ": \"semiMajorAxis\" must be [least, greatest] in metres");
        r.minSemiMajorAxis = jb["semiMajorAxis"][0].get<double>();
        r.maxSemiMajorAxis = jb["semiMajorAxis"][1].get<double>();
        r.maxEccentricity = NumOr(jb, "maxEccentricity", 0, where);
        r.maxInclination = NumOr(jb, "maxInclination", 0, where);
        r.seed = FlagsOr(jb, "seed", 1, where);
        std::string problem;
        if (!AddBelt(r, problem)) throw BadInput(where + ": " + problem);
        ScenarioPictures& pics = CurrentScenarioPictures();
        pics.surface.resize(pics.surface.size() + size_t(r.count));
        pics.ring.resize(pics.ring.size() + size_t(r.count));
    }
}

void ClearScenario() {
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = 0;
    CurrentScenarioPictures() = ScenarioPictures{};
}
}  // namespace

ScenarioPictures& CurrentScenarioPictures() {
    static ScenarioPictures pictures;
    return pictures;
}

bool LoadScenarioJSONText(const std::string& text, const std::string& baseDir, std::string& error) {
    ClearScenario();
    try {
        json j;
        try {
            j = ParseCheckedJson(text, kMaxScenarioDepth);
        } catch (const JsonRefusal& e) {
            throw BadInput(e.what());
        }
        if (!j.is_object()) throw BadInput("scenario must be a JSON object");
        const json noSection = json::object();
        const json& phys = j.contains("physics") ? j["physics"] : noSection;
        if (!phys.is_object()) throw BadInput("\"physics\" must be an object");
        // What the scenario leaves out is what the application starts with.
        set = SettingsStruct{};
        SetDefaultSettings(set);
        set.gravConstant = NumOr(phys, "gravConstant", set.gravConstant, "physics");
        set.powerLaw = NumOr(phys, "powerLaw", set.powerLaw, "physics");
        set.timeStep = NumOr(phys, "timeStep", set.timeStep, "physics");
        set.pushesPerFrame = IntOr(phys, "pushesPerFrame", set.pushesPerFrame, "physics");
        set.pushMethod = Named(phys, "method", kMethods, kMethodCount, 0, "physics");
        set.onCrash = Named(phys, "onCrash", kCrash, 3, 0, "physics");
        set.craftThrust = NumOr(phys, "craftThrust", 100.0, "physics");
        set.trailLength = IntOr(phys, "trailLength", 0, "physics");
        set.physicsOptions = BoolOr(phys, "relativity", false, "physics") ? kRelativityOn : 0;
        epoch = EpochStruct{};
        if (j.contains("epochJDTDB")) {
            const double jd = Num(j, "epochJDTDB", "scenario");
            if (std::fabs(jd - kJ2000JulianDate) > 3.6e7) throw BadInput("\"epochJDTDB\" lies beyond 100,000 years of J2000");
            epoch = EpochStruct{true, (jd - kJ2000JulianDate) * kSecondsPerDay};
        }
        if (set.trailLength < 0) throw BadInput("physics: \"trailLength\" must not be negative");
        const json& view = j.contains("view") ? j["view"] : noSection;
        if (!view.is_object()) throw BadInput("\"view\" must be an object");
        set.cameraMode = IntOr(view, "cameraMode", 0, "view");
        set.cameraSelection = IntOr(view, "cameraSelection", 0, "view");
        set.labelFlags = FlagsOr(view, "labelFlags", set.labelFlags, "view");
        set.displayFlags = FlagsOr(view, "displayFlags", set.displayFlags, "view");
        set.viewAngle = NumOr(view, "viewAngle", set.viewAngle, "view");
        set.minPointSize = IntOr(view, "minPointSize", set.minPointSize, "view");
        if (std::string p = SettingsValueProblem(set); !p.empty()) throw BadInput(p);
        if (!j.contains("bodies") || !j["bodies"].is_array()) throw BadInput("missing \"bodies\" array");
        const int64_t count = int64_t(j["bodies"].size());
        if (std::string p = BodyCountProblem(count, 0); !p.empty()) throw BadInput(p);
        // Added in one piece: growing the list body by body would copy it once per body.
        std::vector<BodyInfoStruct> bodies;
        bodies.reserve(size_t(count));
        int massive = 0;
        for (const json& jb : j["bodies"]) {
            bodies.push_back(ReadBody(jb, int(bodies.size()), baseDir));
            massive += bodies.back().mass != 0.0 ? 1 : 0;
            if (std::string p = BodyCountProblem(count, massive); !p.empty()) throw BadInput(p);
        }
        if (!bodies.empty() && !AddBodies(bodies.data(), int32_t(bodies.size())))
            throw BadInput("no room for " + std::to_string(bodies.size()) + " bodies: out of memory");
        if (j.contains("belts")) ReadBelts(j["belts"]);
        if (j.contains("timedThrust")) {
            const json& tt = j["timedThrust"];
            if (!tt.is_array()) throw BadInput("\"timedThrust\" must be an array");
            // Gathered whole, then sorted and merged once, as adding them one by one would.
            const Handle raw = NewHandle(kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (tt.size() + 1));
            if (!raw) throw BadInput("timedThrust: out of memory");
            TimedThrustListStruct* list = TTList(raw);
            for (const json& e : tt) {
                // Entries are counted from 1, as the checks of their values count them.
                const std::string where = "timed thrust entry " + std::to_string(list->count + 1);
                try {
                    if (!e.is_object()) throw BadInput(where + ": must be an object");
                    if (!e.contains("pushIndex")) throw BadInput(where + ": missing \"pushIndex\"");
                    list->entry[list->count] = {Num(e, "deltaV", where), IntOr(e, "pushIndex", -1, where), 0};
                } catch (...) {
                    DisposeHandle(raw);
                    throw;
                }
                ++list->count;
            }
            set.timedThrust = MakeTTDataCopy(raw);
            DisposeHandle(raw);
            if (!set.timedThrust) throw BadInput("timedThrust: out of memory");
        }
    } catch (const json::exception& e) {
        ClearScenario();
        // The library's own tag ("[json.exception.parse_error.101] ") means nothing to the user.
        std::string what = e.what();
        if (const size_t tag = what.find("] "); what.starts_with("[json.exception.") && tag != std::string::npos)
            what.erase(0, tag + 2);
        error = "malformed scenario: " + what;
        return false;
    } catch (const BadInput& e) {
        ClearScenario();
        error = e.what();
        return false;
    }
    return true;
}

bool LoadScenarioJSON(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, kMaxScenarioFileBytes, bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    std::string base = std::filesystem::path(path).parent_path().string();
    if (LoadScenarioJSONText(std::string(bytes.begin(), bytes.end()), base.empty() ? "." : base, error)) return true;
    error = path + ": " + error;
    return false;
}

std::string ExportScenarioJSON() {
    json j;
    j["physics"] = {{"gravConstant", set.gravConstant}, {"powerLaw", set.powerLaw}, {"timeStep", set.timeStep},
                    {"pushesPerFrame", set.pushesPerFrame},
                    {"method", kMethods[(set.pushMethod >= 0 && set.pushMethod < kMethodCount) ? set.pushMethod : 0]},
                    {"onCrash", kCrash[(set.onCrash >= 0 && set.onCrash < 3) ? set.onCrash : 0]},
                    {"craftThrust", set.craftThrust}, {"trailLength", set.trailLength},
                    {"relativity", RelativityOn(set)}};
    if (epoch.known) j["epochJDTDB"] = kJ2000JulianDate + epoch.tdbSeconds / kSecondsPerDay;
    j["view"] = {{"cameraMode", set.cameraMode}, {"cameraSelection", set.cameraSelection},
                 {"labelFlags", set.labelFlags}, {"displayFlags", set.displayFlags}, {"viewAngle", set.viewAngle},
                 {"minPointSize", set.minPointSize}};
    json bodies = json::array();
    const ScenarioPictures& pics = CurrentScenarioPictures();
    if (BodyListStruct* l = BodyList())
        for (int32_t i = 0; i < l->count; ++i) {
            const BodyInfoStruct& b = l->body[i];
            json jb = {{"name", PToCStr(b.name)},
                       {"pos", {b.pos[0], b.pos[1], b.pos[2]}},
                       {"vel", {b.vel[0], b.vel[1], b.vel[2]}},
                       {"mass", b.mass}, {"radius", b.radius}, {"axisTilt", b.axisTilt},
                       {"axisAzimuth", b.axisAzimuth}, {"spinPhase", b.spinPhase}, {"spinRate", b.spinRate},
                       {"ringRatio", b.ringRatio}, {"craft", (b.bodyFlags & kCraftFlag) != 0},
                       {"parent", b.parent}, {"color", {b.color.red, b.color.green, b.color.blue}}};
            if (size_t(i) < pics.surface.size() && !pics.surface[i].empty()) jb["surfacePicture"] = pics.surface[i];
            if (size_t(i) < pics.ring.size() && !pics.ring[i].empty()) jb["ringPicture"] = pics.ring[i];
            bodies.push_back(jb);
        }
    j["bodies"] = bodies;
    if (set.timedThrust) {
        json tt = json::array();
        for (int32_t k = 0; k < GetTTCount(set.timedThrust); ++k) {
            TimedThrustInfoStruct e;
            GetTTData(set.timedThrust, &e, k);
            tt.push_back({{"pushIndex", e.pushIndex}, {"deltaV", e.deltaV}});
        }
        j["timedThrust"] = tt;
    }
    return j.dump(2, ' ', false, json::error_handler_t::replace);
}

std::string RunStateProblem() {
    if (BodyRTListStruct* l = BodyRTList())
        for (int32_t i = 0; i < l->count; ++i) {
            const BodyRTStruct& b = l->body[i];
            const double* fields[] = {b.pos, b.vel, b.acc, &b.potential};
            const char* names[] = {"pos", "vel", "acc", "potential"};
            for (int f = 0; f < 4; ++f)
                for (int n = 0; n < (f < 3 ? 3 : 1); ++n)
                    if (!std::isfinite(fields[f][n]))
                        return "body " + std::to_string(i + 1) + " \"" + PToCStr(b.name) + "\": " + names[f] +
                               " is not a finite number";
        }
    return {};
}

std::string RunStateJSON() {
    json j;
    j["pushCount"] = rt.pushCount;
    j["simTime"] = rt.simTime;
    json bodies = json::array();
    if (BodyRTListStruct* l = BodyRTList())
        for (int32_t i = 0; i < l->count; ++i) {
            const BodyRTStruct& b = l->body[i];
            bodies.push_back({{"name", PToCStr(b.name)},
                              {"pos", {b.pos[0], b.pos[1], b.pos[2]}},
                              {"vel", {b.vel[0], b.vel[1], b.vel[2]}},
                              {"acc", {b.acc[0], b.acc[1], b.acc[2]}},
                              {"potential", b.potential},
                              {"statusFlags", b.statusFlags},
                              {"bodyFlags", b.bodyFlags}});
        }
    j["bodies"] = bodies;
    return j.dump(2, ' ', false, json::error_handler_t::replace);
}
