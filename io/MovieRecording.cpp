#include "io/MovieRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/Dialogs.h"
#include "core/Units.h"
#include "io/FileFolders.h"
#include "io/FileTypes.h"
#include "io/MovieCodecLoader.h"
#include "io/MovieRecorder.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

namespace {

MovieRecorder& Recorder() {
    static MovieRecorder recorder;
    return recorder;
}

// The last answers of the dialog, offered again next time.
struct MovieChoice {
    double width = 0, height = 0, framesPerSecond = 30, seconds = 0;
};
MovieChoice lastChoice;

// The mark changes every tenth of a second of movie; the window hears of it only then.
std::string shownMark;
void ShowMark() {
    std::string text = RecordingMarkText();
    if (text == shownMark) return;
    shownMark = std::move(text);
    MainWindow().ShowRecordingMark(shownMark);
}

}  // namespace

int32_t EvenSize(int32_t pixels) { return pixels + (pixels & 1); }

bool IsRecordingMovie() { return Recorder().Recording(); }

std::string RecordingMarkText() {
    if (!IsRecordingMovie()) return "";
    char text[64];
    const double seconds = double(Recorder().FramesAdded()) / Recorder().Format().framesPerSecond;
    std::snprintf(text, sizeof text, "\u25CF REC %.1f s", seconds);
    return text;
}

bool StartMovieRecording(const std::string& path, int width, int height, int framesPerSecond, double seconds) {
    std::string error;
    if (!(seconds >= 0) || seconds > 24 * 3600.0) {
        Platform().StopAlert("The length must be 0 (until stopped) to 86400 seconds.");
        return false;
    }
    const int64_t frames = int64_t(std::llround(seconds * framesPerSecond));
    if (!Recorder().Start(path, MovieFormat{width, height, framesPerSecond}, frames, error)) {
        Platform().StopAlert(error);
        return false;
    }
    ShowMark();
    return true;
}

void StopMovieRecording() {
    if (!IsRecordingMovie()) return;
    std::string error;
    const bool ok = Recorder().Stop(error);
    ShowMark();
    if (!ok) Platform().StopAlert(error);
}

void RecordMovieFrame() {
    if (!IsRecordingMovie()) return;
    std::string error;
    if (!Recorder().AddFrame(RenderSurface(), error)) {
        ShowMark();
        Platform().StopAlert(error);
        return;
    }
    if (Recorder().LimitReached()) StopMovieRecording();
    else ShowMark();
}

void RecordMovieMenuItem() {
    if (IsRecordingMovie()) {
        StopMovieRecording();
        return;
    }
    std::string missing;
    if (!MovieCodecModuleOrError(missing)) {
        Platform().StopAlert(missing);
        return;
    }
    const std::string codec = MovieCodecDescription();
    if (codec.empty()) {
        Platform().StopAlert("Movies cannot be recorded: this system's FFmpeg has no H.264 or VP9 encoder.");
        return;
    }
    const PixelSurface frame = RenderSurface();
    MovieChoice c = lastChoice;
    // Codecs need even sizes: an odd picture is padded with one black row or column, so the
    // movie shows the picture Save Picture writes.
    if (c.width <= 0 || c.height <= 0) c.width = EvenSize(frame.width), c.height = EvenSize(frame.height);
    double values[4] = {c.width, c.height, c.framesPerSecond, c.seconds};
    std::vector<std::string> texts;
    for (int i = 0; i < 4; ++i) texts.push_back(MyRealFixed2String(values[i], i == 3 ? 1 : 0));
    const std::vector<std::string> prompts{"Width (even: odd adds a column)", "Height (even: odd adds a row)",
                                           "Frame rate", "Length (0 = until stopped)"};
    const std::vector<std::string> units{"pixels", "pixels", "frames/s", "seconds"};
    if (ModalSimpleStringSheetDialog(4, texts, prompts, &units, 1) != 1) return;
    for (int i = 0; i < 4; ++i) values[i] = String2MyReal(texts[size_t(i)]);
    for (double v : values)
        if (!std::isfinite(v)) {
            Platform().StopAlert("Width, height, frame rate and length must be numbers.");
            return;
        }
    for (int i = 0; i < 2; ++i) values[i] = EvenSize(int32_t(std::clamp(values[i], 0.0, 1e5)));
    lastChoice = MovieChoice{values[0], values[1], values[2], values[3]};
    if (values[0] < 16 || values[1] < 16 || values[0] > 8192 || values[1] > 8192 || values[2] < 1 ||
        values[2] > 240) {
        Platform().StopAlert("A movie is 16 to 8192 pixels wide and high, at 1 to 240 frames per second.");
        return;
    }
    std::string path;
    const std::string defaultName = "Gravitas movie" + std::filesystem::path(MoviePathFor("x.mp4")).extension().string();
    if (!ChooseSaveFileRemembered("Record the movie (" + codec + ") as", defaultName, kMovieFileType, path)) return;
    StartMovieRecording(path, int(values[0]), int(values[1]), int(values[2]), values[3]);
}
