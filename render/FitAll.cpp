#include "render/FitAll.h"

#include <algorithm>
#include <cmath>

#include "render/Camera.h"
#include "render/RenderBuffer.h"

double EyeDistanceShowingAll(const double target[3]) {
    const BodyRTListStruct* list = BodyRTList();
    if (!list || list->count <= 0 || !(rt.focalLength > 0)) return 0;
    const IJK& c = rt.cameraIJK;
    const double tanX = 0.9 * (renderGWRect.right - renderGWRect.left) * 0.5 / rt.focalLength;
    const double tanY = 0.9 * (renderGWRect.bottom - renderGWRect.top) * 0.5 / rt.focalLength;
    if (!(tanX > 0 && tanY > 0)) return 0;
    double distance = 0;
    for (int32_t n = 0; n < list->count; ++n) {
        const BodyRTStruct& b = list->body[n];
        if (b.statusFlags & kNotDrawnStatus) continue;
        double rel[3];
        for (int a = 0; a < 3; ++a) rel[a] = b.pos[a] - target[a];
        auto along = [&](const int32_t* v) { return (v[0] * rel[0] + v[1] * rel[1] + v[2] * rel[2]) / 65536.0; };
        const double r = std::max(b.radius, 0.0), toward = along(c.k);
        // In front by its radius at least, and its disc within the view both ways.
        const double need = toward + std::max({(std::fabs(along(c.i)) + r) / tanX, (std::fabs(along(c.j)) + r) / tanY, 2 * r});
        if (std::isfinite(need)) distance = std::max(distance, need);
    }
    return distance;
}

void CameraLookTarget(double target[3]) {
    target[0] = target[1] = target[2] = 0;
    const BodyRTListStruct* list = BodyRTList();
    const int32_t sel = set.cameraSelection;
    if (!CameraModeUsesBody(set.cameraMode) || !list || sel < 0 || sel >= list->count) return;
    for (int a = 0; a < 3; ++a) target[a] = list->body[sel].pos[a];
}
