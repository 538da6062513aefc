// What recording a 1280 x 720 movie costs the frame, as a ratio to copying the
// frame once (the least any recording must do), measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "io/MovieRecorder.h"

namespace {

constexpr int kWidth = 1280, kHeight = 720;

// A frame like the simulation's: black sky, a few hundred stars, a disc that moves.
void DrawFrame(std::vector<uint32_t>& p, int n) {
    std::fill(p.begin(), p.end(), 0u);
    uint32_t seed = 12345;
    for (int s = 0; s < 400; ++s) {
        seed = seed * 1664525u + 1013904223u;
        p[(seed >> 8) % p.size()] = 0x00C0C0D0u;
    }
    const int cx = 200 + 3 * n, cy = 360, r = 120;
    for (int y = cy - r; y < cy + r; ++y)
        for (int x = cx - r; x < cx + r; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r && x >= 0 && x < kWidth)
                p[size_t(y) * kWidth + size_t(x)] = uint32_t(((x * 7) & 255) << 16 | ((y * 3) & 255) << 8 | 0x40);
}

double SecondsPerCopy(const std::vector<uint32_t>& frame) {
    std::vector<uint32_t> slot(frame.size());
    const auto start = std::chrono::steady_clock::now();
    constexpr int kCopies = 200;
    for (int i = 0; i < kCopies; ++i) {
        std::memcpy(slot.data(), frame.data(), frame.size() * 4);
        benchmark::DoNotOptimize(slot.data());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kCopies;
}

void RecordMovie(benchmark::State& state, const char* name) {
    std::vector<uint32_t> frame(size_t(kWidth) * kHeight);
    DrawFrame(frame, 0);
    const double copy = SecondsPerCopy(frame);
    const std::string path = (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + name)).string();
    MovieRecorder recorder;
    std::string error;
    if (!recorder.Start(path, MovieFormat{kWidth, kHeight, 30}, 0, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    using Clock = std::chrono::steady_clock;
    int n = 0;
    Clock::duration recording{};
    for (auto _ : state) {
        state.PauseTiming();
        DrawFrame(frame, n++ % 200);
        state.ResumeTiming();
        const auto t = Clock::now();
        recorder.AddFrame(PixelSurface{frame.data(), kWidth * 4, kWidth, kHeight}, error);
        recording += Clock::now() - t;
    }
    const auto t = Clock::now();
    recorder.Stop(error);  // the queue drains here: the whole encoding is counted
    recording += Clock::now() - t;
    const double perFrame = std::chrono::duration<double>(recording).count() / n;
    std::filesystem::remove(path);
    state.counters["frames/s"] = 1.0 / perFrame;
    state.counters["x_copy"] = perFrame / copy;
}

void BM_RecordH264Movie720p(benchmark::State& state) { RecordMovie(state, ".mp4"); }
BENCHMARK(BM_RecordH264Movie720p)->Iterations(120)->UseRealTime();

void BM_RecordVp9Movie720p(benchmark::State& state) { RecordMovie(state, ".webm"); }
BENCHMARK(BM_RecordVp9Movie720p)->Iterations(120)->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
