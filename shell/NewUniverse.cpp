#include "shell/NewUniverse.h"

#include <algorithm>
#include <cmath>

#include "core/Records.h"
#include "render/Camera.h"
#include "render/IJK.h"
#include "render/Trails.h"
#include "shell/Document.h"
#include "shell/History.h"
#include "sim/Bodies.h"
#include "windows/ObjectWindow.h"

void PresentNewUniverse() {
    ClearUndoHistory();
    DisposeScratchSpace();
    SetRunTimeViewingVariables();
    TransferICsToRT();
    // Far enough out to see every body, from above the plane at a slant.
    double reach = 0.0;
    if (const BodyRTListStruct* l = BodyRTList())
        for (int32_t i = 0; i < l->count; ++i)
            reach = std::max(reach, std::hypot(l->body[i].pos[0], l->body[i].pos[1], l->body[i].pos[2]));
    rt.eyeDistance = reach > 0.0 ? 2.5 * reach : 4.0e7;
    set.savedEyeDistance = rt.eyeDistance;
    BuildBodyAxes(rt.cameraIJK, 0.9, -1.2, 0);
    UpdateObjectWindowVars();
    StartUntitledDocument();
}
