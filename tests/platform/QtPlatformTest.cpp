// The Qt layer through real events: keys, a modal dialog from an item layout, the windows, the settings file.
#include <gtest/gtest.h>

#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "QtTestApp.h"
#include "ScratchDir.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "platform/DialogKeys.h"
#include "shell/RecentFiles.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtModalDialog.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtSideWindow.h"

TEST(QtInput, KeysInTheLogicsCodes) {
    const auto P = Qt::KeypadModifier, C = Qt::ControlModifier;
    const struct { int key; Qt::KeyboardModifiers mods; const char* text; uint8_t ch, code; } keys[] = {
        {Qt::Key_Left, {}, "", 28, 0}, {Qt::Key_Up, {}, "", 30, 0}, {Qt::Key_Down, {}, "", 31, 0}, {Qt::Key_Backspace, {}, "\b", 8, 0},
        {Qt::Key_Q, C, "\x11", 'q', 0}, {Qt::Key_Equal, {}, "=", '=', kEqualKey}, {Qt::Key_Minus, {}, "-", '-', kMinusKey},
        {Qt::Key_PageDown, {}, "", 0, kPageDownKey}, {Qt::Key_Plus, P, "+", '+', kKeypadPlusKey}, {Qt::Key_2, P, "2", '2', kKeypad2Key},
        {Qt::Key_Left, P | C, "", '4', kKeypad4Key}, {Qt::Key_6, P, "6", '6', kKeypad6Key}, {Qt::Key_Home, P, "", '7', kKeypad7Key},
        {Qt::Key_Up, P, "", '8', kKeypad8Key}, {Qt::Key_PageUp, P, "", '9', kKeypad9Key}, {Qt::Key_Enter, P, "\r", 13, 0}};
    for (const auto& k : keys) {
        const QKeyEvent e(QEvent::KeyPress, k.key, k.mods, k.text);
        EXPECT_EQ(ClassicKeyMessage(&e), k.ch | uint32_t(k.code) << 8) << std::hex << k.key << " " << k.mods;
        EXPECT_EQ(IsSteeringKeypadKey(&e), (k.mods & P) && k.code) << std::hex << k.key;
    }
    EXPECT_EQ(ClassicModifiers(C | Qt::ShiftModifier | Qt::AltModifier), kCmdKeyModifier | kShiftKeyModifier | kOptionKeyModifier);
}

namespace {
constexpr int16_t kOk = 1, kCancel = 2, kDelete = 3, kField = 4, kLabel = 5, kCheck = 6, kSwatch = 7;
struct QtDialog : ::testing::Test {
    void SetUp() override {
        TestApplication();
        using K = DialogItemKind;
        dialog = std::make_unique<QtModalDialog>(DialogLayout{"Test", 300, 160, kOk, kCancel, {
            {kLabel, K::StaticText, {10, 10, 26, 100}, "Name:"}, {kField, K::EditText, {8, 110, 28, 280}, "start"},
            {kCheck, K::CheckBox, {40, 10, 60, 150}, "Rings"},  {kSwatch, K::UserItem, {40, 200, 50, 220}, ""},
            {kDelete, K::Button, {120, 10, 140, 80}, "A&B"},   {kCancel, K::Button, {120, 120, 140, 200}, "Cancel"},
            {kOk, K::Button, {120, 210, 140, 290}, "OK"}}});
    }
    int16_t HitAfter(const std::function<void()>& act) {  // the hit `act` causes
        bool late = false;
        QTimer guard;  // a dialog that never answers is closed after two seconds, failing the test
        guard.callOnTimeout([&] { late = true, dialog->close(); });
        guard.start(2000), QTimer::singleShot(0, dialog.get(), act);
        const int16_t hit = dialog->NextHit();
        EXPECT_FALSE(late) << "no hit reached the dialog";
        return hit;
    }
    int16_t Click(int16_t item) { return HitAfter([&] { QTest::mouseClick(W(item), Qt::LeftButton); }); }
    QWidget* W(int16_t item) { return dialog->ItemWidget(item); }
    std::unique_ptr<QtModalDialog> dialog;
};
}  // namespace

