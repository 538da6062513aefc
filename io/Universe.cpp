#include "io/Universe.h"

#include <cstring>
#include <filesystem>

#include "core/History.h"
#include "io/ExternalDecls.h"
#include "io/FileTypes.h"
#include "io/Pictures.h"
#include "io/UniverseImage.h"
#include "io/UniverseStrings.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "windows/ObjectWindow.h"

namespace {

std::string FolderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

Handle HandleFromBytes(const std::vector<uint8_t>& bytes) {
    Handle h = NewHandle(bytes.size());
    if (h && !bytes.empty()) std::memcpy(HandlePtr(h), bytes.data(), bytes.size());
    return h;
}

}  // namespace

void SaveUniverse() {
    std::string path;
    if (Platform().ChooseSaveFile(UniverseString(1), UniverseString(2), kUniverseFileType, path) == 0) return;
    SaveAllSettingsTo(path, true);
}

void LoadUniverse() {
    std::string path;
    if (NavChooseOneFile({kUniverseFileType}, path)) LoadAllSettingsFrom(path);
}

bool SaveAllSettingsTo(const std::string& path, bool embedPictures) {
    UniverseSaveInput in;
    in.settings = set;
    in.bodies = BodyList();
    in.bodiesBlockSize = size_t(GetHandleSize(set.bodies));
    in.picture = [](int32_t id) { return GetSphereListPICT(rt.spherePixList, id); };
    in.eyeDistance = rt.eyeDistance;
    in.cameraIJK = rt.cameraIJK;
    in.embedPictures = embedPictures;
    in.folder = FolderOf(path);
    const Handle tt = set.timedThrust ? MakeTTDataCopy(set.timedThrust) : kNoHandle;
    in.thrust = TTList(tt);
    in.thrustBlockSize = size_t(GetHandleSize(tt));

    ResourceFile rf;
    BuildUniverseResources(in, rf);
    DisposeTTHandle(tt);
    std::string error;
    if (!rf.WriteToFile(path, error)) {
        SysBeep();
        // Say why: the earlier file, if any, is untouched.
        Platform().StopAlert("The universe could not be saved: " + error);
        return false;
    }
    return true;
}

bool LoadAllSettingsFrom(const std::string& path) {
    ResourceFile rf;
    std::string error;
    if (!rf.ReadFromFile(path, error)) {
        // A beep alone leaves the user guessing: say which file and why.
        Platform().StopAlert("\"" + path.substr(path.find_last_of('/') + 1) + "\" could not be opened: " + error + ".");
        return false;
    }
    const std::string folder = FolderOf(path);
    LoadedUniverse u;
    const auto readPicture = [&](const std::string& name, bool& ok) {
        return ReadPICTFileBytes(folder + "/" + name, ok);
    };
    if (!ReadUniverseResources(rf, u, error, readPicture)) {
        Platform().StopAlert(error);
        return false;
    }
    if (u.usedFallback) Platform().CautionAlert(UniverseString(11));

    // From here on the previous scenario is replaced, and its undo history with it.
    ClearUndoHistory();
    DisposeScratchSpace();
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set = u.settings;
    set.bodies = kNoHandle;
    set.timedThrust = kNoHandle;
    for (LoadedBody& b : u.bodies) {
        BodyInfoStruct info = b.info;
        info.spherePixID = 0;
        if (!b.picture.empty()) {
            const Handle pict = HandleFromBytes(b.picture);
            info.spherePixID = pict ? AddPICTToSpherePixList(rt.spherePixList, pict) : 0;
            if (pict && info.spherePixID == 0) DisposeHandle(pict);
        }
        info.ringPix = b.ring.empty() ? kNoHandle : HandleFromBytes(b.ring);
        if (!AddABody(info) && info.ringPix) DisposeHandle(info.ringPix);
    }
    if (!u.thrust.empty()) set.timedThrust = HandleFromBytes(u.thrust);

    SetRunTimeViewingVariables();
    rt.eyeDistance = set.savedEyeDistance;
    BuildBodyAxes(rt.cameraIJK, set.savedCameraTilt, set.savedCameraAzimuth, 0);
    UpdateObjectWindowVars();
    TransferICsToRT();
    return true;
}
