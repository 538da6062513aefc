// --load / --save of universe files for the command-line tool. The loaders
// report to the user through the platform's alerts and beep; here a capturing
// backend turns the stop alert into the one-line error message and keeps the
// cautions so the tool can print them.
#include "tools/gravitas-sim/UniverseCommand.h"

#include "io/Universe.h"
#include "platform/Platform.h"
#include "tools/gravitas-sim/CapturingBackend.h"

namespace {

// Installs the capturing backend for one call and restores the previous one.
template <class F>
bool Captured(F call, const std::string& path, const char* verb, std::string& error,
              std::vector<std::string>& warnings) {
    CapturedAlerts alerts;
    const bool ok = call();
    const CapturingBackend& capture = alerts.capture;
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
