#include "imagery/SkyCells.h"

#include <algorithm>
#include <cmath>

namespace {

// A cell seen from the centre of the sky: its middle direction and the angle that takes in
// all of it.
struct CellCap {
    double dir[3];
    double sinRadius;  // 1 or more when the cap is a hemisphere or larger
};

struct CellCaps {
    CellCap cap[16][16];
    int32_t count[16];
};

void Direction(double theta, double phi, double* out) {
    out[0] = std::sin(theta) * std::cos(phi);
    out[1] = std::sin(theta) * std::sin(phi);
    out[2] = std::cos(theta);
}

CellCaps BuildCellCaps() {
    CellCaps c{};
    for (int32_t b = 0; b < 16; ++b) {
        int32_t count = 0;
        GetLatSectionInfo(b - 8, &count, nullptr);
        c.count[b] = count;
        // Band b holds the colatitudes with trunc(16 (1 - theta / pi)) = b.
        const double thetaLo = M_PI * (1 - (b + 1) / 16.0), thetaHi = M_PI * (1 - b / 16.0);
        for (int32_t cell = 0; cell < count; ++cell) {
            const double phiLo = 2 * M_PI * cell / count, phiHi = 2 * M_PI * (cell + 1) / count;
            CellCap& cap = c.cap[b][cell];
            Direction(0.5 * (thetaLo + thetaHi), 0.5 * (phiLo + phiHi), cap.dir);
            // The farthest point of a cell bounded by meridians and parallels lies on its
            // boundary; corners and edge middles are sampled, with a margin for the rest.
            double widest = 0;
            for (int32_t a = 0; a <= 2; ++a)
                for (int32_t o = 0; o <= 2; ++o) {
                    double p[3];
                    Direction(thetaLo + 0.5 * a * (thetaHi - thetaLo), phiLo + 0.5 * o * (phiHi - phiLo), p);
                    const double cosAngle = p[0] * cap.dir[0] + p[1] * cap.dir[1] + p[2] * cap.dir[2];
                    widest = std::max(widest, std::acos(std::clamp(cosAngle, -1.0, 1.0)));
                }
            widest += 0.02;
            cap.sinRadius = widest >= M_PI / 2 ? 2.0 : std::sin(widest);
        }
    }
    return c;
}

const CellCaps& Caps() {
    static const CellCaps caps = BuildCellCaps();
    return caps;
}

}  // namespace

void GetLatSectionInfo(int32_t s, int32_t* count, int32_t* shift) {
    const int32_t a = s >= 0 ? s : -1 - s;
    int32_t n = 16, sh = 0;
    if (a <= 3) { n = 16; sh = 0; }
    else if (a <= 5) { n = 8; sh = 1; }
    else if (a == 6) { n = 4; sh = 2; }
    else if (a == 7) { n = 2; sh = 3; }
    else if (a == 8) { n = 1; sh = 4; }
    if (count) *count = n;
    if (shift) *shift = sh;
}

void MarkVisibleSkyCells(uint16_t marks[16], const IJK& m, double f, const Rect& clip, int32_t h, int32_t v,
                         int32_t spread) {
    // A star P is drawn at column h + floor(X), row v - floor(Y), with X = f (i.P) / -(k.P) and
    // Y = f (j.P) / -(k.P), when in front (k.P < 0). Each bound on X or Y is a plane through
    // the eye; together with the eye plane they bound the directions that can reach the clip.
    const double xMin = clip.left - h - spread, xMax = clip.right - h + spread;
    const double yMin = v - clip.bottom - spread, yMax = v - clip.top + spread;
    double planes[5][3];
    for (int n = 0; n < 3; ++n) {
        const double i = m.i[n], j = m.j[n], k = m.k[n];
        planes[0][n] = f * i + xMin * k;
        planes[1][n] = -f * i - xMax * k;
        planes[2][n] = f * j + yMin * k;
        planes[3][n] = -f * j - yMax * k;
        planes[4][n] = -k;
    }
    for (auto& p : planes) {
        const double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (len > 0)
            for (double& c : p) c /= len;
    }
    const CellCaps& caps = Caps();
    for (int32_t b = 0; b < 16; ++b) {
        for (int32_t cell = 0; cell < caps.count[b]; ++cell) {
            const CellCap& cap = caps.cap[b][cell];
            bool seen = true;
            for (const auto& p : planes)
                if (p[0] * cap.dir[0] + p[1] * cap.dir[1] + p[2] * cap.dir[2] < -cap.sinRadius) {
                    seen = false;  // the whole cap lies beyond this plane
                    break;
                }
            if (seen) marks[b] |= uint16_t(1u << cell);
        }
    }
}
