// Careful file reading and replacing shared by every reader and writer of the
// application's files: only regular files are read, never more than a cap, and
// a replaced file is written beside its target, synced and renamed over it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole of a regular file of at most maxBytes. Folders, devices,
// FIFOs and sockets are refused without blocking; error says why in a few words.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, std::string& error);

// Replaces the file at path with bytes. A symbolic link is written through to
// its target; an existing target keeps its permissions and must be a writable
// regular file. The new contents are synced before the rename, so a failure at
// any point leaves the earlier file as it was.
bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, size_t size, std::string& error);

// A file name that stays inside its folder: not empty, no '/', no NUL, not "." or "..".
bool IsPlainFileName(const std::string& name);
