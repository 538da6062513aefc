// The offscreen render buffer, its presentation and the window layouts.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "platform/Platform.h"

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
PixelSurface RenderSurface();  // view of the buffer (base null when none)
