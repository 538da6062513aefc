// The movie recorder against its decoded output: every frame arrives, in order,
// at the right size and rate, and one without frames leaves no file behind (a full disk: tests/outputs).
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include "MovieDecode.h"
#include "io/MovieRecorder.h"

namespace {

// Gradients and a white square moving 4 pixels a frame: a dropped or reordered frame shows.
std::vector<uint32_t> TestFrame(int w, int h, int n) {
    std::vector<uint32_t> p(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[size_t(y * w + x)] = (x >= 10 + 4 * n && x < 40 + 4 * n && y >= 20 && y < 50)
                                       ? 0xFFFFFF : uint32_t(255 * x / (w - 1)) << 16 | uint32_t(255 * y / (h - 1)) << 8 | 64;
    return p;
}
PixelSurface Surface(const std::vector<uint32_t>& p, int w, int h) {
    return PixelSurface{const_cast<uint32_t*>(p.data()), w * 4, w, h};  // the recorder copies it at once
}
size_t Entries(const ScratchDir& d) { return size_t(std::distance(std::filesystem::directory_iterator(d.path()), {})); }

}  // namespace

// Odd sizes are rounded down to even ones (4:2:0 video); scaling is checked through the File menu.
TEST(MovieRecorder, EveryFrameArrivesInOrderAtTheChosenSizeAndRate) {
    ScratchDir dir;
    for (const auto& [file, codec, w, h, frames] : {std::tuple{"out.mp4", "h264", 160, 120, 4 * MovieRecorder::kQueueDepth + 1},
                                                    std::tuple{"clip.webm", "vp9", 96, 64, 5}}) {
        MovieRecorder rec;
        std::string error;
        ASSERT_TRUE(rec.Start(dir.prefix() + file, MovieFormat{w + 1, h + 1, 25}, 0, error)) << error;
        EXPECT_EQ(std::pair(rec.Format().width, rec.Format().height), std::pair(w, h));
        for (int i = 0; i < frames; ++i)  // more than the queue holds: the caller waits for the worker
            ASSERT_TRUE(rec.AddFrame(Surface(TestFrame(w, h, i), w, h), error)) << error;
        ASSERT_TRUE(rec.Stop(error)) << error;
        EXPECT_EQ(rec.Path(), dir.prefix() + file);
        const DecodedMovie m = DecodeMovie(rec.Path());
        EXPECT_NE(m.codec.find(codec), std::string::npos) << m.codec;
        EXPECT_EQ(std::tuple(m.frames, m.width, m.height), std::tuple(frames, w, h));
        EXPECT_NEAR(m.framesPerSecond, 25.0, 1e-9);
        EXPECT_GT(Psnr(TestFrame(w, h, 0), m.first), 28.0) << "the first frame is the first handed over";
        EXPECT_LT(Psnr(TestFrame(w, h, 1), m.first), Psnr(TestFrame(w, h, 0), m.first));
    }
    EXPECT_EQ(Entries(dir), 2u) << "only the finished movies, no temporary file";
}

// Stopped before its first frame, a recording keeps nothing. (Sizes and rates are refused before a recorder
// starts: by the Record Movie dialog and gravitas-sim's option limits.)
TEST(MovieRecorder, ARecordingWithoutFramesLeavesNoFile) {
    ScratchDir dir;
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start(dir.prefix() + "empty.mp4", MovieFormat{64, 48, 30}, 0, error)) << error;
    EXPECT_FALSE(rec.Stop(error));
    EXPECT_NE(error.find("no frames"), std::string::npos) << error;
    EXPECT_EQ(Entries(dir), 0u);
}
