// The application's string lists, addressed by list number and 1-based index.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

// The text of item index of list listId; empty when there is no such item.
std::string GetIndString(int16_t listId, int16_t index);
// Counted-string form; longer texts are cut to the room of the destination.
void GetIndString(Str31& out, int16_t listId, int16_t index);
void GetIndString(Str255& out, int16_t listId, int16_t index);

// Counted-string helpers. Texts going in are cut to the room on a character
// boundary; texts coming out are valid UTF-8 whatever the bytes (see DisplayText),
// and never longer than the room of the counted string whatever its length byte.
void CToPStr(Str255& out, const std::string& text);
void CToPStr31(Str31& out, const std::string& text);
std::string PToCStr(const uint8_t* counted, size_t room);
template <size_t N>
std::string PToCStr(const uint8_t (&counted)[N]) {
    return PToCStr(counted, N - 1);
}
// Appends a counted string's bytes as they are, allocating nothing once out has the room:
// for lines composed every frame.
inline void AppendPStr(std::string& out, const uint8_t* counted) {
    out.append(reinterpret_cast<const char*>(counted + 1), counted[0]);
}
// out = a followed by b (out may be a); results beyond 255 characters are cut.
void ConCat(const uint8_t* a, const uint8_t* b, uint8_t* out);
