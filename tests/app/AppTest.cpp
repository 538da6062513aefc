// The running application as the user meets it: keys, clicks and menu choices arrive as Qt
// events and reach the simulation; files open, the recent list and the window places work
// through the real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <fstream>
#include <tuple>

#include "QtTestApp.h"
#include "core/Control.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtMenus.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"
#include "shell/Document.h"
#include "shell/FramePacing.h"
#include "shell/WindowPlaces.h"
#include "sim/Bodies.h"

namespace {

bool germanLocale = false;
QtBackend* backend = nullptr;
QtMainWindow* window = nullptr;
QWidget* Preview() { return window->Preview(); }

struct App : ::testing::Test {
    static void SetUpTestSuite() {
        TestApplication();
        // As a German user runs it: QApplication takes the locale from the environment; numbers must not.
        germanLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        SetPlatformBackend(backend = new QtBackend);
        SetMainWindowServices(window = new QtMainWindow);
        window->StopFrameTimer();
        window->resize(640, 480);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        InitializeAll();
        window->resize(800, 480);  // wide enough for every menu title on the offscreen screen
        window->activateWindow();  // in the background the modifier and arrow flags are held off
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        ASSERT_TRUE(OpenDocumentFile(GRAVITAS_SOURCE_DIR "/data/universes/ringed-giant.universe"));
    }
    static void TearDownTestSuite() {
        DisposeAll();
        SetMainWindowServices(nullptr);
        delete window;
        SetPlatformBackend(nullptr);
        delete backend;
    }
    void SetUp() override { ClearControl(kPausedControl), ClearControl(kShowFPSControl); }
    void TearDown() override { ClearControl(kPausedControl); }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) window->RunOnePass(), QApplication::processEvents();
    }
};

// File › Open Recent opened with real clicks, as a user does; null when it did not open.
QMenu* OpenRecentMenu(QMenu*& file) {
    QMenuBar* bar = window->menuBar();
    QAction* title = bar->actions().value(kFileMenu - kAppleMenu);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
    file = title->menu();
    if (!EventuallyTrue([file] { return file->isVisible(); })) return nullptr;
    QAction* item = window->Menus()->ActionFor(kFileMenu, kOpenRecentItem);
    file->setActiveAction(item);  // as hovering over it does
    QMenu* sub = item->menu();
    sub->popup(file->mapToGlobal(file->actionGeometry(item).topRight()));
    return EventuallyTrue([sub] { return sub->isVisible(); }) ? sub : nullptr;
}

QAction* ItemNamed(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

void Click(QMenu* menu, const char* item) {
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(ItemNamed(menu, item)).center());
    QApplication::processEvents();
}

