// gravitas-sim: runs a scenario headless with the application's push stage and prints the final state.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/Control.h"
#include "core/Records.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/MovieCommand.h"
#include "tools/gravitas-sim/RenderCommand.h"
#include "tools/gravitas-sim/ScenarioJson.h"
#include "tools/gravitas-sim/UniverseCommand.h"

namespace {
int Fail(const std::string& message) {
    std::fprintf(stderr, "gravitas-sim: %s\n", message.c_str());
    return 2;
}

// Cautions do not stop the run, but the user hears of them.
void Warn(const std::string& message) { std::fprintf(stderr, "gravitas-sim: warning: %s\n", message.c_str()); }

bool ParseInt(const std::string& s, int32_t& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -2147483647L || v > 2147483647L) return false;
    out = int32_t(v);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string scenario, loadPath, savePath, exportPath;
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
        if (ParseMovieOption(argc, argv, a, movie, ok)) {
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
        else if (!arg.empty() && arg[0] == '-') return Fail("unknown option " + arg);
        else if (scenario.empty()) scenario = arg;
        else return Fail("more than one scenario given");
        if (!ok) return Fail("bad or missing value for " + arg);
    }
    if (scenario.empty() && loadPath.empty()) return Fail("usage: gravitas-sim SCENARIO.json [options]");

    std::string error;
    if (!StartToolPlatform(render.width, render.height, error)) return Fail(error);
    // Whatever way the run ends, the application's own shut-down releases what start-up made.
    struct Shutdown {
        ~Shutdown() { StopToolPlatform(); }
    } shutdown;
    if (!loadPath.empty()) {
        std::vector<std::string> warnings;
        const bool loaded = LoadUniverseForTool(loadPath, error, warnings);
        for (const std::string& w : warnings) Warn(w);
        if (!loaded) return Fail(error);
    } else if (!LoadScenarioJSON(scenario, error)) {
        return Fail(error);
    } else {
        for (const std::string& w : AttachScenarioPictures()) Warn(w);
    }
    // Trails are recorded by the push stage, so their length must be known before the frames run.
    if (render.trailLength >= 0) set.trailLength = render.trailLength;
    if (movie.Wanted()) {
        if (RunMovieCommand(movie, render, frames, error) != 0) return Fail(error);
        return 0;
    }
    for (int32_t f = 0; f < frames && !GetControl(kPausedControl); ++f) DoPushStage();
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
