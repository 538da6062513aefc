#include "sim/TimedThrust.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// A block of this many entries stays far below 2^31 bytes.
constexpr int32_t kMaxTTEntries = (1 << 26);
}  // namespace

Handle NewTTHandle() { return NewHandle(kTTListHeaderSize + sizeof(TimedThrustInfoStruct)); }

void DisposeTTHandle(Handle list) {
    if (!list) return;
    HUnlock(list);
    DisposeHandle(list);
}

void TTHandleLocking(Handle list, int16_t lock) {
    if (!list) return;
    if (lock) HLock(list);
    else HUnlock(list);
}

int32_t GetTTCount(Handle list) {
    TimedThrustListStruct* l = TTList(list);
    return l ? l->count : 0;
}

int32_t GetTTIndex(Handle list, int64_t pushIndex) {
    TimedThrustListStruct* l = TTList(list);
    if (!l) return -1;
    for (int32_t k = 0; k < l->count; ++k)
        if (l->entry[k].pushIndex == pushIndex) return k;
    return -1;
}

void GetTTData(Handle list, TimedThrustInfoStruct* out, int32_t index) {
    TimedThrustListStruct* l = TTList(list);
    if (!l || !out || index < 0 || index >= l->count) return;
    *out = l->entry[index];
}

void RemoveTTData(Handle list, int32_t index) {
    TimedThrustListStruct* l = TTList(list);
    if (!l || index < 0 || index >= l->count) return;
    std::memmove(&l->entry[index], &l->entry[index + 1], sizeof(TimedThrustInfoStruct) * size_t(l->count - index - 1));
    --l->count;
}

int32_t MergeInTTData(Handle list, const TimedThrustInfoStruct* entry) {
    TimedThrustListStruct* l = TTList(list);
    if (!l || !entry) return -1;
    int32_t k = 0;
    while (k < l->count && l->entry[k].pushIndex < entry->pushIndex) ++k;
    if (k < l->count && l->entry[k].pushIndex == entry->pushIndex) {
        l->entry[k].deltaV += entry->deltaV;
        return k;
    }
    std::memmove(&l->entry[k + 1], &l->entry[k], sizeof(TimedThrustInfoStruct) * size_t(l->count - k));
    ++l->count;
    l->entry[k] = *entry;
    return k;
}

int32_t AddTTData(Handle list, const TimedThrustInfoStruct* entry) {
    TimedThrustListStruct* l = TTList(list);
    if (!l || !entry) return -1;
    int32_t count = l->count;
    if (count < 0 || count > kMaxTTEntries) return -1;  // a corrupt count: never grow by its overflow
    HUnlock(list);
    SetHandleSize(list, kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (size_t(count) + 2));
    int32_t usable = (GetHandleSize(list) - 24) / 16;
    if (usable <= count) return -1;
    return MergeInTTData(list, entry);
}

int32_t SetTTData(Handle list, const TimedThrustInfoStruct* entry, int32_t index) {
    if (!list || !entry || index < 0) return -1;
    if (index < GetTTCount(list)) RemoveTTData(list, index);
    return AddTTData(list, entry);
}

void CleanUpTTData(Handle list) {
    TimedThrustListStruct* l = TTList(list);
    if (!l) return;
    // One pass keeping the order: removing entry by entry would move the tail each time.
    int32_t kept = 0;
    for (int32_t k = 0; k < l->count; ++k) {
        const TimedThrustInfoStruct& e = l->entry[k];
        if (e.deltaV != 0.0 && e.pushIndex >= 0 && !std::isnan(e.deltaV)) l->entry[kept++] = e;
    }
    l->count = kept;
}

Handle MakeTTDataCopy(Handle list) {
    if (!list) return 0;
    // The same result as adding every entry in index order to a new list, in
    // n log n: a stable sort keeps equal push indices in their order, so their
    // deltaV are summed in the order the additions would have summed them.
    const TimedThrustListStruct* l = TTList(list);
    std::vector<TimedThrustInfoStruct> entries(l->entry, l->entry + std::max<int32_t>(l->count, 0));
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TimedThrustInfoStruct& a, const TimedThrustInfoStruct& b) { return a.pushIndex < b.pushIndex; });
    size_t merged = 0;
    for (const TimedThrustInfoStruct& e : entries) {
        if (merged > 0 && entries[merged - 1].pushIndex == e.pushIndex) entries[merged - 1].deltaV += e.deltaV;
        else entries[merged++] = e;
    }
    const Handle copy = NewHandle(kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (merged + 1));
    if (!copy) return 0;
    TimedThrustListStruct* c = TTList(copy);
    c->count = int32_t(merged);
    if (merged > 0) std::memcpy(c->entry, entries.data(), sizeof(TimedThrustInfoStruct) * merged);
    CleanUpTTData(copy);
    return copy;
}
