#include "io/DemoUniverses.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "io/FileTypes.h"
#include "platform/Platform.h"

std::string DemoTitleFromFileName(const std::string& fileName) {
    std::string stem = std::filesystem::path(fileName).stem().string();
    bool wordStart = true;
    for (char& c : stem) {
        if (c == '-' || c == '_') c = ' ';
        if (wordStart && c != ' ') c = char(std::toupper(static_cast<unsigned char>(c)));
        wordStart = c == ' ';
    }
    return stem;
}

std::vector<DemoUniverse> ListDemoUniverses() {
    namespace fs = std::filesystem;
    std::vector<DemoUniverse> demos;
    std::error_code ec;
    const fs::path folder = fs::path(Platform().ApplicationDirectory()) / "universes";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->path().extension() != ExtensionForFileType(kUniverseFileType)) continue;
        demos.push_back({DemoTitleFromFileName(it->path().filename().string()), it->path().string()});
    }
    std::sort(demos.begin(), demos.end(), [](const DemoUniverse& a, const DemoUniverse& b) { return a.path < b.path; });
    return demos;
}
