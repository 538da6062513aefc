// FFmpeg is reached through a module loaded only when a movie is recorded: gravitas-sim
// does not link it (nor Qt Multimedia: it plays no sound), finds the module from its own
// location in the build tree and in the installed layout, and refuses a missing or foreign
// module with a message, leaving no file.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "MovieDecode.h"

namespace fs = std::filesystem;

namespace {

const std::string kScenario = std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/solar-system.json";

// Runs `command` through the shell; its stdout and stderr together in `out`.
int RunShell(const std::string& command, std::string& out) {
    out.clear();
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path Scratch(const std::string& name) {
    fs::path d = fs::path(::testing::TempDir()) / ("movie-module-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

std::string MovieArgs(const fs::path& movie) {
    return kScenario + " --movie " + movie.string() + " --frames 3 --width 64 --height 48";
}

TEST(MovieModule, TheToolDoesNotLinkFfmpegOrQtMultimedia) {
    std::string out;
    ASSERT_EQ(RunShell("ldd " + std::string(GRAVITAS_SIM_BINARY), out), 0) << out;
    EXPECT_NE(out.find("libQt6Gui"), std::string::npos) << out;  // ldd really listed the libraries
    for (const char* library : {"libavcodec", "libavformat", "libswscale", "libavutil", "libQt6Multimedia", "libpulse"})
        EXPECT_EQ(out.find(library), std::string::npos) << library << " is linked:\n" << out;
}

TEST(MovieModule, AMissingModuleIsRefusedWithAMessageAndNoFile) {
    const fs::path dir = Scratch("missing");
    std::string out;
    const fs::path nowhere = dir / "no-such-module.so";
    EXPECT_EQ(RunShell("GRAVITAS_MOVIE_MODULE=" + nowhere.string() + " " + GRAVITAS_SIM_BINARY + " " + MovieArgs(dir / "m.mp4"), out), 2);
    EXPECT_NE(out.find("Movies cannot be recorded"), std::string::npos) << out;
    EXPECT_NE(out.find(nowhere.string()), std::string::npos) << out;
    EXPECT_TRUE(fs::is_empty(dir));
    // Without a movie the tool runs as ever: the module is not needed to start.
    EXPECT_EQ(RunShell("GRAVITAS_MOVIE_MODULE=" + nowhere.string() + " " + GRAVITAS_SIM_BINARY + " " + kScenario + " --frames 1", out), 0)
        << out;
}

TEST(MovieModule, AFileThatIsNoModuleOrAnotherLibraryIsRefused) {
    const fs::path dir = Scratch("foreign");
    const fs::path text = dir / "gravitas-movie-ffmpeg.so";
    { std::FILE* f = std::fopen(text.c_str(), "w"); ASSERT_TRUE(f); std::fputs("not a library\n", f); std::fclose(f); }
    std::string out;
    EXPECT_EQ(RunShell("GRAVITAS_MOVIE_MODULE=" + text.string() + " " + GRAVITAS_SIM_BINARY + " " + MovieArgs(dir / "a.mp4"), out), 2);
    EXPECT_NE(out.find("could not be loaded"), std::string::npos) << out;
    // A real shared library without the module's entry point: FFmpeg's own.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&avformat_version), &info), 0);
    EXPECT_EQ(RunShell(std::string("GRAVITAS_MOVIE_MODULE=") + info.dli_fname + " " + GRAVITAS_SIM_BINARY + " " + MovieArgs(dir / "b.mp4"), out), 2);
    EXPECT_NE(out.find("is not this version's movie encoder"), std::string::npos) << out;
    fs::remove(text);
    EXPECT_TRUE(fs::is_empty(dir));
}

// The installed layout: bin/gravitas-sim and <libdir>/gravitas/ beside each other, far from
// the build tree; the program finds the module through its own path, wherever it is run from.
TEST(MovieModule, AnInstalledCopyFindsItsModuleFromItsOwnLocation) {
    const fs::path prefix = Scratch("installed");
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / GRAVITAS_MODULE_SUBDIR);
    fs::copy_file(GRAVITAS_SIM_BINARY, prefix / "bin" / "gravitas-sim");
    fs::copy_file(GRAVITAS_MOVIE_MODULE_FILE, prefix / GRAVITAS_MODULE_SUBDIR / "gravitas-movie-ffmpeg.so");
    const fs::path movie = prefix / "out.mp4";
    std::string out;
    const std::string command = "cd / && env -u GRAVITAS_MOVIE_MODULE " + (prefix / "bin" / "gravitas-sim").string() + " " + MovieArgs(movie);
    ASSERT_EQ(RunShell(command, out), 0) << out;
    const DecodedMovie m = DecodeMovie(movie.string());
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.frames, 3);
    EXPECT_EQ(m.width, 64);
    // Without the module the same copy says so instead.
    fs::remove(prefix / GRAVITAS_MODULE_SUBDIR / "gravitas-movie-ffmpeg.so");
    fs::remove(movie);
    EXPECT_EQ(RunShell(command, out), 2);
    EXPECT_NE(out.find("was not found beside the program"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(movie));
    fs::remove_all(prefix);
}

}  // namespace
