// The Objects menu commands that add, edit and delete bodies and the craft.
#include <cstring>

#include "core/History.h"
#include "imagery/SpherePix.h"
#include "sim/Bodies.h"
#include "windows/BodyEditor.h"
#include "windows/ObjectWindow.h"

namespace {

int32_t BodyCount() {
    const BodyListStruct* list = BodyList();
    return list ? list->count : 0;
}

// A record the list refused still owns its picture entry and ring profile.
void ReleaseBodyResources(BodyInfoStruct& info) {
    if (info.spherePixID != 0) DisposeSpherePixData(rt.spherePixList, info.spherePixID);
    if (info.ringPix) {
        HUnlock(info.ringPix);
        DisposeHandle(info.ringPix);
    }
    info.spherePixID = 0;
    info.ringPix = kNoHandle;
}

void AddEditedBody(BodyInfoStruct& info) {
    const int32_t index = BodyCount();
    if (EditBodyDialog(&info, index) != 1) return;
    if (!AddABody(info)) {
        ReleaseBodyResources(info);
        SysBeep();
        return;
    }
    rt.selectedBody = index;
    UpdateObjectWindowVars();
}

void EditStoredBody(int32_t index) {
    BodyListStruct* list = BodyList();
    if (!list || index < 0 || index >= list->count) return;
    BodyInfoStruct copy = list->body[index];
    const int32_t result = EditBodyDialog(&copy, index);
    if (result == 0) return;
    if (result == 1) {
        list = BodyList();
        if (list && index < list->count) list->body[index] = copy;
    } else {
        DeleteABody(index);
        rt.selectedBody = -1;
    }
    DeallocBodyRT();
    UpdateObjectWindowVars();
}

}  // namespace

void NewBodyMenuItem() {
    UndoableChange change("New Body");
    BodyInfoStruct info;
    FillDefaultBodyInfo(info);
    AddEditedBody(info);
}

void NewCraftMenuItem() {
    UndoableChange change("New Craft");
    const int32_t countBefore = BodyCount();
    const MyReal thrustBefore = set.craftThrust;
    BodyInfoStruct info;
    FillDefaultCraftInfo(info);  // also offers the default engine force
    AddEditedBody(info);
    if (BodyCount() == countBefore) set.craftThrust = thrustBefore;  // cancelled: the engine is as it was
}

void EditBodyMenuItem() {
    UndoableChange change("Edit Body");
    EditStoredBody(rt.selectedBody);
}

void EditCraftMenuItem() {
    UndoableChange change("Edit Craft");
    const int32_t craft = GetCraftIndex();
    if (craft >= 0) EditStoredBody(craft);
}

void DeleteBodyMenuItem() {
    UndoableChange change("Delete Body");
    if (!set.bodies) return;
    DeleteABody(rt.selectedBody);
    rt.selectedBody = -1;
    UpdateObjectWindowVars();
}

void DeleteCraftMenuItem() {
    UndoableChange change("Delete Craft");
    const int32_t craft = GetCraftIndex();
    if (craft < 0) return;
    DeleteABody(craft);
    // The selection follows the body it named.
    if (rt.selectedBody == craft) rt.selectedBody = -1;
    else if (rt.selectedBody > craft) --rt.selectedBody;
    UpdateObjectWindowVars();
}
