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

// Where a write to path may land: links followed to their final target, which
// must be absent or a writable regular file. Empty paths, folders, devices,
// pipes, sockets and read-only files are refused; error says why in a few words.
bool ReplaceableTarget(const std::string& path, std::string& target, std::string& error);

// A new empty file of this process's own beside target, for contents that are
// then written there and put in place by CommitReplacement.
bool CreateFileBeside(const std::string& target, std::string& temp, std::string& error);

// Gives the complete file temp the permissions of an existing target, syncs it
// and renames it over target (a path from ReplaceableTarget). On failure temp is removed.
bool CommitReplacement(const std::string& temp, const std::string& target, std::string& error);

// Replaces the file at path with bytes. A symbolic link is written through to
// its target; an existing target keeps its permissions and must be a writable
// regular file. The new contents are synced before the rename, so a failure at
// any point leaves the earlier file as it was.
bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, size_t size, std::string& error);

// A file name that stays inside its folder: not empty, no '/', no NUL, not "." or "..".
bool IsPlainFileName(const std::string& name);
