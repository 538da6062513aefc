// What the logic needs from the desktop platform. The logic calls the free
// functions below; a backend (Qt in platform/qt, or the headless default used
// by tools and tests) supplies them. Every service has a harmless default so
// the logic runs without a window system.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
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

// ---- modal dialogs
// A dialog's items are numbered as the logic knows them; the logic owns the
// state and runs the loop, the platform shows the items and reports hits.
enum class DialogItemKind : uint8_t {
    Button,      // push button; the layout names the default and cancel buttons
    CheckBox,    // on/off; a hit toggles nothing by itself, the logic sets the value
    EditText,    // one-line text field
    StaticText,  // label
    UserItem,    // drawn by the logic into its own surface; a click is a hit
};

struct DialogItem {
    int16_t number = 0;
    DialogItemKind kind = DialogItemKind::StaticText;
    Rect box{};  // in dialog coordinates
    std::string text;
    TextJustify justify = TextJustify::Left;
};

struct DialogLayout {
    std::string title;
    int16_t width = 0;
    int16_t height = 0;
    int16_t defaultItem = 1;  // Return and Enter choose it
    int16_t cancelItem = 2;   // Escape and command-period choose it
    std::vector<DialogItem> items;
};

class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    virtual std::string ItemText(int16_t item) = 0;  // edit or static text, button title
    virtual void SetItemText(int16_t item, const std::string& text) = 0;
    virtual void SelectItemText(int16_t item) = 0;  // focus the field and select all of it
    virtual void SetItemEnabled(int16_t item, bool enabled) = 0;
    virtual bool ItemValue(int16_t item) = 0;  // check box state
    virtual void SetItemValue(int16_t item, bool on) = 0;
    // A user item's pixels: draw, then PresentUserItem shows them.
    virtual PixelSurface UserItemSurface(int16_t item) = 0;
    virtual void PresentUserItem(int16_t item) = 0;
    // Pops up a menu at the item's top-left corner + (1, 1) with entry `checked`
    // (1-based) marked; returns the chosen entry, 0 when cancelled.
    virtual int16_t PopUpMenu(int16_t item, const std::vector<std::string>& entries, int16_t checked) = 0;
    // Waits for the user: returns the item hit, or 0 after an edit of a text field
    // (so the caller can re-validate). Key filtering (Return, Escape, command-period)
    // is the platform's, mapped to the layout's default and cancel items.
    virtual int16_t NextHit() = 0;
    // The short help shown while the pointer rests on an item; empty removes it.
    virtual void SetItemTip(int16_t item, const std::string& text) = 0;
};

// One line of the keyboard and mouse reference: under a section heading,
// what to press or do, and what it does.
struct KeyReferenceRow {
    std::string section;
    std::string input;
    std::string action;
};

