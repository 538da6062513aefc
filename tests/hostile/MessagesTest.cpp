// The tool's lines on stderr name what is wrong as the scenario's checks do: bodies and
// thrust entries counted from 1 with their names, the section of a field, and never the
// picture library's own lines. Hostile scenarios (literals JSON has not, overflowing numbers,
// nesting that would exhaust the stack, keys given twice, steps no run survives) are refused
// in one line; a run that turns non-finite stops at the push that did.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <algorithm>
#include <ostream>

namespace {

struct MessageCase {
    const char* name;
    std::string scenario;
    int status;
    std::string line;  // the whole of stderr, but for the file's path before it
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const std::string kSun = R"({"name": "Sun", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8)";

std::string Nested(int depth) { return std::string(size_t(depth), '[') + std::string(size_t(depth), ']'); }
const std::string kPhysicsAndSun = R"(}, "bodies": [)" + kSun + "}]}";
const std::string kFar = R"({"name": "B", "pos": [1e30, 0, 0], "vel": [0, 1, 0], "mass": 1, "radius": 1})";

const MessageCase kMessageCases[] = {
        // One flipped bit turns a 10 s step into 1.28e208 s.
        {"FlippedTimeStep", R"({"physics": {"timeStep": 1.28e208)" + kPhysicsAndSun, 2,
         "timeStep is 1.3e+208 s, outside -1e12..1e12 s\n"},
        {"ZeroTimeStep", R"({"physics": {"timeStep": 0)" + kPhysicsAndSun, 2, "timeStep is 0: every method needs a step\n"},
        {"NaNLiteral", R"({"physics": {"gravConstant": NaN)" + kPhysicsAndSun, 2,
         "parse error at line 1, column 30: syntax error while parsing value - invalid literal; last read: '\"gravConstant\": N'\n"},
        {"OverflowingNumber", R"({"physics": {"gravConstant": -1e400)" + kPhysicsAndSun, 2,
         "malformed scenario: number overflow parsing '-1e400'\n"},
        {"DeepNesting", R"({"physics": )" + Nested(200000) + R"(, "bodies": []})", 2, "nested deeper than 64 levels\n"},
        {"DuplicateKey", R"({"physics": {"timeStep": 10, "timeStep": 1e300)" + kPhysicsAndSun, 2,
         "the key \"timeStep\" is given twice in one object\n"},
        // Text from the file is shown safely and cut short: a line break in it cannot split the message.
        {"DuplicateKeyWithALineBreak", R"({"physics": {"time\nStep": 10, "time\nStep": 1)" + kPhysicsAndSun, 2,
         "the key \"time\uFFFDStep\" is given twice in one object\n"},
        {"UnknownMethodWithALineBreak", R"({"physics": {"method": "leap\nfrog)" + std::string(80, 'g') + R"("}, "bodies": [)" + kSun + "}]}",
         2, "physics: unknown method \"leap\uFFFDfrog" + std::string(55, 'g') + "\u2026\"\n"},
        {"PictureNameWithALineBreak", R"({"bodies": [)" + kSun + R"(, "ringPicture": "bro\nken.png"}]})", 0,
         "bro\uFFFDken.png: cannot open the file: No such file or directory\n"},
        {"CraftNotABoolean", R"({"bodies": [{"name": "C", "craft": "yes", "mass": 1}]})", 2,
         "body 1: \"craft\" must be true or false\n"},
        {"MassAsText", R"({"bodies": [{"name": "M", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": "heavy"}]})", 2,
         "body 1 \"M\": \"mass\" must be a number\n"},
        // A force law that overflows: the run stops at the first push that is not finite.
        {"OverflowingForceLaw", R"({"physics": {"powerLaw": 10}, "bodies": [)" + kSun + "}, " + kFar + "]}", 2,
         "Stopped at push 1: the position of B is no longer a finite number. The run stays at t = 0.000000 s; shorten "
         "the time step before running on.\n"},
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
