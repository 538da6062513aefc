// Farthest-first ordering of the draw stage's items: a stable radix sort on depth.
#pragma once
#include <cstdint>

// One item to draw. A trail point carries its finished pixel (offset into the buffer in
// pixels, colour 0x00RRGGBB); anything else carries its node index and kNodeItem.
struct DepthSortItem {
    uint64_t key;  // DepthSortKey of the item's depth
    uint32_t where;
    uint32_t pixel;
};
constexpr uint32_t kNodeItem = 0xFFFFFFFFu;  // no 0x00RRGGBB pixel has a top byte

// Unsigned keys in the order of the doubles: a < b exactly when key(a) < key(b), equal
// doubles give equal keys (NaN excluded; -0 and +0 differ, which a depth < 0 never meets).
inline uint64_t DepthSortKey(double depth) {
    uint64_t bits;
    __builtin_memcpy(&bits, &depth, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63);
}

constexpr int32_t kDepthSortDigitBits = 8;
constexpr int32_t kDepthSortPasses = 64 / kDepthSortDigitBits;
constexpr int32_t kDepthSortHistogramBytes = kDepthSortPasses * (1 << kDepthSortDigitBits) * 4;

// Sorts count items by ascending key, keeping the given order among equal keys. spare holds
// count items and histograms kDepthSortHistogramBytes; returns whichever array ends up sorted.
// Digits that every item shares cost no pass.
DepthSortItem* SortByDepthKey(DepthSortItem* items, DepthSortItem* spare, int32_t count, uint32_t* histograms);
