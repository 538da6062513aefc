// What the logic needs from the desktop platform. The logic calls the free
// functions below; a backend (Qt in platform/qt, or the headless default used
// by tools and tests) supplies them. Every service has a harmless default so
// the logic runs without a window system.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

// A 32-bit pixel surface: pixel (x, y) at base + y * rowBytes + 4 * x,
// value 0x00RRGGBB as a native uint32_t.
struct PixelSurface {
    uint32_t* base = nullptr;
    int32_t rowBytes = 0;
    int32_t width = 0;
    int32_t height = 0;
};

enum class TextJustify { Left, Center, Right };

// Pen transfer modes used by the plotters.
constexpr int16_t kPatCopyMode = 8;
constexpr int16_t kAddPinMode = 33;

// Picture bytes are opaque to the logic; our backends encode them as PNG.
using PictureBytes = std::vector<uint8_t>;

struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height, 0x00RRGGBB, rows top to bottom
};

struct FileTypeFilter {
    uint32_t fileType;  // four-character code, e.g. 'ORSt'
};

class PlatformBackend {
public:
    virtual ~PlatformBackend() = default;

    // ---- time
    virtual uint32_t TickCount();          // 1/60 s since start
    virtual uint32_t CalendarSeconds();    // seconds since the epoch
    virtual uint32_t KeyRepeatThreshTicks() { return 20; }
    virtual uint32_t DoubleClickTicks() { return 30; }

    // ---- feedback
    virtual void SysBeep() {}
    virtual void StopAlert(const std::string& /*text*/) {}     // alert 128 as a stop alert
    virtual void CautionAlert(const std::string& /*text*/) {}  // alert 128 as a caution alert

    // ---- sound channel (one channel; sounds 129..131)
    virtual bool OpenSoundChannel() { return true; }
    virtual void CloseSoundChannel() {}
    virtual bool PlaySoundResource(int16_t /*id*/) { return false; }  // asynchronous
    virtual bool SoundChannelBusy() { return false; }
    virtual void StopSoundChannel() {}

    // ---- text (theme fonts: 3 views font, 5 application font)
    virtual int32_t ThemeTextWidth(const std::string& /*text*/, int16_t /*font*/) { return 0; }
    // Draws text into the surface, in the box, in the colour; additive uses the add-pin mode.
    virtual int32_t DrawThemeText(PixelSurface& /*surface*/, const Rect& /*box*/, const std::string& /*text*/,
                                  int16_t /*font*/, TextJustify /*justify*/, RGBColor /*color*/,
                                  bool /*additive*/) {
        return 0;
    }

    // ---- pictures
    virtual bool DecodePicture(const uint8_t* /*bytes*/, size_t /*size*/, DecodedImage& /*out*/) { return false; }
    virtual PictureBytes EncodePicture(const PixelSurface& /*surface*/) { return {}; }
    // Draws the picture scaled into the rectangle of the surface; false when it cannot be decoded.
    virtual bool DrawPictureScaled(const uint8_t* bytes, size_t size, PixelSurface& surface, const Rect& dst);

    // ---- clipboard
    virtual bool PutPictureOnClipboard(const PixelSurface& /*surface*/) { return false; }

    // ---- files
    // Asks the user for one file whose type is among the given ones; false on cancel.
    virtual bool ChooseFile(const std::vector<uint32_t>& /*types*/, std::string& /*path*/) { return false; }
    // Save dialog: 0 cancelled, 1 new file chosen, 3 replacing an existing file.
    virtual int32_t ChooseSaveFile(const std::string& /*message*/, const std::string& /*defaultName*/,
                                   uint32_t /*fileType*/, std::string& /*path*/) {
        return 0;
    }
    virtual std::string ApplicationDirectory();  // folder holding the executable
    virtual std::string UserDataDirectory();     // per-user data folder (XDG)

    // ---- status window with a progress bar
    virtual void StatusWindowOpen(uint32_t /*lastSlot*/, const std::string& /*title*/) {}
    virtual void StatusWindowDraw(uint32_t /*slot*/, uint32_t /*position0to500*/, const std::string* /*text*/) {}
    virtual void StatusWindowClose() {}

    // ---- modal sheets (window-modal dialog over the main window)
    // Up to four labelled text fields; returns 1 for OK (texts updated) and 0 for Cancel.
    virtual int32_t RunStringSheet(std::vector<std::string>& /*texts*/, const std::vector<std::string>& /*prompts*/,
                                   const std::vector<std::string>& /*units*/, int32_t /*lines*/) {
        return 0;
    }
};

// The installed backend; the headless default until one is installed.
PlatformBackend& Platform();
void SetPlatformBackend(PlatformBackend* backend);  // nullptr restores the headless default

// Short forms used throughout the logic.
inline uint32_t TickCount() { return Platform().TickCount(); }
inline void SysBeep() { Platform().SysBeep(); }

// ---- main window services used by the frame and the viewing set-up.
// Declared separately so backends can override them without touching the rest.
class MainWindowServices {
public:
    virtual ~MainWindowServices() = default;
    // Content size of the main window in pixels (the render buffer follows it).
    virtual void MainWindowContentSize(int32_t& width, int32_t& height) { width = 640; height = 480; }
    // Copies the rectangle of the render buffer to the same rectangle of the main window.
    virtual void PresentToMainWindow(const PixelSurface& /*buffer*/, const Rect& /*rect*/) {}
    // Draws text straight into the main window (frame rate), not into the render buffer.
    virtual void DrawTextInMainWindow(const Rect& /*box*/, const std::string& /*text*/, RGBColor /*color*/) {}
    // Screen geometry for the window layouts: main screen and the union of all screens.
    virtual Rect MainScreenRect() { return Rect{0, 0, 800, 1280}; }
    virtual Rect AllScreensRect() { return Rect{0, 0, 800, 1280}; }
    // Window placement (global coordinates of the content area). Window ids: 128 main, 180 object, 190 stats.
    virtual void MoveWindowTo(int16_t /*windowId*/, int16_t /*left*/, int16_t /*top*/) {}
    virtual void SizeWindowContent(int16_t /*windowId*/, int16_t /*width*/, int16_t /*height*/) {}
    virtual Rect WindowContentRect(int16_t /*windowId*/) { return Rect{0, 0, 0, 0}; }
    virtual void SetFullScreen(bool /*on*/) {}
};
MainWindowServices& MainWindow();
void SetMainWindowServices(MainWindowServices* services);  // nullptr restores the headless default
