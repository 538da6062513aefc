// Placeholder until persistence lands.
#include "tools/gravitas-sim/UniverseCommand.h"

bool LoadUniverseForTool(const std::string&, std::string& error) {
    error = "universe files are not available in this build";
    return false;
}
bool SaveUniverseForTool(const std::string&, std::string& error) {
    error = "universe files are not available in this build";
    return false;
}
