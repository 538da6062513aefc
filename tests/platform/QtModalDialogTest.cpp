// The Qt modal dialog as the logic drives it: items at their boxes, hits
// through NextHit, keys mapped to the default and cancel items.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <cmath>

#include "QtTestApp.h"
#include "core/Dialogs.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtModalDialog.h"

namespace {

constexpr int16_t kOk = 1, kCancel = 2, kDelete = 3, kField = 4, kLabel = 5, kCheck = 6, kSwatch = 7, kAmp = 8;

DialogItem Item(int16_t number, DialogItemKind kind, Rect box, std::string text = "") {
    DialogItem item;
    item.number = number;
    item.kind = kind;
    item.box = box;
    item.text = std::move(text);
    return item;
}

DialogLayout TestLayout() {
    DialogLayout layout;
    layout.title = "Test";
    layout.width = 300;
    layout.height = 160;
    layout.items = {
        Item(kLabel, DialogItemKind::StaticText, Rect{10, 10, 26, 100}, "Name:"),
        Item(kField, DialogItemKind::EditText, Rect{8, 110, 28, 280}, "start"),
        Item(kCheck, DialogItemKind::CheckBox, Rect{40, 10, 60, 150}, "Rings"),
        Item(kSwatch, DialogItemKind::UserItem, Rect{40, 200, 50, 220}),
        Item(kAmp, DialogItemKind::Button, Rect{70, 10, 90, 100}, "A&B"),
        Item(kDelete, DialogItemKind::Button, Rect{120, 10, 140, 80}, "Delete"),
        Item(kCancel, DialogItemKind::Button, Rect{120, 120, 140, 200}, "Cancel"),
        Item(kOk, DialogItemKind::Button, Rect{120, 210, 140, 290}, "OK"),
    };
    return layout;
}

class QtDialog : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        dialog = std::make_unique<QtModalDialog>(TestLayout());
    }
    // Runs `act` once the dialog waits for the user; a dialog that never answers
    // is closed after two seconds so the test fails instead of hanging.
    int16_t HitAfter(const std::function<void()>& act) {
        QTimer::singleShot(0, dialog.get(), act);
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            dialog->close();
        });
        guard.start(2000);
        const int16_t hit = dialog->NextHit();
        EXPECT_FALSE(timedOut) << "no hit reached the dialog";
        return hit;
    }
    QWidget* W(int16_t item) { return dialog->ItemWidget(item); }
    std::unique_ptr<QtModalDialog> dialog;
};

}  // namespace

TEST_F(QtDialog, ItemsSitAtTheirLayoutBoxes) {
    ASSERT_NE(W(kField), nullptr);
    EXPECT_EQ(W(kField)->geometry(), QRect(110, 8, 170, 20));
    EXPECT_EQ(W(kSwatch)->geometry(), QRect(200, 40, 20, 10));
    EXPECT_NE(qobject_cast<QLineEdit*>(W(kField)), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(W(kLabel)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(W(kCheck)), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(W(kOk)), nullptr);
    EXPECT_EQ(W(99), nullptr);
    EXPECT_EQ(dialog->size(), QSize(300, 160));
}

TEST_F(QtDialog, ReturnAndEnterChooseTheDefaultEscapeAndCommandPeriodCancel) {
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(dialog.get(), Qt::Key_Return); }), kOk);
    // Keys typed into a field reach the dialog too.
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(W(kField), Qt::Key_Enter, Qt::KeypadModifier); }), kOk);
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(W(kField), Qt::Key_Escape); }), kCancel);
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(W(kField), Qt::Key_Period, Qt::ControlModifier); }), kCancel);
    // A plain period is typing, not a cancel.
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(W(kField), Qt::Key_Period); }), 0);
    EXPECT_EQ(dialog->ItemText(kField), "start.");
}

TEST_F(QtDialog, ClosingTheWindowCancelsAndKeepsItOpen) {
    EXPECT_EQ(HitAfter([&] { dialog->close(); }), kCancel);
    EXPECT_TRUE(dialog->isVisible());  // the logic decides when it goes
}

TEST_F(QtDialog, ButtonsReportTheirNumbersDisabledOnesNothing) {
    EXPECT_EQ(HitAfter([&] { QTest::mouseClick(W(kDelete), Qt::LeftButton); }), kDelete);
    dialog->SetItemEnabled(kDelete, false);
    dialog->SetItemEnabled(kOk, false);
    EXPECT_EQ(HitAfter([&] {
                  QTest::mouseClick(W(kDelete), Qt::LeftButton);
                  QTest::keyClick(dialog.get(), Qt::Key_Return);  // the default button is disabled too
                  QTest::mouseClick(W(kAmp), Qt::LeftButton);
              }),
              kAmp);
    dialog->SetItemEnabled(kOk, true);
    EXPECT_EQ(HitAfter([&] { QTest::mouseClick(W(kOk), Qt::LeftButton); }), kOk);
}

