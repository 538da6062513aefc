// Counted-string text helpers drawing into the pen's target with the pen colour.
#pragma once
#include <cstdint>

#include "core/Records.h"

int32_t StringWidthUsingThemeText(const uint8_t* pstr, int16_t font, int16_t state);
int32_t DrawStringUsingThemeTextBox(const uint8_t* pstr, const Rect& box, int16_t font, int16_t state);
int32_t DrawStringCenteredInThemeTextBox(const uint8_t* pstr, const Rect& box, int16_t font, int16_t state);
int32_t DrawStringRightUsingThemeTextBox(const uint8_t* pstr, const Rect& box, int16_t font, int16_t state);
