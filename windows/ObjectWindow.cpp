// Placeholder until the inspection windows land.
#include "windows/ObjectWindow.h"

void AllocObjectWindowInfo() {}
void DisposeObjectWindowInfo() {}
void UpdateObjectWindowVars() {}
#include "core/Records.h"
uint16_t IsBodySelectionOkay() {
    const BodyListStruct* list = BodyList();
    return list && rt.selectedBody >= 0 && rt.selectedBody < list->count;
}
