// gravitas-sim --movie and --png-sequence through the real binary, and the FFmpeg module it loads only
// for a movie.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <dlfcn.h>
#include <fstream>

#include "MovieDecode.h"

namespace fs = std::filesystem;

namespace {

const std::string kSolar = GRAVITAS_SOURCE_DIR "/data/scenarios/solar-system.json",
                  kGiant = GRAVITAS_SOURCE_DIR "/data/scenarios/ringed-giant.json";  // one picture: quick to start

// Runs a shell command; its stdout and stderr together in `out`.
int Shell(const std::string& command, std::string& out) {
    out.clear();
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    for (char buf[4096]; size_t n = std::fread(buf, 1, sizeof buf, p);) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
int Sim(const std::string& args, std::string& out, const std::string& scenario = kGiant) {
    return Shell(GRAVITAS_SIM_BINARY " " + scenario + " " + args, out);
}
std::string Small(const std::string& movie) { return "--movie " + movie + " --frames 3 --width 64 --height 48"; }

}  // namespace

// The movie's first frame is the render buffer, saved losslessly by --png-sequence in the same run.
TEST(MovieCli, TheMovieHoldsTheRenderedFrames) {
    ScratchDir dir;
    std::string out;
    ASSERT_EQ(Sim("--movie " + dir.prefix() + "earth.mp4 --png-sequence " + dir.prefix() +
                      "png --frames 9 --width 240 --height 180 --fps 24 --camera-mode 1 --camera-body 3", out, kSolar), 0) << out;
    EXPECT_NE(out.find("frame 9 of 9"), std::string::npos) << out;
    const DecodedMovie m = DecodeMovie(dir.prefix() + "earth.mp4");
    EXPECT_EQ(std::tuple(m.codec, m.frames, m.width, m.height), std::tuple("h264", 9, 240, 180));
    EXPECT_NEAR(m.framesPerSecond, 24.0, 1e-9);
    EXPECT_FALSE(fs::exists(dir / "png/frame-00009.png"));
    const std::vector<uint32_t> first = DecodeMovie((dir / "png/frame-00000.png").string()).first;
    ASSERT_EQ(first.size(), m.first.size());
    EXPECT_GT(Psnr(first, m.first), 30.0);
    EXPECT_GT(Psnr(first, m.first), Psnr(DecodeMovie((dir / "png/frame-00008.png").string()).first, m.first) + 1.0);
    ASSERT_EQ(Sim(Small(dir.prefix() + "clip.webm"), out), 0) << out;  // the other container and codec
    const DecodedMovie webm = DecodeMovie(dir.prefix() + "clip.webm");
    EXPECT_EQ(std::tuple(webm.codec.substr(0, 3), webm.frames, webm.width), std::tuple("vp9", 3, 64));
}

// Missing folders and other limits: tests/outputs.
TEST(MovieCli, BadFrameCountsAndRatesWriteNoFrame) {
    ScratchDir dir;
    std::string out;
    for (const char* bad : {"--frames 0", "--fps 0", "--fps 2x", "--fps"}) {
        EXPECT_EQ(Sim("--png-sequence " + dir.prefix() + "png --frames 2 " + bad, out), 2) << bad;
        EXPECT_FALSE(fs::exists(dir / "png/frame-00000.png")) << bad;
    }
}

// An installed copy (bin/gravitas-sim and <libdir>/gravitas/, far from the build tree) finds the FFmpeg module
// through its own path; the tool does not link FFmpeg, runs without the module, and a movie with a missing or
// foreign module is refused with a message and no file.
TEST(MovieCli, TheModuleIsFoundBesideTheProgramAndRefusedWhenMissingOrForeign) {
    std::string out;
    ASSERT_EQ(Shell("ldd " GRAVITAS_SIM_BINARY, out), 0) << out;
    EXPECT_NE(out.find("libQt6Gui"), std::string::npos) << out;  // ldd really listed the libraries
    for (const char* library : {"libavcodec", "libavformat", "libswscale", "libavutil", "libQt6Multimedia", "libpulse"})
        EXPECT_EQ(out.find(library), std::string::npos) << library << " is linked:\n" << out;
    ScratchDir prefix;
    const fs::path module = prefix / GRAVITAS_MODULE_SUBDIR / "gravitas-movie-ffmpeg.so";
    const std::string movie = prefix.prefix() + "out.mp4", nowhere = prefix.prefix() + "no-such-module.so";
    fs::create_directories(prefix / "bin"), fs::create_directories(module.parent_path());
    fs::copy_file(GRAVITAS_SIM_BINARY, prefix / "bin/gravitas-sim"), fs::copy_file(GRAVITAS_MOVIE_MODULE_FILE, module);
    const auto run = [&](const std::string& env, const std::string& args) {
        return Shell("cd / && env -u GRAVITAS_MOVIE_MODULE " + env + " " + prefix.prefix() + "bin/gravitas-sim " + kGiant +
                     " " + args, out);
    };
    ASSERT_EQ(run("", Small(movie)), 0) << out;
    const DecodedMovie m = DecodeMovie(movie);
    EXPECT_EQ(std::tuple(m.frames, m.width, m.height), std::tuple(3, 64, 48));
    fs::remove(movie);
    Dl_info ffmpeg{};  // a real library without the module's entry point
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&avformat_version), &ffmpeg), 0);
    std::ofstream(module) << "not a library\n";
    for (const auto& [env, why] : {std::pair{std::string(), std::string("could not be loaded")},
                                   {"GRAVITAS_MOVIE_MODULE=" + nowhere, nowhere + "\" does not exist"},
                                   {"GRAVITAS_MOVIE_MODULE=" + std::string(ffmpeg.dli_fname), "is not this version's movie encoder"}}) {
        EXPECT_EQ(run(env, Small(movie)), 2) << env;
        EXPECT_NE(out.find("Movies cannot be recorded"), std::string::npos) << out;
        EXPECT_NE(out.find(why), std::string::npos) << out;
    }
    fs::remove(module);
    EXPECT_EQ(run("", Small(movie)), 2);
    EXPECT_NE(out.find("was not found beside the program"), std::string::npos) << out;
    EXPECT_EQ(run("", "--frames 1"), 0) << out;  // no movie, no module needed
    EXPECT_FALSE(fs::exists(movie));
}
