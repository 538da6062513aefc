// The running application as the user meets it: keys, clicks and menu
// choices arrive as Qt events and reach the simulation.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <clocale>
#include <cstdio>
#include <functional>

#include "QtTestApp.h"
#include "core/Control.h"
#include "core/Document.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/FramePacing.h"
#include "core/Menus.h"
#include "core/RecentFiles.h"
#include "core/RecentFilesMenu.h"
#include "core/WindowPlaces.h"
#include "io/Universe.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtMenus.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"

namespace {

bool EventuallyVisible(QWidget* w) { return EventuallyTrue([w] { return w->isVisible(); }); }

bool germanLocale = false;

class App : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gravitas-test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        // As a German user runs it: QApplication takes the locale from the
        // environment, and the numbers must not follow it.
        germanLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        backend = new QtBackend;
        SetPlatformBackend(backend);
        window = new QtMainWindow;
        window->StopFrameTimer();
        SetMainWindowServices(window);
        window->resize(640, 480);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        InitializeAll();  // shows the progress window while it prepares the stars
        window->resize(800, 480);  // wide enough for every menu title on the offscreen screen
        window->activateWindow();  // in the background the modifier and arrow flags are held off
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        // Opened as the application opens a file: the document starts unmodified.
        ASSERT_TRUE(OpenDocumentFile(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe"));
    }
    static void TearDownTestSuite() {
        DisposeAll();
        SetMainWindowServices(nullptr);
        delete window;
        SetPlatformBackend(nullptr);
        delete backend;
        delete app;
    }
    void SetUp() override {
        ClearControl(kPausedControl);
        ClearControl(kShowFPSControl);
    }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            window->RunOnePass();
            QApplication::processEvents();
        }
    }
    static QApplication* app;
    static QtBackend* backend;
    static QtMainWindow* window;
};
QApplication* App::app = nullptr;
QtBackend* App::backend = nullptr;
QtMainWindow* App::window = nullptr;

}  // namespace

TEST_F(App, SpaceTogglesPauseAndFTheFrameRate) {
    QWidget* preview = window->Preview();
    QTest::keyClick(preview, Qt::Key_Space);
    EXPECT_TRUE(GetControl(kPausedControl));
    QTest::keyClick(preview, Qt::Key_Space);
    EXPECT_FALSE(GetControl(kPausedControl));
    QTest::keyClick(preview, Qt::Key_F);
    EXPECT_TRUE(GetControl(kShowFPSControl));
    // Arrow keys hold their flag until released.
    QTest::keyPress(preview, Qt::Key_Up);
    EXPECT_TRUE(GetControl(kUpArrowControl));
    QTest::keyRelease(preview, Qt::Key_Up);
    EXPECT_FALSE(GetControl(kUpArrowControl));
}

TEST_F(App, FramesAdvanceTheSimulationButNotWhileADialogIsUp) {
    frameRateChoice = FrameRateChoice::Unlimited;  // one batch a frame, however quick the frames
    const int32_t pushes = rt.pushCount;
    Frames(3);
    frameRateChoice = FrameRateChoice::Display;
    EXPECT_EQ(rt.pushCount, pushes + 3 * set.pushesPerFrame);
    QDialog dialog(window);
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    const int32_t during = rt.pushCount;
    Frames(3);
    EXPECT_EQ(rt.pushCount, during);
    dialog.hide();
    QApplication::processEvents();
    Frames(1);
    EXPECT_GT(rt.pushCount, during);
}

