#include "render/DrawStage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "imagery/Rings.h"
#include "imagery/ShadedDisc.h"
#include "imagery/SoftLimb.h"
#include "imagery/SpherePix.h"
#include "render/BodyDecor.h"
#include "render/Camera.h"
#include "render/DepthSort.h"
#include "render/IJK.h"
#include "render/LabelPlacement.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"

namespace {

struct DrawNode {
    double rel[3];
    double depth;
    int32_t slice;  // 0: the body itself, s >= 1: trail entry s
    int32_t body;
    RGBColor color;  // of a trail point, so drawing need not go back to the trail ring
};

inline double Dot(const int32_t* v, const double* d) { return DotIJK(v, d); }

void DrawMonoArrow(const BodyRTStruct& b, const double* rel, double f, int32_t sx, int32_t sy, int32_t cx, int32_t cy,
                   bool velocity) {
    double tip[3];
    if (!ArrowTip(b, rel, f, velocity, tip)) return;
    const IJK& c = rt.cameraIJK;
    const double f2 = rt.focalLength / Dot(c.k, tip);
    PenForeColor(velocity ? kRedColor : kYellowColor);
    DrawArrowLine(sx, sy, cx + 0.5 - Dot(c.i, tip) * f2, cy + 0.5 + Dot(c.j, tip) * f2);
}

// Particles carry no labels or arrows: ten thousand of them would bury the bodies.
uint32_t BodyLabelFlags(const BodyRTStruct& b) { return IsDrawnAsPoint(b) ? 0 : set.labelFlags; }

bool MappingOn() { return !(set.displayFlags & kSphereMappingOffFlag); }

}  // namespace

void PlotBodyFinish(BodyRTStruct& b, int32_t cx, int32_t cy, double depth, const double* rel, uint32_t labelFlags) {
    if (!(depth < 0)) return;
    const IJK& c = rt.cameraIJK;
    const double f = rt.focalLength / depth;
    const int32_t sx = ScreenCoord(cx + 0.5 - Dot(c.i, rel) * f), sy = ScreenCoord(cy + 0.5 + Dot(c.j, rel) * f);
    b.screenPos = ScreenPoint(sx, sy);
    const uint32_t d = DrawnDiameter(b.radius, f);
    const int32_t rad = int32_t(d >> 1);
    Rect square;
    if (!BodySquare(sx, sy, d, square)) return;
    RGBForeColor(b.color);
    Rect clipped = square;
    if (!ClipToBuffer(clipped)) return;
    Rect labelRect = square;
    const bool painted = d > TinyBodyPixels();  // a disc, not an outline
    if (b.spherePix && MappingOn() && d > TinyBodyPixels()) {
        IJK F;
        RelativeIJK(&F, &b.axes, &rt.cameraIJK);
        const double e[3] = {Dot(c.i, rel), Dot(c.j, rel), depth};
        LineOfSightCorrect(F, e);
        const int32_t* m = &F.i[0];
        Rect ring{};
        int32_t rr = 0;
        if (b.ringPix) {
            const int32_t dr = ScreenCoord(2 * b.ringRadius * (-65536.0) * f + 0.5);
            rr = dr >> 1;
            if (!BodySquare(sx, sy, uint32_t(std::max(dr, 0)), ring) || !ClipToBuffer(ring)) ring = Rect{};
            DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, m, bAddrGWPM, rBytesGWPM, b.ringPix, 0);
        }
        DrawSphereSoftLimb(clipped, sx, sy, rad, m, bAddrGWPM, rBytesGWPM, b.spherePix, rt.sphereSqrtTable,
                           rt.sphereInvSqrtTable);
        if (b.ringPix) DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, m, bAddrGWPM, rBytesGWPM, b.ringPix, 1);
        labelRect = clipped;
        RGBForeColor(b.color);
    } else if (d > TinyBodyPixels()) {
        DrawShadedDisc(clipped, sx, sy, rad, BodyPixel(b), bAddrGWPM, rBytesGWPM, rt.sphereSqrtTable);
        labelRect = clipped;
    } else {
        FrameOval(square);
    }
    if (labelFlags) {
        if (labelFlags & kTextLabelBits)
            QueueBodyLabel(LabelRequest{int32_t(&b - BodyRTList()->body), labelFlags, 1, {labelRect, Rect{}},
                                        {b.color, RGBColor{}}, false, {sx, sx}, sy, painted ? rad : 0});
        if (labelFlags & 2) DrawMonoArrow(b, rel, f, sx, sy, cx, cy, true);
        if (labelFlags & 4) DrawMonoArrow(b, rel, f, sx, sy, cx, cy, false);
    }
}

void PlotTrailPointFinish(const TrailPoint& p, int32_t cx, int32_t cy, double depth, const double* rel) {
    if (!(depth < 0)) return;
    const IJK& c = rt.cameraIJK;
    const double f = rt.focalLength / depth;
    RGBForeColor(p.color);
    MoveTo(ScreenCoord(cx + 0.5 - Dot(c.i, rel) * f), ScreenCoord(cy + 0.5 + Dot(c.j, rel) * f));
    Line(0, 0);
}

