// Red-cyan stereo plotters: each item projected for the eye behind the red
// filter (red) and the other eye (cyan). The formulas are written for red on
// the right eye; for red on the left the eye's shift and offset change sign.
#include <algorithm>
#include <cmath>

#include "imagery/Rings.h"
#include "imagery/ShadedDisc.h"
#include "imagery/SoftLimb.h"
#include "imagery/SpherePix.h"
#include "render/BodyDecor.h"
#include "render/Camera.h"
#include "render/DrawStage.h"
#include "render/IJK.h"
#include "render/LabelPlacement.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "render/StereoGlasses.h"

namespace {

inline double Dot(const int32_t* v, const double* d) { return DotIJK(v, d); }

struct EyeXs {
    int32_t red, cyan, y;
};

EyeXs ProjectBothEyes(const double* rel, double f, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset) {
    const IJK& c = rt.cameraIJK;
    const double ir = Dot(c.i, rel);
    return EyeXs{ScreenCoord(cx + 0.5 + eyeRadius - (ir - 65536 * eyeOffset) * f),
                 ScreenCoord(cx + 0.5 - eyeRadius - (ir + 65536 * eyeOffset) * f),
                 ScreenCoord(cy + 0.5 + Dot(c.j, rel) * f)};
}

// Arrow of one eye: the eye's own projection of the tip, drawn in that eye's colour.
void DrawEyeArrow(int32_t fromX, int32_t y, const double* tip, double f2, int32_t cx, int32_t cy, int32_t shift,
                  double eyeShift) {
    const IJK& c = rt.cameraIJK;
    DrawArrowLine(fromX, y, cx + 0.5 + shift - (Dot(c.i, tip) + eyeShift) * f2, cy + 0.5 + Dot(c.j, tip) * f2);
}

}  // namespace

void StereoEyeXs(const double* rel, double depth, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset,
                 int32_t& redX, int32_t& cyanX) {
    const EyeXs e = ProjectBothEyes(rel, rt.focalLength / depth, cx, cy, eyeRadius * RedEyeSide(), eyeOffset * RedEyeSide());
    redX = e.red, cyanX = e.cyan;
}

void PlotTrailPoint3DFinish(const TrailPoint&, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset,
                            double depth, const double* rel) {
    if (!(depth < 0)) return;
    eyeRadius *= RedEyeSide();
    eyeOffset *= RedEyeSide();
    const EyeXs e = ProjectBothEyes(rel, rt.focalLength / depth, cx, cy, eyeRadius, eyeOffset);
    RGBForeColor(rt.redEyeColor);
    MoveTo(e.red, e.y);
    Line(0, 0);
    RGBForeColor(rt.cyanEyeColor);
    MoveTo(e.cyan, e.y);
    Line(0, 0);
}

