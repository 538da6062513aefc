#include "io/Odometer.h"

#include <cstdio>
#include <filesystem>

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
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return 0;
    unsigned value = 0;
    if (std::fscanf(f, "%u", &value) != 1) value = 0;
    std::fclose(f);
    return value;
}

uint32_t WriteOdometer(uint32_t seconds) {
    const std::string path = GetOdometerPath();
    if (path.empty()) return 0;
    // Write beside and rename so a failed write keeps the old count.
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) return 0;
    const bool ok = std::fprintf(f, "%u\n", unsigned(seconds)) > 0;
    if (std::fclose(f) != 0 || !ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return 0;
    }
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
