// The body and craft editor: a modal dialog over a working copy of one
// body's initial conditions. It keeps private copies of the ring profile and
// of the thrust schedule and installs them only on OK.
#include "windows/BodyEditor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "io/Pictures.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "windows/BodyEditorDraw.h"
#include "windows/BodyEditorTips.h"
#include "windows/ThrustEntries.h"

namespace {

constexpr MyReal kDegreesPerRadian = 180.0 / M_PI;
constexpr size_t kMaxNameBytes = 31;

struct EditorState {
    ModalDialog* dialog = nullptr;
    bool craft = false;
    int32_t index = 0;
    BodyInfoStruct work{};
    // Display units (SI size of one shown unit).
    MyReal posUnit = 1000.0, velDistUnit = 1.0, velTimeUnit = 1.0, radiusUnit = 1000.0, massUnit = 1.0,
           periodUnit = 1.0, forceUnit = 1.0, deltaVDistUnit = 1000.0, deltaVTimeUnit = 1.0;
    std::vector<std::string> parentMenu;
    int32_t parent = 0;
    RGBColor color{};
    Handle picture = kNoHandle;  // the sphere list's picture, or one chosen here
    bool pictureIsOurs = false;  // chosen in this dialog, not yet handed to the list
    Handle ring = kNoHandle;     // private profile, handed to the record on OK
    Handle thrust = kNoHandle;   // private schedule, installed in set on OK
    int32_t entry = 0;           // thrust entry shown
    // Read from the fields on each pass.
    MyReal force = 0.0;
    ThrustEntryFields entryFields{0.0, 0.0};
    std::string name;
    bool fieldsValid = false;
};

int32_t BodyCount() {
    const BodyListStruct* list = BodyList();
    return list ? list->count : 0;
}

bool AllFinite(const MyReal v[3]) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

// Names are counted strings of at most 31 bytes; a cut never splits a character.
std::string CutName(std::string text) {
    if (text.size() <= kMaxNameBytes) return text;
    size_t n = kMaxNameBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    text.resize(n);
    return text;
}

std::vector<std::string> BuildParentMenu(int32_t index) {
    std::vector<std::string> entries{GetIndString(kParentMenuStrings, 1)};
    const BodyListStruct* list = BodyList();
    if (list && list->count >= 1 && index >= 1) {
        entries.push_back(GetIndString(kParentMenuStrings, 2));
        const int32_t last = std::min(index, list->count);
        for (int32_t b = 0; b < last; ++b) entries.push_back(PToCStr(list->body[b].name));
    }
    return entries;
}

int16_t ParentMenuEntry(const EditorState& s) {
    const int32_t m = s.parent == 0 ? 1 : s.parent + 2;
    return int16_t(m <= int32_t(s.parentMenu.size()) ? m : 1);
}

void ShowUnitLabel(ModalDialog& d, int16_t button, int16_t list, int16_t index) {
    d.SetItemText(button, GetIndString(list, index));
}

void ShowThrustEntry(EditorState& s) {
    ModalDialog& d = *s.dialog;
    const ThrustEntryFields shown = ThrustEntryShown(s.thrust, s.entry);
    SetMyRealItem(d, kCraftDeltaVItem, shown.deltaV / (s.deltaVDistUnit * s.deltaVTimeUnit));
    d.SetItemText(kCraftPushIndexItem, std::to_string(int64_t(shown.pushIndex)));
    d.SetItemText(kCraftEntryCaptionItem, GetIndString(kCraftStrings, 2) + std::to_string(s.entry + 1) +
                                              GetIndString(kCraftStrings, 3));
}

void FillItems(EditorState& s) {
    ModalDialog& d = *s.dialog;
    const BodyInfoStruct& w = s.work;
    d.SetItemText(kEditNameItem, PToCStr(w.name));
    d.SetItemText(kEditNumberItem, std::to_string(s.index + 1) + GetIndString(kBodyEditorStrings, 2));
    MyReal v[3];
    for (int c = 0; c < 3; ++c) v[c] = w.pos[c] / s.posUnit;
    SetSphericalItems(d, kEditPosItem, v);
    for (int c = 0; c < 3; ++c) v[c] = w.vel[c] / (s.velDistUnit * s.velTimeUnit);
    SetSphericalItems(d, kEditVelItem, v);
    SetMantExpItems(d, kEditMassItem, w.mass / s.massUnit);
    SetMyRealItem(d, kEditRadiusItem, w.radius / s.radiusUnit);
    ShowUnitLabel(d, kEditPosUnitItem, kDistanceUnitList, 2);
    ShowUnitLabel(d, kEditVelDistUnitItem, kDistanceUnitList, 1);
    ShowUnitLabel(d, kEditVelTimeUnitItem, kInvTimeUnitList, 1);
    ShowUnitLabel(d, kEditRadiusUnitItem, kDistanceUnitList, s.craft ? 1 : 2);
    ShowUnitLabel(d, kEditMassUnitItem, kMassUnitList, 1);
    if (s.craft) {
        SetMyRealItem(d, kCraftForceItem, set.craftThrust / s.forceUnit);
        ShowUnitLabel(d, kCraftForceUnitItem, kForceUnitList, 1);
        ShowUnitLabel(d, kCraftDeltaVDistUnitItem, kDistanceUnitList, 2);
        ShowUnitLabel(d, kCraftDeltaVTimeUnitItem, kInvTimeUnitList, 1);
        ShowThrustEntry(s);
        return;
    }
    SetMyRealItem(d, kBodyTiltItem, w.axisTilt * kDegreesPerRadian);
    SetMyRealItem(d, kBodyAzimuthItem, w.axisAzimuth * kDegreesPerRadian);
    SetMyRealItem(d, kBodyRingRatioItem, w.ringRatio > 1.0 ? w.ringRatio : 2.0);
    SetMyRealItem(d, kBodyPeriodItem, w.spinRate == 0.0 ? 0.0 : 2.0 * M_PI / (w.spinRate * s.periodUnit));
    ShowUnitLabel(d, kBodyPeriodUnitItem, kTimeUnitList, 1);
    d.SetItemValue(kBodyPictureCheckItem, s.picture != kNoHandle);
    d.SetItemValue(kBodyRingsCheckItem, s.ring != kNoHandle);
}

void DrawItems(EditorState& s) {
    ModalDialog& d = *s.dialog;
    if (!s.craft) {
        DrawColorSwatchItem(d, kBodyColorItem, s.color);
        DrawPicturePreviewItem(d, kBodyPictureItem, s.picture);
        DrawRingPreviewItem(d, kBodyRingItem, s.ring);
    }
    DrawParentPopUpItem(d, kEditParentItem, s.parentMenu[size_t(ParentMenuEntry(s) - 1)]);
}

// Reads every field into the working record; true when all hold numbers.
bool ReadItems(EditorState& s) {
    ModalDialog& d = *s.dialog;
    BodyInfoStruct& w = s.work;
    bool valid = true;
    MyReal v[3];
    valid &= GetSphericalItems(d, kEditPosItem, v) == 1 && AllFinite(v);
    for (int c = 0; c < 3; ++c) w.pos[c] = v[c] * s.posUnit;
    valid &= GetSphericalItems(d, kEditVelItem, v) == 1 && AllFinite(v);
    for (int c = 0; c < 3; ++c) w.vel[c] = v[c] * s.velDistUnit * s.velTimeUnit;
    w.mass = GetMantExpItems(d, kEditMassItem) * s.massUnit;
    w.radius = GetMyRealItem(d, kEditRadiusItem) * s.radiusUnit;
    valid &= std::isfinite(w.mass) && std::isfinite(w.radius);
    if (s.craft) {
        s.force = GetMyRealItem(d, kCraftForceItem) * s.forceUnit;
        s.entryFields.deltaV = GetMyRealItem(d, kCraftDeltaVItem) * s.deltaVDistUnit * s.deltaVTimeUnit;
        s.entryFields.pushIndex = GetMyRealItem(d, kCraftPushIndexItem);
        valid &= std::isfinite(s.force) && ThrustFieldsHoldNumbers(s.entryFields);
    } else {
        const MyReal period = GetMyRealItem(d, kBodyPeriodItem) * s.periodUnit;
        w.spinRate = period == 0.0 ? 0.0 : 2.0 * M_PI / period;
        w.axisTilt = GetMyRealItem(d, kBodyTiltItem) / kDegreesPerRadian;
        w.axisAzimuth = GetMyRealItem(d, kBodyAzimuthItem) / kDegreesPerRadian;
        w.ringRatio = GetMyRealItem(d, kBodyRingRatioItem);
        valid &= std::isfinite(period) && std::isfinite(w.spinRate) && std::isfinite(w.axisTilt) &&
                 std::isfinite(w.axisAzimuth) && std::isfinite(w.ringRatio);
    }
    s.name = CutName(d.ItemText(kEditNameItem));
    return valid;
}

bool OkAllowed(const EditorState& s) { return s.fieldsValid && !s.name.empty(); }

void EnableButtons(EditorState& s) {
    ModalDialog& d = *s.dialog;
    d.SetItemEnabled(kEditOkItem, OkAllowed(s));
    if (!s.craft) return;
    d.SetItemEnabled(kCraftPrevEntryItem, CanGoToPreviousThrustEntry(s.entry));
    d.SetItemEnabled(kCraftNextEntryItem, CanGoToNextThrustEntry(s.thrust, s.entry, s.entryFields));
    d.SetItemEnabled(kCraftDeleteEntryItem, CanDeleteThrustEntry(s.thrust, s.entry));
}

// Shows the same quantity in the next unit; a field without a number keeps its text.
void RotateFieldUnit(ModalDialog& d, int16_t button, MyReal& factor, MyReal otherFactor, RotateUnitRoutine rotate,
                     int16_t field, bool mantExp) {
    const MyReal shown = mantExp ? GetMantExpItems(d, field) : GetMyRealItem(d, field);
    const MyReal si = shown * factor * otherFactor;
    Str255 label{};
    rotate(&factor, label);
    d.SetItemText(button, PToCStr(label));
    const MyReal again = si / (factor * otherFactor);
    if (mantExp)
        SetMantExpItems(d, field, again);
    else
        SetMyRealItem(d, field, again);
}

// The length of a spherical group is its mantissa and exponent; the angles need no unit.
constexpr int16_t kPosLengthItem = kEditPosItem + 2, kVelLengthItem = kEditVelItem + 2;

bool HandleUnitButton(EditorState& s, int16_t hit) {
    ModalDialog& d = *s.dialog;
    switch (hit) {
        case kEditPosUnitItem:
            RotateFieldUnit(d, hit, s.posUnit, 1.0, RotateDistanceUnit, kPosLengthItem, true);
            return true;
        case kEditVelDistUnitItem:
            RotateFieldUnit(d, hit, s.velDistUnit, s.velTimeUnit, RotateDistanceUnit, kVelLengthItem, true);
            return true;
        case kEditVelTimeUnitItem:
            RotateFieldUnit(d, hit, s.velTimeUnit, s.velDistUnit, RotateInvTimeUnit, kVelLengthItem, true);
            return true;
        case kEditRadiusUnitItem:
            RotateFieldUnit(d, hit, s.radiusUnit, 1.0, RotateDistanceUnit, kEditRadiusItem, false);
            return true;
        case kEditMassUnitItem:
            RotateFieldUnit(d, hit, s.massUnit, 1.0, RotateMassUnit, kEditMassItem, true);
            return true;
        default:
            break;
    }
    if (!s.craft && hit == kBodyPeriodUnitItem) {
        RotateFieldUnit(d, hit, s.periodUnit, 1.0, RotateTimeUnit, kBodyPeriodItem, false);
        return true;
    }
    if (s.craft && hit == kCraftForceUnitItem) {
        RotateFieldUnit(d, hit, s.forceUnit, 1.0, RotateForceUnit, kCraftForceItem, false);
        return true;
    }
    if (s.craft && hit == kCraftDeltaVDistUnitItem) {
        RotateFieldUnit(d, hit, s.deltaVDistUnit, s.deltaVTimeUnit, RotateDistanceUnit, kCraftDeltaVItem, false);
        return true;
    }
    if (s.craft && hit == kCraftDeltaVTimeUnitItem) {
        RotateFieldUnit(d, hit, s.deltaVTimeUnit, s.deltaVDistUnit, RotateInvTimeUnit, kCraftDeltaVItem, false);
        return true;
    }
    return false;
}

void ChooseParent(EditorState& s) {
    const int16_t current = ParentMenuEntry(s);
    const int16_t m = s.dialog->PopUpMenu(kEditParentItem, s.parentMenu, current);
    if (m <= 0 || m == current || m > int16_t(s.parentMenu.size())) return;
    if (m == 1) s.parent = 0;
    else if (m >= 3) s.parent = m - 2;
}

void TogglePicture(EditorState& s) {
    if (s.picture) {
        // The list's own picture stays the list's until OK says otherwise.
        if (s.pictureIsOurs) DisposeHandle(s.picture);
        s.picture = kNoHandle;
        s.pictureIsOurs = false;
    } else if (const Handle chosen = UserGetPICTFile()) {
        s.picture = chosen;
        s.pictureIsOurs = true;
    }
    s.dialog->SetItemValue(kBodyPictureCheckItem, s.picture != kNoHandle);
}

void ToggleRings(EditorState& s) {
    if (s.ring) {
        HUnlock(s.ring);
        DisposeHandle(s.ring);
        s.ring = kNoHandle;
    } else if (const Handle picture = UserGetPICTFile()) {
        s.ring = NewRingPixMapFromPICT(picture);
        DisposeHandle(picture);
    }
    s.dialog->SetItemValue(kBodyRingsCheckItem, s.ring != kNoHandle);
}

void MoveEntry(EditorState& s, int32_t step) {
    if (!MoveThrustEntry(s.thrust, s.entry, s.entryFields, step)) {
        SysBeep();  // no memory for one more entry: the fields keep what was typed
        return;
    }
    ShowThrustEntry(s);
}

void DeleteEntry(EditorState& s) {
    DeleteThrustEntry(s.thrust, s.entry);
    ShowThrustEntry(s);
}

void CommitPicture(EditorState& s, BodyInfoStruct& record) {
    const Handle list = rt.spherePixList;
    int32_t id = record.spherePixID;
    if (id != 0 && s.picture != GetSphereListPICT(list, id)) {
        DisposeSpherePixData(list, id);
        DeallocBodyRT();  // the run-time array pointed into that entry
        id = 0;
    }
    if (id == 0 && s.picture) {
        id = AddPICTToSpherePixList(list, s.picture);
        if (id == 0 && s.pictureIsOurs) DisposeHandle(s.picture);  // the list could not take it
        s.picture = kNoHandle;
        s.pictureIsOurs = false;
    }
    s.work.spherePixID = id;
}

void CommitRing(EditorState& s, const BodyInfoStruct& record) {
    if (record.ringPix) {
        HUnlock(record.ringPix);
        DisposeHandle(record.ringPix);
        DeallocBodyRT();  // the run-time array borrowed the old profile
    }
    s.work.ringPix = s.ring;
    s.ring = kNoHandle;
}

void Commit(EditorState& s, BodyInfoStruct& record) {
    if (!s.craft) CommitPicture(s, record);
    else s.work.spherePixID = record.spherePixID;
    CommitRing(s, record);
    BodyInfoStruct out{};
    std::memcpy(out.pos, s.work.pos, sizeof out.pos);
    std::memcpy(out.vel, s.work.vel, sizeof out.vel);
    out.mass = s.work.mass;
    out.radius = s.work.radius;
    out.axisTilt = s.work.axisTilt;
    out.axisAzimuth = s.work.axisAzimuth;
    out.spinRate = s.work.spinRate;
    out.ringRatio = s.craft ? 0.0 : s.work.ringRatio;
    out.bodyFlags = s.craft ? kCraftFlag : 0;
    out.spherePixID = s.work.spherePixID;
    out.ringPix = s.work.ringPix;
    out.parent = s.parent;
    out.color = s.color;
    CToPStr31(out.name, s.name);
    record = out;
    if (s.craft) {
        set.craftThrust = s.force;
        StoreThrustEntry(s.thrust, s.entry, s.entryFields);
        CleanUpTTData(s.thrust);
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = s.thrust;
        s.thrust = kNoHandle;
    }
}

void ReleasePrivateCopies(EditorState& s) {
    DisposeTTHandle(s.thrust);
    s.thrust = kNoHandle;
    if (s.ring) {
        HUnlock(s.ring);
        DisposeHandle(s.ring);
        s.ring = kNoHandle;
    }
    if (s.picture && s.pictureIsOurs) DisposeHandle(s.picture);
    s.picture = kNoHandle;
}

// Name and parent fixes the caller's record receives too.
void FixUpRecord(BodyInfoStruct& record, int32_t index, bool craft) {
    if (record.name[0] == 0) {
        const std::string base = GetIndString(craft ? kCraftStrings : kBodyEditorStrings, 1);
        CToPStr31(record.name, CutName(base + std::to_string(index + 1)));
    }
    // The parent is 1-based and must be an earlier body; anything else names no pop-up entry.
    if (record.parent < 0 || record.parent > BodyCount() || record.parent > index) record.parent = 0;
}

// Private copies of the ring and the schedule; false when memory is lacking.
bool TakePrivateCopies(EditorState& s, const BodyInfoStruct& record) {
    if (record.ringPix && IsValidHandle(record.ringPix)) {
        s.ring = DuplicateHandle(record.ringPix);
        if (!s.ring) return false;
    }
    if (s.craft) {
        s.thrust = set.timedThrust ? MakeTTDataCopy(set.timedThrust) : NewTTHandle();
        if (!s.thrust) return false;
    }
    return true;
}

int32_t RunDialog(EditorState& s, BodyInfoStruct& record) {
    for (;;) {
        DrawItems(s);
        s.fieldsValid = ReadItems(s);
        EnableButtons(s);
        const int16_t hit = s.dialog->NextHit();
        if (hit == kEditCancelItem) return 0;
        // A hit can follow typing at once; act on what the fields hold now.
        s.fieldsValid = ReadItems(s);
        if (hit == kEditOkItem) {
            if (!OkAllowed(s)) continue;
            Commit(s, record);
            return 1;
        }
        if (hit == kEditDeleteItem) {
            if (s.craft) {
                DisposeTTHandle(set.timedThrust);
                set.timedThrust = kNoHandle;
            }
            return -1;
        }
        if (hit == kEditParentItem) {
            ChooseParent(s);
            continue;
        }
        if (HandleUnitButton(s, hit)) {
            ShowBodyEditorTips(*s.dialog, s.craft);  // the help names the new unit
            continue;
        }
        if (s.craft) {
            if (hit == kCraftPrevEntryItem && CanGoToPreviousThrustEntry(s.entry)) MoveEntry(s, -1);
            else if (hit == kCraftNextEntryItem && CanGoToNextThrustEntry(s.thrust, s.entry, s.entryFields))
                MoveEntry(s, +1);
            else if (hit == kCraftDeleteEntryItem && CanDeleteThrustEntry(s.thrust, s.entry)) DeleteEntry(s);
            continue;
        }
        if (hit == kBodyColorItem) {
            RGBColor chosen = s.color;
            if (Platform().ChooseColor(GetIndString(kBodyEditorStrings, 3), chosen)) s.color = chosen;
        } else if (hit == kBodyPictureCheckItem) {
            TogglePicture(s);
        } else if (hit == kBodyRingsCheckItem) {
            ToggleRings(s);
        }
    }
}

}  // namespace

int32_t EditBodyDialog(BodyInfoStruct* record, int32_t index) {
    if (!record) return 0;
    EditorState s;
    s.index = std::clamp(index, 0, BodyCount());
    s.craft = (record->bodyFlags & kCraftFlag) != 0;
    s.radiusUnit = s.craft ? 1.0 : 1000.0;
    FixUpRecord(*record, s.index, s.craft);
    s.work = *record;
    s.parent = record->parent;
    s.color = record->color;
    s.parentMenu = BuildParentMenu(s.index);
    if (!s.craft && record->spherePixID != 0) s.picture = GetSphereListPICT(rt.spherePixList, record->spherePixID);
    if (!TakePrivateCopies(s, *record)) {
        ReleasePrivateCopies(s);
        SysBeep();
        return 0;
    }
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(s.craft ? CraftDialogLayout() : BodyDialogLayout());
    if (!dialog) {
        ReleasePrivateCopies(s);
        return 0;
    }
    s.dialog = dialog.get();
    FillItems(s);
    ShowBodyEditorTips(*dialog, s.craft);
    dialog->SelectItemText(kEditPosItem);
    const int32_t result = RunDialog(s, *record);
    ReleasePrivateCopies(s);
    return result;
}
