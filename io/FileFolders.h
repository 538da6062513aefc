// File dialogs that open in the folder where the user last chose a file of
// the same kind (universes, pictures, movies, star data), remembered between runs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

bool ChooseFileRemembered(const std::vector<uint32_t>& types, std::string& path);
// As the platform's save dialog: 0 cancelled, 1 new file, 3 replacing one.
int32_t ChooseSaveFileRemembered(const std::string& message, const std::string& defaultName, uint32_t fileType,
                                 std::string& path);

// The settings key of the folder for files of this type.
std::string RememberedFolderKey(uint32_t fileType);
// The remembered folder, when it is still a folder; else empty.
std::string RememberedFolder(uint32_t fileType);
