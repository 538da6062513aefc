#include "shell/ImportHorizons.h"

#include <string>

#include "io/FileTypes.h"
#include "io/HorizonsUniverse.h"
#include "io/Pictures.h"
#include "platform/Platform.h"
#include "shell/Document.h"
#include "shell/NewUniverse.h"

bool ImportHorizonsMenuItem() {
    if (!AskToSaveChanges()) return false;
    std::string path;
    if (!NavChooseOneFile({kHorizonsTextFileType}, path)) return false;
    std::string error, notes;
    if (!ImportHorizonsFile(path, error, notes)) {
        // The present universe was left as it was.
        Platform().SysBeep();
        Platform().StopAlert("The Horizons vectors could not be imported: " + error);
        return false;
    }
    PresentNewUniverse();
    if (!notes.empty()) Platform().CautionAlert(notes);
    return true;
}
