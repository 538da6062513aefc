#include "shell/ViewPreferences.h"

#include <charconv>
#include <string>

#include "core/DisplayFlags.h"
#include "core/MenuModel.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "platform/Platform.h"

namespace {

bool ReadWhole(SettingsStore& store, const char* key, int64_t least, int64_t most, int64_t& value) {
    std::string text;
    if (!store.ReadSetting(key, text)) return false;
    int64_t read = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (ec != std::errc() || end != text.data() + text.size() || read < least || read > most) return false;
    value = read;
    return true;
}

bool ReadSwitch(SettingsStore& store, const char* key, bool& value) {
    std::string text;
    if (!store.ReadSetting(key, text)) return false;
    if (text == "on") value = true;
    else if (text == "off") value = false;
    else return false;
    return true;
}

const char* SwitchText(bool on) { return on ? "on" : "off"; }

}  // namespace

ViewPreferencesStruct PresentViewPreferences() {
    ViewPreferencesStruct p;
    p.labelFlags = set.labelFlags;
    p.minPointSize = set.minPointSize;
    p.starField = IsDrawingStarsOn() != 0;
    p.trailLength = set.trailLength;
    p.stereo = IsRC3DOn() != 0;
    p.eyeRadius = set.eyeRadius;
    p.glasses = stereoGlasses;
    p.frameRate = frameRateChoice;
    return p;
}

void ApplyViewPreferences(const ViewPreferencesStruct& p) {
    set.labelFlags = p.labelFlags;
    set.minPointSize = p.minPointSize;
    set.displayFlags = p.starField ? (set.displayFlags & ~kStarFieldOffFlag) : (set.displayFlags | kStarFieldOffFlag);
    set.trailLength = p.trailLength;
    set.displayFlags = p.stereo ? (set.displayFlags | kStereoOnFlag) : (set.displayFlags & ~kStereoOnFlag);
    set.eyeRadius = p.eyeRadius;
    stereoGlasses = p.glasses;
    frameRateChoice = p.frameRate;
}

namespace {
// Writes the preferences that differ from `before`, or all of them without it.
void WriteViewPreferences(const ViewPreferencesStruct& p, const ViewPreferencesStruct* before, SettingsStore& store) {
    const auto write = [&](bool differs, const char* key, const std::string& value) {
        if (!before || differs) store.WriteSetting(key, value);
    };
    const ViewPreferencesStruct& b = before ? *before : p;
    write(p.labelFlags != b.labelFlags, "view/labels", std::to_string(p.labelFlags));
    write(p.minPointSize != b.minPointSize, "view/smallestBodySize", std::to_string(p.minPointSize));
    write(p.starField != b.starField, "view/starField", SwitchText(p.starField));
    write(p.trailLength != b.trailLength, "view/trailLength", std::to_string(p.trailLength));
    write(p.stereo != b.stereo, "view/stereo", SwitchText(p.stereo));
    write(p.eyeRadius != b.eyeRadius, "view/eyeSeparationHalf", std::to_string(p.eyeRadius));
    write(p.glasses != b.glasses, "view/stereoGlasses", p.glasses == StereoGlasses::RedRight ? "redRight" : "redLeft");
    write(p.frameRate != b.frameRate, "view/frameRate", p.frameRate == FrameRateChoice::Unlimited ? "unlimited" : "display");
    store.FlushSettings();
}
}  // namespace

void SaveViewPreferences(const ViewPreferencesStruct& p, SettingsStore& store) {
    WriteViewPreferences(p, nullptr, store);
}

void SaveChangedViewPreferences(const ViewPreferencesStruct& before, const ViewPreferencesStruct& after,
                                SettingsStore& store) {
    WriteViewPreferences(after, &before, store);
}

void LoadViewPreferences(ViewPreferencesStruct& p, SettingsStore& store) {
    int64_t n = 0;
    if (ReadWhole(store, "view/labels", 0, 255, n)) p.labelFlags = uint32_t(n);
    if (ReadWhole(store, "view/smallestBodySize", 1, kMaxMinPointSize, n)) p.minPointSize = int32_t(n);
    ReadSwitch(store, "view/starField", p.starField);
    if (ReadWhole(store, "view/trailLength", 0, kMaxTrailLength, n)) p.trailLength = int32_t(n);
    ReadSwitch(store, "view/stereo", p.stereo);
    // The stereo sheet offers separations up to 1000 pixels.
    if (ReadWhole(store, "view/eyeSeparationHalf", 0, 500, n)) p.eyeRadius = int32_t(n);
    std::string glasses;
    if (store.ReadSetting("view/stereoGlasses", glasses)) {
        if (glasses == "redLeft") p.glasses = StereoGlasses::RedLeft;
        else if (glasses == "redRight") p.glasses = StereoGlasses::RedRight;
    }
    std::string frameRate;
    if (store.ReadSetting("view/frameRate", frameRate)) {
        if (frameRate == "display") p.frameRate = FrameRateChoice::Display;
        else if (frameRate == "unlimited") p.frameRate = FrameRateChoice::Unlimited;
    }
}

bool ChangesViewPreferences(int32_t choice) {
    const int16_t menu = int16_t(choice >> 16), item = int16_t(choice & 0xFFFF);
    if (menu == kLabelsMenu || menu == kStereoGlassesMenu || menu == kFrameRateMenu) return true;
    // Stereo, smallest body size, star field, trails.
    return menu == kViewMenu && (item == 2 || item == 3 || item == 11 || item == 12);
}
