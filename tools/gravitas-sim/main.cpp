// gravitas-sim: runs a scenario headless with the application's push stage and prints the final state.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/Control.h"
#include "core/Dates.h"
#include "core/Records.h"
#include "io/HorizonsUniverse.h"
#include "io/ReboundScript.h"
#include "io/StateCsv.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "sim/ToDate.h"
#include "tools/gravitas-sim/MovieCommand.h"
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

bool WriteWhole(const std::string& path, const std::string& text) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && ok;
}

bool ParseInt(const std::string& s, int32_t& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -2147483647L || v > 2147483647L) return false;
    out = int32_t(v);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string scenario, loadPath, savePath, exportPath, csvPath, reboundPath, horizonsPath, toDate;
    int32_t frames = 1;
    RenderOptions render;
    bool wantRender = false;
    MovieOptions movie;
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        auto value = [&](std::string& out) {
            if (a + 1 >= argc) return false;
            out = argv[++a];
            return true;
        };
        auto intValue = [&](int32_t& out) {
            std::string s;
            return value(s) && ParseInt(s, out);
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            std::cout << UsageText();
            return 0;
        } else if (arg == "--version") {
            std::cout << VersionText();
            return 0;
        } else if (ParseMovieOption(argc, argv, a, movie, ok)) {
        } else if (arg == "--frames") ok = intValue(frames) && frames >= 0;
        else if (arg == "--render") ok = value(render.outPath), wantRender = true;
        else if (arg == "--width") ok = intValue(render.width) && render.width > 0;
        else if (arg == "--height") ok = intValue(render.height) && render.height > 0;
        else if (arg == "--camera-mode") ok = intValue(render.cameraMode);
        else if (arg == "--camera-body") ok = intValue(render.cameraBody);
        else if (arg == "--labels") ok = intValue(render.labelFlags);
        else if (arg == "--trails") ok = intValue(render.trailLength) && render.trailLength >= 0;
        else if (arg == "--stereo") render.stereo = true;
        else if (arg == "--no-stars") render.noStars = true;
        else if (arg == "--load") ok = value(loadPath);
        else if (arg == "--save") ok = value(savePath);
        else if (arg == "--export-json") ok = value(exportPath);
        else if (arg == "--export-csv") ok = value(csvPath);
        else if (arg == "--export-rebound") ok = value(reboundPath);
        else if (arg == "--import-horizons") ok = value(horizonsPath);
        else if (arg == "--to-date") ok = value(toDate);
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
    if (movie.Wanted()) {
        if (RunMovieCommand(movie, render, frames, error) != 0) return Fail(error);
        return 0;
    }
    if (!reboundPath.empty()) {
        if (!rt.bodyRT) TransferICsToRT();
        const double duration = double(frames) * std::max(1, set.pushesPerFrame) * set.timeStep;
        const std::string source = !scenario.empty() ? scenario : !loadPath.empty() ? loadPath : horizonsPath;
        if (!WriteWhole(reboundPath, ReboundScript(set, BodyRTList(), duration, source)))
            return Fail("cannot write " + reboundPath);
    }
    FILE* csv = nullptr;
    if (!csvPath.empty()) {
        if (!rt.bodyRT) TransferICsToRT();
        if (!(csv = std::fopen(csvPath.c_str(), "w"))) return Fail("cannot write " + csvPath);
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
    if (csv && (std::ferror(csv) | std::fclose(csv))) return Fail("cannot write " + csvPath);
    if (NonFiniteStopNote broken; TakeNonFiniteStopNote(broken)) return Fail(NonFiniteStopText(broken));
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
    if (!exportPath.empty()) {
        FILE* out = std::fopen(exportPath.c_str(), "w");
        if (!out) return Fail("cannot write " + exportPath);
        std::string text = ExportScenarioJSON();
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
    if (std::string problem = RunStateProblem(); !problem.empty()) return Fail(problem);
    std::cout << RunStateJSON() << "\n";
    return 0;
}
