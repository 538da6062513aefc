#include "shell/AddBelt.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/Dialogs.h"
#include "platform/Platform.h"
#include "sim/Belt.h"
#include "sim/Bodies.h"
#include "windows/ObjectWindow.h"

namespace {
constexpr int16_t kOkItem = 1, kCancelItem = 2, kFirstField = 3, kMessageItem = 20;
constexpr int kFields = 7;
constexpr double kMetresPerKm = 1000.0, kRadiansPerDegree = 3.14159265358979323846 / 180.0;

const char* const kPrompts[kFields] = {"Number of particles:", "Primary (body number):",
                                       "Smallest semi-major axis (km):", "Largest semi-major axis (km):",
                                       "Largest eccentricity:", "Largest inclination (\u00b0):", "Seed:"};

// The last belt asked for: the dialog opens with it. Distances in km, angles in degrees.
std::string entries[kFields] = {"10000", "1", "3.0e8", "5.2e8", "0.1", "5", "1"};

bool ParseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    while (end && *end == ' ') ++end;
    return !text.empty() && end && *end == '\0' && std::isfinite(out);
}

bool ParseWhole(const std::string& text, double lo, double hi, double& out) {
    return ParseNumber(text, out) && out == std::floor(out) && out >= lo && out <= hi;
}

// Empty when the entries make a request, else what is wrong with the first bad one.
std::string ReadEntries(const std::string (&texts)[kFields], BeltRequest& r) {
    double v[kFields];
    for (int k = 0; k < kFields; ++k) {
        const bool whole = k == 0 || k == 1 || k == 6;
        const bool ok = whole ? ParseWhole(texts[k], k == 6 ? 0 : -2e9, k == 6 ? 4294967295.0 : 2e9, v[k])
                              : ParseNumber(texts[k], v[k]);
        if (!ok) {
            std::string field = kPrompts[k];
            field.pop_back();
            return field + " \u201c" + texts[k] + "\u201d is not " + (whole ? "a whole number" : "a number");
        }
    }
    r.count = int32_t(v[0]);
    r.primary = int32_t(v[1]) - 1;
    r.minSemiMajorAxis = v[2] * kMetresPerKm;
    r.maxSemiMajorAxis = v[3] * kMetresPerKm;
    r.maxEccentricity = v[4];
    r.maxInclination = v[5] * kRadiansPerDegree;
    r.seed = uint32_t(v[6]);
    return BeltProblem(r);
}

DialogLayout BeltLayout() {
    DialogLayout layout;
    layout.title = "Add Belt";
    layout.width = 420;
    layout.height = 330;
    layout.defaultItem = kOkItem;
    layout.cancelItem = kCancelItem;
    for (int k = 0; k < kFields; ++k) {
        const int16_t top = int16_t(16 + 30 * k);
        layout.items.push_back(DialogItem{int16_t(40 + k), DialogItemKind::StaticText, Rect{int16_t(top + 2), 20, int16_t(top + 20), 240},
                                          kPrompts[k], TextJustify::Left});
        layout.items.push_back(DialogItem{int16_t(kFirstField + k), DialogItemKind::EditText, Rect{top, 250, int16_t(top + 20), 400},
                                          "", TextJustify::Left});
    }
    layout.items.push_back(DialogItem{kMessageItem, DialogItemKind::StaticText, Rect{230, 20, 280, 400}, "", TextJustify::Left});
    layout.items.push_back(DialogItem{kCancelItem, DialogItemKind::Button, Rect{294, 220, 314, 300}, "Cancel", TextJustify::Center});
    layout.items.push_back(DialogItem{kOkItem, DialogItemKind::Button, Rect{294, 320, 314, 400}, "Add", TextJustify::Center});
    return layout;
}
}  // namespace

bool AddBeltMenuItem() {
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(BeltLayout());
    if (!dialog) return false;
    if (rt.selectedBody >= 0 && rt.selectedBody < (BodyList() ? BodyList()->count : 0))
        entries[1] = std::to_string(rt.selectedBody + 1);
    for (int k = 0; k < kFields; ++k) dialog->SetItemText(int16_t(kFirstField + k), entries[k]);
    dialog->SelectItemText(kFirstField);
    for (;;) {
        const int16_t hit = dialog->NextHit();
        if (hit == kCancelItem) return false;
        if (hit != kOkItem) continue;
        std::string texts[kFields];
        for (int k = 0; k < kFields; ++k) texts[k] = dialog->ItemText(int16_t(kFirstField + k));
        BeltRequest r;
        std::string problem = ReadEntries(texts, r);
        if (problem.empty() && !AddBelt(r, problem) && problem.empty()) problem = "the belt could not be added";
        if (!problem.empty()) {
            dialog->SetItemText(kMessageItem, "No belt: " + problem + ".");
            Platform().SysBeep();
            continue;
        }
        for (int k = 0; k < kFields; ++k) entries[k] = texts[k];
        UpdateObjectWindowVars();
        return true;
    }
}
