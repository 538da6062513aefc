// The pair kernel for every instruction set Highway targets, chosen at run time.
// Vectorised over the partner slots of one row: body i is held in broadcast registers,
// the later slots are loaded, updated and stored back a vector at a time. Row i's own
// sums are added in once per tile of partners.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/PairKernelSimd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "sim/PairKernel.h"

HWY_BEFORE_NAMESPACE();
namespace gravitas_pairs {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;

// G r^(p-1) from r², as std::log and std::exp would give it. Highway's Log and Exp are
// valid for normal r² and exponents up to 706; lanes outside that (overflow towards
// infinity, subnormal or infinite r²) are redone with the standard library.
HWY_INLINE V GeneralFactor(D d, V r2, V lr2, const PairLaw& law) {
    const V arg = hn::Mul(hn::Set(d, law.accExp), lr2);
    V f = hn::Mul(hn::Set(d, law.g), hn::Exp(d, arg));
    const auto outside = hn::Or(hn::Or(hn::Lt(r2, hn::Set(d, DBL_MIN)), hn::Gt(r2, hn::Set(d, DBL_MAX))),
                                hn::Gt(arg, hn::Set(d, 706.0)));
    if (HWY_UNLIKELY(!hn::AllFalse(d, outside))) {
        HWY_ALIGN double r2s[HWY_MAX_BYTES / sizeof(double)];
        HWY_ALIGN double fs[HWY_MAX_BYTES / sizeof(double)];
        hn::Store(r2, d, r2s);
        hn::Store(f, d, fs);
        for (size_t k = 0; k < hn::Lanes(d); ++k) fs[k] = law.g * std::exp(law.accExp * std::log(r2s[k]));
        f = hn::IfThenElse(outside, hn::Load(d, fs), f);
    }
    return f;
}

HWY_INLINE V NaturalLog(D d, V r2) {
    V lr2 = hn::Log(d, r2);
    const auto outside = hn::Or(hn::Lt(r2, hn::Set(d, DBL_MIN)), hn::Gt(r2, hn::Set(d, DBL_MAX)));
    if (HWY_UNLIKELY(!hn::AllFalse(d, outside))) {
        HWY_ALIGN double r2s[HWY_MAX_BYTES / sizeof(double)];
        hn::Store(r2, d, r2s);
        for (size_t k = 0; k < hn::Lanes(d); ++k) r2s[k] = std::log(r2s[k]);
        lr2 = hn::IfThenElse(outside, hn::Load(d, r2s), lr2);
    }
    return lr2;
}

constexpr int32_t kRowBlock = 32;
constexpr int32_t kTile = 512;  // slots: 10 arrays of them take 40 KB

template <bool kFull, bool kInverseSquare>
void Rows(const PairColumns& c, const PairLaw& law, int32_t rowBegin, int32_t rowEnd, const PairPartials& o) {
    const D d;
    const int32_t lanes = int32_t(hn::Lanes(d));
    const V zero = hn::Zero(d), one = hn::Set(d, 1.0), g = hn::Set(d, law.g), negG = hn::Set(d, -law.g);
    const V potScale = hn::Set(d, law.potScale), inf = hn::Set(d, std::numeric_limits<double>::infinity());
    const V laneSlot = hn::Iota(d, 0.0), count = hn::Set(d, double(c.count));
    // Blocks of rows meet the later slots a tile at a time, so the tile's columns and
    // partial sums stay in cache while every row of the block passes over them.
    for (int32_t blockBegin = rowBegin; blockBegin < rowEnd; blockBegin += kRowBlock) {
    const int32_t blockEnd = std::min(blockBegin + kRowBlock, rowEnd);
    for (int32_t tile = (blockBegin + 1) / lanes * lanes; tile < c.count; tile += kTile) {
    const int32_t tileEnd = std::min(tile + kTile, c.count);
    for (int32_t i = blockBegin; i < blockEnd; ++i) {
        const int32_t first = std::max(tile, (i + 1) / lanes * lanes);
        if (first >= tileEnd) continue;
        const V xi = hn::Set(d, c.x[i]), yi = hn::Set(d, c.y[i]), zi = hn::Set(d, c.z[i]), mi = hn::Set(d, c.m[i]);
        const V slotI = hn::Set(d, double(i));
        V axi = zero, ayi = zero, azi = zero, poti = zero, bestR2 = inf, bestSlot = hn::Set(d, -1.0);
        for (int32_t j = first; j < tileEnd; j += lanes) {
            const V slotJ = hn::Add(laneSlot, hn::Set(d, double(j)));
            const auto partner = hn::And(hn::Gt(slotJ, slotI), hn::Lt(slotJ, count));
            const V dx = hn::Sub(xi, hn::Load(d, c.x + j));
            const V dy = hn::Sub(yi, hn::Load(d, c.y + j));
            const V dz = hn::Sub(zi, hn::Load(d, c.z + j));
            // Unfused, in the scalar pass's order: r² is bit for bit the same, so are the neighbours.
            const V r2 = hn::Add(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)), hn::Mul(dz, dz));
            // Coincident bodies exert no force on each other.
            const auto acts = hn::And(partner, hn::Ne(r2, zero));
            const V r2Safe = hn::IfThenElse(acts, r2, one);
            V f, u;
            if constexpr (kInverseSquare) {
                const V inv = hn::Div(one, hn::Sqrt(r2Safe));
                f = hn::Mul(hn::Mul(g, inv), hn::Mul(inv, inv));
                u = hn::Mul(negG, inv);
            } else {
                const V lr2 = NaturalLog(d, r2Safe);
                f = GeneralFactor(d, r2Safe, lr2, law);
                u = law.logPotential ? hn::Mul(potScale, lr2) : hn::Mul(potScale, hn::Mul(f, r2Safe));
            }
            f = hn::IfThenElseZero(acts, f);
            const V mj = hn::Load(d, c.m + j);
            const V fj = hn::Mul(f, mj), fi = hn::Mul(f, mi);
            axi = hn::NegMulAdd(fj, dx, axi);
            ayi = hn::NegMulAdd(fj, dy, ayi);
            azi = hn::NegMulAdd(fj, dz, azi);
            hn::Store(hn::MulAdd(fi, dx, hn::Load(d, o.ax + j)), d, o.ax + j);
            hn::Store(hn::MulAdd(fi, dy, hn::Load(d, o.ay + j)), d, o.ay + j);
            hn::Store(hn::MulAdd(fi, dz, hn::Load(d, o.az + j)), d, o.az + j);
            if constexpr (kFull) {
                u = hn::IfThenElseZero(acts, u);
                poti = hn::MulAdd(u, mj, poti);
                hn::Store(hn::MulAdd(u, mi, hn::Load(d, o.pot + j)), d, o.pot + j);
                // Each lane meets its partners in rising slot order; strict < keeps the first.
                const auto closer = hn::And(partner, hn::Lt(r2, bestR2));
                bestR2 = hn::IfThenElse(closer, r2, bestR2);
                bestSlot = hn::IfThenElse(closer, slotJ, bestSlot);
                const V ndj = hn::Load(d, o.nearestDistSq + j);
                const auto closerJ = hn::And(partner, hn::Lt(r2, ndj));
                hn::Store(hn::IfThenElse(closerJ, r2, ndj), d, o.nearestDistSq + j);
                hn::Store(hn::IfThenElse(closerJ, slotI, hn::Load(d, o.nearestSlot + j)), d, o.nearestSlot + j);
            }
        }
        o.ax[i] += hn::GetLane(hn::SumOfLanes(d, axi));
        o.ay[i] += hn::GetLane(hn::SumOfLanes(d, ayi));
        o.az[i] += hn::GetLane(hn::SumOfLanes(d, azi));
        if constexpr (kFull) {
            o.pot[i] += hn::GetLane(hn::SumOfLanes(d, poti));
            // The nearest is the least r², and among equals the lowest slot: the first one met.
            const V minR2 = hn::MinOfLanes(d, bestR2);
            const double r2 = hn::GetLane(minR2);
            const double slot = hn::GetLane(hn::MinOfLanes(d, hn::IfThenElse(hn::Eq(bestR2, minR2), bestSlot, inf)));
            if (r2 < o.nearestDistSq[i] || (r2 == o.nearestDistSq[i] && slot < o.nearestSlot[i])) {
                o.nearestDistSq[i] = r2;
                o.nearestSlot[i] = slot;
            }
        }
    }
    }
    }
}

