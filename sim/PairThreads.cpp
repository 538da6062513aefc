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

constexpr int32_t kParticleArrays = 3;  // x, y, z

// Live massive bodies in slots (slot s holds body bodyOfSlot[s], slots rise as indices fall,
// the order in which the scalar pass meets them) and one set of partial sums per row slice;
// after them the live particles in slots of their own, with one set of results (particle
// slot q holds body bodyOfSlot[massive count + q]). Kept between pushes and grown only when
// the body count grows.
struct SimdScratch {
    std::vector<double> storage;
    std::vector<int32_t> bodyOfSlot;
    double* base = nullptr;
    int32_t stride = 0;  // padded massive slot count: the length of every massive array
    int32_t particleStride = 0;
    int32_t slices = 1;
    int32_t sliceBegin[kPairSlices + 1] = {};
    int32_t particleSlices = 0;
    int32_t particleSliceBegin[kPairSlices + 1] = {};
    PairColumns cols{};
    ParticleColumns particles{};
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

double* ParticleArray(const SimdScratch& s, int32_t k) {
    return s.base + size_t(kColumnArrays + s.slices * kPartialArrays) * size_t(s.stride) +
           size_t(k) * size_t(s.particleStride);
}

double* ParticleArray(int32_t k) { return ParticleArray(scratch, k); }

PairPartials ParticleResults(const SimdScratch& s) {
    const int32_t k = kParticleArrays;
    return PairPartials{ParticleArray(s, k),     ParticleArray(s, k + 1), ParticleArray(s, k + 2),
                        ParticleArray(s, k + 3), ParticleArray(s, k + 4), ParticleArray(s, k + 5)};
}
PairPartials ParticleResults() { return ParticleResults(scratch); }

size_t StorageDoubles(const SimdScratch& s) {
    return size_t(kColumnArrays + s.slices * kPartialArrays) * size_t(s.stride) +
           size_t(s.particles.count > 0 ? kParticleArrays + kPartialArrays : 0) * size_t(s.particleStride);
}

void Reserve(int32_t massive, int32_t particles, int32_t slices) {
    SimdScratch& s = scratch;
    s.stride = PaddedStride(massive);
    s.particleStride = particles > 0 ? PaddedStride(particles) : 0;
    s.particles.count = particles;
    s.slices = slices;
    size_t need = StorageDoubles(s) + kAlignDoubles;
    if (s.storage.size() < need) s.storage.resize(need);
    if (s.bodyOfSlot.size() < size_t(massive + particles)) s.bodyOfSlot.resize(size_t(massive + particles));
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

// Particle slices of about equal size, whole padding blocks each, so no two slices' vectors
// overlap; none when there are no particles.
void SplitParticles(int32_t massive, int32_t particles) {
    SimdScratch& s = scratch;
    const int64_t pairs = int64_t(massive) * particles, threshold = int64_t(threadedMinBodies) * (threadedMinBodies - 1) / 2;
    s.particleSlices = particles == 0 ? 0 : pairs >= threshold ? kPairSlices : 1;
    const int32_t blocks = (particles + kPairPadding - 1) / kPairPadding;
    for (int32_t k = 0; k <= s.particleSlices; ++k)
        s.particleSliceBegin[k] = int32_t(int64_t(blocks) * k / std::max(s.particleSlices, 1)) * kPairPadding;
}

// Copies positions (from the records, or pos when given) and masses of the live bodies.
void LoadColumns(const BodyRTListStruct* list, const Vec3* pos, bool full) {
    int32_t live = 0, particles = 0;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        live += IsLiveBody(b) ? 1 : 0;
        particles += IsLiveBody(b) && IsTestParticle(b) ? 1 : 0;
    }
    const int32_t massive = live - particles;
    int32_t slices = massive >= threadedMinBodies ? kPairSlices : 1;
    Reserve(massive, particles, slices);
    SimdScratch& s = scratch;
    double *x = Array(0), *y = Array(1), *z = Array(2), *m = Array(3);
    double *px = particles ? ParticleArray(0) : nullptr, *py = particles ? ParticleArray(1) : nullptr,
           *pz = particles ? ParticleArray(2) : nullptr;
    int32_t slot = 0, particleSlot = 0;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        const double* p = pos ? pos[i].data() : b.pos;
        if (IsTestParticle(b)) {
            px[particleSlot] = p[0];
            py[particleSlot] = p[1];
            pz[particleSlot] = p[2];
            s.bodyOfSlot[size_t(massive + particleSlot++)] = i;
            continue;
        }
        x[slot] = p[0];
        y[slot] = p[1];
        z[slot] = p[2];
        m[slot] = b.mass;
        s.bodyOfSlot[size_t(slot++)] = i;
    }
    std::fill(x + massive, x + s.stride, 0.0);
    std::fill(y + massive, y + s.stride, 0.0);
    std::fill(z + massive, z + s.stride, 0.0);
    std::fill(m + massive, m + s.stride, 0.0);
    if (particles) {
        std::fill(px + particles, px + s.particleStride, 0.0);
        std::fill(py + particles, py + s.particleStride, 0.0);
        std::fill(pz + particles, pz + s.particleStride, 0.0);
    }
    s.cols = PairColumns{x, y, z, m, massive};
    s.particles = ParticleColumns{px, py, pz, particles};
    s.full = full;
    SplitRows(massive, slices);
    SplitParticles(massive, particles);
}

