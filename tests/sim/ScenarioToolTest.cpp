// The scenario tool: hostile files and values refused with exit status 2 and the field named in
// one line, whole numbers out of range refused rather than wrapped; a good scenario runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>

#include "ScratchDir.h"
#include "core/Records.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
// Exit status and error output of the tool on `args`, or its standard output with `out`.
int RunSim(const std::string& args, std::string& text, bool out = false) {
    FILE* p = popen((std::string(GRAVITAS_SIM_BINARY) + " " + args + (out ? " 2>/dev/null" : " 2>&1 >/dev/null")).c_str(), "r");
    char buf[4096];
    text.clear();
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    return WEXITSTATUS(pclose(p));
}

TEST(ScenarioTool, HostileFilesAndValuesAreRefusedWithTheField) {
    static const ScratchDir folder;  // other builds' test runs share the system's temporary folder
    const std::string giant = std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/ringed-giant.json", file = folder.prefix() + "s.json";
    const std::string body = R"("bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"craft":true}])";
    const std::pair<std::string, std::string> cases[] = {
        {"{ not json", ""}, {R"({"physics":{"method":"leapfrog"},"bodies":[]})", "method"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"radius":1}]})", "mass"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1e999,"radius":1}]})", ""},
        {R"({"physics":{"pushesPerFrame":4294967298},)" + body + "}", "pushesPerFrame"},
        {R"({"physics":{"pushesPerFrame":2147483647},)" + body + "}", "pushesPerFrame"},
        {R"({"physics":{"trailLength":18446744073709551615},)" + body + "}", "trailLength"},
        {R"({"view":{"cameraMode":-2147483649},)" + body + "}", "cameraMode"},
        {"{" + body + R"(,"timedThrust":[{"pushIndex":4294967296,"deltaV":5}]})", "pushIndex"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"parent":4294967297}]})", "parent"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":-1,"radius":1}]})", "mass is negative"},
        {R"({"view":{"viewAngle":0},)" + body + "}", "viewAngle"}};
    std::string text, err;
    for (const auto& [json, field] : cases) {
        std::ofstream(file) << json;
        EXPECT_EQ(RunSim(file, text), 2) << json;
        EXPECT_NE(text.find(field), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_FALSE(LoadScenarioJSONText(json, ".", err)) << json;
    }
    for (const std::string& args : {std::string(), giant + " --frames x", giant + " --bogus", std::string("/nonexistent/file.json")})
        EXPECT_EQ(RunSim(args, text), 2) << args;
    ASSERT_TRUE(LoadScenarioJSONText(R"({"view":{"labelFlags":4294967295},)" + body + "}", ".", err)) << err;
    EXPECT_EQ(set.labelFlags, 4294967295u);  // the largest value that fits still loads
    ASSERT_EQ(RunSim(giant + " --frames 3", text, true), 0);
    const auto j = nlohmann::json::parse(text);
    EXPECT_EQ(j["pushCount"], 48);
    EXPECT_DOUBLE_EQ(j["simTime"].get<double>(), 48 * 30.0);
    EXPECT_EQ(j["bodies"][1]["name"], "Titan");
}
}  // namespace