void AccumulateRows(const PairColumns& c, const PairLaw& law, bool full, int32_t rowBegin, int32_t rowEnd,
                    const PairPartials& o) {
    if (full) {
        if (law.inverseSquare) Rows<true, true>(c, law, rowBegin, rowEnd, o);
        else Rows<true, false>(c, law, rowBegin, rowEnd, o);
    } else {
        if (law.inverseSquare) Rows<false, true>(c, law, rowBegin, rowEnd, o);
        else Rows<false, false>(c, law, rowBegin, rowEnd, o);
    }
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace gravitas_pairs
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gravitas_pairs {
HWY_EXPORT(AccumulateRows);
HWY_EXPORT(TargetName);
}  // namespace gravitas_pairs

void AccumulatePairRows(const PairColumns& cols, const PairLaw& law, bool withPotentialAndNearest,
                        int32_t rowBegin, int32_t rowEnd, const PairPartials& out) {
    HWY_DYNAMIC_DISPATCH(gravitas_pairs::AccumulateRows)(cols, law, withPotentialAndNearest, rowBegin, rowEnd, out);
}

const char* PairKernelTarget() { return HWY_DYNAMIC_DISPATCH(gravitas_pairs::TargetName)(); }

int32_t PairKernelTargetCount() { return int32_t(hwy::SupportedAndGeneratedTargets().size()); }

void PinPairKernelTarget(int32_t index) {
    hwy::SetSupportedTargetsForTest(0);
    if (index < 0) return;
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    if (size_t(index) < targets.size()) hwy::SetSupportedTargetsForTest(targets[size_t(index)]);
}
#endif
