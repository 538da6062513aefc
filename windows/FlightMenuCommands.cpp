#include "windows/FlightMenuCommands.h"

#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/Strings.h"
#include "shell/FlightPrediction.h"
#include "sim/Bodies.h"

void TogglePredictedPathMenuItem() { predictionOptions.on = !predictionOptions.on; }

bool IsPredictedPathOn() { return predictionOptions.on; }

void EditPredictionHorizonMenuItem() {
    double pushes = predictionOptions.pushes;
    const std::vector<std::string> prompts{"Pushes to predict ahead (0: one orbit, at most " +
                                           std::to_string(kPredictionDefaultPushCap) + "):"};
    if (!DoSimpleDialogSheet(&pushes, prompts, nullptr, 1, 1, 0)) return;
    if (!(pushes >= 0) || pushes > kPredictionMaxPushes) {
        SysBeep();
        return;
    }
    predictionOptions.pushes = int32_t(pushes);
}

void FillApproachTargetMenu(MenuModel& menu) {
    menu.items.clear();
    auto add = [&menu](const std::string& text, bool checked) {
        MenuItemModel m;
        m.text = text;
        m.checked = checked;
        menu.items.push_back(m);
    };
    add("Automatic", predictionOptions.target == kAutomaticTarget);
    add("None", predictionOptions.target == -1);
    if (const BodyListStruct* list = BodyList())
        for (int32_t i = 0; i < list->count; ++i) add(PToCStr(list->body[i].name), predictionOptions.target == i);
}

void SetApproachTargetMenuItem(int16_t item) {
    if (item == 1) predictionOptions.target = kAutomaticTarget;
    else if (item == 2) predictionOptions.target = -1;
    else if (item >= 3) predictionOptions.target = item - 3;
}
