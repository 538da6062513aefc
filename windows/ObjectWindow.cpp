// Placeholder until the inspection windows land.
#include "windows/ObjectWindow.h"

void AllocObjectWindowInfo() {}
void DisposeObjectWindowInfo() {}
void UpdateObjectWindowVars() {}
void RedrawObjectWindow() {}
void DoObjectWindowHit(Point, uint16_t, uint32_t, int16_t) {}
void TrackObjectWindowScroll(ScrollPart, int32_t) {}
int32_t ObjectWindowScrollValue() { return 0; }
int32_t ObjectWindowScrollMaximum() { return 0; }
uint16_t IsBodySelectionOkay() {
    const BodyListStruct* list = BodyList();
    return list && rt.selectedBody >= 0 && rt.selectedBody < list->count;
}
