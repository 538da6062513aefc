#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>

#include "core/Records.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
std::string Source(const std::string& rel) { return std::string(GRAVITAS_SOURCE_DIR) + "/" + rel; }

int RunSim(const std::string& args, std::string* out = nullptr) {
    std::string cmd = std::string(GRAVITAS_SIM_BINARY) + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    int status = pclose(p);
    if (out) *out = text;
    return WEXITSTATUS(status);
}

std::string Temp(const std::string& name, const std::string& content) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << content;
    return path;
}

TEST(ScenarioTool, BadInputExitsWithTwo) {
    EXPECT_EQ(RunSim(""), 2);
    EXPECT_EQ(RunSim(Temp("bad1.json", "{ not json")), 2);
    EXPECT_EQ(RunSim(Temp("bad2.json", R"({"physics":{"method":"leapfrog"},"bodies":[]})")), 2);
    EXPECT_EQ(RunSim(Temp("bad3.json", R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"radius":1}]})")), 2);
    EXPECT_EQ(RunSim(Temp("bad4.json", R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1e999,"radius":1}]})")), 2);
    EXPECT_EQ(RunSim(Source("data/scenarios/ringed-giant.json") + " --frames x"), 2);
    EXPECT_EQ(RunSim(Source("data/scenarios/ringed-giant.json") + " --bogus"), 2);
    EXPECT_EQ(RunSim("/nonexistent/file.json"), 2);
}

TEST(ScenarioTool, RunsFramesAndPrintsState) {
    std::string out;
    ASSERT_EQ(RunSim(Source("data/scenarios/ringed-giant.json") + " --frames 3", &out), 0);
    auto j = nlohmann::json::parse(out);
    EXPECT_EQ(j["pushCount"], 48);
    EXPECT_DOUBLE_EQ(j["simTime"].get<double>(), 48 * 30.0);
    ASSERT_EQ(j["bodies"].size(), 4u);
    EXPECT_EQ(j["bodies"][1]["name"], "Titan");
}

TEST(ScenarioTool, CrashStopPausesTheRun) {
    std::string path = Temp("crash.json", R"({"physics":{"onCrash":"stop","pushesPerFrame":4},
      "bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":10},{"pos":[15,0,0],"vel":[0,0,0],"mass":1,"radius":10}]})");
    std::string out;
    ASSERT_EQ(RunSim(path + " --frames 5", &out), 0);
    EXPECT_EQ(nlohmann::json::parse(out)["pushCount"], 1);
}

TEST(ScenarioJson, ExportRoundTripsEveryField) {
    std::string err;
    ASSERT_TRUE(LoadScenarioJSON(Source("data/scenarios/sun-earth-moon.json"), err)) << err;
    EXPECT_EQ(BodyList()->count, 4);
    EXPECT_EQ(set.pushMethod, kPushRungeKutta);
    EXPECT_EQ(GetTTCount(set.timedThrust), 2);
    EXPECT_EQ(GetCraftIndex(), 3);
    EXPECT_EQ(CurrentScenarioPictures().surface[1], "/usr/share/xplanet/images/earth.jpg");
    std::string first = ExportScenarioJSON();
    ASSERT_TRUE(LoadScenarioJSONText(first, ".", err)) << err;
    EXPECT_EQ(ExportScenarioJSON(), first);
    EXPECT_EQ(BodyList()->body[2].parent, 2);
    EXPECT_DOUBLE_EQ(BodyList()->body[1].axisTilt, 0.4091);
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = 0;
    DeallocateAllPushMemory();
}
}  // namespace

TEST(ScenarioJson, GaussRadauMethodReadsAndWritesByName) {
    std::string err;
    ASSERT_TRUE(LoadScenarioJSONText(
        R"({"physics":{"method":"gauss-radau"},"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1}]})", ".",
        err))
        << err;
    EXPECT_EQ(set.pushMethod, kPushGaussRadau);
    EXPECT_EQ(nlohmann::json::parse(ExportScenarioJSON())["physics"]["method"], "gauss-radau");
    DeallocateAllPushMemory();
}
