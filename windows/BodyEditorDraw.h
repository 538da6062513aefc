// The items the editor draws itself: parent pop-up, colour swatch, previews.
#pragma once
#include <string>

#include "core/Records.h"
#include "platform/Platform.h"

// The parent pop-up's face: the text, shortened with an ellipsis to fit, in a
// frame with a drop shadow.
void DrawParentPopUpItem(ModalDialog& dialog, int16_t item, const std::string& text);
void DrawColorSwatchItem(ModalDialog& dialog, int16_t item, const RGBColor& color);
// A black double frame, the picture scaled inside it (white without one).
void DrawPicturePreviewItem(ModalDialog& dialog, int16_t item, Handle picture);
// White, framed, with the ring profile stretched inside when there is one.
void DrawRingPreviewItem(ModalDialog& dialog, int16_t item, Handle ring);
// The text cut to fit `width` as the pop-up shows it (widths measured by the platform).
std::string FitPopUpText(std::string text, int32_t width, int16_t font);
