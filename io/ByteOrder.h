// Big-endian reads and writes on byte buffers.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

inline uint16_t GetBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t GetBE24(const uint8_t* p) { return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; }
inline uint32_t GetBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void PutBE16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v >> 8); p[1] = uint8_t(v); }
inline void PutBE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}
inline void AppendBE16(std::vector<uint8_t>& v, uint16_t x) { v.push_back(uint8_t(x >> 8)); v.push_back(uint8_t(x)); }
inline void AppendBE32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

// In-place swaps of native fields to big-endian and back (the same operation).
inline void SwapBE32(void* p) {
    uint8_t b[4];
    std::memcpy(b, p, 4);
    const uint32_t v = GetBE32(b);
    std::memcpy(p, &v, 4);
}
inline void SwapBE16(void* p) {
    uint8_t b[2];
    std::memcpy(b, p, 2);
    const uint16_t v = GetBE16(b);
    std::memcpy(p, &v, 2);
}
inline void SwapBE64(void* p) {
    uint8_t b[8];
    std::memcpy(b, p, 8);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | b[i];
    std::memcpy(p, &v, 8);
}
