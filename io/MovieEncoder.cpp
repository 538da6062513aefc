#include "io/MovieEncoder.h"

#include <cstdio>
#include <filesystem>

#include "io/FileAccess.h"
#include "io/MovieCodecLoader.h"

namespace {

constexpr size_t kErrorSize = 512;

MovieCodecChoice ChooseCodec(const std::string& path) {
    std::string ignored;
    const MovieCodecModule* module = MovieCodecModuleOrError(ignored);
    return module ? module->choose(path.c_str()) : MovieCodecChoice{};
}

}  // namespace

std::string MovieCodecDescription() {
    const MovieCodecChoice choice = ChooseCodec("");
    return choice.description ? choice.description : "";
}

std::string MoviePathFor(const std::string& path) {
    const MovieCodecChoice choice = ChooseCodec(path);
    if (!choice.extension || std::string(choice.extension) == ".mp4") return path;
    return std::filesystem::path(path).replace_extension(choice.extension).string();
}

struct MovieEncoder::State {
    const MovieCodecModule* module = nullptr;
    MovieCodecStream* stream = nullptr;
    MovieFormat format;
    std::string path, target, tempPath;  // as asked, with links followed, and being written
    int64_t frames = 0;

    ~State() {
        if (stream) module->close(stream);
    }
};

MovieEncoder::MovieEncoder() = default;

MovieEncoder::~MovieEncoder() { Abandon(); }

const MovieFormat& MovieEncoder::Format() const {
    static const MovieFormat none;
    return s_ ? s_->format : none;
}
const std::string& MovieEncoder::Path() const {
    static const std::string none;
    return s_ ? s_->path : none;
}
int64_t MovieEncoder::FramesWritten() const { return s_ ? s_->frames : 0; }

bool MovieEncoder::Open(const std::string& requestedPath, const MovieFormat& requested, std::string& error) {
    Abandon();
    const MovieCodecModule* module = MovieCodecModuleOrError(error);
    if (!module) return false;
    if (!module->choose(requestedPath.c_str()).extension) {
        error = "This system's FFmpeg has neither an H.264 nor a VP9 encoder.";
        return false;
    }
    MovieFormat format = requested;
    format.width &= ~1;
    format.height &= ~1;
    if (format.width < 16 || format.height < 16 || format.width > 8192 || format.height > 8192) {
        error = "A movie frame is 16 to 8192 pixels wide and high.";
        return false;
    }
    if (format.framesPerSecond < 1 || format.framesPerSecond > 240) {
        error = "The frame rate must be 1 to 240 frames per second.";
        return false;
    }
    auto s = std::make_unique<State>();
    s->module = module;
    s->format = format;
    s->path = MoviePathFor(requestedPath);
    // The checks of every file the application replaces: links followed, only a regular file replaced.
    // The movie is written beside the resolved target, so the final rename stays within one file system.
    std::string why;
    if (!ReplaceableTarget(s->path, s->target, why) || !CreateFileBeside(s->target, s->tempPath, why)) {
        error = "Cannot write the movie \"" + s->path + "\": " + why + ".";
        return false;
    }
    char message[kErrorSize] = {};
    s->stream = module->open(s->path.c_str(), s->tempPath.c_str(), format.width, format.height,
                             format.framesPerSecond, message, sizeof message);
    if (!s->stream) {
        error = message;
        std::remove(s->tempPath.c_str());  // made above; the header may have been started
        return false;
    }
    s_ = std::move(s);
    return true;
}

bool MovieEncoder::Encode(const uint32_t* pixels, int32_t rowBytes, std::string& error) {
    if (!s_) {
        error = "No movie is being written.";
        return false;
    }
    char message[kErrorSize] = {};
    if (!s_->module->encode(s_->stream, pixels, rowBytes, s_->frames, message, sizeof message)) {
        error = message;
        return false;
    }
    ++s_->frames;
    return true;
}

bool MovieEncoder::Finish(std::string& error) {
    if (!s_) {
        error = "No movie is being written.";
        return false;
    }
    char message[kErrorSize] = {};
    bool ok = s_->module->finish(s_->stream, message, sizeof message);
    if (!ok) error = message;
    if (ok) {
        std::string why;
        ok = CommitReplacement(s_->tempPath, s_->target, why);
        if (!ok) {
            s_->tempPath.clear();  // already removed
            error = "The movie could not be saved as \"" + s_->path + "\": " + why + ".";
        }
    }
    if (!ok) {
        Abandon();
        return false;
    }
    s_->tempPath.clear();
    return true;
}

void MovieEncoder::Abandon() {
    if (!s_) return;
    const std::string temp = s_->tempPath;
    s_.reset();  // closes the file first
    if (!temp.empty()) std::remove(temp.c_str());
}
