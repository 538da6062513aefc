#include "io/Pictures.h"

#include <cstdio>
#include <filesystem>

#include "io/FileTypes.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

Handle ReadPICTFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        Platform().StopAlert("PICT file is unavailable.");
        return kNoHandle;
    }
    Handle h = kNoHandle;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long end = std::ftell(f);
        // A file shorter than its header holds no picture.
        if (end >= long(kPictFileHeaderSize)) {
            const size_t size = size_t(end) - kPictFileHeaderSize;
            h = NewHandle(size == 0 ? 0 : size);
            if (h && size > 0) {
                HLock(h);
                const bool ok = std::fseek(f, long(kPictFileHeaderSize), SEEK_SET) == 0 &&
                                std::fread(HandlePtr(h), 1, size, f) == size;
                HUnlock(h);
                if (!ok) {
                    DisposeHandle(h);
                    h = kNoHandle;
                }
            }
        }
    }
    std::fclose(f);
    return h;
}

bool WritePICTFile(Handle picture, const std::string& path) {
    if (!picture || !IsValidHandle(picture)) return false;
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    if (!f) f = std::fopen(path.c_str(), "w+b");
    if (!f) return false;
    HLock(picture);
    const size_t size = size_t(GetHandleSize(picture));
    static const uint8_t zeros[kPictFileHeaderSize] = {};
    bool ok = std::fwrite(zeros, 1, sizeof zeros, f) == sizeof zeros;
    ok = ok && std::fwrite(HandlePtr(picture), 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    HUnlock(picture);
    std::error_code ec;
    if (ok && std::filesystem::file_size(path, ec) > kPictFileHeaderSize + size)
        std::filesystem::resize_file(path, kPictFileHeaderSize + size, ec);
    return ok && !ec;
}

bool NavChooseOneFile(const std::vector<uint32_t>& types, std::string& path) {
    return Platform().ChooseFile(types, path);
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
    std::vector<uint8_t> bytes;
    const Handle h = ReadPICTFile(path);
    ok = h != kNoHandle;
    if (h) {
        const auto* p = static_cast<const uint8_t*>(HandlePtr(h));
        bytes.assign(p, p + GetHandleSize(h));
        DisposeHandle(h);
    }
    return bytes;
}
