// The Qt file dialogs open in the folder the logic asks for, the save dialog
// with the suggested name filled in there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "QtTestApp.h"
#include "ScratchDir.h"
#include "io/FileTypes.h"
#include "platform/qt/QtBackend.h"

namespace {

struct Seen {
    QString folder;
    QString name;
};

// Notes where the next file dialog opened and what name it offers, then cancels it.
void CancelNextFileDialog(Seen& seen) {
    QTimer::singleShot(0, [&seen] {
        EventuallyTrue([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; });
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            seen.folder = dialog->directory().absolutePath();
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) seen.name = name->text();
            dialog->reject();
        }
    });
}

}  // namespace

TEST(QtFileDialog, OpensInTheRememberedFolder) {
    TestApplication();
    ScratchDir scratch;
    QtBackend backend;
    const QString folder = QString::fromStdString(scratch.path().string());
    std::string path;
    Seen open;
    CancelNextFileDialog(open);
    EXPECT_FALSE(backend.ChooseFileIn(scratch.path().string(), {kUniverseFileType}, path));
    EXPECT_EQ(open.folder, folder);
    Seen save;
    CancelNextFileDialog(save);
    EXPECT_EQ(backend.ChooseSaveFileIn(scratch.path().string(), "Save", "Jupiter.universe", kUniverseFileType, path), 0);
    EXPECT_EQ(save.folder, folder);
    EXPECT_EQ(save.name, "Jupiter.universe");
}
