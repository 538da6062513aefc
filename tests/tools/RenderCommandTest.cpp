// gravitas-sim --render: the real draw stage into a PNG.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int RunSim(const std::string& args) {
    std::string cmd(GRAVITAS_SIM_BINARY);
    cmd.append(" ").append(args).append(" >/dev/null 2>&1");
    return WEXITSTATUS(std::system(cmd.c_str()));
}

std::string Scenario(const char* name) { return std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/" + name; }

}  // namespace

TEST(RenderCommand, TexturedEarthFillsTheCentreOfTheFrame) {
    if (!std::filesystem::exists("/usr/share/xplanet/images/earth.jpg")) GTEST_SKIP() << "no earth picture";
    ScratchDir scratch;
    const std::string out = scratch.prefix() + "earth.png";
    ASSERT_EQ(RunSim(Scenario("sun-earth-moon.json") +
                     " --frames 1 --camera-mode 1 --camera-body 1 --no-stars --width 200 --height 150 --render " + out),
              0);
    QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.width(), 200);
    ASSERT_EQ(image.height(), 150);
    // The followed body sits at the centre, painted from its surface map (not an outline: not white).
    int painted = 0;
    for (int y = 65; y < 85; ++y)
        for (int x = 90; x < 110; ++x) {
            const QRgb p = image.pixel(x, y);
            if ((p & 0xFFFFFF) != 0 && (p & 0xFFFFFF) != 0xFFFFFF) ++painted;
        }
    EXPECT_GT(painted, 300);
    // Without stars the corners stay black.
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(199, 149) & 0xFFFFFF, 0u);
}

TEST(RenderCommand, StarsAppearUnlessSwitchedOff) {
    ScratchDir scratch;
    const std::string out = scratch.prefix() + "stars.png";
    ASSERT_EQ(RunSim(Scenario("ringed-giant.json") + " --frames 1 --width 320 --height 200 --render " + out), 0);
    QImage image(QString::fromStdString(out));
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 20);
}

TEST(RenderCommand, RefusesUnwritableOutputAndHugeSizes) {
    EXPECT_EQ(RunSim(Scenario("ringed-giant.json") + " --render /nonexistent-dir/x.png"), 2);
    // A writable place, so only the size can be what is refused; nothing may be written there.
    ScratchDir scratch;
    const std::string huge = scratch.prefix() + "huge.png";
    EXPECT_EQ(RunSim(Scenario("ringed-giant.json") + " --width 100000 --render " + huge), 2);
    EXPECT_FALSE(std::filesystem::exists(huge));
}

namespace {

int LitPixels(const std::string& path) {
    QImage image(QString::fromStdString(path));
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return lit;
}

}  // namespace

TEST(RenderCommand, TrailsOptionRecordsTrailsWhileTheFramesRun) {
    // The scenario asks for 100 trail points; --trails overrides it from the first frame on.
    ScratchDir scratch;
    int lit[3] = {0, 0, 0};
    const int lengths[3] = {0, 1, 80};
    for (int n = 0; n < 3; ++n) {
        const std::string length = std::to_string(lengths[n]);
        std::string out = scratch.prefix();
        out.append("trails").append(length).append(".png");
        std::string args = Scenario("ringed-giant.json");
        args.append(" --frames 80 --no-stars --labels 0 --width 200 --height 150 --trails ").append(length);
        ASSERT_EQ(RunSim(args.append(" --render ").append(out)), 0);
        lit[n] = LitPixels(out);
    }
    EXPECT_EQ(lit[1], lit[0]);  // one slot holds only the present positions
    EXPECT_GT(lit[2], lit[0] + 60);
    EXPECT_EQ(RunSim(Scenario("ringed-giant.json") + " --trails -3"), 2);
}
