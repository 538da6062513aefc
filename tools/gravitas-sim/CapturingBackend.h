// The tool has no window to show alerts in: while a loader or a picture runs, this
// backend keeps the stop alerts and cautions it raises so the tool can print them,
// and hands everything else to the real backend.
#pragma once
#include <string>
#include <vector>

#include "platform/Platform.h"

class CapturingBackend : public PlatformBackend {
public:
    explicit CapturingBackend(PlatformBackend& inner) : inner_(inner) {}
    std::vector<std::string> stops;     // every stop alert, in order
    std::vector<std::string> warnings;  // every caution, in order
    bool beeped = false;
    void SysBeep() override { beeped = true; }
    void StopAlert(const std::string& text) override { stops.push_back(text); }
    void CautionAlert(const std::string& text) override { warnings.push_back(text); }
    uint32_t CalendarSeconds() override { return inner_.CalendarSeconds(); }
    uint32_t TickCount() override { return inner_.TickCount(); }
    std::string ApplicationDirectory() override { return inner_.ApplicationDirectory(); }
    std::string UserDataDirectory() override { return inner_.UserDataDirectory(); }
    bool DecodePicture(const uint8_t* b, size_t n, DecodedImage& out) override { return inner_.DecodePicture(b, n, out); }
    PictureBytes EncodePicture(const PixelSurface& s) override { return inner_.EncodePicture(s); }
    bool DrawPictureScaled(const uint8_t* b, size_t n, PixelSurface& s, const Rect& dst) override {
        return inner_.DrawPictureScaled(b, n, s, dst);
    }

private:
    PlatformBackend& inner_;
};

// Installs a capturing backend for as long as it lives, then restores the previous one.
class CapturedAlerts {
public:
    CapturedAlerts() : previous_(Platform()), capture(previous_) { SetPlatformBackend(&capture); }
    ~CapturedAlerts() { SetPlatformBackend(&previous_); }
    CapturedAlerts(const CapturedAlerts&) = delete;
    CapturedAlerts& operator=(const CapturedAlerts&) = delete;

private:
    PlatformBackend& previous_;

public:
    CapturingBackend capture;
};
