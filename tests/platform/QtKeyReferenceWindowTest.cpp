// The keyboard and mouse reference window and the about box, as a user meets them.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "QtTestApp.h"
#include "core/Version.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtKeyReferenceWindow.h"

namespace {
const std::vector<KeyReferenceRow> kRows = {
    {"Keys", "Space", "Run or pause"},
    {"Keys", "F", "Frame rate"},
    {"Mouse", "Drag", "Turn"},
    {"Mouse", "Ctrl + keypad 2, 4, 6, 8", "Pan"},
    {"Menu shortcuts", "Ctrl+Shift+Z", "Edit \u203a Redo"},
};
}  // namespace

TEST(QtKeyReferenceWindow, ListsEveryRowUnderItsSectionAndDoesNotBlock) {
    TestApplication();
    QWidget* window = ShowKeyReferenceWindow(kRows);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal()) << "the simulation runs on beside the reference";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    auto* tree = window->findChild<QTreeWidget*>("keyReferenceList");
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Keys");
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "Space");
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(1), "Run or pause");
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->text(0), "Ctrl + keypad 2, 4, 6, 8") << "descriptions are not key sequences";
    EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(1), QString::fromUtf8("Edit \u203a Redo"));
    EXPECT_FALSE(tree->topLevelItem(2)->child(0)->text(0).isEmpty());

    // Asked again: the same window, refilled, not a second one.
    EXPECT_EQ(ShowKeyReferenceWindow({kRows[0]}), window);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    // Escape closes it; it can be shown again afterwards.
    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_TRUE(EventuallyTrue([&] { return !window->isVisible(); }));
    EXPECT_TRUE(ShowKeyReferenceWindow(kRows)->isVisible());
    window->close();
}

TEST(QtAboutBox, NamesTheVersion) {
    TestApplication();
    ASSERT_STRNE(kGravitasVersion, "unknown");
    QtBackend backend;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = box->text();
        box->accept();
    });
    backend.AboutBox("Total Run Time: 1 hour");
    EXPECT_TRUE(shown.contains(QString("Gravitas ") + kGravitasVersion)) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Total Run Time: 1 hour"));
}
