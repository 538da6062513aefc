#include "shell/OpeningNote.h"

#include <cstdint>

#include "core/Control.h"
#include "platform/Platform.h"

namespace {
constexpr uint32_t kNoteTicks = 8 * 60;
uint32_t shownAt = 0;
bool shown = false, shownPaused = false;
}  // namespace

std::string OpeningNoteText(bool paused) {
    return std::string(paused ? "Paused: Space runs it." : "Running: Space pauses it.") +
           " View \u203a Fit All (Ctrl+0) shows every body.";
}

void ShowOpeningNote() {
    shown = true, shownPaused = GetControl(kPausedControl), shownAt = TickCount();
    MainWindow().ShowNoteInMainWindow(OpeningNoteText(shownPaused));
}

void UpdateOpeningNote(bool anotherNoteShown) {
    if (!shown) return;
    if (anotherNoteShown) {
        shown = false;
        return;
    }
    if (TickCount() - shownAt < kNoteTicks && bool(GetControl(kPausedControl)) == shownPaused) return;
    shown = false;
    MainWindow().ShowNoteInMainWindow("");
}
