// The running application as the user meets it: keys, clicks and menu
// choices arrive as Qt events and reach the simulation.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QTest>

#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "io/Universe.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtMenus.h"

namespace {

class App : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gravitas-test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        backend = new QtBackend;
        SetPlatformBackend(backend);
        window = new QtMainWindow;
        window->StopFrameTimer();
        SetMainWindowServices(window);
        window->resize(640, 480);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        InitializeAll();  // shows the progress window while it prepares the stars
        window->activateWindow();  // in the background the modifier and arrow flags are held off
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        ASSERT_TRUE(LoadAllSettingsFrom(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/ringed-giant.universe"));
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
    const int32_t pushes = rt.pushCount;
    Frames(3);
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
