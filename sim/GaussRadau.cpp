#include "sim/GaussRadau.h"

#include <algorithm>
#include <cmath>

// Gauss–Radau spacings of order 15 on [0, 1] (Everhart 1985, table 1): h = 0 and the
// roots of P7(2h−1) + P8(2h−1) divided by h.
const double kGaussRadauSpacing[kGaussRadauNodes] = {
    0.0,
    0.0562625605369221464656521910318,
    0.180240691736892364987579942780,
    0.352624717113169637373907769648,
    0.547153626330555383001448554766,
    0.734210177215410531523210605558,
    0.885320946839095768090359771030,
    0.977520613561287501891174488626,
};

namespace {
constexpr int kOrders = kGaussRadauOrders;

// Rein & Spiegel (2015): a trial step whose required size falls below this fraction
// of itself is redone; an accepted step lets the next one grow by at most its inverse.
constexpr double kSafety = 0.25;
// Least growth after a step whose error estimate lies within the rounding floor: lets
// the error at most double, 2^(1/7).
constexpr double kFloorGrowth = 1.1040895136738123;
// The predictor–corrector loop stops once b6 changes by less than this, relative to
// the largest acceleration: below that the change is rounding noise.
constexpr double kConvergedChange = 1e-16;
constexpr int kMaxIterations = 12;

// The acceleration over a step is written two ways in the step's time fraction h:
//   a(h) = a0 + Σk g_k π_k(h),    π_k(h) = h (h − h1) … (h − h_{k−1})   (divided differences)
//   a(h) = a0 + Σm b_m h^(m+1)                                          (power series)
// fromNewton[k][m] converts g to b, toNewton[m][k] converts b back to g, and
// invGap[n][j] = 1 / (h_n − h_j) feeds the divided differences.
struct Tables {
    double fromNewton[kOrders][kOrders] = {};
    double toNewton[kOrders][kOrders] = {};
    double invGap[kGaussRadauNodes][kGaussRadauNodes] = {};
    // The integrated series at node n: the position gains dt² Σm b_m posWeight[n][m] and
    // the velocity dt Σm b_m velWeight[n][m], with
    //   posWeight = h^(m+3) / ((m+2)(m+3)),  velWeight = h^(m+2) / (m+2),
    // so that no node divides.
    double posWeight[kGaussRadauNodes][kOrders] = {};
    double velWeight[kGaussRadauNodes][kOrders] = {};
    // binomial[j][k] = C(j+1, k+1): how b_j h^(j+1) spreads over the powers of the next step.
    double binomial[kOrders][kOrders] = {};
    double b6NoiseGain = 0.0;
    Tables() {
        const double* h = kGaussRadauSpacing;
        for (int n = 1; n < kGaussRadauNodes; ++n) {
            long double power = (long double)h[n] * (long double)h[n];  // h^(m+2)
            for (int m = 0; m < kOrders; ++m) {
                velWeight[n][m] = double(power / (m + 2));
                posWeight[n][m] = double(power * (long double)h[n] / ((m + 2) * (m + 3)));
                power *= (long double)h[n];
            }
        }
        for (int j = 0; j < kOrders; ++j) {
            double c = 1.0;  // C(j+1, k+1), from k = j down
            for (int k = j; k >= 0; --k) {
                binomial[j][k] = c;
                c = c * double(k + 1) / double(j + 1 - k);
            }
        }
        // Coefficients of π_k in powers of h, built by π_{k+1} = π_k · (h − h_k).
        // Index [k][p]: π_{k+1}'s coefficient of h^(p+1).
        long double pi[kOrders][kOrders + 1] = {};
        pi[0][1] = 1.0L;
        for (int k = 1; k < kOrders; ++k)
            for (int p = 1; p <= k + 1; ++p) pi[k][p] = pi[k - 1][p - 1] - (long double)h[k] * pi[k - 1][p];
        // h^p in the Newton basis, built by h·π_k = π_{k+1} + h_k π_k.
        long double pw[kOrders][kOrders] = {};
        pw[0][0] = 1.0L;
        for (int p = 1; p < kOrders; ++p)
            for (int k = 0; k < p; ++k) {
                pw[p][k + 1] += pw[p - 1][k];
                pw[p][k] += (long double)h[k + 1] * pw[p - 1][k];
            }
        for (int k = 0; k < kOrders; ++k)
            for (int m = 0; m <= k; ++m) fromNewton[k][m] = double(pi[k][m + 1]);
        for (int m = 0; m < kOrders; ++m)
            for (int k = 0; k <= m; ++k) toNewton[m][k] = double(pw[m][k]);
        for (int n = 1; n < kGaussRadauNodes; ++n)
            for (int j = 0; j < n; ++j) invGap[n][j] = double(1.0L / ((long double)h[n] - (long double)h[j]));
        // b6 is the seventh divided difference, Σn w_n a(h_n) with
        // w_n = 1 / Πj≠n (h_n − h_j); independent errors in the a(h_n) reach it
        // amplified by the root sum of squares of the weights.
        long double sum = 0.0L;
        for (int n = 0; n < kGaussRadauNodes; ++n) {
            long double w = 1.0L;
            for (int j = 0; j < kGaussRadauNodes; ++j)
                if (j != n) w *= (long double)h[n] - (long double)h[j];
            sum += 1.0L / (w * w);
        }
        b6NoiseGain = double(std::sqrt(sum));
    }
};
const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

// How the coefficients on hand relate to the step about to be tried.
enum class Coefficients { kNone, kFromAcceptedStep, kFromRejectedTrial };

struct Run {
    GaussRadauStateStruct& s;
    const Tables& t;
    GaussRadauAccelerationFn accel;
    void* context;
    size_t n3;
    Coefficients have = Coefficients::kNone;
    bool predictionValid = false;  // s.predicted holds what the coming step was predicted from
    double coefficientStep = 0.0;  // step length the coefficients on hand belong to
};

// The coefficients of component i: kOrders consecutive values.
double* Row(std::vector<double>& v, size_t i) { return v.data() + i * kOrders; }

void RecomputeNewton(Run& r) {
    for (size_t i = 0; i < r.n3; ++i) {
        const double* b = Row(r.s.b, i);
        double* g = Row(r.s.g, i);
        for (int k = 0; k < kOrders; ++k) {
            double sum = 0.0;
            for (int m = kOrders - 1; m >= k; --m) sum += r.t.toNewton[m][k] * b[m];
            g[k] = sum;
        }
    }
}

void ClearCoefficients(Run& r) {
    for (auto* v : {&r.s.b, &r.s.g, &r.s.predicted}) std::fill(v->begin(), v->end(), 0.0);
    r.predictionValid = false;
    r.have = Coefficients::kNone;
}

// Sets b for a trial step of length dt from whatever the last attempt left.
void PrepareCoefficients(Run& r, double dt) {
    if (r.have == Coefficients::kNone) return;
    double q = dt / r.coefficientStep;
    if (r.have == Coefficients::kFromRejectedTrial) {
        // Same start point, shorter step: the polynomial in time is kept, rescaled
        // to the new step's time fraction.
        if (!(q > 0.0 && q <= 1.0)) return ClearCoefficients(r);
        double qk[kOrders];
        qk[0] = q;
        for (int k = 1; k < kOrders; ++k) qk[k] = qk[k - 1] * q;
        for (size_t i = 0; i < r.n3; ++i) {
            double *b = Row(r.s.b, i), *p = Row(r.s.predicted, i);
            for (int k = 0; k < kOrders; ++k) {
                b[k] *= qk[k];
                p[k] *= qk[k];
            }
        }
        RecomputeNewton(r);
        return;
    }
    // The next step starts where the accepted one ended, at its h = 1: continue its
    // polynomial, a(1 + q h'), and add the difference between the last step's
    // converged and predicted b (Everhart's correction of the prediction).
    // Extrapolating far beyond the last step would amplify its rounding noise.
    if (!(q > 0.0 && q <= 1.0 / kSafety)) return ClearCoefficients(r);
    double qk[kOrders];
    qk[0] = q;
    for (int k = 1; k < kOrders; ++k) qk[k] = qk[k - 1] * q;
    for (size_t i = 0; i < r.n3; ++i) {
        double *b = Row(r.s.b, i), *p = Row(r.s.predicted, i);
        double old[kOrders];
        for (int k = 0; k < kOrders; ++k) old[k] = b[k];
        for (int k = 0; k < kOrders; ++k) {
            // Coefficient of h'^(k+1) in Σj b_j (1 + q h')^(j+1).
            double sum = 0.0;
            for (int j = k; j < kOrders; ++j) sum += r.t.binomial[j][k] * old[j];
            double extrapolated = qk[k] * sum;
            double correction = r.predictionValid ? old[k] - p[k] : 0.0;
            p[k] = extrapolated;
            b[k] = extrapolated + correction;
        }
    }
    r.predictionValid = true;
    RecomputeNewton(r);
}

// Σm b_m weight[m], smallest terms first.
inline double NodeSeries(const double* b, const double (&weight)[kOrders]) {
    double series = b[kOrders - 1] * weight[kOrders - 1];
    for (int k = kOrders - 2; k >= 0; --k) series += b[k] * weight[k];
    return series;
}

// Positions (and velocities, when the accelerations need them) at node n of a step of length dt.
void PredictPositions(Run& r, int n, double dt) {
    GaussRadauStateStruct& s = r.s;
    const double h = kGaussRadauSpacing[n], hdt = h * dt, half = h * h / 2.0;
    const double(&posWeight)[kOrders] = r.t.posWeight[n];
    const double(&velWeight)[kOrders] = r.t.velWeight[n];
    for (size_t i = 0; i < r.n3; ++i) {
        const double* b = Row(s.b, i);
        double dx = hdt * s.startVel[i] + dt * dt * (NodeSeries(b, posWeight) + half * s.startAcc[i]);
        s.trialPos[i] = s.startPos[i] + (dx - s.posCarry[i]);
        if (s.velocityDependent)
            s.trialVel[i] = s.startVel[i] + (dt * (NodeSeries(b, velWeight) + h * s.startAcc[i]) - s.velCarry[i]);
    }
}

// Folds the accelerations met at node n into g_n (g[n-1]) and the b it feeds; returns the
// largest change of g_n. The node is a template argument so that every loop over the
// coefficients has a fixed length.
template <int n>
double FoldNode(Run& r) {
    GaussRadauStateStruct& s = r.s;
    const double* gap = r.t.invGap[n];
    const double(&fromNewton)[kOrders] = r.t.fromNewton[n - 1];
    double maxChange = 0.0;
    for (size_t i = 0; i < r.n3; ++i) {
        double *b = Row(s.b, i), *g = Row(s.g, i);
        double value = (s.nodeAcc[i] - s.startAcc[i]) * gap[0];
        for (int j = 1; j < n; ++j) value = (value - g[j - 1]) * gap[j];
        double change = value - g[n - 1];
        g[n - 1] = value;
        for (int m = 0; m < n; ++m) b[m] += fromNewton[m] * change;
        maxChange = std::max(maxChange, std::fabs(change));
    }
    return maxChange;
}

using FoldFn = double (*)(Run&);
constexpr FoldFn kFold[kGaussRadauNodes] = {nullptr,     FoldNode<1>, FoldNode<2>, FoldNode<3>,
                                            FoldNode<4>, FoldNode<5>, FoldNode<6>, FoldNode<7>};

// One pass over the seven nodes; returns the largest change in b6 and the largest
// acceleration met at the last node.
void CorrectorPass(Run& r, double dt, double& maxChange, double& maxAcc) {
    GaussRadauStateStruct& s = r.s;
    for (int n = 1; n < kGaussRadauNodes; ++n) {
        PredictPositions(r, n, dt);
        r.accel(r.context, s.count, s.trialPos.data(), s.nodeAcc.data());
        maxChange = kFold[n](r);
    }
    maxAcc = 0.0;
    for (size_t i = 0; i < r.n3; ++i) maxAcc = std::max(maxAcc, std::fabs(s.nodeAcc[i]));
}

// Iterates the corrector until b stops changing; returns the relative size of b6,
// the step's error estimate (infinite when the trial produced non-finite values).
double Converge(Run& r, double dt) {
    double lastChange = HUGE_VAL;
    double maxAcc = 0.0;
    // A change of b6 within the rounding floor is noise: more passes cannot lower it.
    const double converged = std::max(kConvergedChange, r.s.roundingFloor);
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        double maxChange;
        CorrectorPass(r, dt, maxChange, maxAcc);
        ++r.s.lastIterations;
        double change = maxAcc > 0.0 ? maxChange / maxAcc : maxChange;
        if (!std::isfinite(change)) return HUGE_VAL;
        if (change < converged) break;
        if (iteration >= 2 && change >= lastChange) break;  // rounding noise: no further gain
        lastChange = change;
    }
    double maxB6 = 0.0;
    for (size_t i = 0; i < r.n3; ++i) maxB6 = std::max(maxB6, std::fabs(Row(r.s.b, i)[kOrders - 1]));
    if (!std::isfinite(maxB6) || !std::isfinite(maxAcc)) return HUGE_VAL;
    if (maxB6 == 0.0) return 0.0;
    return maxAcc > 0.0 ? maxB6 / maxAcc : HUGE_VAL;
}

