#include "windows/StatsWindowGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "render/Pen.h"
#include "windows/SideWindowPen.h"

namespace {

// y0 - w * P as a pixel row, kept within the graph (and sane for NaN).
int32_t BarEnd(int32_t y0, double w, double perUnit) {
    const double end = y0 - w * perUnit;
    if (std::isnan(end)) return y0;
    return int32_t(std::clamp(end, double(kGraphTop), double(kGraphBottom)));
}

void SpanBar(int32_t y0, double w, double perUnit, int32_t& top, int32_t& bottom) {
    const int32_t end = BarEnd(y0, w, perUnit);
    top = std::min(y0, end);
    bottom = std::max(y0, end);
}

void Tick(int32_t x0, int32_t y, int32_t label) {
    MoveTo(x0, y);
    LineTo(x0 + 27, y);
    char text[16];
    std::snprintf(text, sizeof text, "%d", label);
    DrawTextAtBaseline(x0 + 26, y - 1, text, 9, TextJustify::Right);
}

}  // namespace

double EnergyScale(double q) {
    const double k = std::trunc(std::log10(q) + 1.0);
    return std::pow(10.0, -k);
}

EnergyGraph LayOutEnergyGraph(double potential, double kinetic) {
    EnergyGraph g;
    g.kinetic = kinetic;
    g.potential = potential;
    g.total = potential + kinetic;
    double q = 1.0, perScale = 200.0;
    if (g.total > 0 && potential >= 0) {
        g.zero = ZeroLine::Bottom;
        g.zeroY = 239;
        q = g.total;
    } else if (g.total > 0) {
        g.zero = ZeroLine::Middle;
        g.zeroY = 139;
        q = std::max(g.total, -potential);
        perScale = 100.0;
    } else {
        g.zero = ZeroLine::Top;
        g.zeroY = kGraphTop;
        q = potential == 0 ? 1.0 : -potential;
    }
    // Energies that are not numbers (or overflow) give no scale and no bars.
    if (!(q > 0) || !std::isfinite(q)) return g;
    const double perUnit = perScale * EnergyScale(q);
    if (!std::isfinite(perUnit)) return g;
    g.pixelsPerUnit = perUnit;
    SpanBar(g.zeroY, potential, perUnit, g.potentialTop, g.potentialBottom);
    SpanBar(g.zeroY, g.total, perUnit, g.totalTop, g.totalBottom);
    return g;
}

void DrawEnergyGraph(const EnergyGraph& g, int32_t x0, const RGBColor& barColor) {
    const Rect frame = MakeRect(kGraphTop, x0, kGraphBottom, x0 + kGraphWidth);
    EraseRect(frame);
    RGBForeColor(kMidGrey);
    FrameRect(frame);
    switch (g.zero) {
        case ZeroLine::Top:
            for (int32_t n = 1; n <= 10; ++n) Tick(x0, 39 + 20 * n, -n);
            break;
        case ZeroLine::Bottom:
            for (int32_t n = 0; n <= 9; ++n) Tick(x0, 239 - 20 * n, n);
            break;
        case ZeroLine::Middle:
            for (int32_t n = 0; n <= 9; ++n) Tick(x0, 139 - 10 * n, n);
            for (int32_t n = 1; n <= 10; ++n) Tick(x0, 139 + 10 * n, -n);
            break;
    }
    RGBForeColor(kWhiteRGB);
    MoveTo(x0, g.zeroY);
    LineTo(x0 + 27, g.zeroY);
    RGBForeColor(barColor);
    PaintRect(MakeRect(g.potentialTop, x0 + 2, g.potentialBottom, x0 + 4));
    PaintRect(MakeRect(g.totalTop, x0 + 4, g.totalBottom, x0 + 12));
    PaintRect(MakeRect(g.potentialTop, x0 + 12, g.potentialBottom, x0 + 14));
    RGBForeColor(kWhiteRGB);
}
