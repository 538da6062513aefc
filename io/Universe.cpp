#include "io/Universe.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include "core/Epoch.h"
#include "io/ExternalDecls.h"
#include "io/FileTypes.h"
#include "io/Pictures.h"
#include "io/UniverseImage.h"
#include "io/UniverseStrings.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "shell/History.h"
#include "windows/ObjectWindow.h"

namespace {

std::string FolderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// One line naming the file and saying what went wrong.
std::string FileMessage(const std::string& path, const std::string& what, const std::string& reason) {
    return "The universe file \"" + path + "\" " + what + ": " + reason + ".";
}

Handle HandleFromBytes(const std::vector<uint8_t>& bytes) { return NewHandleWithBytes(bytes.data(), bytes.size()); }

}  // namespace

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
    in.epoch = epoch;
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
        Platform().StopAlert(FileMessage(path, "could not be saved", error));
        return false;
    }
    return true;
}

bool LoadAllSettingsFrom(const std::string& path) {
    ResourceFile rf;
    std::string error;
    if (!rf.ReadFromFile(path, error)) {
        SysBeep();
        Platform().StopAlert(FileMessage(path, UniverseString(10), error));
        return false;
    }
    const std::string folder = FolderOf(path);
    LoadedUniverse u;
    std::vector<std::string> pictureProblems;
    const auto readPicture = [&](const std::string& name, bool& ok) {
        std::string why;
        std::vector<uint8_t> bytes = ReadPICTFileChecked(folder + "/" + name, why);
        ok = why.empty();
        if (!ok) pictureProblems.push_back("the picture file \"" + name + "\" cannot be read: " + why);
        return bytes;
    };
    if (!ReadUniverseResources(rf, u, error, readPicture)) {
        Platform().StopAlert(FileMessage(path, UniverseString(10), error));
        return false;
    }
    if (u.usedFallback) Platform().CautionAlert(FileMessage(path, "was opened with substitutes", UniverseString(11)));
    for (const std::string& w : u.warnings) Platform().CautionAlert(FileMessage(path, "was read without a picture", w));
    for (const std::string& w : pictureProblems)
        Platform().CautionAlert(FileMessage(path, "was read without a picture", w));

    // From here on the previous scenario is replaced, and its undo history with it.
    ClearUndoHistory();
    DisposeScratchSpace();
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set = u.settings;
    epoch = u.epoch;
    set.bodies = kNoHandle;
    set.timedThrust = kNoHandle;
    // The list is made in one piece: growing it body by body would copy it once per body.
    std::vector<BodyInfoStruct> infos;
    infos.reserve(u.bodies.size());
    for (LoadedBody& b : u.bodies) {
        BodyInfoStruct info = b.info;
        info.spherePixID = 0;
        if (!b.picture.empty()) {
            const Handle pict = HandleFromBytes(b.picture);
            info.spherePixID = pict ? AddPICTToSpherePixList(rt.spherePixList, pict) : 0;
            if (pict && info.spherePixID == 0) DisposeHandle(pict);
        }
        info.ringPix = b.ring.empty() ? kNoHandle : HandleFromBytes(b.ring);
        infos.push_back(info);
    }
    if (!infos.empty() && !AddBodies(infos.data(), int32_t(infos.size())))
        for (const BodyInfoStruct& info : infos)
            if (info.ringPix) DisposeHandle(info.ringPix);
    if (!u.thrust.empty()) set.timedThrust = HandleFromBytes(u.thrust);

    SetRunTimeViewingVariables();
    rt.eyeDistance = set.savedEyeDistance;
    BuildBodyAxes(rt.cameraIJK, set.savedCameraTilt, set.savedCameraAzimuth, 0);
    UpdateObjectWindowVars();
    TransferICsToRT();
    return true;
}
