// File › Open Recent: the submenu built from the recent list, its commands,
// and the note the document takes of every file it opens or saves.
#pragma once
#include <cstdint>
#include <string>

// Rebuilds the submenu's model from the list: the files, a separator and "Clear Menu".
void BuildRecentFilesMenu();
// Opens the chosen file as File › Open would, after asking about unsaved
// changes; a file that is gone is taken off the list with a message naming
// it. The last item clears the list.
void OpenRecentMenuItem(int16_t item);
// A universe was opened from or saved to this file: it goes first in the list.
void NoteRecentDocument(const std::string& path);
// At start-up: the list as the last run left it.
void RecallRecentFiles();
