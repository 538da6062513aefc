// The offscreen render buffer, its presentation and the window layouts.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "platform/Platform.h"

extern uint32_t* renderGW;    // the buffer's pixels, null when there is none
extern Rect renderGWRect;     // (0, 0, height, width) of the buffer
extern int32_t renderCX;      // width >> 1
extern int32_t renderCY;      // height >> 1
extern uint8_t* bAddrGWPM;    // first pixel, null when there is no buffer
extern int32_t rBytesGWPM;    // bytes per row
extern int16_t disappearingMenuBar;

int32_t SetupRenderGW(int32_t height, int32_t width);
void DisposeMyRenderGW();
void DumpRectToWindow(const Rect& rect);
void EraseRenderBuffer();  // the whole buffer to black
void SetupWindows(int16_t layout);
void ResizeMainWindowToRect(const Rect& rect);
PixelSurface RenderSurface();  // view of the buffer (base null when none)

// Temporary 32-bit buffers, e.g. for decoding pictures.
struct OffscreenGW {
    PixelSurface surface;
    uint32_t* pixels;
};
// picture: handle of encoded picture bytes, or 0 for a plain black buffer.
OffscreenGW* SetupNFillNewGW(Handle picture, const Rect& rect, uint8_t** outBase, int32_t* outRowBytes);
void DisposeGW(OffscreenGW* gw);

constexpr int32_t kNoMemoryForGWorld = -108;
