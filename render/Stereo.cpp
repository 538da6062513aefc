// Red-cyan stereo plotters: each item projected for an eye moved right (red) and left (cyan).
#include <cmath>

#include "imagery/SpherePix.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/Pen.h"
#include "render/RenderBuffer.h"

namespace {

inline double Dot(const int32_t* v, const double* d) { return double(v[0]) * d[0] + double(v[1]) * d[1] + double(v[2]) * d[2]; }

struct EyeXs {
    int32_t red, cyan, y;
};

EyeXs ProjectBothEyes(const double* rel, double f, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset) {
    const IJK& c = rt.cameraIJK;
    const double ir = Dot(c.i, rel);
    return EyeXs{int32_t(cx + 0.5 + eyeRadius - (ir - 65536 * eyeOffset) * f),
                 int32_t(cx + 0.5 - eyeRadius - (ir + 65536 * eyeOffset) * f), int32_t(cy + 0.5 + Dot(c.j, rel) * f)};
}

bool Clip(Rect& r) {
    if (r.top < renderGWRect.top) r.top = renderGWRect.top;
    if (r.left < renderGWRect.left) r.left = renderGWRect.left;
    if (r.bottom > renderGWRect.bottom) r.bottom = renderGWRect.bottom;
    if (r.right > renderGWRect.right) r.right = renderGWRect.right;
    return r.bottom > r.top && r.right > r.left;
}

}  // namespace

void PlotTrailPoint3DFinish(const TrailPoint&, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset,
                            double depth, const double* rel) {
    if (!(depth < 0)) return;
    const EyeXs e = ProjectBothEyes(rel, rt.focalLength / depth, cx, cy, eyeRadius, eyeOffset);
    RGBForeColor(rt.redEyeColor);
    MoveTo(e.red, e.y);
    Line(0, 0);
    RGBForeColor(rt.cyanEyeColor);
    MoveTo(e.cyan, e.y);
    Line(0, 0);
}

void PlotBody3DFinish(BodyRTStruct& b, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset, double depth,
                      const double* rel, uint32_t) {
    if (!(depth < 0)) return;
    PenMode(kAddPinMode);
    const double f = rt.focalLength / depth;
    const EyeXs e = ProjectBothEyes(rel, f, cx, cy, eyeRadius, eyeOffset);
    b.screenPos = Point{int16_t(e.y), int16_t(e.red)};
    uint32_t d = ApparentDiameter(b.radius, f);
    if (d < uint32_t(set.minPointSize)) d = uint32_t(set.minPointSize);
    const int32_t rad = int32_t(d >> 1);
    const Rect red{int16_t(e.y - rad), int16_t(e.red - rad), int16_t(e.y - rad + int32_t(d)), int16_t(e.red - rad + int32_t(d))};
    const Rect cyan{red.top, int16_t(e.cyan - rad), red.bottom, int16_t(e.cyan - rad + int32_t(d))};
    Rect redClip = red, cyanClip = cyan;
    const bool redOn = Clip(redClip), cyanOn = Clip(cyanClip);
    if (redOn && cyanOn) {
        if (b.spherePix && !(set.displayFlags & kSphereMappingOffFlag) && d > 3) {
            IJK F;
            RelativeIJK(&F, &b.axes, &rt.cameraIJK);
            // Rings and the per-eye line-of-sight turn are not applied in stereo yet.
            DrawSphere3D(b.spherePix, rt.sphereSqrtTable, rt.sphereInvSqrtTable, redClip, cyanClip, e.red, e.cyan, e.y,
                         &F.i[0], &F.i[0], rad, bAddrGWPM, rBytesGWPM);
        } else {
            RGBForeColor(rt.redEyeColor);
            FrameOval(red);
            RGBForeColor(rt.cyanEyeColor);
            FrameOval(cyan);
        }
    }
    PenMode(kPatCopyMode);
}
