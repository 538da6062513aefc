// Large paintings shared out over the thread pool in bands of rows. Each row is painted the
// same whichever thread takes it, so the pixels never depend on the thread count.
#pragma once
#include <algorithm>
#include <cstdint>

#include "sim/ThreadPool.h"

constexpr int32_t kBandRows = 32;
// Below this many pixels waking the pool costs more than a second thread saves.
constexpr int64_t kThreadedPaintPixels = 32768;

// Calls paint(top, bottom) for rows [top, bottom): at once on this thread for a small area
// (pixels), otherwise band by band on the pool.
template <class Paint>
void PaintInRowBands(int32_t top, int32_t bottom, int64_t pixels, const Paint& paint) {
    if (bottom <= top) return;
    if (pixels < kThreadedPaintPixels || bottom - top <= kBandRows || PoolThreadCount() < 2) {
        paint(top, bottom);
        return;
    }
    struct Job {
        const Paint* paint;
        int32_t top, bottom;
    } job{&paint, top, bottom};
    RunPoolTasks((bottom - top + kBandRows - 1) / kBandRows,
                 [](void* context, int32_t band) {
                     const Job& j = *static_cast<const Job*>(context);
                     const int32_t from = j.top + band * kBandRows;
                     (*j.paint)(from, std::min(j.bottom, from + kBandRows));
                 },
                 &job);
}
