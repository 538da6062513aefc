#include "render/DepthSort.h"

#include <cstring>
#include <utility>

DepthSortItem* SortByDepthKey(DepthSortItem* items, DepthSortItem* spare, int32_t count, uint32_t* histograms) {
    constexpr int32_t kBuckets = 1 << kDepthSortDigitBits;
    constexpr uint64_t kMask = kBuckets - 1;
    if (count < 2) return items;
    std::memset(histograms, 0, kDepthSortHistogramBytes);
    // All digit counts in one read of the keys.
    for (int32_t t = 0; t < count; ++t) {
        const uint64_t key = items[t].key;
        for (int32_t p = 0; p < kDepthSortPasses; ++p) ++histograms[p * kBuckets + ((key >> (p * kDepthSortDigitBits)) & kMask)];
    }
    DepthSortItem* from = items;
    DepthSortItem* to = spare;
    for (int32_t p = 0; p < kDepthSortPasses; ++p) {
        uint32_t* h = histograms + p * kBuckets;
        const int32_t shift = p * kDepthSortDigitBits;
        if (h[(from[0].key >> shift) & kMask] == uint32_t(count)) continue;  // one digit for all: order unchanged
        uint32_t start = 0;
        for (int32_t b = 0; b < kBuckets; ++b) {
            const uint32_t c = h[b];
            h[b] = start;
            start += c;
        }
        for (int32_t t = 0; t < count; ++t) {
            const DepthSortItem& item = from[t];
            to[h[(item.key >> shift) & kMask]++] = item;
        }
        std::swap(from, to);
    }
    return from;
}