void PlotBody3DFinish(BodyRTStruct& b, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset, double depth,
                      const double* rel, uint32_t labelFlags) {
    if (!(depth < 0)) return;
    eyeRadius *= RedEyeSide();
    eyeOffset *= RedEyeSide();
    // Additive pen pinned at white: red and cyan strokes add up to white where they cross.
    PenMode(kAddPinMode);
    const IJK& c = rt.cameraIJK;
    const double f = rt.focalLength / depth;
    const EyeXs e = ProjectBothEyes(rel, f, cx, cy, eyeRadius, eyeOffset);
    b.screenPos = ScreenPoint(e.red, e.y);
    const uint32_t d = DrawnDiameter(b.radius, f);
    const int32_t rad = int32_t(d >> 1);
    Rect red{}, cyan{};
    const bool redSeen = BodySquare(e.red, e.y, d, red), cyanSeen = BodySquare(e.cyan, e.y, d, cyan);
    Rect redClip = red, cyanClip = cyan;
    const bool redOn = redSeen && ClipToBuffer(redClip), cyanOn = cyanSeen && ClipToBuffer(cyanClip);
    if (!(redOn && cyanOn)) {
        PenMode(kPatCopyMode);
        return;
    }
    Rect redLabel = red, cyanLabel = cyan;
    if (b.spherePix && !(set.displayFlags & kSphereMappingOffFlag) && d > TinyBodyPixels()) {
        IJK F;
        RelativeIJK(&F, &b.axes, &rt.cameraIJK);
        IJK Fred = F, Fcyan = F;
        const double ir = Dot(c.i, rel), jr = Dot(c.j, rel);
        const double eRed[3] = {ir - 65536 * eyeOffset, jr, depth}, eCyan[3] = {ir + 65536 * eyeOffset, jr, depth};
        LineOfSightCorrect(Fred, eRed);
        LineOfSightCorrect(Fcyan, eCyan);
        Rect redRing{}, cyanRing{};
        int32_t rr = 0;
        if (b.ringPix) {
            const int32_t dr = ScreenCoord(2 * b.ringRadius * (-65536.0) * f + 0.5);
            rr = dr >> 1;
            const uint32_t ringD = uint32_t(std::max(dr, 0));
            if (!BodySquare(e.cyan, e.y, ringD, cyanRing)) cyanRing = Rect{};
            if (!BodySquare(e.red, e.y, ringD, redRing)) redRing = Rect{};
            ClipToBuffer(cyanRing);
            ClipToBuffer(redRing);
            DrawRing3D(cyanRing, redRing, rt.sphereSqrtTable, e.cyan, e.red, e.y, rad, rr, &Fcyan.i[0], &Fred.i[0],
                       bAddrGWPM, rBytesGWPM, b.ringPix, 0);
        }
        DrawSphere3DSoftLimb(b.spherePix, rt.sphereSqrtTable, rt.sphereInvSqrtTable, redClip, cyanClip, e.red, e.cyan, e.y,
                             &Fred.i[0], &Fcyan.i[0], rad, bAddrGWPM, rBytesGWPM);
        if (b.ringPix)
            DrawRing3D(cyanRing, redRing, rt.sphereSqrtTable, e.cyan, e.red, e.y, rad, rr, &Fcyan.i[0], &Fred.i[0],
                       bAddrGWPM, rBytesGWPM, b.ringPix, 1);
        redLabel = redClip;
        cyanLabel = cyanClip;
    } else if (d > TinyBodyPixels()) {
        const RGBColor& c16 = b.color;
        DrawShadedDisc3D(redClip, cyanClip, e.red, e.cyan, e.y, rad,
                         TexelLuminance(c16.red >> 8, c16.green >> 8, c16.blue >> 8), bAddrGWPM, rBytesGWPM,
                         rt.sphereSqrtTable);
        redLabel = redClip;
        cyanLabel = cyanClip;
    } else {
        RGBForeColor(rt.redEyeColor);
        FrameOval(red);
        RGBForeColor(rt.cyanEyeColor);
        FrameOval(cyan);
    }
    if (labelFlags) {
        if (labelFlags & kTextLabelBits)
            QueueBodyLabel(LabelRequest{int32_t(&b - BodyRTList()->body), labelFlags, 2, {redLabel, cyanLabel},
                                        {rt.redEyeColor, rt.cyanEyeColor}, true, {e.red, e.cyan}, e.y,
                                        d > TinyBodyPixels() ? rad : 0});
        for (const bool velocity : {true, false}) {
            if (!(labelFlags & (velocity ? 2u : 4u))) continue;
            double tip[3];
            if (!ArrowTip(b, rel, f, velocity, tip)) continue;
            const double f2 = rt.focalLength / Dot(c.k, tip);
            RGBForeColor(rt.redEyeColor);
            DrawEyeArrow(e.red, e.y, tip, f2, cx, cy, eyeRadius, -65536 * eyeOffset);
            RGBForeColor(rt.cyanEyeColor);
            DrawEyeArrow(e.cyan, e.y, tip, f2, cx, cy, -eyeRadius, 65536 * eyeOffset);
        }
    }
    PenMode(kPatCopyMode);
}
