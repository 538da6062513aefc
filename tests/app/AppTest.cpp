// The running application as the user meets it: keys, clicks and menu choices arrive as Qt
// events and reach the simulation; files open, the recent list and the window places work
// through the real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstring>
#include <fstream>
#include <tuple>

#include "QtTestApp.h"
#include "core/Control.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "core/Units.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtMenus.h"
#include "render/BodyPick.h"
#include "render/Camera.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"
#include "shell/Document.h"
#include "shell/FramePacing.h"
#include "shell/History.h"
#include "shell/WindowPlaces.h"
#include "sim/Bodies.h"

namespace {

// The Qt backend, noting every text the windows draw.
struct RecordingBackend : QtBackend {
    std::vector<std::string> drawn;
    int32_t DrawThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                          TextJustify justify, RGBColor color, bool additive) override {
        drawn.push_back(text);
        return QtBackend::DrawThemeText(surface, box, text, font, justify, color, additive);
    }
    std::string Starting(const std::string& prefix) const {  // the latest such text
        auto it = std::find_if(drawn.rbegin(), drawn.rend(), [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
        return it == drawn.rend() ? "" : *it;
    }
};

bool germanLocale = false;
RecordingBackend* backend = nullptr;
QtMainWindow* window = nullptr;
QWidget* Preview() { return window->Preview(); }

struct App : ::testing::Test {
    static void SetUpTestSuite() {
        TestApplication();
        // As a German user runs it: QApplication takes the locale from the environment; numbers must not.
        germanLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        SetPlatformBackend(backend = new RecordingBackend);
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
    EXPECT_FALSE(IsDocumentModified()) << "a view change is no reason to ask about saving";
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

namespace {
// Once a modal dialog titled `title` is up, `act` runs on it; any other dialog is
// cancelled and counted, so that a missing question fails instead of hanging.
int unexpectedDialogs = 0;
void OnDialog(const QString& title, std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [title, act] {
        QDialog* d = nullptr;
        EventuallyTrue([&] { return (d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) != nullptr; });
        if (d && d->windowTitle() == title) return act(d);
        ++unexpectedDialogs;
        if (d) d->reject();
    });
}
void ClickButton(QDialog* d, const QString& text) {
    for (QPushButton* b : d->findChildren<QPushButton*>())
        if (b->text() == text) return QTest::mouseClick(b, Qt::LeftButton);
    d->reject();
}
std::vector<double> Positions() {
    std::vector<double> p;
    for (int32_t i = 0; i < BodyRTList()->count; ++i) p.insert(p.end(), BodyRTList()->body[i].pos, BodyRTList()->body[i].pos + 3);
    return p;
}
}  // namespace

// Ctrl+E on a body while the run is under way asks what to edit; whatever the choice, one
// Ctrl+Z brings back the run (clock, pushes, positions, trails) and the body as they were.
TEST_F(App, AnEditDuringARunAsksWhatToEditAndUndoBringsTheRunBack) {
    frameRateChoice = FrameRateChoice::Unlimited;
    struct Case { const char* choice; bool ok; };
    for (const Case c : {Case{"Initial Conditions", true}, Case{"Present State", true}, Case{"Present State", false}}) {
        Frames(40);
        rt.selectedBody = 1;
        const double t = rt.simTime, mass = BodyList()->body[1].mass, presentX = BodyRTList()->body[1].pos[0];
        const auto [pushes, where, trail, steps] = std::tuple(rt.pushCount, Positions(), GetRTListValidCount(rt.trailList), UndoStepCount());
        QString question;
        OnDialog("Edit During the Run", [&](QDialog* d) {
            for (QLabel* l : d->findChildren<QLabel*>()) question += l->text();
            OnDialog("Body", [&](QDialog* e) {
                for (QLineEdit* f : e->findChildren<QLineEdit*>()) {  // every number shown whole
                    EXPECT_LE(f->fontMetrics().horizontalAdvance(f->text()), f->width() - 8) << f->text().toStdString();
                    if (f->text() == "23") f->setText("230");  // the mass's exponent: far heavier
                }
                ClickButton(e, c.ok ? "OK" : "Cancel");
            });
            ClickButton(d, c.choice);
        });
        QTest::keyClick(Preview(), Qt::Key_E, Qt::ControlModifier);
        EXPECT_EQ(unexpectedDialogs, 0);
        EXPECT_TRUE(question.contains(QString::fromStdString("t = " + ElapsedTimeText(t)))) << question.toStdString();
        if (!c.ok) {  // the present state made the start for the editor is put back
            EXPECT_EQ(rt.simTime, t) << c.choice;
            EXPECT_EQ(Positions(), where);
            EXPECT_EQ(UndoStepCount(), steps);
            continue;
        }
        EXPECT_GT(BodyList()->body[1].mass, 1e9 * mass);
        // The present state is what the editor started from (to the 13 digits it shows); the initial conditions are not.
        EXPECT_EQ(std::fabs(BodyList()->body[1].pos[0] - presentX) < 1e-11 * std::fabs(presentX),
                  std::string(c.choice) == "Present State");
        Frames(3);
        EXPECT_EQ(rt.pushCount, 3 * set.pushesPerFrame) << "the run starts again: " << c.choice;
        QTest::keyClick(Preview(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(rt.simTime, t) << c.choice;
        EXPECT_EQ(rt.pushCount, pushes);
        EXPECT_EQ(Positions(), where);
        EXPECT_EQ(GetRTListValidCount(rt.trailList), trail);
        EXPECT_EQ(BodyList()->body[1].mass, mass);
        EXPECT_FALSE(IsDocumentModified());
    }
    frameRateChoice = FrameRateChoice::Display;
}

// The object window's speeds follow the run and say what they are relative to; the
// statistics window gives units; an engine that fires says so with its speed change.
TEST_F(App, TheWindowsShowLiveSpeedsWithUnitsAndTheEngineFiring) {
    frameRateChoice = FrameRateChoice::Unlimited;
    // A craft in a circular orbit 5000 km from Titan, which moves at 5.6 km/s: sqrt(GM/r) = 1340 m/s about it.
    BodyInfoStruct craft;
    FillDefaultCraftInfo(craft);
    craft.pos[0] = 5e6, craft.vel[1] = std::sqrt(set.gravConstant * BodyList()->body[1].mass / 5e6), craft.parent = 2;
    ASSERT_TRUE(AddABody(craft));
    auto redrawn = [] {  // by the run itself: nothing else asks the list to redraw
        backend->drawn.clear();
        return EventuallyTrue([] { return Frames(1), !backend->Starting("1. ").empty(); });
    };
    rt.selectedBody = 1;
    ASSERT_TRUE(redrawn());
    const double *v1 = BodyRTList()->body[1].vel, *v0 = BodyRTList()->body[0].vel;
    const std::string speed = backend->Starting(MyRealToSciNotString(std::hypot(v1[0] - v0[0], v1[1] - v0[1], v1[2] - v0[2])));
    EXPECT_NE(speed.find(" rel. Giant"), std::string::npos) << speed;
    for (const char* line : {"v = |m/s", "a = |m/s\u00b2", "KE = |J/kg", "PE = |J/kg", "E = |J/kg"})  // value, then unit
        EXPECT_NE(backend->Starting(std::string(line, std::strchr(line, '|'))).find(std::strchr(line, '|') + 1), std::string::npos) << line;
    EXPECT_EQ(backend->Starting("v rel. Giant = ").empty(), false);
    const std::string orbit = backend->Starting("Craft v rel. Titan = ");
    EXPECT_NEAR(std::atof(orbit.c_str() + 21), 1340, 13) << orbit;  // 1 %: the method at 30 s a push
    EXPECT_EQ(backend->Starting("Engine "), "Engine off");
    // A live list: another quarter of a second of run changes what the rows show.
    std::vector<std::string> before(backend->drawn);
    QTest::qWait(300);
    ASSERT_TRUE(redrawn());
    EXPECT_NE(backend->drawn, before);
    const auto [dv0, pushes] = std::pair(rt.craftDeltaV, rt.pushCount);
    QTest::keyPress(Preview(), Qt::Key_Right);
    Frames(4);
    const int64_t fired = rt.pushCount - pushes;
    EXPECT_EQ(backend->Starting("Engine "), "Engine firing forward");
    QTest::keyRelease(Preview(), Qt::Key_Right);
    // 100 N on 1000 kg for 30 s a push: 3 m/s a push.
    EXPECT_EQ(backend->Starting("\u0394v so far = "), "\u0394v so far = " + MyRealFixed2String(dv0 + 3.0 * double(fired), 1) + " m/s");
    Frames(1);
    EXPECT_EQ(backend->Starting("Engine "), "Engine off");
    QTest::keyClick(Preview(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);  // a new run, a new count
    Frames(1);
    EXPECT_EQ(backend->Starting("\u0394v so far = "), "\u0394v so far = 0.0 m/s");
    DeleteABody(BodyList()->count - 1);
    frameRateChoice = FrameRateChoice::Display;
}
