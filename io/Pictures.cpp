#include "io/Pictures.h"

#include <cstring>

#include "core/Limits.h"
#include "io/FileAccess.h"
#include "io/FileFolders.h"

#include "io/FileTypes.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

std::vector<uint8_t> ReadPICTFileChecked(const std::string& path, std::string& why) {
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, kMaxPictureFileBytes, bytes, why)) return {};
    if (bytes.size() < kPictFileHeaderSize) {
        why = "it is shorter than the 512-byte header of a picture file";
        return {};
    }
    why.clear();
    bytes.erase(bytes.begin(), bytes.begin() + kPictFileHeaderSize);
    return bytes;
}

Handle ReadPICTFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(path, kMaxPictureFileBytes, bytes, why)) {
        Platform().StopAlert("PICT file is unavailable. \"" + path + "\": " + why + ".");
        return kNoHandle;
    }
    // A file shorter than its header holds no picture (as when memory is short: no alert).
    if (bytes.size() < kPictFileHeaderSize) return kNoHandle;
    return NewHandleWithBytes(bytes.data() + kPictFileHeaderSize, bytes.size() - kPictFileHeaderSize);
}

bool WritePICTFile(Handle picture, const std::string& path) {
    if (!picture || !IsValidHandle(picture)) return false;
    const auto* p = static_cast<const uint8_t*>(HandlePtr(picture));
    std::vector<uint8_t> file(kPictFileHeaderSize, 0);
    file.insert(file.end(), p, p + GetHandleSize(picture));
    std::string error;
    return ReplaceFileContents(path, file.data(), file.size(), error);
}

bool NavChooseOneFile(const std::vector<uint32_t>& types, std::string& path) {
    return ChooseFileRemembered(types, path);
}

Handle UserGetPICTFile() {
    std::string path;
    if (!NavChooseOneFile({kPictFileType}, path)) return kNoHandle;
    return ReadPICTFile(path);
}

void CopyPictureToScrap() {
    const PixelSurface surface = RenderSurface();
    if (!surface.base) return;
    Platform().PutPictureOnClipboard(surface);
}

std::vector<uint8_t> ReadPICTFileBytes(const std::string& path, bool& ok) {
    std::string why;
    std::vector<uint8_t> bytes = ReadPICTFileChecked(path, why);
    ok = why.empty();
    return bytes;
}
