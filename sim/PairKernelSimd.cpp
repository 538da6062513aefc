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

// f = G r^(p-1) and, for the potential pass, u.
struct LawTerms {
    V f, u;
};

HWY_INLINE V PotentialFactor(D d, V r2, V f, V lr2, const PairLaw& law) {
    const V potScale = hn::Set(d, law.potScale);
    return law.logPotential ? hn::Mul(potScale, lr2) : hn::Mul(potScale, hn::Mul(f, r2));
}

// Lanes the vector code may get wrong are redone with the standard library, the way the
// scalar loop computes them: subnormal, huge or non-finite r², and results near the ends
// of the double range, where a power of two no longer fits the exponent bits.
HWY_INLINE auto OutsideNormalRange(D d, V v, double low, double high) {
    return hn::Not(hn::And(hn::Ge(v, hn::Set(d, low)), hn::Le(v, hn::Set(d, high))));
}

HWY_NOINLINE LawTerms RedoLanes(D d, V r2, const PairLaw& law, bool withPotential, LawTerms vec,
                                hn::Mask<D> outside) {
    HWY_ALIGN double r2s[HWY_MAX_BYTES / sizeof(double)];
    HWY_ALIGN double fs[HWY_MAX_BYTES / sizeof(double)];
    HWY_ALIGN double us[HWY_MAX_BYTES / sizeof(double)];
    hn::Store(r2, d, r2s);
    for (size_t k = 0; k < hn::Lanes(d); ++k) {
        const double lr2 = std::log(r2s[k]);
        fs[k] = law.g * std::exp(law.accExp * lr2);
        us[k] = law.logPotential ? law.potScale * lr2 : law.g * std::exp((law.accExp + 1) * lr2) * law.potScale;
    }
    vec.f = hn::IfThenElse(outside, hn::Load(d, fs), vec.f);
    if (withPotential) vec.u = hn::IfThenElse(outside, hn::Load(d, us), vec.u);
    return vec;
}

// ln y for y in [sqrt(1/2), sqrt(2)], from s = (y - 1) / (y + 1): ln y = 2 atanh s =
// 2s + s P(s²), where P stands for the atanh series past its first term. P's coefficients
// are our own minimax fit over that range (tools/log-series/fit_log_series.py); it leaves
// an error below 5e-19 in ln y, far under the ulp. 2s is formed as f - f²/2 + s f²/2, so
// the large part f = y - 1 is exact and only the small ones round.
HWY_INLINE V LogNearOne(D d, V y) {
    const V f = hn::Sub(y, hn::Set(d, 1.0));  // exact: y is within a factor 2 of 1
    const V s = hn::Div(f, hn::Add(hn::Set(d, 2.0), f));
    const V z = hn::Mul(s, s), w = hn::Mul(z, z);
    auto c = [&](double v) { return hn::Set(d, v); };
    // P(z) = z (c1 + c3 w + c5 w² + c7 w³) + w (c2 + c4 w + c6 w²): two shorter chains.
    const V evens = hn::Mul(w, hn::MulAdd(w, hn::MulAdd(w, c(0.1530633974194607), c(0.22222191654174808)),
                                          c(0.39999999999014707)));
    const V odds = hn::Mul(z, hn::MulAdd(w,
                                         hn::MulAdd(w, hn::MulAdd(w, c(0.14867996787860063), c(0.1818389087688214)),
                                                    c(0.28571428818405054)),
                                         c(0.666666666666681)));
    const V halfSquare = hn::Mul(hn::Set(d, 0.5), hn::Mul(f, f));
    return hn::Sub(f, hn::NegMulAdd(s, hn::Add(halfSquare, hn::Add(evens, odds)), halfSquare));
}

// e^x for |x| <= ln(2)/2: the Taylor series to x^13, whose remainder is below 4e-18.
HWY_INLINE V ExpNearZero(D d, V x) {
    const V x2 = hn::Mul(x, x), x4 = hn::Mul(x2, x2), x8 = hn::Mul(x4, x4);
    auto pair = [&](double a, double b) { return hn::MulAdd(x, hn::Set(d, b), hn::Set(d, a)); };
    const V a0 = pair(1.0 / 2, 1.0 / 6), a1 = pair(1.0 / 24, 1.0 / 120), a2 = pair(1.0 / 720, 1.0 / 5040);
    const V a3 = pair(1.0 / 40320, 1.0 / 362880), a4 = pair(1.0 / 3628800, 1.0 / 39916800);
    const V a5 = pair(1.0 / 479001600, 1.0 / 6227020800);
    const V b0 = hn::MulAdd(x2, a1, a0), b1 = hn::MulAdd(x2, a3, a2), b2 = hn::MulAdd(x2, a5, a4);
    const V tail = hn::MulAdd(x8, b2, hn::MulAdd(x4, b1, b0));  // (e^x - 1 - x) / x²
    return hn::Add(hn::Set(d, 1.0), hn::MulAdd(x2, tail, x));
}

