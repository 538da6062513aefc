// The movie recorder against its decoded output: every frame arrives, in order,
// at the right size, and a failed recording leaves no file behind.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "MovieDecode.h"
#include "io/MovieRecorder.h"

namespace fs = std::filesystem;

namespace {

// A frame with smooth gradients, a moving bright square and a frame number
// written as a bar of the frame's width, so a dropped, repeated or reordered
// frame shows in the decoded pictures.
std::vector<uint32_t> TestFrame(int w, int h, int n) {
    std::vector<uint32_t> p(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t r = uint32_t(255 * x / (w - 1)), g = uint32_t(255 * y / (h - 1)), b = 64;
            if (x >= 10 + 4 * n && x < 40 + 4 * n && y >= 20 && y < 50) r = g = b = 255;
            if (y >= h - 12 && x < (n + 1) * w / 32) r = g = b = 0;
            p[size_t(y) * size_t(w) + size_t(x)] = (r << 16) | (g << 8) | b;
        }
    return p;
}

PixelSurface Surface(std::vector<uint32_t>& p, int w, int h) { return PixelSurface{p.data(), w * 4, w, h}; }

fs::path ScratchDir(const std::string& name) {
    fs::path d = fs::path(::testing::TempDir()) / ("movie-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

size_t FilesIn(const fs::path& d) {
    size_t n = 0;
    for (auto it = fs::directory_iterator(d); it != fs::directory_iterator(); ++it) ++n;
    return n;
}

TEST(MovieRecorder, WritesEveryFrameAtTheChosenSize) {
    const fs::path dir = ScratchDir("frames");
    const std::string wanted = (dir / "out.mp4").string();
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start(wanted, MovieFormat{160, 120, 25}, 0, error)) << error;
    std::vector<uint32_t> first;
    // More frames than the queue holds, so the producer must wait for the worker.
    const int n = 4 * MovieRecorder::kQueueDepth + 1;
    for (int i = 0; i < n; ++i) {
        std::vector<uint32_t> f = TestFrame(160, 120, i);
        if (i == 0) first = f;
        ASSERT_TRUE(rec.AddFrame(Surface(f, 160, 120), error)) << error;
    }
    ASSERT_TRUE(rec.Stop(error)) << error;
    EXPECT_EQ(FilesIn(dir), 1u) << "only the finished movie, no temporary file";
    const DecodedMovie m = DecodeMovie(rec.Path());
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.frames, n);
    EXPECT_EQ(m.width, 160);
    EXPECT_EQ(m.height, 120);
    EXPECT_NEAR(m.framesPerSecond, 25.0, 1e-9);
    EXPECT_GT(Psnr(first, m.first), 35.0) << "the first frame is the first frame handed over";
    EXPECT_LT(Psnr(TestFrame(160, 120, 1), m.first), Psnr(first, m.first));
}

TEST(MovieRecorder, ScalesFramesOfAnotherSizeAndRoundsOddSizesDown) {
    const fs::path dir = ScratchDir("scale");
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start((dir / "scaled.mp4").string(), MovieFormat{121, 91, 30}, 3, error)) << error;
    EXPECT_EQ(rec.Format().width, 120);
    EXPECT_EQ(rec.Format().height, 90);
    std::vector<uint32_t> big = TestFrame(240, 180, 0);
    for (int i = 0; i < 3 && !rec.LimitReached(); ++i) ASSERT_TRUE(rec.AddFrame(Surface(big, 240, 180), error));
    EXPECT_TRUE(rec.LimitReached());
    ASSERT_TRUE(rec.Stop(error)) << error;
    const DecodedMovie m = DecodeMovie(rec.Path());
    EXPECT_EQ(m.frames, 3);
    EXPECT_EQ(m.width, 120);
    EXPECT_EQ(m.height, 90);
    // Halved, the gradient is still a gradient: the right edge is red, the left is not.
    ASSERT_EQ(m.first.size(), 120u * 90u);
    EXPECT_GT((m.first[5 * 120 + 118] >> 16) & 255, 200u);
    EXPECT_LT((m.first[5 * 120 + 1] >> 16) & 255, 40u);
}

TEST(MovieRecorder, BadPathsGiveAMessageAndNoFile) {
    const fs::path dir = ScratchDir("badpath");
    MovieRecorder rec;
    std::string error;
    EXPECT_FALSE(rec.Start((dir / "no-such-folder" / "out.mp4").string(), MovieFormat{64, 48, 30}, 0, error));
    EXPECT_NE(error.find("Cannot write"), std::string::npos) << error;
    EXPECT_FALSE(rec.Recording());
    error.clear();
    EXPECT_FALSE(rec.Start(dir.string() + "/", MovieFormat{64, 48, 30}, 0, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(rec.Start((dir / "tiny.mp4").string(), MovieFormat{8, 8, 30}, 0, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(rec.Start((dir / "slow.mp4").string(), MovieFormat{64, 48, 0}, 0, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FilesIn(dir), 0u);
}

TEST(MovieRecorder, StoppingWithoutFramesKeepsNothing) {
    const fs::path dir = ScratchDir("empty");
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start((dir / "empty.mp4").string(), MovieFormat{64, 48, 30}, 0, error));
    EXPECT_FALSE(rec.Stop(error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FilesIn(dir), 0u);
}

// A full disk, made by limiting the file size the process may write: the
// recording fails with a message and neither the movie nor its temporary file stays.
TEST(MovieRecorder, FullDiskGivesAMessageAndKeepsNothing) {
    const fs::path dir = ScratchDir("full");
    const std::string path = (dir / "full.mp4").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit then fail with EFBIG instead of killing
        rlimit limit{32 * 1024, 32 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        MovieRecorder rec;
        std::string error;
        if (!rec.Start(path, MovieFormat{320, 240, 30}, 0, error)) _exit(3);
        bool failed = false;
        for (int i = 0; i < 200 && !failed; ++i) {
            // Noise does not compress: the limit is reached within a few frames.
            std::vector<uint32_t> f(320 * 240);
            uint32_t seed = uint32_t(i) * 2654435761u + 1;
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
    EXPECT_EQ(FilesIn(dir), 0u);
}

}  // namespace

namespace {

// A file named .webm gets VP9 in WebM, the codec used where H.264 is missing.
TEST(MovieRecorder, WebmFilesAreVp9) {
    const fs::path dir = ScratchDir("webm");
    MovieRecorder rec;
    std::string error;
    ASSERT_TRUE(rec.Start((dir / "clip.webm").string(), MovieFormat{96, 64, 30}, 0, error)) << error;
    std::vector<uint32_t> first = TestFrame(96, 64, 0);
    for (int i = 0; i < 5; ++i) {
        std::vector<uint32_t> f = TestFrame(96, 64, i);
        ASSERT_TRUE(rec.AddFrame(Surface(f, 96, 64), error)) << error;
    }
    ASSERT_TRUE(rec.Stop(error)) << error;
    EXPECT_EQ(rec.Path(), (dir / "clip.webm").string());
    const DecodedMovie m = DecodeMovie(rec.Path());
    EXPECT_NE(m.codec.find("vp9"), std::string::npos) << m.codec;
    EXPECT_EQ(m.frames, 5);
    EXPECT_EQ(m.width, 96);
    EXPECT_GT(Psnr(first, m.first), 28.0);
}

}  // namespace
