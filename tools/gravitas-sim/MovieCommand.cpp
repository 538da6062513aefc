#include "tools/gravitas-sim/MovieCommand.h"

#include <cstdio>
#include <filesystem>

#include "core/Control.h"
#include "core/Records.h"
#include "io/FileAccess.h"
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
    std::string why = "the picture could not be encoded as PNG";
    if (!png.empty() && ReplaceFileContents(path, png.data(), png.size(), why)) return true;
    error = "cannot write " + path + ": " + why;
    return false;
}

}  // namespace

bool ParseMovieOption(int argc, char** argv, int& a, MovieOptions& options, bool& ok) {
    const std::string arg = argv[a];
    if (arg != "--movie" && arg != "--png-sequence") return false;
    ok = a + 1 < argc;
    if (!ok) return true;
    const std::string value = argv[++a];
    (arg == "--movie" ? options.moviePath : options.pngDir) = value;
    ok = !value.empty();
    return true;
}

int RunMovieCommand(const MovieOptions& movie, const RenderOptions& render, int32_t frames, std::string& error) {
    if (frames < 1) {
        error = "a movie needs --frames of at least 1";
        return 2;
    }
    if (!movie.pngDir.empty()) {
        std::error_code made, looked;
        std::filesystem::create_directories(movie.pngDir, made);
        if (!std::filesystem::is_directory(movie.pngDir, looked)) {
            error = "cannot make the folder " + movie.pngDir + ": " + (made ? made.message() : "it is not a folder");
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