// f = G (r²)^accExp in base 2: r² = 2^e y, log2 r² = e + ln y / ln 2, and 2 to that power
// times accExp splits into a whole power of two (added to the exponent bits) and e^x for
// the rest. One rounding of accExp log2 r² sets the error, as in the standard library's
// exp(accExp ln r²). Lanes where a step would leave the normal range are redone.
HWY_INLINE LawTerms LogExpTerms(D d, V r2, const PairLaw& law, bool withPotential) {
    constexpr double kLog2E = 1.4426950408889634074, kLn2 = 0.69314718055994530942;
    const hn::RebindToSigned<D> di;
    constexpr int64_t kSqrtHalfBits = 0x3FE6A09E667F3BCD;  // the bits of sqrt(1/2)
    const auto bits = hn::BitCast(di, r2);
    const auto e = hn::ShiftRight<52>(hn::Sub(bits, hn::Set(di, kSqrtHalfBits)));
    const V y = hn::BitCast(d, hn::Sub(bits, hn::ShiftLeft<52>(e)));
    const V lnY = LogNearOne(d, y);
    const V eD = hn::ConvertTo(d, e);
    const V accExp = hn::Set(d, law.accExp);
    const V arg2 = hn::MulAdd(accExp, eD, hn::Mul(hn::Set(d, law.accExp * kLog2E), lnY));
    const V whole = hn::Round(arg2);
    const V x = hn::Mul(hn::Sub(arg2, whole), hn::Set(d, kLn2));
    const auto exponentBits = hn::ShiftLeft<52>(hn::ConvertTo(di, whole));
    const V scaled = hn::BitCast(d, hn::Add(hn::BitCast(di, ExpNearZero(d, x)), exponentBits));
    LawTerms t;
    t.f = hn::Mul(hn::Set(d, law.g), scaled);
    if (withPotential) {
        // ln r² = e ln 2 + ln y, with ln 2 split so e times its 40-bit part is exact
        // (the split printed by tools/log-series/fit_log_series.py).
        const V lr2 = law.logPotential ? hn::MulAdd(eD, hn::Set(d, 0.6931471805601177),
                                                    hn::MulAdd(eD, hn::Set(d, -1.7239444525614835e-13), lnY))
                                       : r2;
        t.u = PotentialFactor(d, r2, t.f, lr2, law);
    } else {
        t.u = t.f;
    }
    const auto outside =
        hn::Or(OutsideNormalRange(d, r2, DBL_MIN, DBL_MAX), hn::Gt(hn::Abs(arg2), hn::Set(d, 1000.0)));
    if (HWY_UNLIKELY(!hn::AllFalse(d, outside))) t = RedoLanes(d, r2, law, withPotential, t, outside);
    return t;
}

// f = G (r²)^(accQuarters / 4): a power of r² by squaring, times r and sqrt(r) as the
// quarters ask, inverted once for negative exponents. A few roundings, so it agrees with
// the log/exp form to well within that form's own error. Lanes whose power or its
// reciprocal would not be a normal number take the standard library's form instead.
HWY_INLINE LawTerms QuarterPowerTerms(D d, V r2, const PairLaw& law, bool withPotential) {
    const int32_t quarters = law.accQuarters < 0 ? -law.accQuarters : law.accQuarters;
    V power = hn::Set(d, 1.0);
    if (quarters & 3) {
        const V r = hn::Sqrt(r2);
        if (quarters & 2) power = r;
        if (quarters & 1) power = (quarters & 2) ? hn::Mul(r, hn::Sqrt(r)) : hn::Sqrt(r);
    }
    V square = r2;
    for (int32_t whole = quarters >> 2; whole != 0; whole >>= 1) {
        if (whole & 1) power = hn::Mul(power, square);
        if (whole > 1) square = hn::Mul(square, square);
    }
    LawTerms t;
    t.f = law.accQuarters < 0 ? hn::Div(hn::Set(d, law.g), power) : hn::Mul(hn::Set(d, law.g), power);
    t.u = withPotential ? PotentialFactor(d, r2, t.f, law.logPotential ? hn::Log(d, r2) : r2, law) : t.f;
    const auto outside =
        hn::Or(OutsideNormalRange(d, r2, DBL_MIN, DBL_MAX), OutsideNormalRange(d, power, 0x1p-1020, 0x1p1020));
    if (HWY_UNLIKELY(!hn::AllFalse(d, outside))) t = RedoLanes(d, r2, law, withPotential, t, outside);
    return t;
}

// f and u of one vector of r² (none zero), by the law's fastest exact path.
template <bool kFull, bool kInverseSquare>
HWY_INLINE LawTerms Terms(D d, V r2Safe, const PairLaw& law) {
    if constexpr (kInverseSquare) {
        const V inv = hn::Div(hn::Set(d, 1.0), hn::Sqrt(r2Safe));
        return LawTerms{hn::Mul(hn::Mul(hn::Set(d, law.g), inv), hn::Mul(inv, inv)), hn::Mul(hn::Set(d, -law.g), inv)};
    } else {
        return law.quarterPower ? QuarterPowerTerms(d, r2Safe, law, kFull) : LogExpTerms(d, r2Safe, law, kFull);
    }
}

