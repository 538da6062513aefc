// Bytes the running application holds per body: the body records, the run-time list, trails,
// the draw stage's lists, integrator histories and the pair pass's scratch. Every operator
// new of this program is counted with its size (a header in front of each block), and the
// relocatable blocks report their own total; both are read once the whole frame task (push
// stage with trails, draw stage at 1280 x 800) has run for a while, and the figure per body
// is the growth from a system of few bodies, so the fixed start-up costs drop out. Each
// system runs in a child process of its own: scratch space kept between pushes never
// shrinks, so a larger system run before would otherwise count in a smaller one.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/wait.h>
#include <unistd.h>

#include "PlanetDisc.h"
#include "core/Frame.h"
#include "core/Memory.h"
#include "core/Records.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"
#include "sim/PairThreads.h"
#include "sim/ThreadPool.h"

namespace {

std::atomic<long> heapBytes{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(size_t size) {
    auto* p = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!p) throw std::bad_alloc();
    std::memcpy(p, &size, sizeof size);
    heapBytes += long(size);
    return p + kHeader;
}

void CountedFree(void* q) {
    if (!q) return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    size_t size;
    std::memcpy(&size, p, sizeof size);
    heapBytes -= long(size);
    std::free(p);
}

}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

struct Screen : MainWindowServices {
    void MainWindowContentSize(int32_t& w, int32_t& h) override { w = 1280, h = 800; }
};

struct Held {
    double heap = 0, handles = 0, pairScratch = 0;
    double Total() const { return heap + handles; }
};

// What a started application holds with n bodies after `frames` frames, beyond what it held
// before starting. With method -1 every push method runs a while, so each one's histories
// exist at once, as they would after a user tried them all.
Held HeldWith(int32_t n, int32_t trailLength, int32_t method, int32_t frames) {
    Screen screen;
    const long heapBefore = heapBytes.load();
    const size_t handlesBefore = LiveHandleBytes();
    SetMainWindowServices(&screen);
    InitializeAll();
    AddStarWithPlanetDisc(n);
    set.trailLength = trailLength;
    set.timeStep = 3600;
    set.pushesPerFrame = 4;
    set.cameraMode = 0;
    rt.eyeDistance = 3e11;
    for (int32_t m : {kPushSemiImplicitEuler, kPushEuler, kPushAdamsBashforth, kPushAdamsMoulton, kPushRungeKutta,
                      kPushGaussRadau}) {
        if (method >= 0 && m != method) continue;
        set.pushMethod = m;
        for (int32_t f = 0; f < frames; ++f) DoWork();
    }
    Held held;
    held.heap = double(heapBytes.load() - heapBefore);
    held.handles = double(LiveHandleBytes()) - double(handlesBefore);
    held.pairScratch = double(PairScratchBytes());
    DisposeAll();
    SetMainWindowServices(nullptr);
    return held;
}

// HeldWith in a fresh child process.
Held HeldInChild(int32_t n, int32_t trailLength, int32_t method, int32_t frames) {
    int fds[2];
    Held held{-1, -1, -1};
    if (pipe(fds) != 0) return held;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const Held h = HeldWith(n, trailLength, method, frames);
        const bool written = write(fds[1], &h, sizeof h) == ssize_t(sizeof h);
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    if (child > 0) {
        if (read(fds[0], &held, sizeof held) != ssize_t(sizeof held)) held = Held{-1, -1, -1};
        waitpid(child, nullptr, 0);
    }
    close(fds[0]);
    return held;
}

// Arguments: body count, trail length, push method (-1: all of them in turn).
void BM_BytesPerBody(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0)), trail = int32_t(state.range(1)), method = int32_t(state.range(2));
    constexpr int32_t kFew = 2;
    Held few, many;
    for (auto _ : state) {
        few = HeldInChild(kFew, trail, method, 30);
        many = HeldInChild(n, trail, method, 30);
    }
    if (few.heap < 0 || many.heap < 0) state.SkipWithError("the measuring child process failed");
    const double bodies = double(n - kFew);
    state.counters["total_B/body"] = (many.Total() - few.Total()) / bodies;
    state.counters["handles_B/body"] = (many.handles - few.handles) / bodies;
    state.counters["heap_B/body"] = (many.heap - few.heap) / bodies;
    state.counters["pair_scratch_B/body"] = many.pairScratch / n;
    state.counters["held_MB"] = many.Total() / 1e6;
    state.counters["threads"] = PoolThreadCount();
}
BENCHMARK(BM_BytesPerBody)
    ->ArgsProduct({{100, 1000, 3000}, {0, 100}, {-1}})
    ->ArgsProduct({{1000}, {0}, {0, 1, 2, 3, 4, 5}})
    ->ArgNames({"n", "trail", "method"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
