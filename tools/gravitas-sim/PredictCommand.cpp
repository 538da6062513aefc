#include "tools/gravitas-sim/PredictCommand.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/PredictedPath.h"
#include "shell/FlightPrediction.h"
#include "sim/Bodies.h"
#include "sim/OrbitalElements.h"
#include "sim/Prediction.h"

namespace {
void Number(std::string& s, double v) {
    if (!std::isfinite(v)) {
        s += "null";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    s += buf;
}

// A JSON string: quotes and backslashes escaped, control characters left out.
void Quoted(std::string& s, const char* text, size_t n) {
    s += '"';
    for (size_t k = 0; k < n; ++k) {
        const char c = text[k];
        if (c == '"' || c == '\\') s += '\\';
        if (uint8_t(c) >= 0x20) s += c;
    }
    s += '"';
}

void Name(std::string& s, const BodyRTListStruct* list, int32_t body) {
    if (!list || body < 0 || body >= list->count) {
        s += "null";
        return;
    }
    const uint8_t* n = list->body[body].name;
    Quoted(s, reinterpret_cast<const char*>(n + 1), n[0] < 32 ? n[0] : 31);
}

void Vector(std::string& s, const double* v) {
    s += '[';
    for (int n = 0; n < 3; ++n) {
        if (n) s += ", ";
        Number(s, v[n]);
    }
    s += ']';
}

const char* KindName(PredictionMarkKind k) {
    switch (k) {
        case PredictionMarkKind::kPeriapsis: return "periapsis";
        case PredictionMarkKind::kApoapsis: return "apoapsis";
        case PredictionMarkKind::kBurn: return "burn";
        case PredictionMarkKind::kClosestApproach: return "closestApproach";
        case PredictionMarkKind::kCollision: return "collision";
    }
    return "?";
}
}  // namespace

std::string PredictionJSON(int32_t pushes, std::string& error) {
    PredictionRequestStruct req;
    if (!TakePredictionRequest(req, pushes, PredictionTarget())) {
        error = "--predict needs a craft in the scenario";
        return {};
    }
    PredictionResultStruct r;
    PredictNow(req, r);
    const BodyRTListStruct* list = BodyRTList();
    std::string s = "{\n  \"craft\": ";
    Name(s, list, r.craft);
    s += ", \"reference\": ";
    Name(s, list, r.reference);
    s += ", \"target\": ";
    Name(s, list, r.target);
    s += ",\n  \"firstPush\": " + std::to_string(r.firstPush) + ", \"pushes\": " + std::to_string(r.samples - 1) +
         ", \"timeStep\": ";
    Number(s, r.timeStep);
    s += ", \"stopped\": ";
    s += r.stopped ? "true" : "false";
    // At most kMaxPredictPathPoints positions: every stride-th push, and always the last.
    const int32_t last = r.samples - 1;
    const int32_t stride = r.samples > kMaxPredictPathPoints ? (last + kMaxPredictPathPoints - 3) / (kMaxPredictPathPoints - 2) : 1;
    s += ",\n  \"pathFields\": [\"push\", \"t\", \"x\", \"y\", \"z\"],\n  \"path\": [";
    for (int32_t k = 0; k <= last; k = (k == last) ? last + 1 : std::min(k + stride, last)) {
        s += k ? ",\n    [" : "\n    [";
        s += std::to_string(r.firstPush + k) + ", ";
        Number(s, r.firstTime + k * r.timeStep);
        for (int n = 0; n < 3; ++n) {
            s += ", ";
            Number(s, r.craftPos[3 * size_t(k) + n]);
        }
        s += ']';
    }
    s += "],\n  \"marks\": [";
    for (size_t m = 0; m < r.marks.size(); ++m) {
        const PredictionMarkStruct& mk = r.marks[m];
        s += m ? ",\n    {\"kind\": \"" : "\n    {\"kind\": \"";
        s += KindName(mk.kind);
        s += "\", \"push\": " + std::to_string(r.firstPush + mk.sample) + ", \"t\": ";
        Number(s, r.firstTime + mk.sample * r.timeStep);
        s += ", \"body\": ";
        Name(s, list, mk.body);
        s += ", \"value\": ";
        Number(s, mk.value);
        s += ", \"position\": ";
        Vector(s, &r.craftPos[3 * size_t(mk.sample)]);
        char label[160];
        if (list && PredictionMarkLabel(r, mk, *list, label, sizeof label)) {
            s += ", \"label\": ";
            Quoted(s, label, std::strlen(label));  // it holds body names
        }
        s += '}';
    }
    const OrbitalElementsStruct el = BodyElements(list, r.craft, set);
    s += "],\n  \"elements\": ";
    if (!el.valid) s += "null";
    else {
        s += "{\"about\": ";
        Name(s, list, el.attractor);
        const double radius = list->body[el.attractor].radius;
        const std::pair<const char*, double> fields[] = {
            {"semiMajorAxis", el.semiMajorAxis}, {"eccentricity", el.eccentricity},
            {"inclinationDeg", el.inclination * 57.29577951308232}, {"periapsisAltitude", el.periapsis - radius},
            {"apoapsisAltitude", el.apoapsis - radius}, {"period", el.period},
            {"timeToPeriapsis", el.timeToPeriapsis}, {"excessSpeed", el.excessSpeed}};
        for (const auto& [key, value] : fields) {
            s += std::string(", \"") + key + "\": ";
            Number(s, value);
        }
        s += std::string(", \"escape\": ") + (el.escape ? "true" : "false") + "}";
    }
    s += "\n}";
    return s;
}
