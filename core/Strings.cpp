#include "core/Strings.h"

#include <algorithm>
#include <cstring>

namespace {
struct StringList {
    int16_t id;
    const char* const* items;
    int16_t count;
};

// 1035: default names.
const char* const kDefaultNames[] = {"Craft"};
// 2048..2052: unit labels of the unit cycles (distance, time, mass, inverse time, force).
const char* const kDistanceUnits[] = {"m", "km", "mi", "cm", "in", "ft"};
const char* const kTimeUnits[] = {"s", "min", "h", "days"};
const char* const kMassUnits[] = {"kg", "g", "lb"};
const char* const kInvTimeUnits[] = {"/s", "/min", "/h", "/day"};
const char* const kForceUnits[] = {"N", "lbf", "dyn"};

const StringList kLists[] = {
    {1035, kDefaultNames, 1},
    {2048, kDistanceUnits, 6},
    {2049, kTimeUnits, 4},
    {2050, kMassUnits, 3},
    {2051, kInvTimeUnits, 4},
    {2052, kForceUnits, 3},
};

void ToCounted(uint8_t* out, size_t room, const std::string& text) {
    size_t n = std::min(text.size(), room);
    out[0] = uint8_t(n);
    std::memcpy(out + 1, text.data(), n);
}
}  // namespace

std::string GetIndString(int16_t listId, int16_t index) {
    for (const StringList& l : kLists)
        if (l.id == listId) return (index >= 1 && index <= l.count) ? l.items[index - 1] : "";
    return "";
}

void GetIndString(Str31& out, int16_t listId, int16_t index) { ToCounted(out, 31, GetIndString(listId, index)); }
void GetIndString(Str255& out, int16_t listId, int16_t index) { ToCounted(out, 255, GetIndString(listId, index)); }
void CToPStr(Str255& out, const std::string& text) { ToCounted(out, 255, text); }
void CToPStr31(Str31& out, const std::string& text) { ToCounted(out, 31, text); }
std::string PToCStr(const uint8_t* counted) {
    return counted ? std::string(reinterpret_cast<const char*>(counted + 1), counted[0]) : std::string();
}

void ConCat(const uint8_t* a, const uint8_t* b, uint8_t* out) {
    // Too long a result is cut at 255 characters.
    size_t na = a[0], nb = std::min<size_t>(b[0], 255 - na);
    uint8_t tmp[256];
    std::memcpy(tmp + 1, a + 1, na);
    std::memcpy(tmp + 1 + na, b + 1, nb);
    tmp[0] = uint8_t(na + nb);
    std::memcpy(out, tmp, size_t(tmp[0]) + 1);
}
