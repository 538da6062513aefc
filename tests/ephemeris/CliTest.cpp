// gravitas-sim's usage text, CSV and REBOUND exports and Horizons import, run as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "ScratchDir.h"

namespace {

std::string Slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

int Shell(const std::string& command, std::string& out) {
    out.clear();
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    return pclose(p);
}

const std::string kSim = GRAVITAS_SIM_BINARY;

TEST(Cli, HelpIsTheTextInTheDocs) {
    std::string help;
    ASSERT_EQ(Shell(kSim + " --help", help), 0);
    const std::string doc = Slurp(GRAVITAS_SOURCE_DIR "/docs/gravitas-sim.md");
    const size_t from = doc.find("```text\n"), to = doc.find("```", from + 8);
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(doc.substr(from + 8, to - from - 8), help);
    // Every option the tool's sources compare an argument with has its line.
    const std::string source = Slurp(GRAVITAS_SOURCE_DIR "/tools/gravitas-sim/main.cpp") +
                               Slurp(GRAVITAS_SOURCE_DIR "/tools/gravitas-sim/MovieCommand.cpp");
    const std::regex option("(?:arg [!=]= |\\{)\"(--[a-z-]+)\"");  // compared, or a row of the whole-number table
    int options = 0;
    for (std::sregex_iterator m(source.begin(), source.end(), option), end; m != end; ++m, ++options)
        EXPECT_NE(help.find("\n  " + (*m)[1].str() + " "), std::string::npos) << (*m)[1];
    EXPECT_GT(options, 20);
    std::string out;
    ASSERT_EQ(Shell(kSim + " --version", out), 0);
    EXPECT_EQ(out, std::string("gravitas-sim ") + GRAVITAS_VERSION + "\n");
    EXPECT_NE(Shell(kSim + " --bogus 2>&1", out), 0);
    EXPECT_NE(out.find("see --help"), std::string::npos) << out;
}

struct Export {
    const char* method;
    const char* integrator;
};
class CliExports : public ::testing::TestWithParam<Export> {};

// Names with a comma, quotes and non-ASCII letters must survive both the CSV and Python.
TEST_P(CliExports, CsvAndReboundScriptRoundTripEveryNumber) {
    ScratchDir dir;
    const std::string scenario = (dir / "s.json").string();
    std::ofstream(scenario) << R"({"physics": {"gravConstant": 6.6743e-11, "timeStep": 3600.0, "pushesPerFrame": 7,
        "method": ")" << GetParam().method << R"("},
      "bodies": [
        {"name": "Sun", "pos": [1.0e-3, -2.5e2, 3.3], "vel": [0.1, 0.2, -0.3], "mass": 1.98840987131653e+30, "radius": 6.96e8},
        {"name": "Earth, \"blue\"", "pos": [1.4959787e11, 0, 0], "vel": [0, 29784.69, 0.1], "mass": 5.972e24, "radius": 6371008.4},
        {"name": "Ĉeres", "pos": [0, 4.14e11, 1.0e10], "vel": [-17900.1, 0, 33.3], "mass": 9.38e20, "radius": 4.7e5}]})";
    const std::string csv = (dir / "s.csv").string(), py = (dir / "s.py").string();
    std::string out;
    ASSERT_EQ(Shell(kSim + " " + scenario + " --frames 4 --export-csv " + csv + " --export-rebound " + py, out), 0);
    const std::string check = std::string("python3 ") + GRAVITAS_SOURCE_DIR + "/tests/ephemeris/check_exports.py " + py +
                              " " + csv + " " + scenario + " 4 " + GetParam().integrator + " 2>&1";
    EXPECT_EQ(Shell(check, out), 0) << out;
}

INSTANTIATE_TEST_SUITE_P(Methods, CliExports,
                         ::testing::Values(Export{"gauss-radau", "ias15"}, Export{"runge-kutta", "leapfrog"},
                                           Export{"semi-implicit-euler", "leapfrog"}, Export{"wisdom-holman", "whfast"}),
                         [](const auto& info) { return std::string(info.param.integrator) + std::to_string(info.index); });

TEST(Cli, ImportsHorizonsTablesNamingADamagedLine) {
    ScratchDir dir;
    const std::string bad = (dir / "bad.txt").string();
    std::ofstream(bad) << "Target body name: Ceres\nOutput units    : KM-S\n$$SOE\n2451545.0 = A.D. 2000-Jan-01\n"
                          " X = 1.0E+08 Y = 2.0E+07 Z = 0.0\n VX= 0.0 VY= 3.0E+0x VZ= 0.0\n$$EOE\n";
    std::string out;
    EXPECT_NE(Shell(kSim + " --import-horizons " + bad + " 2>&1", out), 0);
    EXPECT_NE(out.find("bad.txt: line 6: expected NAME = number"), std::string::npos) << out;
}

}  // namespace