// The scratch comes as the context: it belongs to the thread that started the job. Tasks
// past the row slices are the particles' slices.
void RunSlice(void* context, int32_t task) {
    const SimdScratch& s = *static_cast<const SimdScratch*>(context);
    if (task >= s.slices) {
        const int32_t k = task - s.slices;
        const int32_t begin = s.particleSliceBegin[k], end = s.particleSliceBegin[k + 1];
        if (begin < end) AccumulateParticleColumns(s.cols, s.particles, s.law, s.full, begin, end, ParticleResults(s));
        return;
    }
    const int32_t slice = task;
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
    RunPushSlices(scratch.slices + scratch.particleSlices, RunSlice, &scratch);
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

// Results of `count` slots into their bodies, the first of them at bodyOfSlot[firstBody];
// nearest slots are massive slots.
void StoreResults(BodyRTListStruct* list, const PairPartials& p, int32_t count, int32_t firstBody) {
    for (int32_t slot = 0; slot < count; ++slot) {
        BodyRTStruct& b = list->body[scratch.bodyOfSlot[size_t(firstBody + slot)]];
        b.acc[0] = p.ax[slot];
        b.acc[1] = p.ay[slot];
        b.acc[2] = p.az[slot];
        b.potential = p.pot[slot];
        b.nearestDistSq = p.nearestDistSq[slot];
        const double ns = p.nearestSlot[slot];
        b.nearestIndex = ns >= 0 ? scratch.bodyOfSlot[size_t(ns)] : -1;
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
    StoreResults(list, PartialsOf(0), s.cols.count, 0);
    StoreResults(list, ParticleResults(), s.particles.count, s.cols.count);
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
    const PairPartials particle = ParticleResults();
    for (int32_t q = 0; q < s.particles.count; ++q)
        acc[s.bodyOfSlot[size_t(s.cols.count + q)]] = Vec3{particle.ax[q], particle.ay[q], particle.az[q]};
}

size_t PairScratchBytes() {
    return scratch.storage.capacity() * sizeof(double) + scratch.bodyOfSlot.capacity() * sizeof(int32_t);
}

size_t PairScratchBytesInUse() {
    const SimdScratch& s = scratch;
    return StorageDoubles(s) * sizeof(double) + size_t(s.cols.count + s.particles.count) * sizeof(int32_t);
}

void SetThreadRunsPairSlicesInline(bool inlineSlices) { slicesInline = inlineSlices; }

void RunPushSlices(int32_t slices, PoolTask task, void* context) {
    if (!slicesInline) return RunPoolTasks(slices, task, context);
    for (int32_t t = 0; t < slices; ++t) task(context, t);
}

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