TEST_F(QtDialog, CheckBoxHitLeavesTheValueToTheLogic) {
    dialog->SetItemValue(kCheck, false);
    EXPECT_EQ(HitAfter([&] { QTest::mouseClick(W(kCheck), Qt::LeftButton); }), kCheck);
    EXPECT_FALSE(dialog->ItemValue(kCheck));
    EXPECT_FALSE(static_cast<QCheckBox*>(W(kCheck))->isChecked());
    dialog->SetItemValue(kCheck, true);
    EXPECT_TRUE(dialog->ItemValue(kCheck));
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(W(kCheck), Qt::Key_Space); }), kCheck);
    EXPECT_TRUE(dialog->ItemValue(kCheck));
    EXPECT_FALSE(dialog->ItemValue(kOk));  // only check boxes have values
}

TEST_F(QtDialog, EditsReportNoItemOnceThenTheNextHit) {
    dialog->SelectItemText(kField);
    EXPECT_EQ(HitAfter([&] {
                  QTest::keyClicks(W(kField), "42");  // replaces the selected text
                  QTest::mouseClick(W(kOk), Qt::LeftButton);
              }),
              0);
    EXPECT_EQ(dialog->NextHit(), kOk);  // already waiting: no event loop needed
    EXPECT_EQ(dialog->ItemText(kField), "42");
    // Text set by the logic is no edit.
    dialog->SetItemText(kField, "7");
    EXPECT_EQ(HitAfter([&] { QTest::keyClick(dialog.get(), Qt::Key_Return); }), kOk);
}

TEST_F(QtDialog, TextsRoundTripForEveryKind) {
    EXPECT_EQ(dialog->ItemText(kField), "start");
    EXPECT_EQ(dialog->ItemText(kLabel), "Name:");
    EXPECT_EQ(dialog->ItemText(kAmp), "A&B");
    EXPECT_EQ(static_cast<QPushButton*>(W(kAmp))->text(), "A&&B");  // shown as an ampersand
    dialog->SetItemText(kField, "\u03a9 Centauri");
    dialog->SetItemText(kLabel, "Mass:");
    dialog->SetItemText(kAmp, "km/s");
    dialog->SetItemText(kCheck, "Picture");
    EXPECT_EQ(dialog->ItemText(kField), "\u03a9 Centauri");
    EXPECT_EQ(dialog->ItemText(kLabel), "Mass:");
    EXPECT_EQ(dialog->ItemText(kAmp), "km/s");
    EXPECT_EQ(dialog->ItemText(kCheck), "Picture");
    // Old names in the classic character set: 0xC9 is the ellipsis.
    dialog->SetItemText(kLabel, std::string("Jup\xC9"));
    EXPECT_EQ(static_cast<QLabel*>(W(kLabel))->text(), QString("Jup\u2026"));
    EXPECT_EQ(dialog->ItemText(99), "");
    // A label too wide for its box is set smaller rather than cut.
    const std::string longText = "Rotation period (s):";
    dialog->SetItemText(kLabel, longText);
    auto* label = static_cast<QLabel*>(W(kLabel));
    EXPECT_LT(label->font().pixelSize(), 12);
    const bool fits = QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width();
    EXPECT_TRUE(fits || label->font().pixelSize() == 9);  // never below legible
    EXPECT_EQ(dialog->ItemText(kLabel), longText);
}

TEST_F(QtDialog, UserItemShowsWhatTheLogicDrewAndReportsPresses) {
    const PixelSurface s = dialog->UserItemSurface(kSwatch);
    ASSERT_NE(s.base, nullptr);
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(s.height, 10);
    EXPECT_GE(s.rowBytes, 80);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.base[size_t(y) * size_t(s.rowBytes / 4) + size_t(x)] = x < 10 ? 0x00FF0000u : 0x000000FFu;
    dialog->PresentUserItem(kSwatch);
    const QImage shown = W(kSwatch)->grab().toImage();
    EXPECT_EQ(shown.pixel(2, 5) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(shown.pixel(15, 5) & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(dialog->UserItemSurface(kField).base, nullptr);  // only user items have pixels
    EXPECT_EQ(HitAfter([&] { QTest::mouseClick(W(kSwatch), Qt::LeftButton, {}, QPoint(3, 3)); }), kSwatch);
}

TEST_F(QtDialog, PopUpMenuReturnsTheChosenEntryOrNothing) {
    const std::vector<std::string> entries{"None", "-", "Sun", "Earth"};
    bool sawCheck = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 4);
        EXPECT_TRUE(actions[1]->isSeparator());
        sawCheck = actions[2]->isChecked() && !actions[0]->isChecked();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(actions[3]).center());
    });
    EXPECT_EQ(dialog->PopUpMenu(kSwatch, entries, 3), 4);
    EXPECT_TRUE(sawCheck);
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog->PopUpMenu(kSwatch, entries, 1), 0);
    EXPECT_EQ(dialog->PopUpMenu(99, entries, 1), 0);
}

