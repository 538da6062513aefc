// Keys, clicks, the wheel and suspend/resume as the event handlers see them.
#include <gtest/gtest.h>

#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "core/PushBudget.h"
#include "render/RenderBuffer.h"
#include "platform/Platform.h"

namespace {

class FixedTicks : public PlatformBackend {
public:
    uint32_t TickCount() override { return ticks; }
    uint32_t DoubleClickTicks() override { return 30; }
    uint32_t ticks = 1000;
};

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        SetPlatformBackend(&ticks);
        for (auto& w : rt.controlFlags) w = 0;
        keyHitTC = mainWindowHitTC = 0;
        wheelDeltaX = wheelDeltaY = 0;
        wheelAngleRemainder[0] = wheelAngleRemainder[1] = 0;
    }
    void TearDown() override {
        if (rt.bodyRT) DisposeHandle(rt.bodyRT);
        rt.bodyRT = 0;
        SetPlatformBackend(nullptr);
    }
    void Key(uint16_t what, uint8_t ch, uint8_t code = 0, uint16_t modifiers = 0) {
        theEvent = EventRecord{what, uint32_t(ch) | (uint32_t(code) << 8), ticks.ticks, Point{0, 0}, modifiers};
        what == kKeyUpEvent ? DoKeyUpEv() : DoKeyEv();
    }
    void MakeBodiesAt(std::initializer_list<Point> where) {
        rt.bodyRT = NewHandle(sizeof(BodyRTListStruct) + where.size() * sizeof(BodyRTStruct));
        BodyRTList()->count = int32_t(where.size());
        int i = 0;
        for (Point p : where) BodyRTList()->body[i++].screenPos = p;
    }
    FixedTicks ticks;
};

}  // namespace

TEST_F(Events, SpaceAndFToggleOnEveryKeyDownAndRepeat) {
    Key(kKeyDownEvent, ' ');
    EXPECT_EQ(GetControl(kPausedControl), 1);
    Key(kAutoKeyEvent, ' ');
    EXPECT_EQ(GetControl(kPausedControl), 0);
    Key(kKeyDownEvent, 'f');
    Key(kKeyUpEvent, 'f');
    EXPECT_EQ(GetControl(kShowFPSControl), 1);
    Key(kKeyDownEvent, 'F');
    EXPECT_EQ(GetControl(kShowFPSControl), 0);
}

TEST_F(Events, ArrowsAndKeypadHoldFlagsUntilKeyUp) {
    Key(kKeyDownEvent, 29);
    Key(kKeyDownEvent, '8', kKeypad8Key);
    EXPECT_EQ(GetControl(kRightArrowControl), 1);
    EXPECT_EQ(GetControl(kKeypad8Control), 1);
    EXPECT_EQ(keyHitTC, ticks.ticks);
    Key(kKeyUpEvent, 29);
    EXPECT_EQ(GetControl(kRightArrowControl), 0);
    EXPECT_EQ(GetControl(kKeypad8Control), 1);  // still held
    EXPECT_EQ(keyHitTC, 0u);                    // any key up resets the repeat clock
    // With the command key the character goes to the menus, but the keypad still steers.
    Key(kKeyDownEvent, ' ', kKeypad4Key, kCmdKeyModifier);
    EXPECT_EQ(GetControl(kPausedControl), 0);
    EXPECT_EQ(GetControl(kKeypad4Control), 1);
}

TEST_F(Events, KeyRepeatFactorGrowsWithHoldTime) {
    const int expected[] = {1, 1, 2, 2, 4, 4, 8, 8, 16, 16, 16};
    for (uint32_t q = 0; q < 11; ++q) EXPECT_EQ(KeyRepeatFactorFor(q * 20, 20), expected[q]) << q;
}

TEST_F(Events, QuickClickSelectsNearestBodyTiesToHigherIndex) {
    MakeBodiesAt({Point{10, 10}, Point{10, 30}, Point{100, 100}});
    theEvent.when = ticks.ticks;
    DoMainWindowMouseDown();
    theEvent.when = ticks.ticks + 10;
    theEvent.where = Point{10, 20};  // equally far from bodies 0 and 1
    DoMouseUpEv();
    EXPECT_EQ(rt.selectedBody, 1);
    EXPECT_EQ(mainWindowHitTC, 0u);
}

TEST_F(Events, LongPressSteersButSelectsNothing) {
    MakeBodiesAt({Point{10, 10}});
    rt.selectedBody = -1;
    theEvent.when = ticks.ticks;
    DoMainWindowMouseDown();
    theEvent.modifiers = 0;
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kMouseTrackControl), 1);  // the pending press tracks the mouse
    theEvent.when = ticks.ticks + 31;
    DoMouseUpEv();
    EXPECT_EQ(rt.selectedBody, -1);
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kMouseTrackControl), 0);
}

TEST_F(Events, WheelAddsFourPerStepAndBeepsOnOtherAxes) {
    PreviewWindowWheelHit(1, 1);
    PreviewWindowWheelHit(-2, 0);
    EXPECT_EQ(wheelDeltaY, 4);
    EXPECT_EQ(wheelDeltaX, -8);
    EXPECT_EQ(GetControl(kMouseTrackControl), 1);
    PreviewWindowWheelHit(5, 2);
    EXPECT_EQ(wheelDeltaX, -8);
    EXPECT_EQ(wheelDeltaY, 4);
}

