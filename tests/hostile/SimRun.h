#pragma once
// Runs gravitas-sim as a shell command line and collects its exit status and output.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "ScratchDir.h"

struct SimRun {
    int status;
    std::string out, err;
};

// `prefix` runs the tool as another user; stdout goes to `stdoutTo` when given.
inline SimRun Sim(const ScratchDir& dir, const std::string& args, const std::string& prefix = "",
                  const std::string& stdoutTo = "") {
    const std::string err = (dir / "stderr.txt").string();
    const std::string cmd = "timeout 300 " + prefix + std::string(GRAVITAS_SIM_BINARY) + " " + args + " 2>" + err +
                            (stdoutTo.empty() ? "" : " >" + stdoutTo);
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = WEXITSTATUS(pclose(p));
    std::ifstream e(err);
    return SimRun{status, out, std::string(std::istreambuf_iterator<char>(e), {})};
}

inline std::string WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline const std::string kTwoBodies = R"({"bodies": [
    {"name": "Sun", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8},
    {"name": "Earth", "pos": [1.496e11, 0, 0], "vel": [0, 29780, 0], "mass": 6e24, "radius": 6.4e6}]})";