TEST_F(QtDialog, ItemsSitAtTheirBoxesAndShowTheirTexts) {
    EXPECT_EQ(std::pair(dialog->size(), W(kField)->geometry()), std::pair(QSize(300, 160), QRect(110, 8, 170, 20)));
    EXPECT_EQ(W(kDelete)->property("text").toString() + dialog->ItemText(kDelete).c_str(), "A&&BA&B") << "no mnemonic";
    dialog->SetItemText(kLabel, "Jup\xC9 Rotation period (s):");  // the classic character set: 0xC9 is the ellipsis
    EXPECT_EQ(dialog->ItemText(kLabel), "Jup\u2026 Rotation period (s):");
    EXPECT_LT(W(kLabel)->font().pixelSize(), 12) << "too wide for its box: set smaller, not cut";
    dialog->SetItemText(kField, "384400.000000000000");
    EXPECT_EQ(W(kField)->property("cursorPosition").toInt(), 0) << "the leading digits show";
}
TEST_F(QtDialog, KeysChooseTheDefaultOrCancelAlsoFromAFieldButNotADisabledDefault) {
    SetDialogKeyFilter(MyDefaultDialogFiltProc);  // as start-up registers it
    const std::tuple<int16_t, Qt::Key, Qt::KeyboardModifiers, int16_t> keys[] = {
        {0, Qt::Key_Return, {}, kOk},           {kField, Qt::Key_Enter, Qt::KeypadModifier, kOk},
        {kField, Qt::Key_Escape, {}, kCancel}, {kField, Qt::Key_Period, Qt::ControlModifier, kCancel},
        {kField, Qt::Key_Period, {}, 0}};  // a plain period is typing
    for (const auto& [target, key, mods, hit] : keys)
        EXPECT_EQ(HitAfter([&] { QTest::keyClick(target ? W(target) : dialog.get(), key, mods); }), hit) << key;
    EXPECT_EQ(dialog->ItemText(kField), "start.");
    EXPECT_EQ(HitAfter([&] { dialog->close(); }), kCancel);
    for (int16_t item : {kDelete, kOk}) dialog->SetItemEnabled(item, false);
    EXPECT_EQ(HitAfter([&] {
        QTest::mouseClick(W(kDelete), Qt::LeftButton), QTest::keyClick(dialog.get(), Qt::Key_Return);  // nothing
        QTest::mouseClick(W(kSwatch), Qt::LeftButton);
    }), kSwatch);
}
TEST_F(QtDialog, ClicksReportTheirItemsARunOfEditsOnceAndAPopUpItsEntry) {
    EXPECT_EQ(Click(kCheck), kCheck);
    EXPECT_FALSE(dialog->ItemValue(kCheck)) << "a hit flips nothing: the logic sets the value";
    dialog->SelectItemText(kField);
    EXPECT_EQ(HitAfter([&] { QTest::keyClicks(W(kField), "42"), QTest::mouseClick(W(kOk), Qt::LeftButton); }), 0);
    EXPECT_EQ(dialog->NextHit(), kOk);
    EXPECT_EQ(dialog->ItemText(kField), "42");
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const QList<QAction*> a = menu->actions();
        EXPECT_TRUE(a.size() == 4 && a[1]->isSeparator() && a[2]->isChecked() && !a[0]->isChecked());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a.back()).center());
    });
    EXPECT_EQ(dialog->PopUpMenu(kSwatch, {"None", "-", "Sun", "Earth"}, 3), 4);
}
// The object window: scroll bar actions become scroll parts, the height snaps to rows, presses and keys go on.
TEST(QtSideWindowTest, ScrollsSnapsAndHandsOnPressesAndKeys) {
    TestApplication();
    std::vector<std::pair<ScrollPart, int32_t>> scrolls;
    std::vector<std::array<int, 3>> presses;  // v, h, modifiers
    std::vector<int> keys;
    QtSideWindow window(SideWindowShape{"Objects", QSize(380, 196), true, true},
        SideWindowHandlers{{}, [&](Point p, uint16_t m, uint32_t, int16_t) { presses.push_back({p.v, p.h, m}); },
                           [&](ScrollPart part, int32_t v) { scrolls.emplace_back(part, v); }, {},
                           [&](QKeyEvent* e) { keys.push_back(e->key()); }});
    QScrollBar* bar = window.ScrollBar();
    window.SetScrollBar(3, 10, 4);
    EXPECT_EQ(std::tuple(bar->value(), bar->maximum(), bar->pageStep()), std::tuple(3, 10, 4));
    for (auto action : {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub})
        bar->triggerAction(action);
    bar->setSliderPosition(7);  // a drag of the thumb
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    const std::vector<std::pair<ScrollPart, int32_t>> parts{{ScrollPart::DownArrow, 0}, {ScrollPart::UpArrow, 0},
        {ScrollPart::PageDown, 0}, {ScrollPart::PageUp, 0}, {ScrollPart::Thumb, 7}, {ScrollPart::Thumb, 10}};
    EXPECT_EQ(scrolls, parts);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (auto [asked, snapped] : {std::pair{100, 106}, {97, 91}, {20, 31}}) {
        window.resize(500, asked);
        EXPECT_TRUE(EventuallyTrue([&] { return window.height() == snapped; })) << asked;
        EXPECT_EQ(std::tuple(window.width(), window.Surface().height), std::tuple(380, snapped)) << "only the height follows";
        EXPECT_EQ(bar->geometry(), QRect(380 - 16, 0, 16, snapped - 15)) << "right edge, above the size box";
    }
    QTest::mouseClick(&window, Qt::LeftButton, Qt::ShiftModifier, QPoint(300, 20));
    QTest::mouseClick(&window, Qt::MiddleButton, {}, QPoint(12, 25));  // nothing
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(12, 25));   // Alt-click, which window managers take
    EXPECT_EQ(presses, (std::vector<std::array<int, 3>>{{20, 300, kShiftKeyModifier}, {25, 12, kOptionKeyModifier}}));
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Space, Qt::Key_Space})) << "press and release";
}
// The main window owns both side windows, serves them by id and places windows by their content.
TEST(QtMainWindowTest, ServesAndPlacesTheSideWindows) {
    TestApplication();
    QtMainWindow main;
    main.StopFrameTimer(), main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QtSideWindow *objects = main.SideWindow(kObjectWindowId), *stats = main.SideWindow(kStatsWindowId);
    ASSERT_TRUE(objects && stats && objects->isVisible() && stats->isVisible() && !main.SideWindow(kMainWindowId));
    for (auto [id, left, top] : {std::tuple{kObjectWindowId, 300, 120}, {kStatsWindowId, 20, 400}, {kMainWindowId, 40, 90}}) {
        main.MoveWindowTo(id, int16_t(left), int16_t(top));
        const auto at = [&, id = id] { const Rect r = main.WindowContentRect(id); return std::pair(int(r.left), int(r.top)); };
        EXPECT_TRUE(EventuallyTrue([&] { return at() == std::pair(left, top); })) << id << ": " << at().first << "," << at().second;
    }
}

