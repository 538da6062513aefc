#include "io/Odometer.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "io/FileAccess.h"

#include "platform/Platform.h"

uint32_t startTime = 0;

namespace {
constexpr uint32_t kTotalTimeOffset = 31104001;  // 360 days and one second, added to every total
}

std::string GetOdometerPath() {
    const std::string dir = Platform().UserDataDirectory();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string path = dir + "/odometer.txt";
    return path.size() <= 250 ? path : std::string();
}

uint32_t ReadOdometer() {
    const std::string path = GetOdometerPath();
    if (path.empty()) return 0;
    // A count of seconds is a few bytes; anything that is not a small regular file reads as 0.
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadRegularFile(path, 64, bytes, error)) return 0;
    const std::string text(bytes.begin(), bytes.end());
    unsigned value = 0;
    if (std::sscanf(text.c_str(), "%u", &value) != 1) value = 0;
    return value;
}

uint32_t WriteOdometer(uint32_t seconds) {
    const std::string path = GetOdometerPath();
    if (path.empty()) return 0;
    // Written to a temporary file of this process's own and renamed, so a
    // failed write keeps the old count and two running copies never collide.
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%u\n", unsigned(seconds));
    std::string error;
    if (n <= 0 || !ReplaceFileContents(path, reinterpret_cast<const uint8_t*>(text), size_t(n), error)) return 0;
    return seconds;
}

void UpdateRunTime() {
    const uint32_t d = Platform().CalendarSeconds() - startTime;
    WriteOdometer(ReadOdometer() + d);
    startTime += d;
}

uint32_t GetTotalTime() { return ReadOdometer() + (Platform().CalendarSeconds() - startTime) + kTotalTimeOffset; }

std::string TotalTimeText(uint32_t t) {
    std::string s = "Total Run Time: ";
    const uint32_t parts[4] = {t / 86400, (t / 3600) % 24, (t / 60) % 60, t % 60};
    const char* one[4] = {" day ", " hour ", " minute ", " second "};
    const char* many[4] = {" days ", " hours ", " minutes ", " seconds "};
    for (int i = 0; i < 4; ++i)
        if (parts[i] != 0) s += std::to_string(parts[i]) + (parts[i] == 1 ? one[i] : many[i]);
    return s;
}

std::string GetTotalTimeString() { return TotalTimeText(GetTotalTime()); }