void PlotBody(BodyRTStruct& b, int32_t cx, int32_t cy) {
    Projected pr;
    if (!ProjectPoint(b.pos, cx, cy, pr)) return;
    const double r2 = pr.rel[0] * pr.rel[0] + pr.rel[1] * pr.rel[1] + pr.rel[2] * pr.rel[2];
    if (!(r2 > b.radius * b.radius)) return;
    const uint32_t d = DrawnDiameter(b.radius, pr.f);
    const int32_t rad = int32_t(d >> 1);
    RGBForeColor(b.color);
    MoveTo(pr.sx, pr.sy);
    Line(0, 0);
    Rect square;
    if (!BodySquare(pr.sx, pr.sy, d, square)) return;
    if (b.spherePix && MappingOn() && d > MinPointPixels()) {
        IJK F;
        RelativeIJK(&F, &b.axes, &rt.cameraIJK);
        Rect clipped = square;
        if (ClipToBuffer(clipped))
            DrawSphere(clipped, pr.sx, pr.sy, rad, &F.i[0], bAddrGWPM, rBytesGWPM, b.spherePix, rt.sphereSqrtTable,
                       rt.sphereInvSqrtTable);
    } else if (d > TinyBodyPixels()) {
        Rect clipped = square;
        if (ClipToBuffer(clipped))
            DrawShadedDisc(clipped, pr.sx, pr.sy, rad, BodyPixel(b), bAddrGWPM, rBytesGWPM, rt.sphereSqrtTable);
    } else {
        FrameOval(square);
    }
}

namespace {

void AdaptArrowExponent(double measure, int32_t& exponent, int32_t r2, bool acceleration) {
    if (!(measure >= 0)) return;
    if (measure > 100.0 * r2) exponent = int32_t(exponent - 0.5 * (std::log10(measure) - std::log10(double(r2))));
    else if (measure > r2) exponent -= 1;
    else if (int64_t(r2) > 5000 * int64_t(measure) && (!acceleration || rt.pushCount > 2)) exponent += 1;
}

}  // namespace

