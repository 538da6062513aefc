#include "tools/gravitas-sim/BeltHistogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "io/FileAccess.h"
#include "platform/Platform.h"
#include "render/Pen.h"
#include "sim/BeltElements.h"
#include "sim/PairPass.h"
#include "windows/SideWindowPen.h"

namespace {
constexpr double kMetresPerAu = 1.495978707e11;  // IAU 2012 Resolution B2
constexpr double kSecondsPerYear = 365.25 * 86400.0;

// The Kirkwood gaps: mean-motion resonances with Jupiter and their places in the asteroid belt
// (Murray & Dermott 1999, Solar System Dynamics, sect. 9.1 and fig. 1.5).
struct Resonance {
    const char* name;
    double au;
};
constexpr Resonance kJupiterResonances[] = {{"3:1", 2.50}, {"5:2", 2.82}, {"7:3", 2.95}, {"2:1", 3.28}};
}  // namespace

BeltHistogram CountSemiMajorAxes(const BodyRTListStruct* list, int32_t bins, double lowAu, double highAu) {
    BeltHistogram h;
    h.counts.assign(size_t(std::max(bins, 1)), 0);
    const int32_t sun = HeaviestLiveBody(list);
    if (sun < 0) return h;
    const BodyRTStruct& s = list->body[sun];
    const double gm = set.gravConstant * s.mass;
    std::vector<double> axes;
    for (int32_t i = 0; i < list->count; ++i) {
        const BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b) || !IsTestParticle(b)) continue;
        ++h.particles;
        const double r[3] = {b.pos[0] - s.pos[0], b.pos[1] - s.pos[1], b.pos[2] - s.pos[2]};
        const double v[3] = {b.vel[0] - s.vel[0], b.vel[1] - s.vel[1], b.vel[2] - s.vel[2]};
        const double a = OsculatingSemiMajorAxis(r, v, gm) / kMetresPerAu;
        if (a > 0 && std::isfinite(a)) axes.push_back(a);
    }
    if (!(lowAu < highAu) && !axes.empty()) {
        const auto [lo, hi] = std::minmax_element(axes.begin(), axes.end());
        lowAu = std::floor(*lo * 10) / 10, highAu = std::ceil(*hi * 10) / 10;
        if (!(lowAu < highAu)) highAu = lowAu + 0.1;
    }
    h.lowAu = lowAu, h.highAu = highAu;
    h.outside = h.particles - int32_t(axes.size());
    const double width = (highAu - lowAu) / double(h.counts.size());
    for (double a : axes) {
        const double k = std::floor((a - lowAu) / width);
        if (k >= 0 && k < double(h.counts.size())) ++h.counts[size_t(k)];
        else ++h.outside;
    }
    return h;
}

std::string HistogramCsv(const BeltHistogram& h) {
    std::string out = "low_au,high_au,particles\n";
    const double width = (h.highAu - h.lowAu) / double(h.counts.size());
    char line[96];
    for (size_t k = 0; k < h.counts.size(); ++k) {
        std::snprintf(line, sizeof line, "%.6f,%.6f,%d\n", h.lowAu + width * double(k), h.lowAu + width * double(k + 1),
                      h.counts[k]);
        out += line;
    }
    return out;
}

void DrawHistogram(const BeltHistogram& h, double years, uint32_t* pixels, int32_t width, int32_t height) {
    std::fill(pixels, pixels + size_t(width) * size_t(height), 0x00FFFFFFu);
    PenSetTarget(PixelSurface{pixels, width * 4, width, height});
    const int32_t left = 60, right = width - 20, top = 40, bottom = height - 50;
    const int32_t most = std::max(1, *std::max_element(h.counts.begin(), h.counts.end()));
    const double span = h.highAu - h.lowAu;
    auto xOf = [&](double au) { return left + int32_t(std::lround((au - h.lowAu) / span * (right - left))); };
    RGBForeColor(RGBColor{0x4000, 0x6000, 0xA000});
    for (size_t k = 0; k < h.counts.size(); ++k) {
        const int32_t x0 = xOf(h.lowAu + span * double(k) / double(h.counts.size()));
        const int32_t x1 = std::max(x0 + 1, xOf(h.lowAu + span * double(k + 1) / double(h.counts.size())));
        const int32_t y = bottom - int32_t(std::lround(double(h.counts[k]) / most * (bottom - top)));
        PaintRect(MakeRect(y, x0, bottom, x1));
    }
    RGBForeColor(RGBColor{0xD000, 0, 0});
    for (const Resonance& r : kJupiterResonances) {
        if (r.au < h.lowAu || r.au >= h.highAu) continue;
        MoveTo(xOf(r.au), top - 4);
        LineTo(xOf(r.au), bottom);
        DrawTextAtBaseline(xOf(r.au), top - 8, r.name, 12, TextJustify::Center);
    }
    RGBForeColor(kBlackRGB);
    MoveTo(left, top), LineTo(left, bottom), LineTo(right, bottom);
    const double tick = span > 2.0 ? 0.5 : span > 0.6 ? 0.1 : 0.05;
    for (double au = std::ceil(h.lowAu / tick - 1e-9) * tick; au <= h.highAu + 1e-9; au += tick) {
        MoveTo(xOf(au), bottom), LineTo(xOf(au), bottom + 4);
        char label[32];
        std::snprintf(label, sizeof label, "%.2f", au);
        DrawTextAtBaseline(xOf(au), bottom + 16, label, 9, TextJustify::Center);
    }
    for (int32_t step = 0; step <= 4; ++step) {
        const int32_t y = bottom - (bottom - top) * step / 4;
        MoveTo(left - 4, y), LineTo(left, y);
        DrawTextAtBaseline(left - 6, y + 4, std::to_string(most * step / 4), 9, TextJustify::Right);
    }
    char caption[160];
    std::snprintf(caption, sizeof caption, "Semi-major axis (au) of %d particles after %.0f years (%d unbound or outside the range)",
                  h.particles, years, h.outside);
    PenDrawText(MakeRect(height - 28, left, height - 8, right), caption, kViewsFont, TextJustify::Center);
    DrawTextAtBaseline(left, 18, "Particles per bin; red: resonances with Jupiter", 12);
}

bool WriteHistogramFiles(const std::string& path, int32_t bins, double lowAu, double highAu, std::string& error) {
    const BeltHistogram h = CountSemiMajorAxes(BodyRTList(), bins, lowAu, highAu);
    if (h.particles == 0) {
        error = "--histogram: there are no test particles (bodies of mass 0)";
        return false;
    }
    const std::string csv = HistogramCsv(h);
    std::string why;
    if (!ReplaceFileContents(path, reinterpret_cast<const uint8_t*>(csv.data()), csv.size(), why)) {
        error = "cannot write " + path + ": " + why;
        return false;
    }
    constexpr int32_t kWidth = 960, kHeight = 540;
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    DrawHistogram(h, rt.simTime / kSecondsPerYear, pixels.data(), kWidth, kHeight);
    const PictureBytes png = Platform().EncodePicture(PixelSurface{pixels.data(), kWidth * 4, kWidth, kHeight});
    const std::string pngPath = std::filesystem::path(path).replace_extension(".png").string();
    if (png.empty() || !ReplaceFileContents(pngPath, png.data(), png.size(), why)) {
        error = "cannot write " + pngPath + ": " + (png.empty() ? std::string("the chart could not be encoded") : why);
        return false;
    }
    return true;
}
