// Picture files (512-byte header, then the picture bytes), the clipboard copy
// of the rendered frame, and choosing files by type.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Memory.h"

constexpr size_t kPictFileHeaderSize = 512;

// A block with the picture bytes, or none (stop alert when the file cannot be opened).
Handle ReadPICTFile(const std::string& path);
// The same as plain bytes; ok tells a readable (possibly empty) picture from a failure.
std::vector<uint8_t> ReadPICTFileBytes(const std::string& path, bool& ok);
// Writes 512 zero bytes then the picture, cutting off the tail of a longer old file.
bool WritePICTFile(Handle picture, const std::string& path);
Handle UserGetPICTFile();
// Asks for one file of the given types (none = all files); false on cancel.
bool NavChooseOneFile(const std::vector<uint32_t>& types, std::string& path);
void CopyPictureToScrap();
