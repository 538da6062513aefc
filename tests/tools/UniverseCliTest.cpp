// gravitas-sim --load/--save/--export-json: universe files and JSON scenarios round-trip.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int RunSim(const std::string& args) {
    const std::string cmd = std::string(GRAVITAS_SIM_BINARY) + " " + args + " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(cmd.c_str()));
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(UniverseCli, UniverseToJsonToUniverseLosesNothing) {
    ScratchDir scratch;
    const std::string dir = scratch.prefix();
    const std::string demo = std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe";
    ASSERT_EQ(RunSim("--load " + demo + " --export-json " + dir + "a.json"), 0);
    ASSERT_EQ(RunSim(dir + "a.json --save " + dir + "b.universe"), 0);
    ASSERT_EQ(RunSim("--load " + dir + "b.universe --export-json " + dir + "b.json"), 0);
    const std::string a = Slurp(dir + "a.json");
    EXPECT_GT(a.size(), 100u);
    EXPECT_EQ(a, Slurp(dir + "b.json"));
}

TEST(UniverseCli, DamagedUniverseIsRefusedAndTheTargetKept) {
    ScratchDir scratch;
    const std::string dir = scratch.prefix();
    { std::ofstream(dir + "bad.universe") << "not a resource file"; }
    EXPECT_EQ(RunSim("--load " + dir + "bad.universe"), 2);
    EXPECT_EQ(RunSim("--load " + dir + "missing.universe"), 2);
    // Saving into a folder that does not exist fails without creating anything.
    const std::string scenario = std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/ringed-giant.json";
    EXPECT_NE(RunSim(scenario + " --save /nonexistent-dir/x.universe"), 0);
}
