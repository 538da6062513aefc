// Universe files and scenarios a hostile hand wrote: a flipped exponent bit in the stored time
// step is refused naming the field; bodies naming each other as parents still run finitely.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Only an earlier body can be a parent, so a cycle leaves the values absolute.
TEST(HostileFiles, ACycleOfParentsRunsFinitely) {
    ScratchDir dir;
    const std::string text = R"({"physics": {"pushesPerFrame": 1}, "bodies": [
        {"name": "A", "parent": 2, "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8},
        {"name": "B", "parent": 1, "pos": [1.496e11, 0, 0], "vel": [0, 29780, 0], "mass": 6e24, "radius": 6.4e6},
        {"name": "C", "parent": 3, "pos": [-1.496e11, 0, 0], "vel": [0, -29780, 0], "mass": 6e24, "radius": 6.4e6}]})";
    const SimRun r = Sim(dir, WriteText((dir / "s.json").string(), text) + " --frames 10");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("null"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"pushCount\": 10"), std::string::npos) << r.out;
}

TEST(HostileFiles, AFlippedBitInAUniverseFilesTimeStepIsRefused) {
    ScratchDir dir;
    // An unusual step, so that its eight big-endian bytes occur once in the file.
    std::string scenario = kTwoBodies;
    scenario.insert(1, R"("physics": {"timeStep": 12.3456789}, )");
    const std::string universe = (dir / "u.universe").string();
    ASSERT_EQ(Sim(dir, WriteText((dir / "s.json").string(), scenario) + " --frames 0 --save " + universe).status, 0);
    std::string bytes = ReadText(universe);
    const double step = 12.3456789;
    uint64_t bits;
    std::memcpy(&bits, &step, 8);
    std::string be(8, '\0');
    for (int k = 0; k < 8; ++k) be[size_t(k)] = char(bits >> (56 - 8 * k));
    const size_t at = bytes.find(be);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(be, at + 1), std::string::npos) << "the step's bytes must be unique";
    bytes[at] = char(bytes[at] ^ 0x20);  // the exponent's second bit: 12.3 s becomes about 1.7e155 s
    WriteText(universe, bytes);
    const SimRun r = Sim(dir, "--load " + universe + " --frames 3");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("settings: timeStep is 1.7e+155 s, outside -1e12..1e12 s"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

// Massive bodies stay at 10,000; massless test particles bring a scenario to 100,000, which a
// universe file holds and gives back.
struct CountCase {
    const char* name;
    int32_t massive, particles, status;
    const char* message;
    bool asBelt;  // the particles from a belt entry, not written out one by one
};
class BodyCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(BodyCount, CapsMassiveBodiesAndParticlesApart) {
    const CountCase& c = GetParam();
    std::string text = R"({"physics": {"pushesPerFrame": 2}, "bodies": [)";
    const int32_t listed = c.massive + (c.asBelt ? 0 : c.particles);
    for (int32_t i = 0; i < listed; ++i)
        text += std::string(i ? "," : "") + R"({"name": "b", "pos": [)" + std::to_string(1e9 * (i + 1)) +
                R"(, 0, 0], "vel": [0, 1, 0], "radius": 1, "mass": )" + (i < c.massive ? "1e20" : "0") + "}";
    text += "]";
    if (c.asBelt)
        text += R"(, "belts": [{"count": )" + std::to_string(c.particles) +
                R"(, "primary": 1, "semiMajorAxis": [1e10, 2e10], "maxEccentricity": 0.1}])";
    ScratchDir dir;
    const std::string universe = (dir / "u.universe").string();
    const SimRun r = Sim(dir, WriteText((dir / "s.json").string(), text + "}") + " --frames 1 --save " + universe);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    if (c.status != 0) return;
    const SimRun back = Sim(dir, "--load " + universe + " --frames 1");
    EXPECT_EQ(back.status, 0) << back.err;
    size_t bodies = 0;
    for (size_t at = back.out.find("\"name\": "); at != std::string::npos; at = back.out.find("\"name\": ", at + 1))
        ++bodies;
    EXPECT_EQ(bodies, size_t(c.massive + c.particles));
}

INSTANTIATE_TEST_SUITE_P(Table, BodyCount,
                         ::testing::Values(CountCase{"TooManyMassive", 10001, 0, 2, "10001 bodies with mass, above the limit of 10000", false},
                                           CountCase{"ParticlesToTheLimit", 1, 99999, 0, "", true},
                                           CountCase{"PastTheLimit", 1, 100000, 2, "100001 bodies, above the limit of 100000", false},
                                           CountCase{"BeltPastTheLimit", 1, 100000, 2, "belt 1: the number of particles must lie in 1..99999", true}),
                         [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

}  // namespace
