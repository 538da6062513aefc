#include "io/FileFolders.h"

#include <filesystem>
#include <system_error>

#include "io/FileTypes.h"
#include "platform/Platform.h"

namespace {

void RememberFolderOf(uint32_t fileType, const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) return;
    RememberedSettings().WriteSetting(RememberedFolderKey(fileType), folder);
    RememberedSettings().FlushSettings();
}

}  // namespace

std::string RememberedFolderKey(uint32_t fileType) {
    switch (fileType) {
        case kUniverseFileType: return "folders/universe";
        case kPictFileType:
        case kPngFileType: return "folders/picture";
        case kMovieFileType: return "folders/movie";
        case kStarDataFileType: return "folders/starData";
        default: return "folders/other";
    }
}

std::string RememberedFolder(uint32_t fileType) {
    std::string folder;
    if (!RememberedSettings().ReadSetting(RememberedFolderKey(fileType), folder)) return {};
    // A stored value may be anything, or a folder since removed: only a present folder is offered.
    if (folder.empty() || folder.front() != '/' || folder.find('\0') != std::string::npos) return {};
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

bool ChooseFileRemembered(const std::vector<uint32_t>& types, std::string& path) {
    const uint32_t kind = types.empty() ? 0 : types.front();
    if (!Platform().ChooseFileIn(RememberedFolder(kind), types, path)) return false;
    RememberFolderOf(kind, path);
    return true;
}

int32_t ChooseSaveFileRemembered(const std::string& message, const std::string& defaultName, uint32_t fileType,
                                 std::string& path) {
    const int32_t answer =
        Platform().ChooseSaveFileIn(RememberedFolder(fileType), message, defaultName, fileType, path);
    if (answer != 0) RememberFolderOf(fileType, path);
    return answer;
}
