#include "render/PredictedPath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/BodyDecor.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"

namespace {

constexpr int32_t kDrawnPathPoints = 2000;

// Where sample k is drawn: its offset from the reference body then, about that body now.
void PlacedSample(const PredictionResultStruct& r, int32_t k, const BodyRTListStruct& list, double out[3]) {
    const double* c = &r.craftPos[3 * size_t(k)];
    const double* ref = &r.referencePos[3 * size_t(k)];
    const bool moved = r.reference >= 0 && r.reference < list.count;
    for (int n = 0; n < 3; ++n) out[n] = moved ? c[n] - ref[n] + list.body[r.reference].pos[n] : c[n];
}

RGBColor Dimmed(RGBColor c) { return RGBColor{uint16_t(c.red / 2), uint16_t(c.green / 2), uint16_t(c.blue / 2)}; }

bool Project(const double p[3], int32_t cx, int32_t cy, int32_t& sx, int32_t& sy, double rel[3], double& depth) {
    const IJK& c = rt.cameraIJK;
    for (int n = 0; n < 3; ++n) rel[n] = p[n] - rt.eyePos[n];
    depth = DotIJK(c.k, rel);
    if (!(depth < 0)) return false;
    const double f = rt.focalLength / depth;
    sx = ScreenCoord(cx + 0.5 - DotIJK(c.i, rel) * f);
    sy = ScreenCoord(cy + 0.5 + DotIJK(c.j, rel) * f);
    return true;
}

void FormatDistance(char* out, int32_t size, double metres) {
    if (std::fabs(metres) < 1e9) std::snprintf(out, size_t(size), "%.0f km", metres / 1000.0);
    else std::snprintf(out, size_t(size), "%.3g km", metres / 1000.0);
}

void FormatAhead(char* out, int32_t size, double seconds) {
    if (seconds < 3600) std::snprintf(out, size_t(size), "T+%.0f min", seconds / 60);
    else if (seconds < 2 * 86400.0) std::snprintf(out, size_t(size), "T+%.1f h", seconds / 3600);
    else std::snprintf(out, size_t(size), "T+%.2f d", seconds / 86400);
}

void NameOf(const BodyRTListStruct& list, int32_t body, char* out, size_t size) {
    if (body < 0 || body >= list.count) {
        std::snprintf(out, size, "?");
        return;
    }
    const uint8_t* n = list.body[body].name;
    std::snprintf(out, size, "%.*s", int(n[0] > 31 ? 31 : n[0]), reinterpret_cast<const char*>(n + 1));
}
}  // namespace

bool PredictionMarkLabel(const PredictionResultStruct& r, const PredictionMarkStruct& m, const BodyRTListStruct& list,
                         char* out, int32_t size) {
    char a[48], b[40], name[40];
    FormatAhead(b, sizeof b, double(m.sample) * r.timeStep);
    switch (m.kind) {
        case PredictionMarkKind::kPeriapsis:
        case PredictionMarkKind::kApoapsis:
            FormatDistance(a, sizeof a, m.value);
            std::snprintf(out, size_t(size), "%s %s", m.kind == PredictionMarkKind::kPeriapsis ? "Pe" : "Ap", a);
            return true;
        case PredictionMarkKind::kBurn:
            std::snprintf(out, size_t(size), "Burn %+.1f m/s %s", m.value, b);
            return true;
        case PredictionMarkKind::kClosestApproach:
            NameOf(list, m.body, name, sizeof name);
            FormatDistance(a, sizeof a, m.value);
            std::snprintf(out, size_t(size), "%s %s %s", name, a, b);
            return true;
        case PredictionMarkKind::kCollision:
            NameOf(list, m.body, name, sizeof name);
            std::snprintf(out, size_t(size), "Hits %s %s", name, b);
            return true;
    }
    return false;
}

void DrawPredictedPath(const PredictionResultStruct& r, int32_t from, const BodyRTListStruct& list, int32_t cx,
                       int32_t cy) {
    if (r.craft < 0 || r.craft >= list.count || from < 0 || from >= r.samples) return;
    const RGBColor colour = Dimmed(list.body[r.craft].color);
    const bool stereo = set.displayFlags & kStereoOnFlag;
    const int32_t eyeRadius = DevicePixels(set.eyeRadius);
    const double eyeOffset = rt.focalLength ? eyeRadius * rt.eyeDistance / rt.focalLength : 0.0;
    RGBForeColor(colour);
    bool penDown = false;
    int32_t lastX = 0, lastY = 0;
    // At most kDrawnPathPoints points a frame: a long horizon winds round the same orbit,
    // and points a few pushes apart lie on the same line.
    const int32_t stride = std::max(1, (r.samples - from) / kDrawnPathPoints);
    for (int32_t k = from; k < r.samples; k = (k + stride < r.samples || k == r.samples - 1) ? k + stride : r.samples - 1) {
        double p[3], rel[3], depth;
        int32_t sx, sy;
        PlacedSample(r, k, list, p);
        if (!Project(p, cx, cy, sx, sy, rel, depth)) {
            penDown = false;
            continue;
        }
        if (stereo) {  // the stereo plotter sets its own colours per eye
            TrailPoint tp{};
            std::memcpy(tp.pos, p, sizeof tp.pos);
            tp.color = colour;
            PlotTrailPoint3DFinish(tp, cx, cy, eyeRadius, eyeOffset, depth, rel);
            continue;
        }
        if (penDown && sx == lastX && sy == lastY) continue;  // many pushes fall on one pixel
        if (penDown) LineTo(sx, sy);
        else MoveTo(sx, sy), Line(0, 0);
        penDown = true;
        lastX = sx, lastY = sy;
    }
}

