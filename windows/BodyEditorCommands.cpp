// The Objects menu commands that add, edit and delete bodies and the craft.
#include "windows/BodyEditorCommands.h"

#include <cstring>

#include "core/Limits.h"
#include "imagery/SpherePix.h"
#include "platform/Platform.h"
#include "shell/History.h"
#include "sim/Bodies.h"
#include "windows/BodyEditor.h"
#include "windows/EditDuringRun.h"
#include "windows/ObjectWindow.h"

namespace {

int32_t BodyCount() {
    const BodyListStruct* list = BodyList();
    return list ? list->count : 0;
}

// False, with an alert, when `info` would be one body with mass too many (`replacing` the body
// at that index, or a new one at -1): test particles may fill the list, bodies with mass not.
bool MassiveRoomFor(const BodyInfoStruct& info, int32_t replacing) {
    const BodyListStruct* list = BodyList();
    if (info.mass == 0.0 || !list || (replacing >= 0 && list->body[replacing].mass != 0.0)) return true;
    int32_t massive = 0;
    for (int32_t i = 0; i < list->count; ++i) massive += list->body[i].mass != 0.0 ? 1 : 0;
    if (massive < kMaxMassiveBodies) return true;
    Platform().StopAlert("There are " + std::to_string(kMaxMassiveBodies) +
                         " bodies with mass already, the most a scenario may hold; a body of mass 0 (a test "
                         "particle) can still be added.");
    return false;
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
    if (!MassiveRoomFor(info, -1) || !AddABody(info)) {
        ReleaseBodyResources(info);
        SysBeep();
        return;
    }
    rt.selectedBody = index;
    UpdateObjectWindowVars();
}

// The body list changes behind the editor's back; the selection follows the body it named.
void ForgetDeletedBody(int32_t index) {
    if (rt.selectedBody == index) rt.selectedBody = -1;
    else if (rt.selectedBody > index) --rt.selectedBody;
}

// During a run the user edits the present state or the initial conditions; the
// present state is made the initial conditions first, and put back when the editor is
// cancelled.
void EditStoredBody(int32_t index) {
    BodyListStruct* list = BodyList();
    if (!list || index < 0 || index >= list->count) return;
    const EditTarget target = ChooseWhatToEdit(index);
    if (target == EditTarget::Cancel) return;
    if (target == EditTarget::PresentState) {
        const int32_t after = IndexAfterPresentState(index);
        SetICsToRT();
        index = after;
        list = BodyList();
        if (!list || index >= list->count) return;
    }
    BodyInfoStruct copy = list->body[index];
    const int32_t result = EditBodyDialog(&copy, index);
    if (result == 0 || (result == 1 && !MassiveRoomFor(copy, index))) {
        if (target == EditTarget::PresentState) RevertChangeInProgress();
        return;
    }
    if (result == 1) {
        list = BodyList();
        if (list && index < list->count) list->body[index] = copy;
    } else {
        DeleteABody(index);
        ForgetDeletedBody(index);
    }
    DeallocBodyRT();
    // The row count may have changed: the object window's scroll range follows it.
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

void EditBodyAt(int32_t index) {
    UndoableChange change("Edit Body");
    EditStoredBody(index);
}

void EditBodyMenuItem() { EditBodyAt(rt.selectedBody); }

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
    ForgetDeletedBody(craft);
    UpdateObjectWindowVars();
}

void DoObjectWindowHit(Point local, uint16_t modifiers, uint32_t when, int16_t broughtToFront) {
    const ObjectWindowPress press = ObjectWindowHit(local, modifiers, when, broughtToFront);
    if (press.action == ObjectWindowPress::Action::EditBody) EditBodyAt(press.index);
    else if (press.action == ObjectWindowPress::Action::NewBody) NewBodyMenuItem();
}