TEST_F(Events, SuspendClearsModifierFlagsAndBlocksThemUntilResume) {
    SetControl(kShowFPSControl);
    theEvent.message = (1u << 24) | 0;  // suspend
    DoOSEv();
    EXPECT_EQ(inBackground, 1);
    EXPECT_EQ(GetControl(kShowFPSControl), 0);
    theEvent.modifiers = kShiftKeyModifier | kCmdKeyModifier;
    UpdateControlsFromModifiers();
    EXPECT_EQ(GetControl(kMouseTrackControl), 0);
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    theEvent.message = (1u << 24) | 1;  // resume
    DoOSEv();
    UpdateControlsFromModifiers();
    EXPECT_EQ(inBackground, 0);
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
    EXPECT_EQ(GetControl(kShowFPSControl), 0);  // stays off until F is pressed again
}

TEST_F(Events, CursorFollowsTrackingAndModifiers) {
    inBackground = 0;
    EXPECT_EQ(MouseCursorState(), 0);
    SetControl(kMouseTrackControl);
    EXPECT_EQ(MouseCursorState(), 3);
    SetControl(kOptionKeyControl);
    rt.eyeDistanceVel = -1.0;
    EXPECT_EQ(MouseCursorState(), 1);
    rt.eyeDistanceVel = 0.0;
    EXPECT_EQ(MouseCursorState(), 2);
    SetControl(kCommandKeyControl);
    EXPECT_EQ(MouseCursorState(), 4);
    inBackground = 1;
    EXPECT_EQ(MouseCursorState(), 0);
    inBackground = 0;
}

TEST_F(Events, FullScreenMenuBarShowsOnlyWhenWanted) {
    disappearingMenuBar = 0;
    EXPECT_TRUE(MenuBarWanted(false));
    disappearingMenuBar = 1;
    EXPECT_FALSE(MenuBarWanted(false));
    EXPECT_TRUE(MenuBarWanted(true));
    inBackground = 1;
    EXPECT_TRUE(MenuBarWanted(false));
    inBackground = 0;
    disappearingMenuBar = 0;
}

TEST_F(Events, FineWheelTurnsAddUpInsteadOfVanishing) {
    // A touchpad sends an eighth of a notch at a time; eight of them are one notch.
    for (int i = 0; i < 8; ++i) PreviewWindowWheelAngle(15, 1);
    EXPECT_EQ(wheelDeltaY, 4);
    // Less than a unit waits for the next turn, in either direction.
    PreviewWindowWheelAngle(20, 0);
    EXPECT_EQ(wheelDeltaX, 0);
    PreviewWindowWheelAngle(10, 0);
    EXPECT_EQ(wheelDeltaX, 1);
    for (int i = 0; i < 16; ++i) PreviewWindowWheelAngle(-15, 1);
    EXPECT_EQ(wheelDeltaY, -4);
    // A high-resolution notch and a half.
    PreviewWindowWheelAngle(180, 0);
    EXPECT_EQ(wheelDeltaX, 7);
    // Huge deltas saturate instead of wrapping.
    PreviewWindowWheelHit(2000000000, 1);
    PreviewWindowWheelHit(2000000000, 1);
    EXPECT_EQ(wheelDeltaY, 2147483647);
}

namespace {
// Counts the window layout changes a key might cause.
struct LayoutWatch : MainWindowServices {
    int moves = 0;
    void MoveWindowTo(int16_t, int16_t, int16_t) override { ++moves; }
};
}  // namespace

TEST_F(Events, CtrlKeypadSteersAndIsNoLayoutShortcut) {
    SetupMenus();
    LayoutWatch watch;
    SetMainWindowServices(&watch);
    Key(kKeyDownEvent, '2', kKeypad2Key, kCmdKeyModifier);
    EXPECT_EQ(GetControl(kKeypad2Control), 1);
    EXPECT_EQ(watch.moves, 0);  // Ctrl+2 would lay the windows out again
    Key(kKeyUpEvent, '2', kKeypad2Key, kCmdKeyModifier);
    EXPECT_EQ(GetControl(kKeypad2Control), 0);
    // The main-row 2 with Ctrl is the shortcut.
    Key(kKeyDownEvent, '2', 0, kCmdKeyModifier);
    EXPECT_GT(watch.moves, 0);
    // Ctrl+Q quits through the menus even when no platform shortcut took it.
    staying = 1;
    Key(kKeyDownEvent, 'q', 0, kCmdKeyModifier);
    EXPECT_EQ(staying, 0);
    staying = 1;
    SetMainWindowServices(nullptr);
    DisposeMenus();
}

TEST_F(Events, EscapePausesWithoutToggling) {
    pushBudget.owed = 1000;
    Key(kKeyDownEvent, 27);
    EXPECT_EQ(GetControl(kPausedControl), 1);
    EXPECT_EQ(pushBudget.owed, 0);
    Key(kKeyDownEvent, 27);
    EXPECT_EQ(GetControl(kPausedControl), 1);
}
