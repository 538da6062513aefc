// Names are UTF-8: shortening them works in whole characters.
#pragma once
#include <cstddef>
#include <string>

inline constexpr const char* kEllipsis = "\u2026";

inline size_t CodePoints(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

inline void DropLastCodePoint(std::string& s) {
    while (!s.empty()) {
        const unsigned char c = static_cast<unsigned char>(s.back());
        s.pop_back();
        if ((c & 0xC0) != 0x80) break;
    }
}
