#include "core/Strings.h"

#include <algorithm>
#include <cstring>

#include "core/TextBytes.h"

namespace {
struct StringList {
    int16_t id;
    const char* const* items;
    int16_t count;
};

// All texts the windows, menus and dialogs show, by list number.

// 1024: the body editor.
const char* const kBodyEditorTexts[] = {"Body ", ". body in the list", "Choose the colour of the body"};
// 1026: power-law sheet.
const char* const kPowerLawTexts[] = {"Gravity falls off with distance to the power:"};
// 1027: the craft item of the Objects menu.
const char* const kCraftItemTexts[] = {"New Craft\u2026", "Edit Craft\u2026"};
// 1028: Simulation menu texts and prompts.
const char* const kSimulationTexts[] = {"Run", "Pause", "Time step of one push:", "Time Step",
                                        "Pushes (integration steps) per frame:"};
// 1029: View menu prompts and units; the camera selection menu.
const char* const kViewTexts[] = {"Smallest size of a body on screen:",
                                  "pixels",
                                  "Field of view:",
                                  "degrees",
                                  "Eye separation for red\u2013cyan stereo:",
                                  "pixels",
                                  "Trail length:",
                                  "points",
                                  "Automatic rotation of the view:",
                                  "\u00b0/frame",
                                  "No bodies",
                                  "Selected Body",
                                  "-",
                                  "Star field inclination:",
                                  "Star field azimuth:",
                                  "degrees"};
// 1030: the object window.
const char* const kObjectWindowTexts[] = {"Name", "Colour", "Mass (kg)", "Speed (m/s)", "dbl-click: edit",
                                          "Belt: ", " particles", " particle", "", "New Body"};
// 1033: the statistics window.
const char* const kStatsTexts[] = {"t = ", " d ", " h ", " min ", " s", "v = ", "a = ", "KE = ", "PE = ",
                                   "E = ", "", " pushes", ", ", " substep each", " substeps each",
                                   " m/s", " m/s\u00b2", " J/kg"};
// 1034: the value labels beside the bodies.
const char* const kValueLabelTexts[] = {"v = ", "a = ", "KE = ", "PE = ", "E = "};
// 1035: craft names and the thrust-entry caption.
const char* const kCraftTexts[] = {"Craft", "Entry ", " of the thrust schedule"};
// 1036: the parent pop-up of the body editor.
const char* const kParentTexts[] = {"None", "-"};
// 2048..2052: unit labels of the unit cycles (distance, time, mass, inverse time, force).
const char* const kDistanceUnits[] = {"m", "km", "mi", "cm", "in", "ft"};
const char* const kTimeUnits[] = {"s", "min", "h", "days"};
const char* const kMassUnits[] = {"kg", "g", "lb"};
const char* const kInvTimeUnits[] = {"/s", "/min", "/h", "/day"};
const char* const kForceUnits[] = {"N", "lbf", "dyn"};

template <size_t N>
constexpr StringList List(int16_t id, const char* const (&items)[N]) {
    return StringList{id, items, int16_t(N)};
}

const StringList kLists[] = {
    List(1024, kBodyEditorTexts), List(1026, kPowerLawTexts),    List(1027, kCraftItemTexts),
    List(1028, kSimulationTexts), List(1029, kViewTexts),        List(1030, kObjectWindowTexts),
    List(1033, kStatsTexts),      List(1034, kValueLabelTexts),      List(1035, kCraftTexts),       List(1036, kParentTexts),
    List(2048, kDistanceUnits),   List(2049, kTimeUnits),        List(2050, kMassUnits),
    List(2051, kInvTimeUnits),    List(2052, kForceUnits),
};

void ToCounted(uint8_t* out, size_t room, const std::string& text) {
    const size_t n = Utf8PrefixLength(text, room);
    out[0] = uint8_t(n);
    std::memcpy(out + 1, text.data(), n);
}

const char* FindIndString(int16_t listId, int16_t index) {
    for (const StringList& l : kLists)
        if (l.id == listId) return (index >= 1 && index <= l.count) ? l.items[index - 1] : "";
    return "";
}

void CopyCounted(uint8_t* out, size_t room, const char* text) {
    const size_t n = Utf8PrefixLength(text, room);  // a view of the table's text: no copy
    out[0] = uint8_t(n);
    std::memcpy(out + 1, text, n);
}

}  // namespace

std::string GetIndString(int16_t listId, int16_t index) { return FindIndString(listId, index); }

// The counted forms copy straight from the table: they run in per-frame paths.
void GetIndString(Str31& out, int16_t listId, int16_t index) { CopyCounted(out, 31, FindIndString(listId, index)); }
void GetIndString(Str255& out, int16_t listId, int16_t index) { CopyCounted(out, 255, FindIndString(listId, index)); }
void CToPStr(Str255& out, const std::string& text) { ToCounted(out, 255, text); }
void CToPStr31(Str31& out, const std::string& text) { ToCounted(out, 31, text); }
std::string PToCStr(const uint8_t* counted, size_t room) {
    if (!counted) return std::string();
    return DisplayText(counted + 1, std::min<size_t>(counted[0], room), room);
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
