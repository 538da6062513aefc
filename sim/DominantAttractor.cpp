#include "sim/DominantAttractor.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "sim/PairPass.h"

namespace {
// Bodies pulling less than this share of the strongest pull are not worth asking whether
// the body sits in their sphere of influence.
constexpr double kConsideredPull = 1e-3;
// Moon of a moon of a planet of a star: deep enough for any system, and bounded.
constexpr int kMaxNesting = 4;

// The answers found so far for one state, by depth and body: each is worked out once, so a
// call costs at most (kMaxNesting + 1) passes per body instead of a pass per path through
// the candidates, which grows exponentially with the number of bodies of varied masses.
constexpr int32_t kNotYetFound = -2;
thread_local std::vector<int32_t> found;  // grow-only

// What the answers depend on, kept with them: a call on an unchanged state (the object
// window's rows, the statistics window's lines, the frames of a paused run) reuses them.
struct AttractorInputs {
    double pos[3];
    double mass;
    bool live;
};
thread_local std::vector<AttractorInputs> foundFor;  // grow-only
thread_local double foundForLaw = 0;

// Bit for bit, so that a changed sign of zero or a NaN is a change too.
bool Same(const double* a, const double* b, size_t n) { return std::memcmp(a, b, n * sizeof(double)) == 0; }

bool AnswersFoundForThisState(const BodyRTListStruct* list, double powerLaw) {
    if (foundFor.size() != size_t(list->count) || !Same(&foundForLaw, &powerLaw, 1)) return false;
    for (int32_t i = 0; i < list->count; ++i) {
        const AttractorInputs& kept = foundFor[size_t(i)];
        const BodyRTStruct& b = list->body[i];
        if (!Same(kept.pos, b.pos, 3) || !Same(&kept.mass, &b.mass, 1) || kept.live != IsLiveBody(b)) return false;
    }
    return true;
}

void StartAnswersForThisState(const BodyRTListStruct* list, double powerLaw) {
    foundFor.resize(size_t(list->count));
    for (int32_t i = 0; i < list->count; ++i) {
        AttractorInputs& kept = foundFor[size_t(i)];
        const BodyRTStruct& b = list->body[i];
        std::memcpy(kept.pos, b.pos, sizeof kept.pos);
        kept.mass = b.mass;
        kept.live = IsLiveBody(b);
    }
    foundForLaw = powerLaw;
    found.assign(size_t(kMaxNesting + 1) * size_t(list->count), kNotYetFound);
}

double DistanceSquared(const BodyRTStruct& a, const BodyRTStruct& b) {
    double r2 = 0;
    for (int n = 0; n < 3; ++n) {
        double d = a.pos[n] - b.pos[n];
        r2 += d * d;
    }
    return r2;
}

// The acceleration's magnitude is G m r^p; G is common to every candidate.
double Pull(const BodyRTStruct& o, double r2, double powerLaw) {
    return powerLaw == -2.0 ? o.mass / r2 : o.mass * std::exp(0.5 * powerLaw * std::log(r2));
}

bool Candidate(const BodyRTListStruct* list, int32_t j, int32_t index) {
    const BodyRTStruct& o = list->body[j];
    return j != index && IsLiveBody(o) && o.mass > 0 && o.mass >= list->body[index].mass;
}

int32_t StrongestPull(const BodyRTListStruct* list, int32_t index, double powerLaw, double& bestPull) {
    int32_t best = -1;
    bestPull = 0;
    for (int32_t j = 0; j < list->count; ++j) {
        if (!Candidate(list, j, index)) continue;
        const double r2 = DistanceSquared(list->body[j], list->body[index]);
        if (!(r2 > 0)) continue;
        const double pull = Pull(list->body[j], r2, powerLaw);
        if (pull > bestPull) bestPull = pull, best = j;
    }
    return best;
}

// The strongest pull decides unless the body lies inside the Hill sphere of a lighter
// body: the Sun pulls the Moon twice as hard as the Earth does, yet the Moon orbits the
// Earth. Of nested spheres the smallest holds.
int32_t Attractor(const BodyRTListStruct* list, int32_t index, double powerLaw, int depth) {
    int32_t& answer = found[size_t(depth) * size_t(list->count) + size_t(index)];
    if (answer != kNotYetFound) return answer;
    double strongest = 0;
    const int32_t p = StrongestPull(list, index, powerLaw, strongest);
    if (p < 0 || depth >= kMaxNesting) return answer = p;
    const BodyRTStruct& me = list->body[index];
    int32_t best = p;
    double smallestSphere = INFINITY;
    for (int32_t j = 0; j < list->count; ++j) {
        const BodyRTStruct& o = list->body[j];
        if (j == p || !Candidate(list, j, index) || !(o.mass < list->body[p].mass)) continue;
        const double r2 = DistanceSquared(o, me);
        if (!(r2 > 0) || Pull(o, r2, powerLaw) < kConsideredPull * strongest) continue;
        const int32_t host = Attractor(list, j, powerLaw, depth + 1);
        if (host < 0) continue;
        const double hill = std::sqrt(DistanceSquared(o, list->body[host])) * std::cbrt(o.mass / (3 * list->body[host].mass));
        if (r2 < hill * hill && hill < smallestSphere) smallestSphere = hill, best = j;
    }
    return answer = best;
}
}  // namespace

int32_t DominantAttractor(const BodyRTListStruct* list, int32_t index, double powerLaw) {
    if (!list || index < 0 || index >= list->count) return -1;
    if (!AnswersFoundForThisState(list, powerLaw)) StartAnswersForThisState(list, powerLaw);
    return Attractor(list, index, powerLaw, 0);
}
