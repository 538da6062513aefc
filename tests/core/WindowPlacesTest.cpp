// Remembered window places: read back only when well formed, and put back only
// where the present screens show them; otherwise the window keeps its default place.
#include <gtest/gtest.h>

#include <map>

#include "core/WindowPlaces.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

namespace {

Rect Screen(int16_t left, int16_t top, int16_t width, int16_t height) {
    return Rect{top, left, int16_t(top + height), int16_t(left + width)};
}

WindowPlaceStruct Place(int32_t left, int32_t top, int32_t width, int32_t height) {
    return WindowPlaceStruct{left, top, width, height};
}

// Windows that stay where they are put, on a set of screens the test chooses.
struct FakeDesk : MainWindowServices {
    std::vector<Rect> screens;
    std::map<int16_t, Rect> windows;
    int moves = 0;
    std::vector<Rect> ScreenRects() override { return screens; }
    Rect WindowContentRect(int16_t id) override { return windows.count(id) ? windows[id] : Rect{0, 0, 0, 0}; }
    void MoveWindowTo(int16_t id, int16_t left, int16_t top) override {
        Rect& r = windows[id];
        r = Rect{top, left, int16_t(top + r.bottom - r.top), int16_t(left + r.right - r.left)};
        ++moves;
    }
    void SizeWindowContent(int16_t id, int16_t width, int16_t height) override {
        Rect& r = windows[id];
        r.right = int16_t(r.left + width);
        r.bottom = int16_t(r.top + height);
    }
};

struct WindowPlacesTest : ::testing::Test {
    FakeDesk desk;
    SettingsStore store;
    void SetUp() override {
        SetMainWindowServices(&desk);
        disappearingMenuBar = 0;
        desk.screens = {Screen(0, 0, 1280, 800)};
        Default();
    }
    void TearDown() override {
        SetMainWindowServices(nullptr);
        disappearingMenuBar = 0;
    }
    // The places the default layout gives.
    void Default() {
        desk.windows[kMainWindowId] = Screen(4, 41, 900, 700);
        desk.windows[kObjectWindowId] = Screen(920, 80, 380, 196);
        desk.windows[kStatsWindowId] = Screen(1040, 550, 240, 250);
    }
    Rect Now(int16_t id) { return desk.windows[id]; }
};

bool Same(const Rect& a, const Rect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace

TEST(WindowPlaceText, ReadsOnlyFourSaneWholeNumbers) {
    WindowPlaceStruct p;
    ASSERT_TRUE(ParseWindowPlace("10 -20 640 480", p));
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, -20);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_EQ(WindowPlaceText(p), "10 -20 640 480");
    const WindowPlaceStruct untouched = p;
    for (const char* bad : {"", "10 20 640", "10 20 640 480 5", "10 20 640 480x", "a b c d", "10 20 0 480",
                            "10 20 640 -1", "10 20 1e3 480", "99999999999 0 10 10", "40000 0 10 10",
                            "0 0 40000 10", "10,20,640,480", "0x10 0 10 10"}) {
        EXPECT_FALSE(ParseWindowPlace(bad, p)) << bad;
        EXPECT_EQ(WindowPlaceText(p), WindowPlaceText(untouched)) << bad;
    }
}

TEST(WindowPlaceScreens, APlaceMustFitAScreenAndHangItsTopOnIt) {
    const std::vector<Rect> one = {Screen(0, 0, 1280, 800)};
    EXPECT_TRUE(IsWindowPlaceOnScreens(Place(100, 100, 640, 480), one));
    EXPECT_TRUE(IsWindowPlaceOnScreens(Place(0, 0, 1280, 800), one)) << "exactly the screen";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(0, 0, 1281, 800), one)) << "wider than the screen";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(0, 0, 800, 801), one)) << "taller than the screen";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(1300, 100, 640, 480), one)) << "right of every screen";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(100, -30, 640, 480), one)) << "title bar above the screen";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(100, 790, 640, 480), one)) << "only a sliver at the foot";
    EXPECT_TRUE(IsWindowPlaceOnScreens(Place(1200, 100, 640, 480), one)) << "80 pixels to take hold of";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(1250, 100, 640, 480), one)) << "30 pixels are too few";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(100, 100, 640, 480), {})) << "no screens at all";
}

