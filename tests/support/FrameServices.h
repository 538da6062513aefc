#pragma once
// Stand-ins for the platform around the frame task: a tick counter the test
// sets, and a main window that records the texts and notes drawn into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Frame.h"
#include "core/PushBudget.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "sim/Bodies.h"
#include "platform/Platform.h"

struct FakeTicks : PlatformBackend {
    uint32_t ticks = 1000;
    uint32_t TickCount() override { return ticks; }
};

struct MainWindowSink : MainWindowServices {
    std::vector<std::string> texts, notes;
    void DrawTextInMainWindow(const Rect&, const std::string& t, RGBColor) override { texts.push_back(t); }
    void ShowNoteInMainWindow(const std::string& t) override { notes.push_back(t); }
};

// A started application without windows: settings and run-time record at
// their defaults, the frame-rate measurement and the event record cleared.
class FrameFixture : public ::testing::Test {
protected:
    FakeTicks ticks;
    MainWindowSink sink;
    void SetUp() override {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        SetPlatformBackend(&ticks);
        SetMainWindowServices(&sink);
        InitializeAll();
        lastTC = 0, lastFPS = 0, framesPassed = 0, olPos = Point{0, 0};
        wheelDeltaX = wheelDeltaY = 0;
        theEvent = EventRecord{};
    }
    void TearDown() override {
        DisposeAll();
        SetPlatformBackend(nullptr);
        SetMainWindowServices(nullptr);
    }
};

// Frames as the window runs them: no automatic rotation, and the interactive push budget.
class BudgetedFrameFixture : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        set.autoRotation = 0;
        pushBudget = PushBudgetStruct{};
        pushBudget.frameSeconds = kInteractivePushSeconds;
    }
    void TearDown() override {
        pushBudget = PushBudgetStruct{};
        FrameFixture::TearDown();
    }
};

// One body added to the scenario's initial conditions.
inline void AddBody(const char* name, double x, double vy, double mass, double radius) {
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);
    b.pos[0] = x;
    b.vel[1] = vy;
    b.mass = mass;
    b.radius = radius;
    CToPStr31(b.name, name);
    AddABody(b);
}

// A star and a planet on a circular orbit: cheap pushes, no collision.
inline void TwoBodyOrbit() {
    set.gravConstant = 6.674e-11;
    set.timeStep = 1.0;
    AddBody("Star", 0, 0, 2e30, 7e8);
    AddBody("Planet", 1.5e11, 29740, 6e24, 6.4e6);
}
