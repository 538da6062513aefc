#include "windows/PlanBurnDialog.h"

#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "core/Strings.h"
#include "core/Units.h"
#include "platform/Platform.h"
#include "shell/Confirm.h"
#include "shell/FlightPrediction.h"
#include "sim/Bodies.h"
#include "sim/OrbitalElements.h"
#include "sim/TimedThrust.h"

namespace {
constexpr int16_t kOkItem = 1, kCancelItem = 2, kAfterTimeItem = 3, kTimeItem = 4, kTimeUnitItem = 5,
                  kPeriapsisItem = 6, kApoapsisItem = 7, kDeltaVItem = 9, kNoteItem = 11;

std::string UnitLabel(int16_t list, double factor) {
    static const double kTime[] = {1.0, 60.0, 3600.0, 86400.0};
    for (int16_t k = 0; k < 4; ++k)
        if (kTime[k] == factor) return GetIndString(list, int16_t(k + 1));
    return GetIndString(list, 1);
}

// Pushes until the next apsis of the osculating orbit, or -1.
int64_t PushesToApsisFromElements(bool periapsis) {
    const BodyRTListStruct* list = BodyRTList();
    const OrbitalElementsStruct el = BodyElements(list, GetCraftIndex(), set);
    if (!el.valid || !(set.timeStep > 0) || !std::isfinite(el.timeToPeriapsis)) return -1;
    double t = el.timeToPeriapsis;
    if (!periapsis) {
        if (el.escape) return -1;
        t = std::fmod(t + 0.5 * el.period, el.period);
    }
    return int64_t(std::llround(t / set.timeStep));
}
}  // namespace

int64_t PlannedBurnPushIndex(BurnMoment moment, double seconds, const PredictionResultStruct* fresh,
                             int32_t presentSample) {
    if (!(set.timeStep > 0)) return -1;
    int64_t ahead = -1;  // pushes from now to the state the burn changes
    if (moment == BurnMoment::kAfterTime) {
        if (!(seconds >= 0) || !std::isfinite(seconds)) return -1;
        ahead = std::max<int64_t>(1, std::llround(seconds / set.timeStep));
    } else {
        const PredictionMarkKind kind =
            moment == BurnMoment::kNextPeriapsis ? PredictionMarkKind::kPeriapsis : PredictionMarkKind::kApoapsis;
        if (fresh && presentSample >= 0) {
            const int32_t m = NextMark(*fresh, kind, presentSample + 1);
            if (m >= 0) ahead = fresh->marks[size_t(m)].sample - presentSample;
        }
        if (ahead < 0) ahead = PushesToApsisFromElements(moment == BurnMoment::kNextPeriapsis);
        if (ahead < 0) return -1;
        ahead = std::max<int64_t>(1, ahead);
    }
    // An entry with index N changes the state the (N + 1)-th push leaves.
    const int64_t index = rt.pushCount + ahead - 1;
    return index <= INT32_MAX ? index : -1;
}

bool AddPlannedBurn(int64_t pushIndex, double deltaV) {
    if (pushIndex < 0 || pushIndex > INT32_MAX || !std::isfinite(deltaV) || deltaV == 0) return false;
    if (!set.timedThrust) set.timedThrust = NewTTHandle();
    TimedThrustInfoStruct e{deltaV, int32_t(pushIndex), 0};
    return set.timedThrust && AddTTData(set.timedThrust, &e) >= 0;
}

void PlanBurnMenuItem() {
    if (!IsThereACraft()) {
        SysBeep();
        return;
    }
    DialogLayout layout;
    layout.title = "Plan Burn";
    layout.width = 400;
    layout.height = 214;
    layout.items = {
        MakeDialogItem(kAfterTimeItem, DialogItemKind::CheckBox, Rect{16, 20, 34, 150}, "After"),
        MakeDialogItem(kTimeItem, DialogItemKind::EditText, Rect{14, 150, 34, 260}, ""),
        MakeDialogItem(kTimeUnitItem, DialogItemKind::Button, Rect{14, 268, 34, 380}, ""),
        MakeDialogItem(kPeriapsisItem, DialogItemKind::CheckBox, Rect{44, 20, 62, 380}, "At the next periapsis"),
        MakeDialogItem(kApoapsisItem, DialogItemKind::CheckBox, Rect{70, 20, 88, 380}, "At the next apoapsis"),
        MakeDialogItem(8, DialogItemKind::StaticText, Rect{104, 20, 122, 200}, "\u0394v along the velocity"),
        MakeDialogItem(kDeltaVItem, DialogItemKind::EditText, Rect{102, 200, 122, 300}, "100"),
        MakeDialogItem(10, DialogItemKind::StaticText, Rect{104, 308, 122, 380}, "m/s"),
        MakeDialogItem(kNoteItem, DialogItemKind::StaticText, Rect{134, 20, 170, 380}, ""),
        MakeDialogItem(kCancelItem, DialogItemKind::Button, Rect{180, 200, 200, 280}, "Cancel"),
        MakeDialogItem(kOkItem, DialogItemKind::Button, Rect{180, 296, 200, 380}, "OK"),
    };
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(layout);
    if (!dialog) return;
    double unit = 60.0;
    BurnMoment moment = FreshPrediction() ? BurnMoment::kNextPeriapsis : BurnMoment::kAfterTime;
    dialog->SetItemText(kTimeItem, "10");
    dialog->SetItemText(kTimeUnitItem, UnitLabel(2049, unit));
    dialog->SelectItemText(kDeltaVItem);
    for (;;) {
        dialog->SetItemValue(kAfterTimeItem, moment == BurnMoment::kAfterTime);
        dialog->SetItemValue(kPeriapsisItem, moment == BurnMoment::kNextPeriapsis);
        dialog->SetItemValue(kApoapsisItem, moment == BurnMoment::kNextApoapsis);
        const double seconds = String2MyReal(dialog->ItemText(kTimeItem)) * unit;
        const double deltaV = String2MyReal(dialog->ItemText(kDeltaVItem));
        const int64_t index = PlannedBurnPushIndex(moment, seconds, FreshPrediction(), PresentPredictionSample());
        const bool ok = index >= 0 && std::isfinite(deltaV) && deltaV != 0;
        std::string note = index < 0 ? "No such moment ahead." : "Fires at t = " + MyRealToSciNotString(double(index + 1) * set.timeStep) + " s (push " + std::to_string(index + 1) + ").";
        dialog->SetItemText(kNoteItem, note);
        dialog->SetItemEnabled(kOkItem, ok);
        const int16_t hit = dialog->NextHit();
        if (hit == kCancelItem) return;
        if (hit == kOkItem && ok) {
            if (!AddPlannedBurn(index, deltaV)) SysBeep();
            return;
        }
        if (hit == kAfterTimeItem) moment = BurnMoment::kAfterTime;
        else if (hit == kPeriapsisItem) moment = BurnMoment::kNextPeriapsis;
        else if (hit == kApoapsisItem) moment = BurnMoment::kNextApoapsis;
        else if (hit == kTimeUnitItem) {
            Str255 label;
            RotateTimeUnit(&unit, label);
            dialog->SetItemText(kTimeUnitItem, UnitLabel(2049, unit));
            if (std::isfinite(seconds)) dialog->SetItemText(kTimeItem, MyRealFixed2String(seconds / unit, 3));
        }
    }
}
