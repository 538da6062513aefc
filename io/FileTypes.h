// File types, their extensions, and finding files by type.
#pragma once
#include <cstdint>
#include <string>

constexpr uint32_t kUniverseFileType = 0x4F525374;  // 'ORSt'
constexpr uint32_t kUniverseCreator = 0x71784F52;   // 'qxOR'
constexpr uint32_t kStarDataFileType = 0x53744461;  // 'StDa'
constexpr uint32_t kPictFileType = 0x50494354;      // 'PICT'

// First file of the type beside the application (then in the user data folder).
bool SearchForFileWithType(uint32_t fileType, std::string& path);
// ".universe", ".stars", ".pict"; null for other types.
const char* ExtensionForFileType(uint32_t fileType);
