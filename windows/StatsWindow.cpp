#include "windows/StatsWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/Dates.h"
#include "core/Epoch.h"
#include "core/PushBudget.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "render/Pen.h"
#include "windows/SideWindowPen.h"
#include "windows/StatsWindowCraft.h"
#include "windows/StatsWindowElements.h"
#include "windows/StatsWindowGraph.h"
#include "windows/WisdomHolmanNote.h"

namespace {

constexpr int16_t kStatsTexts = 1033;
constexpr int32_t kTextLeft = 32;

// Drawn after every frame: the lines are built in buffers that keep their room.
std::string line, secondLine;

void Append(int16_t item) {
    Str255 text;
    GetIndString(text, kStatsTexts, item);
    AppendPStr(line, text);
}

void AppendWhole(double value) {
    char buf[400];
    const int n = std::snprintf(buf, sizeof buf, "%.0f", value);
    if (n > 0) line.append(buf, size_t(std::min<int>(n, int(sizeof buf) - 1)));
}

void AppendFixed(double value, int16_t digits) {
    Str255 text;
    MyRealFixed2String(&value, text, digits);
    AppendPStr(line, text);
}

void AppendSci(double value) {
    Str255 text;
    MyRealToSciNotString(value, text);
    AppendPStr(line, text);
}

void DrawTimeLine(const PixelSurface& s, double t) {
    EraseRect(MakeRect(0, 1, 15, s.width));
    line.clear();
    Append(1);
    AppendElapsedTime(line, t);
    DrawTextAtBaseline(1, 12, line, 12);
}

void DrawPushLine(const PixelSurface& s, int64_t pushes) {
    EraseRect(MakeRect(13, 5, 28, s.width));
    line.clear();
    Append(11);
    AppendWhole(double(pushes));
    Append(12);
    // How fast the simulation runs now: a large batch spreads over several frames.
    if (const double rate = PushesPerSecond(); rate > 0) {
        line.append(", ");
        AppendSci(rate);
        line.append("/s");
    }
    // The adaptive method's cost shows as its substeps per push.
    if (set.pushMethod == kPushGaussRadau && pushes > 0 && rt.substepsLastPush > 0) {
        Append(13);
        AppendWhole(rt.substepsLastPush);
        Append(rt.substepsLastPush == 1 ? 14 : 15);
    }
    DrawTextAtBaseline(5, 25, line, 12);
}

// Unit texts of the value lines (list 1033): SI, per unit mass for the energies.
constexpr int16_t kSpeedUnit = 16, kAccelerationUnit = 17, kSpecificEnergyUnit = 18;

void DrawValueLine(int32_t baseline, int16_t item, double value, bool fixed, int16_t unit) {
    line.clear();
    Append(item);
    // Whole units while they read as a number; beyond that, as beyond the finite, in powers of ten.
    if (fixed && std::fabs(value) < 1e15) AppendFixed(value, 0);
    else AppendSci(value);
    Append(unit);
    DrawTextAtBaseline(kTextLeft, baseline, line, 12);
}

// The calendar date of the present state, when the universe has one, and its distance from J2000.
void DrawDateLines(int32_t baseline) {
    const double t = epoch.tdbSeconds + rt.simTime;
    char buf[96];
    if (FormatTdbDate(t, buf, sizeof buf) == 0) return;
    line.assign(buf);
    DrawTextAtBaseline(kTextLeft, baseline, line, 12);
    const int n = std::snprintf(buf, sizeof buf, "J2000 %s %.3f d", t < 0 ? "\u2212" : "+", std::fabs(t) / kSecondsPerDay);
    if (n <= 0) return;
    line.assign(buf, size_t(std::min<int>(n, int(sizeof buf) - 1)));
    DrawTextAtBaseline(kTextLeft, baseline + 16, line, 12);
}

// Without overflow for components beyond 1e154, which a run can reach before it stops.
double Length(const double v[3]) { return std::hypot(v[0], v[1], v[2]); }

}  // namespace

void RedrawStatsWindow() {
    const PixelSurface s = MainWindow().WindowSurface(kStatsWindowId);
    if (!s.base || s.width <= 0 || s.height <= 0) return;
    PenOnSurface pen(s);
    // The surface keeps no old content worth showing: start from black.
    EraseRect(MakeRect(0, 0, s.height, s.width));

    DrawTimeLine(s, rt.simTime);
    DrawPushLine(s, rt.pushCount);

    const BodyRTListStruct* list = BodyRTList();
    if (!list || rt.selectedBody < 0 || rt.selectedBody >= list->count) {
        EraseRect(MakeRect(39, 0, s.height, s.width));
    } else {
        const BodyRTStruct& b = list->body[rt.selectedBody];
        const double v = Length(b.lastVel), a = Length(b.acc);
        const EnergyGraph graph = LayOutEnergyGraph(b.potential, 0.5 * v * v);
        DrawEnergyGraph(graph, 0, b.color);
        EraseRect(MakeRect(39, kTextLeft, s.height, s.width));
        DrawValueLine(51, 6, v, true, kSpeedUnit);
        DrawValueLine(67, 7, a, false, kAccelerationUnit);
        DrawValueLine(83, 8, graph.kinetic, false, kSpecificEnergyUnit);
        DrawValueLine(99, 9, graph.potential, false, kSpecificEnergyUnit);
        DrawValueLine(115, 10, graph.total, false, kSpecificEnergyUnit);
    }
    // Below the values, each section that applies, one after the other.
    int32_t y = DrawMotionLines(131, kTextLeft) + 8;
    if (epoch.known) {
        DrawDateLines(y);
        y += 40;
    }
    if (WisdomHolmanNote(line, secondLine)) {
        DrawTextAtBaseline(kTextLeft, y, line, 12);
        DrawTextAtBaseline(kTextLeft, y + 16, secondLine, 12);
        y += 40;
    }
    DrawOrbitalElementsLines(y + 16);

    MainWindow().PresentWindow(kStatsWindowId);
}
