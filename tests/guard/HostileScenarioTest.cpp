// gravitas-sim on scenarios and universe files that cannot give a finite run, or that a
// hostile hand wrote: refused with exit status 2 and one line naming the field, never a
// crash or a hang, and never a state with NaN or infinities printed (as JSON null).
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct SimRun {
    int status;
    std::string out, err;
};

SimRun Sim(const ScratchDir& dir, const std::string& args) {
    const std::string err = (dir / "stderr.txt").string();
    const std::string cmd = "timeout 60 " + std::string(GRAVITAS_SIM_BINARY) + " " + args + " 2>" + err;
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = WEXITSTATUS(pclose(p));
    std::ifstream e(err);
    return SimRun{status, out, std::string(std::istreambuf_iterator<char>(e), {})};
}

std::string Write(const ScratchDir& dir, const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const std::string kTwoBodies = R"("bodies": [{"name": "Sun", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8},
    {"name": "Earth", "pos": [1.496e11, 0, 0], "vel": [0, 29780, 0], "mass": 6e24, "radius": 6.4e6}])";

std::string Nested(int depth) { return std::string(size_t(depth), '[') + std::string(size_t(depth), ']'); }

struct HostileCase {
    const char* name;
    std::string text;
    const char* message;  // in the one line on stderr
};

class HostileScenario : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileScenario, IsRefusedWithOneLineNamingTheField) {
    ScratchDir dir;
    const SimRun r = Sim(dir, Write(dir, "s.json", GetParam().text) + " --frames 3");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "");
}

const std::vector<HostileCase> kHostileCases = {
        // One flipped bit turns a 10 s step into 1.28e208 s.
        HostileCase{"FlippedTimeStep", R"({"physics": {"timeStep": 1.28e208}, )" + kTwoBodies + "}",
                    "timeStep is 1.3e+208 s, outside -1e12..1e12 s"},
        HostileCase{"ZeroTimeStep", R"({"physics": {"timeStep": 0}, )" + kTwoBodies + "}", "timeStep is 0"},
        HostileCase{"NaNLiteral", R"({"physics": {"gravConstant": NaN}, )" + kTwoBodies + "}", "malformed scenario"},
        HostileCase{"InfinityLiteral", R"({"physics": {"gravConstant": Infinity}, )" + kTwoBodies + "}",
                    "malformed scenario"},
        HostileCase{"OverflowingNumber", R"({"physics": {"gravConstant": 1e400}, )" + kTwoBodies + "}",
                    "malformed scenario: number overflow parsing '1e400'"},
        HostileCase{"OverflowingMass",
                    R"({"bodies": [{"name": "X", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": -1e400, "radius": 1}]})",
                    "malformed scenario: number overflow parsing '-1e400'"},
        HostileCase{"DeepNesting", R"({"physics": )" + Nested(200000) + ", " + kTwoBodies + "}",
                    "nested deeper than 64 levels"},
        HostileCase{"DuplicateKey", R"({"physics": {"timeStep": 10, "timeStep": 1e300}, )" + kTwoBodies + "}",
                    "the key \"timeStep\" is given twice"},
        HostileCase{"CraftNotABoolean",
                    R"({"bodies": [{"name": "C", "craft": "yes", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 1, "radius": 1}]})",
                    "body 1: \"craft\" must be true or false"},
        HostileCase{"PictureNotAName",
                    R"({"bodies": [{"name": "P", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 1, "radius": 1, "surfacePicture": 7}]})",
                    "body 1 \"P\": \"surfacePicture\" must be a file name"},
        HostileCase{"MassAsText",
                    R"({"bodies": [{"name": "M", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": "heavy", "radius": 1}]})",
                    "body 1 \"M\": \"mass\" must be a number"},
        // A force law that overflows: the run stops at the first push that is not finite.
        HostileCase{"OverflowingForceLaw",
                    R"({"physics": {"powerLaw": 10}, "bodies": [{"name": "A", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 1, "radius": 1},
                       {"name": "B", "pos": [1e30, 0, 0], "vel": [0, 1, 0], "mass": 1, "radius": 1}]})",
                    "Stopped at push 2: the position of "}};

INSTANTIATE_TEST_SUITE_P(
    Table, HostileScenario, ::testing::ValuesIn(kHostileCases),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

// Bodies that name each other as parents: only an earlier body can be a parent, so the
// values are taken as absolute and the run stays finite.
TEST(HostileScenarioParents, ACycleOfParentsRunsFinitely) {
    ScratchDir dir;
    const std::string text = R"({"physics": {"pushesPerFrame": 1}, "bodies": [
        {"name": "A", "parent": 2, "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8},
        {"name": "B", "parent": 1, "pos": [1.496e11, 0, 0], "vel": [0, 29780, 0], "mass": 6e24, "radius": 6.4e6},
        {"name": "C", "parent": 3, "pos": [-1.496e11, 0, 0], "vel": [0, -29780, 0], "mass": 6e24, "radius": 6.4e6}]})";
    const SimRun r = Sim(dir, Write(dir, "s.json", text) + " --frames 10");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("null"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"pushCount\": 10"), std::string::npos) << r.out;
}

// The same flipped time step inside a universe file: the loader names the field too.
TEST(HostileUniverseTimeStep, AFlippedBitInTheStoredStepIsRefused) {
    ScratchDir dir;
    // An unusual step whose eight big-endian bytes occur once in the file.
    const std::string scenario = Write(dir, "s.json", R"({"physics": {"timeStep": 12.3456789}, )" + kTwoBodies + "}");
    const std::string universe = (dir / "u.universe").string();
    ASSERT_EQ(Sim(dir, scenario + " --frames 0 --save " + universe).status, 0);
    std::ifstream in(universe, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const double step = 12.3456789;
    uint64_t bits;
    std::memcpy(&bits, &step, 8);
    char be[8];
    for (int k = 0; k < 8; ++k) be[k] = char(bits >> (56 - 8 * k));
    auto at = std::search(bytes.begin(), bytes.end(), be, be + 8);
    ASSERT_NE(at, bytes.end());
    ASSERT_EQ(std::search(at + 1, bytes.end(), be, be + 8), bytes.end()) << "the step's bytes must be unique";
    at[0] = char(at[0] ^ 0x20);  // the exponent's second bit: 12.3 s becomes about 1.6e155 s
    const double flipped = [&] {
        uint64_t b = 0;
        for (int k = 0; k < 8; ++k) b = (b << 8) | uint8_t(at[k]);
        double d;
        std::memcpy(&d, &b, 8);
        return d;
    }();
    ASSERT_GT(std::fabs(flipped), 1e12);
    std::ofstream(universe, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    const SimRun r = Sim(dir, "--load " + universe + " --frames 3");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("timeStep is"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
