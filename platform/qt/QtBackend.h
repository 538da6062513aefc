// Platform services through Qt: pictures, text, alerts, clipboard, file dialogs.
#pragma once
#include "platform/Platform.h"

class QtBackend : public PlatformBackend {
public:
    void SysBeep() override;
    void StopAlert(const std::string& text) override;
    void CautionAlert(const std::string& text) override;
    int32_t ThemeTextWidth(const std::string& text, int16_t font) override;
    int32_t DrawThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                          TextJustify justify, RGBColor color, bool additive) override;
    bool DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) override;
    PictureBytes EncodePicture(const PixelSurface& surface) override;
    bool PutPictureOnClipboard(const PixelSurface& surface) override;
    bool ChooseFile(const std::vector<uint32_t>& types, std::string& path) override;
    int32_t ChooseSaveFile(const std::string& message, const std::string& defaultName, uint32_t fileType,
                           std::string& path) override;
};
