#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>

#include "ScratchDir.h"
#include "core/Records.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
std::string Source(const std::string& rel) { return std::string(GRAVITAS_SOURCE_DIR) + "/" + rel; }

int RunSim(const std::string& args, std::string* out = nullptr, bool keepStderr = false) {
    std::string cmd = std::string(GRAVITAS_SIM_BINARY) + " " + args + (keepStderr ? " 2>&1 >/dev/null" : " 2>/dev/null");
    FILE* p = popen(cmd.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    int status = pclose(p);
    if (out) *out = text;
    return WEXITSTATUS(status);
}

// A folder of this process's own: test runs of other builds on the machine share the system's temporary folder.
std::string Temp(const std::string& name, const std::string& content) {
    static const ScratchDir folder;
    std::string path = folder.prefix() + name;
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
// Whole numbers out of their field's range are refused, not wrapped.
TEST(ScenarioTool, IntegersOutOfRangeAreRefusedWithTheField) {
    const std::string body = R"("bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"craft":true}])";
    std::string err;
    auto refused = [&](const std::string& json, const std::string& field) {
        std::string text;
        EXPECT_EQ(RunSim(Temp("range.json", json), &text, true), 2) << json;
        EXPECT_NE(text.find(field), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_FALSE(LoadScenarioJSONText(json, ".", err)) << json;
    };
    refused(R"({"physics":{"pushesPerFrame":4294967298},)" + body + "}", "pushesPerFrame");
    refused(R"({"physics":{"pushesPerFrame":-4294967295},)" + body + "}", "pushesPerFrame");
    refused(R"({"physics":{"pushesPerFrame":2147483647},)" + body + "}", "pushesPerFrame");
    refused(R"({"physics":{"trailLength":18446744073709551615},)" + body + "}", "trailLength");
    refused(R"({"view":{"labelFlags":4294967296},)" + body + "}", "labelFlags");
    refused(R"({"view":{"cameraMode":-2147483649},)" + body + "}", "cameraMode");
    refused("{" + body + R"(,"timedThrust":[{"pushIndex":4294967296,"deltaV":5}]})", "pushIndex");
    refused(R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"parent":4294967297}]})", "parent");
    refused(R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":-1,"radius":1}]})", "mass is negative");
    refused(R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":-1}]})", "radius is negative");
    refused(R"({"view":{"viewAngle":0},)" + body + "}", "viewAngle");
    // The largest values that fit still load.
    ASSERT_TRUE(LoadScenarioJSONText(R"({"view":{"labelFlags":4294967295},)" + body + "}", ".", err)) << err;
    EXPECT_EQ(set.labelFlags, 4294967295u);
    DeallocateAllPushMemory();
}

// What a scenario leaves out is what the application starts with.
TEST(ScenarioJson, LeftOutSettingsAreTheApplicationsDefaults) {
    std::string err;
    set.minPointSize = 0;
    set.eyeRadius = 0;
    ASSERT_TRUE(LoadScenarioJSONText(R"({"bodies":[]})", ".", err)) << err;
    EXPECT_EQ(set.minPointSize, 2);
    EXPECT_EQ(set.eyeRadius, 15);
    EXPECT_EQ(set.pushesPerFrame, 16);
    EXPECT_DOUBLE_EQ(set.viewAngle, 70.0);
    EXPECT_DOUBLE_EQ(set.gravConstant, 6.672e-11);
}

TEST(ScenarioJson, NamesAreCutBetweenCharactersAndExportAsText) {
    std::string err;
    const std::string name = std::string(30, 'n') + "\u00e9";  // 32 bytes
    ASSERT_TRUE(LoadScenarioJSONText(R"({"bodies":[{"name":")" + name +
                                         R"(","pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1}]})",
                                     ".", err))
        << err;
    EXPECT_EQ(BodyList()->body[0].name[0], 30);
    // Bytes that are not UTF-8 (as an old universe may hold) export as text, not as an error.
    BodyList()->body[0].name[0] = 3;
    BodyList()->body[0].name[1] = 0x8E;
    const auto j = nlohmann::json::parse(ExportScenarioJSON());
    EXPECT_EQ(j["bodies"][0]["name"], "\u00e9nn");
    DeallocateAllPushMemory();
}

TEST(ScenarioJson, FilesThatAreNotFilesAreRefusedAtOnce) {
    std::string err;
    EXPECT_FALSE(LoadScenarioJSON("/dev/zero", err));
    EXPECT_NE(err.find("/dev/zero"), std::string::npos) << err;
    EXPECT_FALSE(LoadScenarioJSON(::testing::TempDir(), err));
    EXPECT_NE(err.find("folder"), std::string::npos) << err;
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
