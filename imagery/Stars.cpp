#include "imagery/Stars.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/Limits.h"
#include "imagery/Random.h"
#include "imagery/SkyCells.h"
#include "io/FileAccess.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "render/StereoGlasses.h"

namespace {

struct StarRecord {
    double theta, phi, x, y, z;
    uint16_t red, green, blue;
};
struct CellRef {
    StarRecord* stars;  // locked address of the cell block's records
    Handle cell;
};
struct CellHeader {
    int32_t n, capacity;
};
struct TopBlock {
    uint8_t* bandAddr[16];
    Handle band[16];
};

void GetLatSection(int32_t s, int32_t& count, int32_t& shift) { GetLatSectionInfo(s, &count, &shift); }

TopBlock* Top(Handle list) { return HandleAs<TopBlock>(list); }
int32_t* BandCount(Handle band) { return HandleAs<int32_t>(band); }
CellRef* BandCells(Handle band) { return reinterpret_cast<CellRef*>(HandleAs<uint8_t>(band) + 8); }
CellHeader* CellOf(Handle cell) { return HandleAs<CellHeader>(cell); }
StarRecord* CellStars(Handle cell) { return reinterpret_cast<StarRecord*>(HandleAs<uint8_t>(cell) + 8); }

int32_t AddToStarListHandle(Handle list, const StarRecord& star) {
    TopBlock* top = Top(list);
    if (!top) return 0;
    int32_t b = int32_t(16 * (1 - star.theta / M_PI)), s = b - 8;
    if (s >= 8) { s = 7; b = 15; }
    if (s < -8) { s = -8; b = 0; }
    int32_t count, shift;
    GetLatSection(s, count, shift);
    int32_t cell = int32_t(count * star.phi / (2 * M_PI));
    if (cell < 0 || cell >= count) return 0;
    const Handle band = top->band[b];
    if (!band) { SysBeep(); return 0; }
    CellRef& ref = BandCells(band)[cell];
    if (!ref.cell) { SysBeep(); return 0; }
    CellHeader* h = CellOf(ref.cell);
    if (h->n >= h->capacity) {
        const int32_t old = h->capacity, want = 2 * old + 1;
        HUnlock(ref.cell);
        if (SetHandleSize(ref.cell, 8 + sizeof(StarRecord) * size_t(want))) CellOf(ref.cell)->capacity = 2 * old;
        HLock(ref.cell);
        h = CellOf(ref.cell);
        ref.stars = CellStars(ref.cell);
        if (h->n >= h->capacity) return 0;
    }
    CellStars(ref.cell)[h->n++] = star;
    return 1;
}

void PlotStarPixel(int32_t h, int32_t v, double r, double g, double b, const Rect& clip) {
    if (v < clip.top || v >= clip.bottom || h < clip.left || h >= clip.right) return;
    const PixelSurface& t = PenTarget();
    if (!t.base || h >= t.width || v >= t.height || h < 0 || v < 0) return;
    auto ch = [](double c) { return uint32_t(c > 65535 ? 65535 : c) >> 8; };
    reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(t.base) + v * t.rowBytes)[h] =
        (ch(r) << 16) | (ch(g) << 8) | ch(b);
}

void Splat(int32_t h, int32_t v, double X, double Y, double r, double g, double b, const Rect& clip) {
    // A star near the eye plane projects beyond 16 bits; wrapped, it would land on the screen.
    if (!(std::fabs(X) < 30000 && std::fabs(Y) < 30000)) return;
    const int32_t ix = int32_t(int16_t(std::floor(X))), iy = int32_t(int16_t(std::floor(Y)));
    const double fx = X - std::floor(X), fy = Y - std::floor(Y);
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double br = 3.0 * r, bg = 3.0 * g, bb = 3.0 * b;
    const double w[4] = {(1 - sx) * (1 - sy), sx * (1 - sy), sy * (1 - sx), sx * sy};
    const int32_t px[4] = {h + ix, h + ix + 1, h + ix, h + ix + 1}, py[4] = {v - iy, v - iy, v - iy - 1, v - iy - 1};
    for (int n = 0; n < 4; ++n) PlotStarPixel(px[n], py[n], br * w[n], bg * w[n], bb * w[n], clip);
}

