#include "shell/WindowPlaces.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "platform/Platform.h"
#include "render/RenderBuffer.h"

namespace {

// Enough of a window to take hold of it with the mouse.
constexpr int32_t kGraspablePixels = 48;
// Coordinates the window system's 16-bit rectangles can carry.
constexpr int32_t kLargestCoordinate = 32000;

constexpr int16_t kRememberedWindows[] = {kMainWindowId, kObjectWindowId, kStatsWindowId};

std::string PlaceKey(int16_t windowId) {
    switch (windowId) {
        case kMainWindowId: return "windows/main";
        case kObjectWindowId: return "windows/objects";
        default: return "windows/statistics";
    }
}

bool ReadWholeNumber(const char*& at, const char* end, int32_t& value) {
    while (at < end && *at == ' ') ++at;
    const auto [next, ec] = std::from_chars(at, end, value);
    if (ec != std::errc() || next == at) return false;
    at = next;
    return true;
}

WindowPlaceStruct PlaceOf(const Rect& r) {
    return WindowPlaceStruct{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

bool ParseWindowPlace(const std::string& text, WindowPlaceStruct& place) {
    const char* at = text.data();
    const char* end = at + text.size();
    WindowPlaceStruct read;
    if (!ReadWholeNumber(at, end, read.left) || !ReadWholeNumber(at, end, read.top) ||
        !ReadWholeNumber(at, end, read.width) || !ReadWholeNumber(at, end, read.height))
        return false;
    if (at != end) return false;  // trailing text: not ours
    const bool sane = std::abs(read.left) <= kLargestCoordinate && std::abs(read.top) <= kLargestCoordinate &&
                      read.width >= 1 && read.height >= 1 && read.width <= kLargestCoordinate &&
                      read.height <= kLargestCoordinate;
    if (!sane) return false;
    place = read;
    return true;
}

std::string WindowPlaceText(const WindowPlaceStruct& p) {
    return std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.width) + " " +
           std::to_string(p.height);
}

bool IsWindowPlaceOnScreens(const WindowPlaceStruct& p, const std::vector<Rect>& screens) {
    if (p.width < 1 || p.height < 1) return false;
    for (const Rect& s : screens) {
        const int32_t sw = s.right - s.left, sh = s.bottom - s.top;
        if (sw < 1 || sh < 1 || p.width > sw || p.height > sh) continue;
        if (p.top < s.top || p.top > s.bottom - kGraspablePixels) continue;
        const int32_t visibleLeft = std::max<int32_t>(p.left, s.left);
        const int32_t visibleRight = std::min<int32_t>(p.left + p.width, s.right);
        if (visibleRight - visibleLeft >= std::min(kGraspablePixels, p.width)) return true;
    }
    return false;
}

void RememberWindowPlaces(SettingsStore& store) {
    for (int16_t id : kRememberedWindows) {
        if (id == kMainWindowId && disappearingMenuBar) continue;  // full screen is a layout, not a place
        const WindowPlaceStruct place = PlaceOf(MainWindow().WindowContentRect(id));
        if (place.width < 1 || place.height < 1) continue;
        store.WriteSetting(PlaceKey(id), WindowPlaceText(place));
    }
    store.FlushSettings();
}

void RestoreWindowPlaces(SettingsStore& store) {
    const std::vector<Rect> screens = MainWindow().ScreenRects();
    for (int16_t id : kRememberedWindows) {
        std::string text;
        WindowPlaceStruct place;
        if (!store.ReadSetting(PlaceKey(id), text) || !ParseWindowPlace(text, place)) continue;
        // Only the main window and the object window's height follow the user.
        const WindowPlaceStruct now = PlaceOf(MainWindow().WindowContentRect(id));
        if (id == kStatsWindowId) {
            place.width = now.width;
            place.height = now.height;
        } else if (id == kObjectWindowId) {
            place.width = now.width;
        }
        if (!IsWindowPlaceOnScreens(place, screens)) continue;
        if (id != kStatsWindowId) MainWindow().SizeWindowContent(id, int16_t(place.width), int16_t(place.height));
        MainWindow().MoveWindowTo(id, int16_t(place.left), int16_t(place.top));
    }
}
