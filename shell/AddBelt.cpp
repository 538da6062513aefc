#include "shell/AddBelt.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/Strings.h"
#include "platform/Platform.h"
#include "sim/Belt.h"
#include "sim/Bodies.h"
#include "windows/BodyEditorDraw.h"
#include "windows/ObjectWindow.h"

namespace {
constexpr int16_t kOkItem = 1, kCancelItem = 2, kFirstField = 3, kMessageItem = 20;
constexpr int kFields = 7, kPrimaryField = 1;  // the primary is chosen from a pop-up of the bodies with mass
constexpr int16_t kPrimaryItem = kFirstField + kPrimaryField;
constexpr double kMetresPerKm = 1000.0, kRadiansPerDegree = 3.14159265358979323846 / 180.0;

const char* const kPrompts[kFields] = {"Number of particles:", "Primary:",
                                       "Smallest semi-major axis (km):", "Largest semi-major axis (km):",
                                       "Largest eccentricity:", "Largest inclination (\u00b0):", "Seed:"};

// The last belt asked for: the dialog opens with it. Distances in km, angles in degrees.
std::string entries[kFields] = {"10000", "", "3.0e8", "5.2e8", "0.1", "5", "1"};
int32_t lastPrimary = -1;

// The bodies a belt can go round, as the pop-up lists them ("3. Jupiter").
struct PrimaryChoices {
    std::vector<int32_t> bodies;
    std::vector<std::string> names;
    int32_t chosen = -1;  // index into bodies; -1 when there is no body with mass
};

PrimaryChoices MassiveBodies() {
    PrimaryChoices c;
    const BodyListStruct* l = BodyList();
    for (int32_t i = 0; l && i < l->count; ++i)
        if (l->body[i].mass > 0.0) c.bodies.push_back(i), c.names.push_back(std::to_string(i + 1) + ". " + PToCStr(l->body[i].name));
    // The selected body, else the last primary, else the first body with mass.
    for (int32_t wanted : {rt.selectedBody, lastPrimary})
        for (size_t k = 0; c.chosen < 0 && k < c.bodies.size(); ++k)
            if (c.bodies[k] == wanted) c.chosen = int32_t(k);
    if (c.chosen < 0 && !c.bodies.empty()) c.chosen = 0;
    return c;
}

void ShowPrimary(ModalDialog& dialog, const PrimaryChoices& c) {
    DrawParentPopUpItem(dialog, kPrimaryItem, c.chosen >= 0 ? c.names[size_t(c.chosen)] : "no body with mass");
}

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
std::string ReadEntries(const std::string (&texts)[kFields], int32_t primary, BeltRequest& r) {
    double v[kFields];
    for (int k = 0; k < kFields; ++k) {
        if (k == kPrimaryField) continue;
        const bool whole = k == 0 || k == 6;
        const bool ok = whole ? ParseWhole(texts[k], k == 6 ? 0 : -2e9, k == 6 ? 4294967295.0 : 2e9, v[k])
                              : ParseNumber(texts[k], v[k]);
        if (!ok) {
            std::string field = kPrompts[k];
            field.pop_back();
            return field + " \u201c" + texts[k] + "\u201d is not " + (whole ? "a whole number" : "a number");
        }
    }
    r.count = int32_t(v[0]);
    r.primary = primary;
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
        const DialogItemKind kind = k == kPrimaryField ? DialogItemKind::UserItem : DialogItemKind::EditText;
        layout.items.push_back(DialogItem{int16_t(kFirstField + k), kind, Rect{top, 250, int16_t(top + 20), 400}, "", TextJustify::Left});
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
    PrimaryChoices primary = MassiveBodies();
    for (int k = 0; k < kFields; ++k)
        if (k != kPrimaryField) dialog->SetItemText(int16_t(kFirstField + k), entries[k]);
    ShowPrimary(*dialog, primary);
    dialog->SelectItemText(kFirstField);
    for (;;) {
        const int16_t hit = dialog->NextHit();
        if (hit == kCancelItem) return false;
        if (hit == kPrimaryItem) {
            const int16_t m = dialog->PopUpMenu(kPrimaryItem, primary.names, int16_t(primary.chosen + 1));
            if (m >= 1 && m <= int16_t(primary.names.size())) primary.chosen = m - 1;
            ShowPrimary(*dialog, primary);
            continue;
        }
        if (hit != kOkItem) continue;
        std::string texts[kFields];
        for (int k = 0; k < kFields; ++k)
            if (k != kPrimaryField) texts[k] = dialog->ItemText(int16_t(kFirstField + k));
        BeltRequest r;
        const int32_t body = primary.chosen >= 0 ? primary.bodies[size_t(primary.chosen)] : -1;
        std::string problem = body < 0 ? "there is no body with mass to go round" : ReadEntries(texts, body, r);
        if (problem.empty() && !AddBelt(r, problem) && problem.empty()) problem = "the belt could not be added";
        if (!problem.empty()) {
            dialog->SetItemText(kMessageItem, "No belt: " + problem + ".");
            Platform().SysBeep();
            continue;
        }
        for (int k = 0; k < kFields; ++k) entries[k] = texts[k];
        lastPrimary = body;
        UpdateObjectWindowVars();
        return true;
    }
}
