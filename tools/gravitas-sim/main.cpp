// gravitas-sim: runs a scenario headless with the application's push stage and prints the final state.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/Control.h"
#include "core/Dates.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "io/FileAccess.h"
#include "io/HorizonsUniverse.h"
#include "io/ReboundScript.h"
#include "io/ScenarioChecks.h"
#include "io/StateCsv.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/Prediction.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "sim/ToDate.h"
#include "tools/gravitas-sim/BeltHistogram.h"
#include "tools/gravitas-sim/MovieCommand.h"
#include "tools/gravitas-sim/PredictCommand.h"
#include "tools/gravitas-sim/RenderCommand.h"
#include "tools/gravitas-sim/ScenarioJson.h"
#include "tools/gravitas-sim/UniverseCommand.h"
#include "tools/gravitas-sim/Usage.h"

namespace {
int Fail(const std::string& message) {
    std::fprintf(stderr, "gravitas-sim: %s\n", message.c_str());
    return 2;
}

// Cautions do not stop the run, but the user hears of them.
void Warn(const std::string& message) { std::fprintf(stderr, "gravitas-sim: warning: %s\n", message.c_str()); }

// A whole-number option and the range it may take: the limits the file formats apply,
// so that whatever the tool runs it can also save and load again.
struct IntOption {
    const char* name;
    int32_t least, most;
};
const IntOption kIntOptions[] = {{"--frames", 0, INT32_MAX},     {"--width", 1, 8192},
                                 {"--height", 1, 8192},          {"--camera-mode", 0, INT32_MAX},
                                 {"--camera-body", 0, kMaxBodies - 1}, {"--labels", 0, INT32_MAX},
                                 {"--trails", 0, kMaxTrailLength}, {"--fps", 1, 240},
                                 {"--predict", 1, kPredictionMaxPushes}, {"--histogram-bins", 1, 10000}};

// Empty when text is a whole number within the option's range, else the complaint.
std::string ParseInt(const IntOption& option, const std::string& text, int32_t& out) {
    const std::string range = std::to_string(option.least) + ".." + std::to_string(option.most);
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') return std::string(option.name) + " needs a whole number in " + range;
    if (errno == ERANGE || v < option.least || v > option.most) return std::string(option.name) + " must lie in " + range;
    out = int32_t(v);
    return {};
}

// The state on stdout is the tool's result: a failure to write it all is a failure of the run.
bool PrintState(const std::string& text, std::string& error) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                         std::fputc('\n', stdout) != EOF && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) error = std::string("cannot write the state to standard output: ") + std::strerror(errno ? errno : EIO);
    return written;
}
}  // namespace