void DrawPredictionMarks(const PredictionResultStruct& r, int32_t from, const BodyRTListStruct& list, int32_t cx,
                         int32_t cy) {
    if (r.craft < 0 || r.craft >= list.count) return;
    const int32_t half = DevicePixels(3);
    // In stereo each eye sees the mark and its label where it sees that point of the path, in
    // its own colour; the additive pen makes white where the two overlap.
    const bool stereo = set.displayFlags & kStereoOnFlag;
    const int32_t eyeRadius = DevicePixels(set.eyeRadius);
    const double eyeOffset = rt.focalLength ? eyeRadius * rt.eyeDistance / rt.focalLength : 0.0;
    const int16_t mode = CurrentPenMode();
    if (stereo) PenMode(kAddPinMode);
    // Of the apsides only the next of each kind: later turns would pile their labels on these.
    const int32_t nextPe = NextMark(r, PredictionMarkKind::kPeriapsis, from);
    const int32_t nextAp = NextMark(r, PredictionMarkKind::kApoapsis, from);
    for (size_t k = 0; k < r.marks.size(); ++k) {
        const PredictionMarkStruct& m = r.marks[k];
        if (m.sample < from || m.sample >= r.samples) continue;
        if (m.kind == PredictionMarkKind::kPeriapsis && int32_t(k) != nextPe) continue;
        if (m.kind == PredictionMarkKind::kApoapsis && int32_t(k) != nextAp) continue;
        double p[3], rel[3], depth;
        int32_t sx, sy;
        PlacedSample(r, m.sample, list, p);
        if (!Project(p, cx, cy, sx, sy, rel, depth)) continue;
        RGBColor colour{};
        switch (m.kind) {
            case PredictionMarkKind::kPeriapsis:
            case PredictionMarkKind::kApoapsis: colour = RGBColor{30000, 52000, 65535}; break;
            case PredictionMarkKind::kBurn: colour = RGBColor{65535, 52000, 0}; break;
            case PredictionMarkKind::kClosestApproach: colour = RGBColor{0, 65535, 30000}; break;
            case PredictionMarkKind::kCollision: colour = RGBColor{65535, 8000, 8000}; break;
        }
        Str255 line;
        char text[160];
        if (!PredictionMarkLabel(r, m, list, text, sizeof text)) continue;
        const size_t n = std::strlen(text);
        line[0] = uint8_t(n > 255 ? 255 : n);
        std::memcpy(line + 1, text, line[0]);
        // Marks close together on the path keep their labels apart: one row per kind.
        const int32_t row = m.kind == PredictionMarkKind::kBurn ? -1 : m.kind == PredictionMarkKind::kApoapsis ? 1
                            : m.kind == PredictionMarkKind::kClosestApproach ? 2 : m.kind == PredictionMarkKind::kCollision ? 3 : 0;
        int32_t xs[2] = {sx, sx};
        RGBColor colours[2] = {colour, colour};
        if (stereo) {
            StereoEyeXs(rel, depth, cx, cy, eyeRadius, eyeOffset, xs[0], xs[1]);
            colours[0] = rt.redEyeColor, colours[1] = rt.cyanEyeColor;
        }
        for (int eye = 0; eye < (stereo ? 2 : 1); ++eye) {
            const int32_t x = xs[eye];
            RGBForeColor(colours[eye]);
            const Rect box{int16_t(sy - half), int16_t(x - half), int16_t(sy + half + 1), int16_t(x + half + 1)};
            if (m.kind == PredictionMarkKind::kCollision) {
                MoveTo(x - half, sy - half), LineTo(x + half, sy + half);
                MoveTo(x - half, sy + half), LineTo(x + half, sy - half);
            } else if (m.kind == PredictionMarkKind::kBurn) FrameRect(box);
            else FrameOval(box);
            DrawLabelLines(&line, 1, x + half + 2, sy - LabelLinePixels() + 4 + row * LabelLinePixels());
        }
    }
    PenMode(mode);
}
