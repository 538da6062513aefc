// The view on a HiDPI screen (Qt scale factor 2, set before Qt starts), and clicks and ratios in device pixels.
#include <gtest/gtest.h>

#include <QTest>

#include "QtTestApp.h"
#include "platform/qt/QtMainWindow.h"
#include "render/Camera.h"
#include "render/PixelRatio.h"
#include "render/RenderBuffer.h"

TEST(HiDpi, TheBufferHasAPixelForEveryDevicePixelAndIsShownUnscaled) {
    qputenv("QT_SCALE_FACTOR", "2");
    TestApplication();
    QtMainWindow window;
    window.StopFrameTimer(), window.resize(400, 300), window.show();
    SetMainWindowServices(&window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* preview = window.Preview();
    SetRunTimeViewingVariables();
    EXPECT_EQ(std::tuple(renderPixelRatio, renderGWRect.right - renderGWRect.left, renderGWRect.bottom - renderGWRect.top),
              std::tuple(2.0, 2 * preview->width(), 2 * preview->height()));
    EraseRenderBuffer();  // one lit buffer pixel lands on one device pixel, not on a 2 x 2 block
    reinterpret_cast<uint32_t*>(bAddrGWPM + 51 * rBytesGWPM)[101] = 0xFFFFFF;
    DumpRectToWindow(renderGWRect);
    const QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (auto [x, y, lit] : {std::tuple{101, 51, 0xFFFFFFu}, {102, 51, 0u}, {100, 51, 0u}, {101, 52, 0u}, {101, 50, 0u}})
        EXPECT_EQ(shown.pixel(x, y) & 0xFFFFFF, lit) << x << "," << y;
    DisposeMyRenderGW();
    SetMainWindowServices(nullptr);
}

TEST(HiDpi, ClicksMapToBufferPixelsAndOnlyUsableRatiosAreTaken) {
    for (auto [ratio, v, h, bv, bh] : {std::tuple{1.5, 10, 30, 15, 45}, {2.0, 30000, -30000, 32767, -32768}}) {  // no wrapping
        renderPixelRatio = ratio;
        const Point p = BufferPointFromWindow(Point{int16_t(v), int16_t(h)});
        EXPECT_EQ(std::pair(int(p.v), int(p.h)), std::pair(bv, bh)) << ratio;
    }
    renderPixelRatio = 1;
    for (auto [reported, used] : {std::pair{0.0, 1.0}, {-1.0, 1.0}, {double(NAN), 1.0}, {1e9, 1.0}, {1.25, 1.25}})
        EXPECT_DOUBLE_EQ(UsablePixelRatio(reported), used) << reported;
}
