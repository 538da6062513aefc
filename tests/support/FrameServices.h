#pragma once
// A started application without windows: settings at their defaults, no automatic rotation, the
// interactive push budget, a tick counter the test sets and a main window that records texts and moves.
#include <gtest/gtest.h>

#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/PushBudget.h"
#include "core/Strings.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"

struct FakeTicks : PlatformBackend {
    uint32_t ticks = 1000;
    uint32_t TickCount() override { return ticks; }
    uint32_t DoubleClickTicks() override { return 30; }
};

struct MainWindowSink : MainWindowServices {
    std::vector<std::string> texts;
    int moves = 0;
    void DrawTextInMainWindow(const Rect&, const std::string& t, RGBColor) override { texts.push_back(t); }
    void MoveWindowTo(int16_t, int16_t, int16_t) override { ++moves; }
};

struct FrameFixture : ::testing::Test {
    FakeTicks ticks;
    MainWindowSink sink;
    void SetUp() override {
        rt = RunTimeStruct{}, set = SettingsStruct{};
        SetPlatformBackend(&ticks);
        SetMainWindowServices(&sink);
        InitializeAll();
        set.autoRotation = 0, rt.keyRepeatFactor = 1;
        pushBudget = PushBudgetStruct{}, pushBudget.frameSeconds = kInteractivePushSeconds;
        lastTC = lastFPS = framesPassed = 0, olPos = Point{0, 0}, theEvent = EventRecord{};
        wheelDeltaX = wheelDeltaY = wheelAngleRemainder[0] = wheelAngleRemainder[1] = 0;
        keyHitTC = mainWindowHitTC = 0, mainWindowDrag = MouseDrag::Turn;
    }
    void TearDown() override {
        DisposeAll();
        pushBudget = PushBudgetStruct{};
        SetPlatformBackend(nullptr);
        SetMainWindowServices(nullptr);
    }
    void Key(uint16_t what, uint8_t ch, uint8_t code = 0, uint16_t modifiers = 0) {
        theEvent = EventRecord{what, uint32_t(ch) | (uint32_t(code) << 8), ticks.ticks, Point{0, 0}, modifiers};
        what == kKeyUpEvent ? DoKeyUpEv() : DoKeyEv();
    }
    // Passes of the loop without modifier keys: the modifier flags and repeat factor, then a frame.
    void Pass(int frames = 1) {
        for (int n = 0; n < frames; ++n) theEvent.modifiers = 0, UpdateControlsFromModifiers(), DoTask(1);
    }
    static int32_t AddBody(const char* name, double x, double vy, double mass, double radius, double y = 0) {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        b.pos[0] = x, b.pos[1] = y, b.vel[1] = vy, b.radius = radius, b.mass = mass > 0 ? mass : b.mass;
        CToPStr31(b.name, name);
        EXPECT_EQ(AddABody(b), 1);
        return BodyList()->count - 1;
    }
    // A star and a planet on a circular orbit: cheap pushes, no collision.
    static void TwoBodyOrbit() {
        set.gravConstant = 6.674e-11, set.timeStep = 1.0;
        AddBody("Star", 0, 0, 2e30, 7e8);
        AddBody("Planet", 1.5e11, 29740, 6e24, 6.4e6);
    }
};