void DoDrawStage(int32_t cx, int32_t cy) {
    BodyRTListStruct* list = BodyRTList();
    if (!list || !renderGW) return;
    PenSetTarget(RenderSurface());
    const int32_t n = list->count;
    bool trails = set.trailLength != 0;
    int32_t m = 0;
    if (trails) {
        m = GetRTListAlloc(rt.trailList);
        if (set.trailLength < m) m = set.trailLength;
    }
    // Per item a node and two sort entries (the radix sort moves between them), plus the digit counts.
    const int64_t itemSize = int64_t(sizeof(DrawNode) + 2 * sizeof(DepthSortItem));
    const int32_t trailed = std::min(n, TrailedBodyCount(list));
    const int64_t want = trails ? int64_t(m) * trailed + n : n;
    // A size beyond 32 bits would wrap into a block too small for the items: trails off instead
    // (the block kept from an earlier frame is no proof of room either).
    const bool fits = want * itemSize + kDepthSortHistogramBytes <= INT32_MAX;
    if (fits) ScratchSpaceRequest(int32_t(want * itemSize + kDepthSortHistogramBytes));
    if (!fits || !rt.scratchPtr) {
        ScratchSpaceRequest(int32_t(n * itemSize + kDepthSortHistogramBytes));
        trails = false;
    }
    HLock(rt.bodyRT);
    rt.velArrowMeasure = rt.accArrowMeasure = -1.0;
    BeginLabelFrame(n);
    if (!rt.scratchPtr) {
        for (int32_t b = n - 1; b >= 0; --b)
            if (!(list->body[b].statusFlags & kNotDrawnStatus)) PlotBody(list->body[b], cx, cy);
    } else {
        const int32_t slices = trails ? m : 1;
        const int64_t capacity = trails ? int64_t(m) * trailed + n : n;
        auto* nodes = reinterpret_cast<DrawNode*>(rt.scratchPtr);
        auto* items = reinterpret_cast<DepthSortItem*>(nodes + capacity);
        auto* spare = items + capacity;
        auto* histograms = reinterpret_cast<uint32_t*>(spare + capacity);
        const bool stereo = set.displayFlags & kStereoOnFlag;
        const int32_t eyeRadius = DevicePixels(set.eyeRadius);  // the eyes' screen shift keeps its size
        const double eyeOffset = rt.focalLength ? eyeRadius * rt.eyeDistance / rt.focalLength : 0.0;
        // Mono trail points are finished here: projected once, dropped when off the buffer, and
        // carried through the sort as a ready pixel. The pen is in copy mode outside stereo;
        // a wide pen (HiDPI) draws its squares the usual way.
        const bool pixelTrails = !stereo && CurrentPenMode() == kPatCopyMode && CurrentPenWidth() == 1;
        const int32_t width = renderGWRect.right - renderGWRect.left, height = renderGWRect.bottom - renderGWRect.top;
        const int32_t rowPixels = rBytesGWPM / 4;
        int32_t used = 0, nodeCount = 0;
        const IJK& c = rt.cameraIJK;
        // Items in falling item number (slice x n + body), the order ties keep through the sort.
        for (int32_t s = slices - 1; s >= 0; --s) {
            const uint8_t* entry = nullptr;
            int32_t snapCount = 0;
            if (s >= 1) {
                entry = static_cast<const uint8_t*>(GetTrailRTList(rt.trailList, s));
                if (!entry) continue;
                std::memcpy(&snapCount, entry, 4);
            }
            TrailPoint tp{};
            for (int32_t b = (s >= 1 ? std::min({n, snapCount, trailed}) : n) - 1; b >= 0; --b) {
                const double* pos;
                double radius;
                const bool particle = IsDrawnAsPoint(list->body[b]);
                if (s >= 1) {
                    if (particle) continue;
                    // snapshot records follow the count word unaligned
                    std::memcpy(&tp, entry + 4 + size_t(b) * sizeof(TrailPoint), sizeof tp);
                    pos = tp.pos;
                    radius = tp.radius;
                } else {
                    BodyRTStruct& body = list->body[b];
                    if (body.statusFlags & kNotDrawnStatus) continue;
                    if (body.statusFlags & kCameraRideStatus) { body.statusFlags &= ~kCameraRideStatus; continue; }
                    pos = body.pos;
                    radius = body.radius;
                }
                const double rel[3] = {pos[0] - rt.eyePos[0], pos[1] - rt.eyePos[1], pos[2] - rt.eyePos[2]};
                const double depth = Dot(c.k, rel);
                if (!(depth < 0)) continue;
                if (!(rel[0] * rel[0] + rel[1] * rel[1] + rel[2] * rel[2] > radius * radius)) continue;
                if ((s >= 1 || particle) && pixelTrails) {  // a trail point or a particle: one pixel
                    if (s == 0) tp.color = list->body[b].color;
                    const double f = rt.focalLength / depth;
                    const int32_t sx = ScreenCoord(cx + 0.5 - Dot(c.i, rel) * f);
                    const int32_t sy = ScreenCoord(cy + 0.5 + Dot(c.j, rel) * f);
                    if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
                    items[used++] = DepthSortItem{DepthSortKey(depth), uint32_t(sy * rowPixels + sx), PenPixel(tp.color)};
                    continue;
                }
                nodes[nodeCount] = DrawNode{{rel[0], rel[1], rel[2]}, depth, s, b, s >= 1 ? tp.color : RGBColor{}};
                items[used++] = DepthSortItem{DepthSortKey(depth), uint32_t(nodeCount++), kNodeItem};
            }
        }
        // Farthest first; among equal depths the item collected later (smaller item number) is
        // drawn later, on top: the in-order walk of a depth tree, without its quadratic cost
        // when many items share one depth (orbits seen face-on).
        const DepthSortItem* sorted = SortByDepthKey(items, spare, used, histograms);
        auto* pixels = reinterpret_cast<uint32_t*>(bAddrGWPM);
        for (int32_t k = 0; k < used; ++k) {
            const DepthSortItem& item = sorted[k];
            if (item.pixel != kNodeItem) {
                pixels[item.where] = item.pixel;
                continue;
            }
            const DrawNode& nd = nodes[item.where];
            if (nd.slice >= 1) {
                TrailPoint tp{};
                for (int a = 0; a < 3; ++a) tp.pos[a] = nd.rel[a] + rt.eyePos[a];
                tp.color = nd.color;
                if (stereo) PlotTrailPoint3DFinish(tp, cx, cy, eyeRadius, eyeOffset, nd.depth, nd.rel);
                else PlotTrailPointFinish(tp, cx, cy, nd.depth, nd.rel);
            } else {
                if (stereo)
                    PlotBody3DFinish(list->body[nd.body], cx, cy, eyeRadius, eyeOffset, nd.depth, nd.rel, BodyLabelFlags(list->body[nd.body]));
                else
                    PlotBodyFinish(list->body[nd.body], cx, cy, nd.depth, nd.rel, BodyLabelFlags(list->body[nd.body]));
            }
        }
        // Labels go on top of every body, the nearest bodies' first.
        DrawQueuedLabels(*list);
        // The block stays for the next frame, so frames do not allocate; it is released when the
        // body list changes and at shut-down.
    }
    const int32_t r2 = cx * cx + cy * cy;
    AdaptArrowExponent(rt.velArrowMeasure, rt.velArrowExponent, r2, false);
    AdaptArrowExponent(rt.accArrowMeasure, rt.accArrowExponent, r2, true);
    ++rt.framesDrawn;
    HUnlock(rt.bodyRT);
}
