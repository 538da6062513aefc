#include "render/DrawStage.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "render/Camera.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"
#include "render/ThemeText.h"
#include "render/Trails.h"

namespace {

struct DrawNode {
    double rel[3];
    double depth;
    int32_t slice;
    int32_t body;
    int32_t nearer;
    int32_t farther;
};

// Prefixes of the value labels (string list 1034).
const char* const kValueLabelPrefixes[5] = {"v: ", "a: ", "KE: ", "PE: ", "E: "};

inline double Dot(const int32_t* v, const double* d) { return double(v[0]) * d[0] + double(v[1]) * d[1] + double(v[2]) * d[2]; }

bool ClipToBuffer(Rect& r) {
    if (r.top < renderGWRect.top) r.top = renderGWRect.top;
    if (r.left < renderGWRect.left) r.left = renderGWRect.left;
    if (r.bottom > renderGWRect.bottom) r.bottom = renderGWRect.bottom;
    if (r.right > renderGWRect.right) r.right = renderGWRect.right;
    return r.bottom > r.top && r.right > r.left;
}

void LineOfSightCorrect(IJK& F, const double* eIn) {
    double e[3] = {eIn[0], eIn[1], eIn[2]};
    double a[3] = {e[1], -e[0], 0};  // (0,0,-1) x e
    const double al2 = a[0] * a[0] + a[1] * a[1];
    if (!(al2 > 0)) return;
    const double al = std::sqrt(al2), el = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
    for (double& c : a) c /= al;
    for (double& c : e) c /= el;
    const double b[3] = {-a[1], a[0], 0};  // a x (0,0,-1)
    const double cosE = -e[2], sinE = b[0] * e[0] + b[1] * e[1] + b[2] * e[2];
    for (int32_t* v : {F.k, F.j, F.i}) {
        const double x = v[0], y = v[1], z = v[2];
        const double p = x * a[0] + y * a[1], q = x * b[0] + y * b[1];
        v[2] = int32_t(-(z * e[2] + q * sinE));
        const double t = cosE * q + sinE * z;
        v[1] = int32_t(t * b[1] + p * a[1]);
        v[0] = int32_t(t * b[0] + p * a[0]);
    }
}

void DrawLabelLine(int32_t right, int32_t baseline, const char* text) {
    uint8_t p[256];
    const size_t n = std::min<size_t>(std::strlen(text), 255);
    p[0] = uint8_t(n);
    std::memcpy(p + 1, text, n);
    MoveTo(right, baseline);
    DrawStringUsingThemeTextBox(p, Rect{int16_t(baseline - 14), int16_t(right), int16_t(baseline + 2), int16_t(right + 200)}, 3, 1);
}

void DrawLabels(const BodyRTStruct& b, int32_t right, int32_t top, uint32_t flags) {
    int32_t baseline = top + 16;
    char text[300];
    if (flags & 1) {
        std::snprintf(text, sizeof text, "%.*s", b.name[0], reinterpret_cast<const char*>(b.name + 1));
        DrawLabelLine(right, baseline, text);
        baseline += 16;
    }
    const double v2 = b.vel[0] * b.vel[0] + b.vel[1] * b.vel[1] + b.vel[2] * b.vel[2];
    const double a2 = b.acc[0] * b.acc[0] + b.acc[1] * b.acc[1] + b.acc[2] * b.acc[2];
    const double ke = 0.5 * b.mass * v2, pe = b.mass * b.potential;
    const double values[5] = {std::sqrt(v2), std::sqrt(a2), ke, pe, ke + pe};
    for (int n = 0; n < 5; ++n) {
        if (!(flags & (8u << n))) continue;
        std::snprintf(text, sizeof text, "%s%.4e", kValueLabelPrefixes[n], values[n]);
        DrawLabelLine(right, baseline, text);
        baseline += 16;
    }
}

void DrawArrow(const BodyRTStruct& b, const double* rel, double f, int32_t sx, int32_t sy, int32_t cx, int32_t cy,
               bool velocity) {
    const double* V = velocity ? b.vel : b.acc;
    const int32_t exponent = velocity ? rt.velArrowExponent : rt.accArrowExponent;
    double& measure = velocity ? rt.velArrowMeasure : rt.accArrowMeasure;
    const double scale = std::exp(exponent * std::log(10.0));
    const double s = scale * 65536 * f;
    const double cand = s * s * (V[0] * V[0] + V[1] * V[1] + V[2] * V[2]);
    if (cand > measure) measure = cand;
    double tip[3];
    for (int n = 0; n < 3; ++n) tip[n] = rel[n] + scale * V[n];
    const IJK& c = rt.cameraIJK;
    const double td = Dot(c.k, tip);
    if (!(td < 0)) return;
    const double f2 = rt.focalLength / td;
    const int32_t tx = int32_t(cx + 0.5 - Dot(c.i, tip) * f2), ty = int32_t(cy + 0.5 + Dot(c.j, tip) * f2);
    PenForeColor(velocity ? kRedColor : kYellowColor);
    MoveTo(sx, sy);
    LineTo(tx, ty);
    const double dx = tx - sx, dy = ty - sy, ac = rt.arrowCos, as = rt.arrowSin;
    Line(int32_t(dy * as - ac * dx), int32_t(-dx * as - ac * dy));
    MoveTo(tx, ty);
    Line(int32_t(-dy * as - ac * dx), int32_t(dx * as - ac * dy));
}

bool MappingOn() { return !(set.displayFlags & kSphereMappingOffFlag); }

}  // namespace