TEST_F(App, PacedFramesRunPushesByTheClock) {
    // However many passes run, a paced window pushes pushesPerFrame per refresh period.
    ASSERT_EQ(frameRateChoice, FrameRateChoice::Display);
    const double hz = framePacing.refreshHz;
    Frames(1);
    const int64_t pushes = rt.pushCount;
    QElapsedTimer clock;
    clock.start();
    int passes = 0;
    while (clock.elapsed() < 500) {
        Frames(1);
        ++passes;
        QTest::qWait(passes % 2 ? 2 : 40);  // quick and slow frames mixed
    }
    const double seconds = clock.nsecsElapsed() * 1e-9;
    const double expected = set.pushesPerFrame * hz * seconds;
    EXPECT_NEAR(double(rt.pushCount - pushes), expected, 0.15 * expected + set.pushesPerFrame)
        << passes << " passes in " << seconds << " s";
}

TEST_F(App, OnlyLeavingTheApplicationSuspends) {
    QDialog other(window);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(GetControl(kSuspendedControl));  // one of our own windows has the focus
    QWidget* preview = window->Preview();
    QTest::keyPress(preview, Qt::Key_Up);
    EXPECT_TRUE(GetControl(kUpArrowControl));
    QTest::keyRelease(preview, Qt::Key_Up);
    other.hide();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST_F(App, MenuActionsAndShortcutsRunTheirCommands) {
    QAction* run = window->Menus()->ActionFor(kSimulationMenu, 1);
    ASSERT_NE(run, nullptr);
    run->trigger();
    EXPECT_TRUE(GetControl(kPausedControl));
    run->trigger();
    EXPECT_FALSE(GetControl(kPausedControl));
    // The stars item is a check mark that follows the setting when the menu opens.
    QAction* stars = window->Menus()->ActionFor(kViewMenu, 11);
    ASSERT_NE(stars, nullptr);
    const uint32_t flags = set.displayFlags;
    stars->trigger();
    EXPECT_NE(set.displayFlags & kStarFieldOffFlag, flags & kStarFieldOffFlag);
    QMenu* view = stars->associatedObjects().isEmpty() ? nullptr : qobject_cast<QMenu*>(stars->associatedObjects()[0]);
    ASSERT_NE(view, nullptr);
    Q_EMIT view->aboutToShow();
    EXPECT_EQ(stars->isChecked(), IsDrawingStarsOn() != 0);
    EXPECT_NE(GetMenu(kCameraSelectionMenu), nullptr);  // exists while the bar is looked at
    Q_EMIT view->aboutToHide();
    EXPECT_EQ(GetMenu(kCameraSelectionMenu), nullptr);
    set.displayFlags = flags;
}

TEST_F(App, AQuickClickSelectsTheNearestBody) {
    Frames(1);
    ASSERT_NE(BodyRTList(), nullptr);
    ASSERT_GE(BodyRTList()->count, 2);
    // A body other than the first that is on screen.
    int target = -1;
    for (int i = 1; i < BodyRTList()->count; ++i) {
        const Point q = BodyRTList()->body[i].screenPos;
        if (q.h > 0 && q.v > 0 && q.h < window->Preview()->width() && q.v < window->Preview()->height()) target = i;
    }
    ASSERT_GT(target, 0);
    const Point p = BodyRTList()->body[target].screenPos;
    rt.selectedBody = 0;
    SetControl(kPausedControl);  // keep the bodies where they were drawn
    QTest::mouseClick(window->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(p.h, p.v));
    EXPECT_EQ(rt.selectedBody, target);
    // A long press steers the camera instead of selecting.
    rt.selectedBody = 0;
    QTest::mousePress(window->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(p.h, p.v));
    window->RunOnePass();
    EXPECT_TRUE(GetControl(kMouseTrackControl));
    QTest::qWait(600);  // longer than a click
    QTest::mouseRelease(window->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(p.h, p.v));
    EXPECT_EQ(rt.selectedBody, 0);
    ClearControl(kPausedControl);
}

TEST_F(App, AShiftDragTurnsTheCameraTheWayTheMouseMoves) {
    const int32_t mode = set.cameraMode;
    const double autoRotation = set.autoRotation;
    set.cameraMode = 1;  // looks at a body without steering of its own
    set.autoRotation = 0;
    SetControl(kPausedControl);
    QWidget* preview = window->Preview();
    const QPoint centre(preview->width() / 2, preview->height() / 2);
    auto turnAfterDrag = [&](int dx) {
        rt.yawRate = rt.pitchRate = 0;
        // The frame reads the pointer itself, as it does for a real drag.
        QCursor::setPos(preview->mapToGlobal(centre));
        QTest::mousePress(preview, Qt::LeftButton, Qt::ShiftModifier, centre);
        window->RunOnePass();  // the press itself is no motion
        const IJK before = rt.cameraIJK;
        QCursor::setPos(preview->mapToGlobal(centre + QPoint(dx, 0)));
        window->RunOnePass();
        QTest::mouseRelease(preview, Qt::LeftButton, Qt::ShiftModifier, centre + QPoint(dx, 0));
        window->RunOnePass();
        // Yaw turns k towards i: the sign of k·i(before) tells the direction.
        double s = 0;
        for (int n = 0; n < 3; ++n) s += double(rt.cameraIJK.k[n]) * double(before.i[n]);
        return s;
    };
    const double right = turnAfterDrag(60);
    const double left = turnAfterDrag(-60);
    EXPECT_NE(right, 0.0);
    EXPECT_LT(right * left, 0.0);  // opposite drags turn opposite ways
    set.cameraMode = mode;
    set.autoRotation = autoRotation;
    ClearControl(kPausedControl);
}

namespace {
// Opens a menu of the bar with a real click on its title; null when it did not open.
QMenu* OpenMenuOfBar(QtMainWindow* window, int16_t menuId) {
    QMenuBar* bar = window->menuBar();
    const int index = menuId - kAppleMenu;
    if (index < 0 || index >= bar->actions().size()) return nullptr;
    QAction* title = bar->actions()[index];
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
    QMenu* menu = title->menu();
    return menu && EventuallyVisible(menu) ? menu : nullptr;
}

// Chooses an item of an open menu with a real click on it.
void ClickItem(QMenu* menu, QAction* item) {
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(item).center());
    QApplication::processEvents();
}

int32_t BodyCount() { return BodyList() ? BodyList()->count : 0; }

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

TEST_F(App, LayoutChangesNeverPaintFreedPixels) {
    Frames(2);
    // The window shows a copy: what the buffer holds later is not on screen until presented.
    PixelSurface s = RenderSurface();
    ASSERT_NE(s.base, nullptr);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) s.base[size_t(y) * size_t(s.rowBytes / 4) + size_t(x)] = 0x00FF0000u;
    DumpRectToWindow(renderGWRect);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) s.base[size_t(y) * size_t(s.rowBytes / 4) + size_t(x)] = 0x000000FFu;
    const QImage shown = window->Preview()->grab().toImage();
    EXPECT_EQ(shown.pixel(s.width / 2, s.height / 2) & 0xFFFFFFu, 0xFF0000u);
    // Every layout frees and reallocates the buffer while paints are queued.
    QWidget* preview = window->Preview();
    for (Qt::Key key : {Qt::Key_2, Qt::Key_F, Qt::Key_1, Qt::Key_2, Qt::Key_1}) {
        QTest::keyClick(preview, key, Qt::ControlModifier);
        window->Preview()->repaint();
        Frames(2);
    }
    EXPECT_EQ(disappearingMenuBar, 0);
}

