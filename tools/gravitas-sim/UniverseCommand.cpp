// --load / --save of universe files for the command-line tool. The loaders
// report to the user through the platform's alerts and beep; here a capturing
// backend turns the stop alert into the one-line error message and keeps the
// cautions so the tool can print them.
#include "tools/gravitas-sim/UniverseCommand.h"

#include "io/Universe.h"
#include "platform/Platform.h"

namespace {

class CapturingBackend : public PlatformBackend {
public:
    explicit CapturingBackend(PlatformBackend& inner) : inner_(inner) {}
    std::vector<std::string> stops;  // every stop alert, in order
    bool beeped = false;
    void SysBeep() override { beeped = true; }
    void StopAlert(const std::string& text) override { stops.push_back(text); }
    void CautionAlert(const std::string& text) override { warnings.push_back(text); }
    uint32_t CalendarSeconds() override { return inner_.CalendarSeconds(); }
    uint32_t TickCount() override { return inner_.TickCount(); }
    std::string ApplicationDirectory() override { return inner_.ApplicationDirectory(); }
    std::string UserDataDirectory() override { return inner_.UserDataDirectory(); }
    bool DecodePicture(const uint8_t* b, size_t n, DecodedImage& out) override { return inner_.DecodePicture(b, n, out); }
    PictureBytes EncodePicture(const PixelSurface& s) override { return inner_.EncodePicture(s); }
    std::vector<std::string> warnings;

private:
    PlatformBackend& inner_;
};

// Installs the capturing backend for one call and restores the previous one.
template <class F>
bool Captured(F call, const std::string& path, const char* verb, std::string& error,
              std::vector<std::string>& warnings) {
    PlatformBackend& previous = Platform();
    CapturingBackend capture(previous);
    SetPlatformBackend(&capture);
    const bool ok = call();
    SetPlatformBackend(&previous);
    warnings = capture.warnings;
    // Alerts after a successful load (a picture that cannot be mapped) are not failures, but are told.
    if (ok) {
        warnings.insert(warnings.end(), capture.stops.begin(), capture.stops.end());
        return true;
    }
    if (!capture.stops.empty()) error = capture.stops.front();  // it names the file and the reason
    else error = std::string("cannot ") + verb + " " + path;
    return false;
}

}  // namespace

bool LoadUniverseForTool(const std::string& path, std::string& error, std::vector<std::string>& warnings) {
    return Captured([&] { return LoadAllSettingsFrom(path); }, path, "open", error, warnings);
}

bool SaveUniverseForTool(const std::string& path, std::string& error, std::vector<std::string>& warnings) {
    return Captured([&] { return SaveAllSettingsTo(path, true); }, path, "write", error, warnings);
}
