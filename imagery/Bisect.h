// Bisection over pixel columns.
#pragma once
#include <cstdint>

// First column of [from, to) where pred holds, given that it holds on a suffix of the
// range (false ... false true ... true); to when it holds nowhere.
template <class Pred>
int32_t FirstWhere(int32_t from, int32_t to, Pred pred) {
    while (from < to) {
        const int32_t mid = from + (to - from) / 2;
        if (pred(mid)) to = mid;
        else from = mid + 1;
    }
    return from;
}