TEST_F(App, ShortcutsWorkWithTheMenuBarHidden) {
    QWidget* preview = window->Preview();
    QTest::keyClick(preview, Qt::Key_F, Qt::ControlModifier);  // full screen: the bar goes
    EXPECT_EQ(disappearingMenuBar, 1);
    QCursor::setPos(window->mapToGlobal(QPoint(window->width() / 2, window->height() / 2)));
    Frames(3);
    ASSERT_FALSE(window->menuBar()->isVisible());
    // Ctrl+1 brings the standard layout back, through the window's own shortcut.
    QSignalSpy fired(window->Menus()->ActionFor(kWindowMenu, 1), &QAction::triggered);
    QTest::keyClick(preview, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(disappearingMenuBar, 0);
    EXPECT_EQ(fired.count(), 1);
    Frames(2);
    EXPECT_TRUE(window->menuBar()->isVisible());
    window->resize(640, 480);
    Frames(1);
}

TEST_F(App, CtrlKeysReachTheMenusWhenNoShortcutTakesThem) {
    // Without a window manager no window is active and Qt's shortcut map
    // matches nothing: the key arrives as a plain key press.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier, QString(QChar(18)));
    static_cast<QObject*>(window->Preview())->event(&press);  // past QApplication::notify and its shortcut map
    EXPECT_TRUE(GetControl(kPausedControl));
}

TEST_F(App, ShortcutsStayAliveAfterAMenuWasOnlyLookedAt) {
    Frames(1);
    const int32_t bodies = BodyCount();
    ASSERT_GE(bodies, 2);
    rt.selectedBody = -1;  // looking greys the delete item
    QMenu* objects = OpenMenuOfBar(window, kObjectsMenu);
    ASSERT_NE(objects, nullptr);
    EXPECT_FALSE(window->Menus()->ActionFor(kObjectsMenu, 3)->isEnabled());
    QTest::keyClick(objects, Qt::Key_Escape);
    QApplication::processEvents();
    if (QApplication::focusWidget() != window->Preview()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QApplication::processEvents();
    // Closed again, the items are enabled again: their shortcuts reach the command.
    EXPECT_TRUE(window->Menus()->ActionFor(kObjectsMenu, 2)->isEnabled());
    EXPECT_TRUE(window->Menus()->ActionFor(kObjectsMenu, 3)->isEnabled());
    rt.selectedBody = bodies - 1;
    QTest::keyClick(window->Preview(), Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(BodyCount(), bodies - 1);
    ASSERT_TRUE(LoadAllSettingsFrom(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe"));
}

TEST_F(App, SpaceAfterEscapeFromAMenuPauses) {
    QMenu* simulation = OpenMenuOfBar(window, kSimulationMenu);
    ASSERT_NE(simulation, nullptr);
    QTest::keyClick(simulation, Qt::Key_Escape);
    EXPECT_TRUE(EventuallyTrue([&] { return !simulation->isVisible(); }));
    QApplication::processEvents();
    // The key goes where a real key would: to the main window's focus widget
    // (the offscreen platform leaves the closed menu active, a window system would not).
    QWidget* focus = window->focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(GetControl(kPausedControl));
    EXPECT_FALSE(simulation->isVisible());
}

TEST_F(App, CtrlKeypadSteersAndDoesNotChangeTheLayout) {
    const QRect before = window->geometry();
    QWidget* preview = window->Preview();
    QTest::keyPress(preview, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_TRUE(GetControl(kKeypad2Control));
    QTest::keyRelease(preview, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_FALSE(GetControl(kKeypad2Control));
    QApplication::processEvents();
    EXPECT_EQ(window->geometry(), before);
    EXPECT_EQ(disappearingMenuBar, 0);
}

namespace {
void SendWheel(QWidget* preview, QPoint angle, Qt::KeyboardModifiers mods) {
    const QPointF at(preview->width() / 2.0, preview->height() / 2.0);
    QWheelEvent e(at, preview->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview, &e);
}
}  // namespace

TEST_F(App, ShiftWheelTurnsFineAndAltTurnsZoom) {
    wheelDeltaX = wheelDeltaY = 0;
    wheelAngleRemainder[0] = wheelAngleRemainder[1] = 0;
    rt.eyeDistanceVel = 0;
    QWidget* preview = window->Preview();
    for (int i = 0; i < 8; ++i) SendWheel(preview, QPoint(0, 15), Qt::ShiftModifier);  // a high-resolution wheel
    EXPECT_EQ(wheelDeltaY, 4);
    EXPECT_EQ(rt.eyeDistanceVel, 0.0);
    // X11's Alt+wheel arrives horizontal: it is still the vertical wheel, which zooms.
    SendWheel(preview, QPoint(120, 0), Qt::AltModifier);
    EXPECT_EQ(wheelDeltaX, 0);
    EXPECT_LT(rt.eyeDistanceVel, 0.0);
    wheelDeltaX = wheelDeltaY = 0;
    rt.eyeDistanceVel = 0;
}

TEST_F(App, ThePlainWheelZoomsTheWayItIsTurned) {
    SetControl(kPausedControl);
    QWidget* preview = window->Preview();
    Frames(30);
    const double start = rt.eyeDistance;
    SendWheel(preview, QPoint(0, 240), Qt::NoModifier);  // two notches forward
    Frames(60);
    EXPECT_NEAR(rt.eyeDistance, start / (kWheelZoomPerNotch * kWheelZoomPerNotch), start * 1e-6);
    SendWheel(preview, QPoint(0, -240), Qt::NoModifier);
    Frames(60);
    EXPECT_NEAR(rt.eyeDistance, start, start * 1e-6);
    EXPECT_EQ(wheelDeltaY, 0);
    ClearControl(kPausedControl);
}

TEST_F(App, MinusPlusAndPageKeysZoomWithoutAKeypad) {
    QWidget* preview = window->Preview();
    struct Case { Qt::Key key; Qt::KeyboardModifiers mods; int32_t flag; };
    const Case cases[] = {{Qt::Key_Minus, Qt::NoModifier, kKeypadMinusControl},
                          {Qt::Key_Equal, Qt::NoModifier, kKeypadPlusControl},
                          {Qt::Key_Plus, Qt::ShiftModifier, kKeypadPlusControl},
                          {Qt::Key_PageUp, Qt::NoModifier, kKeypadMinusControl},
                          {Qt::Key_PageDown, Qt::NoModifier, kKeypadPlusControl}};
    for (const Case& c : cases) {
        QTest::keyPress(preview, c.key, c.mods);
        EXPECT_TRUE(GetControl(c.flag)) << c.key;
        QTest::keyRelease(preview, c.key, c.mods);
        EXPECT_FALSE(GetControl(c.flag)) << c.key;
    }
    // Keypad 9 without Num Lock arrives as Page Up: it still pans.
    QTest::keyPress(preview, Qt::Key_PageUp, Qt::KeypadModifier);
    EXPECT_TRUE(GetControl(kKeypad9Control));
    EXPECT_FALSE(GetControl(kKeypadMinusControl));
    QTest::keyRelease(preview, Qt::Key_PageUp, Qt::KeypadModifier);
    EXPECT_FALSE(GetControl(kKeypad9Control));
}

TEST_F(App, ARightButtonDragZoomsAndAMiddleButtonDragPans) {
    const double autoRotation = set.autoRotation;
    const int32_t mode = set.cameraMode;
    set.autoRotation = 0;
    set.cameraMode = 1;  // looks at a body without steering of its own
    SetControl(kPausedControl);
    QWidget* preview = window->Preview();
    const QPoint centre(preview->width() / 2, preview->height() / 2);
    auto drag = [&](Qt::MouseButton button, QPoint by) {
        QCursor::setPos(preview->mapToGlobal(centre));
        Frames(1);  // the pointer's move to the start is no drag
        QTest::mousePress(preview, button, Qt::NoModifier, centre);
        window->RunOnePass();
        QCursor::setPos(preview->mapToGlobal(centre + by));
        window->RunOnePass();
        QTest::mouseRelease(preview, button, Qt::NoModifier, centre + by);
        Frames(30);
    };
    Frames(30);
    const double distance = rt.eyeDistance;
    const IJK frame = rt.cameraIJK;
    drag(Qt::RightButton, QPoint(0, 40));  // down: closer
    EXPECT_LT(rt.eyeDistance, distance * 0.9);
    for (int n = 0; n < 3; ++n) {  // the view did not turn
        EXPECT_EQ(rt.cameraIJK.k[n], frame.k[n]);
    }
    const double panBefore = rt.panI;
    drag(Qt::MiddleButton, QPoint(50, 0));
    EXPECT_NE(rt.panI, panBefore);
    EXPECT_FALSE(GetControl(kCommandKeyControl));  // released: nothing stays held
    set.autoRotation = autoRotation;
    set.cameraMode = mode;
    ClearControl(kPausedControl);
}

TEST_F(App, ADoubleClickOnABodyMakesTheCameraFollowIt) {
    SetControl(kPausedControl);
    Frames(2);
    ASSERT_NE(BodyRTList(), nullptr);
    const int32_t before = set.cameraSelection;
    int target = -1;
    for (int i = 0; i < BodyRTList()->count; ++i) {
        const Point q = BodyRTList()->body[i].screenPos;
        // A body in plain sight: not hidden behind another's disc.
        if (i != before && q.h > 4 && q.v > 4 && q.h < window->Preview()->width() - 4 &&
            q.v < window->Preview()->height() - 4 && BodyUnderPoint(q.h, q.v, 0) == i)
            target = i;
    }
    ASSERT_GE(target, 0);
    const Point p = BodyRTList()->body[target].screenPos;
    QTest::mouseDClick(window->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(p.h, p.v));
    EXPECT_EQ(set.cameraSelection, target);
    EXPECT_TRUE(CameraModeUsesBody(set.cameraMode));
    // One undo step takes it back.
    QTest::keyClick(window->Preview(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(set.cameraSelection, before);
    ClearControl(kPausedControl);
}

TEST_F(App, NoBusyLoopWhileADialogIsUp) {
    QDialog dialog(window);
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    window->StartFrameTimer();
    const long before = window->PassesTried();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 600) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const long during = window->PassesTried() - before;
    EXPECT_LE(during, 600 / QtMainWindow::kModalPollMs + 3);  // a spinning timer makes thousands
    dialog.hide();
    QApplication::processEvents();
    const int32_t pushes = rt.pushCount;
    EXPECT_TRUE(EventuallyTrue([&] { return rt.pushCount > pushes; }));  // frames run again
    window->StopFrameTimer();
}

TEST_F(App, MarksOfSubmenusFollowTheChoices) {
    struct Case {
        int16_t submenu, viewOrSimulationMenu;
        int16_t item;
    };
    for (const Case c : {Case{kLabelsMenu, kViewMenu, 1}, Case{kLabelsMenu, kViewMenu, 3},
                         Case{kPushMethodMenu, kSimulationMenu, 2}, Case{kCameraModeMenu, kViewMenu, 5},
                         Case{kLabelsMenu, kViewMenu, 12}, Case{kPushMethodMenu, kSimulationMenu, 1}}) {
        QMenu* top = OpenMenuOfBar(window, c.viewOrSimulationMenu);
        ASSERT_NE(top, nullptr);
        QAction* subItem = nullptr;
        for (QAction* a : top->actions())
            if (a->menu() && a->menu()->title() == QString::fromStdString(GetMenu(c.submenu)->title)) subItem = a;
        ASSERT_NE(subItem, nullptr);
        top->setActiveAction(subItem);
        QMenu* sub = subItem->menu();
        sub->popup(top->mapToGlobal(top->actionGeometry(subItem).topRight()));
        ASSERT_TRUE(EventuallyVisible(sub));
        ClickItem(sub, window->Menus()->ActionFor(c.submenu, c.item));
        EXPECT_TRUE(EventuallyTrue([&] { return !top->isVisible(); }));
        // Look again: every mark says what the state is.
        top = OpenMenuOfBar(window, c.viewOrSimulationMenu);
        ASSERT_NE(top, nullptr);
        for (int16_t i = 1; i <= 8; ++i)
            EXPECT_EQ(window->Menus()->ActionFor(kLabelsMenu, i)->isChecked(), (set.labelFlags >> (i - 1)) & 1)
                << "labels item " << i;
        for (int16_t i = 1; i <= 5; ++i)
            EXPECT_EQ(window->Menus()->ActionFor(kPushMethodMenu, i)->isChecked(), i == GetPushMethodMenuItem())
                << "method item " << i;
        for (int16_t i = 1; i <= 11; ++i)
            EXPECT_EQ(window->Menus()->ActionFor(kCameraModeMenu, i)->isChecked(), i == GetCameraModeMenuItem())
                << "camera item " << i;
        QTest::keyClick(top, Qt::Key_Escape);
        EXPECT_TRUE(EventuallyTrue([&] { return !top->isVisible(); }));
        QApplication::processEvents();
    }
}

TEST_F(App, TheGravitationalConstantSurvivesOkUnderAGermanLocale) {
    ASSERT_TRUE(germanLocale) << "de_DE.UTF-8 is not installed";
    set.gravConstant = 6.672e-11;
    // OK the dialog as a user would, once it is up.
    QTimer::singleShot(0, [] {
        EventuallyTrue([] { return QApplication::activeModalWidget() != nullptr; });
        if (QWidget* d = QApplication::activeModalWidget()) QTest::keyClick(d, Qt::Key_Return);
    });
    QTest::keyClick(window->Preview(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_NEAR(set.gravConstant, 6.672e-11, 1e-24);  // under de_DE it came back as 6e-11
}

TEST_F(App, TheDemoShowsTheCraftAtFirstSight) {
    ASSERT_TRUE(LoadAllSettingsFrom(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/sun-earth-moon.universe"));
    EXPECT_GE(set.minPointSize, 2);
    const int32_t craft = GetCraftIndex();
    ASSERT_GE(craft, 0);
    SetControl(kPausedControl);
    Frames(30);
    // Paused right after opening: the view shows the scenario as it starts.
    // The 100 m craft is far below a pixel at this distance: it shows as a dot of the smallest size.
    const Point at = BodyRTList()->body[craft].screenPos;
    const PixelSurface s = RenderSurface();
    ASSERT_TRUE(at.h >= 1 && at.v >= 1 && at.h < s.width - 1 && at.v < s.height - 1) << at.h << "," << at.v;
    int lit = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            lit += (s.base[size_t(at.v + dy) * size_t(s.rowBytes / 4) + size_t(at.h + dx)] & 0xFFFFFF) != 0;
    EXPECT_GE(lit, 2);
    ClearControl(kPausedControl);
    ASSERT_TRUE(LoadAllSettingsFrom(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe"));
}

TEST_F(App, AFileThatFailsToOpenSaysWhy) {
    const std::string garbage = ::testing::TempDir() + "/garbage.universe";
    {
        FILE* f = std::fopen(garbage.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("this is no universe", f);
        std::fclose(f);
    }
    const int32_t bodies = BodyCount();
    QString shown;
    AcceptNextMessageBox(shown);
    window->OpenDocument(QString::fromStdString(garbage));
    EXPECT_TRUE(shown.contains("garbage.universe")) << shown.toStdString();
    // The loader's reason follows (its wording is the loader's: here "resource data lies outside the file").
    EXPECT_GT(shown.size() - shown.indexOf("cannot be opened:"), 25) << shown.toStdString();
    EXPECT_EQ(BodyCount(), bodies);  // the scenario stays as it was
    std::remove(garbage.c_str());
}

namespace {
// Opens File › Open Recent as a user does: the File menu from the bar, then the submenu.
QMenu* OpenRecentSubmenu(QtMainWindow* window, QMenu*& file) {
    file = OpenMenuOfBar(window, kFileMenu);
    if (!file) return nullptr;
    QAction* recent = window->Menus()->ActionFor(kFileMenu, kOpenRecentItem);
    if (!recent || !recent->menu()) return nullptr;
    file->setActiveAction(recent);
    QMenu* sub = recent->menu();
    sub->popup(file->mapToGlobal(file->actionGeometry(recent).topRight()));
    return EventuallyVisible(sub) ? sub : nullptr;
}

QAction* ItemNamed(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}
}  // namespace

TEST_F(App, OpenRecentReopensAUniverseAndDropsOneThatIsGone) {
    const std::string giant = std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe";
    ASSERT_TRUE(OpenDocumentFile(giant));
    const std::string gone = ::testing::TempDir() + "/gone-meanwhile.universe";
    AddRecentFile(recentFiles, gone);  // listed, but no such file
    BuildRecentFilesMenu();
    ClearControl(kPausedControl);
    Frames(3);
    ASSERT_GT(rt.pushCount, 0);

    QMenu* file = nullptr;
    QMenu* recent = OpenRecentSubmenu(window, file);
    ASSERT_NE(recent, nullptr);
    ASSERT_NE(ItemNamed(recent, "gone-meanwhile.universe"), nullptr);
    QAction* giantItem = ItemNamed(recent, "ringed-giant.universe");
    ASSERT_NE(giantItem, nullptr);
    ClickItem(recent, giantItem);
    EXPECT_TRUE(EventuallyTrue([&] { return !file->isVisible(); }));
    EXPECT_EQ(rt.pushCount, 0) << "opened afresh";
    EXPECT_EQ(DocumentName(), "ringed-giant");

    QString shown;
    AcceptNextMessageBox(shown);
    recent = OpenRecentSubmenu(window, file);
    ASSERT_NE(recent, nullptr);
    ClickItem(recent, ItemNamed(recent, "gone-meanwhile.universe"));
    EXPECT_TRUE(shown.contains("gone-meanwhile.universe")) << shown.toStdString();
    EXPECT_EQ(DocumentName(), "ringed-giant") << "the open document stays";
    recent = OpenRecentSubmenu(window, file);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(ItemNamed(recent, "gone-meanwhile.universe"), nullptr);
    EXPECT_NE(ItemNamed(recent, "ringed-giant.universe"), nullptr);
    QTest::keyClick(recent, Qt::Key_Escape);
    QTest::keyClick(file, Qt::Key_Escape);
    QApplication::processEvents();
}

TEST_F(App, WindowPlacesComeBackThroughTheRealWindows) {
    SettingsStore store;
    const Rect screen = window->ScreenRects().at(0);
    window->MoveWindowTo(kMainWindowId, int16_t(screen.left + 30), int16_t(screen.top + 40));
    window->SizeWindowContent(kMainWindowId, 500, 300);
    window->MoveWindowTo(kStatsWindowId, int16_t(screen.left + 300), int16_t(screen.top + 200));
    QApplication::processEvents();
    const Rect main = window->WindowContentRect(kMainWindowId);
    const Rect stats = window->WindowContentRect(kStatsWindowId);
    RememberWindowPlaces(store);
    SetupWindows(1);  // the standard layout puts them elsewhere
    QApplication::processEvents();
    ASSERT_NE(window->WindowContentRect(kMainWindowId).left, main.left);
    RestoreWindowPlaces(store);
    QApplication::processEvents();
    const Rect mainAgain = window->WindowContentRect(kMainWindowId);
    const Rect statsAgain = window->WindowContentRect(kStatsWindowId);
    EXPECT_EQ(mainAgain.left, main.left);
    EXPECT_EQ(mainAgain.top, main.top);
    EXPECT_EQ(mainAgain.right - mainAgain.left, 500);
    EXPECT_EQ(mainAgain.bottom - mainAgain.top, 300);
    EXPECT_EQ(statsAgain.left, stats.left);
    EXPECT_EQ(statsAgain.top, stats.top);
    window->resize(800, 480);
}
