#include "tools/gravitas-sim/MovieCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/Control.h"
#include "core/Records.h"
#include "io/MovieRecorder.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/PushStage.h"

namespace {

bool WritePng(const std::string& dir, int32_t index, const PixelSurface& surface, std::string& error) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", int(index));
    const std::string path = (std::filesystem::path(dir) / name).string();
    const PictureBytes png = Platform().EncodePicture(surface);
    FILE* out = png.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    bool ok = out && std::fwrite(png.data(), 1, png.size(), out) == png.size();
    if (out) ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::remove(path.c_str());
        error = "cannot write " + path;
    }
    return ok;
}

}  // namespace

bool ParseMovieOption(int argc, char** argv, int& a, MovieOptions& options, bool& ok) {
    const std::string arg = argv[a];
    if (arg != "--movie" && arg != "--png-sequence" && arg != "--fps") return false;
    ok = a + 1 < argc;
    if (!ok) return true;
    const std::string value = argv[++a];
    if (arg == "--movie") options.moviePath = value;
    else if (arg == "--png-sequence") options.pngDir = value;
    else {
        char* end = nullptr;
        const long fps = std::strtol(value.c_str(), &end, 10);
        ok = !value.empty() && *end == '\0' && fps >= 1 && fps <= 240;
        if (ok) options.framesPerSecond = int32_t(fps);
    }
    ok = ok && !value.empty();
    return true;
}

int RunMovieCommand(const MovieOptions& movie, const RenderOptions& render, int32_t frames, std::string& error) {
    if (frames < 1) {
        error = "a movie needs --frames of at least 1";
        return 2;
    }
    if (!movie.pngDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(movie.pngDir, ec);
        if (!std::filesystem::is_directory(movie.pngDir, ec)) {
            error = "cannot make the folder " + movie.pngDir;
            return 2;
        }
    }
    if (!rt.bodyRT) TransferICsToRT();  // the view is framed on the bodies' places
    if (const int status = PrepareRender(render, error)) return status;
    MovieRecorder recorder;
    if (!movie.moviePath.empty() &&
        !recorder.Start(movie.moviePath, MovieFormat{render.width, render.height, movie.framesPerSecond}, frames,
                        error))
        return 2;
    int status = 0;
    for (int32_t f = 0; f < frames && status == 0; ++f) {
        if (!GetControl(kPausedControl)) DoPushStage();
        if (NonFiniteStopNote broken; TakeNonFiniteStopNote(broken)) {  // no movie of a broken run
            error = NonFiniteStopText(broken);
            status = 2;
            break;
        }
        DoCameraWork();
        DrawRenderFrame();
        const PixelSurface surface = RenderSurface();
        if (recorder.Recording() && !recorder.AddFrame(surface, error)) status = 2;
        if (status == 0 && !movie.pngDir.empty() && !WritePng(movie.pngDir, f, surface, error)) status = 2;
        std::fprintf(stderr, "\rgravitas-sim: frame %d of %d", int(f + 1), int(frames));
    }
    std::fprintf(stderr, "\n");
    if (status == 0 && recorder.Recording()) {
        if (recorder.Stop(error)) std::fprintf(stderr, "gravitas-sim: wrote %s\n", recorder.Path().c_str());
        else status = 2;
    }
    recorder.Abandon();
    return status;
}
