// The 3-D view on a HiDPI screen (Qt scale factor 2): the render buffer has a pixel
// for every device pixel and is shown unscaled; what is drawn at a fixed size in
// pixels (label text, smallest bodies, lines) grows with the ratio; a click picks
// the body under it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cstring>

#include "QtTestApp.h"
#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "render/Camera.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"

namespace {

// The widget application, started at a device pixel ratio of 2 as a HiDPI desktop starts it.
QApplication& ScaledApplication() {
    static const bool scaled = qputenv("QT_SCALE_FACTOR", "2");
    (void)scaled;
    return TestApplication();
}

// A main window of a given logical size and ratio, for drawing the same scene at two ratios.
struct ScaledView : MainWindowServices {
    int32_t width = 200, height = 120;
    double ratio = 1;
    void MainWindowContentSize(int32_t& w, int32_t& h) override {
        w = int32_t(width * ratio);
        h = int32_t(height * ratio);
    }
    double MainWindowPixelRatio() override { return ratio; }
};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    bool Empty() const { return right < 0; }
};

// The lit pixels of the render buffer inside [x0, x1) x [y0, y1).
Box LitBox(int x0, int y0, int x1, int y1) {
    const PixelSurface s = RenderSurface();
    Box b;
    for (int y = std::max(y0, 0); y < std::min(y1, s.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, s.width); ++x) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(
                reinterpret_cast<const uint8_t*>(s.base) + size_t(y) * size_t(s.rowBytes))[x];
            if ((p & 0xFFFFFF) == 0) continue;
            b.left = std::min(b.left, x), b.right = std::max(b.right, x);
            b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
        }
    return b;
}

struct Drawn {
    Box body, label;
};

// One small named body at the centre of the view, no stars, drawn at the ratio.
Drawn DrawNamedBody(ScaledView& view, double ratio) {
    view.ratio = ratio;
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    SetMainWindowServices(&view);
    InitializeAll();
    set.displayFlags |= kStarFieldOffFlag;
    set.labelFlags = 1;  // names
    set.autoRotation = 0;
    SetControl(kPausedControl);
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);
    b.radius = 1;  // far smaller than a pixel: drawn at the smallest body size
    b.color = RGBColor{0, 65535, 0};
    CToPStr31(b.name, "Vesta");
    AddABody(b);
    for (int frame = 0; frame < 40; ++frame) DoTask(1);  // the camera settles on the body
    Drawn d;
    const int cx = renderCX, cy = renderCY;
    const int near = DevicePixels(4);
    d.body = LitBox(cx - near, cy - near, cx + near, cy + near);
    d.label = LitBox(cx + near, 0, renderGWRect.right, renderGWRect.bottom);
    DisposeAll();
    SetMainWindowServices(nullptr);
    return d;
}

}  // namespace

TEST(HiDpi, TheBufferHasAPixelForEveryDevicePixelAndIsShownUnscaled) {
    ScaledApplication();
    QtBackend backend;
    SetPlatformBackend(&backend);
    {
        QtMainWindow window;
        window.StopFrameTimer();
        SetMainWindowServices(&window);
        window.resize(400, 300);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QWidget* preview = window.Preview();
        ASSERT_DOUBLE_EQ(preview->devicePixelRatioF(), 2.0);
        SetRunTimeViewingVariables();
        EXPECT_DOUBLE_EQ(renderPixelRatio, 2.0);
        EXPECT_EQ(renderGWRect.right - renderGWRect.left, 2 * preview->width());
        EXPECT_EQ(renderGWRect.bottom - renderGWRect.top, 2 * preview->height());

        // One lit buffer pixel lands on one device pixel of the window, not on a 2 x 2 block.
        EraseRenderBuffer();
        const int x = 101, y = 51;
        reinterpret_cast<uint32_t*>(bAddrGWPM + y * rBytesGWPM)[x] = 0x00FFFFFF;
        DumpRectToWindow(renderGWRect);
        const QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.width(), 2 * preview->width());
        EXPECT_EQ(shown.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}})
            EXPECT_EQ(shown.pixel(x + dx, y + dy) & 0xFFFFFF, 0u) << dx << "," << dy;

        DisposeMyRenderGW();
        SetMainWindowServices(nullptr);
    }
    SetPlatformBackend(nullptr);
}

