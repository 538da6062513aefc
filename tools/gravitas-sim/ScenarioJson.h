// JSON scenarios: every user-set body field and the physics and view settings, in SI units.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Picture files named by the scenario, per body index (empty = none), resolved to absolute paths.
struct ScenarioPictures {
    std::vector<std::string> surface;
    std::vector<std::string> ring;
};
ScenarioPictures& CurrentScenarioPictures();

// Replaces the bodies, schedule and settings in `set`; false with a one-line error on bad input
// (the previous state is then cleared).
bool LoadScenarioJSON(const std::string& path, std::string& error);
bool LoadScenarioJSONText(const std::string& text, const std::string& baseDir, std::string& error);
// The current scenario in the same format (round-trips every field LoadScenarioJSON reads).
std::string ExportScenarioJSON();
// Final state of the run-time bodies plus pushCount and simTime.
std::string RunStateJSON();
// Empty when every number of the run's state is finite; else names the first body and field that is not.
std::string RunStateProblem();
