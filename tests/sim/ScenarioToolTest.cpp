// The scenario tool refuses hostile scenarios with exit status 2 and one line naming the field;
// whole numbers out of their field's range are refused rather than wrapped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

#include "ScratchDir.h"
#include "core/Records.h"
#include "sim/Bodies.h"
#include <nlohmann/json.hpp>

#include "tools/gravitas-sim/ScenarioJson.h"

TEST(ScenarioTool, HostileScenariosAreRefusedWithTheField) {
    const ScratchDir folder;  // other builds' test runs share the system's temporary folder
    const std::string file = folder.prefix() + "s.json", body = R"("bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"craft":true}])";
    const std::pair<std::string, std::string> cases[] = {
        {"{ not json", ""}, {R"({"physics":{"method":"leapfrog"},"bodies":[]})", ""},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"radius":1}]})", ""},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1e999,"radius":1}]})", ""},
        {R"({"physics":{"pushesPerFrame":4294967298},)" + body + "}", "pushesPerFrame"},
        {R"({"physics":{"pushesPerFrame":2147483647},)" + body + "}", "pushesPerFrame"},
        {R"({"physics":{"trailLength":18446744073709551615},)" + body + "}", "trailLength"},
        {R"({"view":{"cameraMode":-2147483649},)" + body + "}", "cameraMode"},
        {"{" + body + R"(,"timedThrust":[{"pushIndex":4294967296,"deltaV":5}]})", "pushIndex"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":1,"radius":1,"parent":4294967297}]})", "parent"},
        {R"({"bodies":[{"pos":[0,0,0],"vel":[0,0,0],"mass":-1,"radius":1}]})", "mass is negative"},
        {R"({"view":{"viewAngle":0},)" + body + "}", "viewAngle"}};
    std::string err;
    for (const auto& [json, field] : cases) {
        std::ofstream(file) << json;
        FILE* p = popen((std::string(GRAVITAS_SIM_BINARY) + " " + file + " 2>&1 >/dev/null").c_str(), "r");
        std::string text(4096, '\0');
        text.resize(fread(text.data(), 1, text.size(), p));
        EXPECT_EQ(WEXITSTATUS(pclose(p)), 2) << json;
        EXPECT_NE(text.find(field), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_FALSE(LoadScenarioJSONText(json, ".", err)) << json;
    }
    ASSERT_TRUE(LoadScenarioJSONText(R"({"view":{"labelFlags":4294967295},)" + body + "}", ".", err)) << err;
    EXPECT_EQ(set.labelFlags, 4294967295u);  // the largest value that fits still loads
    DeallocateAllPushMemory();
}

// The headless prediction: at most 2000 rows, the last push among them, the marks of the flight;
// still JSON when a body's name holds a quote and a backslash, which its marks' labels show.
TEST(ScenarioTool, PredictPrintsAThinnedPathWithItsMarksAndElements) {
    const ScratchDir folder;
    std::ifstream demo(std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/earth-to-moon.json");
    std::string scenario((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
    const size_t moon = scenario.find(R"("name": "Moon")");
    ASSERT_NE(moon, std::string::npos);
    std::ofstream(folder.prefix() + "quoted.json") << scenario.replace(moon, 14, R"("name": "Mo\"on\\")");
    for (const auto& [file, target] : {std::pair{std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/earth-to-moon.json", "Moon"},
                                       std::pair{folder.prefix() + "quoted.json", "Mo\"on\\"}}) {
        FILE* p = popen((std::string(GRAVITAS_SIM_BINARY) + " " + file + " --frames 0 --predict 9000").c_str(), "r");
        ASSERT_TRUE(p);
        std::string text;
        for (int c; (c = std::fgetc(p)) != EOF;) text += char(c);
        ASSERT_EQ(WEXITSTATUS(pclose(p)), 0) << text;
        const nlohmann::json j = nlohmann::json::parse(text);
        const auto& path = j["path"];
        EXPECT_LE(path.size(), 2000u);
        EXPECT_GT(path.size(), 1500u);
        EXPECT_EQ(path.back()[0], 9000);
        EXPECT_EQ(j["target"], target);
        EXPECT_EQ(j["elements"]["about"], "Earth");
        int burns = 0, approaches = 0;
        for (const auto& m : j["marks"]) {
            burns += m["kind"] == "burn";
            if (m["kind"] != "closestApproach") continue;
            ++approaches;
            EXPECT_EQ(m["label"].get<std::string>().rfind(std::string(target) + " ", 0), 0u) << m["label"];
        }
        EXPECT_EQ(burns, 2);
        EXPECT_EQ(approaches, 1);
    }
}
