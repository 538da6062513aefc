#include "windows/EditDuringRun.h"

#include "core/Strings.h"
#include "core/Units.h"
#include "shell/Confirm.h"
#include "sim/PairPass.h"
#include "windows/RelativeMotion.h"

namespace {

std::string PresentValues(int32_t index) {
    const BodyRTListStruct* run = BodyRTList();
    const BodyRTStruct& b = run->body[index];
    const RelativeMotion m = MotionAboutAttractor(run, index);
    std::string about;
    AppendRelativeTo(about, run, m.attractor);
    return PToCStr(b.name) + " now: " + MyRealToSciNotString(m.distance / 1000.0) + " km and " +
           MyRealToSciNotString(m.speed) + " m/s " + about + ", mass " + MyRealToSciNotString(b.mass) + " kg.";
}

}  // namespace

bool CanEditPresentState(int32_t index) {
    const BodyRTListStruct* run = BodyRTList();
    const BodyListStruct* list = BodyList();
    return run && list && rt.pushCount > 0 && index >= 0 && index < run->count && run->count == list->count &&
           IsLiveBody(run->body[index]);
}

DialogLayout EditDuringRunLayout(int32_t index) {
    DialogLayout layout = QuestionLayout(500, 164, kEditPresentItem, kEditCancelChoiceItem);
    layout.title = "Edit During the Run";
    const std::string text = "The run is at t = " + ElapsedTimeText(rt.simTime) + ". " + PresentValues(index) +
                             "\nEdit the present state (it becomes the initial conditions, the clock starts "
                             "from 0) or the initial conditions (the run starts again)? Undo brings the run back.";
    layout.items = {
        MakeDialogItem(kEditChoiceTextItem, DialogItemKind::StaticText, Rect{16, 20, 112, 480}, text),
        MakeDialogItem(kEditInitialItem, DialogItemKind::Button, Rect{124, 20, 144, 170}, "Initial Conditions"),
        MakeDialogItem(kEditCancelChoiceItem, DialogItemKind::Button, Rect{124, 250, 144, 330}, "Cancel"),
        MakeDialogItem(kEditPresentItem, DialogItemKind::Button, Rect{124, 346, 144, 480}, "Present State"),
    };
    return layout;
}

EditTarget ChooseWhatToEdit(int32_t index) {
    if (!CanEditPresentState(index)) return EditTarget::InitialConditions;
    switch (AskWithButtons(EditDuringRunLayout(index))) {
        case kEditPresentItem: return EditTarget::PresentState;
        case kEditInitialItem: return EditTarget::InitialConditions;
        default: return EditTarget::Cancel;
    }
}

int32_t IndexAfterPresentState(int32_t index) {
    const BodyRTListStruct* run = BodyRTList();
    int32_t gone = 0;
    for (int32_t i = 0; run && i < index && i < run->count; ++i) gone += IsLiveBody(run->body[i]) ? 0 : 1;
    return index - gone;
}
