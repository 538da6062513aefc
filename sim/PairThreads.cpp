#include "sim/PairThreads.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "sim/ForceLaw.h"
#include "sim/PairKernel.h"
#include "sim/ThreadPool.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kColumnArrays = 4;   // x, y, z, m
constexpr int32_t kPartialArrays = 6;  // ax, ay, az, pot, nearestDistSq, nearestSlot
constexpr size_t kAlignDoubles = 8;    // 64 bytes: a whole AVX-512 vector

// Live bodies in slots (slot s holds body bodyOfSlot[s], slots rise as indices fall, the
// order in which the scalar pass meets them) and one set of partial sums per row slice.
// Kept between pushes and grown only when the body count grows.
struct SimdScratch {
    std::vector<double> storage;
    std::vector<int32_t> bodyOfSlot;
    double* base = nullptr;
    int32_t stride = 0;  // padded slot count: the length of every array
    int32_t slices = 1;
    int32_t sliceBegin[kPairSlices + 1] = {};
    PairColumns cols{};
    PairLaw law{};
    bool full = true;
};
thread_local SimdScratch scratch;
// Set on a thread that must not share the pool (its slices then run one after the other).
thread_local bool slicesInline = false;
int32_t threadedMinBodies = kThreadedPairMinBodies;

bool ScalarRequestedByEnvironment() {
    const char* env = std::getenv("GRAVITAS_PAIR_PASS");
    return env && std::strcmp(env, "scalar") == 0;
}
bool useScalar = ScalarRequestedByEnvironment();

int32_t PaddedStride(int32_t n) { return (n + kPairPadding - 1) / kPairPadding * kPairPadding + kPairPadding; }

double* Array(const SimdScratch& s, int32_t k) { return s.base + size_t(k) * size_t(s.stride); }
double* Array(int32_t k) { return Array(scratch, k); }

PairPartials PartialsOf(const SimdScratch& s, int32_t slice) {
    int32_t k = kColumnArrays + slice * kPartialArrays;
    return PairPartials{Array(s, k), Array(s, k + 1), Array(s, k + 2), Array(s, k + 3), Array(s, k + 4), Array(s, k + 5)};
}
PairPartials PartialsOf(int32_t slice) { return PartialsOf(scratch, slice); }

void Reserve(int32_t bodies, int32_t slices) {
    SimdScratch& s = scratch;
    s.stride = PaddedStride(bodies);
    s.slices = slices;
    size_t need = size_t(kColumnArrays + slices * kPartialArrays) * size_t(s.stride) + kAlignDoubles;
    if (s.storage.size() < need) s.storage.resize(need);
    if (s.bodyOfSlot.size() < size_t(bodies)) s.bodyOfSlot.resize(size_t(bodies));
    auto addr = reinterpret_cast<uintptr_t>(s.storage.data());
    s.base = s.storage.data() + (kAlignDoubles - (addr / sizeof(double)) % kAlignDoubles) % kAlignDoubles;
}

// Row slices with about equal pair counts; they depend on the live count only.
void SplitRows(int32_t n, int32_t slices) {
    SimdScratch& s = scratch;
    double total = double(n) * double(n - 1) / 2, sum = 0;
    int32_t row = 0;
    s.sliceBegin[0] = 0;
    for (int32_t k = 1; k < slices; ++k) {
        double target = total * k / slices;
        while (row < n && sum + double(n - 1 - row) <= target) sum += double(n - 1 - row++);
        s.sliceBegin[k] = row;
    }
    s.sliceBegin[slices] = n;
}

// Copies positions (from the records, or pos when given) and masses of the live bodies.
void LoadColumns(const BodyRTListStruct* list, const Vec3* pos, bool full) {
    int32_t live = 0;
    for (int32_t i = list->count - 1; i >= 0; --i) live += IsLiveBody(list->body[i]) ? 1 : 0;
    int32_t slices = live >= threadedMinBodies ? kPairSlices : 1;
    Reserve(live, slices);
    SimdScratch& s = scratch;
    double *x = Array(0), *y = Array(1), *z = Array(2), *m = Array(3);
    int32_t slot = 0;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        const double* p = pos ? pos[i].data() : b.pos;
        x[slot] = p[0];
        y[slot] = p[1];
        z[slot] = p[2];
        m[slot] = b.mass;
        s.bodyOfSlot[size_t(slot++)] = i;
    }
    std::fill(x + live, x + s.stride, 0.0);
    std::fill(y + live, y + s.stride, 0.0);
    std::fill(z + live, z + s.stride, 0.0);
    std::fill(m + live, m + s.stride, 0.0);
    s.cols = PairColumns{x, y, z, m, live};
    s.full = full;
    SplitRows(live, slices);
}