inline void CompensatedAdd(double& sum, double& carry, double increment) {
    double y = increment - carry;
    double next = sum + y;
    carry = (next - sum) - y;
    sum = next;
}

void AcceptStep(Run& r, double dt) {
    GaussRadauStateStruct& s = r.s;
    for (size_t i = 0; i < r.n3; ++i) {
        const double* b = Row(s.b, i);
        const double b0 = b[0], b1 = b[1], b2 = b[2], b3 = b[3], b4 = b[4], b5 = b[5], b6 = b[6];
        // Smallest terms first.
        double dx = b6 / 72.0 + b5 / 56.0 + b4 / 42.0 + b3 / 30.0 + b2 / 20.0 + b1 / 12.0 + b0 / 6.0 +
                    s.startAcc[i] / 2.0;
        double dv = b6 / 8.0 + b5 / 7.0 + b4 / 6.0 + b3 / 5.0 + b2 / 4.0 + b1 / 3.0 + b0 / 2.0 + s.startAcc[i];
        CompensatedAdd(s.pos[i], s.posCarry[i], dt * s.startVel[i] + dt * dt * dx);
        CompensatedAdd(s.vel[i], s.velCarry[i], dt * dv);
    }
}

bool AllFinite(const std::vector<double>& v) {
    for (double x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

// Number of equal substeps that cover `span` with none longer than `step`.
double SubstepCount(double span, double step) {
    double count = std::ceil(span / step * (1.0 - 1e-12));
    return count < 1.0 ? 1.0 : count;
}
}  // namespace

double GaussRadauB6NoiseGain() { return GetTables().b6NoiseGain; }

void RestartGaussRadau(GaussRadauStateStruct& s, int32_t count) {
    if (count < 0) count = 0;
    const size_t n3 = size_t(count) * 3;
    s.count = count;
    for (auto* v : {&s.pos, &s.vel, &s.posCarry, &s.velCarry, &s.startPos, &s.startVel, &s.startAcc, &s.trialPos,
                    &s.trialVel, &s.nodeAcc})
        v->assign(n3, 0.0);
    for (auto* v : {&s.b, &s.g, &s.predicted}) v->assign(n3 * kGaussRadauOrders, 0.0);
    s.nextStep = 0.0;
    s.lastStepDone = 0.0;
    s.hasCoefficients = s.hasPrediction = false;
    s.lastSubsteps = s.lastRejected = s.lastIterations = 0;
}

void ForgetGaussRadauHistory(GaussRadauStateStruct& s) {
    std::fill(s.posCarry.begin(), s.posCarry.end(), 0.0);
    std::fill(s.velCarry.begin(), s.velCarry.end(), 0.0);
    s.hasCoefficients = s.hasPrediction = false;
}

int32_t AdvanceGaussRadau(GaussRadauStateStruct& s, double duration, GaussRadauAccelerationFn accel, void* context,
                          const double* firstAcc) {
    s.lastSubsteps = s.lastRejected = s.lastIterations = 0;
    if (s.count <= 0 || duration == 0.0 || !std::isfinite(duration)) return 0;

    Run r{s, GetTables(), accel, context, size_t(s.count) * 3};
    if (s.hasCoefficients) {
        r.have = Coefficients::kFromAcceptedStep;
        r.predictionValid = s.hasPrediction;
        r.coefficientStep = s.lastStepDone;
    } else {
        ClearCoefficients(r);
    }
    const double direction = duration > 0.0 ? 1.0 : -1.0;
    const double span = std::fabs(duration);
    const double minStep = span * std::max(s.minStepFraction, 1e-15);
    const bool adaptiveRun = s.epsilon > 0.0;

    double done = 0.0;  // magnitude of time advanced so far
    bool needAcc = firstAcc == nullptr;
    if (firstAcc && firstAcc != s.startAcc.data()) std::copy(firstAcc, firstAcc + r.n3, s.startAcc.begin());

    while (done < span) {
        std::copy(s.pos.begin(), s.pos.end(), s.startPos.begin());
        std::copy(s.vel.begin(), s.vel.end(), s.startVel.begin());
        if (needAcc) {
            if (s.velocityDependent) std::copy(s.vel.begin(), s.vel.end(), s.trialVel.begin());
            accel(context, s.count, s.pos.data(), s.startAcc.data());
        }
        needAcc = true;
        // Non-finite motion cannot be repaired by smaller steps; don't try.
        const bool adaptive = adaptiveRun && AllFinite(s.startPos) && AllFinite(s.startVel) && AllFinite(s.startAcc);

        double proposal = adaptive ? s.nextStep : adaptiveRun ? span : s.fixedStep;
        if (!(proposal > 0.0)) proposal = span;
        for (;;) {
            const double remaining = span - done;
            const double pieces = SubstepCount(remaining, std::max(proposal, minStep));
            const double step = pieces == 1.0 ? remaining : remaining / pieces;
            const double dt = direction * step;
            PrepareCoefficients(r, dt);
            const double error = Converge(r, dt);
            double required = step;
            if (adaptive) {
                // Never aim below what the rounding of the positions lets b6 resolve:
                // no shorter step lowers that floor, so aiming under it would shrink
                // the step without end. An estimate within the floor may be noise over a
                // much smaller error, so the step grows at least by kFloorGrowth; growing
                // fourfold, as after an exact step, would overshoot again and again into
                // trials 4^7 times too coarse whenever the error sits at the floor.
                const double aim = std::max(s.epsilon, s.roundingFloor);
                if (error == 0.0) required = step / kSafety;
                else if (error <= s.roundingFloor)
                    required = step * std::max(kFloorGrowth, std::pow(aim / error, 1.0 / 7.0));
                else if (std::isfinite(error)) required = step * std::pow(aim / error, 1.0 / 7.0);
                else required = step * kSafety * kSafety;  // the trial blew up: shrink hard and retry
                if (required < kSafety * step && proposal > minStep) {
                    ++s.lastRejected;
                    if (std::isfinite(error)) {
                        r.have = Coefficients::kFromRejectedTrial;
                        r.coefficientStep = dt;
                    } else {
                        ClearCoefficients(r);
                    }
                    proposal = std::max(required, minStep);
                    continue;
                }
            }
            AcceptStep(r, dt);
            ++s.lastSubsteps;
            s.lastStepDone = dt;
            r.have = Coefficients::kFromAcceptedStep;
            r.coefficientStep = dt;
            // A step shortened to fit the advance says little about how long the next
            // may be, so growth is measured from the proposal it was cut from.
            if (adaptive) s.nextStep = std::max(std::min(required, std::max(step, proposal) / kSafety), minStep);
            done = pieces == 1.0 ? span : done + step;
            break;
        }
    }
    s.hasCoefficients = r.have == Coefficients::kFromAcceptedStep;
    s.hasPrediction = r.predictionValid;
    return s.lastSubsteps;
}
