#include "platform/Platform.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace {

PlatformBackend headless;
PlatformBackend* current = &headless;

}  // namespace

PlatformBackend& Platform() { return *current; }

void SetPlatformBackend(PlatformBackend* backend) { current = backend ? backend : &headless; }

uint32_t PlatformBackend::TickCount() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    // Counted from one second before start: a tick count of 0 means "no press pending" to the event code.
    return static_cast<uint32_t>(60 + duration_cast<milliseconds>(steady_clock::now() - start).count() * 60 / 1000);
}

uint32_t PlatformBackend::CalendarSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

bool PlatformBackend::DrawPictureScaled(const uint8_t* bytes, size_t size, PixelSurface& surface, const Rect& dst) {
    DecodedImage image;
    if (!DecodePicture(bytes, size, image) || image.width <= 0 || image.height <= 0) return false;
    const int w = dst.right - dst.left, h = dst.bottom - dst.top;
    if (w <= 0 || h <= 0) return true;
    // Nearest-neighbour scaling; backends with a real 2D layer do better.
    for (int y = 0; y < h; ++y) {
        const int dy = dst.top + y;
        if (dy < 0 || dy >= surface.height) continue;
        const int sy = static_cast<int>(static_cast<int64_t>(y) * image.height / h);
        auto* row = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(surface.base) + dy * surface.rowBytes);
        for (int x = 0; x < w; ++x) {
            const int dx = dst.left + x;
            if (dx < 0 || dx >= surface.width) continue;
            const int sx = static_cast<int>(static_cast<int64_t>(x) * image.width / w);
            row[dx] = image.pixels[static_cast<size_t>(sy) * image.width + sx] & 0x00FFFFFFu;
        }
    }
    return true;
}

std::string PlatformBackend::ApplicationDirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string PlatformBackend::UserDataDirectory() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/gravitas";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/gravitas";
    return ".";
}

PixelSurface MainWindowServices::WindowSurface(int16_t windowId) {
    Rect r = WindowContentRect(windowId);
    int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {  // headless sizes of the side windows
        w = windowId == kStatsWindowId ? 240 : 380;
        h = windowId == kStatsWindowId ? 424 : 200;
    }
    auto& pixels = headlessSurfaces_[windowId];
    pixels.resize(size_t(w) * size_t(h));
    return PixelSurface{pixels.data(), w * 4, w, h};
}

namespace {
MainWindowServices headlessWindow;
MainWindowServices* currentWindow = &headlessWindow;
}  // namespace

MainWindowServices& MainWindow() { return *currentWindow; }
void SetMainWindowServices(MainWindowServices* services) { currentWindow = services ? services : &headlessWindow; }

bool SettingsStore::ReadSetting(const std::string& key, std::string& value) {
    auto it = memory_.find(key);
    if (it == memory_.end()) return false;
    value = it->second;
    return true;
}

void SettingsStore::WriteSetting(const std::string& key, const std::string& value) { memory_[key] = value; }
void SettingsStore::RemoveSetting(const std::string& key) { memory_.erase(key); }

namespace {
SettingsStore inMemorySettings;
SettingsStore* currentSettings = &inMemorySettings;
}  // namespace

SettingsStore& RememberedSettings() { return *currentSettings; }
void SetSettingsStore(SettingsStore* store) { currentSettings = store ? store : &inMemorySettings; }
