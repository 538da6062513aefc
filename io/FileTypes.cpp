#include "io/FileTypes.h"

#include <filesystem>

#include "platform/Platform.h"

const char* ExtensionForFileType(uint32_t fileType) {
    switch (fileType) {
        case kUniverseFileType: return ".universe";
        case kStarDataFileType: return ".stars";
        case kPictFileType: return ".pict";
        case kPngFileType: return ".png";
        case kMovieFileType: return ".mp4";
        case kHorizonsTextFileType: return ".txt";
        default: return nullptr;
    }
}

namespace {

// First regular file in the folder with the extension, in name order so the
// answer does not depend on directory order.
bool FirstFileWithExtension(const std::string& folder, const std::string& ext, std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->path().extension() != ext) continue;
        const std::string p = it->path().string();
        if (best.empty() || p < best) best = p;
    }
    if (best.empty()) return false;
    path = best;
    return true;
}

}  // namespace

bool SearchForFileWithType(uint32_t fileType, std::string& path) {
    const char* ext = ExtensionForFileType(fileType);
    if (!ext) return false;
    return FirstFileWithExtension(Platform().ApplicationDirectory(), ext, path) ||
           FirstFileWithExtension(Platform().UserDataDirectory(), ext, path);
}