int main(int argc, char** argv) {
    std::string scenario, loadPath, savePath, exportPath, csvPath, reboundPath, horizonsPath, toDate;
    int32_t frames = 1;
    int32_t predictPushes = 0;
    RenderOptions render;
    bool wantRender = false;
    MovieOptions movie;
    std::string histogramPath;
    int32_t histogramBins = 150;
    double histogramLow = 0, histogramHigh = 0;
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        // Every value is required and none may be empty: an empty file name names no file.
        auto value = [&](std::string& out) {
            if (a + 1 >= argc) return false;
            out = argv[++a];
            return !out.empty();
        };
        int32_t* const intTargets[] = {&frames, &render.width, &render.height, &render.cameraMode,
                                       &render.cameraBody, &render.labelFlags, &render.trailLength,
                                       &movie.framesPerSecond, &predictPushes, &histogramBins};
        bool ok = true;
        bool taken = false;
        for (size_t k = 0; k < std::size(kIntOptions) && !taken; ++k) {
            if (arg != kIntOptions[k].name) continue;
            taken = true;
            std::string text;
            if (!value(text)) ok = false;
            else if (std::string problem = ParseInt(kIntOptions[k], text, *intTargets[k]); !problem.empty())
                return Fail(problem);
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        } else if (arg == "--version") {
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        } else if (taken) {
        } else if (ParseMovieOption(argc, argv, a, movie, ok)) {
        } else if (arg == "--render") ok = value(render.outPath), wantRender = true;
        else if (arg == "--stereo") render.stereo = true;
        else if (arg == "--no-stars") render.noStars = true;
        else if (arg == "--load") ok = value(loadPath);
        else if (arg == "--save") ok = value(savePath);
        else if (arg == "--export-json") ok = value(exportPath);
        else if (arg == "--export-csv") ok = value(csvPath);
        else if (arg == "--export-rebound") ok = value(reboundPath);
        else if (arg == "--import-horizons") ok = value(horizonsPath);
        else if (arg == "--to-date") ok = value(toDate);
        else if (arg == "--histogram") ok = value(histogramPath);
        else if (arg == "--histogram-range") {
            std::string text;
            char* end = nullptr;
            ok = value(text);
            if (ok) histogramLow = std::strtod(text.c_str(), &end);
            if (ok && *end == ':') histogramHigh = std::strtod(end + 1, &end);
            if (!ok || *end != '\0' || !(histogramLow >= 0 && histogramLow < histogramHigh && std::isfinite(histogramHigh)))
                return Fail("--histogram-range needs LOW:HIGH in au with 0 <= LOW < HIGH");
        }
        else if (!arg.empty() && arg[0] == '-') return Fail("unknown option " + arg + " (see --help)");
        else if (scenario.empty()) scenario = arg;
        else return Fail("more than one scenario given");
        if (!ok) return Fail("bad or missing value for " + arg);
    }
    const int sources = !scenario.empty() + !loadPath.empty() + !horizonsPath.empty();
    if (sources == 0) return Fail("usage: gravitas-sim SCENARIO.json [options] (see --help)");
    if (sources > 1) return Fail("give one of a scenario, --load and --import-horizons");
    if (!csvPath.empty() && movie.Wanted()) return Fail("--export-csv does not go with a movie");

    std::string error;
    if (!StartToolPlatform(render.width, render.height, error)) return Fail(error);
    // Whatever way the run ends, the application's own shut-down releases what start-up made.
    struct Shutdown {
        ~Shutdown() { StopToolPlatform(); }
    } shutdown;
    if (!horizonsPath.empty()) {
        std::string notes;
        if (!ImportHorizonsFile(horizonsPath, error, notes)) return Fail(error);
        if (!notes.empty()) Warn(notes);
    } else if (!loadPath.empty()) {
        std::vector<std::string> warnings;
        const bool loaded = LoadUniverseForTool(loadPath, error, warnings);
        for (const std::string& w : warnings) Warn(w);
        if (!loaded) return Fail(error);
    } else if (!LoadScenarioJSON(scenario, error)) {
        return Fail(error);
    } else {
        for (const std::string& w : AttachScenarioPictures()) Warn(w);
    }
    if (!toDate.empty()) {
        double target = 0.0;
        if (!ParseUtcDateInRange(toDate, target, error)) return Fail("--to-date: " + error);
        const ToDateResult r = CarryInitialConditionsTo(target);
        if (r == ToDateResult::kNoEpoch) return Fail("--to-date: the universe has no epoch (see \"epochJDTDB\")");
        if (r != ToDateResult::kDone) return Fail("--to-date: the integration did not stay finite");
    }
    // Trails are recorded by the push stage, so their length must be known before the frames run.
    if (render.trailLength >= 0) set.trailLength = render.trailLength;
    // What the options make of the settings must still be what a universe file may hold.
    if (std::string problem = SettingsValueProblem(set); !problem.empty()) return Fail(problem);
    if (movie.Wanted()) {
        if (RunMovieCommand(movie, render, frames, error) != 0) return Fail(error);
        return 0;
    }
    if (!reboundPath.empty()) {
        if (!rt.bodyRT) TransferICsToRT();
        const double duration = double(frames) * std::max(1, set.pushesPerFrame) * set.timeStep;
        const std::string source = !scenario.empty() ? scenario : !loadPath.empty() ? loadPath : horizonsPath;
        const std::string script = ReboundScript(set, BodyRTList(), duration, source);
        if (!ReplaceFileContents(reboundPath, reinterpret_cast<const uint8_t*>(script.data()), script.size(), error))
            return Fail("cannot write " + reboundPath + ": " + error);
    }
    // The rows stream into a file of our own beside the target, put in place only when whole.
    FILE* csv = nullptr;
    std::string csvTarget, csvTemp;
    if (!csvPath.empty()) {
        if (!rt.bodyRT) TransferICsToRT();
        if (!ReplaceableTarget(csvPath, csvTarget, error) || !CreateFileBeside(csvTarget, csvTemp, error) ||
            !(csv = std::fopen(csvTemp.c_str(), "w"))) {
            if (!csvTemp.empty()) std::remove(csvTemp.c_str());
            return Fail("cannot write " + csvPath + ": " + error);
        }
    }
    std::string rows;
    const auto writeRows = [&] {
        if (!csv) return;
        rows.clear();
        AppendStateCsvRows(rows, BodyRTList(), rt.simTime);
        std::fwrite(rows.data(), 1, rows.size(), csv);
    };
    if (csv) {
        const std::string header = StateCsvHeader();
        std::fwrite(header.data(), 1, header.size(), csv);
        writeRows();
    }
    for (int32_t f = 0; f < frames && !GetControl(kPausedControl); ++f) {
        DoPushStage();
        writeRows();
    }
    NonFiniteStopNote broken;
    const bool stoppedBroken = TakeNonFiniteStopNote(broken);
    if (csv && stoppedBroken) {  // no table of a broken run
        std::fclose(csv);
        std::remove(csvTemp.c_str());
    } else if (csv) {
        errno = 0;
        const bool written = !std::ferror(csv) && std::fflush(csv) == 0;
        const std::string reason = std::strerror(errno ? errno : EIO);
        if ((std::fclose(csv) != 0 || !written)) {
            std::remove(csvTemp.c_str());
            return Fail("cannot write " + csvPath + ": " + reason);
        }
        if (!CommitReplacement(csvTemp, csvTarget, error)) return Fail("cannot write " + csvPath + ": " + error);
    }
    if (stoppedBroken) return Fail(NonFiniteStopText(broken));
    if (!rt.bodyRT) TransferICsToRT();

    int status = 0;
    if (wantRender && (status = RunRenderCommand(render, error)) != 0) {
        std::fprintf(stderr, "gravitas-sim: %s\n", error.c_str());
        return status;
    }
    if (!savePath.empty()) {
        std::vector<std::string> warnings;
        const bool saved = SaveUniverseForTool(savePath, error, warnings);
        for (const std::string& w : warnings) Warn(w);
        if (!saved) return Fail(error);
    }
    if (!histogramPath.empty() && !WriteHistogramFiles(histogramPath, histogramBins, histogramLow, histogramHigh, error))
        return Fail(error);
    if (!exportPath.empty()) {
        const std::string text = ExportScenarioJSON();
        if (!ReplaceFileContents(exportPath, reinterpret_cast<const uint8_t*>(text.data()), text.size(), error))
            return Fail("cannot write " + exportPath + ": " + error);
    }
    if (std::string problem = RunStateProblem(); !problem.empty()) return Fail(problem);
    if (predictPushes > 0) {
        const std::string text = PredictionJSON(predictPushes, error);
        if (text.empty()) return Fail(error);
        if (!PrintState(text, error)) return Fail(error);
        return 0;
    }
    if (!PrintState(RunStateJSON(), error)) return Fail(error);
    return 0;
}
