#include "shell/Document.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "core/MenuModel.h"
#include "core/ParameterCommands.h"
#include "io/FileFolders.h"
#include "io/FileTypes.h"
#include "io/Pictures.h"
#include "io/Universe.h"
#include "io/UniverseStrings.h"
#include "shell/Confirm.h"
#include "shell/History.h"
#include "shell/OpeningNote.h"
#include "shell/RecentFiles.h"
#include "shell/RecentFilesMenu.h"

namespace {

bool IsThere(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void TellFileIsGone(const std::string& path) {
    const std::filesystem::path p(path);
    Platform().CautionAlert("The file \u201c" + p.filename().string() + "\u201d is no longer in " +
                            p.parent_path().string() + ". It has been removed from Open Recent.");
}


struct DocumentState {
    std::string path;
    uint64_t savedRevision = 1;  // ScenarioContentRevision() when last opened or saved
    // What the main window was last told.
    std::string shownPath;
    bool shownModified = false;
    bool told = false;
};

DocumentState document;

void TakePresentStateAsSaved(const std::string& path) {
    document.path = path;
    document.savedRevision = ScenarioContentRevision();
    RefreshDocumentTitle();
    NoteRecentDocument(path);
}

// Every way of opening a universe ends here.
bool LoadDocument(const std::string& path) {
    if (!LoadAllSettingsFrom(path)) return false;  // the failure was reported
    TakePresentStateAsSaved(path);
    ShowOpeningNote();
    return true;
}

bool SaveTo(const std::string& path) {
    if (!SaveAllSettingsTo(path, true)) return false;  // the failure was reported
    TakePresentStateAsSaved(path);
    return true;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
    return true;
}

}  // namespace

std::string DocumentPath() { return document.path; }

std::string DocumentName() {
    if (document.path.empty()) return "Untitled";
    return std::filesystem::path(document.path).stem().string();
}

bool IsDocumentModified() { return ScenarioContentRevision() != document.savedRevision; }

DialogLayout SaveChangesLayout(const std::string& name) {
    DialogLayout layout = QuestionLayout(440, 128, kSaveChangesSaveItem, kSaveChangesCancelItem);
    layout.title = "Unsaved Changes";
    layout.items = {
        MakeDialogItem(kSaveChangesQuestionItem, DialogItemKind::StaticText, Rect{20, 24, 76, 416},
                 "Save the changes to \u201c" + name + "\u201d? Without saving, they are lost."),
        MakeDialogItem(kSaveChangesDiscardItem, DialogItemKind::Button, Rect{88, 24, 108, 136}, "Don\u2019t Save"),
        MakeDialogItem(kSaveChangesCancelItem, DialogItemKind::Button, Rect{88, 232, 108, 312}, "Cancel"),
        MakeDialogItem(kSaveChangesSaveItem, DialogItemKind::Button, Rect{88, 328, 108, 416}, "Save"),
    };
    return layout;
}

bool AskToSaveChanges() {
    if (!IsDocumentModified()) return true;
    switch (AskWithButtons(SaveChangesLayout(DocumentName()))) {
        case kSaveChangesDiscardItem: return true;
        case kSaveChangesSaveItem: return SaveDocumentMenuItem();
        default: return false;  // cancelled, or no way to ask: keep the changes
    }
}

bool SaveDocumentMenuItem() {
    if (document.path.empty()) return SaveDocumentAsMenuItem();
    return SaveTo(document.path);
}

bool SaveDocumentAsMenuItem() {
    std::string path;
    const std::string suggested = document.path.empty() ? UniverseString(2) : DocumentName() + ".universe";
    if (ChooseSaveFileRemembered(UniverseString(1), suggested, kUniverseFileType, path) == 0) return false;
    return SaveTo(path);
}

bool OpenDocumentFile(const std::string& path) {
    if (EndsWithIgnoringCase(path, ".stars")) return ReplaceStarListFromFile(path);
    if (!AskToSaveChanges()) return false;
    return LoadDocument(path);
}

bool OpenDocumentMenuItem() {
    if (!AskToSaveChanges()) return false;
    std::string path;
    if (!NavChooseOneFile({kUniverseFileType}, path)) return false;
    return LoadDocument(path);
}

void RefreshDocumentTitle() {
    const bool modified = IsDocumentModified();
    if (document.told && modified == document.shownModified && document.shownPath == document.path) return;
    document.told = true;
    document.shownModified = modified;
    document.shownPath = document.path;
    MainWindow().ShowDocumentTitle(DocumentName(), modified);
}

bool ReopenDocumentFile() { return !document.path.empty() && LoadDocument(document.path); }

void StartUntitledDocument() {
    document.path.clear();
    document.savedRevision = UINT64_MAX;  // a revision the scenario never has: modified until saved
    RefreshDocumentTitle();
}

void ResetDocumentForTesting() {
    document = DocumentState{};
    document.savedRevision = ScenarioContentRevision();
}

void OpenRecentMenuItem(int16_t item) {
    const size_t count = recentFiles.paths.size();
    const MenuModel* menu = GetMenu(kRecentFilesMenu);
    if (menu && item == int16_t(menu->items.size())) {
        recentFiles.paths.clear();
        RecentFilesChanged();
        return;
    }
    if (item < 1 || size_t(item) > count) return;
    const std::string path = recentFiles.paths[size_t(item - 1)];
    if (!IsThere(path)) {
        RemoveRecentFile(recentFiles, path);
        RecentFilesChanged();
        TellFileIsGone(path);
        return;
    }
    OpenDocumentFile(path);
}
