// The draw stage as it was with a comparison sort: every item with a depth in front of the
// eye becomes a node, std::sort orders the nodes, and every trail point goes through the pen.
// Kept as the benchmarks' baseline for the radix-sorted stage.
#pragma once
#include <algorithm>
#include <climits>
#include <cstring>

#include "render/BodyDecor.h"
#include "render/DrawStage.h"
#include "render/LabelPlacement.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"

namespace comparison_sort {

struct DrawNode {
    double rel[3];
    double depth;
    int32_t slice;
    int32_t body;
    RGBColor color;
};

// The whole stage, like DoDrawStage but without the arrow-scale adaptation and frame count.
inline void DrawStage(int32_t cx, int32_t cy) {
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
    const bool fits = want * itemSize <= INT32_MAX;
    if (fits) ScratchSpaceRequest(int32_t(want * itemSize));
    if (!fits || !rt.scratchPtr) {
        ScratchSpaceRequest(n * itemSize);
        trails = false;
    }
    rt.velArrowMeasure = rt.accArrowMeasure = -1.0;
    BeginLabelFrame(n);
    if (!rt.scratchPtr) return;
    const int32_t count = trails ? m * n : n;
    auto* nodes = reinterpret_cast<DrawNode*>(rt.scratchPtr);
    int32_t used = 0;
    const IJK& c = rt.cameraIJK;
    for (int32_t t = count - 1; t >= 0; --t) {
        const int32_t s = t / n, b = t % n;
        const double* pos;
        double radius;
        double trailPos[3];
        RGBColor color{};
        if (s >= 1) {
            auto* entry = static_cast<uint8_t*>(GetTrailRTList(rt.trailList, s));
            if (!entry) continue;
            int32_t snapCount;
            std::memcpy(&snapCount, entry, 4);
            if (b >= snapCount) continue;
            TrailPoint tp;
            std::memcpy(&tp, entry + 4 + size_t(b) * sizeof(TrailPoint), sizeof tp);
            trailPos[0] = tp.pos[0]; trailPos[1] = tp.pos[1]; trailPos[2] = tp.pos[2];
            pos = trailPos;
            radius = tp.radius;
            color = tp.color;
        } else {
            BodyRTStruct& body = list->body[b];
            if (body.statusFlags & kNotDrawnStatus) continue;
            if (body.statusFlags & kCameraRideStatus) { body.statusFlags &= ~kCameraRideStatus; continue; }
            pos = body.pos;
            radius = body.radius;
        }
        DrawNode node{{pos[0] - rt.eyePos[0], pos[1] - rt.eyePos[1], pos[2] - rt.eyePos[2]}, 0, s, b, color};
        node.depth = DotIJK(c.k, node.rel);
        if (!(node.depth < 0)) continue;
        if (!(node.rel[0] * node.rel[0] + node.rel[1] * node.rel[1] + node.rel[2] * node.rel[2] > radius * radius)) continue;
        nodes[used++] = node;
    }
    std::sort(nodes, nodes + used, [n](const DrawNode& a, const DrawNode& b) {
        if (a.depth != b.depth) return a.depth < b.depth;
        return int64_t(a.slice) * n + a.body > int64_t(b.slice) * n + b.body;
    });
    const bool stereo = set.displayFlags & kStereoOnFlag;
    const double eyeOffset = rt.focalLength ? set.eyeRadius * rt.eyeDistance / rt.focalLength : 0.0;
    for (int32_t k = 0; k < used; ++k) {
        const DrawNode& nd = nodes[k];
        if (nd.slice >= 1) {
            TrailPoint tp{};
            for (int a = 0; a < 3; ++a) tp.pos[a] = nd.rel[a] + rt.eyePos[a];
            tp.color = nd.color;
            if (stereo) PlotTrailPoint3DFinish(tp, cx, cy, set.eyeRadius, eyeOffset, nd.depth, nd.rel);
            else PlotTrailPointFinish(tp, cx, cy, nd.depth, nd.rel);
        } else {
            if (stereo)
                PlotBody3DFinish(list->body[nd.body], cx, cy, set.eyeRadius, eyeOffset, nd.depth, nd.rel, set.labelFlags);
            else
                PlotBodyFinish(list->body[nd.body], cx, cy, nd.depth, nd.rel, set.labelFlags);
        }
    }
    DrawQueuedLabels(*list);
}

}  // namespace comparison_sort