TEST(WindowPlaceScreens, ASecondScreenCountsWhileItIsThere) {
    // A laptop at the left, a monitor at its right, higher up and larger.
    const std::vector<Rect> two = {Screen(0, 200, 1366, 768), Screen(1366, 0, 1920, 1080)};
    const WindowPlaceStruct onMonitor = Place(1500, 50, 1600, 1000);
    EXPECT_TRUE(IsWindowPlaceOnScreens(onMonitor, two));
    EXPECT_FALSE(IsWindowPlaceOnScreens(onMonitor, {two[0]})) << "monitor unplugged";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(100, 100, 640, 480), two)) << "above the laptop's top";
    EXPECT_FALSE(IsWindowPlaceOnScreens(Place(100, 300, 1400, 600), {two[0]})) << "wider than the laptop";
    // A monitor left of the main screen has negative coordinates.
    const std::vector<Rect> leftOfMain = {Screen(0, 0, 1280, 800), Screen(-1920, 0, 1920, 1080)};
    EXPECT_TRUE(IsWindowPlaceOnScreens(Place(-1800, 100, 800, 600), leftOfMain));
}

TEST_F(WindowPlacesTest, PlacesComeBackAfterARestart) {
    desk.windows[kMainWindowId] = Screen(200, 120, 800, 500);
    desk.windows[kObjectWindowId] = Screen(20, 300, 380, 301);
    desk.windows[kStatsWindowId] = Screen(900, 60, 240, 250);
    RememberWindowPlaces(store);
    Default();
    RestoreWindowPlaces(store);
    EXPECT_TRUE(Same(Now(kMainWindowId), Screen(200, 120, 800, 500)));
    EXPECT_TRUE(Same(Now(kObjectWindowId), Screen(20, 300, 380, 301)));
    EXPECT_TRUE(Same(Now(kStatsWindowId), Screen(900, 60, 240, 250)));
}

TEST_F(WindowPlacesTest, OnlyTheMainWindowAndTheObjectListHeightTakeTheirSizes) {
    store.WriteSetting("windows/objects", "30 90 999 400");
    store.WriteSetting("windows/statistics", "60 90 999 999");
    RestoreWindowPlaces(store);
    EXPECT_TRUE(Same(Now(kObjectWindowId), Screen(30, 90, 380, 400))) << "the width is the layout's";
    EXPECT_TRUE(Same(Now(kStatsWindowId), Screen(60, 90, 240, 250))) << "a fixed size";
}

TEST_F(WindowPlacesTest, APlaceNoScreenShowsLeavesTheDefault) {
    desk.screens = {Screen(0, 0, 1280, 800), Screen(1280, 0, 1920, 1200)};
    desk.windows[kMainWindowId] = Screen(1400, 40, 1800, 1100);  // large, on the second screen
    desk.windows[kStatsWindowId] = Screen(3000, 900, 240, 250);
    RememberWindowPlaces(store);
    Default();
    desk.screens = {Screen(0, 0, 1280, 800)};  // the second screen is gone
    RestoreWindowPlaces(store);
    EXPECT_TRUE(Same(Now(kMainWindowId), Screen(4, 41, 900, 700)));
    EXPECT_TRUE(Same(Now(kStatsWindowId), Screen(1040, 550, 240, 250)));
    EXPECT_TRUE(Same(Now(kObjectWindowId), Screen(920, 80, 380, 196))) << "remembered where it was: the same";
}

TEST_F(WindowPlacesTest, HostileStoredPlacesLeaveTheDefaults) {
    store.WriteSetting("windows/main", "0 0 65536 65536");
    store.WriteSetting("windows/objects", "garbage");
    store.WriteSetting("windows/statistics", std::string("10 10\0 240 250", 14));
    RestoreWindowPlaces(store);
    EXPECT_EQ(desk.moves, 0);
    EXPECT_TRUE(Same(Now(kMainWindowId), Screen(4, 41, 900, 700)));
}

TEST_F(WindowPlacesTest, TheFullScreenLayoutIsNotAPlace) {
    desk.windows[kMainWindowId] = Screen(200, 120, 800, 500);
    RememberWindowPlaces(store);
    disappearingMenuBar = 1;
    desk.windows[kMainWindowId] = Screen(0, 0, 1280, 800);
    RememberWindowPlaces(store);
    std::string kept;
    ASSERT_TRUE(store.ReadSetting("windows/main", kept));
    EXPECT_EQ(kept, "200 120 800 500");
}
