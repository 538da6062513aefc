// File types, their extensions, and finding files by type.
#pragma once
#include <cstdint>
#include <string>

constexpr uint32_t kUniverseFileType = 0x4F525374;  // 'ORSt'
constexpr uint32_t kUniverseCreator = 0x71784F52;   // 'qxOR'
constexpr uint32_t kStarDataFileType = 0x53744461;  // 'StDa'
constexpr uint32_t kPictFileType = 0x50494354;      // 'PICT'
constexpr uint32_t kPngFileType = 0x504E4766;       // 'PNGf', exported pictures
constexpr uint32_t kMovieFileType = 0x4D6F6F56;     // 'MooV', recorded movies
constexpr uint32_t kHorizonsTextFileType = 0x54455854;  // 'TEXT', JPL Horizons vector tables

// First file of the type beside the application (then in the user data folder).
bool SearchForFileWithType(uint32_t fileType, std::string& path);
// ".universe", ".stars", ".pict", ".png", ".mp4", ".txt"; null for other types.
const char* ExtensionForFileType(uint32_t fileType);