// QSettings in a folder of its own: written through at once; values that are not text (an edited file) are not read.
TEST(QtSettings, WrittenThroughAtOnceAndOnlyTextIsRead) {
    TestApplication();
    ScratchDir scratch;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(scratch.path()));
    RecentFilesStruct list, read;
    AddRecentFile(list, "/data/caf\u00e9, \"quoted\" = a.universe");
    {
        QtSettingsStore run1;  // still running: the batch is on disk all the same
        SaveRecentFiles(list, run1);
        std::ifstream file(scratch / "Gravitas" / "Gravitas.conf");
        EXPECT_NE(std::string(std::istreambuf_iterator<char>(file), {}).find("quoted"), std::string::npos);
    }
    LoadRecentFiles(read, *std::make_unique<QtSettingsStore>());
    EXPECT_EQ(read.paths, list.paths);
    std::ofstream(scratch / "Gravitas" / "Gravitas.conf", std::ios::trunc)
        << "[v]\nlist=one, two\nbytes=@ByteArray(/b)\nbad=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x2garbage)\nrect=@Rect(1 2 3 4)\n";
    std::string value;
    for (QtSettingsStore store; const char* key : {"v/list", "v/bytes", "v/bad", "v/rect", "v/none"}) EXPECT_FALSE(store.ReadSetting(key, value)) << key;
}
