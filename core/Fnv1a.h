// FNV-1a (Fowler, Noll and Vo), 64 bits: a quick fingerprint of bytes, for telling states and
// blocks apart within one run (not for anything kept in files).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint64_t kFnv1aStart = 14695981039346656037ull;  // the offset basis

inline void MixFnv1a(uint64_t& h, const void* bytes, size_t n) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    for (size_t k = 0; k < n; ++k) h = (h ^ b[k]) * 1099511628211ull;
}