void PlotBodyFinish(BodyRTStruct& b, int32_t cx, int32_t cy, double depth, const double* rel, uint32_t labelFlags) {
    if (!(depth < 0)) return;
    const IJK& c = rt.cameraIJK;
    const double f = rt.focalLength / depth;
    const int32_t sx = int32_t(cx + 0.5 - Dot(c.i, rel) * f), sy = int32_t(cy + 0.5 + Dot(c.j, rel) * f);
    b.screenPos = Point{int16_t(sy), int16_t(sx)};
    uint32_t d = ApparentDiameter(b.radius, f);
    if (d < uint32_t(set.minPointSize)) d = uint32_t(set.minPointSize);
    const int32_t rad = int32_t(d >> 1);
    // Off the buffer altogether (and perhaps beyond 16-bit coordinates): nothing to draw.
    if (int64_t(sx) + rad < renderGWRect.left || int64_t(sx) - rad > renderGWRect.right ||
        int64_t(sy) + rad < renderGWRect.top || int64_t(sy) - rad > renderGWRect.bottom || rad > 30000)
        return;
    const Rect square{int16_t(sy - rad), int16_t(sx - rad), int16_t(int16_t(sy - rad) + int16_t(d)),
                      int16_t(int16_t(sx - rad) + int16_t(d))};
    RGBForeColor(b.color);
    Rect clipped = square;
    if (!ClipToBuffer(clipped)) return;
    Rect labelRect = square;
    if (b.spherePix && MappingOn() && d > 3) {
        IJK F;
        RelativeIJK(&F, &b.axes, &rt.cameraIJK);
        const double e[3] = {Dot(c.i, rel), Dot(c.j, rel), depth};
        LineOfSightCorrect(F, e);
        const int32_t* m = &F.i[0];
        Rect ring{};
        int32_t rr = 0;
        if (b.ringPix) {
            const int32_t dr = int32_t(2 * b.ringRadius * (-65536.0) * f + 0.5);
            rr = dr >> 1;
            ring = Rect{int16_t(sy - rr), int16_t(sx - rr), int16_t(sy - rr + dr), int16_t(sx - rr + dr)};
            ClipToBuffer(ring);
            DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, m, bAddrGWPM, rBytesGWPM, b.ringPix, 0);
        }
        DrawSphere(clipped, sx, sy, rad, m, bAddrGWPM, rBytesGWPM, b.spherePix, rt.sphereSqrtTable,
                   rt.sphereInvSqrtTable);
        if (b.ringPix) DrawRing(ring, rt.sphereSqrtTable, sx, sy, rad, rr, m, bAddrGWPM, rBytesGWPM, b.ringPix, 1);
        labelRect = clipped;
        RGBForeColor(b.color);
    } else {
        FrameOval(square);
    }
    if (labelFlags) {
        DrawLabels(b, labelRect.right, labelRect.top, labelFlags);
        if (labelFlags & 2) DrawArrow(b, rel, f, sx, sy, cx, cy, true);
        if (labelFlags & 4) DrawArrow(b, rel, f, sx, sy, cx, cy, false);
    }
}

void PlotTrailPointFinish(const TrailPoint& p, int32_t cx, int32_t cy, double depth, const double* rel) {
    if (!(depth < 0)) return;
    const IJK& c = rt.cameraIJK;
    const double f = rt.focalLength / depth;
    RGBForeColor(p.color);
    MoveTo(int32_t(cx + 0.5 - Dot(c.i, rel) * f), int32_t(cy + 0.5 + Dot(c.j, rel) * f));
    Line(0, 0);
}

