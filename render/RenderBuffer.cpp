// Placeholder until the renderer lands.
#include "render/RenderBuffer.h"

Rect renderGWRect{};
int32_t renderCX = 0;
int32_t renderCY = 0;
uint8_t* bAddrGWPM = nullptr;
int32_t rBytesGWPM = 0;
int16_t disappearingMenuBar = 0;

int32_t SetupRenderGW(int32_t, int32_t) { return 0; }
void DisposeMyRenderGW() {}
void DumpRectToWindow(const Rect&) {}
void EraseRenderBuffer() {}
void SetupWindows(int16_t) {}
PixelSurface RenderSurface() { return {}; }
