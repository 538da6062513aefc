// gravitas-sim --movie and --png-sequence through the real binary: the movie
// decodes to the frames asked for, and its first frame is the render buffer
// (saved losslessly by --png-sequence in the same run) within the codec's loss.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "MovieDecode.h"

namespace fs = std::filesystem;

namespace {

int RunSim(const std::string& args, std::string& err) {
    const std::string errFile = ::testing::TempDir() + "sim-stderr-" + std::to_string(getpid());
    const std::string cmd = std::string(GRAVITAS_SIM_BINARY) + " " + args + " >/dev/null 2>" + errFile;
    const int status = std::system(cmd.c_str());
    err.clear();
    if (FILE* f = std::fopen(errFile.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) err.append(buf, n);
        std::fclose(f);
    }
    std::remove(errFile.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path Scratch(const std::string& name) {
    fs::path d = fs::path(::testing::TempDir()) / ("movie-cli-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

const std::string kScenario = std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/solar-system.json";

TEST(MovieCommand, MovieHoldsTheRenderedFrames) {
    const fs::path dir = Scratch("frames");
    const std::string movie = (dir / "earth.mp4").string();
    std::string err;
    // Following the Earth: a textured sphere fills part of the frame.
    ASSERT_EQ(RunSim(kScenario + " --movie " + movie + " --png-sequence " + (dir / "png").string() +
                         " --frames 9 --width 240 --height 180 --fps 24 --camera-mode 1 --camera-body 3",
                     err),
              0)
        << err;
    EXPECT_NE(err.find("frame 9 of 9"), std::string::npos) << "progress on stderr: " << err;
    const DecodedMovie m = DecodeMovie(movie);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.codec, "h264");
    EXPECT_EQ(m.frames, 9);
    EXPECT_EQ(m.width, 240);
    EXPECT_EQ(m.height, 180);
    EXPECT_NEAR(m.framesPerSecond, 24.0, 1e-9);
    ASSERT_TRUE(fs::exists(dir / "png" / "frame-00000.png"));
    ASSERT_TRUE(fs::exists(dir / "png" / "frame-00008.png"));
    EXPECT_FALSE(fs::exists(dir / "png" / "frame-00009.png"));
    const DecodedMovie first = DecodeMovie((dir / "png" / "frame-00000.png").string());
    const DecodedMovie last = DecodeMovie((dir / "png" / "frame-00008.png").string());
    ASSERT_EQ(first.first.size(), m.first.size());
    const double same = Psnr(first.first, m.first);
    EXPECT_GT(same, 30.0);
    EXPECT_GT(same, Psnr(last.first, m.first) + 1.0) << "the movie starts with the first frame, not a later one";
}

TEST(MovieCommand, BadPathGivesAMessageAndNoFile) {
    const fs::path dir = Scratch("bad");
    std::string err;
    EXPECT_EQ(RunSim(kScenario + " --movie " + (dir / "missing" / "x.mp4").string() + " --frames 3 --width 64 --height 48",
                     err),
              2);
    EXPECT_NE(err.find("Cannot write the movie"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_EQ(RunSim(kScenario + " --movie " + (dir / "x.mp4").string() + " --frames 0", err), 2);
    EXPECT_EQ(RunSim(kScenario + " --movie " + (dir / "x.mp4").string() + " --fps 0 --frames 2", err), 2);
    EXPECT_EQ(RunSim(kScenario + " --movie", err), 2);
    EXPECT_TRUE(fs::is_empty(dir));
}

}  // namespace
