#include "render/StereoDepth.h"

#include <algorithm>
#include <cmath>

#include "core/Records.h"

int32_t ProposedEyeRadius() {
    const double E = rt.eyeDistance;
    double nearest = 1, farthest = set.displayFlags & kStarFieldOffFlag ? -1e300 : 1;  // 1 - E / D for D = infinity
    bool any = !(set.displayFlags & kStarFieldOffFlag);
    if (const BodyRTListStruct* list = BodyRTList(); list && E > 0) {
        const IJK& c = rt.cameraIJK;
        for (int32_t n = 0; n < list->count; ++n) {
            const BodyRTStruct& b = list->body[n];
            if (b.statusFlags & kNotDrawnStatus) continue;
            double D = 0;
            for (int a = 0; a < 3; ++a) D -= c.k[a] * (b.pos[a] - rt.eyePos[a]) / 65536.0;
            if (!(D > b.radius)) continue;  // behind the eye, or the eye inside it
            const double split = 1 - E / D;
            nearest = any ? std::min(nearest, split) : split;
            farthest = any ? std::max(farthest, split) : split;
            any = true;
        }
    }
    if (!any) return kMostProposedEyeRadius / 2;
    // One item alone (a lone body, no stars) still gets its own split from the screen's plane.
    const double spread = farthest > nearest ? farthest - nearest : std::fabs(farthest);
    if (!(spread > 0)) return kMostProposedEyeRadius / 2;
    return int32_t(std::clamp(std::ceil(kProposedParallaxPixels / (2 * spread)), 1.0, double(kMostProposedEyeRadius)));
}