// A star on a render buffer of `size` device pixels per window pixel: a size x size square
// at (X, Y) shared out over the pixels it covers, each lit as a star covering a whole pixel is.
void WideSplat(int32_t size, int32_t h, int32_t v, double X, double Y, double r, double g, double b, const Rect& clip) {
    if (!(std::fabs(X) < 30000 && std::fabs(Y) < 30000)) return;
    const int32_t ix = int32_t(std::floor(X)), iy = int32_t(std::floor(Y));
    const double fx = X - std::floor(X), fy = Y - std::floor(Y);
    // As the one-pixel splat: the square spans columns from h + X and rows from v - Y down.
    for (int32_t j = 0; j <= size; ++j) {
        const double wy = j == 0 ? fy : j == size ? 1 - fy : 1;
        for (int32_t i = 0; i <= size; ++i) {
            const double w = 3.0 * wy * (i == 0 ? 1 - fx : i == size ? fx : 1);
            if (w > 0) PlotStarPixel(h + ix + i, v - iy - 1 + j, r * w, g * w, b * w, clip);
        }
    }
}

void Splat(int32_t size, int32_t h, int32_t v, double X, double Y, double r, double g, double b, const Rect& clip) {
    if (size > 1) WideSplat(size, h, v, X, Y, r, g, b, clip);
    else Splat(h, v, X, Y, r, g, b, clip);
}

}  // namespace

Handle NewStarListHandle() {
    const Handle list = NewHandleClear(sizeof(TopBlock));
    if (!list) return kNoHandle;
    for (int32_t b = 0; b < 16; ++b) {
        int32_t count, shift;
        GetLatSection(b - 8, count, shift);
        const Handle band = NewHandleClear(8 + sizeof(CellRef) * size_t(count));
        if (!band) { DisposeStarListHandle(list); return kNoHandle; }
        Top(list)->band[b] = band;
        *BandCount(band) = count;
        for (int32_t c = 0; c < count; ++c) {
            const Handle cell = NewHandleClear(8 + sizeof(StarRecord));
            if (!cell) { DisposeStarListHandle(list); return kNoHandle; }
            CellOf(cell)->capacity = 1;
            BandCells(band)[c].cell = cell;
        }
    }
    StarListHandleLocking(list, 1);
    return list;
}

void DisposeStarListHandle(Handle list) {
    TopBlock* top = Top(list);
    if (!top) return;
    for (int32_t b = 15; b >= 0; --b) {
        const Handle band = Top(list)->band[b];
        if (!band) continue;
        for (int32_t c = *BandCount(band) - 1; c >= 0; --c) {
            CellRef& ref = BandCells(band)[c];
            if (ref.cell) { HUnlock(ref.cell); DisposeHandle(ref.cell); }
            ref = CellRef{};
        }
        HUnlock(band);
        DisposeHandle(band);
        Top(list)->band[b] = 0;
        Top(list)->bandAddr[b] = nullptr;
    }
    HUnlock(list);
    DisposeHandle(list);
}

void MoveHHiStarListHandle(Handle list) {
    TopBlock* top = Top(list);
    if (!top) return;
    for (int32_t b = 0; b < 16; ++b) {
        if (!top->band[b]) continue;
        for (int32_t c = 0; c < *BandCount(top->band[b]); ++c) {
            MoveHHi(BandCells(top->band[b])[c].cell);
            BandCells(top->band[b])[c].stars = nullptr;
        }
        MoveHHi(top->band[b]);
        top->bandAddr[b] = nullptr;
    }
    MoveHHi(list);
}

void StarListHandleLocking(Handle list, int16_t lock) {
    TopBlock* top = Top(list);
    if (!top) return;
    for (int32_t b = 0; b < 16; ++b) {
        const Handle band = top->band[b];
        if (!band) continue;
        for (int32_t c = 0; c < *BandCount(band); ++c) {
            CellRef& ref = BandCells(band)[c];
            if (!ref.cell) continue;
            lock ? HLock(ref.cell) : HUnlock(ref.cell);
            ref.stars = CellStars(ref.cell);
        }
        lock ? HLock(band) : HUnlock(band);
        top->bandAddr[b] = HandleAs<uint8_t>(band);
    }
    lock ? HLock(list) : HUnlock(list);
}

void FillWithStars(Handle list, int32_t count, const void* nativeRecords) {
    Platform().StatusWindowOpen(1, "Preparing the star field");
    SetRandomSeed(RandomSeed() + TickCount());
    const auto* recs = static_cast<const uint8_t*>(nativeRecords);
    bool beeped = false;
    for (int32_t i = count - 1; i >= 0; --i) {
        StarRecord s{};
        if (recs) {
            double ra, dec;
            std::memcpy(&ra, recs + 32 * size_t(i), 8);
            std::memcpy(&dec, recs + 32 * size_t(i) + 8, 8);
            std::memcpy(&s.red, recs + 32 * size_t(i) + 24, 6);
            s.theta = (90 - dec) * M_PI / 180;
            s.phi = ra * M_PI / 12;
        } else {
            s.phi = (Random() / 32768.0 + 1) * M_PI;
            s.theta = std::acos(Random() / 32768.0);
            uint16_t c = uint16_t(Random());
            if (c < 2048) c = uint16_t(c * 32);
            s.red = s.green = s.blue = c;
        }
        s.x = std::sin(s.theta) * std::cos(s.phi);
        s.y = std::sin(s.theta) * std::sin(s.phi);
        s.z = std::cos(s.theta);
        if (s.phi > 0 && s.phi < 2 * M_PI && s.theta > 0 && s.theta < M_PI) {
            AddToStarListHandle(list, s);
        } else if (!beeped) {
            SysBeep();  // once per file: a damaged catalogue would otherwise beep for every star
            beeped = true;
        }
    }
    Platform().StatusWindowDraw(1, 500, nullptr);
    Platform().StatusWindowClose();
}

