// The standard layout puts the object and statistics windows beside the main
// window, never over it, whatever the screen.
#include <gtest/gtest.h>

#include <map>

#include "platform/Platform.h"
#include "render/RenderBuffer.h"

namespace {

// Windows as content rectangles on one screen.
struct Screens : MainWindowServices {
    Rect screen{};
    std::map<int16_t, Rect> windows;
    Rect MainScreenRect() override { return screen; }
    Rect AllScreensRect() override { return screen; }
    Rect WindowContentRect(int16_t id) override { return windows[id]; }
    void MoveWindowTo(int16_t id, int16_t left, int16_t top) override {
        Rect& r = windows[id];
        r = Rect{top, left, int16_t(top + r.bottom - r.top), int16_t(left + r.right - r.left)};
    }
    void SizeWindowContent(int16_t id, int16_t width, int16_t height) override {
        Rect& r = windows[id];
        r.right = int16_t(r.left + width);
        r.bottom = int16_t(r.top + height);
    }
};

bool Apart(const Rect& a, const Rect& b, int gap) {
    return a.right + gap <= b.left || b.right + gap <= a.left || a.bottom + gap <= b.top || b.bottom + gap <= a.top;
}

}  // namespace

TEST(WindowLayout, SideWindowsNeverCoverTheMainWindow) {
    const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 800}, {1920, 1080}, {3840, 2160}};
    for (const auto& wh : sizes) {
        Screens s;
        s.screen = Rect{0, 0, int16_t(wh[1]), int16_t(wh[0])};
        s.windows[kMainWindowId] = Rect{0, 0, 480, 640};
        s.windows[kObjectWindowId] = Rect{0, 0, 196, 380};  // as the application makes them
        s.windows[kStatsWindowId] = Rect{0, 0, 250, 240};
        SetMainWindowServices(&s);
        SetupWindows(0);
        SetMainWindowServices(nullptr);
        const Rect main = s.windows[kMainWindowId], object = s.windows[kObjectWindowId],
                   stats = s.windows[kStatsWindowId];
        // Room for the window frames between them (a few pixels each side).
        EXPECT_TRUE(Apart(main, object, 8)) << wh[0] << "x" << wh[1];
        EXPECT_TRUE(Apart(main, stats, 8)) << wh[0] << "x" << wh[1];
        EXPECT_TRUE(Apart(object, stats, 8)) << wh[0] << "x" << wh[1];
        for (const Rect& r : {main, object, stats}) {
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, wh[0]);
            EXPECT_LE(r.bottom, wh[1]);
        }
        EXPECT_GE(main.right - main.left, 200) << wh[0];
    }
}
