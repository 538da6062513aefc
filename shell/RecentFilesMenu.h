// File › Open Recent: the submenu built from the recent list, and the note the
// document takes of every file it opens or saves (the command itself is the document's).
#pragma once
#include <cstdint>
#include <string>

// Rebuilds the submenu's model from the list: the files, a separator and "Clear Menu".
void BuildRecentFilesMenu();
// The list changed: it is remembered and the submenu rebuilt.
void RecentFilesChanged();
// A universe was opened from or saved to this file: it goes first in the list.
void NoteRecentDocument(const std::string& path);
// At start-up: the list as the last run left it.
void RecallRecentFiles();