// The next message box to come up is read into `shown` and accepted, as a user would.
void AcceptNextMessageBox(QString& shown) {
    QTimer::singleShot(0, [&shown] {
        EventuallyTrue([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; });
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
}

}  // namespace

TEST_F(App, KeysToggleOrHoldTheirControlFlags) {
    QTest::keyClick(Preview(), Qt::Key_Space);
    EXPECT_TRUE(GetControl(kPausedControl));
    QTest::keyClick(Preview(), Qt::Key_Space);
    EXPECT_FALSE(GetControl(kPausedControl));
    QTest::keyClick(Preview(), Qt::Key_F);
    EXPECT_TRUE(GetControl(kShowFPSControl));
    struct Key { Qt::Key key; Qt::KeyboardModifiers mods; int32_t flag; };
    const Key held[] = {{Qt::Key_Up, Qt::NoModifier, kUpArrowControl},
                        {Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier, kKeypad2Control},  // steers
                        {Qt::Key_Minus, Qt::NoModifier, kKeypadMinusControl},  // zooms without a keypad
                        {Qt::Key_Equal, Qt::NoModifier, kKeypadPlusControl},
                        {Qt::Key_Plus, Qt::ShiftModifier, kKeypadPlusControl},
                        {Qt::Key_PageUp, Qt::NoModifier, kKeypadMinusControl},
                        {Qt::Key_PageDown, Qt::NoModifier, kKeypadPlusControl},
                        {Qt::Key_PageUp, Qt::KeypadModifier, kKeypad9Control}};  // keypad 9 without Num Lock pans
    const QRect before = window->geometry();
    for (const Key& k : held) {
        QTest::keyPress(Preview(), k.key, k.mods);
        EXPECT_TRUE(GetControl(k.flag)) << k.key;
        EXPECT_EQ(GetControl(kKeypadMinusControl), k.flag == kKeypadMinusControl) << k.key;
        QTest::keyRelease(Preview(), k.key, k.mods);
        EXPECT_FALSE(GetControl(k.flag)) << k.key;
    }
    QApplication::processEvents();
    EXPECT_EQ(window->geometry(), before) << "Ctrl+keypad 2 is no layout";
    EXPECT_EQ(disappearingMenuBar, 0);
    // Without a window manager no window is active and Qt's shortcut map matches nothing: Ctrl+R still pauses.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier, QString(QChar(18)));
    static_cast<QObject*>(Preview())->event(&press);  // past QApplication::notify and its shortcut map
    EXPECT_TRUE(GetControl(kPausedControl));
}

TEST_F(App, FramesAdvanceTheSimulationButNotWhileADialogIsUpNorSpinThen) {
    frameRateChoice = FrameRateChoice::Unlimited;  // one batch a frame, however quick the frames
    const int32_t pushes = rt.pushCount;
    Frames(3);
    frameRateChoice = FrameRateChoice::Display;
    EXPECT_EQ(rt.pushCount, pushes + 3 * set.pushesPerFrame);
    QDialog dialog(window);
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    const int32_t during = rt.pushCount;
    Frames(3);
    EXPECT_EQ(rt.pushCount, during);
    window->StartFrameTimer();
    const long tried = window->PassesTried();
    QTest::qWait(600);
    EXPECT_LE(window->PassesTried() - tried, 600 / QtMainWindow::kModalPollMs + 3) << "a spinning timer: thousands";
    dialog.hide();
    EXPECT_TRUE(EventuallyTrue([&] { return rt.pushCount > during; })) << "frames run again";
    window->StopFrameTimer();
}

TEST_F(App, AQuickClickSelectsABodyAndADoubleClickFollowsItUntilUndone) {
    SetControl(kPausedControl);  // the bodies stay where they were drawn
    Frames(2);
    const int32_t followed = set.cameraSelection;
    int target = -1;  // a body on screen other than the first and the followed one, not behind another's disc
    for (int i = 1; i < BodyRTList()->count; ++i) {
        const Point q = BodyRTList()->body[i].screenPos;
        if (i != followed && q.h > 4 && q.v > 4 && q.h < Preview()->width() - 4 && q.v < Preview()->height() - 4 &&
            BodyUnderPoint(q.h, q.v, 0) == i)
            target = i;
    }
    ASSERT_GT(target, 0);
    const QPoint p(BodyRTList()->body[target].screenPos.h, BodyRTList()->body[target].screenPos.v);
    rt.selectedBody = 0;
    QTest::mouseClick(Preview(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(rt.selectedBody, target);
    rt.selectedBody = 0;  // a long press steers the camera instead
    QTest::mousePress(Preview(), Qt::LeftButton, Qt::NoModifier, p);
    window->RunOnePass();
    EXPECT_TRUE(GetControl(kMouseTrackControl));
    QTest::qWait(600);
    QTest::mouseRelease(Preview(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(rt.selectedBody, 0);
    QTest::mouseDClick(Preview(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(set.cameraSelection, target);
    EXPECT_TRUE(CameraModeUsesBody(set.cameraMode));
    QTest::keyClick(Preview(), Qt::Key_Z, Qt::ControlModifier);  // one undo step takes it back
    QApplication::processEvents();
    EXPECT_EQ(set.cameraSelection, followed);
}

TEST_F(App, TheGravitationalConstantSurvivesOkUnderAGermanLocale) {
    ASSERT_TRUE(germanLocale) << "de_DE.UTF-8 is not installed";
    set.gravConstant = 6.672e-11;
    QTimer::singleShot(0, [] {  // OK the dialog as a user would, once it is up
        EventuallyTrue([] { return QApplication::activeModalWidget() != nullptr; });
        if (QWidget* d = QApplication::activeModalWidget()) QTest::keyClick(d, Qt::Key_Return);
    });
    QTest::keyClick(Preview(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_NEAR(set.gravConstant, 6.672e-11, 1e-24) << "under de_DE it came back as 6e-11";
}

TEST_F(App, AFileThatFailsToOpenSaysWhyAndOpenRecentOpensOneAfresh) {
    const std::string garbage = ::testing::TempDir() + "/garbage.universe";
    std::ofstream(garbage) << "this is no universe";
    const int32_t bodies = BodyList()->count;
    QString shown;
    AcceptNextMessageBox(shown);
    window->OpenDocument(QString::fromStdString(garbage));
    EXPECT_TRUE(shown.contains("garbage.universe")) << shown.toStdString();
    EXPECT_GT(shown.size() - shown.indexOf("cannot be opened:"), 25) << "the loader's reason follows";
    EXPECT_EQ(BodyList()->count, bodies) << "the scenario stays as it was";
    Frames(3);
    ASSERT_GT(rt.pushCount, 0);
    QMenu* file = nullptr;
    QMenu* sub = OpenRecentMenu(file);
    ASSERT_TRUE(sub && ItemNamed(sub, "ringed-giant.universe"));
    Click(sub, "ringed-giant.universe");
    EXPECT_TRUE(EventuallyTrue([&] { return !file->isVisible(); }));
    EXPECT_EQ(rt.pushCount, 0) << "opened afresh";
    EXPECT_EQ(DocumentName(), "ringed-giant");
}

TEST_F(App, WindowPlacesComeBackOnlyWhereAScreenShowsThem) {
    SettingsStore store;
    const Rect screen = window->ScreenRects().at(0);
    window->MoveWindowTo(kMainWindowId, int16_t(screen.left + 30), int16_t(screen.top + 40));
    window->SizeWindowContent(kMainWindowId, 500, 300);
    window->MoveWindowTo(kStatsWindowId, int16_t(screen.left + 300), int16_t(screen.top + 200));
    auto places = [] {
        QApplication::processEvents();
        const Rect m = window->WindowContentRect(kMainWindowId), s = window->WindowContentRect(kStatsWindowId);
        return std::tuple(m.left, m.top, m.right - m.left, m.bottom - m.top, s.left, s.top);
    };
    const auto moved = places();
    RememberWindowPlaces(store);
    SetupWindows(1);  // the standard layout puts them elsewhere
    ASSERT_NE(places(), moved);
    RestoreWindowPlaces(store);
    ASSERT_EQ(places(), moved);
    // Right of the screen, or with its title bar too low to grasp: the window stays where it is.
    const int w = screen.right - screen.left, h = screen.bottom - screen.top;
    for (const WindowPlaceStruct p : {WindowPlaceStruct{screen.left + w + 10, screen.top + 40, 400, 200},
                                      WindowPlaceStruct{screen.left + 30, screen.bottom - 20, 400, h / 4}}) {
        store.WriteSetting("windows/main", WindowPlaceText(p));
        RestoreWindowPlaces(store);
        EXPECT_EQ(places(), moved) << WindowPlaceText(p);
    }
    window->resize(800, 480);
}
