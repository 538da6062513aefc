#include "render/Camera.h"

#include <algorithm>
#include <cmath>

#include "render/IJK.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

namespace {

inline double Dot(const int32_t* v, const double* d) { return double(v[0]) * d[0] + double(v[1]) * d[1] + double(v[2]) * d[2]; }

bool Unit(const double* v, double* out) {
    const double l2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (!(l2 > 0)) return false;
    const double l = std::sqrt(l2);
    for (int n = 0; n < 3; ++n) out[n] = v[n] / l;
    return true;
}

}  // namespace

int32_t CameraModeForMenuItem(int32_t item) {
    static const int32_t codes[11] = {0, 1, 3, 2, 8, 9, 10, 11, 16, 17, 20};
    return item >= 1 && item <= 11 ? codes[item - 1] : 0;
}

bool CameraModeUsesBody(int32_t mode) {
    switch (mode) {
        case 1: case 2: case 3: case 8: case 9: case 10: case 11: case 16: case 17: case 20: return true;
        default: return false;
    }
}

namespace {
// However the look-at point lags and the view is panned, the eye stays outside the body.
void KeepEyeOutside(const BodyRTStruct& b, const IJK& c) {
    const double nearest = NearestEyeDistance(b.radius);
    double out[3];
    for (int n = 0; n < 3; ++n) out[n] = rt.eyePos[n] - b.pos[n];
    const double d = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (!(d < nearest)) return;
    if (d > 0) {
        for (int n = 0; n < 3; ++n) rt.eyePos[n] = b.pos[n] + out[n] * (nearest / d);
    } else {  // exactly at the centre: back out along the view
        for (int n = 0; n < 3; ++n) rt.eyePos[n] = b.pos[n] + c.k[n] * (nearest / 65536.0);
    }
}
}  // namespace

void DoCameraWork() {
    if (!(rt.eyeDistance > 0) && !std::isnan(rt.eyeDistance)) rt.eyeDistanceVel += 4e6 - rt.eyeDistance;

    double target[3] = {0, 0, 0};
    bool orbiting = true;
    bool steer = false;
    double d[3] = {0, 0, 0};
    double gainYaw = 0.125, gainPitch = -0.125;
    const BodyRTStruct* followed = nullptr;  // the body the eye is placed beside, if any

    BodyRTListStruct* list = BodyRTList();
    const int32_t sel = set.cameraSelection;
    const int32_t mode = set.cameraMode;
    if (list && list->count > 0 && sel >= 0 && sel < list->count) {
        BodyRTStruct& b = list->body[sel];
        const BodyRTStruct* nearest =
            (b.nearestIndex >= 0 && b.nearestIndex < list->count) ? &list->body[b.nearestIndex] : nullptr;
        auto awayFromAcc = [&] {
            double v[3] = {-b.acc[0], -b.acc[1], -b.acc[2]};
            steer = Unit(v, d);
        };
        auto awayFromNearest = [&] {
            double v[3] = {b.pos[0] - nearest->pos[0], b.pos[1] - nearest->pos[1], b.pos[2] - nearest->pos[2]};
            steer = Unit(v, d);
        };
        double uvel[3];
        const bool hasVel = Unit(b.vel, uvel);
        switch (mode) {
            case 1: for (int n = 0; n < 3; ++n) target[n] = b.pos[n]; followed = &b; break;
            case 2: for (int n = 0; n < 3; ++n) target[n] = b.pos[n]; followed = &b; awayFromAcc(); break;
            case 3:
                for (int n = 0; n < 3; ++n) target[n] = b.pos[n];
                followed = &b;
                if (b.nearestIndex >= 0 && nearest) awayFromNearest(); else awayFromAcc();
                break;
            case 8: case 9: case 10: case 11: {
                for (int n = 0; n < 3; ++n) target[n] = b.pos[n];
                orbiting = false;
                b.statusFlags |= kCameraRideStatus;
                if (mode == 8) {
                    double v[3] = {-b.vel[0], -b.vel[1], -b.vel[2]};
                    steer = Unit(v, d);
                } else if (mode == 9) {
                    const double t = 2.0 * set.timeStep * set.pushesPerFrame;
                    double v[3];
                    for (int n = 0; n < 3; ++n) v[n] = -(b.vel[n] + t * b.acc[n]);
                    steer = Unit(v, d);
                } else if (mode == 10) {
                    if (nearest) awayFromNearest(); else awayFromAcc();
                } else {
                    awayFromAcc();
                }
                break;
            }
            case 16: case 17: case 20: {
                gainYaw = mode == 20 ? 0.1 : 0.2;
                gainPitch = -0.1;
                if (hasVel) {
                    const double s = mode == 20 ? rt.eyeDistance : -rt.eyeDistance;
                    for (int n = 0; n < 3; ++n) target[n] = b.pos[n] + uvel[n] * s;
                    orbiting = false;
                    followed = &b;
                }
                if (mode == 16) {
                    if (hasVel) { for (int n = 0; n < 3; ++n) d[n] = -uvel[n]; steer = true; }
                } else if (mode == 20) {
                    if (hasVel) { for (int n = 0; n < 3; ++n) d[n] = uvel[n]; steer = true; }
                } else if (nearest) {
                    double v[3];
                    for (int n = 0; n < 3; ++n) v[n] = -((b.pos[n] + nearest->pos[n]) * 0.5 - target[n]);
                    steer = Unit(v, d);
                }
                break;
            }
            default: break;
        }
    }

    IJK& c = rt.cameraIJK;
    if (steer) {
        rt.yawRate += gainYaw * std::atan2(Dot(c.i, d), Dot(c.k, d));
        rt.pitchRate += gainPitch * std::atan2(Dot(c.j, d), Dot(c.k, d));
    }

    double delta[3];
    for (int n = 0; n < 3; ++n) delta[n] = target[n] - rt.lookAt[n];
    const double dl2 = delta[0] * delta[0] + delta[1] * delta[1] + delta[2] * delta[2];
    const double quarter = rt.eyeDistance / 4;
    if (dl2 > quarter * quarter) {
        const double dl = std::sqrt(dl2);
        for (int n = 0; n < 3; ++n) rt.lookAt[n] = target[n] - quarter * delta[n] / dl;
    }
    for (int n = 0; n < 3; ++n) {
        rt.lookAt[n] = (target[n] + rt.lookAt[n]) * 0.5;
        rt.eyePos[n] = rt.lookAt[n];
    }

    if (rt.pitchRate != 0.0 || rt.yawRate != 0.0) {
        rt.pitchRate *= 0.5;
        RotateIJKAboutI(c, rt.pitchRate);
        rt.yawRate *= 0.5;
        RotateIJKAboutJ(c, rt.yawRate);
    }

    if (set.displayFlags & kKeepCameraLevelFlag) {
        double h[3] = {-double(c.k[1]), double(c.k[0]), 0.0};
        const double hl2 = h[0] * h[0] + h[1] * h[1];
        if (hl2 > 0) {
            const double hl = std::sqrt(hl2);
            h[0] /= hl;
            h[1] /= hl;
            const double roll = std::atan2(double(c.i[2]), Dot(c.i, h));
            RotateIJKAboutK(c, -0.5 * roll);
        }
    }

    rt.eyeDistanceVel *= 0.5;
    rt.eyeDistance += rt.eyeDistanceVel;
    // Zooming in stops at the followed body's surface; what is left of the motion is dropped,
    // so zooming out again answers at once.
    if (followed && rt.eyeDistance < NearestEyeDistance(followed->radius)) {
        rt.eyeDistance = NearestEyeDistance(followed->radius);
        if (rt.eyeDistanceVel < 0) rt.eyeDistanceVel = 0;
    }
    rt.panIVel *= 0.5;
    rt.panI += rt.panIVel;
    rt.panJVel *= 0.5;
    rt.panJ += rt.panJVel;

    if (orbiting) {
        for (int n = 0; n < 3; ++n)
            rt.eyePos[n] += (rt.eyeDistance * c.k[n] + rt.panI * c.i[n] + rt.panJ * c.j[n]) / 65536.0;
    }
    if (followed) KeepEyeOutside(*followed, c);
    for (int n = 0; n < 3; ++n) rt.cameraTarget[n] = target[n];
}

