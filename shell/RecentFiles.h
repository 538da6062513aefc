// The files the user opened or saved lately, most recent first, as File ›
// Open Recent offers them and as they are remembered between runs.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class SettingsStore;

constexpr size_t kMaxRecentFiles = 10;

struct RecentFilesStruct {
    std::vector<std::string> paths;  // absolute, canonical, most recent first, no two alike
};

extern RecentFilesStruct recentFiles;

// The absolute path with "." and ".." and symbolic links resolved as far as the
// path exists, so one file reached two ways is listed once; empty when the
// text names no file at all.
std::string CanonicalFilePath(const std::string& path);

// Puts the file first; one that was listed moves up, the oldest falls off past ten.
void AddRecentFile(RecentFilesStruct& list, const std::string& path);
void RemoveRecentFile(RecentFilesStruct& list, const std::string& path);

// The menu texts: each file's name, with its folder added where two names are alike.
std::vector<std::string> RecentFileTitles(const RecentFilesStruct& list);

// Between runs. Reading skips entries that are not absolute paths or are
// repeated, and reads at most ten; the list read replaces the given one.
void LoadRecentFiles(RecentFilesStruct& list, SettingsStore& store);
void SaveRecentFiles(const RecentFilesStruct& list, SettingsStore& store);
