#include "render/RenderBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "render/Pen.h"

uint32_t* renderGW = nullptr;
Rect renderGWRect{};
int32_t renderCX = 0;
int32_t renderCY = 0;
uint8_t* bAddrGWPM = nullptr;
int32_t rBytesGWPM = 0;
int16_t disappearingMenuBar = 0;

namespace {

uint32_t* NewPixels(int32_t width, int32_t height) {
    if (width < 0 || height < 0) return nullptr;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto* p = new (std::nothrow) uint32_t[count ? count : 1];
    if (p) std::memset(p, 0, (count ? count : 1) * sizeof(uint32_t));
    return p;
}

}  // namespace

PixelSurface RenderSurface() {
    PixelSurface s;
    if (!renderGW) return s;
    s.base = renderGW;
    s.rowBytes = rBytesGWPM;
    s.width = renderGWRect.right - renderGWRect.left;
    s.height = renderGWRect.bottom - renderGWRect.top;
    return s;
}

int32_t SetupRenderGW(int32_t height, int32_t width) {
    renderGWRect = Rect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
    renderCX = width >> 1;
    renderCY = height >> 1;
    delete[] renderGW;
    renderGW = nullptr;
    bAddrGWPM = nullptr;
    rBytesGWPM = 0;
    renderGW = NewPixels(width, height);
    if (!renderGW) {
        Platform().StopAlert("No memory for GWorld");
        return kNoMemoryForGWorld;
    }
    bAddrGWPM = reinterpret_cast<uint8_t*>(renderGW);
    rBytesGWPM = width * 4;  // no flag bits to mask in our own buffers
    PenSetTarget(RenderSurface());
    PenForeColor(kWhiteColor);
    PenMode(kPatCopyMode);
    return 0;
}

void DisposeMyRenderGW() {
    if (renderGW) {
        if (PenTarget().base == renderGW) PenSetTarget(PixelSurface{});
        delete[] renderGW;
        renderGW = nullptr;
    }
    bAddrGWPM = nullptr;
    rBytesGWPM = 0;
    renderGWRect.bottom = 0;
    renderGWRect.right = 0;
}

void EraseRenderBuffer() {
    if (!renderGW) return;
    const int32_t h = renderGWRect.bottom - renderGWRect.top, w = renderGWRect.right - renderGWRect.left;
    // One store stream when rows are not padded (a memory-bound clear gains nothing from a
    // second thread on this machine; see bench/render).
    if (rBytesGWPM == w * 4) {
        std::memset(bAddrGWPM, 0, size_t(h) * size_t(rBytesGWPM));
        return;
    }
    for (int32_t y = 0; y < h; ++y) std::memset(bAddrGWPM + size_t(y) * size_t(rBytesGWPM), 0, size_t(w) * 4);
}

void DumpRectToWindow(const Rect& rect) {
    if (!renderGW) return;
    MainWindow().PresentToMainWindow(RenderSurface(), rect);
}

OffscreenGW* SetupNFillNewGW(Handle picture, const Rect& rect, uint8_t** outBase, int32_t* outRowBytes) {
    const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w < 0 || h < 0) return nullptr;
    auto* gw = new (std::nothrow) OffscreenGW{};
    if (!gw) return nullptr;
    gw->pixels = NewPixels(w, h);
    if (!gw->pixels) {
        delete gw;
        return nullptr;
    }
    gw->surface = PixelSurface{gw->pixels, w * 4, w, h};
    if (picture && IsValidHandle(picture)) {
        const auto* bytes = static_cast<const uint8_t*>(HandlePtr(picture));
        Platform().DrawPictureScaled(bytes, static_cast<size_t>(GetHandleSize(picture)), gw->surface, rect);
    }
    if (outBase) *outBase = reinterpret_cast<uint8_t*>(gw->pixels);
    if (outRowBytes) *outRowBytes = w * 4;
    return gw;
}

void DisposeGW(OffscreenGW* gw) {
    if (!gw) return;
    delete[] gw->pixels;
    delete gw;
}

void ResizeMainWindowToRect(const Rect& r) {
    MainWindow().MoveWindowTo(128, r.left, r.top);
    MainWindow().SizeWindowContent(128, static_cast<int16_t>(r.right - r.left), static_cast<int16_t>(r.bottom - r.top));
}

namespace {
Rect Inset(Rect r, int16_t by) { return Rect{int16_t(r.top + by), int16_t(r.left + by), int16_t(r.bottom - by), int16_t(r.right - by)}; }
}  // namespace

void SetupWindows(int16_t layout) {
    const Rect d = MainWindow().MainScreenRect();
    const Rect b = MainWindow().AllScreensRect();
    disappearingMenuBar = 0;
    MainWindow().SetFullScreen(false);
    Rect r;
    switch (layout) {
        case 2: r = d; r.top += 37; r = Inset(r, 4); break;
        case 3: r = d; r.top += 20; break;
        case 4: r = b; r.top += 20; r = Inset(r, 4); break;
        case 5:
            r = b;
            disappearingMenuBar = 1;
            MainWindow().SetFullScreen(true);
            break;
        default: {
            const Rect stats = MainWindow().WindowContentRect(190);
            const Rect object = MainWindow().WindowContentRect(180);
            const int16_t sw = stats.right - stats.left, sh = stats.bottom - stats.top;
            const int16_t ow = object.right - object.left, oh = object.bottom - object.top;
            // The side windows share a column right of the main window, never over it:
            // the column is as wide as the wider of them, with room for window frames.
            constexpr int16_t kFrameRoom = 16;
            const int16_t column = std::max(sw, int16_t(ow + 4));
            const int16_t mainRight = std::max(int16_t(d.right - column - kFrameRoom), int16_t(d.left + 58));
            r = Rect{int16_t(d.top + 37), d.left, d.bottom, mainRight};
            r = Inset(r, 4);
            const int16_t statsTop = int16_t(d.bottom - sh), objectTop = int16_t(d.top + 79);
            MainWindow().MoveWindowTo(190, int16_t(d.right - sw), statsTop);
            MainWindow().MoveWindowTo(180, int16_t(d.right - ow - 4), objectTop);
            // On a low screen the object list gives up rows rather than hide the statistics.
            const int16_t room = int16_t(statsTop - kFrameRoom - objectTop);
            if (oh > room && room >= 31) MainWindow().SizeWindowContent(180, ow, room);
            break;
        }
    }
    ResizeMainWindowToRect(r);
}
