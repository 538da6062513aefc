// The side windows: their images, redraws on request, the object window's
// scroll bar and row-snapped height, and presses and keys handed on.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <vector>

#include "QtTestApp.h"
#include "core/Control.h"
#include "core/Events.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtSideWindow.h"

namespace {

struct Recorder {
    std::vector<std::pair<ScrollPart, int32_t>> scrolls;
    std::vector<Point> presses;
    std::vector<uint16_t> modifiers;
    std::vector<int16_t> broughtToFront;
    std::vector<int> settledHeights;
    std::vector<int> keys;
    int redraws = 0;
};

class SideWindow : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
    std::unique_ptr<QtSideWindow> Make(bool objectWindow) {
        SideWindowHandlers h;
        h.redraw = [this] { ++rec.redraws; };
        h.press = [this](Point p, uint16_t m, uint32_t, int16_t front) {
            rec.presses.push_back(p);
            rec.modifiers.push_back(m);
            rec.broughtToFront.push_back(front);
        };
        h.scroll = [this](ScrollPart part, int32_t v) { rec.scrolls.emplace_back(part, v); };
        h.resized = [this] { rec.settledHeights.push_back(window->height()); };
        h.keys = [this](QKeyEvent* e) { rec.keys.push_back(e->key()); };
        SideWindowShape shape = objectWindow ? SideWindowShape{"Objects", QSize(380, 196), true, true}
                                             : SideWindowShape{"Statistics", QSize(240, 250), false, false};
        auto w = std::make_unique<QtSideWindow>(shape, std::move(h));
        window = w.get();
        rec = Recorder{};
        return w;
    }
    Recorder rec;
    QtSideWindow* window = nullptr;
};

}  // namespace

TEST_F(SideWindow, ScrollBarActionsBecomeScrollParts) {
    auto w = Make(true);
    QScrollBar* bar = w->ScrollBar();
    ASSERT_NE(bar, nullptr);
    w->SetScrollBar(3, 10, 4);
    EXPECT_TRUE(rec.scrolls.empty());  // setting the control is not a user action
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_EQ(bar->pageStep(), 4);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->setSliderPosition(7);  // a drag of the thumb
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    const std::vector<std::pair<ScrollPart, int32_t>> expected{
        {ScrollPart::DownArrow, 0}, {ScrollPart::UpArrow, 0}, {ScrollPart::PageDown, 0},
        {ScrollPart::PageUp, 0},    {ScrollPart::Thumb, 7},   {ScrollPart::Thumb, 10}};
    EXPECT_EQ(rec.scrolls, expected);
    // The scroll bar sits in the rightmost 16 pixels.
    EXPECT_EQ(bar->geometry().right(), w->width() - 1);
    EXPECT_EQ(bar->width(), 16);
}

TEST_F(SideWindow, TheLogicDecidesWhereTheScrollBarEndsUp) {
    QtSideWindow* self = nullptr;
    SideWindowHandlers h;
    int calls = 0;
    h.scroll = [&](ScrollPart, int32_t) {
        ++calls;
        self->SetScrollBar(5, 10, 4);  // the logic clamps and answers inside the action
    };
    QtSideWindow w(SideWindowShape{"Objects", QSize(380, 196), true, true}, std::move(h));
    self = &w;
    w.SetScrollBar(0, 10, 4);
    w.ScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.ScrollBar()->value(), 5);
    EXPECT_EQ(calls, 1);  // no echo of the logic's own setting
}

TEST_F(SideWindow, SurfaceCoversTheContentAndPresentShowsIt) {
    auto stats = Make(false);
    EXPECT_EQ(stats->size(), QSize(240, 250));
    PixelSurface s = stats->Surface();
    ASSERT_NE(s.base, nullptr);
    EXPECT_EQ(s.width, 240);
    EXPECT_EQ(s.height, 250);
    EXPECT_EQ(s.rowBytes, 240 * 4);
    s.base[size_t(20) * 240 + 30] = 0x0012AB34u;
    stats->Present();
    EXPECT_EQ(stats->grab().toImage().pixel(30, 20) & 0xFFFFFFu, 0x12AB34u);
    EXPECT_EQ(stats->minimumSize(), stats->maximumSize());  // the user cannot resize it
    auto objects = Make(true);
    EXPECT_EQ(objects->Surface().width, 380);
    EXPECT_EQ(objects->Surface().height, 196);
}

TEST_F(SideWindow, InvalidateRedrawsOnceAndARedrawCannotRestartItself) {
    QtSideWindow* self = nullptr;
    int redraws = 0;
    SideWindowHandlers h;
    h.redraw = [&] {
        ++redraws;
        self->Invalidate();  // a redraw that asks for another must not loop
        self->Present();
    };
    QtSideWindow w(SideWindowShape{"Statistics", QSize(240, 250), false, false}, std::move(h));
    self = &w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(20);
    redraws = 0;
    w.Invalidate();
    w.Invalidate();
    EXPECT_TRUE(EventuallyTrue([&] { return redraws > 0; }));
    QTest::qWait(30);
    EXPECT_EQ(redraws, 1);
    w.repaint();  // an uncovered window shows its image without asking the logic
    EXPECT_EQ(redraws, 1);
}

