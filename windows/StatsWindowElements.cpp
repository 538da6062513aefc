#include "windows/StatsWindowElements.h"

#include <cmath>

#include "core/Strings.h"
#include "core/Units.h"
#include "sim/Bodies.h"
#include "windows/SideWindowPen.h"

namespace {
constexpr double kDegrees = 57.29577951308232;
// The lines keep their room from frame to frame: composing them allocates nothing.
std::string lines[kElementLines];

void AppendSci(std::string& line, double value) {
    Str255 text;
    MyRealToSciNotString(value, text);
    AppendPStr(line, text);
}

void AppendFixed(std::string& line, double value, int16_t digits) {
    Str255 text;
    MyRealFixed2String(&value, text, digits);
    AppendPStr(line, text);
}

void AppendUnit(std::string& line, int16_t unitList) {
    Str255 text;
    GetIndString(text, unitList, 1);
    line += ' ';
    AppendPStr(line, text);
}

void Put(std::string& line, const char* label, double value, int16_t unitList) {
    line.assign(label);
    AppendSci(line, value);
    AppendUnit(line, unitList);
}
}  // namespace

int32_t ComposeElementLines(const BodyRTListStruct* list, int32_t index, const SettingsStruct& settings,
                            std::string (&out)[kElementLines]) {
    const OrbitalElementsStruct el = BodyElements(list, index, settings);
    if (!el.valid) return 0;
    const BodyRTStruct& home = list->body[el.attractor];
    int32_t n = 0;
    out[n].assign("Orbit about ");
    AppendPStr(out[n], home.name);
    out[n++] += ':';
    if (el.escape) {
        out[n].assign("escape, v\u221e = ");
        AppendSci(out[n], el.excessSpeed);
        out[n++] += " m/s";
    } else {
        Put(out[n++], "Semi-major axis = ", el.semiMajorAxis, 2048);
    }
    out[n].assign("e = ");
    AppendFixed(out[n], el.eccentricity, 4);
    out[n] += ", i = ";
    AppendFixed(out[n], el.inclination * kDegrees, 2);
    out[n++] += "\u00b0";
    Put(out[n++], "Pe alt = ", el.periapsis - home.radius, 2048);
    if (!el.escape) {
        Put(out[n++], "Ap alt = ", el.apoapsis - home.radius, 2048);
        Put(out[n++], "T = ", el.period, 2049);
    }
    if (std::isfinite(el.timeToPeriapsis)) Put(out[n++], "to Pe: ", el.timeToPeriapsis, 2049);
    return n;
}

void DrawOrbitalElementsLines(int32_t baseline) {
    const int32_t n = ComposeElementLines(BodyRTList(), rt.selectedBody, set, lines);
    for (int32_t k = 0; k < n; ++k) DrawTextAtBaseline(32, baseline + 15 * k, lines[k], 12);
}
