// The movie recorder against its decoded output: every frame arrives, in order,
// at the right size and rate, and a failed recording leaves no file behind.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>

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

TEST(MovieRecorder, EveryFrameArrivesInOrderAtTheChosenSizeAndRate) {
    ScratchDir dir;
    for (const auto& [file, codec, w, h, frames] : {std::tuple{"out.mp4", "h264", 160, 120, 4 * MovieRecorder::kQueueDepth + 1},
                                                    std::tuple{"clip.webm", "vp9", 96, 64, 5}}) {
        MovieRecorder rec;
        std::string error;
        ASSERT_TRUE(rec.Start(dir.prefix() + file, MovieFormat{w, h, 25}, 0, error)) << error;
        for (int i = 0; i < frames; ++i)  // more than the queue holds: the caller waits for the worker
            ASSERT_TRUE(rec.AddFrame(Surface(TestFrame(w, h, i), w, h), error)) << error;
        ASSERT_TRUE(rec.Stop(error)) << error;
        EXPECT_EQ(rec.Path(), dir.prefix() + file);
        const DecodedMovie m = DecodeMovie(rec.Path());
        ASSERT_TRUE(m.ok);
        EXPECT_NE(m.codec.find(codec), std::string::npos) << m.codec;
        EXPECT_EQ(m.frames, frames);
        EXPECT_EQ(m.width, w);
        EXPECT_EQ(m.height, h);
        EXPECT_NEAR(m.framesPerSecond, 25.0, 1e-9);
        EXPECT_GT(Psnr(TestFrame(w, h, 0), m.first), 28.0) << "the first frame is the first handed over";
        EXPECT_LT(Psnr(TestFrame(w, h, 1), m.first), Psnr(TestFrame(w, h, 0), m.first));
    }
    EXPECT_EQ(Entries(dir), 2u) << "only the finished movies, no temporary file";
}

TEST(MovieRecorder, FramesOfAnotherSizeAreScaledAndOddSizesRoundedDown) {
    ScratchDir dir;
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start(dir.prefix() + "scaled.mp4", MovieFormat{121, 91, 30}, 3, error)) << error;
    EXPECT_EQ(rec.Format().width, 120);
    EXPECT_EQ(rec.Format().height, 90);
    while (!rec.LimitReached()) ASSERT_TRUE(rec.AddFrame(Surface(TestFrame(240, 180, 0), 240, 180), error));
    ASSERT_TRUE(rec.Stop(error)) << error;
    const DecodedMovie m = DecodeMovie(rec.Path());
    EXPECT_EQ(m.frames, 3);
    ASSERT_EQ(m.first.size(), 120u * 90u);
    EXPECT_GT((m.first[5 * 120 + 118] >> 16) & 255, 200u);  // halved, the red gradient is still one
    EXPECT_LT((m.first[5 * 120 + 1] >> 16) & 255, 40u);
}

TEST(MovieRecorder, BadRequestsGiveAMessageAndNoFile) {
    ScratchDir dir;
    MovieRecorder rec;
    std::string error;
    for (const auto& [path, format] : {std::pair{dir.prefix() + "no-such-folder/out.mp4", MovieFormat{64, 48, 30}},
                                       {dir.prefix(), MovieFormat{64, 48, 30}},
                                       {dir.prefix() + "tiny.mp4", MovieFormat{15, 48, 30}},
                                       {dir.prefix() + "huge.mp4", MovieFormat{64, 8194, 30}},
                                       {dir.prefix() + "slow.mp4", MovieFormat{64, 48, 0}},
                                       {dir.prefix() + "fast.mp4", MovieFormat{64, 48, 241}}}) {
        error.clear();
        EXPECT_FALSE(rec.Start(path, format, 0, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_FALSE(rec.Recording());
    }
    EXPECT_FALSE(rec.Start(dir.prefix() + "negative.mp4", MovieFormat{64, 48, 30}, -1, error));
    ASSERT_TRUE(rec.Start(dir.prefix() + "empty.mp4", MovieFormat{64, 48, 30}, 0, error));
    EXPECT_FALSE(rec.Stop(error));  // no frames: nothing kept
    EXPECT_NE(error.find("no frames"), std::string::npos) << error;
    EXPECT_EQ(Entries(dir), 0u);
}

// A full disk, made by limiting the size of file the process may write.
TEST(MovieRecorder, AFullDiskGivesAMessageAndKeepsNothing) {
    ScratchDir dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail with EFBIG instead of killing
        rlimit limit{32 * 1024, 32 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        MovieRecorder rec;
        std::string error;
        if (!rec.Start(dir.prefix() + "full.mp4", MovieFormat{320, 240, 30}, 0, error)) _exit(3);
        bool failed = false;
        for (uint32_t i = 0, seed = 1; i < 200 && !failed; ++i) {
            std::vector<uint32_t> f(320 * 240);  // noise does not compress
            for (uint32_t& p : f) p = (seed = seed * 1664525u + 1013904223u) >> 8;
            failed = !rec.AddFrame(Surface(f, 320, 240), error);
        }
        if (!failed) failed = !rec.Stop(error);
        _exit(failed && !error.empty() ? 0 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not start, 4: the failure went unreported";
    EXPECT_EQ(Entries(dir), 0u);
}