void PlotBody(BodyRTStruct& b, int32_t cx, int32_t cy) {
    Projected pr;
    if (!ProjectPoint(b.pos, cx, cy, pr)) return;
    const double r2 = pr.rel[0] * pr.rel[0] + pr.rel[1] * pr.rel[1] + pr.rel[2] * pr.rel[2];
    if (!(r2 > b.radius * b.radius)) return;
    uint32_t d = ApparentDiameter(b.radius, pr.f);
    if (d < uint32_t(set.minPointSize)) d = uint32_t(set.minPointSize);
    const int32_t rad = int32_t(d >> 1);
    RGBForeColor(b.color);
    MoveTo(pr.sx, pr.sy);
    Line(0, 0);
    const Rect square{int16_t(pr.sy - rad), int16_t(pr.sx - rad), int16_t(pr.sy - rad + int32_t(d)),
                      int16_t(pr.sx - rad + int32_t(d))};
    if (b.spherePix && MappingOn() && d > uint32_t(set.minPointSize)) {
        IJK F;
        RelativeIJK(&F, &b.axes, &rt.cameraIJK);
        Rect clipped = square;
        if (ClipToBuffer(clipped))
            DrawSphere(clipped, pr.sx, pr.sy, rad, &F.i[0], bAddrGWPM, rBytesGWPM, b.spherePix, rt.sphereSqrtTable,
                       rt.sphereInvSqrtTable);
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
    const int32_t itemSize = int32_t(sizeof(DrawNode) + sizeof(int32_t));
    const int64_t want = trails ? int64_t(m + 1) * n : n;
    ScratchSpaceRequest(int32_t(want * itemSize));
    if (!rt.scratchPtr) {
        ScratchSpaceRequest(n * itemSize);
        trails = false;
    }
    HLock(rt.bodyRT);
    rt.velArrowMeasure = rt.accArrowMeasure = -1.0;
    if (!rt.scratchPtr) {
        for (int32_t b = n - 1; b >= 0; --b)
            if (!(list->body[b].statusFlags & kNotDrawnStatus)) PlotBody(list->body[b], cx, cy);
    } else {
        const int32_t count = trails ? m * n : n;
        auto* nodes = reinterpret_cast<DrawNode*>(rt.scratchPtr);
        auto* stack = reinterpret_cast<int32_t*>(rt.scratchPtr + sizeof(DrawNode) * size_t(trails ? (m + 1) * n : n));
        int32_t used = 0;
        const IJK& c = rt.cameraIJK;
        for (int32_t t = count - 1; t >= 0; --t) {
            const int32_t s = t / n, b = t % n;
            const double* pos;
            double radius;
            double trailPos[3];
            if (s >= 1) {
                auto* entry = static_cast<uint8_t*>(GetTrailRTList(rt.trailList, s));
                if (!entry) continue;
                int32_t snapCount;
                std::memcpy(&snapCount, entry, 4);
                if (b >= snapCount) continue;
                TrailPoint tp;  // snapshot records follow the count word unaligned
                std::memcpy(&tp, entry + 4 + size_t(b) * sizeof(TrailPoint), sizeof tp);
                trailPos[0] = tp.pos[0]; trailPos[1] = tp.pos[1]; trailPos[2] = tp.pos[2];
                pos = trailPos;
                radius = tp.radius;
            } else {
                BodyRTStruct& body = list->body[b];
                if (body.statusFlags & kNotDrawnStatus) continue;
                if (body.statusFlags & kCameraRideStatus) { body.statusFlags &= ~kCameraRideStatus; continue; }
                pos = body.pos;
                radius = body.radius;
            }
            DrawNode node{{pos[0] - rt.eyePos[0], pos[1] - rt.eyePos[1], pos[2] - rt.eyePos[2]}, 0, s, b, 0, 0};
            node.depth = Dot(c.k, node.rel);
            if (!(node.depth < 0)) continue;
            if (!(node.rel[0] * node.rel[0] + node.rel[1] * node.rel[1] + node.rel[2] * node.rel[2] > radius * radius)) continue;
            nodes[used] = node;
            if (used > 0) {
                int32_t at = 0;
                for (;;) {
                    int32_t& child = nodes[at].depth > node.depth ? nodes[at].farther : nodes[at].nearer;
                    if (!child) { child = used; break; }
                    at = child;
                }
            }
            ++used;
        }
        const bool stereo = set.displayFlags & kStereoOnFlag;
        const double eyeOffset = rt.focalLength ? set.eyeRadius * rt.eyeDistance / rt.focalLength : 0.0;
        // In-order walk: farther subtree, node, nearer subtree.
        int32_t sp = 0, at = used ? 0 : -1;
        while (at >= 0 || sp > 0) {
            while (at >= 0) {
                stack[sp++] = at;
                at = nodes[at].farther ? nodes[at].farther : -1;
            }
            const DrawNode& nd = nodes[stack[--sp]];
            if (nd.slice >= 1) {
                auto* entry = static_cast<uint8_t*>(GetTrailRTList(rt.trailList, nd.slice));
                if (entry) {
                    TrailPoint tp;
                    std::memcpy(&tp, entry + 4 + size_t(nd.body) * sizeof(TrailPoint), sizeof tp);
                    if (stereo) PlotTrailPoint3DFinish(tp, cx, cy, set.eyeRadius, eyeOffset, nd.depth, nd.rel);
                    else PlotTrailPointFinish(tp, cx, cy, nd.depth, nd.rel);
                }
            } else {
                if (stereo)
                    PlotBody3DFinish(list->body[nd.body], cx, cy, set.eyeRadius, eyeOffset, nd.depth, nd.rel, set.labelFlags);
                else
                    PlotBodyFinish(list->body[nd.body], cx, cy, nd.depth, nd.rel, set.labelFlags);
            }
            at = nd.nearer ? nd.nearer : -1;
        }
        DisposeScratchSpace();
    }
    const int32_t r2 = cx * cx + cy * cy;
    AdaptArrowExponent(rt.velArrowMeasure, rt.velArrowExponent, r2, false);
    AdaptArrowExponent(rt.accArrowMeasure, rt.accArrowExponent, r2, true);
    ++rt.framesDrawn;
    HUnlock(rt.bodyRT);
}
