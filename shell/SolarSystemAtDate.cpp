#include "shell/SolarSystemAtDate.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

#include "core/Dates.h"
#include "core/Dialogs.h"
#include "core/Epoch.h"
#include "io/DemoUniverses.h"
#include "io/Universe.h"
#include "platform/Platform.h"
#include "shell/Document.h"
#include "shell/NewUniverse.h"
#include "sim/ToDate.h"

namespace {

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &utc);
    return buf;
}

struct Progress {
    std::string caption;
};

bool ShowProgress(void* context, double fraction) {
    auto* p = static_cast<Progress*>(context);
    Platform().StatusWindowDraw(0, uint32_t(fraction * 500.0), &p->caption);
    return !Platform().StatusWindowCancelled();
}

}  // namespace

std::string SolarSystemUniversePath() {
    for (const DemoUniverse& d : ListDemoUniverses())
        if (std::filesystem::path(d.path).filename() == "solar-system.universe") return d.path;
    return {};
}

bool SolarSystemAtDateMenuItem() {
    if (!AskToSaveChanges()) return false;
    static std::string lastDate = Today();
    std::vector<std::string> strings = {lastDate};
    if (ModalSimpleStringSheetDialog(1, strings,
                                     {"Date and time (UTC, 1800\u20132200):"},
                                     nullptr, 2) != 1)
        return false;
    double target = 0.0;
    std::string error;
    if (!ParseUtcDateInRange(strings[0], target, error)) {
        Platform().SysBeep();
        Platform().StopAlert("No Solar System on that date: " + error + ".");
        return false;
    }
    lastDate = strings[0];
    const std::string path = SolarSystemUniversePath();
    if (path.empty()) {
        Platform().StopAlert("The Solar System universe (solar-system.universe) is not installed beside Gravitas.");
        return false;
    }
    if (!LoadAllSettingsFrom(path)) return false;  // the failure was reported
    // The shipped universe holds the J2000 states; older copies do not say so themselves.
    if (!epoch.known) epoch = EpochStruct{true, 0.0};

    char date[64];
    FormatTdbDate(target, date, sizeof date);
    Progress progress{std::string("Integrating the Solar System to ") + date + "\u2026"};
    Platform().StatusWindowOpen(0, "New Solar System at Date");
    Platform().StatusWindowAllowCancel();
    Platform().StatusWindowDraw(0, 0, &progress.caption);
    const ToDateResult result = CarryInitialConditionsTo(target, ShowProgress, &progress);
    Platform().StatusWindowClose();
    if (result != ToDateResult::kDone) {
        if (result != ToDateResult::kCancelled)
            Platform().StopAlert("The Solar System could not be integrated to " + std::string(date) + ".");
        // What was open before comes back; an untitled universe was given up when asked.
        if (ReopenDocumentFile()) return false;
        PresentNewUniverse();
        return false;
    }
    PresentNewUniverse();
    return true;
}
