// Picture files (512-byte header, then the picture bytes), the clipboard copy
// of the rendered frame, and choosing files by type.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Memory.h"

constexpr size_t kPictFileHeaderSize = 512;

// Picture files are regular files of at most kMaxPictureFileBytes.
// A block with the picture bytes, or none (stop alert with the reason when the file cannot be read).
Handle ReadPICTFile(const std::string& path);
// The same as plain bytes, without an alert; ok tells a readable (possibly empty) picture from a failure.
std::vector<uint8_t> ReadPICTFileBytes(const std::string& path, bool& ok);
// As above; why is empty on success and says what is wrong otherwise.
std::vector<uint8_t> ReadPICTFileChecked(const std::string& path, std::string& why);
// Writes 512 zero bytes then the picture; an older, longer file is replaced whole.
bool WritePICTFile(Handle picture, const std::string& path);
Handle UserGetPICTFile();
// Asks for one file of the given types (none = all files); false on cancel.
bool NavChooseOneFile(const std::vector<uint32_t>& types, std::string& path);
void CopyPictureToScrap();
