// The open universe as a document: its file, whether it has changes since it
// was opened or saved, the window title that says so, and the questions a
// user expects before changes are lost.
#pragma once
#include <string>

#include "platform/Platform.h"

// Items of the "save changes?" question.
constexpr int16_t kSaveChangesSaveItem = 1, kSaveChangesCancelItem = 2, kSaveChangesDiscardItem = 3,
                  kSaveChangesQuestionItem = 4;

std::string DocumentPath();   // empty until the universe was opened from or saved to a file
std::string DocumentName();   // the file's name without its extension, or "Untitled"
// A change since it was opened or saved (undoing back counts as none); a change of the
// view alone (camera, labels) or of the run is none: it is no reason to ask about saving.
bool IsDocumentModified();

// File › Open: asks about unsaved changes, then for a file. True when one was opened.
bool OpenDocumentMenuItem();
// Opens a file handed over by the desktop or the command line, asking first
// about unsaved changes; .stars files replace the star list and leave the document alone.
bool OpenDocumentFile(const std::string& path);
// File › Open Recent: opens the chosen file as OpenDocumentFile does; a file that is
// gone is taken off the list with a message naming it. The last item clears the list.
void OpenRecentMenuItem(int16_t item);
// File › Save writes to the document's file, or asks for one first; Save As always asks.
bool SaveDocumentMenuItem();
bool SaveDocumentAsMenuItem();
// Before the scenario is closed: true to go on (nothing to save, saved, or
// the user chose not to), false when the user cancelled or saving failed.
bool AskToSaveChanges();

DialogLayout SaveChangesLayout(const std::string& name);
// Tells the main window its title when the name or the modified state changed
// since it was last told; cheap enough for every frame.
void RefreshDocumentTitle();
// Opens the document's own file again without asking (a command that replaced the scenario
// gave up); false when there is no file or it cannot be read.
bool ReopenDocumentFile();
// A universe made by a command: no file yet, and changes to save.
void StartUntitledDocument();
// Tests: forget the file and take the present state as saved.
void ResetDocumentForTesting();