constexpr uint32_t kStatusBarUnchanged = 0xFFFFFFFFu;

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
    // The command the alerts and dialogs that follow belong to, their title; empty: the
    // application's name.
    virtual void NameDialogsAfter(const std::string& /*command*/) {}
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
    // The same at `scale` times the font's size (render buffers at a device pixel ratio).
    virtual int32_t DrawScaledThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                                        TextJustify justify, RGBColor color, bool additive, double /*scale*/) {
        return DrawThemeText(surface, box, text, font, justify, color, additive);
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
    // The same dialogs, opened in the given folder (empty: wherever the platform likes).
    virtual bool ChooseFileIn(const std::string& /*folder*/, const std::vector<uint32_t>& types, std::string& path) {
        return ChooseFile(types, path);
    }
    virtual int32_t ChooseSaveFileIn(const std::string& /*folder*/, const std::string& message,
                                     const std::string& defaultName, uint32_t fileType, std::string& path) {
        return ChooseSaveFile(message, defaultName, fileType, path);
    }
    virtual std::string ApplicationDirectory();  // folder holding the executable
    virtual std::string UserDataDirectory();     // per-user data folder (XDG)

    // ---- status window with a progress bar
    virtual void StatusWindowOpen(uint32_t /*lastSlot*/, const std::string& /*title*/) {}
    // position: 0..500 along the bar, or kStatusBarUnchanged to leave the bar as it is.
    virtual void StatusWindowDraw(uint32_t /*slot*/, uint32_t /*position0to500*/, const std::string* /*text*/) {}
    virtual void StatusWindowClose() {}
    // Gives the open status window a Cancel button (and Escape); Cancelled says whether it was used.
    virtual void StatusWindowAllowCancel() {}
    virtual bool StatusWindowCancelled() { return false; }

    // ---- modal dialogs: null when the platform cannot show one (the request counts as Cancel)
    virtual std::unique_ptr<ModalDialog> OpenModalDialog(const DialogLayout& /*layout*/) { return nullptr; }
    // The colour picker; true when the user confirmed a colour.
    virtual bool ChooseColor(const std::string& /*prompt*/, RGBColor& /*color*/) { return false; }
    // The platform's highlight colour (selection marks).
    virtual RGBColor HighlightColor() { return RGBColor{0x3333, 0x6666, 0xFFFF}; }

    // ---- the about box, showing the total run time
    virtual void AboutBox(const std::string& /*runTimeText*/) {}
    // ---- Help: the keyboard and mouse reference, a window that stays open beside the work
    virtual void ShowKeyReference(const std::vector<KeyReferenceRow>& /*rows*/) {}
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
    // Content size of the main window in device pixels (the render buffer follows it).
    virtual void MainWindowContentSize(int32_t& width, int32_t& height) { width = 640; height = 480; }
    // Device pixels per window pixel of the content (HiDPI screens: 1.25, 1.5, 2 ...).
    virtual double MainWindowPixelRatio() { return 1.0; }
    // Copies the rectangle of the render buffer to the same rectangle of the main window.
    virtual void PresentToMainWindow(const PixelSurface& /*buffer*/, const Rect& /*rect*/) {}
    // Draws text straight into the main window (frame rate), not into the render buffer.
    virtual void DrawTextInMainWindow(const Rect& /*box*/, const std::string& /*text*/, RGBColor /*color*/) {}
    // The recording mark in a corner of the main window, over the frame but never in it; empty removes it.
    virtual void ShowRecordingMark(const std::string& /*text*/) {}
    // A line that stays at the foot of the main window until replaced; empty removes it.
    virtual void ShowNoteInMainWindow(const std::string& /*text*/) {}
    // Screen geometry for the window layouts: main screen and the union of all screens.
    virtual Rect MainScreenRect() { return Rect{0, 0, 800, 1280}; }
    virtual Rect AllScreensRect() { return Rect{0, 0, 800, 1280}; }
    // The usable area of every present screen (panels left out), the main screen first.
    virtual std::vector<Rect> ScreenRects() { return {MainScreenRect()}; }
    // Window placement (global coordinates of the content area). Window ids: 128 main, 180 object, 190 stats.
    virtual void MoveWindowTo(int16_t /*windowId*/, int16_t /*left*/, int16_t /*top*/) {}
    virtual void SizeWindowContent(int16_t /*windowId*/, int16_t /*width*/, int16_t /*height*/) {}
    virtual Rect WindowContentRect(int16_t /*windowId*/) { return Rect{0, 0, 0, 0}; }
    virtual void SetFullScreen(bool /*on*/) {}
    // The document's name for the title ("name — Gravitas"), marked while it has unsaved changes.
    virtual void ShowDocumentTitle(const std::string& /*name*/, bool /*modified*/) {}

    // ---- side windows (180 object, 190 statistics). The logic draws their content
    // into a surface the services keep per window, then presents it.
    // Headless: a buffer of the window's content size, kept here.
    virtual PixelSurface WindowSurface(int16_t windowId);
    virtual void PresentWindow(int16_t /*windowId*/) {}
    virtual void InvalidateWindow(int16_t /*windowId*/) {}  // asks for a redraw through the update handler
    virtual void BringWindowToFront(int16_t /*windowId*/) {}
    // The vertical scroll bar of a side window (the object window's).
    virtual void SetWindowScrollBar(int16_t /*windowId*/, int32_t /*value*/, int32_t /*maximum*/,
                                    int32_t /*pageStep*/) {}

private:
    std::map<int16_t, std::vector<uint32_t>> headlessSurfaces_;
};

// Window ids.
constexpr int16_t kMainWindowId = 128;
constexpr int16_t kObjectWindowId = 180;
constexpr int16_t kStatsWindowId = 190;
MainWindowServices& MainWindow();
void SetMainWindowServices(MainWindowServices* services);  // nullptr restores the headless default

// ---- what the application remembers between runs: text values under
// slash-separated keys ("recent/file1"). The values come from outside the
// program and may hold anything; readers check them. Headless: kept in memory
// for the life of the process, so tools and tests never touch the user's settings.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the key holds nothing readable as text.
    virtual bool ReadSetting(const std::string& key, std::string& value);
    virtual void WriteSetting(const std::string& key, const std::string& value);
    virtual void RemoveSetting(const std::string& key);
    // Puts what was written on disk; writers call it once after a batch of keys.
    virtual void FlushSettings() {}

private:
    std::map<std::string, std::string> memory_;
};
SettingsStore& RememberedSettings();
void SetSettingsStore(SettingsStore* store);  // nullptr restores the in-memory default
