#include "render/BodyDecor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Strings.h"
#include "core/Units.h"
#include "render/Camera.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "render/ThemeText.h"

namespace {

constexpr int16_t kValueLabelList = 1034;
void LabelPrefix(Str255& out, int n) { GetIndString(out, kValueLabelList, int16_t(n + 1)); }

void DrawLabelLine(int32_t right, int32_t baseline, const uint8_t* text) {
    MoveTo(right, baseline);
    DrawStringUsingThemeTextBox(text,
                                Rect{int16_t(baseline - DevicePixels(14)), int16_t(right),
                                     int16_t(baseline + DevicePixels(2)), int16_t(right + DevicePixels(200))},
                                3, 1);
}

}  // namespace

bool ClipToBuffer(Rect& r) {
    if (r.top < renderGWRect.top) r.top = renderGWRect.top;
    if (r.left < renderGWRect.left) r.left = renderGWRect.left;
    if (r.bottom > renderGWRect.bottom) r.bottom = renderGWRect.bottom;
    if (r.right > renderGWRect.right) r.right = renderGWRect.right;
    return r.bottom > r.top && r.right > r.left;
}

bool BodySquare(int32_t sx, int32_t sy, uint32_t d, Rect& square) {
    const int64_t rad = d >> 1;
    const int64_t top = int64_t(sy) - rad, left = int64_t(sx) - rad;
    const int64_t bottom = top + d, right = left + d;
    if (bottom <= renderGWRect.top || top >= renderGWRect.bottom || right <= renderGWRect.left ||
        left >= renderGWRect.right)
        return false;
    // Far edges are pinned so that 16-bit coordinates cannot wrap back into the buffer.
    auto pin = [](int64_t v) { return int16_t(std::clamp<int64_t>(v, -32000, 32000)); };
    square = Rect{pin(top), pin(left), pin(bottom), pin(right)};
    return true;
}

void LineOfSightCorrect(IJK& F, const double eIn[3]) {
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

int32_t ComposeBodyLabelLines(const BodyRTStruct& b, uint32_t flags, Str255* lines) {
    int32_t count = 0;
    if (flags & 1) {
        const uint8_t n = b.name[0] > 31 ? 31 : b.name[0];
        lines[count][0] = n;
        std::memcpy(lines[count] + 1, b.name + 1, n);
        ++count;
    }
    if (!(flags & 0xF8u)) return count;
    const double v2 = b.vel[0] * b.vel[0] + b.vel[1] * b.vel[1] + b.vel[2] * b.vel[2];
    const double a2 = b.acc[0] * b.acc[0] + b.acc[1] * b.acc[1] + b.acc[2] * b.acc[2];
    const double ke = 0.5 * b.mass * v2, pe = b.mass * b.potential;
    const double values[5] = {std::sqrt(v2), std::sqrt(a2), ke, pe, ke + pe};
    for (int n = 0; n < 5; ++n) {
        if (!(flags & (8u << n))) continue;
        Str255 number;
        LabelPrefix(lines[count], n);
        MyRealToSciNotString(values[n], number);
        ConCat(lines[count], number, lines[count]);
        ++count;
    }
    return count;
}

void DrawLabelLines(const Str255* lines, int32_t count, int32_t right, int32_t top) {
    for (int32_t n = 0; n < count; ++n) DrawLabelLine(right, top + LabelLinePixels() * (n + 1), lines[n]);
}

bool ArrowTip(const BodyRTStruct& b, const double rel[3], double f, bool velocity, double tip[3]) {
    const double* V = velocity ? b.vel : b.acc;
    const int32_t exponent = velocity ? rt.velArrowExponent : rt.accArrowExponent;
    double& measure = velocity ? rt.velArrowMeasure : rt.accArrowMeasure;
    const double scale = std::exp(exponent * std::log(10.0));
    const double s = scale * 65536 * f;
    const double candidate = s * s * (V[0] * V[0] + V[1] * V[1] + V[2] * V[2]);
    if (candidate > measure) measure = candidate;
    for (int n = 0; n < 3; ++n) tip[n] = rel[n] + scale * V[n];
    return DotIJK(rt.cameraIJK.k, tip) < 0;
}

void DrawArrowLine(int32_t sx, int32_t sy, double tipX, double tipY) {
    if (std::isnan(tipX) || std::isnan(tipY)) return;
    tipX = std::clamp(tipX, -1e300, 1e300);
    tipY = std::clamp(tipY, -1e300, 1e300);
    const double reach = std::max(std::fabs(tipX - sx), std::fabs(tipY - sy));
    const double room = kScreenCoordLimit - std::max(std::abs(sx), std::abs(sy));
    if (reach > room) {
        const double s = room / reach;
        tipX = sx + (tipX - sx) * s;
        tipY = sy + (tipY - sy) * s;
    }
    const int32_t tx = ScreenCoord(tipX), ty = ScreenCoord(tipY);
    MoveTo(sx, sy);
    LineTo(tx, ty);
    const double dx = tx - sx, dy = ty - sy, ac = rt.arrowCos, as = rt.arrowSin;
    Line(int32_t(dy * as - ac * dx), int32_t(-dx * as - ac * dy));
    MoveTo(tx, ty);
    Line(int32_t(-dy * as - ac * dx), int32_t(dx * as - ac * dy));
}
