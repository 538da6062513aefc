// Platform services through Qt: pictures, text, alerts, clipboard, file dialogs.
#pragma once
#include <map>
#include <memory>

#include "platform/Platform.h"

class QtSoundOutput;
class QtStatusWindow;

class QtBackend : public PlatformBackend {
public:
    QtBackend();
    ~QtBackend() override;

    void SysBeep() override;
    void NameDialogsAfter(const std::string& command) override;
    void StopAlert(const std::string& text) override;
    void CautionAlert(const std::string& text) override;
    int32_t ThemeTextWidth(const std::string& text, int16_t font) override;
    int32_t DrawThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                          TextJustify justify, RGBColor color, bool additive) override;
    int32_t DrawScaledThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                                TextJustify justify, RGBColor color, bool additive, double scale) override;
    bool DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) override;
    PictureBytes EncodePicture(const PixelSurface& surface) override;
    bool PutPictureOnClipboard(const PixelSurface& surface) override;
    bool ChooseFile(const std::vector<uint32_t>& types, std::string& path) override;
    int32_t ChooseSaveFile(const std::string& message, const std::string& defaultName, uint32_t fileType,
                           std::string& path) override;
    bool ChooseFileIn(const std::string& folder, const std::vector<uint32_t>& types, std::string& path) override;
    int32_t ChooseSaveFileIn(const std::string& folder, const std::string& message, const std::string& defaultName,
                             uint32_t fileType, std::string& path) override;
    void StatusWindowOpen(uint32_t lastSlot, const std::string& title) override;
    void StatusWindowDraw(uint32_t slot, uint32_t position, const std::string* text) override;
    void StatusWindowClose() override;
    void StatusWindowAllowCancel() override;
    bool StatusWindowCancelled() override;
    void AboutBox(const std::string& runTimeText) override;
    void ShowKeyReference(const std::vector<KeyReferenceRow>& rows) override;
    RGBColor HighlightColor() override;
    std::unique_ptr<ModalDialog> OpenModalDialog(const DialogLayout& layout) override;
    bool ChooseColor(const std::string& prompt, RGBColor& color) override;

    // One sound channel: the three event sounds, synthesized at start-up and played from memory.
    bool OpenSoundChannel() override;
    void CloseSoundChannel() override;
    bool PlaySoundResource(int16_t id) override;
    bool SoundChannelBusy() override;
    void StopSoundChannel() override;

private:
    std::unique_ptr<QtStatusWindow> status_;
    std::unique_ptr<QtSoundOutput> sound_;
};
