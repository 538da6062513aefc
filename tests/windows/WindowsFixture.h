#pragma once
// Shared set-up of the side-window tests: the editor's scripted platform with
// the texts it was asked to draw recorded, and window services with a chosen
// content size that count presents and remember the scroll bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../editor/EditorFixture.h"
#include "render/Pen.h"

struct DrawnText {
    std::string text;
    Rect box;
    int16_t font;
    TextJustify justify;
    uint32_t pixel;  // the colour as a pixel
};

struct RecordingBackend : EditorBackend {
    std::vector<DrawnText> drawn;
    RGBColor highlight{0x3333, 0x6666, 0xFFFF};
    int32_t DrawThemeText(PixelSurface&, const Rect& box, const std::string& text, int16_t font, TextJustify justify,
                          RGBColor c, bool) override {
        drawn.push_back({text, box, font, justify,
                         (uint32_t(c.red >> 8) << 16) | (uint32_t(c.green >> 8) << 8) | uint32_t(c.blue >> 8)});
        return 0;
    }
    RGBColor HighlightColor() override { return highlight; }
    // The drawn text that starts with the prefix, or null.
    const DrawnText* Find(const std::string& prefix) const {
        for (const DrawnText& d : drawn)
            if (d.text.rfind(prefix, 0) == 0) return &d;
        return nullptr;
    }
    bool Has(const std::string& text) const {
        for (const DrawnText& d : drawn)
            if (d.text == text) return true;
        return false;
    }
};

struct SizedWindows : MainWindowServices {
    int32_t width = 380, height = 200;
    int presents = 0, invalidates = 0;
    int32_t barValue = -1, barMaximum = -1, barPage = -1;
    Rect WindowContentRect(int16_t) override { return Rect{100, 50, int16_t(100 + height), int16_t(50 + width)}; }
    void PresentWindow(int16_t) override { ++presents; }
    void InvalidateWindow(int16_t) override { ++invalidates; }
    void SetWindowScrollBar(int16_t, int32_t value, int32_t maximum, int32_t page) override {
        barValue = value;
        barMaximum = maximum;
        barPage = page;
    }
};

struct WindowsTest : EditorTest {
    RecordingBackend recorder;
    SizedWindows windows;

    void SetUp() override {
        EditorTest::SetUp();
        SetPlatformBackend(&recorder);
        SetMainWindowServices(&windows);
        set.cameraSelection = -1;
        rt.simTime = 0;
        rt.pushCount = 0;
    }
    void TearDown() override {
        SetMainWindowServices(nullptr);
        EditorTest::TearDown();
    }
    static uint32_t Pixel(const PixelSurface& s, int x, int y) {
        return *reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(s.base) + y * s.rowBytes + 4 * x);
    }
    static void Fill(const PixelSurface& s, uint32_t pixel) {
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                *reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(s.base) + y * s.rowBytes + 4 * x) = pixel;
    }
    // The text sits on baseline y: its box holds the line with the ascent above it.
    static bool OnBaseline(const DrawnText& d, int32_t y) {
        return d.box.top < y - 5 && y < d.box.bottom && d.box.bottom - y < y - d.box.top;
    }
};
