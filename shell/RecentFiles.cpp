#include "shell/RecentFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Platform.h"

RecentFilesStruct recentFiles;

namespace {

std::string RecentKey(size_t slot) { return "recent/file" + std::to_string(slot + 1); }

// Settings may hold anything: only a plain absolute path is taken.
bool LooksLikeAbsolutePath(const std::string& text) {
    return !text.empty() && text.size() < 4096 && text.front() == '/' && text.find('\0') == std::string::npos &&
           text.find('\n') == std::string::npos;
}

}  // namespace

std::string CanonicalFilePath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return {};
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal().string() : canonical.string();
}

void AddRecentFile(RecentFilesStruct& list, const std::string& path) {
    const std::string canonical = CanonicalFilePath(path);
    if (canonical.empty()) return;
    std::erase(list.paths, canonical);  // listed paths are canonical already
    list.paths.insert(list.paths.begin(), canonical);
    if (list.paths.size() > kMaxRecentFiles) list.paths.resize(kMaxRecentFiles);
}

void RemoveRecentFile(RecentFilesStruct& list, const std::string& path) {
    const std::string canonical = CanonicalFilePath(path);
    std::erase_if(list.paths, [&](const std::string& p) { return p == path || p == canonical; });
}

std::vector<std::string> RecentFileTitles(const RecentFilesStruct& list) {
    std::vector<std::string> names;
    for (const std::string& p : list.paths) names.push_back(std::filesystem::path(p).filename().string());
    std::vector<std::string> titles = names;
    for (size_t i = 0; i < names.size(); ++i) {
        if (std::count(names.begin(), names.end(), names[i]) < 2) continue;
        const std::string folder = std::filesystem::path(list.paths[i]).parent_path().string();
        titles[i] += " \u2014 " + (folder.empty() ? std::string("/") : folder);
    }
    return titles;
}

void LoadRecentFiles(RecentFilesStruct& list, SettingsStore& store) {
    RecentFilesStruct read;
    for (size_t slot = 0; slot < kMaxRecentFiles; ++slot) {
        std::string path;
        if (!store.ReadSetting(RecentKey(slot), path) || !LooksLikeAbsolutePath(path)) continue;
        if (std::find(read.paths.begin(), read.paths.end(), path) != read.paths.end()) continue;
        read.paths.push_back(path);
    }
    list = std::move(read);
}

void SaveRecentFiles(const RecentFilesStruct& list, SettingsStore& store) {
    for (size_t slot = 0; slot < kMaxRecentFiles; ++slot) {
        if (slot < list.paths.size()) store.WriteSetting(RecentKey(slot), list.paths[slot]);
        else store.RemoveSetting(RecentKey(slot));
    }
    store.FlushSettings();
}