TEST_F(SideWindow, ObjectWindowHeightSnapsToWholeRows) {
    EXPECT_EQ(QtSideWindow::SnappedHeight(100), 106);
    EXPECT_EQ(QtSideWindow::SnappedHeight(97), 91);
    EXPECT_EQ(QtSideWindow::SnappedHeight(31), 31);
    auto w = Make(true);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    rec.settledHeights.clear();
    w->resize(380, 100);
    EXPECT_TRUE(EventuallyTrue([&] { return w->height() == 106; }));
    w->resize(500, 97);
    EXPECT_TRUE(EventuallyTrue([&] { return w->height() == 91; }));
    EXPECT_EQ(w->width(), 380);  // only the height follows the user
    ASSERT_FALSE(rec.settledHeights.empty());
    for (int h : rec.settledHeights) EXPECT_EQ(h, QtSideWindow::SnappedHeight(h));  // never told a half row
    EXPECT_EQ(w->Surface().height, 91);
    EXPECT_EQ(w->ScrollBar()->height(), 91 - 15);
}

TEST_F(SideWindow, PressesArriveInWindowCoordinatesWithModifiers) {
    auto w = Make(true);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::qWait(200);  // well after the activation
    QTest::mouseClick(w.get(), Qt::LeftButton, Qt::AltModifier, QPoint(12, 40));
    QTest::mouseClick(w.get(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(300, 20));
    ASSERT_EQ(rec.presses.size(), 2u);
    EXPECT_EQ(rec.presses[0].v, 40);
    EXPECT_EQ(rec.presses[0].h, 12);
    EXPECT_EQ(rec.modifiers[0], kOptionKeyModifier);
    EXPECT_EQ(rec.modifiers[1], kShiftKeyModifier | kCmdKeyModifier);
    EXPECT_EQ(rec.broughtToFront[0], 0);
    // The right button stands for Alt-click, which window managers tend to take for themselves.
    QTest::mouseClick(w.get(), Qt::RightButton, {}, QPoint(12, 40));
    ASSERT_EQ(rec.presses.size(), 3u);
    EXPECT_EQ(rec.modifiers[2], kOptionKeyModifier);
    QTest::mouseClick(w.get(), Qt::MiddleButton, {}, QPoint(12, 40));
    EXPECT_EQ(rec.presses.size(), 3u);  // the middle button does nothing here
    // A press in a window behind another brings it forward and says so.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, QPoint(12, 40));
    ASSERT_EQ(rec.presses.size(), 4u);
    EXPECT_EQ(rec.broughtToFront[3], 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
}

TEST_F(SideWindow, KeysGoToTheHandler) {
    auto w = Make(false);
    QTest::keyClick(w.get(), Qt::Key_Space);
    QTest::keyClick(w.get(), Qt::Key_Up);
    const std::vector<int> expected{Qt::Key_Space, Qt::Key_Space, Qt::Key_Up, Qt::Key_Up};  // press and release
    EXPECT_EQ(rec.keys, expected);
}

// The main window owns both side windows and serves them to the logic by id.
TEST(MainWindowSideWindows, ServedByIdWithKeysSteeringTheScene) {
    TestApplication();
    QtMainWindow main;
    main.StopFrameTimer();
    main.show();
    QtSideWindow* objects = main.SideWindow(kObjectWindowId);
    QtSideWindow* stats = main.SideWindow(kStatsWindowId);
    ASSERT_NE(objects, nullptr);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(main.SideWindow(kMainWindowId), nullptr);
    EXPECT_TRUE(objects->isVisible());
    EXPECT_TRUE(stats->isVisible());
    const PixelSurface s = main.WindowSurface(kStatsWindowId);
    EXPECT_EQ(s.width, 240);
    EXPECT_EQ(s.height, 250);
    EXPECT_EQ(s.base, stats->Surface().base);
    main.SetWindowScrollBar(kObjectWindowId, 2, 9, 4);
    EXPECT_EQ(objects->ScrollBar()->value(), 2);
    EXPECT_EQ(objects->ScrollBar()->maximum(), 9);
    main.SizeWindowContent(kObjectWindowId, 380, 100);
    EXPECT_TRUE(EventuallyTrue([&] { return objects->height() == 106; }));
    const Rect r = main.WindowContentRect(kObjectWindowId);
    EXPECT_EQ(r.bottom - r.top, 106);
    // A space typed in the statistics window pauses as it does in the main window.
    const bool paused = GetControl(kPausedControl);
    QTest::keyClick(stats, Qt::Key_Space);
    EXPECT_NE(GetControl(kPausedControl), paused);
    QTest::keyClick(objects, Qt::Key_Space);
    EXPECT_EQ(GetControl(kPausedControl), paused);
}