TEST(HiDpi, LabelsAndTheSmallestBodiesKeepTheirSizeOnScreen) {
    ScaledApplication();
    QtBackend backend;  // real text
    SetPlatformBackend(&backend);
    ScaledView view;
    const Drawn one = DrawNamedBody(view, 1.0);
    const Drawn two = DrawNamedBody(view, 2.0);
    const Drawn oneAndAHalf = DrawNamedBody(view, 1.5);
    SetPlatformBackend(nullptr);
    renderPixelRatio = 1;

    ASSERT_FALSE(one.body.Empty());
    ASSERT_FALSE(one.label.Empty());
    ASSERT_FALSE(two.label.Empty());
    // The smallest body size is 2 window pixels: 2, 4 and 3 device pixels.
    EXPECT_EQ(one.body.Width(), 2);
    EXPECT_EQ(two.body.Width(), 4);
    EXPECT_EQ(two.body.Height(), 4);
    EXPECT_EQ(oneAndAHalf.body.Width(), 3);
    // The name is set in a font twice the size: its ink is about twice as wide and high.
    const double wide = double(two.label.Width()) / one.label.Width();
    const double high = double(two.label.Height()) / one.label.Height();
    EXPECT_GT(wide, 1.7);
    EXPECT_LT(wide, 2.3);
    EXPECT_GT(high, 1.6);
    EXPECT_LT(high, 2.4);
    // It hangs beside the body as before, at twice the distance.
    const int gapOne = one.label.left - one.body.right, gapTwo = two.label.left - two.body.right;
    EXPECT_GT(gapOne, 0);
    EXPECT_NEAR(gapTwo, 2 * gapOne, 2);
    const double downOne = one.label.top - one.body.top, downTwo = two.label.top - two.body.top;
    EXPECT_NEAR(downTwo, 2 * downOne, 3);
}

TEST(HiDpi, PenStrokesAreAsWideAsTheRatioAndSideWindowsKeepThin) {
    std::vector<uint32_t> pixels(40 * 40, 0);
    const PixelSurface surface{pixels.data(), 40 * 4, 40, 40};
    auto column = [&](int x) {
        int lit = 0;
        for (int y = 0; y < 40; ++y) lit += pixels[size_t(y) * 40 + x] != 0;
        return lit;
    };
    PenSetTarget(surface);
    PenForeColor(kWhiteColor);
    PenScale(2);
    MoveTo(5, 20);
    LineTo(35, 20);
    EXPECT_EQ(column(20), 2);
    std::fill(pixels.begin(), pixels.end(), 0);
    {
        PenOnSurface side(surface);  // side windows are drawn at their own size
        MoveTo(5, 20);
        LineTo(35, 20);
        EXPECT_EQ(column(20), 1);
    }
    EXPECT_DOUBLE_EQ(CurrentPenScale(), 2.0);  // the view's scale comes back
    // A wide line just off the surface still shows the half of it that reaches in.
    std::fill(pixels.begin(), pixels.end(), 0);
    MoveTo(5, -1);
    LineTo(35, -1);
    EXPECT_EQ(column(20), 1);
    EXPECT_NE(pixels[20], 0u);
    PenScale(1);
    PenSetTarget(PixelSurface{});
}

TEST(HiDpi, AClickPicksTheBodyUnderItInDevicePixels) {
    renderPixelRatio = 2;
    EXPECT_EQ(BufferPointFromWindow(Point{50, 100}).v, 100);
    EXPECT_EQ(BufferPointFromWindow(Point{50, 100}).h, 200);
    renderPixelRatio = 1.5;
    EXPECT_EQ(BufferPointFromWindow(Point{10, 30}).h, 45);
    EXPECT_EQ(BufferPointFromWindow(Point{10, 30}).v, 15);
    renderPixelRatio = 2;
    EXPECT_EQ(BufferPointFromWindow(Point{30000, -30000}).v, INT16_MAX);  // no wrapping
    EXPECT_EQ(BufferPointFromWindow(Point{30000, -30000}).h, INT16_MIN);
    renderPixelRatio = 1;
    for (double bad : {0.0, -1.0, double(NAN), 1e9}) EXPECT_DOUBLE_EQ(UsablePixelRatio(bad), 1.0) << bad;
    EXPECT_DOUBLE_EQ(UsablePixelRatio(1.25), 1.25);
}