constexpr int32_t kRowBlock = 32;
constexpr int32_t kTile = 512;  // slots: 10 arrays of them take 40 KB

template <bool kFull, bool kInverseSquare>
void Rows(const PairColumns& c, const PairLaw& law, int32_t rowBegin, int32_t rowEnd, const PairPartials& o) {
    const D d;
    const int32_t lanes = int32_t(hn::Lanes(d));
    const V zero = hn::Zero(d), one = hn::Set(d, 1.0);
    const V inf = hn::Set(d, std::numeric_limits<double>::infinity());
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
            const LawTerms t = Terms<kFull, kInverseSquare>(d, r2Safe, law);
            V f = t.f, u = t.u;
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

// A vector of particles at a time against every massive slot, so a particle's sums stay in
// registers and each is stored once.
template <bool kFull, bool kInverseSquare>
void Columns(const PairColumns& c, const ParticleColumns& p, const PairLaw& law, int32_t begin, int32_t end,
             const PairPartials& o) {
    const D d;
    const int32_t lanes = int32_t(hn::Lanes(d));
    const V zero = hn::Zero(d), one = hn::Set(d, 1.0);
    const V inf = hn::Set(d, std::numeric_limits<double>::infinity());
    for (int32_t j = begin; j < end; j += lanes) {
        const V xj = hn::Load(d, p.x + j), yj = hn::Load(d, p.y + j), zj = hn::Load(d, p.z + j);
        V ax = zero, ay = zero, az = zero, pot = zero, bestR2 = inf, bestSlot = hn::Set(d, -1.0);
        for (int32_t i = 0; i < c.count; ++i) {
            // Same sign and order as a particle met as a row's partner.
            const V dx = hn::Sub(hn::Set(d, c.x[i]), xj);
            const V dy = hn::Sub(hn::Set(d, c.y[i]), yj);
            const V dz = hn::Sub(hn::Set(d, c.z[i]), zj);
            const V r2 = hn::Add(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)), hn::Mul(dz, dz));
            const auto acts = hn::Ne(r2, zero);
            const V r2Safe = hn::IfThenElse(acts, r2, one);
            const LawTerms t = Terms<kFull, kInverseSquare>(d, r2Safe, law);
            V f = t.f, u = t.u;
            const V mi = hn::Set(d, c.m[i]);
            const V fi = hn::Mul(hn::IfThenElseZero(acts, f), mi);
            ax = hn::MulAdd(fi, dx, ax);
            ay = hn::MulAdd(fi, dy, ay);
            az = hn::MulAdd(fi, dz, az);
            if constexpr (kFull) {
                pot = hn::MulAdd(hn::IfThenElseZero(acts, u), mi, pot);
                const auto closer = hn::Lt(r2, bestR2);
                bestR2 = hn::IfThenElse(closer, r2, bestR2);
                bestSlot = hn::IfThenElse(closer, hn::Set(d, double(i)), bestSlot);
            }
        }
        hn::Store(ax, d, o.ax + j);
        hn::Store(ay, d, o.ay + j);
        hn::Store(az, d, o.az + j);
        if constexpr (kFull) {
            hn::Store(pot, d, o.pot + j);
            hn::Store(bestR2, d, o.nearestDistSq + j);
            hn::Store(bestSlot, d, o.nearestSlot + j);
        }
    }
}

void AccumulateColumns(const PairColumns& c, const ParticleColumns& p, const PairLaw& law, bool full, int32_t begin,
                       int32_t end, const PairPartials& o) {
    if (full) {
        if (law.inverseSquare) Columns<true, true>(c, p, law, begin, end, o);
        else Columns<true, false>(c, p, law, begin, end, o);
    } else {
        if (law.inverseSquare) Columns<false, true>(c, p, law, begin, end, o);
        else Columns<false, false>(c, p, law, begin, end, o);
    }
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace gravitas_pairs
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gravitas_pairs {
HWY_EXPORT(AccumulateRows);
HWY_EXPORT(AccumulateColumns);
HWY_EXPORT(TargetName);
}  // namespace gravitas_pairs

void AccumulatePairRows(const PairColumns& cols, const PairLaw& law, bool withPotentialAndNearest,
                        int32_t rowBegin, int32_t rowEnd, const PairPartials& out) {
    HWY_DYNAMIC_DISPATCH(gravitas_pairs::AccumulateRows)(cols, law, withPotentialAndNearest, rowBegin, rowEnd, out);
}

void AccumulateParticleColumns(const PairColumns& massive, const ParticleColumns& particles, const PairLaw& law,
                               bool withPotentialAndNearest, int32_t begin, int32_t end, const PairPartials& out) {
    HWY_DYNAMIC_DISPATCH(gravitas_pairs::AccumulateColumns)(massive, particles, law, withPotentialAndNearest, begin, end,
                                                            out);
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