// The scratch comes as the context: it belongs to the thread that started the job.
void RunSlice(void* context, int32_t slice) {
    const SimdScratch& s = *static_cast<const SimdScratch*>(context);
    const int32_t begin = s.sliceBegin[slice], end = s.sliceBegin[slice + 1];
    const PairPartials p = PartialsOf(s, slice);
    // Rows read and write from their first vector on; clear from where that can start.
    const int32_t from = begin / kPairPadding * kPairPadding, to = s.stride;
    std::fill(p.ax + from, p.ax + to, 0.0);
    std::fill(p.ay + from, p.ay + to, 0.0);
    std::fill(p.az + from, p.az + to, 0.0);
    if (s.full) {
        std::fill(p.pot + from, p.pot + to, 0.0);
        std::fill(p.nearestDistSq + from, p.nearestDistSq + to, kInf);
        std::fill(p.nearestSlot + from, p.nearestSlot + to, -1.0);
    }
    if (begin < end) AccumulatePairRows(s.cols, s.law, s.full, begin, end, p);
}

// Evaluates every slice, on the pool when there are several.
void RunSlices(const ForceLaw& fl) {
    scratch.law = MakePairLaw(fl);
    if (slicesInline)
        for (int32_t t = 0; t < scratch.slices; ++t) RunSlice(&scratch, t);
    else RunPoolTasks(scratch.slices, RunSlice, &scratch);
}

// Adds every slice's partial sums into slice 0's, in slice order for every slot, so the
// totals never depend on which thread ran which slice. Slice k holds the slots from its
// first row on.
void AddUpSlices() {
    const SimdScratch& s = scratch;
    const PairPartials total = PartialsOf(0);
    const int32_t n = s.cols.count;
    for (int32_t k = 1; k < s.slices; ++k) {
        const PairPartials p = PartialsOf(k);
        for (int32_t slot = s.sliceBegin[k]; slot < n; ++slot) {
            total.ax[slot] += p.ax[slot];
            total.ay[slot] += p.ay[slot];
            total.az[slot] += p.az[slot];
        }
        if (!s.full) continue;
        for (int32_t slot = s.sliceBegin[k]; slot < n; ++slot) {
            total.pot[slot] += p.pot[slot];
            // Least r², then lowest slot: the neighbour the scalar pass meets first.
            double nd = p.nearestDistSq[slot], ns = p.nearestSlot[slot];
            if (nd < total.nearestDistSq[slot] || (nd == total.nearestDistSq[slot] && ns < total.nearestSlot[slot])) {
                total.nearestDistSq[slot] = nd;
                total.nearestSlot[slot] = ns;
            }
        }
    }
}

}  // namespace

void SimdGravityPairPass(BodyRTListStruct* list, bool useFastPath) {
    LoadColumns(list, nullptr, true);
    RunSlices(ForceLaw(useFastPath));
    AddUpSlices();
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        b.acc[0] = b.acc[1] = b.acc[2] = 0.0;
        b.potential = 0.0;
        b.nearestDistSq = kInf;
        b.nearestIndex = -1;
    }
    const SimdScratch& s = scratch;
    const PairPartials total = PartialsOf(0);
    for (int32_t slot = 0; slot < s.cols.count; ++slot) {
        BodyRTStruct& b = list->body[s.bodyOfSlot[size_t(slot)]];
        b.acc[0] = total.ax[slot];
        b.acc[1] = total.ay[slot];
        b.acc[2] = total.az[slot];
        b.potential = total.pot[slot];
        b.nearestDistSq = total.nearestDistSq[slot];
        const double ns = total.nearestSlot[slot];
        b.nearestIndex = ns >= 0 ? s.bodyOfSlot[size_t(ns)] : -1;
    }
}

void SimdStageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc) {
    LoadColumns(list, pos, false);
    RunSlices(ForceLaw(true));
    AddUpSlices();
    for (int32_t i = list->count - 1; i >= 0; --i) acc[i] = Vec3{0.0, 0.0, 0.0};
    const SimdScratch& s = scratch;
    const PairPartials total = PartialsOf(0);
    for (int32_t slot = 0; slot < s.cols.count; ++slot)
        acc[s.bodyOfSlot[size_t(slot)]] = Vec3{total.ax[slot], total.ay[slot], total.az[slot]};
}

size_t PairScratchBytes() {
    return scratch.storage.capacity() * sizeof(double) + scratch.bodyOfSlot.capacity() * sizeof(int32_t);
}

size_t PairScratchBytesInUse() {
    const SimdScratch& s = scratch;
    return size_t(kColumnArrays + s.slices * kPartialArrays) * size_t(s.stride) * sizeof(double) +
           size_t(s.cols.count) * sizeof(int32_t);
}

void SetThreadRunsPairSlicesInline(bool inlineSlices) { slicesInline = inlineSlices; }
bool ThreadRunsPairSlicesInline() { return slicesInline; }

void SetThreadedPairMinBodies(int32_t bodies) { threadedMinBodies = bodies > 0 ? bodies : kThreadedPairMinBodies; }

int32_t ThreadedPairMinBodies() { return threadedMinBodies; }

bool UseScalarPairPass() { return useScalar; }

void SetUseScalarPairPass(bool scalar) { useScalar = scalar; }

void GravityPairPass(BodyRTListStruct* list, bool useFastPath) {
    if (UseScalarPairPass()) ScalarGravityPairPass(list, useFastPath);
    else SimdGravityPairPass(list, useFastPath);
}

void StageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc) {
    if (UseScalarPairPass()) ScalarStageAccelerations(list, pos, acc);
    else SimdStageAccelerations(list, pos, acc);
}
