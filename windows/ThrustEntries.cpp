#include "windows/ThrustEntries.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sim/TimedThrust.h"

bool ThrustFieldsHoldNumbers(const ThrustEntryFields& f) {
    return std::isfinite(f.deltaV) && std::isfinite(f.pushIndex);
}

int32_t ThrustFieldsPushIndex(const ThrustEntryFields& f) {
    if (!std::isfinite(f.pushIndex)) return 0;
    // Converting a double beyond the 32-bit range is undefined; pin it first.
    const double t = std::trunc(std::clamp(f.pushIndex, double(INT32_MIN), double(INT32_MAX)));
    return int32_t(t);
}

bool ThrustFieldsMakeEntry(const ThrustEntryFields& f) {
    return ThrustFieldsHoldNumbers(f) && f.deltaV != 0.0 && ThrustFieldsPushIndex(f) > 0;
}

bool CanGoToPreviousThrustEntry(int32_t k) { return k >= 1; }

bool CanGoToNextThrustEntry(Handle list, int32_t k, const ThrustEntryFields& f) {
    if (!ThrustFieldsHoldNumbers(f)) return false;
    const int32_t count = GetTTCount(list);
    return k < count || (k == count && ThrustFieldsMakeEntry(f));
}

bool CanDeleteThrustEntry(Handle list, int32_t k) {
    const int32_t count = GetTTCount(list);
    return count >= 1 && k < count;
}

namespace {

TimedThrustInfoStruct EntryFrom(Handle list, int32_t k, const ThrustEntryFields& f) {
    TimedThrustInfoStruct e{};
    if (k >= 0 && k < GetTTCount(list)) GetTTData(list, &e, k);  // keeps the entry's spare word
    e.deltaV = f.deltaV;
    e.pushIndex = ThrustFieldsPushIndex(f);
    return e;
}

void Clamp(Handle list, int32_t& k) {
    const int32_t count = GetTTCount(list);
    k = std::max(k, 0);
    if (k > count) k = count;
}

}  // namespace

bool MoveThrustEntry(Handle list, int32_t& k, const ThrustEntryFields& f, int32_t step) {
    if (!list) return false;
    const int32_t count = GetTTCount(list);
    if (!ThrustFieldsHoldNumbers(f)) {
        // An entry without numbers is dropped.
        if (k < count) RemoveTTData(list, k);
        if (step < 0) k -= 1;
    } else if (k < count) {
        const TimedThrustInfoStruct e = EntryFrom(list, k, f);
        const int32_t j = SetTTData(list, &e, k);
        if (j >= 0) k = j + step;
    } else if (f.deltaV == 0.0 || ThrustFieldsPushIndex(f) < 1) {
        k += step;
    } else {
        const TimedThrustInfoStruct e = EntryFrom(list, k, f);
        const int32_t j = AddTTData(list, &e);
        if (j < 0) return false;
        k = j + step;
    }
    Clamp(list, k);
    return true;
}

void DeleteThrustEntry(Handle list, int32_t& k) {
    int32_t count = GetTTCount(list);
    if (k >= 0 && k < count) {
        RemoveTTData(list, k);
        --count;
    }
    if (k > 0 && k >= count) k = count - 1;
    if (k < 0) k = 0;
}

ThrustEntryFields ThrustEntryShown(Handle list, int32_t k) {
    if (k < 0 || k >= GetTTCount(list)) return ThrustEntryFields{0.0, 0.0};
    TimedThrustInfoStruct e{};
    GetTTData(list, &e, k);
    return ThrustEntryFields{e.deltaV, double(e.pushIndex)};
}

void StoreThrustEntry(Handle list, int32_t k, const ThrustEntryFields& f) {
    if (!list || !ThrustFieldsMakeEntry(f)) return;
    const TimedThrustInfoStruct e = EntryFrom(list, k, f);
    if (k >= GetTTCount(list))
        AddTTData(list, &e);
    else
        SetTTData(list, &e, k);
}
