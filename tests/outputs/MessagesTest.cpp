// The tool's lines on stderr name what is wrong as the scenario's checks do: bodies and
// thrust entries counted from 1 with their names, the section of a field, and never the
// picture library's own lines.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <algorithm>
#include <ostream>

namespace {

struct MessageCase {
    const char* name;
    std::string scenario;
    int status;
    const char* line;  // the whole of stderr, but for the file's path before it
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const std::string kSun = R"({"name": "Sun", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8)";

const MessageCase kMessageCases[] = {
        {"IntegerPast64Bits", R"({"physics": {"pushesPerFrame": 123456789012345678901234}, "bodies": [)" + kSun + "}]}", 2,
         "physics: \"pushesPerFrame\" must lie in -2147483648..2147483647\n"},
        {"MethodNotAName", R"({"physics": {"method": 5}, "bodies": [)" + kSun + "}]}", 2, "physics: \"method\" must be a name\n"},
        {"SecondThrustEntry", R"({"bodies": [)" + kSun + R"(}], "timedThrust": [{"pushIndex": 1, "deltaV": 1}, 5]})", 2,
         "timed thrust entry 2: must be an object\n"},
        {"BrokenSurfacePicture", R"({"bodies": [)" + kSun + R"(, "surfacePicture": "broken.png"}]})", 0,
         "broken.png: The picture could not be turned into a surface map.\n"},
        {"BrokenRingPicture", R"({"bodies": [)" + kSun + R"(, "ringPicture": "broken.png"}]})", 0,
         "broken.png: it is not a picture that can be read\n"},
};

class ToolMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ToolMessage, IsOneLineNamingTheField) {
    ScratchDir dir;
    // A PNG signature and a header cut short: the picture library complains on its own.
    WriteText((dir / "broken.png").string(), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0", 18));
    const SimRun r = Sim(dir, WriteText((dir / "s.json").string(), GetParam().scenario) + " --frames 1");
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    const std::string expected = GetParam().status == 0 ? "gravitas-sim: warning: body 1 \"Sun\": " : "gravitas-sim: ";
    EXPECT_TRUE(r.err.starts_with(expected)) << r.err;
    EXPECT_TRUE(r.err.ends_with(GetParam().line)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Table, ToolMessage, ::testing::ValuesIn(kMessageCases),
                         [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

}  // namespace