void SetRunTimeViewingVariables() {
    int32_t width = 0, height = 0;
    MainWindow().MainWindowContentSize(width, height);
    renderPixelRatio = UsablePixelRatio(MainWindow().MainWindowPixelRatio());
    if (height != renderGWRect.bottom - renderGWRect.top || width != renderGWRect.right - renderGWRect.left)
        SetupRenderGW(height, width);
    if (renderGW && PenTarget().base == renderGW) PenScale(renderPixelRatio);
    const double w = renderGWRect.right - renderGWRect.left;
    rt.focalLength = int32_t((w * 0.5) / std::tan(set.viewAngle * 0.5 * M_PI / 180.0));
    rt.arrowCos = std::cos(M_PI / 6) * 0.25;
    rt.arrowSin = std::sin(M_PI / 6) * 0.25;
    BuildBodyAxes(rt.starIJK, set.starInclination, set.starAzimuth, 0.0);
}

bool ProjectPoint(const double p[3], int32_t cx, int32_t cy, Projected& o) {
    const IJK& c = rt.cameraIJK;
    for (int n = 0; n < 3; ++n) o.rel[n] = p[n] - rt.eyePos[n];
    o.depth = Dot(c.k, o.rel);
    if (!(o.depth < 0)) return false;
    o.f = rt.focalLength / o.depth;
    o.sx = ScreenCoord(cx + 0.5 - Dot(c.i, o.rel) * o.f);
    o.sy = ScreenCoord(cy + 0.5 + Dot(c.j, o.rel) * o.f);
    return true;
}

uint32_t ApparentDiameter(double radius, double f) {
    const double v = 2 * radius * (-65536.0) * f + 0.5;
    if (!(std::fabs(v) < 9.2e18)) return 0xFFFFFFFFu;
    if (v >= 4294967295.0) return 0xFFFFFFFFu;
    return uint32_t(uint64_t(int64_t(v)));
}

uint32_t DrawnDiameter(double radius, double f) { return std::max(ApparentDiameter(radius, f), MinPointPixels()); }
