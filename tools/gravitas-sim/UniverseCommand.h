// --load / --save of universe files for the command-line tool.
#pragma once
#include <string>

// Both return true on success; on failure error holds a one-line message.
bool LoadUniverseForTool(const std::string& path, std::string& error);
bool SaveUniverseForTool(const std::string& path, std::string& error);
