// --load / --save of universe files for the command-line tool.
#pragma once
#include <string>
#include <vector>

// Both return true on success; on failure error holds a one-line message.
// Cautions (and alerts after a success) are collected in warnings.
bool LoadUniverseForTool(const std::string& path, std::string& error, std::vector<std::string>& warnings);
bool SaveUniverseForTool(const std::string& path, std::string& error, std::vector<std::string>& warnings);
