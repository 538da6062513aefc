// The sphere painter's rows for every instruction set Highway targets, chosen at run time.
// Each row is cut to the columns on the disc first (they form one run, since x grows with
// the column), then a vector of columns goes through the same integer steps as the scalar
// texel lookup: the range-reduced table roots are computed (or, for tables other than the
// start-up ones, gathered with per-lane shifts) and the quadrant test becomes selects. The
// pixels are bit for bit those of the scalar loop.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imagery/SphereRowsSimd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <algorithm>
#include <cstring>

#include "imagery/Bisect.h"
#include "imagery/RowBands.h"
#include "imagery/SpherePix.h"
#include "imagery/SphereRaster.h"
#include "imagery/SphereRows.h"

HWY_BEFORE_NAMESPACE();
namespace gravitas_spheres {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<int32_t>;
using V = hn::Vec<D>;

// Number of the thresholds 0x100, 0x400, 0x1000, 0x4000, 0x10000 that v (>= 0, < 2^24)
// reaches: the range the scalar code picks by its chain of comparisons. It follows from the
// binary exponent e of v (exact in single precision): (e - 6) >> 1 kept within 0..5.
HWY_INLINE V RangeOf(D d, V v) {
    const hn::Rebind<float, D> df;
    const V exponent = hn::ShiftRight<23>(hn::BitCast(d, hn::ConvertTo(df, v)));  // biased by 127
    return hn::Min(hn::Max(hn::ShiftRight<1>(hn::Sub(exponent, hn::Set(d, 133))), hn::Zero(d)), hn::Set(d, 5));
}

// Table index v >> 2·range, kept inside the 256 entries (only the top range can leave them).
HWY_INLINE V TableIndex(D d, V v, V range) {
    return hn::Min(hn::Max(hn::Shr(v, hn::Add(range, range)), hn::Zero(d)), hn::Set(d, 255));
}

// With the start-up tables (the painter checks that it was given just those) the roots are
// computed instead of gathered: U[i] = trunc(4096 / sqrt i) (U[0] = U[1] = 4096) comes out
// exactly in single precision for every i < 256 (checked in the tests), and so does the
// range-reduced square root below.
HWY_INLINE V InvSqrtEntry(D d, V i, const int32_t* U, bool computed) {
    if (!computed) return hn::GatherIndex(d, U, i);
    const hn::Rebind<float, D> df;
    return hn::ConvertTo(d, hn::Div(hn::Set(df, 4096.0f), hn::Sqrt(hn::ConvertTo(df, hn::Max(i, hn::Set(d, 1))))));
}

// sqrt(q) in 8.8: T[q >> 2k] >> (4 - k) for k = 0..4, T[q >> 10] << 1 above; written as
// (T << 1) >> (5 - k), which is the same integer. With the start-up table it is simply
// trunc(sqrt(q with its low 2k bits cleared)) (checked for every q in the tests; the
// floor of a correctly rounded root of an integer below 2^17 is never rounded up to the next
// integer).
HWY_INLINE V SqrtQ(D d, V q, const int32_t* T, bool computed) {
    const V range = RangeOf(d, q);
    if (computed) {
        const hn::Rebind<float, D> df;
        const V kept = hn::And(q, hn::Shl(hn::Set(d, -1), hn::Add(range, range)));
        return hn::ConvertTo(d, hn::Sqrt(hn::ConvertTo(df, kept)));
    }
    const V t = hn::GatherIndex(d, T, TableIndex(d, q, range));
    return hn::Shr(hn::ShiftLeft<1>(t), hn::Sub(hn::Set(d, 5), range));
}

// 65536 / sqrt(s): U[s >> 2k] << (4 - k), as (U << 4) >> k (U << 4 fits: U <= 4096).
HWY_INLINE V InvSqrt(D d, V s, const int32_t* U, bool computed) {
    const V range = RangeOf(d, s);
    const V u = InvSqrtEntry(d, TableIndex(d, s, range), U, computed);
    return hn::Shr(hn::ShiftLeft<4>(u), range);
}

struct Rotation {
    V m0, m2, m3, m5, m6, m8;
};

HWY_INLINE V Texels(D d, V x, V z, V ym1, V ym4, V ym7, const Rotation& m, const int32_t* U, bool computed,
                    const int32_t* block) {
    const V X = hn::ShiftRight<16>(hn::Add(hn::Add(hn::Mul(x, m.m0), ym1), hn::Mul(z, m.m2)));
    const V Y = hn::ShiftRight<16>(hn::Add(hn::Add(hn::Mul(x, m.m3), ym4), hn::Mul(z, m.m5)));
    V Z = hn::ShiftRight<17>(hn::Add(hn::Add(hn::Mul(x, m.m6), ym7), hn::Mul(z, m.m8)));
    Z = hn::Min(hn::Max(Z, hn::Set(d, -128)), hn::Set(d, 127));
    const V k = InvSqrt(d, hn::Add(hn::Mul(X, X), hn::Mul(Y, Y)), U, computed);
    const V kX = hn::ShiftRight<10>(hn::Mul(k, X)), kY = hn::ShiftRight<10>(hn::Mul(k, Y));
    const auto rightOfAntiDiagonal = hn::Gt(X, hn::Neg(Y));
    const auto belowDiagonal = hn::Gt(X, Y);
    const V east = hn::IfThenElse(belowDiagonal, hn::Add(kY, hn::Set(d, 256)), kX);
    const V west = hn::IfThenElse(belowDiagonal, hn::Add(kX, hn::Set(d, 128)), hn::Add(kY, hn::Set(d, 384)));
    V c = hn::IfThenElse(rightOfAntiDiagonal, east, west);
    c = hn::Min(hn::Max(c, hn::Set(d, -64)), hn::Set(d, 447));
    // Offsets from the map's first texel, so that every gather index is non-negative.
    const V index = hn::Add(hn::ShiftLeft<9>(hn::Add(Z, hn::Set(d, 128))), hn::Add(c, hn::Set(d, 64)));
    return hn::GatherIndex(d, block, index);
}

// Columns [left, right) of row py, all on the disc, a vector at a time.
HWY_INLINE int32_t VectorColumns(uint32_t* row, int32_t left, int32_t right, int32_t cx, int32_t y, int32_t room,
                                 int32_t step, const int32_t* m, const uint32_t* tex, const int32_t* T,
                                 const int32_t* U, bool computed) {
    int32_t px = left;
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
    const D d;
    const int32_t lanes = int32_t(hn::Lanes(d));
    const auto* block = reinterpret_cast<const int32_t*>(tex) - (128 * 512 + 64);
    const Rotation rot{hn::Set(d, m[0]), hn::Set(d, m[2]), hn::Set(d, m[3]),
                       hn::Set(d, m[5]), hn::Set(d, m[6]), hn::Set(d, m[8])};
    const V vStep = hn::Set(d, step), laneOffsets = hn::Iota(d, 0), vRoom = hn::Set(d, room);
    const V ym1 = hn::Set(d, y * m[1]), ym4 = hn::Set(d, y * m[4]), ym7 = hn::Set(d, y * m[7]);
    for (; px < right; px += lanes) {
        const V x = hn::ShiftRight<8>(hn::Mul(hn::Add(hn::Set(d, px - cx), laneOffsets), vStep));
        const V q = hn::Sub(vRoom, hn::Mul(x, x));
        const V texels = Texels(d, x, SqrtQ(d, q, T, computed), ym1, ym4, ym7, rot, U, computed, block);
        // The last vector of the run writes only its columns (a masked store on these targets;
        // lanes past the run look up clamped, harmless texels).
        if (px + lanes <= right) hn::StoreU(texels, d, reinterpret_cast<int32_t*>(row + px));
        else hn::BlendedStore(texels, hn::FirstN(d, size_t(right - px)), d, reinterpret_cast<int32_t*>(row + px));
    }
    px = right;
#else
    // Without native gathers and per-lane shifts (before AVX2) the vector steps cost more
    // than they save: the scalar loop does the whole row.
    (void)row, (void)right, (void)cx, (void)y, (void)room, (void)step, (void)m, (void)tex, (void)T, (void)U,
        (void)computed;
#endif
    return px;
}

void PaintRows(const Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base, int32_t rowBytes,
               const uint32_t* tex, const uint16_t* T16, const uint16_t* U16, bool computed) {
    using namespace sphere_raster;
    if (clip.right <= clip.left) return;
    HWY_ALIGN int32_t T[256], U[256];
    if (!computed)
        for (int32_t i = 0; i < 256; ++i) T[i] = T16[i], U[i] = U16[i];
    const int32_t step = 65536 / r;
    for (int32_t py = clip.top; py < clip.bottom; ++py) {
        const int32_t y = (-(py - cy) * step) >> 8;
        const int32_t room = 65536 - y * y;
        auto onDisc = [&](int32_t px) {
            const int32_t x = ((px - cx) * step) >> 8;
            return room - x * x > 0;
        };
        // |x| falls towards the centre column and rises beyond it, so the row's disc is one run
        // around the clip's column nearest the centre, and each of its ends is found by bisection.
        const int32_t nearest = std::clamp<int32_t>(cx, clip.left, clip.right - 1);
        if (!onDisc(nearest)) continue;
        const int32_t left = FirstWhere(clip.left, nearest, onDisc);
        const int32_t right = FirstWhere(nearest + 1, clip.right, [&](int32_t px) { return !onDisc(px); });
        uint32_t* row = PixelAt(base, rowBytes, 0, py);
        const int32_t ym1 = y * m[1], ym4 = y * m[4], ym7 = y * m[7];
        for (int32_t px = VectorColumns(row, left, right, cx, y, room, step, m, tex, T, U, computed); px < right; ++px) {
            const int32_t x = ((px - cx) * step) >> 8;
            row[px] = TexelAt(tex, m, x, sphere_raster::SqrtQ(room - x * x, T16), ym1, ym4, ym7, U16);
        }
    }
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace gravitas_spheres
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gravitas_spheres {
HWY_EXPORT(PaintRows);
HWY_EXPORT(TargetName);

// The tables every frame passes, those made at start-up: the painter computes their entries.
struct StartUpTables {
    uint16_t T[256], U[256];
    StartUpTables() { FillSphereTables(T, U); }
};
}  // namespace gravitas_spheres

void PaintSphereRows(const Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base,
                     int32_t rowBytes, const uint32_t* tex, const uint16_t* T, const uint16_t* U) {
    static const gravitas_spheres::StartUpTables startUp;
    const bool computed = std::memcmp(T, startUp.T, sizeof startUp.T) == 0 && std::memcmp(U, startUp.U, sizeof startUp.U) == 0;
    const int64_t pixels = int64_t(clip.bottom - clip.top) * (clip.right - clip.left);
    PaintInRowBands(clip.top, clip.bottom, pixels, [&](int32_t top, int32_t bottom) {
        const Rect rows{int16_t(top), clip.left, int16_t(bottom), clip.right};
        HWY_DYNAMIC_DISPATCH(gravitas_spheres::PaintRows)(rows, cx, cy, r, m, base, rowBytes, tex, T, U, computed);
    });
}

const char* SphereRowsTarget() { return HWY_DYNAMIC_DISPATCH(gravitas_spheres::TargetName)(); }
#endif