void EndianStarDataArray_BtoN(void* records, int32_t count) {
    auto* p = static_cast<uint8_t*>(records);
    for (int32_t i = 0; i < count; ++i, p += 32) {
        for (int f = 0; f < 3; ++f)
            for (int k = 0; k < 4; ++k) std::swap(p[f * 8 + k], p[f * 8 + 7 - k]);
        for (int c = 0; c < 3; ++c) std::swap(p[24 + 2 * c], p[25 + 2 * c]);
    }
}

Handle StarListFromFileBytes(std::vector<uint8_t>& bytes) {
    const int32_t count = int32_t(std::min<size_t>(bytes.size() / 32, size_t(INT32_MAX)));
    if (count == 0) return kNoHandle;
    const Handle list = NewStarListHandle();
    if (!list) return kNoHandle;
    EndianStarDataArray_BtoN(bytes.data(), count);
    FillWithStars(list, count, bytes.data());
    return list;
}

Handle GetStarListFromFS(const std::string& path, std::string* why) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadRegularFile(path, kMaxStarFileBytes, bytes, error)) {
        if (why) *why = error;
        return kNoHandle;
    }
    if (bytes.size() < 32) {
        if (why) *why = "it holds no whole 32-byte star record";
        return kNoHandle;
    }
    const Handle list = StarListFromFileBytes(bytes);
    if (!list && why) *why = "no memory for the star list";
    return list;
}

void DrawStars(const Rect& clip, const IJK& m, Handle list, int32_t focalLength, int32_t h, int32_t v) {
    TopBlock* top = Top(list);
    if (!top) return;
    const double f = focalLength;
    uint16_t marks[16] = {};
    auto project = [&](const double* P, double& X, double& Y) {
        const double d = m.k[0] * P[0] + m.k[1] * P[1] + m.k[2] * P[2];
        if (!(d < 0)) return false;
        const double s = -f / d;
        X = (m.i[0] * P[0] + m.i[1] * P[1] + m.i[2] * P[2]) * s;
        Y = (m.j[0] * P[0] + m.j[1] * P[1] + m.j[2] * P[2]) * s;
        return true;
    };
    // Only cells that can reach the clip are walked; a splat reaches its size in pixels around,
    // a stereo copy eyeRadius to either side.
    const bool stereo = set.displayFlags & kStereoOnFlag;
    const int32_t size = StrokePixels();
    const int32_t eyeRadius = DevicePixels(set.eyeRadius);
    MarkVisibleSkyCells(marks, m, f, clip, h, v, 1 + size + (stereo ? std::abs(eyeRadius) : 0));
    for (int32_t b = 15; b >= 0; --b) {
        const Handle band = top->band[b];
        if (!band) continue;
        for (int32_t c = *BandCount(band) - 1; c >= 0; --c) {
            if (!(marks[b] & (1u << c))) continue;
            const Handle cell = BandCells(band)[c].cell;
            if (!cell) continue;
            const CellHeader* hd = CellOf(cell);
            const StarRecord* st = CellStars(cell);
            for (int32_t n = hd->n - 1; n >= 0; --n) {
                double X, Y;
                if (!project(&st[n].x, X, Y)) continue;
                if (!stereo) {
                    Splat(size, h, v, X, Y, st[n].red, st[n].green, st[n].blue, clip);
                } else {
                    const RGBColor& rc = rt.redEyeColor;
                    const RGBColor& cc = rt.cyanEyeColor;
                    const int32_t redShift = eyeRadius * RedEyeSide();  // the red view's eye
                    Splat(size, h + redShift, v, X, Y, st[n].red & rc.red, st[n].green & rc.green,
                          st[n].blue & rc.blue, clip);
                    Splat(size, h - redShift, v, X, Y, st[n].red & cc.red, st[n].green & cc.green,
                          st[n].blue & cc.blue, clip);
                }
            }
        }
    }
}