// The whole road: the backend opens the dialog and the logic's own loop reads it.
TEST(QtBackendDialogs, TheLogicRunsItsDialogOnQt) {
    TestApplication();
    QtBackend backend;
    SetPlatformBackend(&backend);
    MyReal g = 6.674e-11;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<QtModalDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        auto* mantissa = qobject_cast<QLineEdit*>(d->ItemWidget(kGravMantissaItem));
        auto* exponent = qobject_cast<QLineEdit*>(d->ItemWidget(kGravExponentItem));
        ASSERT_NE(mantissa, nullptr);
        ASSERT_NE(exponent, nullptr);
        EXPECT_TRUE(mantissa->hasSelectedText());  // the first field comes up selected
        QTest::keyClicks(mantissa, "2.5");
        exponent->selectAll();
        QTest::keyClicks(exponent, "3");
        QTest::keyClick(exponent, Qt::Key_Return);
    });
    EXPECT_EQ(DoGravitationalConstantDialog(&g), 1);
    EXPECT_NEAR(g, 2500.0, 1e-9);
    SetPlatformBackend(nullptr);
}

TEST(QtBackendDialogs, ColourPickerConfirmsOrCancels) {
    TestApplication();
    QtBackend backend;
    RGBColor color{0x1111, 0x2222, 0x3333};
    QString title;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        title = picker->windowTitle();
        picker->setCurrentColor(QColor(0x80, 0x40, 0xFF));
        picker->accept();
    });
    ASSERT_TRUE(backend.ChooseColor("Body colour", color));
    EXPECT_EQ(title, "Body colour");
    EXPECT_EQ(color.red, 0x8080);
    EXPECT_EQ(color.green, 0x4040);
    EXPECT_EQ(color.blue, 0xFFFF);
    QTimer::singleShot(0, [] {
        if (auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) picker->reject();
    });
    EXPECT_FALSE(backend.ChooseColor("Body colour", color));
    EXPECT_EQ(color.red, 0x8080);  // a cancelled pick changes nothing
}

TEST_F(QtDialog, ALongNumberShowsItsLeadingDigits) {
    // The editor writes 3.844e5 km with 12 decimals; the tail "844000000000" told the user nothing.
    dialog->show();
    auto* field = qobject_cast<QLineEdit*>(dialog->ItemWidget(kField));
    ASSERT_NE(field, nullptr);
    const std::string text = "384400.000000000000";
    dialog->SetItemText(kField, text);
    EXPECT_EQ(dialog->ItemText(kField), text);
    EXPECT_EQ(field->cursorPosition(), 0);
    // What is drawn begins with the leading digits: the first glyph's column is lit.
    const QImage shown = field->grab().toImage();
    const QFontMetrics metrics(field->font());
    const int firstDigitWidth = metrics.horizontalAdvance("3");
    int litColumns = 0;
    for (int x = 0; x < firstDigitWidth + 8 && x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (qGray(shown.pixel(x, y)) < 100) {
                ++litColumns;
                break;
            }
    EXPECT_GT(litColumns, 0);
}

TEST_F(QtDialog, AnItemsHelpShowsWhereThePointerRests) {
    dialog->SetItemTip(kField, "Mass of the body, in grams & more");
    dialog->SetItemTip(kSwatch, "Colour of the body");
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    EXPECT_EQ(W(kField)->toolTip(), "Mass of the body, in grams & more");
    EXPECT_EQ(W(kSwatch)->toolTip(), "Colour of the body");
    // The pointer resting on the field asks for its help, as Qt does after a pause.
    const QPoint inside(5, 5);
    QHelpEvent rest(QEvent::ToolTip, inside, W(kField)->mapToGlobal(inside));
    QApplication::sendEvent(W(kField), &rest);
    EXPECT_TRUE(EventuallyTrue([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "Mass of the body, in grams & more");
    QToolTip::hideText();
    dialog->SetItemTip(kField, "");
    EXPECT_TRUE(W(kField)->toolTip().isEmpty());
    dialog->SetItemTip(99, "no such item");  // ignored, no crash
}
