// Every command-line value is held to the limits of the file formats: at a limit the run's
// universe file and JSON load again and say the same; past it the tool refuses at once.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <cctype>
#include <ostream>
#include <string>

namespace {

struct LimitCase {
    const char* name;
    const char* options;
    int trails;           // what the saved files hold
    const char* refusal;  // null when the run is accepted
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.options; }

class OptionLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(OptionLimit, SavedFilesLoadAgainOrTheValueIsRefused) {
    const LimitCase& c = GetParam();
    ScratchDir dir;
    const std::string scenario = WriteText((dir / "s.json").string(), kTwoBodies);
    const std::string universe = (dir / "u.universe").string(), json = (dir / "e.json").string();
    const std::string picture = " --render " + (dir / "r.png").string();
    std::string options = c.options;
    if (const size_t at = options.find(" RENDER"); at != std::string::npos) options.replace(at, 7, picture);
    const SimRun r = Sim(dir, scenario + " " + options + " --save " + universe + " --export-json " + json);
    if (c.refusal) {
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.refusal), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(universe));
        EXPECT_FALSE(std::filesystem::exists(json));
        return;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    // The exported scenario loads and exports to the same text.
    const std::string again = (dir / "again.json").string();
    const SimRun j = Sim(dir, json + " --frames 0 --export-json " + again);
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(ReadText(again), ReadText(json));
    // The universe file loads and holds the option's value.
    const std::string fromUniverse = (dir / "u.json").string();
    const SimRun u = Sim(dir, "--load " + universe + " --frames 1 --export-json " + fromUniverse);
    ASSERT_EQ(u.status, 0) << u.err;
    const std::string text = ReadText(fromUniverse), key = "\"trailLength\": " + std::to_string(c.trails);
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(text[at + key.size()]))) << text;
}

const LimitCase kLimitCases[] = {
        {"NoTrails", "--trails 0", 0, nullptr},
        {"LongestTrails", "--frames 2 --trails 100000", 100000, nullptr},
        {"NoFrames", "--frames 0 --trails 7", 7, nullptr},
        {"HighestCameraMode", "--camera-mode 2147483647 RENDER", 0, nullptr},
        {"LastCameraBody", "--camera-body 9999 RENDER", 0, nullptr},
        {"AllLabels", "--labels 2147483647 --stereo --no-stars RENDER", 0, nullptr},
        {"SmallestPicture", "--width 1 --height 1 RENDER", 0, nullptr},
        {"TrailsPastTheLimit", "--trails 100001", 0, "--trails must lie in 0..100000"},
        {"TrailsAtIntMax", "--trails 2147483647", 0, "--trails must lie in 0..100000"},
        {"NegativeTrails", "--trails -1", 0, "--trails must lie in 0..100000"},
        {"FramesPast32Bits", "--frames 2147483648", 0, "--frames must lie in 0..2147483647"},
        {"FramesPast64Bits", "--frames 99999999999999999999", 0, "--frames must lie in 0..2147483647"},
        {"WidePicture", "--width 8193 RENDER", 0, "--width must lie in 1..8192"},
        {"ZeroHeight", "--height 0 RENDER", 0, "--height must lie in 1..8192"},
        {"CameraBodyPastTheLimit", "--camera-body 100000 RENDER", 0, "--camera-body must lie in 0..99999"},
        {"FrameRatePastTheLimit", "--fps 241", 0, "--fps must lie in 1..240"},
        {"LabelsAsText", "--labels all RENDER", 0, "--labels needs a whole number"},
        {"EmptyLoad", "--load ''", 0, "bad or missing value for --load"},
};

INSTANTIATE_TEST_SUITE_P(Table, OptionLimit, ::testing::ValuesIn(kLimitCases),
                         [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

}  // namespace
