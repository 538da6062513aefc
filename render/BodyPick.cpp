#include "render/BodyPick.h"

#include <cmath>

#include "render/Camera.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

namespace {
bool RiddenByCamera(int32_t index) {
    const int32_t mode = set.cameraMode;
    return mode >= 8 && mode <= 11 && index == set.cameraSelection;
}
}  // namespace

int32_t BodyUnderPoint(int32_t h, int32_t v, int32_t slopPixels) {
    const BodyRTListStruct* list = BodyRTList();
    if (!list) return -1;
    int32_t hit = -1, near = -1;
    double hitDepth = 0, nearGap = double(slopPixels) + 0.5;
    for (int32_t i = 0; i < list->count; ++i) {
        if (RiddenByCamera(i)) continue;
        const BodyRTStruct& b = list->body[i];
        Projected p;
        if (!ProjectPoint(b.pos, renderCX, renderCY, p)) continue;
        // As drawn: the smallest body size is in buffer pixels like the point picked.
        const double radius = 0.5 * double(DrawnDiameter(b.radius, p.f));
        const double gap = std::hypot(double(h) - p.sx, double(v) - p.sy) - radius;
        if (gap <= 0) {
            // depth is negative in front of the eye: the largest value is the nearest body.
            if (hit < 0 || p.depth > hitDepth) hit = i, hitDepth = p.depth;
        } else if (gap < nearGap) {
            near = i, nearGap = gap;
        }
    }
    return hit >= 0 ? hit : near;
}
