// libFuzzer target: any text either is refused as a scenario with a reason or
// loads; what loads exports to a scenario that loads again, and a second
// round exports exactly what the first did.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Records.h"
#include "io/ScenarioChecks.h"
#include "sim/Bodies.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckUsable() {
    Require(SettingsValueProblem(set).empty());
    if (const BodyListStruct* l = BodyList())
        for (int32_t k = 0; k < l->count; ++k) Require(BodyValueProblem(l->body[k], k).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    // The folder does not exist: the loader only resolves picture names, it never reads them.
    if (!LoadScenarioJSONText(text, "/nonexistent", error)) {
        Require(!error.empty() && error.find('\n') == std::string::npos);
        return 0;
    }
    CheckUsable();
    const std::string first = ExportScenarioJSON();
    Require(LoadScenarioJSONText(first, "/nonexistent", error));
    CheckUsable();
    // Names are shown (and so exported) safely; after one round they stay as they are.
    const std::string second = ExportScenarioJSON();
    Require(LoadScenarioJSONText(second, "/nonexistent", error));
    Require(ExportScenarioJSON() == second);
    return 0;
}
